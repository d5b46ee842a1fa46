// The program entry. The command line is not read.
#include <windows.h>

#include "shell/program_win32.h"
#include "shell/startup_win32.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show_command) {
    return td::RunProgram(td::TheProgram(), instance, show_command);
}
