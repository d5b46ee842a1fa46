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
    std::fprintf(stderr, "usage: td-auto wait-main SECONDS | exit | screenshot FILE.bmp | keys KEY... | command ID\n");
    return 2;
}
