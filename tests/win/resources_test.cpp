// The resources compiled into the program carry exactly the texts and menus
// the program uses, in every language it ships.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <cwctype>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "common/messages.h"
#include "common/program_resources_win32.h"
#include "infowin/version_resource.h"
#include "resources/resource_ids.h"
#include "scsi/asc_names.h"
#include "scsi/explanation.h"
#include "support/built_dialog_win32.h"
#include "support/rc_strings.h"

namespace td {
namespace {

struct Language {
    const char* folder;
    LANGID id;
};
const Language kLanguages[] = {
    {"en", MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US)}, {"de", MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN)},
    {"es", MAKELANGID(LANG_SPANISH, SUBLANG_SPANISH)},    {"fr", MAKELANGID(LANG_FRENCH, SUBLANG_FRENCH)},
    {"it", MAKELANGID(LANG_ITALIAN, SUBLANG_ITALIAN)},
};

HMODULE Program() { return GetModuleHandleA(nullptr); }

// The .rc files are UTF-8 (windres -c 65001) and the compiled tables UTF-16.
std::wstring FromUtf8(const std::string& text) {
    if (text.empty()) return std::wstring();
    const int n = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), static_cast<int>(text.size()),
                                      nullptr, 0);
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
    const int n = WideCharToMultiByte(1252, WC_NO_BEST_FIT_CHARS, wide.data(), static_cast<int>(wide.size()), text,
                                      sizeof text, nullptr, &used_default);
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
        for (const auto& entry : english)
            EXPECT_TRUE(table.count(entry.first)) << language.folder << " lacks " << entry.first;
        for (const auto& entry : table)
            EXPECT_TRUE(english.count(entry.first)) << language.folder << " has extra " << entry.first;
    }
}

