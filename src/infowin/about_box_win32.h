// The About box of the Help menu.
#pragma once

#include <windows.h>

namespace td {

struct Program;

void ShowAboutBox(Program& program, HWND owner);

}  // namespace td
