// What a user sees of the main window's controls beyond their texts: where
// a tree item, a toolbar button or a list header lies on the screen (so a
// test can click it), the list's column headers and the tooltip shown.
// Read across the process boundary, like the harness's other readers.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <optional>
#include <string>
#include <vector>

#include "automation.h"

namespace td::e2e::controls {

// The texts of a list view's column headers, left to right.
std::vector<std::string> ListColumnHeaders(HWND list);
// The titles of a tab control's tabs, left to right.
std::vector<std::string> TabTexts(HWND tabs);

// The screen rectangle of a tree item's label; nothing when the item is not
// shown (a child of a collapsed item).
std::optional<RECT> TreeItemRect(HWND tree, HTREEITEM item);

// The screen rectangle of the toolbar button at `index`.
RECT ToolbarButtonRect(HWND toolbar, int index);

// The text of the tooltip a process shows now; nothing when none is shown.
std::optional<std::string> ShownTooltip(DWORD process_id);

// The screen rectangle of a window, and its middle.
RECT ScreenRectOf(HWND window);
POINT MiddleOf(const RECT& rect);

// A tree item by its text, among the items read.
const autom::TreeItem* FindTreeItem(const std::vector<autom::TreeItem>& items, const std::string& text);

// The first column (the SCSI IDs) of the rows read.
std::vector<std::string> FirstColumn(const std::vector<std::vector<std::string>>& rows);

}  // namespace td::e2e::controls
