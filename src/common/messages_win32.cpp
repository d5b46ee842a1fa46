#include "common/win32_seams.h"

namespace td {

int Win32Messages::LoadText(int id, char* buffer, int size) {
    // Texts always come from the program's own module, also before the main
    // window has recorded the instance.
    return LoadStringA(GetModuleHandleA(nullptr), static_cast<UINT>(id), buffer, size);
}

int Win32Messages::Box(WindowRef owner, const char* text, const char* caption, unsigned flags) {
    return MessageBoxA(ToWindow(owner), text, caption, flags);
}

}  // namespace td
