// Where the main window's four controls go.
//
// The client area is a fixed frame: the toolbar along the top, the status
// bar along the bottom, the adapter tree in the left quarter and the device
// list in the other three quarters, both starting 27 pixels down.
#pragma once

namespace td {

struct ControlRect {
    int x, y, width, height;
};

struct FrameLayout {
    ControlRect status_bar;  // only its size is applied: the bar places itself
    ControlRect toolbar;     // only its size is applied: the bar places itself
    ControlRect tree;        // only its size is applied: it stays where it was created
    ControlRect list;        // moved and sized
};

constexpr int kViewsTop = 27;

// The layout for a client area of W x H pixels (divisions truncate). A
// client area smaller than the fixed offsets (a minimized window) gives
// the views a height of 0 rather than a negative one.
FrameLayout ComputeFrameLayout(int width, int height);

// Where the views are created, before the first resize: the tree at
// (0, 27) sized W/4 x (H - 45), the list at (W/4, 27) sized (W - W/4) x
// (H - 42), and the width of each of the list's five columns.
ControlRect InitialTreeRect(int width, int height);
ControlRect InitialListRect(int width, int height);
int ListColumnWidth(int width);

}  // namespace td
