#include "diagnostics/diagnostics_dialog_win32.h"

#include "common/program_resources_win32.h"
#include "diagnostics/diagnostics_window_win32.h"
#include "resources/resource_ids.h"
#include "shell/program_win32.h"

namespace td {

void ShowDiagnostics(Program& program, HWND owner) {
    ScsiCommandContext scsi = program.ScsiContext();
    ChainScanWatch scan(program.chain.scan_busy);
    DiagnosticsContext context{scsi,         program.texts, program.app.selected_slot, program.app.selected_adapter,
                               ToRef(owner), &scan};
    DiagnosticsDialogRun run(context);
    ShowProgramDialog(MAKEINTRESOURCEA(IDD_DIAGNOSTICS), owner, DiagnosticsDialogProc, reinterpret_cast<LPARAM>(&run));
}

}  // namespace td
