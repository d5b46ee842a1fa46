#include "common/program_resources_win32.h"

#include "common/string_table_block.h"

namespace td {

namespace {

constexpr int kUndecided = -1;
int g_language = kUndecided;

// Where the program's resources are: its own file, also before the main
// window has recorded the instance (and the test program's, in tests).
HMODULE ProgramModule() { return GetModuleHandleA(nullptr); }

LANGID ReadUserLanguage() {
    switch (DecideUserLanguageSource(GetVersion())) {
        case UserLanguageSource::SystemLocale:
            return GetSystemDefaultLangID();
        case UserLanguageSource::UserLocale:
            return GetUserDefaultLangID();
        case UserLanguageSource::UserInterfaceLanguage:
            break;
    }
    // Windows 95 and NT 4.0 do not export it: never imported, always looked up.
    using UiLanguageQuery = LANGID(WINAPI*)();
    const auto query = reinterpret_cast<UiLanguageQuery>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "GetUserDefaultUILanguage")));
    return query != nullptr ? query() : GetUserDefaultLangID();
}

const void* LockFound(HRSRC found, DWORD* size) {
    if (found == nullptr) return nullptr;
    HGLOBAL loaded = LoadResource(ProgramModule(), found);
    const void* data = loaded != nullptr ? LockResource(loaded) : nullptr;
    if (data != nullptr && size != nullptr) *size = SizeofResource(ProgramModule(), found);
    return data;
}

const void* FindResourceOf(LANGID language, const char* type, const char* name, DWORD* size) {
    return LockFound(FindResourceExA(ProgramModule(), type, name, language), size);
}

}  // namespace

int ResourceTextToAnsi(const ResourceText& text, char* buffer, int size) {
    if (buffer == nullptr || size <= 0) return 0;
    buffer[0] = '\0';
    if (text.text == nullptr || text.length == 0) return 0;
    // Resource data is 2-byte aligned, as the format requires.
    const auto* units = reinterpret_cast<const WCHAR*>(text.text);
    int count = text.length < size - 1 ? text.length : size - 1;
    int written = 0;
    // In a double-byte code page the last character may not fit whole.
    while (count > 0 &&
           (written = WideCharToMultiByte(CP_ACP, 0, units, count, buffer, size - 1, nullptr, nullptr)) == 0) {
        --count;
    }
    buffer[written] = '\0';
    return written;
}

InterfaceLanguage DetectInterfaceLanguage() { return ChooseInterfaceLanguage(ReadUserLanguage()); }

InterfaceLanguage ProgramLanguage() {
    if (g_language == kUndecided) g_language = static_cast<int>(DetectInterfaceLanguage());
    return static_cast<InterfaceLanguage>(g_language);
}

void UseProgramLanguage(InterfaceLanguage language) { g_language = static_cast<int>(language); }

const void* FindProgramResource(const char* type, const char* name, DWORD* size) {
    const LANGID chosen = ResourceLanguageId(ProgramLanguage());
    const LANGID english = ResourceLanguageId(InterfaceLanguage::English);
    if (const void* data = FindResourceOf(chosen, type, name, size)) return data;
    if (const void* data = FindResourceOf(english, type, name, size)) return data;
    return LockFound(FindResourceA(ProgramModule(), name, type), size);
}

int LoadProgramText(int id, char* buffer, int size) {
    // The chosen set; English, which has every string, for one the set
    // lacks; in a damaged file without either, whatever the system's own
    // order finds.
    if (const int length = LoadProgramTextOf(ProgramLanguage(), id, buffer, size)) return length;
    if (const int length = LoadProgramTextOf(InterfaceLanguage::English, id, buffer, size)) return length;
    DWORD block_size = 0;
    const void* block = LockFound(FindResourceA(ProgramModule(), MAKEINTRESOURCEA(StringTableBlockName(id)), RT_STRING),
                                  &block_size);
    return ResourceTextToAnsi(FindBlockString(block, block_size, id), buffer, size);
}

int LoadProgramTextOf(InterfaceLanguage language, int id, char* buffer, int size) {
    DWORD block_size = 0;
    const void* block = FindResourceOf(ResourceLanguageId(language), RT_STRING,
                                       MAKEINTRESOURCEA(StringTableBlockName(id)), &block_size);
    return ResourceTextToAnsi(FindBlockString(block, block_size, id), buffer, size);
}

HMENU LoadProgramMenu(const char* name) {
    const void* menu = FindProgramResource(RT_MENU, name, nullptr);
    return menu != nullptr ? LoadMenuIndirectA(menu) : nullptr;
}

const DLGTEMPLATE* ProgramDialogTemplate(const char* name) {
    return static_cast<const DLGTEMPLATE*>(FindProgramResource(RT_DIALOG, name, nullptr));
}

INT_PTR ShowProgramDialog(const char* name, HWND owner, DLGPROC procedure, LPARAM parameter) {
    const DLGTEMPLATE* dialog = ProgramDialogTemplate(name);
    if (dialog == nullptr) return -1;
    return DialogBoxIndirectParamA(ProgramModule(), dialog, owner, procedure, parameter);
}

}  // namespace td
