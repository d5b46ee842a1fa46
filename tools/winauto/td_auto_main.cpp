// td-auto: the run script's hands. Waits for the program's main window,
// reports (and answers) the message boxes it shows on the way, takes
// screenshots and chooses the Exit command.
//
//   td-auto wait-main SECONDS    wait for the main window; answers every
//                                message box met meanwhile with its default
//                                button, printing its caption and text
//   td-auto exit                 choose File > Exit in the main window
//   td-auto screenshot FILE.bmp  save the screen
//   td-auto hold-desktop SECONDS keep the virtual desktop up that long: Wine
//                                ends it a moment after its last program,
//                                and a program that has to start it again
//                                waits only seconds for it (too few under an
//                                emulated processor)
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
    if (argc >= 3 && std::string(argv[1]) == "hold-desktop") {
        if (GetDesktopWindow() == nullptr) return 1;
        Sleep(static_cast<DWORD>(std::atoi(argv[2])) * 1000);
        return 0;
    }
    std::fprintf(stderr, "usage: td-auto wait-main SECONDS | exit | screenshot FILE.bmp | hold-desktop SECONDS\n");
    return 2;
}
