// Driving a Win32 program from outside, as a person would: find its
// windows, read what its controls show, click, type, choose commands and
// answer its message boxes. Used by the end-to-end tests and by the run
// script, both running in the same Wine prefix as the program.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "time_scale.h"

namespace td::autom {

// ---- Processes -------------------------------------------------------------
struct Launched {
    HANDLE process = nullptr;
    DWORD process_id = 0;
};

// Starts `exe` (full Windows path) with its folder as working directory and
// extra "NAME=value" environment entries added to ours.
std::optional<Launched> Launch(const std::string& exe, const std::vector<std::string>& environment);

// Waits for the process to end; the exit code, or nullopt on time-out.
std::optional<DWORD> WaitExit(const Launched& program, DWORD timeout_ms);
void Terminate(const Launched& program);

// ---- Windows ---------------------------------------------------------------
std::string ClassOf(HWND window);
std::string TextOf(HWND window);
DWORD ProcessOf(HWND window);

// Visible top-level windows of a process (all processes when pid is 0).
std::vector<HWND> TopLevelWindows(DWORD pid, bool visible_only = true);

// The first visible top-level window of `class_name` (and title, when given)
// belonging to pid (any process when 0), waiting up to timeout_ms.
HWND WaitForWindow(DWORD pid, const std::string& class_name, const std::string& title, DWORD timeout_ms);

// Polls `condition` for exactly `ms`; whether it held.
template <class Condition>
bool PollUntil(Condition condition, DWORD ms) {
    const DWORD start = GetTickCount();
    for (;;) {
        if (condition()) return true;
        if (GetTickCount() - start >= ms) return false;
        Sleep(20);
    }
}

// Waits until `condition` holds, polling; false on time-out. Like every
// time-out of these functions, timeout_ms is scaled (time_scale.h).
template <class Condition>
bool WaitUntil(Condition condition, DWORD timeout_ms) {
    return PollUntil(condition, Scaled(timeout_ms));
}

// ---- Message boxes ---------------------------------------------------------
struct MessageBoxView {
    HWND window = nullptr;
    std::string caption;
    std::string text;                  // static control 65535
    bool has_icon = false;             // static control 1088
    std::vector<std::string> buttons;  // visible push buttons, in id order
};

// A visible, filled message box of the process, waiting up to timeout_ms.
std::optional<MessageBoxView> WaitForMessageBox(DWORD pid, DWORD timeout_ms);
std::optional<MessageBoxView> ReadMessageBox(HWND box);
// Whether a box read is ready to be answered: it exists a moment before it
// is filled, and a read that races its filling (or its end) sees empty
// texts. Every message box has a caption and labelled buttons.
bool IsFilled(const MessageBoxView& box);

// Presses the button with this id (IDOK, IDYES ...) of a dialog.
bool PressButton(HWND dialog, int id);

// ---- Commands --------------------------------------------------------------
// Posts WM_COMMAND with a command id, as a menu choice or toolbar click does.
void PostCommand(HWND window, int id);

// ---- Controls read across the process boundary -----------------------------
struct TreeItem {
    HTREEITEM handle = nullptr;
    std::string text;
    LPARAM data = 0;
    int depth = 0;
    bool selected = false;
    bool expanded = false;
};
// Every item of a tree view, in display order (depth-first), children of
// collapsed items included.
std::vector<TreeItem> ReadTree(HWND tree);
// Selects an item as a click would (the tree notifies its parent).
void SelectTreeItem(HWND tree, HTREEITEM item);

// The texts of every item of a list view: rows of `columns` sub-item texts,
// including texts the program supplies on request.
std::vector<std::vector<std::string>> ReadList(HWND list, int columns);
int ListSelectedIndex(HWND list);
// The image list index of every item, in row order.
std::vector<int> ListItemImages(HWND list);
// Selects and focuses item `index` as a click would.
void SelectListItem(HWND list, int index);
// The screen rectangle of an item / of a header column.
RECT ListItemRect(HWND list, int index);
RECT ListHeaderRect(HWND list, int column);
DWORD ListViewMode(HWND list);

std::vector<std::string> StatusBarTexts(HWND status_bar);

struct ToolbarButton {
    int command = 0;
    BYTE state = 0;
    BYTE style = 0;
};
std::vector<ToolbarButton> ReadToolbar(HWND toolbar);

// ---- Input -----------------------------------------------------------------
void MoveMouse(int x, int y);
void Click(int x, int y);
void DoubleClick(int x, int y);
void RightClick(int x, int y);
void PressKey(WORD virtual_key);
// Presses `virtual_key` while the keys in `held` (VK_SHIFT, VK_MENU,
// VK_CONTROL) are down: Shift+F10, Alt+Enter, Shift+Tab.
void PressChord(const std::vector<WORD>& held, WORD virtual_key);
// A key written as a user names it: "Tab", "Shift+F10", "Alt+Enter",
// "Down", "F5", "Alt+O", "G" (case does not matter); false for a name it
// does not know.
bool PressNamedKey(const std::string& name);
void TypeText(const std::string& text);

// ---- Pictures --------------------------------------------------------------
// A 24-bit picture with bottom-up rows padded to 4 bytes, as a .bmp keeps it.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<char> rows;
};
// The whole screen (the virtual desktop) as the display shows it; a piece
// of it (screen coordinates).
Picture CaptureScreen();
Picture CaptureScreenArea(const RECT& area);
// The rows of a bitmap as a picture (no rows when they cannot be read).
Picture PictureOf(HDC dc, HBITMAP bitmap, int width, int height);
// The colour at (x, y) of a picture, counted from its top-left corner;
// CLR_INVALID outside it.
COLORREF ColourAt(const Picture& picture, int x, int y);
// Lays `piece` over `onto` with its top-left corner at (x, y), clipped.
void PastePicture(Picture& onto, const Picture& piece, int x, int y);
bool SaveBitmap(const Picture& picture, const std::string& path);
// Saves the whole screen as a 24-bit .bmp.
bool SaveScreenshot(const std::string& path);
// The colour of one screen pixel.
COLORREF ScreenPixel(int x, int y);

}  // namespace td::autom
