// The resources compiled into the program carry exactly the texts and menus
// the program uses, in every language it ships.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cwctype>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "resources/resource_ids.h"
#include "support/rc_strings.h"

namespace td {
namespace {

struct Language {
    const char* folder;
    LANGID id;
};
const Language kLanguages[] = {
    {"en", MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US)},
    {"de", MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN)},
    {"es", MAKELANGID(LANG_SPANISH, SUBLANG_SPANISH_MODERN)},
    {"fr", MAKELANGID(LANG_FRENCH, SUBLANG_FRENCH)},
    {"it", MAKELANGID(LANG_ITALIAN, SUBLANG_ITALIAN)},
};

HMODULE Program() { return GetModuleHandleA(nullptr); }

// The .rc files are UTF-8 (windres -c 65001) and the compiled tables UTF-16.
std::wstring FromUtf8(const std::string& text) {
    if (text.empty()) return std::wstring();
    const int n = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(),
                                      static_cast<int>(text.size()), nullptr, 0);
    if (n <= 0) return L"<invalid UTF-8>";
    std::wstring wide(n, L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), n);
    return wide;
}

// The program reads its texts with the ANSI functions, so every character
// must exist in code page 1252, one byte each; `fits` is cleared otherwise.
std::string ToAnsi(const std::wstring& wide, bool* fits = nullptr) {
    if (wide.empty()) return std::string();
    BOOL used_default = FALSE;
    char text[4096];
    const int n = WideCharToMultiByte(1252, WC_NO_BEST_FIT_CHARS, wide.data(), static_cast<int>(wide.size()),
                                      text, sizeof text, nullptr, &used_default);
    if (fits != nullptr) *fits = n > 0 && !used_default;
    return std::string(text, text + (n > 0 ? n : 0));
}

// LoadStringA follows the thread's UI language; this reads the string of one
// given language straight from the resource.
std::wstring LoadStringIn(LANGID language, int id) {
    HRSRC block = FindResourceExA(Program(), RT_STRING, MAKEINTRESOURCEA((id >> 4) + 1), language);
    if (block == nullptr) return L"<missing block>";
    const WCHAR* p = static_cast<const WCHAR*>(LockResource(LoadResource(Program(), block)));
    for (int i = 0; i < (id & 15); ++i) p += 1 + *p;
    if (*p == 0) return L"<missing>";
    return std::wstring(p + 1, p + 1 + *p);
}

// The ANSI byte count of a compiled string, as the program's buffers see it.
std::size_t AnsiLength(LANGID language, int id) { return ToAnsi(LoadStringIn(language, id)).size(); }

TEST(Resources, EveryStringOfEachLanguageIsCompiledAsWritten) {
    for (const Language& language : kLanguages) {
        const test::StringTable& table = test::LoadStringTable(language.folder);
        ASSERT_GT(table.size(), 100u);
        for (const auto& [id, text] : table) {
            const std::wstring compiled = LoadStringIn(language.id, id);
            EXPECT_EQ(compiled, FromUtf8(text)) << language.folder << " string " << id;
            bool fits = false;
            ToAnsi(compiled, &fits);
            EXPECT_TRUE(fits) << language.folder << " string " << id << " has a character outside code page 1252";
        }
    }
}

TEST(Resources, EveryLanguageHasTheSameStringIds) {
    const test::StringTable& english = test::LoadStringTable("en");
    for (const Language& language : kLanguages) {
        const test::StringTable& table = test::LoadStringTable(language.folder);
        for (const auto& entry : english) EXPECT_TRUE(table.count(entry.first)) << language.folder << " lacks " << entry.first;
        for (const auto& entry : table) EXPECT_TRUE(english.count(entry.first)) << language.folder << " has extra " << entry.first;
    }
}

