// Not built yet: the diagnostics dialog.
#include "diagnostics/diagnostics_dialog_win32.h"

namespace td {

void ShowDiagnostics(Program&, HWND) {}

}  // namespace td
