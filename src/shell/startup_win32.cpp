#include "shell/startup_win32.h"

#include "common/program_resources_win32.h"
#include "common/win_codes.h"
#include "infowin/splash_win32.h"
#include "resources/resource_ids.h"
#include "shell/discovery_win32.h"
#include "shell/main_window_win32.h"
#include "shell/pane_focus_win32.h"
#include "shell/platform.h"
#include "shell/program_win32.h"

namespace td {

Program& TheProgram() {
    static Program program{};
    return program;
}

bool RegisterMainWindowClass(HINSTANCE instance) {
    WNDCLASSA window_class{};
    window_class.style = 0;
    window_class.lpfnWndProc = MainWindowProc;
    window_class.hInstance = instance;
    window_class.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_PROGRAM));
    window_class.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    window_class.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    window_class.lpszMenuName = kMainMenuName;
    window_class.lpszClassName = kMainWindowClass;
    return RegisterClassA(&window_class) != 0;
}

bool CreateMainWindow(Program& program, HINSTANCE instance, int /*show_command*/) {
    const int screen_width = GetSystemMetrics(SM_CXSCREEN);
    const int screen_height = GetSystemMetrics(SM_CYSCREEN);
    // Windows 95 and NT 4.0 know no virtual screen and answer 0 for it,
    // which stands for the primary screen.
    const ScreenArea screen{GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN),
                            GetSystemMetrics(SM_CXVIRTUALSCREEN), GetSystemMetrics(SM_CYVIRTUALSCREEN)};
    program.placement = LoadWindowPlacement(program.registry, screen_width, screen_height, screen);
    program.app.instance = instance;
    const WindowPlacementRecord& place = program.placement;
    // The menu of the user's language set; the class's own menu, which the
    // system would pick by its own rules, only where the program file has
    // none to give.
    HMENU menu = LoadProgramMenu(kMainMenuName);
    program.app.main_window = CreateWindowExA(0, kMainWindowClass, kMainWindowCaption, WS_OVERLAPPEDWINDOW, place.left,
                                              place.top, place.width, place.height, nullptr, menu, instance, nullptr);
    if (program.app.main_window == nullptr && menu != nullptr) DestroyMenu(menu);
    return program.app.main_window != nullptr;
}

UINT ToggleMenuCheck(HMENU menu, UINT item) {
    const UINT state = GetMenuState(menu, item, MF_BYCOMMAND);
    const UINT next = state == MF_CHECKED ? MF_UNCHECKED : MF_CHECKED;
    CheckMenuItem(menu, item, MF_BYCOMMAND | next);
    return next;
}

// The panes' own keys first (Tab, F6, Enter in the list), then the menu's
// keys (F5, Alt+Enter); dialogs and menus run loops of their own.
static int RunMessageLoop(Program& program) {
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (HandlePaneKey(program, message)) continue;
        if (program.app.accelerators != nullptr &&
            TranslateAcceleratorA(program.app.main_window, program.app.accelerators, &message))
            continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return static_cast<int>(message.wParam);
}

int RunProgram(Program& program, HINSTANCE instance, int show_command) {
    Inventory& inventory = program.inventory;
    inventory.adapter_count = 0;
    inventory.slot_count = 0;
    inventory.scan_complete = 0;
    inventory.platform = kPlatformUnknown;

    if (!LoadSharedTexts(program.messages, program.texts)) return 0;

    const DWORD version = GetVersion();
    program.help_viewer = DecideHelpViewer(version);
    switch (DecidePlatform(version)) {
        case PlatformDecision::WindowsNt:
            inventory.platform = kPlatformNt;
            program.device_io = &SystemDeviceIo();
            break;
        case PlatformDecision::Windows95:
            inventory.platform = kPlatformWin95;
            break;
        case PlatformDecision::Win32s:
            ShowMessage(program.messages, 0, IDS_WIN32S_REFUSED, win::kMbIconError);
            return 0;
    }

    if (!RegisterMainWindowClass(instance)) return 0;
    if (!CreateMainWindow(program, instance, show_command)) return 0;
    const WindowRef main_window = ToRef(program.app.main_window);

    program.app.main_menu = GetMenu(program.app.main_window);
    if (program.app.main_menu == nullptr) {
        ShowMessage(program.messages, main_window, IDS_NO_MENU, win::kMbIconError);
        return 0;
    }
    program.app.accelerators = LoadAcceleratorsA(instance, kAcceleratorsName);
    // The wide-bus option is not stored: every start scans IDs 0 to 15.
    ToggleMenuCheck(program.app.main_menu, IDM_WIDE_BUS);
    inventory.max_target_id = kMaxTargetIdWide;

    ShowStartupSplash(program);

    const int refusal = CheckInstallation(program.registry, program.help);
    if (refusal != 0) {
        ShowMessage(program.messages, main_window, refusal, win::kMbIconError);
        HideStartupSplash(program);
        return 0;
    }

    const StartupDiscovery discovery = DiscoverAtStartup(program);
    if (discovery == StartupDiscovery::Exit) {
        HideStartupSplash(program);
        return 0;
    }

    program.clock.Sleep(2000);
    HideStartupSplash(program);

    if (inventory.adapter_count <= 0) {
        ShowMessage(program.messages, main_window, IDS_NO_ADAPTER, win::kMbIconError);
    }

    ShowWindow(program.app.main_window, show_command);
    UpdateWindow(program.app.main_window);

    if (discovery == StartupDiscovery::DeviceScanPending && inventory.scan_complete == 0 &&
        inventory.adapter_count > 0) {
        StartDeviceScan(program);
    }

    return RunMessageLoop(program);
}

}  // namespace td

namespace td {

ScsiCommandContext Program::ScsiContext() {
    return ScsiCommandContext{inventory,         clock,        messages,  sense_report,
                              last_error,        exec_srb,     aspi_area, aspi.loaded() ? &aspi : nullptr,
                              &SystemDeviceIo(), ProcessHeap()};
}

}  // namespace td