// Buffer sizes, terminator included, of the texts the program loads into
// fixed buffers: the shared texts loaded at start-up, the tree root, the
// column headers, the status bar labels and the tooltips.
const std::map<int, std::size_t>& BufferSizes() {
    static const std::map<int, std::size_t> sizes = [] {
        std::map<int, std::size_t> s;
        for (int id : {IDS_STATUS_CAPTION,
                       IDS_NO_DEVICE,
                       IDS_HOST_ADAPTER,
                       IDS_RESCAN_QUESTION,
                       IDS_NONE,
                       IDS_OPEN_TITLE,
                       IDS_TYPE_HARD_DISK,
                       IDS_TYPE_CD_ROM,
                       IDS_TYPE_TAPE,
                       IDS_TYPE_REMOVABLE,
                       IDS_TYPE_HOST_ADAPTER,
                       IDS_TYPE_WORM,
                       IDS_TYPE_SCANNER,
                       IDS_TYPE_PRINTER,
                       IDS_TYPE_NO_DEVICE,
                       IDS_TYPE_UNKNOWN,
                       IDS_SAVE_TITLE,
                       IDS_PROPERTIES_CAPTION,
                       IDS_OK,
                       IDS_BEGIN_TESTS,
                       IDS_TESTS_CAPTION,
                       IDS_TESTING,
                       IDS_PASSED,
                       IDS_FAILED,
                       IDS_SENSE_KEY_LABEL,
                       IDS_SENSE_CODE_LABEL,
                       IDS_SENSE_QUALIFIER_LABEL,
                       IDS_NOT_TESTED,
                       IDS_STATUS_SELECTED})
            s[id] = 32;
        for (int id :
             {IDS_IN_PROGRESS, IDS_SENSE_HEADING, IDS_CONTINUE_QUESTION, IDS_TESTING_COMPLETE, IDS_TESTS_SUCCESSFUL})
            s[id] = 100;
        for (int id : {IDS_WARNING_SHARED, IDS_WARNING_DESTRUCTIVE, IDS_WARNING_SAFE_DEVICES, IDS_WARNING_PROCEED})
            s[id] = 512;
        s[IDS_CONTROLLER_REFUSAL] = 120;
        s[IDS_NO_DEVICE_REFUSAL] = 92;
        s[IDS_TREE_ROOT] = 17;
        for (int id = IDS_COLUMN_SCSI_ID; id <= IDS_COLUMN_VERSION; ++id) s[id] = 64;
        s[IDS_STATUS_DEVICES] = 64;
        s[IDS_FILTER_LISTING_FILES] = 64;
        s[IDS_FILTER_ALL_FILES] = 64;
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
        for (int id :
             {IDS_SENSE_NOT_REPORTABLE, IDS_SENSE_START_UNIT, IDS_SENSE_LOCK_MEDIA, IDS_SENSE_FORMATTING,
              IDS_SENSE_SELF_TEST, IDS_SENSE_HARDWARE, IDS_SENSE_NO_MEDIA, IDS_SENSE_MEDIA_CHANGED, IDS_SENSE_RESET,
              IDS_SENSE_WRITE_PROTECTED, IDS_SENSE_NOT_SUPPORTED, IDS_NT_CLASS_UNSUPPORTED, IDS_READ_BUFFER_MISMATCH}) {
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
// 1252, and no two items of one level share an accelerator (td-layout-check
// holds every menu to that too).
void CheckTexts(HMENU menu, const std::string& where) {
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
            EXPECT_TRUE(added) << where << ": accelerator shared by item " << i << " and " << ToAnsi(other->second);
            break;
        }
        if (HMENU sub = GetSubMenu(menu, i)) CheckTexts(sub, where + " > " + ToAnsi(text));
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
        const std::vector<UINT> expected = {IDM_FILE_OPEN,          IDM_FILE_SAVE, IDM_FILE_SAVE_AS,
                                            IDM_FILE_EXIT,          IDM_RESCAN,    IDM_DEVICE_PROPERTIES,
                                            IDM_DEVICE_DIAGNOSTICS, IDM_WIDE_BUS,  IDM_VIEW_LARGE_ICONS,
                                            IDM_VIEW_SMALL_ICONS,   IDM_VIEW_LIST, IDM_VIEW_DETAILS,
                                            IDM_HELP_CONTENTS,      IDM_HELP_ABOUT};
        EXPECT_EQ(CommandIds(menu), expected) << language.folder;
        for (UINT id : expected) {
            const UINT state = GetMenuState(menu, id, MF_BYCOMMAND);
            EXPECT_EQ(state & MF_CHECKED, 0u) << language.folder << ": no item starts checked: " << id;
            EXPECT_EQ((state & MF_GRAYED) != 0, id == IDM_FILE_SAVE) << language.folder << " " << id;
        }
        CheckTexts(menu, std::string(language.folder) + " main menu");
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
        CheckTexts(menu, std::string(language.folder) + " device menu");
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

// ---- Dialogs ------------------------------------------------------------

struct DialogName {
    const char* label;
    const char* name;
};
const DialogName kDialogs[] = {
    {"device page", MAKEINTRESOURCEA(IDD_DEVICE_PAGE)},
    {"adapter page", MAKEINTRESOURCEA(IDD_ADAPTER_PAGE)},
    {"diagnostics", MAKEINTRESOURCEA(IDD_DIAGNOSTICS)},
    {"about box", "ABOUTBOX"},
};

using test::BuiltDialog;
using test::QuietDialogProc;

std::string ClassOf(HWND window) {
    char name[64] = "";
    GetClassNameA(window, name, sizeof name);
    return name;
}

RECT RectIn(HWND control, HWND dialog) {
    RECT rect;
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

std::wstring TextOf(HWND window) {
    WCHAR text[512] = L"";
    GetWindowTextW(window, text, 512);
    return text;
}

// Same controls in the same order with the same ids, classes, styles,
// places and heights as English; a translation may only widen a control.
TEST(Resources, EveryLanguageHasTheDialogsOfEnglishControlForControl) {
    for (const DialogName& name : kDialogs) {
        BuiltDialog english(kLanguages[0].id, name.name);
        ASSERT_NE(english.get(), nullptr) << name.label << " (en): no dialog template, or it cannot be built";
        RECT english_size;
        GetClientRect(english.get(), &english_size);
        const std::vector<HWND> expected = english.Controls();
        for (const Language& language : kLanguages) {
            BuiltDialog dialog(language.id, name.name);
            ASSERT_NE(dialog.get(), nullptr) << name.label << " (" << language.folder << "): no dialog template";
            const std::string where = std::string(language.folder) + " " + name.label;
            RECT size;
            GetClientRect(dialog.get(), &size);
            EXPECT_EQ(size.right, english_size.right) << where;
            EXPECT_EQ(size.bottom, english_size.bottom) << where;
            EXPECT_EQ(GetWindowLongA(dialog.get(), GWL_STYLE), GetWindowLongA(english.get(), GWL_STYLE)) << where;
            const std::vector<HWND> controls = dialog.Controls();
            ASSERT_EQ(controls.size(), expected.size()) << where;
            for (std::size_t i = 0; i < controls.size(); ++i) {
                const std::string item = where + " control " + std::to_string(i);
                EXPECT_EQ(GetDlgCtrlID(controls[i]), GetDlgCtrlID(expected[i])) << item;
                EXPECT_EQ(ClassOf(controls[i]), ClassOf(expected[i])) << item;
                EXPECT_EQ(GetWindowLongA(controls[i], GWL_STYLE), GetWindowLongA(expected[i], GWL_STYLE)) << item;
                const RECT have = RectIn(controls[i], dialog.get());
                const RECT want = RectIn(expected[i], english.get());
                EXPECT_EQ(have.left, want.left) << item;
                EXPECT_EQ(have.top, want.top) << item;
                EXPECT_EQ(have.bottom, want.bottom) << item;
                EXPECT_GE(have.right, want.right) << item;
                EXPECT_LE(have.right, size.right) << item;
                if (language.id != kLanguages[0].id && !TextOf(expected[i]).empty()) {
                    bool fits = false;
                    ToAnsi(TextOf(controls[i]), &fits);
                    EXPECT_TRUE(fits) << item;
                }
            }
        }
    }
}

// The room a control leaves for its text, in pixels, and whether the text
// may wrap there; 0 for controls that show no text of their own.
struct TextRoom {
    int width = 0;
    int height = 0;
    bool wraps = false;
};

TextRoom RoomOf(HWND control) {
    RECT client;
    GetClientRect(control, &client);
    const LONG style = GetWindowLongA(control, GWL_STYLE);
    TextRoom room{client.right, client.bottom, false};
    if (ClassOf(control) == "Static") {
        switch (style & SS_TYPEMASK) {
            case SS_LEFT:
            case SS_CENTER:
            case SS_RIGHT:
                room.wraps = true;
                return room;
            case SS_LEFTNOWORDWRAP:
            case SS_SIMPLE:
                return room;
            default:
                return TextRoom{};
        }
    }
    if (ClassOf(control) == "Button") {
        switch (style & BS_TYPEMASK) {
            case BS_PUSHBUTTON:
            case BS_DEFPUSHBUTTON:
                room.width -= 8;
                return room;
            case BS_GROUPBOX:
                room.width -= 16;
                return room;
            // The box itself and the gap before the text.
            default:
                room.width -= 18;
                return room;
        }
    }
    return TextRoom{};
}

// Whether `text` fits `control` in the control's own font.
bool TextFits(HWND control, const std::wstring& text, const TextRoom& room) {
    HDC dc = GetDC(control);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0)));
    const LONG style = GetWindowLongA(control, GWL_STYLE);
    UINT format = DT_CALCRECT | DT_EXPANDTABS | (room.wraps ? DT_WORDBREAK : DT_SINGLELINE);
    if (ClassOf(control) == "Static" && (style & SS_NOPREFIX)) format |= DT_NOPREFIX;
    RECT need = {0, 0, room.width, 0};
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &need, format);
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    return need.right <= room.width && need.bottom <= room.height;
}

