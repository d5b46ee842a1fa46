#include "shell/pane_focus_win32.h"

#include <commctrl.h>

#include "resources/resource_ids.h"
#include "shell/pane_keys.h"
#include "shell/program_win32.h"

namespace td {
namespace {

bool KeyIsDown(int key) { return (GetKeyState(key) & 0x8000) != 0; }

Pane PaneOf(const AppState& app, HWND window) {
    if (window == nullptr) return Pane::None;
    if (window == app.adapter_tree) return Pane::Tree;
    if (window == app.device_list) return Pane::List;
    return Pane::None;
}

int FocusedItem(HWND list) {
    return static_cast<int>(SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
}

}  // namespace

bool HandlePaneKey(Program& program, const MSG& message) {
    if (message.message != WM_KEYDOWN && message.message != WM_SYSKEYDOWN) return false;
    AppState& app = program.app;
    const Pane pane = PaneOf(app, message.hwnd);
    const KeyPress key{static_cast<int>(message.wParam), KeyIsDown(VK_SHIFT), KeyIsDown(VK_CONTROL),
                       message.message == WM_SYSKEYDOWN || KeyIsDown(VK_MENU)};
    switch (DecidePaneKey(pane, key)) {
        case PaneKeyAction::FocusOtherPane: {
            HWND other = pane == Pane::Tree ? app.device_list : app.adapter_tree;
            if (other != nullptr) SetFocus(other);
            return true;
        }
        case PaneKeyAction::OpenProperties:
            SendMessageA(app.main_window, WM_COMMAND, IDM_DEVICE_PROPERTIES, 0);
            return true;
        case PaneKeyAction::None:
            break;
    }
    return false;
}

void OnPaneFocused(Program& program, HWND pane) {
    AppState& app = program.app;
    if (PaneOf(app, pane) == Pane::None) return;
    app.focus_pane = pane;
    if (pane != app.device_list || FocusedItem(pane) >= 0) return;
    if (SendMessageA(pane, LVM_GETITEMCOUNT, 0, 0) <= 0) return;
    LVITEMA state{};
    state.stateMask = LVIS_FOCUSED | LVIS_SELECTED;
    state.state = LVIS_FOCUSED | LVIS_SELECTED;
    SendMessageA(pane, LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&state));
}

void RestorePaneFocus(Program& program) {
    AppState& app = program.app;
    HWND pane = app.focus_pane != nullptr ? app.focus_pane : app.adapter_tree;
    if (pane != nullptr && IsWindowVisible(pane)) SetFocus(pane);
}

POINT KeyboardDeviceMenuPoint(Program& program) {
    HWND list = program.app.device_list;
    RECT client{};
    GetClientRect(list, &client);
    PaneBox label{client.left, client.top, client.left, client.top};
    const int item = FocusedItem(list);
    if (item >= 0) {
        SendMessageA(list, LVM_ENSUREVISIBLE, static_cast<WPARAM>(item), FALSE);
        RECT rect{};
        rect.left = LVIR_LABEL;
        if (SendMessageA(list, LVM_GETITEMRECT, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&rect)))
            label = PaneBox{rect.left, rect.top, rect.right, rect.bottom};
    }
    const PanePoint at = KeyboardMenuPoint(label, PaneBox{client.left, client.top, client.right, client.bottom});
    POINT point{at.x, at.y};
    ClientToScreen(list, &point);
    return point;
}

}  // namespace td
