#include "shell/main_window_win32.h"

#include <windowsx.h>

#include <cstring>
#include <initializer_list>

#include "common/fixed_text.h"
#include "common/program_resources_win32.h"

#include "common/win_codes.h"
#include "diagnostics/diagnostics_dialog_win32.h"
#include "infowin/about_box_win32.h"
#include "infowin/properties_sheet_win32.h"
#include "inventory/device_selection.h"
#include "inventory/slot_kind.h"
#include "inventory/views_win32.h"
#include "listing/listing_commands_win32.h"
#include "resources/resource_ids.h"
#include "shell/discovery_win32.h"
#include "shell/frame_win32.h"
#include "shell/help_viewer_win32.h"
#include "shell/pane_focus_win32.h"
#include "shell/program_win32.h"
#include "shell/startup_win32.h"
#include "shell/window_title.h"

namespace td {
namespace {

// ---- Creation, size, closing ----------------------------------------------

LRESULT OnCreate(Program& program, HWND window) {
    program.inventory.adapter_count = 0;
    program.inventory.slot_count = 0;
    program.app.selected_adapter = -1;
    program.app.selected_slot = -1;
    // The window opens whether or not its controls could be created; the
    // failure was reported where it happened.
    CreateFrameControls(program, window);
    return 0;
}

void OnSize(Program& program, HWND window) {
    if (!LayoutFrame(program, window))
        ShowMessage(program.messages, ToRef(window), IDS_RESIZE_FAILED, win::kMbIconError);
}

std::int32_t CurrentViewMode(const Program& program) {
    if (program.app.device_list == nullptr) return 0;
    return static_cast<std::int32_t>(GetWindowLongA(program.app.device_list, GWL_STYLE) & LVS_TYPEMASK);
}

// Where the placement's rectangles start: workspace coordinates count from
// the primary screen's work area, which begins below or beside a taskbar
// docked at the top or left.
POINT WorkspaceOrigin() {
    RECT work{};
    if (!SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0)) return POINT{0, 0};
    return POINT{work.left, work.top};
}

// Records the window's restored rectangle in screen coordinates, whatever
// its state: a minimized window's own rectangle is its strip (off the
// screen on Windows), a maximized one's the whole screen and more, and
// neither is where it should open again.
void RecordRestoredRect(WindowPlacementRecord& record, const WINDOWPLACEMENT& placement) {
    const POINT origin = WorkspaceOrigin();
    const RECT& rect = placement.rcNormalPosition;
    record.left = rect.left + origin.x;
    record.top = rect.top + origin.y;
    record.width = rect.right - rect.left;
    record.height = rect.bottom - rect.top;
}

// The other way: the record's rectangle as the placement's restored one.
void PlaceRestoredRect(WINDOWPLACEMENT& placement, const WindowPlacementRecord& record) {
    const POINT origin = WorkspaceOrigin();
    const std::int32_t left = record.left - origin.x;
    const std::int32_t top = record.top - origin.y;
    placement.rcNormalPosition = {left, top, left + record.width, top + record.height};
}

WINDOWPLACEMENT PlacementOf(HWND window) {
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    GetWindowPlacement(window, &placement);
    return placement;
}

// Stores where the user left the window, restored, with the list's view
// mode, so that the next start opens the same way.
void OnClose(Program& program, HWND window, WPARAM wparam, LPARAM lparam) {
    WindowPlacementRecord record{};
    RecordRestoredRect(record, PlacementOf(window));
    record.view_mode = CurrentViewMode(program);
    record.screen_width = GetSystemMetrics(SM_CXSCREEN);
    record.screen_height = GetSystemMetrics(SM_CYSCREEN);
    SaveWindowPlacement(program.registry, record);
    SendMessageA(window, WM_DESTROY, wparam, lparam);
}

void OnDestroy(Program& program) {
    for (DeviceSlot& slot : program.inventory.slots) {
        if (slot.bitmap != 0) {
            DeleteObject(reinterpret_cast<HBITMAP>(slot.bitmap));
            slot.bitmap = 0;
        }
    }
    AppState& app = program.app;
    for (HIMAGELIST* images : {&app.small_icons, &app.large_icons, &app.tree_icons}) {
        if (*images != nullptr) {
            ImageList_Destroy(*images);
            *images = nullptr;
        }
    }
    ReleaseAspiLibrary(program);
    CloseHelpViewers(program);
    PostQuitMessage(0);
}

// The screen's resolution changed: the window keeps its place and size in
// proportion to the screen, and the stored placement follows.
void OnDisplayChange(Program& program, HWND window, LPARAM lparam) {
    const std::int32_t width = LOWORD(lparam);
    const std::int32_t height = HIWORD(lparam);
    const RegistryKey key = program.registry.OpenKey(RegistryRoot::CurrentUser, kSettingsKeyPath,
                                                     RegistryAccess::AllAccess);
    if (key == 0) return;
    WindowPlacementRecord record{};
    std::uint32_t size = sizeof record;
    if (!program.registry.QueryValue(key, kWindowPosValueName, &record, &size) || size != sizeof record) {
        // Without the stored record nothing tells the old screen's size;
        // leaving the screen size at 0 makes the rescale a reset to the
        // default placement for the new screen.
        record = WindowPlacementRecord{};
        record.view_mode = CurrentViewMode(program);
    }
    WINDOWPLACEMENT placement = PlacementOf(window);
    RecordRestoredRect(record, placement);
    StoreWindowPos(program.registry, key, width, height, record, kWindowPosSize, PlacementAdjust::Rescale);
    program.registry.CloseKey(key);
    PlaceRestoredRect(placement, record);
    SetWindowPlacement(window, &placement);
}

// ---- Listing files -----------------------------------------------------------

// After a successful Open or Save As: Save is enabled for the rest of the
// run and the title names the file.
void OnListingChosen(Program& program, HWND window) {
    EnableMenuItem(program.app.main_menu, IDM_FILE_SAVE, MF_BYCOMMAND | MF_ENABLED);
    DrawMenuBar(window);
    if (program.app.toolbar != nullptr) {
        SendMessageA(program.app.toolbar, TB_INDETERMINATE, IDM_FILE_SAVE, FALSE);
        SendMessageA(program.app.toolbar, TB_ENABLEBUTTON, IDM_FILE_SAVE, TRUE);
    }
    FormatListingTitle(kMainWindowCaption, ListingFileTitle(program), program.app.title);
    SetWindowTextA(window, program.app.title);
    InvalidateRect(window, nullptr, TRUE);
}

// ---- The selected device -----------------------------------------------------

// The position within an adapter's block of the SCSI ID chosen in the list,
// or -1 when no item is both selected and focused or the ID names no slot
// of the selected adapter.
int SelectedDevicePosition(Program& program) {
    HWND list = program.app.device_list;
    if (list == nullptr) return -1;
    const int item = static_cast<int>(
        SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED | LVNI_FOCUSED));
    if (item < 0) return -1;
    char id_text[20] = "";
    LVITEMA request{};
    request.iSubItem = 0;
    request.pszText = id_text;
    request.cchTextMax = sizeof id_text;
    SendMessageA(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&request));
    if (request.pszText != id_text) CopyText(id_text, request.pszText);
    const int position = FindSlotPosition(program.inventory, id_text);
    if (SelectedAdapterSlot(program.inventory, program.app.selected_adapter, position) < 0) return -1;
    return position;
}

