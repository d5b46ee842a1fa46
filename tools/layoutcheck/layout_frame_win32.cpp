// The main window's menus and status bar, and the message boxes, in every
// language: access keys used once per menu level, the menu bar in one row
// at the window's first size on the smallest screen, each status pane's
// label in its half, and each message box on that screen.
#include <windows.h>
#include <commctrl.h>

#include "layout_check_win32.h"
#include "layout_rules.h"
#include "resources/resource_ids.h"
#include "shell/window_placement.h"

namespace td::layout {
namespace {

HMODULE Program() { return GetModuleHandleA(nullptr); }

HMENU MenuIn(LANGID language, const char* name) {
    HRSRC found = FindResourceExA(Program(), RT_MENU, name, language);
    return found == nullptr ? nullptr : LoadMenuIndirectA(LockResource(LoadResource(Program(), found)));
}

std::string ItemText(HMENU menu, int position) {
    WCHAR text[256] = L"";
    GetMenuStringW(menu, position, text, 256, MF_BYPOSITION);
    return Utf8(text);
}

void CheckAccessKeys(HMENU menu, const std::string& where) {
    std::vector<std::string> texts;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) texts.push_back(ItemText(menu, i));
    for (const auto& [a, b] : SharedAccessKeys(texts))
        Report(where, "\"" + texts[a] + "\" and \"" + texts[b] + "\" share an access key");
    for (int i = 0; i < GetMenuItemCount(menu); ++i)
        if (HMENU sub = GetSubMenu(menu, i)) CheckAccessKeys(sub, where + " > " + texts[i]);
}

// The window as it first opens on this screen (a fifth in, three fifths in
// size), hidden, with the menu bar of one language.
HWND FirstWindow(HMENU menu, int screen_width, int screen_height) {
    WindowPlacementRecord place{};
    ResetPlacement(place, screen_width, screen_height);
    return CreateWindowExA(0, "STATIC", "", WS_OVERLAPPEDWINDOW, place.left, place.top, place.width, place.height,
                           nullptr, menu, Program(), nullptr);
}

// A timer inside a message box's own loop: notes the box's size and
// closes it.
HWND g_box = nullptr;
RECT g_box_rect{};
BOOL CALLBACK FindShownBox(HWND window, LPARAM found) {
    char name[16] = "";
    GetClassNameA(window, name, sizeof name);
    if (lstrcmpA(name, "#32770") != 0 || !IsWindowVisible(window)) return TRUE;
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}

VOID CALLBACK MeasureAndClose(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND box = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindShownBox, reinterpret_cast<LPARAM>(&box));
    if (box == nullptr) return;
    KillTimer(nullptr, timer);
    g_box = box;
    GetWindowRect(box, &g_box_rect);
    PostMessageA(box, WM_COMMAND, IDOK, 0);
}

void CheckBox(const std::string& where, const std::wstring& text, const std::wstring& caption, int screen_width,
              int screen_height) {
    g_box = nullptr;
    SetTimer(nullptr, 0, 20, MeasureAndClose);
    MessageBoxW(nullptr, text.c_str(), caption.c_str(), MB_OK | MB_ICONEXCLAMATION);
    if (g_box == nullptr) {
        Report(where, "the box was not seen");
        return;
    }
    const int width = g_box_rect.right - g_box_rect.left, height = g_box_rect.bottom - g_box_rect.top;
    if (width > screen_width || height > screen_height)
        Report(where, "the box is " + std::to_string(width) + " x " + std::to_string(height) + " pixels: \"" +
                          Utf8(text.substr(0, 40)) + "...\"");
}

// The messages the program shows in boxes (one text each), and the warning
// before the tests, which joins four.
const int kBoxTexts[] = {IDS_WIN32S_REFUSED,
                         IDS_NO_MENU,
                         IDS_REGISTRY_INACCESSIBLE,
                         IDS_NOT_INSTALLED,
                         IDS_HELPPATH_UNREADABLE,
                         IDS_ASPI_UNKNOWN_ERROR,
                         IDS_ASPI_NOT_AVAILABLE,
                         IDS_NO_ADAPTER,
                         IDS_RESIZE_FAILED,
                         IDS_RESCAN_QUESTION,
                         IDS_RESCAN_FAILED,
                         IDS_STATUSBAR_FAILED,
                         IDS_TOOLBAR_FAILED,
                         IDS_LISTVIEW_FAILED,
                         IDS_TREEVIEW_FAILED,
                         IDS_FILE_OPEN_FAILED,
                         IDS_FILE_SIZE_FAILED,
                         IDS_NO_MEMORY,
                         IDS_FILE_EMPTY,
                         IDS_BAD_ADAPTER_COUNT,
                         IDS_BAD_DEVICE_COUNT,
                         IDS_FORMAT_FAILED,
                         IDS_FILE_CREATE_FAILED,
                         IDS_FILE_WRITE_FAILED,
                         IDS_CONTROLLER_REFUSAL,
                         IDS_NO_DEVICE_REFUSAL,
                         IDS_ADDICON_FAILED,
                         IDS_TREE_CREATE_FAILED,
                         IDS_TREE_IMAGELIST_FAILED,
                         IDS_TREE_IMAGES_MISSING,
                         IDS_TREE_INSERT_FAILED,
                         IDS_LIST_INSERT_FAILED};

}  // namespace