// The program's texts in one language, as LoadStringA gives them.
class TextsIn final : public Messages {
public:
    explicit TextsIn(LANGID language) : language_(language) {}
    int LoadText(int id, char* buffer, int size) override {
        const std::wstring text = LoadStringIn(language_, id);
        const std::string ansi = text.rfind(L"<missing", 0) == 0 ? std::string() : ToAnsi(text);
        const int n = std::min(static_cast<int>(ansi.size()), size - 1);
        std::memcpy(buffer, ansi.data(), n);
        buffer[n] = '\0';
        return n;
    }
    int Box(WindowRef, const char*, const char*, unsigned) override { return 0; }

private:
    LANGID language_;
};

// The longest explanations a failure can bring: every sense key with the
// longest name of the standard's list and with a code it does not name,
// every status value of every status sentence, the longest system text and
// error code, the abort, and a READ BUFFER mismatch at the end of the
// buffer.
std::vector<std::pair<SenseReport, LastError>> LongestFailures() {
    std::vector<std::pair<SenseReport, LastError>> failures;
    const AscName* longest = &kAscNames[0];
    for (std::size_t i = 0; i < kAscNameCount; ++i)
        if (std::strlen(kAscNames[i].name) > std::strlen(longest->name)) longest = &kAscNames[i];
    for (std::int32_t key = 0; key < 16; ++key) {
        failures.push_back({{key, longest->asc, longest->ascq_first, IDS_SENSE_REPORTED}, {}});
        failures.push_back({{key, 0xFF, 0xFF, IDS_SENSE_REPORTED}, {}});
    }
    const auto error = [&](std::int32_t text_id, std::uint32_t a = 0, std::uint32_t b = 0, std::uint32_t c = 0,
                           std::uint32_t d = 0, const char* system_text = "") {
        LastError last_error{};
        RecordFailure(last_error, text_id, a, b, c, d);
        std::strncpy(last_error.system_text, system_text, sizeof last_error.system_text - 1);
        failures.push_back({{}, last_error});
    };
    for (std::int32_t id : {IDS_ASPI_REQUEST_STATUS, IDS_ASPI_REQUEST_REFUSED, IDS_ADAPTER_STATUS, IDS_TARGET_STATUS})
        for (std::uint32_t value = 0; value < 256; ++value) error(id, value);
    // The system's longest text: words of the widest letter.
    std::string system_text;
    while (system_text.size() < kSystemTextSize - 1) system_text += "WWWWWWW ";
    system_text.resize(kSystemTextSize - 1);
    error(kUseSystemText, 4294967295u);
    error(kUseSystemText, 5, 0, 0, 0, system_text.c_str());
    error(IDS_OPEN_FAILED, 5, 0, 0, 0, system_text.c_str());
    error(IDS_OPEN_FAILED, 4294967295u);
    error(IDS_REQUEST_ABORTED, 8);
    error(IDS_READ_BUFFER_MISMATCH, 512, 511, 0xAA, 0x55);  // every byte READ BUFFER compares
    for (std::int32_t id : {IDS_NT_CLASS_UNSUPPORTED, IDS_NO_MEMORY, IDS_ASPI_NOT_AVAILABLE, IDS_NO_DEVICE_PATH,
                            IDS_NO_PORT_DRIVER, IDS_SCAN_HOLDS_BLOCK, IDS_PASS_THROUGH_REFUSED})
        error(id);
    return failures;
}