void OnDeviceProperties(Program& program, HWND window) {
    const int position = SelectedDevicePosition(program);
    if (position < 0) return;
    program.app.selected_slot = position;
    const int slot = SelectedAdapterSlot(program.inventory, program.app.selected_adapter, position);
    program.app.host_adapter_selected = KindOfSlot(program.texts, program.inventory.slots[slot]) ==
                                        SlotKind::HostAdapter;
    if (ShowDeviceProperties(program, window) == 1 && program.app.device_list != nullptr)
        InvalidateRect(program.app.device_list, nullptr, TRUE);
}

void OnDeviceDiagnostics(Program& program, HWND window) {
    const int position = SelectedDevicePosition(program);
    if (position < 0) return;
    program.app.selected_slot = position;
    ShowDiagnostics(program, window);
}

// ---- Re-scan and the wide-bus option -------------------------------------------

void OnRescan(Program& program, HWND window) {
    if (program.app.skip_rescan_prompt == 1) {
        program.app.skip_rescan_prompt = 0;
    } else if (ShowMessage(program.messages, 0, IDS_RESCAN_QUESTION, win::kMbIconQuestion | win::kMbOkCancel) !=
               win::kIdOk) {
        return;
    }
    SetWindowTextA(window, kMainWindowCaption);
    InvalidateRect(window, nullptr, TRUE);
    RescanBuses(program, window);
}

void OnWideBus(Program& program, HWND window, WPARAM wparam, LPARAM lparam) {
    const UINT state = ToggleMenuCheck(program.app.main_menu, IDM_WIDE_BUS);
    program.inventory.max_target_id = state == MF_CHECKED ? kMaxTargetIdWide : kMaxTargetIdNarrow;
    program.app.skip_rescan_prompt = 1;
    SendMessageA(window, WM_COMMAND, MAKEWPARAM(IDM_RESCAN, HIWORD(wparam)), lparam);
}

// ---- Commands, notifications, context menu -----------------------------------------