// Buffer sizes, terminator included, of the texts the program loads into
// fixed buffers: the shared texts loaded at start-up, the tree root, the
// column headers, the status bar labels and the tooltips.
const std::map<int, std::size_t>& BufferSizes() {
    static const std::map<int, std::size_t> sizes = [] {
        std::map<int, std::size_t> s;
        for (int id : {IDS_STATUS_CAPTION, IDS_NO_DEVICE, IDS_HOST_ADAPTER, IDS_RESCAN_QUESTION, IDS_NONE,
                       IDS_OPEN_TITLE, IDS_TYPE_HARD_DISK, IDS_TYPE_CD_ROM, IDS_TYPE_TAPE, IDS_TYPE_REMOVABLE,
                       IDS_TYPE_HOST_ADAPTER, IDS_TYPE_WORM, IDS_TYPE_SCANNER, IDS_TYPE_PRINTER,
                       IDS_TYPE_NO_DEVICE, IDS_TYPE_UNKNOWN, IDS_SAVE_TITLE, IDS_PROPERTIES_CAPTION, IDS_OK,
                       IDS_BEGIN_TESTS, IDS_TESTS_CAPTION, IDS_TESTING, IDS_PASSED, IDS_FAILED,
                       IDS_SENSE_KEY_LABEL, IDS_SENSE_CODE_LABEL, IDS_SENSE_QUALIFIER_LABEL, IDS_NOT_TESTED,
                       IDS_STATUS_SELECTED})
            s[id] = 32;
        for (int id : {IDS_IN_PROGRESS, IDS_SENSE_HEADING, IDS_CONTINUE_QUESTION, IDS_TESTING_COMPLETE,
                       IDS_TESTS_SUCCESSFUL})
            s[id] = 100;
        for (int id : {IDS_WARNING_SHARED, IDS_WARNING_DESTRUCTIVE, IDS_WARNING_SAFE_DEVICES, IDS_WARNING_PROCEED})
            s[id] = 512;
        s[IDS_CONTROLLER_REFUSAL] = 120;
        s[IDS_NO_DEVICE_REFUSAL] = 92;
        s[IDS_TREE_ROOT] = 17;
        for (int id = IDS_COLUMN_SCSI_ID; id <= IDS_COLUMN_VERSION; ++id) s[id] = 64;
        s[IDS_STATUS_DEVICES] = 64;
        for (int id : {IDM_FILE_OPEN, IDM_FILE_SAVE, IDM_VIEW_LARGE_ICONS, IDM_VIEW_SMALL_ICONS, IDM_VIEW_LIST,
                       IDM_VIEW_DETAILS, IDM_RESCAN, IDM_DEVICE_DIAGNOSTICS})
            s[id] = 260;
        return s;
    }();
    return sizes;
}

TEST(Resources, EveryLanguageFitsTheProgramsBuffers) {
    for (const Language& language : kLanguages) {
        for (const auto& [id, size] : BufferSizes()) {
            EXPECT_LT(AnsiLength(language.id, id), size) << language.folder << " string " << id;
        }
        // Button 1's caption is read back into 20 characters and compared.
        EXPECT_LE(AnsiLength(language.id, IDS_BEGIN_TESTS), 19u) << language.folder;
        EXPECT_LE(AnsiLength(language.id, IDS_OK), 19u) << language.folder;
        // A failure explanation and the line appended to it share 256 bytes.
        const std::size_t appended = std::max(AnsiLength(language.id, IDS_CONTINUE_QUESTION),
                                              AnsiLength(language.id, IDS_TESTING_COMPLETE));
        for (int id : {IDS_SENSE_NOT_REPORTABLE, IDS_SENSE_START_UNIT, IDS_SENSE_LOCK_MEDIA, IDS_SENSE_FORMATTING,
                       IDS_SENSE_SELF_TEST, IDS_SENSE_HARDWARE, IDS_SENSE_NO_MEDIA, IDS_SENSE_MEDIA_CHANGED,
                       IDS_SENSE_RESET, IDS_SENSE_WRITE_PROTECTED, IDS_SENSE_NOT_SUPPORTED,
                       IDS_NT_CLASS_UNSUPPORTED, IDS_READ_BUFFER_MISMATCH}) {
            EXPECT_LT(AnsiLength(language.id, id) + appended, 256u) << language.folder << " string " << id;
        }
    }
}

