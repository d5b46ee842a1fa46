// The windows a user opens for one device and reads: the diagnostics
// dialog, the properties sheet, the About box. How the user gets there
// (click an adapter, click or double-click a device, press a toolbar button,
// click a tab), how the program's dialogs are told apart from its message
// boxes, and how what they show is read: texts, check marks, enabled
// states and the colours on the screen.
//
// Every click and key is real input. Texts are read with GetWindowTextA,
// which Wine answers for another process's window from what the window
// last stored, without a message to the program: so they can be read while
// the program's window thread is busy with a SCSI command and handles no
// messages at all.
#pragma once

#include <windows.h>
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "automation.h"
#include "support/program_session.h"

namespace td::e2e::device_windows {

// ---- Getting to a device -------------------------------------------------------

// Clicks the tree item of the adapter with this text and waits until the
// tree has it selected and the list shows `rows` IDs.
testing::AssertionResult ClickAdapter(ProgramSession& program, const std::string& adapter, size_t rows = 16);

// Clicks (or double-clicks) the list item whose SCSI ID reads `id`, and
// checks that the list has it selected and focused afterwards.
testing::AssertionResult ClickDevice(ProgramSession& program, const std::string& id);
testing::AssertionResult DoubleClickDevice(ProgramSession& program, const std::string& id);

// Clicks the main window's toolbar button of this command.
testing::AssertionResult ClickToolbarButton(ProgramSession& program, int command);

// ---- Windows the program opens ---------------------------------------------------

// A shown dialog of the program that is not a message box, with this title
// (any title when empty).
HWND FindDialog(ProgramSession& program, const std::string& title);
HWND WaitForDialog(ProgramSession& program, const std::string& title, DWORD timeout_ms = 5000);
// A shown property sheet of the program (a dialog holding a tab control).
HWND WaitForPropertySheet(ProgramSession& program, DWORD timeout_ms = 5000);
// A shown top-level window of the program that is none of `known` (nor a
// tooltip), once it comes.
HWND WaitForAnotherWindow(ProgramSession& program, const std::vector<HWND>& known, DWORD timeout_ms = 3000);
// Waits until the window has gone or is hidden.
bool WaitUntilClosed(HWND window, DWORD timeout_ms = 5000);

// Ends the processes the program started itself, such as the help viewer
// that its calls for context help start; they would outlive the test (and
// keep its output open). Answers their names.
std::vector<std::string> EndProcessesStartedBy(DWORD program_id);

// ---- What a dialog shows -------------------------------------------------------------

// The text of a control, without asking the program (see above).
std::string TextOf(HWND dialog, int control);
// The check mark of a check box (BST_CHECKED ...).
int CheckOf(HWND dialog, int control);
bool IsEnabled(HWND dialog, int control);

// Clicks the middle of a control of a dialog; right-clicks it.
void ClickControl(HWND dialog, int control);
void RightClickControl(HWND dialog, int control);

// ---- Property sheets ---------------------------------------------------------------

// The titles of the sheet's tabs, left to right, and the one selected.
std::vector<std::string> TabTitles(HWND sheet);
int SelectedTab(HWND sheet);
// Clicks the tab of the page at `index`. (Wine's modal property sheet does
// not take Ctrl+Tab: its message loop leaves the key to the page.)
void ClickTab(HWND sheet, int index);
// The page the sheet shows now.
HWND ShownPage(HWND sheet);

// ---- The Details page ---------------------------------------------------------------
// Clicks the adapter in the tree, double-clicks the device in the list and
// clicks the third tab of the sheet that opens, which must be the device
// page, the host adapter page and the Details page; answers the sheet.
HWND OpenDetails(ProgramSession& program, const std::string& adapter, const std::string& id);
// The page's capacity, serial number and identifier, asked of its edit
// controls themselves, once none says that the device is still being
// asked (or `timeout_ms` has passed).
std::vector<std::string> DetailsFields(ProgramSession& program, HWND sheet, DWORD timeout_ms = 10000);

// ---- Pictures -----------------------------------------------------------------------

// The colours inside `part` (screen coordinates) of a picture taken of
// `whole` (screen coordinates), each with how many pixels have it, the most
// common first. The part is shrunk by `inset` pixels on each side so that a
// control's sunken border does not count.
struct ColourCount {
    COLORREF colour;
    int pixels;
};
std::vector<ColourCount> ColoursIn(const autom::Picture& picture, const RECT& whole, const RECT& part, int inset = 2);
std::string Describe(COLORREF colour);
std::string Describe(const std::vector<ColourCount>& colours);

// A bitmap resource of the program, as 24-bit rows like a screen picture.
std::optional<autom::Picture> ProgramBitmap(const std::string& exe_path, const char* name);
// Whether two pictures are the same size and hold the same pixels; the
// message names the first pixel that differs.
testing::AssertionResult SamePixels(const autom::Picture& seen, const autom::Picture& expected);

// A folder of build/ for the pictures the tests take for a person to look
// at (build/e2e-pictures), with a trailing backslash.
std::string PicturesFolder();
// The screen as the user sees it, with the program's windows drawn as
// the program draws them when its window thread answers (see
// ProgramSession::SaveScreenshot), saved there; the path, or empty.
std::string SavePicture(ProgramSession& program, const std::string& name);
// The screen only as the display shows it (while the program's window
// thread is busy), saved there; the path, or empty.
std::string SaveScreenPicture(const std::string& name);

}  // namespace td::e2e::device_windows
