// The "Device Diagnostic Tests" dialog.
#pragma once

#include <windows.h>

namespace td {

struct Program;

// Runs dialog 138 modally, owned by `owner`, for the SCSI ID whose position
// within an adapter's block the main window left in selected_slot; the
// dialog turns it into the selected adapter's slot.
void ShowDiagnostics(Program& program, HWND owner);

}  // namespace td
