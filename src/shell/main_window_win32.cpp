#include "shell/main_window_win32.h"

#include "resources/resource_ids.h"
#include "shell/program_win32.h"

namespace td {
namespace {

LRESULT OnCreate(Program& program) {
    program.inventory.adapter_count = 0;
    program.inventory.slot_count = 0;
    program.app.selected_adapter = -1;
    program.app.selected_slot = -1;
    // The window opens whether or not its controls could be created.
    return 0;
}

// Stores the placement the user left the window in, with the list's view
// mode, so that the next start opens the same way.
void OnClose(Program& program, HWND window, WPARAM wparam, LPARAM lparam) {
    RECT rect{};
    GetWindowRect(window, &rect);
    WindowPlacementRecord record{};
    record.left = rect.left;
    record.top = rect.top;
    record.width = rect.right - rect.left;
    record.height = rect.bottom - rect.top;
    record.view_mode = program.app.device_list != nullptr
                           ? static_cast<std::int32_t>(GetWindowLongA(program.app.device_list, GWL_STYLE) & LVS_TYPEMASK)
                           : 0;
    record.screen_width = GetSystemMetrics(SM_CXSCREEN);
    record.screen_height = GetSystemMetrics(SM_CYSCREEN);
    SaveWindowPlacement(program.registry, record);
    SendMessageA(window, WM_DESTROY, wparam, lparam);
}

void OnDestroy(Program&) { PostQuitMessage(0); }

bool OnCommand(Program&, HWND window, WPARAM wparam, LPARAM lparam) {
    switch (LOWORD(wparam)) {
        case IDM_FILE_EXIT:
            PostMessageA(window, WM_CLOSE, wparam, lparam);
            return true;
        default:
            return false;
    }
}

}  // namespace

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    Program& program = TheProgram();
    switch (message) {
        case WM_CREATE:
            return OnCreate(program);
        case WM_CLOSE:
            OnClose(program, window, wparam, lparam);
            return 0;
        case WM_DESTROY:
            OnDestroy(program);
            return 0;
        case WM_COMMAND:
            if (OnCommand(program, window, wparam, lparam)) return 0;
            break;
        default:
            break;
    }
    return DefWindowProcA(window, message, wparam, lparam);
}

}  // namespace td