// In every language, each explanation goes into the failure box whole with
// the line appended to it, in the 256-byte buffer the box is built in; and
// what the information block keeps of it fits the block, in the dialog's
// font, without a line lost.
TEST(Resources, EveryFailureExplanationFitsItsBoxAndTheInformationBlock) {
    const auto failures = LongestFailures();
    for (const Language& language : kLanguages) {
        TextsIn texts(language.id);
        const std::size_t appended = std::max(AnsiLength(language.id, IDS_CONTINUE_QUESTION),
                                              AnsiLength(language.id, IDS_TESTING_COMPLETE));
        BuiltDialog dialog(language.id, kDialogs[2].name);
        HWND block = GetDlgItem(dialog.get(), IDC_INFO_BLOCK);
        ASSERT_NE(block, nullptr) << language.folder;
        std::size_t longest_box = 0, longest_block = 0;
        for (const auto& [sense_report, last_error] : failures) {
            FailureExplanation explanation;
            ExplainFailure(texts, sense_report, last_error, explanation);
            const std::string text = explanation.text, information = explanation.information;
            SCOPED_TRACE(testing::Message() << language.folder << ": " << text);
            // READ BUFFER's box appends nothing: its explanation must end
            // with the bytes that differ, uncut.
            if (last_error.text_id == IDS_READ_BUFFER_MISMATCH) {
                EXPECT_EQ(text.substr(text.size() - std::min(text.size(), information.size())), information);
                EXPECT_LT(text.size(), 256u);
            } else {
                EXPECT_LT(text.size() + appended, 256u);
            }
            EXPECT_FALSE(information.empty());
            std::wstring wide(information.size(), L'\0');
            MultiByteToWideChar(1252, 0, information.data(), static_cast<int>(information.size()), wide.data(),
                                static_cast<int>(wide.size()));
            EXPECT_TRUE(TextFits(block, wide, RoomOf(block))) << information;
            longest_box = std::max(longest_box, text.size());
            longest_block = std::max(longest_block, information.size());
        }
        std::printf("%s: the longest explanation has %zu characters (%zu in the information block)\n", language.folder,
                    longest_box, longest_block);
    }
}

