#include "shell/frame_win32.h"

#include <commctrl.h>

#include "common/program_resources_win32.h"
#include "common/win_codes.h"
#include "inventory/views_win32.h"
#include "resources/resource_ids.h"
#include "shell/frame_layout.h"
#include "shell/program_win32.h"
#include "shell/status_text.h"

namespace td {
namespace {

// The toolbar's buttons, left to right, with images of the common controls'
// standard and view bitmaps. The view buttons' images are numbered within
// the view bitmap and moved past the standard images when it is added.
const TBBUTTON kStandardButtons[] = {
    {STD_FIND, IDM_RESCAN, TBSTATE_ENABLED, TBSTYLE_BUTTON, {}, 0, 0},
    {STD_FILEOPEN, IDM_FILE_OPEN, TBSTATE_ENABLED, TBSTYLE_BUTTON, {}, 0, 0},
    {STD_FILESAVE, IDM_FILE_SAVE, TBSTATE_INDETERMINATE, TBSTYLE_BUTTON, {}, 0, 0},
    {0, 0, TBSTATE_ENABLED, TBSTYLE_SEP, {}, 0, 0},
};
const TBBUTTON kViewButtons[] = {
    {VIEW_LARGEICONS, IDM_VIEW_LARGE_ICONS, TBSTATE_ENABLED, TBSTYLE_BUTTON, {}, 0, 0},
    {VIEW_SMALLICONS, IDM_VIEW_SMALL_ICONS, TBSTATE_ENABLED, TBSTYLE_BUTTON, {}, 0, 0},
    {VIEW_LIST, IDM_VIEW_LIST, TBSTATE_ENABLED, TBSTYLE_BUTTON, {}, 0, 0},
    {VIEW_DETAILS, IDM_VIEW_DETAILS, TBSTATE_ENABLED, TBSTYLE_BUTTON, {}, 0, 0},
};
// The diagnostics button, after a separator at the end: an image of our own.
const TBBUTTON kDiagnosticsButtons[] = {
    {0, 0, TBSTATE_ENABLED, TBSTYLE_SEP, {}, 0, 0},
    {0, IDM_DEVICE_DIAGNOSTICS, TBSTATE_ENABLED, TBSTYLE_BUTTON, {}, 0, 0},
};
constexpr int kStandardImageCount = 11;
constexpr int kViewImageCount = 12;

void Report(Program& program, int id) { ShowMessage(program.messages, 0, id, win::kMbOk); }

// The toolbar of comctl32 4.00 knows TBBUTTON as 20 bytes on 32-bit Windows.
static_assert(sizeof(void*) != 4 || sizeof(TBBUTTON) == 20, "TBBUTTON of comctl32 4.00");

}  // namespace

HWND CreateMainToolbar(HWND main_window) {
    HWND toolbar = CreateToolbarEx(main_window, WS_CHILD | WS_VISIBLE | WS_BORDER | TBSTYLE_TOOLTIPS, IDC_TOOLBAR,
                                   kStandardImageCount, HINST_COMMCTRL, IDB_STD_SMALL_COLOR, kStandardButtons, 4, 0, 0,
                                   100, 30, sizeof(TBBUTTON));
    if (toolbar == nullptr) return nullptr;
    TBADDBITMAP views{HINST_COMMCTRL, IDB_VIEW_SMALL_COLOR};
    const int first = static_cast<int>(
        SendMessageA(toolbar, TB_ADDBITMAP, kViewImageCount, reinterpret_cast<LPARAM>(&views)));
    TBBUTTON buttons[4];
    for (int i = 0; i < 4; ++i) {
        buttons[i] = kViewButtons[i];
        buttons[i].iBitmap += first;
    }
    SendMessageA(toolbar, TB_ADDBUTTONSA, 4, reinterpret_cast<LPARAM>(buttons));

    TBADDBITMAP diagnostics{reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(main_window, GWLP_HINSTANCE)),
                            IDB_TOOLBAR_DIAGNOSTICS};
    TBBUTTON tail[2] = {kDiagnosticsButtons[0], kDiagnosticsButtons[1]};
    tail[1].iBitmap = static_cast<int>(SendMessageA(toolbar, TB_ADDBITMAP, 1, reinterpret_cast<LPARAM>(&diagnostics)));
    SendMessageA(toolbar, TB_ADDBUTTONSA, 2, reinterpret_cast<LPARAM>(tail));
    return toolbar;
}

bool CreateFrameControls(Program& program, HWND main_window) {
    AppState& app = program.app;
    InitCommonControls();
    RECT client{};
    GetClientRect(main_window, &client);

    app.status_bar = CreateStatusWindowA(WS_CHILD | WS_VISIBLE | WS_BORDER, "", main_window, IDC_STATUS_BAR);
    if (app.status_bar == nullptr) {
        Report(program, IDS_STATUSBAR_FAILED);
        return false;
    }
    int parts[2] = {client.right / 2, -1};
    SendMessageA(app.status_bar, SB_SETPARTS, 2, reinterpret_cast<LPARAM>(parts));
    UpdateStatusBar(program, -1);

    app.toolbar = CreateMainToolbar(main_window);
    if (app.toolbar == nullptr) {
        Report(program, IDS_TOOLBAR_FAILED);
        return false;
    }
    app.device_list = CreateDeviceList(program, main_window, app.instance,
                                       static_cast<DWORD>(program.placement.view_mode));
    if (app.device_list == nullptr) {
        Report(program, IDS_LISTVIEW_FAILED);
        return false;
    }
    app.adapter_tree = CreateAdapterTree(program, main_window, app.instance);
    if (app.adapter_tree == nullptr) {
        Report(program, IDS_TREEVIEW_FAILED);
        return false;
    }
    return true;
}

bool LayoutFrame(Program& program, HWND main_window) {
    const AppState& app = program.app;
    RECT client{};
    GetClientRect(main_window, &client);
    const FrameLayout layout = ComputeFrameLayout(client.right, client.bottom);
    HDWP positions = BeginDeferWindowPos(4);
    // A control that could not be created has nothing to place.
    auto place = [&](HWND control, const ControlRect& rect, UINT flags) {
        if (control != nullptr && positions != nullptr)
            positions = DeferWindowPos(positions, control, nullptr, rect.x, rect.y, rect.width, rect.height,
                                       flags | SWP_NOZORDER);
    };
    place(app.status_bar, layout.status_bar, SWP_NOMOVE);
    place(app.toolbar, layout.toolbar, SWP_NOMOVE);
    place(app.adapter_tree, layout.tree, SWP_NOMOVE);
    place(app.device_list, layout.list, 0);
    return positions != nullptr && EndDeferWindowPos(positions) != FALSE;
}

void UpdateStatusBar(Program& program, int adapter_index) {
    AppState& app = program.app;
    if (app.status_bar == nullptr) return;
    // A label that fails to load is tried again on the next update.
    if (app.status_selected_label[0] == '\0')
        LoadProgramText(IDS_STATUS_SELECTED, app.status_selected_label, sizeof app.status_selected_label);
    if (app.status_count_label[0] == '\0')
        LoadProgramText(IDS_STATUS_DEVICES, app.status_count_label, sizeof app.status_count_label);
    const StatusPanes panes = FormatStatusPanes(program.inventory, adapter_index, app.status_selected_label,
                                                app.status_count_label, program.texts.none);
    SendMessageA(app.status_bar, SB_SETTEXTA, 0, reinterpret_cast<LPARAM>(panes.adapter));
    SendMessageA(app.status_bar, SB_SETTEXTA, 1, reinterpret_cast<LPARAM>(panes.devices));
}

}  // namespace td