bool OnCommand(Program& program, HWND window, WPARAM wparam, LPARAM lparam) {
    switch (LOWORD(wparam)) {
        case IDM_FILE_OPEN:
            if (OpenListing(program, window)) OnListingChosen(program, window);
            return true;
        case IDM_FILE_SAVE:
            SaveListing(program);
            return true;
        case IDM_FILE_SAVE_AS:
            if (SaveListingAs(program, window)) OnListingChosen(program, window);
            return true;
        case IDM_FILE_EXIT:
            PostMessageA(window, WM_CLOSE, wparam, lparam);
            return true;
        case IDM_VIEW_LARGE_ICONS:
        case IDM_VIEW_SMALL_ICONS:
        case IDM_VIEW_LIST:
        case IDM_VIEW_DETAILS:
            if (program.app.device_list != nullptr) SetListViewMode(program.app.device_list, LOWORD(wparam));
            return true;
        case IDM_HELP_ABOUT:
            ShowAboutBox(program, window);
            return true;
        case IDM_RESCAN:
            OnRescan(program, window);
            return true;
        case IDM_DEVICE_PROPERTIES:
            OnDeviceProperties(program, window);
            return true;
        case IDM_HELP_CONTENTS:
            ShowHelpContents(program, window);
            return true;
        case IDM_DEVICE_DIAGNOSTICS:
            OnDeviceDiagnostics(program, window);
            return true;
        case IDM_WIDE_BUS:
            OnWideBus(program, window, wparam, lparam);
            return true;
        default:
            return false;
    }
}

void OnToolTip(Program& program, NMHDR* header) {
    const UINT command = static_cast<UINT>(header->idFrom);
    program.app.title[0] = '\0';
    LoadProgramText(static_cast<int>(command), program.app.title, sizeof program.app.title);
    if (header->code == TTN_NEEDTEXTA) {
        reinterpret_cast<NMTTDISPINFOA*>(header)->lpszText = program.app.title;
    } else {
        // A tooltip that asks in UTF-16 gets the same text converted.
        static WCHAR wide[sizeof program.app.title];
        MultiByteToWideChar(CP_ACP, 0, program.app.title, -1, wide, ARRAYSIZE(wide));
        reinterpret_cast<NMTTDISPINFOW*>(header)->lpszText = wide;
    }
}

LRESULT OnNotify(Program& program, HWND window, LPARAM lparam) {
    NMHDR* header = reinterpret_cast<NMHDR*>(lparam);
    if (header->code == TTN_NEEDTEXTA || header->code == TTN_NEEDTEXTW) OnToolTip(program, header);
    if (header->hwndFrom == program.app.adapter_tree && OnAdapterTreeNotify(program, header)) {
        FillDeviceList(program, program.app.device_list, program.app.selected_adapter);
        UpdateStatusBar(program, program.app.selected_adapter);
    }
    OnDeviceListNotify(program, header);
    if (header->code == NM_SETFOCUS) OnPaneFocused(program, header->hwndFrom);
    if (header->hwndFrom == program.app.device_list && header->code == NM_DBLCLK &&
        SendMessageA(program.app.device_list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED | LVNI_FOCUSED) >=
            0) {
        SendMessageA(window, WM_COMMAND, IDM_DEVICE_PROPERTIES, 0);
    }
    return 0;
}

void OnContextMenu(Program& program, HWND window, WPARAM wparam, LPARAM lparam) {
    if (reinterpret_cast<HWND>(wparam) != program.app.device_list || program.app.device_list == nullptr) return;
    HMENU menu = LoadProgramMenu("DEVICEPOPUPMENU");
    if (menu == nullptr) return;
    POINT at{GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)};
    // Asked from the keyboard (Shift+F10, the context-menu key): at the
    // focused item, not wherever the mouse happens to be.
    if (lparam == -1) at = KeyboardDeviceMenuPoint(program);
    TrackPopupMenu(GetSubMenu(menu, 0), TPM_RIGHTBUTTON, at.x, at.y, 0, window, nullptr);
    // The menu was loaded for this one showing, whatever the tracking answered.
    DestroyMenu(menu);
}

}  // namespace

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    Program& program = TheProgram();
    switch (message) {
        case WM_CREATE:
            return OnCreate(program, window);
        case WM_SIZE:
            OnSize(program, window);
            return 0;
        case WM_CLOSE:
            OnClose(program, window, wparam, lparam);
            return 0;
        case WM_DESTROY:
            OnDestroy(program);
            return 0;
        case WM_DISPLAYCHANGE:
            OnDisplayChange(program, window, lparam);
            return 0;
        case WM_SETFOCUS:
            RestorePaneFocus(program);
            return 0;
        case WM_CONTEXTMENU:
            OnContextMenu(program, window, wparam, lparam);
            return 0;
        case WM_NOTIFY:
            return OnNotify(program, window, lparam);
        case WM_COMMAND:
            if (OnCommand(program, window, wparam, lparam)) return 0;
            break;
        case kWmScanStep:
            OnScanStep(program, lparam);
            return 0;
        case WM_TIMER:
            if (wparam == kScanWatchTimer) OnScanWatchTimer(program);
            return 0;
        default:
            break;
    }
    return DefWindowProcA(window, message, wparam, lparam);
}

}  // namespace td
