// Helpers the program's dialogs share: centring a dialog over its owner
// inside the work area, painting a device picture centred in one of a
// dialog's controls, and letting go of the pictures a dialog template's
// bitmap controls loaded.
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

// Deletes the pictures the bitmap controls (SS_BITMAP statics) of `dialog`
// loaded from its template; for the dialog's WM_DESTROY, while its controls
// still exist. Windows' static control deletes such a picture with itself,
// Wine's never does, so each About box or sheet shown left one bitmap
// behind. Taken out of the control first (STM_SETIMAGE answers it, and the
// control then deletes nothing), it is the program's to delete on both.
void ReleaseTemplatePictures(HWND dialog);

}  // namespace td
