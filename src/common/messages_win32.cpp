#include "common/program_resources_win32.h"
#include "common/win32_seams.h"

namespace td {

int Win32Messages::LoadText(int id, char* buffer, int size) { return LoadProgramText(id, buffer, size); }

int Win32Messages::LoadTextOf(InterfaceLanguage language, int id, char* buffer, int size) {
    return LoadProgramTextOf(language, id, buffer, size);
}

int Win32Messages::Box(WindowRef owner, const char* text, const char* caption, unsigned flags) {
    return MessageBoxA(ToWindow(owner), text, caption, flags);
}

}  // namespace td
