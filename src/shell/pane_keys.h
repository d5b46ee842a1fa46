// The keys of the main window's two panes, the adapter tree and the device
// list, as two-pane Windows programs have them.
//
// Tab and F6 go to the other pane, Shift+Tab and Shift+F6 back (with two
// panes, the other one either way); Enter in the list opens the focused
// device's properties, as a double click does. F5 and Alt+Enter are the
// menu's own keys (the accelerator table) and work in either pane;
// Shift+F10 and the context-menu key reach the list itself, which asks its
// parent for the menu.
#pragma once

namespace td {

enum class Pane { None, Tree, List };

enum class PaneKeyAction { None, FocusOtherPane, OpenProperties };

struct KeyPress {
    int virtual_key;  // VK_TAB, VK_F6, VK_RETURN ...
    bool shift;
    bool control;
    bool alt;
};

// What a key pressed in `focused` does; None leaves the key to the pane.
PaneKeyAction DecidePaneKey(Pane focused, const KeyPress& key);

struct PaneBox {
    int left, top, right, bottom;
};

// Where a context menu asked for from the keyboard opens, in the list's
// client coordinates: under the focused item's label (its left edge, its
// bottom), kept inside the list's client area so that a half-hidden item
// still gets its menu beside it.
struct PanePoint {
    int x, y;
};
PanePoint KeyboardMenuPoint(const PaneBox& item_label, const PaneBox& list_client);

}  // namespace td