// ---- The properties sheet and the status bar -----------------------------

// The sheet as the program builds it, from one language's page templates and
// titles: the two tabs stand side by side in one row within the tab strip.
TEST(Resources, PageTitlesOfEachLanguageFitOneRowOfTabs) {
    InitCommonControls();
    for (const Language& language : kLanguages) {
        const std::wstring titles[] = {LoadStringIn(language.id, IDS_PAGE_DEVICE),
                                       LoadStringIn(language.id, IDS_PAGE_ADAPTER)};
        const int templates[] = {IDD_DEVICE_PAGE, IDD_ADAPTER_PAGE};
        PROPSHEETPAGEW pages[2] = {};
        for (int i = 0; i < 2; ++i) {
            HRSRC found = FindResourceExA(Program(), RT_DIALOG, MAKEINTRESOURCEA(templates[i]), language.id);
            ASSERT_NE(found, nullptr) << language.folder;
            pages[i].dwSize = sizeof pages[i];
            pages[i].dwFlags = PSP_DLGINDIRECT | PSP_USETITLE;
            pages[i].hInstance = Program();
            pages[i].pResource = static_cast<LPCDLGTEMPLATEW>(LockResource(LoadResource(Program(), found)));
            pages[i].pfnDlgProc = QuietDialogProc;
            pages[i].pszTitle = titles[i].c_str();
        }
        const std::wstring caption = LoadStringIn(language.id, IDS_PROPERTIES_CAPTION);
        PROPSHEETHEADERW header = {};
        header.dwSize = sizeof header;
        header.dwFlags = PSH_PROPSHEETPAGE | PSH_PROPTITLE | PSH_NOAPPLYNOW | PSH_MODELESS;
        header.hInstance = Program();
        header.pszCaption = caption.c_str();
        header.nPages = 2;
        header.ppsp = pages;
        HWND sheet = reinterpret_cast<HWND>(PropertySheetW(&header));
        ASSERT_NE(sheet, nullptr) << language.folder;
        HWND tabs = PropSheet_GetTabControl(sheet);
        RECT strip{}, first{}, second{};
        GetClientRect(tabs, &strip);
        TabCtrl_GetItemRect(tabs, 0, &first);
        TabCtrl_GetItemRect(tabs, 1, &second);
        EXPECT_TRUE(TabCtrl_GetRowCount(tabs) == 1 && second.top == first.top && second.right <= strip.right)
            << language.folder << ": " << TabCtrl_GetRowCount(tabs) << " rows of tabs in a strip of " << strip.right
            << " pixels";
        DestroyWindow(sheet);
    }
}

// ---- The warning before the tests ---------------------------------------

