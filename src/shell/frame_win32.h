// The main window's frame: status bar, toolbar and the layout of the four
// controls.
#pragma once

#include <windows.h>

namespace td {

struct Program;

// Creates the status bar, the toolbar, the device list and the adapter tree
// in that order; a control that cannot be created is reported and the ones
// after it are not created. Answers whether all four exist.
bool CreateFrameControls(Program& program, HWND main_window);
HWND CreateMainToolbar(HWND main_window);
// Places the four controls for the current client area; false when the
// deferred positioning failed.
bool LayoutFrame(Program& program, HWND main_window);
// Shows adapter `adapter_index` (-1: none) and its device count.
void UpdateStatusBar(Program& program, int adapter_index);

}  // namespace td
