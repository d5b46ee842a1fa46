// The Details page of the device properties sheet (dialog 903).
#pragma once

#include <windows.h>

namespace td {

// The page's dialog procedure. WM_INITDIALOG receives the page's
// PROPSHEETPAGEA, whose lParam is the Program. The device is asked when the
// page is first shown, from a timer, so the sheet stays responsive; the
// questions end when they are answered or when the page is destroyed.
INT_PTR CALLBACK DetailsPageProc(HWND page, UINT message, WPARAM wparam, LPARAM lparam);

// How often the page looks whether an answer has come.
constexpr UINT kDetailsLookMs = 50;

}  // namespace td
