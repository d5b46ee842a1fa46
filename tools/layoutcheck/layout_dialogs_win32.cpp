// Every dialog and property page the program file holds, in every language
// it holds it, built as the system builds it at this screen's dpi: each
// control's text fits the control, no two controls overlap, access keys
// are used once, and every value field follows its label.
#include <windows.h>

#include <map>

#include "layout_check_win32.h"
#include "layout_rules.h"
#include "resources/resource_ids.h"
#include "support/built_dialog_win32.h"

namespace td::layout {
namespace {

HMODULE Program() { return GetModuleHandleA(nullptr); }

// A dialog resource's name: a number or a text ("ABOUTBOX").
struct DialogName {
    int number = 0;
    std::string text;
    LPCSTR Get() const { return text.empty() ? MAKEINTRESOURCEA(number) : text.c_str(); }
    std::string Label() const { return text.empty() ? "dialog " + std::to_string(number) : text; }
};

BOOL CALLBACK AddName(HMODULE, LPCSTR, LPSTR name, LONG_PTR names) {
    DialogName found;
    if (IS_INTRESOURCE(name))
        found.number = static_cast<int>(reinterpret_cast<ULONG_PTR>(name));
    else
        found.text = name;
    reinterpret_cast<std::vector<DialogName>*>(names)->push_back(found);
    return TRUE;
}

BOOL CALLBACK AddLanguage(HMODULE, LPCSTR, LPCSTR, WORD language, LONG_PTR languages) {
    reinterpret_cast<std::vector<LANGID>*>(languages)->push_back(language);
    return TRUE;
}

std::vector<DialogName> DialogNames() {
    std::vector<DialogName> names;
    EnumResourceNamesA(Program(), RT_DIALOG, AddName, reinterpret_cast<LONG_PTR>(&names));
    return names;
}

std::vector<LANGID> LanguagesOf(const DialogName& name) {
    std::vector<LANGID> languages;
    EnumResourceLanguagesA(Program(), RT_DIALOG, name.Get(), AddLanguage, reinterpret_cast<LONG_PTR>(&languages));
    return languages;
}

std::string CodeOf(LANGID id) {
    switch (PRIMARYLANGID(id)) {
        case LANG_ENGLISH:
            return "en";
        case LANG_GERMAN:
            return "de";
        case LANG_SPANISH:
            return "es";
        case LANG_FRENCH:
            return "fr";
        case LANG_ITALIAN:
            return "it";
        default: {
            char hex[8];
            wsprintfA(hex, "%04X", id);
            return hex;
        }
    }
}

using test::BuiltDialog;

std::string ClassOf(HWND window) {
    char name[64] = "";
    GetClassNameA(window, name, sizeof name);
    return name;
}

std::wstring TextOf(HWND window) {
    WCHAR text[1024] = L"";
    GetWindowTextW(window, text, 1024);
    return text;
}

int IdOf(HWND control) { return static_cast<int>(static_cast<short>(GetDlgCtrlID(control))); }

LONG StyleOf(HWND window) { return GetWindowLongA(window, GWL_STYLE); }

bool IsStatic(HWND control) { return lstrcmpiA(ClassOf(control).c_str(), "Static") == 0; }
bool IsButton(HWND control) { return lstrcmpiA(ClassOf(control).c_str(), "Button") == 0; }
bool IsEdit(HWND control) { return lstrcmpiA(ClassOf(control).c_str(), "Edit") == 0; }

bool ShowsStaticText(LONG style) {
    switch (style & SS_TYPEMASK) {
        case SS_LEFT:
        case SS_CENTER:
        case SS_RIGHT:
        case SS_LEFTNOWORDWRAP:
        case SS_SIMPLE:
            return true;
        default:
            return false;
    }
}

// Value fields: boxes the program fills (sunken, or answering a right click
// with their help topic); a text of its own otherwise.
Role RoleOf(HWND control) {
    const LONG style = StyleOf(control);
    if (IsStatic(control)) {
        if (!ShowsStaticText(style)) return Role::Frame;
        const bool value_box = (style & SS_SUNKEN) || ((style & SS_NOTIFY) && (style & SS_NOPREFIX));
        return IdOf(control) != -1 && value_box ? Role::Field : Role::Label;
    }
    if (IsButton(control) && (style & BS_TYPEMASK) == BS_GROUPBOX) return Role::GroupBox;
    return Role::Label;
}

// What the program writes over a template text before anyone sees it: a
// static with an id whose text is taken literally.
bool FilledAtRunTime(HWND control) {
    return IsStatic(control) && IdOf(control) != -1 && (StyleOf(control) & SS_NOPREFIX);
}

// Whether a control's text marks an access key with '&'.
bool ShowsAccessKey(HWND control) {
    if (IsStatic(control)) return ShowsStaticText(StyleOf(control)) && !(StyleOf(control) & SS_NOPREFIX);
    return IsButton(control);
}

// The room a control leaves its text, as the system draws it, and how.
struct TextRoom {
    int width = 0;
    int height = 0;
    UINT format = 0;
};

TextRoom RoomOf(HWND control, int dpi) {
    RECT client{};
    GetClientRect(control, &client);
    const LONG style = StyleOf(control);
    TextRoom room{client.right, client.bottom, DT_EXPANDTABS | DT_SINGLELINE};
    if (IsStatic(control)) {
        const LONG type = style & SS_TYPEMASK;
        if (type == SS_LEFT || type == SS_CENTER || type == SS_RIGHT) room.format = DT_EXPANDTABS | DT_WORDBREAK;
        if (style & SS_NOPREFIX) room.format |= DT_NOPREFIX;
        return room;
    }
    if (IsEdit(control)) {
        // An edit control writes within its formatting rectangle, inside
        // its margins; a multi-line one wraps at word breaks.
        RECT format{};
        SendMessageW(control, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&format));
        room.width = format.right - format.left;
        room.height = format.bottom - format.top;
        room.format = DT_EXPANDTABS | DT_NOPREFIX | ((style & ES_MULTILINE) ? DT_WORDBREAK : DT_SINGLELINE);
        return room;
    }
    if (style & BS_MULTILINE) room.format = DT_EXPANDTABS | DT_WORDBREAK;
    switch (style & BS_TYPEMASK) {
        case BS_PUSHBUTTON:
        case BS_DEFPUSHBUTTON:
            room.width -= 8;  // the raised edge and the focus frame
            break;
        case BS_GROUPBOX:
            room.width -= 16;  // the frame's corners each side of the title
            break;
        default: {
            // A check box or radio button: the box (12 pixels at 96 dpi and
            // one more), then half a digit's width, then the text, which a
            // disabled box (every unmarked one of the device page) draws
            // embossed, one pixel further right and down.
            HDC dc = GetDC(control);
            HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0)));
            INT digit = 0;
            GetCharWidthW(dc, L'0', L'0', &digit);
            SelectObject(dc, old);
            ReleaseDC(control, dc);
            room.width -= 12 * dpi / 96 + 1 + digit / 2 + 1;
            room.height -= 1;
            break;
        }
    }
    return room;
}

