// The device properties sheet: the device page and the host adapter page.
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <prsht.h>

#include <cstdint>

namespace td {

struct Program;

// Runs the sheet modally for the slot the main window selected; answers the
// sheet's result (1 when the list should be repainted).
INT_PTR ShowDeviceProperties(Program& program, HWND owner);

// The sheet as ShowDeviceProperties runs it: caption 50039, no Apply
// button, the device page (dialog 900, title 901), the host adapter page
// (dialog 135, title 902) and, for a slot that holds a device, the Details
// page (dialog 903, title 903), starting on the host adapter page when the
// adapter's own slot was chosen. The header points into `pages`, so the
// parts stay where they were built. The pages have the first layout of the
// structure, which every version of the common controls takes: the sheet
// steps from page to page by the size each page gives.
struct PropertySheetParts {
    PROPSHEETHEADERA header;
    PROPSHEETPAGEA_V1 pages[3];
    char titles[3][64];  // the pages' tab titles
};
void BuildPropertySheet(Program& program, HWND owner, PropertySheetParts& parts);

// The dialog procedures of the two pages. WM_INITDIALOG receives the
// page's PROPSHEETPAGEA, whose lParam is the Program.
INT_PTR CALLBACK DevicePageProc(HWND page, UINT message, WPARAM wparam, LPARAM lparam);
INT_PTR CALLBACK AdapterPageProc(HWND page, UINT message, WPARAM wparam, LPARAM lparam);

// Context help on a page whose window keeps the Program (DWLP_USER): F1
// over a control (WM_HELP) and the right button (WM_CONTEXTMENU), with the
// page's table of control and help context ids.
bool OnHelp(HWND page, LPARAM lparam, const std::uint32_t* table);
bool OnContextMenu(HWND page, WPARAM wparam, const std::uint32_t* table);
// WM_INITDIALOG of a page: keeps the Program its PROPSHEETPAGEA carries.
void AdoptSheetProgram(HWND page, LPARAM lparam);

// The help viewer the pages call, WinHelpA unless replaced (tests record
// the calls instead of starting a viewer). Answers the one it replaced.
using HelpViewer = BOOL(WINAPI*)(HWND window, LPCSTR file, UINT command, ULONG_PTR data);
HelpViewer SetPageHelpViewer(HelpViewer viewer);

}  // namespace td
