// The help viewer that shows the manual: WinHelp where the system has it,
// HTML Help on Windows Vista and later, which have no WinHelp viewer.
#pragma once

#include <windows.h>

namespace td {

struct Program;

// HtmlHelpA, taken from hhctrl.ocx the first time the manual is opened.
// The program never imports it: Windows 95 as shipped has no hhctrl.ocx.
struct HtmlHelpLibrary {
    using Entry = HWND(WINAPI*)(HWND caller, LPCSTR file, UINT command, DWORD_PTR data);
    HMODULE module;
    Entry html_help;
};

// The help files the program handed to WinHelp during the run. The viewer
// is a program of its own that stays open until every program that asked it
// for a file says that it is done with it.
struct WinHelpUse {
    bool manual;        // KDX.hlp, Help > Help...
    bool context_help;  // KDXCH.hlp, the properties pages' help
};

// Help > Help...: the manual at its contents. Where the system has WinHelp,
// KDX.hlp through WinHelpA. Otherwise KDX.chm through HtmlHelpA; when
// hhctrl.ocx, its HtmlHelpA or KDX.chm is missing, or the viewer opens no
// window, KDX.hlp through WinHelpA after all.
void ShowHelpContents(Program& program, HWND window);

// At the program's end: the help viewers close with it. WinHelp is told
// that the program is done with each file it was given (HELP_QUIT), and
// the HTML Help windows are closed.
void CloseHelpViewers(Program& program);

}  // namespace td
