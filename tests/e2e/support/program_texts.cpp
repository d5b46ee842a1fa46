#include "support/program_texts.h"

#include "common/string_table_block.h"

namespace td::e2e {

ProgramTexts::ProgramTexts(const std::string& exe_path, LANGID language)
    : module_(LoadLibraryExA(exe_path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE)),
      exe_path_(exe_path),
      language_(language) {}

ProgramTexts::~ProgramTexts() {
    if (module_ != nullptr) FreeLibrary(module_);
}

const void* ProgramTexts::Find(const char* type, const char* name, DWORD* size) const {
    if (module_ == nullptr) return nullptr;
    HRSRC found = FindResourceExA(module_, type, name, language_);
    if (found == nullptr) return nullptr;
    if (size != nullptr) *size = SizeofResource(module_, found);
    return LockResource(LoadResource(module_, found));
}

std::string ProgramTexts::operator()(int id) const {
    if (module_ == nullptr) return "<" + exe_path_ + " could not be read>";
    DWORD size = 0;
    const void* block = Find(RT_STRING, MAKEINTRESOURCEA(StringTableBlockName(id)), &size);
    const ResourceText found = block != nullptr ? FindBlockString(block, size, id) : ResourceText{nullptr, 0};
    const std::string missing = "<no string " + std::to_string(id) + " of language " + std::to_string(language_) + ">";
    if (found.length == 0) return missing;
    char text[4096];
    const int length = WideCharToMultiByte(CP_ACP, 0, reinterpret_cast<const WCHAR*>(found.text), found.length, text,
                                           sizeof text, nullptr, nullptr);
    return length > 0 ? std::string(text, static_cast<size_t>(length)) : missing;
}

std::vector<std::string> ProgramTexts::MenuTitles(const char* name) const {
    std::vector<std::string> titles;
    const void* menu_template = Find(RT_MENU, name, nullptr);
    HMENU menu = menu_template != nullptr ? LoadMenuIndirectA(menu_template) : nullptr;
    if (menu == nullptr) return titles;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        char text[256] = "";
        GetMenuStringA(menu, static_cast<UINT>(i), text, sizeof text, MF_BYPOSITION);
        titles.push_back(text);
    }
    DestroyMenu(menu);
    return titles;
}

namespace {

// Past a menu or class field of a dialog template: none (0), an ordinal
// (0xFFFF and a number) or a NUL-terminated name.
const WORD* SkipNameOrOrdinal(const WORD* at) {
    if (*at == 0) return at + 1;
    if (*at == 0xFFFF) return at + 2;
    while (*at != 0) ++at;
    return at + 1;
}

}  // namespace

std::string ProgramTexts::DialogCaption(const char* name) const {
    const auto* words = static_cast<const WORD*>(Find(RT_DIALOG, name, nullptr));
    if (words == nullptr) return "<no dialog template of language " + std::to_string(language_) + ">";
    // DLGTEMPLATEEX begins with version 1 and 0xFFFF and has 26 bytes before
    // its menu field; DLGTEMPLATE has 18.
    const bool extended = words[0] == 1 && words[1] == 0xFFFF;
    const WORD* caption = SkipNameOrOrdinal(SkipNameOrOrdinal(words + (extended ? 13 : 9)));
    char text[256] = "";
    WideCharToMultiByte(CP_ACP, 0, reinterpret_cast<const WCHAR*>(caption), -1, text, sizeof text, nullptr, nullptr);
    return text;
}

std::string Filled(std::string pattern, const std::vector<std::string>& values) {
    for (std::size_t i = values.size(); i > 0; --i) {
        const std::string place = "%" + std::to_string(i);
        for (std::size_t at = pattern.find(place); at != std::string::npos;
             at = pattern.find(place, at + values[i - 1].size()))
            pattern.replace(at, place.size(), values[i - 1]);
    }
    return pattern;
}

}  // namespace td::e2e
