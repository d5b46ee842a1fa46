// What a user does with the main window, step by step, on top of a
// ProgramSession: wait until the SCSI buses have been scanned, click tree
// items, list headers and toolbar buttons, right- and double-click the
// device list, and see whether anything opened. Every click is real input.
#pragma once

#include <windows.h>
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "automation.h"
#include "support/program_session.h"

namespace td::e2e::user {

// Starts the program and waits until its main window shows the scanned
// buses: the device list holds `rows` rows (on Windows 95 the scan runs on
// after the window is shown).
testing::AssertionResult StartAndWaitForTheScan(ProgramSession& program, size_t rows);
// Waits until the device list holds `rows` rows and the status bar names an
// adapter.
testing::AssertionResult WaitForTheScan(ProgramSession& program, size_t rows, DWORD timeout_ms = 10000);

// ---- The adapter tree ----------------------------------------------------------
// Clicks the label of the tree item with this text.
testing::AssertionResult ClickTreeItem(ProgramSession& program, const std::string& text);
testing::AssertionResult DoubleClickTreeItem(ProgramSession& program, const std::string& text);
// Clicks the label of the adapter item for adapter `index` (the item's
// data), whatever its text: adapters may share a name, or have none.
testing::AssertionResult ClickAdapterItem(ProgramSession& program, int index);
// The item currently selected, if any.
std::optional<autom::TreeItem> SelectedTreeItem(ProgramSession& program);
// The texts of the items under the root, top to bottom.
std::vector<std::string> AdaptersInTree(ProgramSession& program);

// ---- The device list --------------------------------------------------------------
DWORD ListMode(ProgramSession& program);
testing::AssertionResult ClickColumnHeader(ProgramSession& program, int column);
// The row showing this SCSI ID; -1 when none.
int RowOfScsiId(ProgramSession& program, const std::string& id);
POINT MiddleOfRow(ProgramSession& program, int row);
// A point of the list below every item; nothing when the items fill it.
std::optional<POINT> EmptySpotInList(ProgramSession& program);
// Whether the list on the screen shows what it holds now: its picture is
// the same as after it has been made to paint itself afresh. A list left
// showing an earlier layout fails, with where the pictures differ.
testing::AssertionResult ListOnScreenIsUpToDate(ProgramSession& program);

// ---- Toolbar and menus -----------------------------------------------------------
// Clicks the toolbar button of this command.
testing::AssertionResult ClickToolbarButton(ProgramSession& program, int command);
// Rests the mouse on the button of this command and reads the tooltip
// that comes up; nothing when none shows with the expected text in time.
std::optional<std::string> TooltipOfToolbarButton(ProgramSession& program, int command, const std::string& expected);
const autom::ToolbarButton* ToolbarButtonOf(const std::vector<autom::ToolbarButton>& buttons, int command);
// The menu item of this command as the menu bar has it now.
std::optional<autom::MenuItem> MenuItemOf(ProgramSession& program, UINT command);
// Waits until the menu item's check mark is as wanted.
bool WaitForCheckMark(ProgramSession& program, UINT command, bool checked, DWORD timeout_ms = 5000);

// ---- Windows that open ---------------------------------------------------------------
// The program's visible top-level windows other than its main window,
// tooltips and open popup menus: dialogs, message boxes, property sheets.
std::vector<HWND> OpenWindows(ProgramSession& program);
// Waits for a window of the program other than its main window to open.
HWND WaitForAnotherWindow(ProgramSession& program, DWORD timeout_ms = 5000);
// Watches for `ms` (the time scale may lengthen it, never shorten it) and
// fails naming any window that opened meanwhile; fails too when the program
// has ended, since a program that has gone opens nothing.
testing::AssertionResult NothingOpensWithin(ProgramSession& program, DWORD ms);
// The same for message boxes: fails naming a box that came, or when the
// program has ended.
testing::AssertionResult NoMessageWithin(ProgramSession& program, DWORD ms);
// Closes a dialog as the Escape key would (IDCANCEL) and waits until it has gone.
testing::AssertionResult CloseDialog(HWND dialog);

}  // namespace td::e2e::user