TEST(Resources, TypeTextsThatAreComparedAgreeInEachLanguage) {
    for (const Language& language : kLanguages) {
        // The adapter's own slot and an empty ID are written with 50011 and
        // 50010 and looked up in the device type table as 50030 and 50033.
        EXPECT_EQ(LoadStringIn(language.id, IDS_HOST_ADAPTER), LoadStringIn(language.id, IDS_TYPE_HOST_ADAPTER))
            << language.folder;
        EXPECT_EQ(LoadStringIn(language.id, IDS_NO_DEVICE), LoadStringIn(language.id, IDS_TYPE_NO_DEVICE))
            << language.folder;
        // The device type table takes the first row whose text matches.
        std::set<std::wstring> names;
        for (int id : {IDS_TYPE_HARD_DISK, IDS_TYPE_CD_ROM, IDS_TYPE_TAPE, IDS_TYPE_REMOVABLE, IDS_TYPE_HOST_ADAPTER,
                       IDS_TYPE_WORM, IDS_TYPE_SCANNER, IDS_TYPE_PRINTER, IDS_TYPE_NO_DEVICE, IDS_TYPE_UNKNOWN}) {
            EXPECT_TRUE(names.insert(LoadStringIn(language.id, id)).second) << language.folder << " string " << id;
        }
    }
}

// A menu of one language, loaded from its own template whatever the
// thread's UI language.
HMENU LoadMenuIn(LANGID language, const char* name) {
    HRSRC found = FindResourceExA(Program(), RT_MENU, name, language);
    if (found == nullptr) return nullptr;
    return LoadMenuIndirectA(LockResource(LoadResource(Program(), found)));
}

std::wstring ItemText(HMENU menu, int position) {
    WCHAR text[256] = L"";
    GetMenuStringW(menu, position, text, 256, MF_BYPOSITION);
    return text;
}

// One line per item, with the nesting, so that two menus of the same shape
// read the same whatever their texts: "popup", "separator" or "id state".
void DescribeShape(HMENU menu, const std::string& indent, std::vector<std::string>& out) {
    const int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        if (HMENU sub = GetSubMenu(menu, i)) {
            out.push_back(indent + "popup");
            DescribeShape(sub, indent + "  ", out);
        } else if (GetMenuState(menu, i, MF_BYPOSITION) & MF_SEPARATOR) {
            out.push_back(indent + "separator");
        } else {
            const UINT state = GetMenuState(menu, i, MF_BYPOSITION) & (MF_GRAYED | MF_DISABLED | MF_CHECKED);
            out.push_back(indent + std::to_string(GetMenuItemID(menu, i)) + " " + std::to_string(state));
        }
    }
}

// Every text of the menu and its submenus is non-empty and fits code page
// 1252; with `unique_accelerators`, no two items of one level share an
// accelerator. The English Options menu has two items on D, as it always
// had; the translations do not copy that.
void CheckTexts(HMENU menu, const std::string& where, bool unique_accelerators) {
    std::map<wchar_t, std::wstring> accelerators;
    const int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        if (GetMenuState(menu, i, MF_BYPOSITION) & MF_SEPARATOR) continue;
        const std::wstring text = ItemText(menu, i);
        EXPECT_FALSE(text.empty()) << where << " item " << i;
        bool fits = false;
        ToAnsi(text, &fits);
        EXPECT_TRUE(fits) << where << " item " << i;
        for (std::size_t at = 0; at + 1 < text.size(); ++at) {
            if (text[at] != L'&') continue;
            if (text[at + 1] == L'&') {
                ++at;
                continue;
            }
            const wchar_t key = static_cast<wchar_t>(std::towupper(text[at + 1]));
            const auto [other, added] = accelerators.emplace(key, text);
            EXPECT_TRUE(added || !unique_accelerators) << where << ": accelerator shared by item " << i << " and " << ToAnsi(other->second);
            break;
        }
        if (HMENU sub = GetSubMenu(menu, i)) CheckTexts(sub, where + " > " + ToAnsi(text), unique_accelerators);
    }
}

