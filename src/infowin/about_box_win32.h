// The About box of the Help menu: dialog "ABOUTBOX", filled at run time
// from the program file's version information and the system's version.
#pragma once

#include <windows.h>

namespace td {

struct Program;

// Runs the About box modally over `owner`; answers the dialog's result (1).
INT_PTR ShowAboutBox(Program& program, HWND owner);

INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam);

// The two fonts of an open About box (the large one is control 506's);
// both are null once the box was closed.
struct AboutFonts {
    HFONT large;
    HFONT small;
};
AboutFonts AboutBoxFonts(HWND dialog);

}  // namespace td