RECT RectIn(HWND control, HWND dialog) {
    RECT rect{};
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

std::string Describe(HWND control) {
    return "control " + std::to_string(IdOf(control)) + " \"" + Utf8(TextOf(control)) + "\"";
}

void CheckFits(const std::string& where, HWND control, const std::wstring& text, int dpi) {
    const TextRoom room = RoomOf(control, dpi);
    if (room.width <= 0 && room.height <= 0) return;
    const SIZE need = Needed(control, text, room.format, room.width);
    if (need.cx <= room.width && need.cy <= room.height) return;
    Report(where, "control " + std::to_string(IdOf(control)) + " \"" + Utf8(text) + "\" needs " +
                      std::to_string(need.cx) + " x " + std::to_string(need.cy) + " pixels, has " +
                      std::to_string(room.width) + " x " + std::to_string(room.height));
}

// Texts the program puts into a dialog's controls at run time, by dialog
// number and control: they must fit as well as the template's own.
const std::map<std::pair<int, int>, std::vector<int>>& RunTimeTexts() {
    // What a line of the Details page says when its fact cannot be had.
    static const std::vector<int> kDetailsLines = {IDS_DETAILS_ASKING,       IDS_DETAILS_NO_MEDIUM,
                                                   IDS_DETAILS_NOT_REPORTED, IDS_DETAILS_INAPPLICABLE,
                                                   IDS_DETAILS_NO_ANSWER,    IDS_DETAILS_BUSY,
                                                   IDS_DETAILS_FROM_LISTING};
    static const std::map<std::pair<int, int>, std::vector<int>> texts = {
        {{IDD_DIAGNOSTICS, IDC_TUR_STATE}, {IDS_NOT_TESTED, IDS_TESTING, IDS_PASSED, IDS_FAILED}},
        {{IDD_DIAGNOSTICS, IDC_WRITE_STATE}, {IDS_NOT_TESTED, IDS_TESTING, IDS_PASSED, IDS_FAILED}},
        {{IDD_DIAGNOSTICS, IDC_READ_STATE}, {IDS_NOT_TESTED, IDS_TESTING, IDS_PASSED, IDS_FAILED}},
        {{IDD_DIAGNOSTICS, IDOK}, {IDS_BEGIN_TESTS, IDS_OK}},
        {{IDD_DIAGNOSTICS, IDC_INFO_LINE},
         {IDS_STATUS_CAPTION, IDS_IN_PROGRESS, IDS_TESTING_COMPLETE, IDS_TESTS_SUCCESSFUL}},
        {{IDD_DIAGNOSTICS, IDC_INFO_BLOCK}, {IDS_NOT_TESTABLE, IDS_TESTS_VERDICT}},
        {{IDD_DETAILS_PAGE, IDC_DETAILS_CAPACITY}, kDetailsLines},
        {{IDD_DETAILS_PAGE, IDC_DETAILS_SERIAL}, kDetailsLines},
        {{IDD_DETAILS_PAGE, IDC_DETAILS_IDENTIFIER}, kDetailsLines},
    };
    return texts;
}

// The information line draws its text from the first character that is
// not a line break (the diagnostics dialog's own drawing).
std::wstring AsShownIn(int control, std::wstring text) {
    if (control == IDC_INFO_LINE) text.erase(0, text.find_first_not_of(L"\r\n"));
    return text;
}

void CheckDialog(const DialogName& name, LANGID language, int dpi) {
    const std::string where = CodeOf(language) + " " + name.Label();
    BuiltDialog dialog(language, name.Get());
    if (dialog.get() == nullptr) {
        Report(where, "the template cannot be built");
        return;
    }
    RECT client{};
    GetClientRect(dialog.get(), &client);
    std::vector<Control> controls;
    std::vector<HWND> windows;
    std::vector<std::string> access_texts;
    std::vector<HWND> access_windows;
    for (HWND child = GetWindow(dialog.get(), GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        if (!(StyleOf(child) & WS_VISIBLE)) continue;
        const RECT rect = RectIn(child, dialog.get());
        if (rect.left < 0 || rect.top < 0 || rect.right > client.right || rect.bottom > client.bottom)
            Report(where, Describe(child) + " reaches outside the dialog");
        controls.push_back(Control{IdOf(child), RoleOf(child), Box{rect.left, rect.top, rect.right, rect.bottom}});
        windows.push_back(child);
        const std::wstring text = TextOf(child);
        if (ShowsAccessKey(child)) {
            access_texts.push_back(Utf8(text));
            access_windows.push_back(child);
        }
        if (controls.back().role != Role::Frame && !text.empty() && !FilledAtRunTime(child))
            CheckFits(where, child, text, dpi);
        if (name.text.empty()) {
            const auto run_time = RunTimeTexts().find({name.number, IdOf(child)});
            if (run_time != RunTimeTexts().end())
                for (int id : run_time->second)
                    CheckFits(where, child, AsShownIn(IdOf(child), StringIn(language, id)), dpi);
        }
    }
    for (const auto& [a, b] : Overlaps(controls))
        Report(where, Describe(windows[a]) + " and " + Describe(windows[b]) + " overlap");
    for (const auto& [a, b] : SharedAccessKeys(access_texts))
        Report(where, Describe(access_windows[a]) + " and " + Describe(access_windows[b]) + " share an access key");
    for (std::size_t field : FieldsWithoutLabel(controls))
        Report(where, Describe(windows[field]) + " does not follow its label in tab order");
}

}  // namespace

std::vector<Language> LanguagesOfDialogs() {
    std::vector<Language> languages;
    for (const DialogName& name : DialogNames()) {
        for (LANGID id : LanguagesOf(name)) {
            bool known = false;
            for (const Language& language : languages) known = known || language.id == id;
            if (!known) languages.push_back(Language{id, CodeOf(id)});
        }
    }
    return languages;
}

void CheckDialogs(int dpi) {
    int built = 0;
    for (const DialogName& name : DialogNames()) {
        for (LANGID language : LanguagesOf(name)) {
            CheckDialog(name, language, dpi);
            ++built;
        }
    }
    std::printf("dialogs and pages: %d templates checked\n", built);
}

}  // namespace td::layout
