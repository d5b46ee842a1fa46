// td-auto: the run script's hands. Waits for the program's main window,
// reports (and answers) the message boxes it shows on the way, takes
// screenshots and chooses the Exit command.
//
//   td-auto wait-main SECONDS    wait for the main window; answers every
//                                message box met meanwhile with its default
//                                button, printing its caption and text
//   td-auto exit                 choose File > Exit in the main window
//   td-auto screenshot FILE.bmp  save the screen
//   td-auto keys KEY...          press keys as the user would, one after
//                                another: Tab, Shift+F10, Alt+Enter, Down,
//                                Alt+O, G ...
//   td-auto command ID           choose a command of the main window
//   td-auto details ID [SECONDS] [PAGE]
//                                double-click the device with SCSI ID in the
//                                device list, turn its properties sheet to
//                                the third page (Details) and wait until
//                                the device has answered (30 s at most);
//                                then show page PAGE (0 to 2) if given
//   td-auto hold-desktop SECONDS keep the virtual desktop up that long: Wine
//                                ends it a moment after its last program,
//                                and a program that has to start it again
//                                waits only seconds for it (too few under an
//                                emulated processor)
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "automation.h"

namespace {

constexpr char kMainClass[] = "APP_UI_WClass";

void PrintBox(const td::autom::MessageBoxView& box) {
    std::printf("message box \"%s\": %s\n", box.caption.c_str(), box.text.c_str());
    std::fflush(stdout);
}

int WaitMain(int seconds) {
    const DWORD deadline = GetTickCount() + static_cast<DWORD>(seconds) * 1000;
    while (GetTickCount() < deadline) {
        HWND main = td::autom::WaitForWindow(0, kMainClass, "", 100);
        if (main != nullptr) {
            std::printf("main window \"%s\"\n", td::autom::TextOf(main).c_str());
            return 0;
        }
        for (HWND window : td::autom::TopLevelWindows(0)) {
            auto box = td::autom::ReadMessageBox(window);
            if (box && td::autom::IsFilled(*box)) {
                PrintBox(*box);
                td::autom::PressButton(box->window, IDOK);
                Sleep(300);
            }
        }
    }
    std::printf("no main window after %d s\n", seconds);
    return 1;
}

// The sheet's pages are dialogs inside it; the one shown is visible.
HWND ShownPage(HWND sheet) {
    for (HWND child = FindWindowExA(sheet, nullptr, "#32770", nullptr); child != nullptr;
         child = FindWindowExA(sheet, child, "#32770", nullptr))
        if (IsWindowVisible(child)) return child;
    return nullptr;
}

int Details(const std::string& id, int seconds, int shown_page) {
    HWND main = td::autom::WaitForWindow(0, kMainClass, "", 1000);
    HWND list = main != nullptr ? GetDlgItem(main, 1002) : nullptr;
    if (list == nullptr) {
        std::printf("no device list\n");
        return 1;
    }
    const auto rows = td::autom::ReadList(list, 1);
    int row = -1;
    for (std::size_t i = 0; i < rows.size(); ++i)
        if (!rows[i].empty() && rows[i][0] == id) row = static_cast<int>(i);
    if (row < 0) {
        std::printf("no device with SCSI ID %s in the list\n", id.c_str());
        return 1;
    }
    const RECT item = td::autom::ListItemRect(list, row);
    td::autom::DoubleClick((item.left + item.right) / 2, (item.top + item.bottom) / 2);
    HWND sheet = nullptr;
    td::autom::WaitUntil(
        [&] {
            for (HWND window : td::autom::TopLevelWindows(td::autom::ProcessOf(main)))
                if (td::autom::ClassOf(window) == "#32770" && GetWindow(window, GW_OWNER) == main) sheet = window;
            return sheet != nullptr;
        },
        5000);
    if (sheet == nullptr) {
        std::printf("no properties sheet\n");
        return 1;
    }
    SendMessageA(sheet, PSM_SETCURSEL, 2, 0);
    // The page says "..." on a line while it still asks.
    const bool answered = td::autom::WaitUntil(
        [&] {
            HWND page = ShownPage(sheet);
            if (page == nullptr || GetDlgItem(page, 1040) == nullptr) return false;
            for (int field : {1040, 1041, 1042})
                if (td::autom::TextOf(GetDlgItem(page, field)).find("...") != std::string::npos) return false;
            return true;
        },
        static_cast<DWORD>(seconds) * 1000);
    HWND page = ShownPage(sheet);
    if (shown_page >= 0) SendMessageA(sheet, PSM_SETCURSEL, static_cast<WPARAM>(shown_page), 0);
    for (int field : {1040, 1041, 1042})
        std::printf("%d: %s\n", field, page != nullptr ? td::autom::TextOf(GetDlgItem(page, field)).c_str() : "");
    return answered ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 3 && std::string(argv[1]) == "wait-main") return WaitMain(std::atoi(argv[2]));
    if (argc >= 2 && std::string(argv[1]) == "exit") {
        HWND main = td::autom::WaitForWindow(0, kMainClass, "", 1000);
        if (main == nullptr) return 1;
        td::autom::PostCommand(main, 104);
        return 0;
    }
    if (argc >= 3 && std::string(argv[1]) == "screenshot") return td::autom::SaveScreenshot(argv[2]) ? 0 : 1;
    if (argc >= 3 && std::string(argv[1]) == "keys") {
        for (int i = 2; i < argc; ++i) {
            if (!td::autom::PressNamedKey(argv[i])) {
                std::fprintf(stderr, "td-auto: no key named %s\n", argv[i]);
                return 2;
            }
            Sleep(300);  // each key's work is seen before the next
        }
        return 0;
    }
    if (argc >= 3 && std::string(argv[1]) == "command") {
        HWND main = td::autom::WaitForWindow(0, kMainClass, "", 1000);
        if (main == nullptr) return 1;
        td::autom::PostCommand(main, std::atoi(argv[2]));
        return 0;
    }
    if (argc >= 3 && std::string(argv[1]) == "details")
        return Details(argv[2], argc >= 4 ? std::atoi(argv[3]) : 30, argc >= 5 ? std::atoi(argv[4]) : -1);
    if (argc >= 3 && std::string(argv[1]) == "hold-desktop") {
        if (GetDesktopWindow() == nullptr) return 1;
        Sleep(static_cast<DWORD>(std::atoi(argv[2])) * 1000);
        return 0;
    }
    std::fprintf(stderr,
                 "usage: td-auto wait-main SECONDS | exit | screenshot FILE.bmp | keys KEY... | command ID |"
                 " details ID [SECONDS] [PAGE] | hold-desktop SECONDS\n");
    return 2;
}
