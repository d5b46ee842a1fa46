#include "shell/frame_layout.h"

namespace td {

static int AtLeastZero(int value) { return value < 0 ? 0 : value; }

FrameLayout ComputeFrameLayout(int width, int height) {
    const int w = AtLeastZero(width);
    const int views_height = AtLeastZero(height - 46);
    FrameLayout layout{};
    layout.status_bar = {0, 0, w, 20};
    layout.toolbar = {0, 0, w, 20};
    layout.tree = {0, kViewsTop, w / 4, views_height};
    layout.list = {w / 4, kViewsTop, w - w / 4, views_height};
    return layout;
}

ControlRect InitialTreeRect(int width, int height) { return {0, kViewsTop, width / 4, AtLeastZero(height - 45)}; }

ControlRect InitialListRect(int width, int height) {
    return {width / 4, kViewsTop, width - width / 4, AtLeastZero(height - 42)};
}

int ListColumnWidth(int width) { return (width - width / 4) / 5 + 1; }

}  // namespace td
