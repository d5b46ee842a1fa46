// Two helpers the program's dialogs share: centring a dialog over its owner
// inside the work area, and painting a device picture centred in one of a
// dialog's controls.
#pragma once

#include <windows.h>

namespace td {

// Moves `window`, keeping its size and its place in the z-order, so that it
// is centred over `owner` (halvings truncated toward zero) and lies inside
// the work area; where the work area cannot be had, inside the screen.
// Without an owner the window is centred in the work area.
void CenterWindow(HWND window, HWND owner);

// Paints `bitmap` unscaled, centred in the rectangle of control
// `control_id` of `dialog`, on `dc`, the dialog's paint DC (between the
// caller's BeginPaint and EndPaint). A picture larger than the control
// overhangs it equally on both sides. No bitmap, no control: nothing drawn.
void DrawCenteredBitmap(HWND dialog, int control_id, HDC dc, HBITMAP bitmap);

}  // namespace td
