#include "shell/pane_keys.h"

namespace td {
namespace {

// The virtual-key codes this file decides on (winuser.h's values).
constexpr int kVkTab = 0x09;
constexpr int kVkReturn = 0x0D;
constexpr int kVkF6 = 0x75;

int Clamp(int value, int low, int high) { return value < low ? low : value > high ? high : value; }

}  // namespace

PaneKeyAction DecidePaneKey(Pane focused, const KeyPress& key) {
    if (focused == Pane::None || key.control) return PaneKeyAction::None;
    // Alt+Tab belongs to the system; Alt+F6 too (it moves between a
    // program's windows).
    if ((key.virtual_key == kVkTab || key.virtual_key == kVkF6) && !key.alt) return PaneKeyAction::FocusOtherPane;
    // Enter, like a double click; Alt+Enter the same through the menu's
    // accelerator, which is why it is not claimed here.
    if (key.virtual_key == kVkReturn && focused == Pane::List && !key.alt && !key.shift)
        return PaneKeyAction::OpenProperties;
    return PaneKeyAction::None;
}

PanePoint KeyboardMenuPoint(const PaneBox& item_label, const PaneBox& list_client) {
    const int right = list_client.right > list_client.left ? list_client.right - 1 : list_client.left;
    const int bottom = list_client.bottom > list_client.top ? list_client.bottom - 1 : list_client.top;
    return PanePoint{Clamp(item_label.left, list_client.left, right),
                     Clamp(item_label.bottom, list_client.top, bottom)};
}

}  // namespace td
