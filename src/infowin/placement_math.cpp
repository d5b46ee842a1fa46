#include "infowin/placement_math.h"

namespace td {

static int Place(int owner_start, int owner_size, int size, int area_start, int area_end) {
    int position = owner_start + (owner_size - size) / 2;
    if (position < area_start) {
        position = area_start;
    } else if (position + size > area_end) {
        position = area_end - size;
    }
    return position;
}

ScreenPoint CenterOverOwner(int width, int height, const ScreenRect& owner, const ScreenRect& work_area) {
    return {Place(owner.left, owner.right - owner.left, width, work_area.left, work_area.right),
            Place(owner.top, owner.bottom - owner.top, height, work_area.top, work_area.bottom)};
}

ScreenPoint CenteredBitmapOrigin(const ScreenRect& control, int width, int height) {
    return {control.left + ((control.right - control.left) - width) / 2,
            control.top + ((control.bottom - control.top) - height) / 2};
}

int WidthWithinPage(int left, int width, int page_width) {
    const int room = page_width - 2 * left;
    if (width <= room) return width;
    return room > 1 ? room : 1;
}

}  // namespace td
