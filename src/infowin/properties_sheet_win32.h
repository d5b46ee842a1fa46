// The device properties sheet: the device page and the host adapter page.
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <prsht.h>

namespace td {

struct Program;

// Runs the sheet modally for the slot the main window selected; answers the
// sheet's result (1 when the list should be repainted).
INT_PTR ShowDeviceProperties(Program& program, HWND owner);

// The sheet as ShowDeviceProperties runs it: caption 50039, no Apply
// button, the device page (dialog 900, title 901) and the host adapter page
// (dialog 135, title 902), starting on the host adapter page when the
// adapter's own slot was chosen. The header points into `pages`, so the
// parts stay where they were built. The pages have the first layout of the
// structure, which every version of the common controls takes: the sheet
// steps from page to page by the size each page gives.
struct PropertySheetParts {
    PROPSHEETHEADERA header;
    PROPSHEETPAGEA_V1 pages[2];
    char titles[2][64];  // the pages' tab titles
};
void BuildPropertySheet(Program& program, HWND owner, PropertySheetParts& parts);

// The dialog procedures of the two pages. WM_INITDIALOG receives the
// page's PROPSHEETPAGEA, whose lParam is the Program.
INT_PTR CALLBACK DevicePageProc(HWND page, UINT message, WPARAM wparam, LPARAM lparam);
INT_PTR CALLBACK AdapterPageProc(HWND page, UINT message, WPARAM wparam, LPARAM lparam);

// The help viewer the pages call, WinHelpA unless replaced (tests record
// the calls instead of starting a viewer). Answers the one it replaced.
using HelpViewer = BOOL(WINAPI*)(HWND window, LPCSTR file, UINT command, ULONG_PTR data);
HelpViewer SetPageHelpViewer(HelpViewer viewer);

}  // namespace td