void CheckMenus(int screen_width, int screen_height) {
    int menus = 0;
    for (const Language& language : LanguagesOfDialogs()) {
        for (const char* name : {"APP_UI_MENU", "DEVICEPOPUPMENU"}) {
            HMENU menu = MenuIn(language.id, name);
            if (menu == nullptr) {
                Report(language.code + " " + name, "no such menu");
                continue;
            }
            ++menus;
            CheckAccessKeys(menu, language.code + " " + name);
            if (std::string(name) != "APP_UI_MENU") {
                DestroyMenu(menu);
                continue;
            }
            HWND window = FirstWindow(menu, screen_width, screen_height);
            RECT first{}, last{};
            GetMenuItemRect(window, menu, 0, &first);
            GetMenuItemRect(window, menu, GetMenuItemCount(menu) - 1, &last);
            if (last.top != first.top)
                Report(language.code + " " + name, "the menu bar takes more than one row at the first window size");
            DestroyWindow(window);  // destroys the menu with it
        }
    }
    std::printf("menus: %d checked\n", menus);
}

void CheckStatusBar(int screen_width, int screen_height) {
    for (const Language& language : LanguagesOfDialogs()) {
        HWND window = FirstWindow(nullptr, screen_width, screen_height);
        HWND bar = CreateStatusWindowA(WS_CHILD | WS_VISIBLE | WS_BORDER, "", window, IDC_STATUS_BAR);
        RECT client{};
        GetClientRect(window, &client);
        int parts[2] = {client.right / 2, -1};
        SendMessageA(bar, SB_SETPARTS, 2, reinterpret_cast<LPARAM>(parts));
        // The first texts the panes show, the adapter's name being "None",
        // and the widest count (16 IDs).
        const std::wstring texts[2] = {StringIn(language.id, IDS_STATUS_SELECTED) + L" " +
                                           StringIn(language.id, IDS_NONE),
                                       StringIn(language.id, IDS_STATUS_DEVICES) + L" 16"};
        for (int part = 0; part < 2; ++part) {
            RECT room{};
            SendMessageA(bar, SB_GETRECT, part, reinterpret_cast<LPARAM>(&room));
            const SIZE need = Needed(bar, texts[part], DT_SINGLELINE | DT_NOPREFIX, 0);
            // A sunken edge of one pixel on each side and a 3-pixel inset.
            if (need.cx > room.right - room.left - 5)
                Report(language.code + " status bar", "pane " + std::to_string(part) + " \"" + Utf8(texts[part]) +
                                                          "\" needs " + std::to_string(need.cx) + " pixels, has " +
                                                          std::to_string(room.right - room.left - 5));
        }
        DestroyWindow(window);
    }
}

void CheckMessageBoxes(int screen_width, int screen_height) {
    int boxes = 0;
    for (const Language& language : LanguagesOfDialogs()) {
        const std::wstring caption = StringIn(language.id, IDS_STATUS_CAPTION);
        for (int id : kBoxTexts) {
            CheckBox(language.code + " message " + std::to_string(id), StringIn(language.id, id), caption, screen_width,
                     screen_height);
            ++boxes;
        }
        std::wstring warning;
        for (int id : {IDS_WARNING_SHARED, IDS_WARNING_DESTRUCTIVE, IDS_WARNING_SAFE_DEVICES, IDS_WARNING_PROCEED})
            warning += StringIn(language.id, id);
        CheckBox(language.code + " the warning before the tests", warning, StringIn(language.id, IDS_TESTS_CAPTION),
                 screen_width, screen_height);
        ++boxes;
    }
    std::printf("message boxes: %d checked\n", boxes);
}

}  // namespace td::layout