// The widest line of a text in the message box font, in pixels.
int WidestLine(const std::wstring& text) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    HFONT font = CreateFontIndirectW(&metrics.lfMessageFont);
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, font);
    int widest = 0;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find(L'\n', start);
        if (end == std::wstring::npos) end = text.size();
        std::wstring line = text.substr(start, end - start);
        if (!line.empty() && line.back() == L'\r') line.pop_back();
        RECT need = {0, 0, 0, 0};
        if (!line.empty()) {
            DrawTextW(dc, line.c_str(), static_cast<int>(line.size()), &need,
                      DT_CALCRECT | DT_SINGLELINE | DT_EXPANDTABS | DT_NOPREFIX);
        }
        widest = std::max(widest, static_cast<int>(need.right));
        start = end + 1;
    }
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    DeleteObject(font);
    return widest;
}

// The four parts of the warning are laid out with spaces and line breaks
// for a box as wide as the English one; a translation keeps each part's
// lines within that width (a twentieth more at most), so that the box
// keeps its layout instead of breaking lines of its own.
TEST(Resources, WarningLinesOfEachLanguageAreNoWiderThanTheEnglishOnes) {
    for (int id : {IDS_WARNING_SHARED, IDS_WARNING_DESTRUCTIVE, IDS_WARNING_SAFE_DEVICES, IDS_WARNING_PROCEED}) {
        const int english = WidestLine(LoadStringIn(kLanguages[0].id, id));
        ASSERT_GT(english, 0) << id;
        for (const Language& language : kLanguages) {
            EXPECT_LE(WidestLine(LoadStringIn(language.id, id)) * 20, english * 21)
                << language.folder << " string " << id;
        }
    }
}

// ---- Version information -------------------------------------------------

// The version resource of one language, as a writable copy for VerQueryValue.
std::vector<BYTE> VersionIn(LANGID language) {
    HRSRC found = FindResourceExA(Program(), RT_VERSION, MAKEINTRESOURCEA(VS_VERSION_INFO), language);
    if (found == nullptr) return {};
    const BYTE* data = static_cast<const BYTE*>(LockResource(LoadResource(Program(), found)));
    return std::vector<BYTE>(data, data + SizeofResource(Program(), found));
}

std::wstring VersionValue(std::vector<BYTE>& block, const wchar_t* key) {
    void* value = nullptr;
    UINT length = 0;
    const std::wstring path = std::wstring(L"\\StringFileInfo\\040904E4\\") + key;
    if (!VerQueryValueW(block.data(), path.c_str(), &value, &length) || length == 0) return L"<missing>";
    return static_cast<const wchar_t*>(value);
}

TEST(Resources, EveryLanguageHasTheVersionOfEnglishWithItsOwnDescription) {
    std::vector<BYTE> english = VersionIn(kLanguages[0].id);
    ASSERT_FALSE(english.empty()) << "en: no version resource";
    const wchar_t* const keys[] = {L"CompanyName",    L"FileVersion",     L"InternalName",
                                   L"LegalCopyright", L"LegalTrademarks", L"OriginalFilename",
                                   L"ProductName",    L"ProductVersion",  L"Comments"};
    std::set<std::wstring> descriptions;
    for (const Language& language : kLanguages) {
        std::vector<BYTE> block = VersionIn(language.id);
        ASSERT_FALSE(block.empty()) << language.folder << ": no version resource";
        void* value = nullptr;
        UINT length = 0;
        ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", &value, &length)) << language.folder;
        const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(value);
        EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u) << language.folder;
        EXPECT_EQ(fixed->dwFileVersionLS, 0x00000002u) << language.folder;
        for (const wchar_t* key : keys) {
            EXPECT_EQ(VersionValue(block, key), VersionValue(english, key)) << language.folder << " " << ToAnsi(key);
        }
        const std::wstring description = VersionValue(block, L"FileDescription");
        bool fits = false;
        ToAnsi(description, &fits);
        EXPECT_TRUE(fits) << language.folder;
        EXPECT_TRUE(descriptions.insert(description).second) << language.folder << " repeats a description";
        ASSERT_TRUE(VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", &value, &length)) << language.folder;
        EXPECT_EQ(*static_cast<const DWORD*>(value), 0x04E40409u) << language.folder;
        // The About box shows the description in control 501 of the same
        // language's template.
        BuiltDialog about(language.id, "ABOUTBOX");
        ASSERT_NE(about.get(), nullptr) << language.folder;
        HWND shown = GetDlgItem(about.get(), IDC_ABOUT_DESCRIPTION);
        ASSERT_NE(shown, nullptr) << language.folder;
        EXPECT_TRUE(TextFits(shown, description, RoomOf(shown))) << language.folder << " description";
    }
}

