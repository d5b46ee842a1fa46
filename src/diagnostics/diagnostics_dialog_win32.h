// The "Device Diagnostic Tests" dialog.
#pragma once

#include <windows.h>

namespace td {

struct Program;

// Runs the dialog modally for the slot the main window selected.
void ShowDiagnostics(Program& program, HWND owner);

}  // namespace td
