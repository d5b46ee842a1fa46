// The common Open and Save dialogs the program shows for its listing
// files, used as a person uses them: pick the file type, type a name into
// the "File name:" box and press Enter, or press Cancel.
#pragma once

#include <windows.h>
#include <gtest/gtest.h>

#include <string>

#include "support/program_session.h"

namespace td::e2e::user {

// The program's file dialog with this title, once it is shown.
HWND WaitForFileDialog(ProgramSession& program, const std::string& title, DWORD timeout_ms = 5000);

// The entry chosen in the "Files of type:" box.
std::string ChosenFileType(HWND dialog);
// Opens the "Files of type:" box and picks the entry with this text.
testing::AssertionResult ChooseFileType(HWND dialog, const std::string& type);

// Types `name` into the "File name:" box and presses Enter; waits until
// the dialog has gone.
testing::AssertionResult EnterFileName(HWND dialog, const std::string& name);
// The same without waiting: the dialog may ask something first.
testing::AssertionResult TypeFileNameAndPressEnter(HWND dialog, const std::string& name);

// Clicks the dialog's Cancel button; waits until the dialog has gone.
testing::AssertionResult CancelFileDialog(HWND dialog);

}  // namespace td::e2e::user