// ---- The program's own reading of its resources ----------------------------

InterfaceLanguage SetOf(const Language& language) { return ChooseInterfaceLanguage(language.id); }

// The program finds its texts itself, in the set it chose: every string of
// every language reads as the system's own reading of that compiled string
// in the ANSI code page, whole or cut to the buffer as LoadStringA cuts.
TEST(ProgramResources, TheProgramReadsEveryStringOfEverySet) {
    for (const Language& language : kLanguages) {
        for (const auto& [id, text] : test::LoadStringTable(language.folder)) {
            const std::string expected = ToAnsi(LoadStringIn(language.id, id));
            char read[4096];
            EXPECT_EQ(LoadProgramTextOf(SetOf(language), id, read, sizeof read), static_cast<int>(expected.size()))
                << language.folder << " string " << id;
            EXPECT_EQ(read, expected) << language.folder << " string " << id;
            char cut[6];
            LoadProgramTextOf(SetOf(language), id, cut, sizeof cut);
            EXPECT_EQ(cut, expected.substr(0, 5)) << language.folder << " string " << id;
        }
    }
    char none[8] = "x";
    EXPECT_EQ(LoadProgramTextOf(InterfaceLanguage::German, 49999, none, sizeof none), 0);
    EXPECT_STREQ(none, "");
}

// With each set in use, the menus, dialogs and version texts the program
// finds are that set's own; the version texts read as the system's version
// functions read them, keys matched without regard to case.
TEST(ProgramResources, EachSetsMenusDialogsAndVersionTexts) {
    const InterfaceLanguage before = ProgramLanguage();
    for (const Language& language : kLanguages) {
        UseProgramLanguage(SetOf(language));
        for (const char* dialog : std::initializer_list<const char*>{"ABOUTBOX", MAKEINTRESOURCEA(IDD_DIAGNOSTICS),
                                                                     MAKEINTRESOURCEA(IDD_DEVICE_PAGE),
                                                                     MAKEINTRESOURCEA(IDD_ADAPTER_PAGE)}) {
            HRSRC own = FindResourceExA(Program(), RT_DIALOG, dialog, language.id);
            ASSERT_NE(own, nullptr) << language.folder;
            EXPECT_EQ(ProgramDialogTemplate(dialog), LockResource(LoadResource(Program(), own))) << language.folder;
        }
        HMENU menu = LoadProgramMenu("APP_UI_MENU");
        HMENU own = LoadMenuIn(language.id, "APP_UI_MENU");
        ASSERT_NE(menu, nullptr) << language.folder;
        EXPECT_EQ(ItemText(menu, 0), ItemText(own, 0)) << language.folder;
        DestroyMenu(menu);
        DestroyMenu(own);

        DWORD size = 0;
        const void* block = FindProgramResource(RT_VERSION, MAKEINTRESOURCEA(VS_VERSION_INFO), &size);
        ASSERT_NE(block, nullptr) << language.folder;
        std::vector<BYTE> copy = VersionIn(language.id);
        for (const wchar_t* key : {L"CompanyName", L"FileDescription", L"ProductName", L"ProductVersion",
                                   L"LegalCopyright", L"LegalCopyRight", L"LegalTrademarks", L"OSVERSION"}) {
            std::string path = "\\StringFileInfo\\040904E4\\";
            for (const wchar_t* c = key; *c != 0; ++c) path += static_cast<char>(*c);
            const ResourceText found = FindVersionText(block, size, path.c_str());
            const std::wstring read = found.length > 0
                                          ? std::wstring(reinterpret_cast<const wchar_t*>(found.text), found.length)
                                          : L"";
            const std::wstring expected = VersionValue(copy, key);
            EXPECT_EQ(read, expected == L"<missing>" ? L"" : expected) << language.folder << " " << path;
        }
    }
    UseProgramLanguage(before);
}

}  // namespace
}  // namespace td
