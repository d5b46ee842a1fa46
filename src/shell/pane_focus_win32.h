// The keyboard in the main window: which pane has the focus, the keys that
// move it and act on the focused device, and where the device menu opens
// when the keyboard asks for it.
#pragma once

#include <windows.h>

namespace td {

struct Program;

// Called by the message loop for every message before it is translated:
// answers true when the message was a pane key (Tab, F6, Enter in the
// list) and has been acted on, so that it goes no further.
bool HandlePaneKey(Program& program, const MSG& message);

// A pane got the focus (its NM_SETFOCUS): it is remembered, so that the
// focus returns there when the window is activated again or restored. The
// list, entered without a focused item, focuses and selects its first one,
// so the user sees where he is and Enter has a device to open.
void OnPaneFocused(Program& program, HWND pane);

// The main window got the focus (activated, restored, a dialog closed):
// hand it on to the remembered pane, the tree at start-up.
void RestorePaneFocus(Program& program);

// Where the device menu opens when asked for from the keyboard, in screen
// coordinates: under the focused item, or the list's corner without one.
POINT KeyboardDeviceMenuPoint(Program& program);

}  // namespace td