std::vector<UINT> CommandIds(HMENU menu) {
    std::vector<UINT> ids;
    const int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        if (HMENU sub = GetSubMenu(menu, i)) {
            const auto inner = CommandIds(sub);
            ids.insert(ids.end(), inner.begin(), inner.end());
        } else if (const UINT id = GetMenuItemID(menu, i); id != 0 && id != static_cast<UINT>(-1)) {
            ids.push_back(id);
        }
    }
    return ids;
}

TEST(Resources, MainMenuCommandsAndStartingStates) {
    for (const Language& language : kLanguages) {
        HMENU menu = LoadMenuIn(language.id, "APP_UI_MENU");
        ASSERT_NE(menu, nullptr) << language.folder;
        EXPECT_EQ(GetMenuItemCount(menu), 4) << language.folder;
        const std::vector<UINT> expected = {IDM_FILE_OPEN, IDM_FILE_SAVE, IDM_FILE_SAVE_AS, IDM_FILE_EXIT,
                                            IDM_RESCAN, IDM_DEVICE_PROPERTIES, IDM_DEVICE_DIAGNOSTICS,
                                            IDM_WIDE_BUS,
                                            IDM_VIEW_LARGE_ICONS, IDM_VIEW_SMALL_ICONS, IDM_VIEW_LIST,
                                            IDM_VIEW_DETAILS, IDM_HELP_CONTENTS, IDM_HELP_ABOUT};
        EXPECT_EQ(CommandIds(menu), expected) << language.folder;
        for (UINT id : expected) {
            const UINT state = GetMenuState(menu, id, MF_BYCOMMAND);
            EXPECT_EQ(state & MF_CHECKED, 0u) << language.folder << ": no item starts checked: " << id;
            EXPECT_EQ((state & MF_GRAYED) != 0, id == IDM_FILE_SAVE) << language.folder << " " << id;
        }
        CheckTexts(menu, std::string(language.folder) + " main menu", language.id != kLanguages[0].id);
        DestroyMenu(menu);
    }
}

TEST(Resources, DeviceContextMenuHasOnlyProperties) {
    for (const Language& language : kLanguages) {
        HMENU menu = LoadMenuIn(language.id, "DEVICEPOPUPMENU");
        ASSERT_NE(menu, nullptr) << language.folder;
        HMENU popup = GetSubMenu(menu, 0);
        ASSERT_NE(popup, nullptr) << language.folder;
        ASSERT_EQ(GetMenuItemCount(popup), 1) << language.folder;
        EXPECT_EQ(GetMenuItemID(popup, 0), static_cast<UINT>(IDM_DEVICE_PROPERTIES)) << language.folder;
        CheckTexts(menu, std::string(language.folder) + " device menu", language.id != kLanguages[0].id);
        DestroyMenu(menu);
    }
}

TEST(Resources, EveryLanguageHasTheMenusOfEnglishItemForItem) {
    const LANGID english = kLanguages[0].id;
    for (const char* name : {"APP_UI_MENU", "DEVICEPOPUPMENU"}) {
        HMENU reference = LoadMenuIn(english, name);
        ASSERT_NE(reference, nullptr) << name;
        std::vector<std::string> expected;
        DescribeShape(reference, "", expected);
        DestroyMenu(reference);
        for (const Language& language : kLanguages) {
            HMENU menu = LoadMenuIn(language.id, name);
            ASSERT_NE(menu, nullptr) << language.folder << " " << name;
            std::vector<std::string> shape;
            DescribeShape(menu, "", shape);
            EXPECT_EQ(shape, expected) << language.folder << " " << name;
            DestroyMenu(menu);
        }
    }
}

}  // namespace
}  // namespace td
