// A context help popup drawn by the program itself.
//
// Pressing F1 over a control of the properties pages (or right-clicking
// it) asks the help viewer for the control's topic. Where the viewer
// refuses the request (Wine's viewer answers neither HELP_WM_HELP nor
// HELP_CONTEXTMENU, and draws no popups at all), the program shows the
// same short text itself, from its string table, the way the viewer's popup
// looks: a small bordered window in the tooltip colours under the control,
// gone at the next click or key.
#pragma once

#include <windows.h>

namespace td {

// Shows `text` in a popup below `control`; any earlier popup closes first.
// Answers the popup window, nullptr when it could not be created.
HWND ShowHelpPopup(HWND control, const char* text);

// The popup shown last, while it is open.
HWND CurrentHelpPopup();

}  // namespace td
