// The main window: the program's only top-level window.
#pragma once

#include <windows.h>

namespace td {

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

}  // namespace td
