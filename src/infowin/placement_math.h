// The arithmetic of placing dialogs and pictures.
#pragma once

namespace td {

struct ScreenRect {
    int left, top, right, bottom;
};

struct ScreenPoint {
    int x, y;
};

// Where a window of `width` x `height` goes to be centred over `owner`
// (halvings truncated toward zero) and inside `work_area`: pushed right to
// the work area's left edge, else pushed left so its right edge lies on the
// work area's right edge; likewise vertically.
ScreenPoint CenterOverOwner(int width, int height, const ScreenRect& owner, const ScreenRect& work_area);

// Where a bitmap of `width` x `height` is drawn to be centred in a control
// whose rectangle is `control` (client coordinates of the dialog); a bitmap
// larger than the control overhangs it equally on both sides.
ScreenPoint CenteredBitmapOrigin(const ScreenRect& control, int width, int height);

// The width a control starting `left` pixels into a page `page_width`
// pixels wide may have so that it keeps the same margin on the right: its
// own width when that fits, never less than 1. (A property sheet may give
// a page less room than its template asks for, as Wine's does at 120 dpi.)
int WidthWithinPage(int left, int width, int page_width);

}  // namespace td
