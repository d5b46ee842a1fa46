// From launch to the message loop.
#pragma once

#include <windows.h>

namespace td {

struct Program;

// The whole start-up sequence and the message loop; answers the program's
// exit code (0 on every path).
int RunProgram(Program& program, HINSTANCE instance, int show_command);

bool RegisterMainWindowClass(HINSTANCE instance);
bool CreateMainWindow(Program& program, HINSTANCE instance, int show_command);

// Flips the check mark of a menu item: an item whose state reads exactly
// MF_CHECKED is unchecked, any other is checked. Answers the new state
// (0 or MF_CHECKED).
UINT ToggleMenuCheck(HMENU menu, UINT item);

}  // namespace td
