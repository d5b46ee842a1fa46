// The device properties sheet: the device page and the host adapter page.
#pragma once

#include <windows.h>

namespace td {

struct Program;

// Runs the sheet modally for the slot the main window selected; answers the
// sheet's result (1 when the list should be repainted).
INT_PTR ShowDeviceProperties(Program& program, HWND owner);

}  // namespace td
