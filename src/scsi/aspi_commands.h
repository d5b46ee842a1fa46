// The three diagnostic commands through ASPI for Win32 (Windows 95).
//
// Each command is built in the program's one execute block, `exec_srb`,
// sent, and then waited for a fixed time: 2 s for TEST UNIT READY, 8 s for
// WRITE BUFFER and READ BUFFER. The wait is taken in full whenever the
// request was still pending right after the send, however early it
// finishes; a request that is still pending afterwards is aborted and
// fails. A finished request that is not clean has its sense data recorded
// in the `sense_report`; every other reason for a failure (the abort, the
// adapter's or the device's status without sense data, the library's own
// status, data read back that differs) goes to the `last_error`.
#pragma once

#include <cstdint>

#include "scsi/aspi_layout.h"
#include "scsi/command_context.h"

namespace td {

constexpr std::uint32_t kTestUnitReadyWaitMs = 2000;
constexpr std::uint32_t kBufferCommandWaitMs = 8000;
constexpr std::uint32_t kAbortWaitMs = 500;

// Resets `exec_srb` before a request: every field the commands and the
// device scan rely on becomes 0 or null, SRB_SenseLen becomes 14, and the
// CDB and sense area are zeroed. The reserved fields are left as they are.
void ResetExecSrb(aspi::SrbExecScsiCmd& exec_srb);

// adapter_number and target_id are the slot's; their low bytes address the
// request (LUN 0). Each answers 1 when the command passed, 0 when it failed.
int aspi_test_unit_ready(ScsiCommandContext& context, std::int32_t adapter_number, std::int32_t target_id);
int aspi_write_buffer(ScsiCommandContext& context, std::int32_t adapter_number, std::int32_t target_id);
// Passes only when the request completed and all 512 bytes read back carry
// the pattern WRITE BUFFER sent; a difference is recorded with its bytes.
int aspi_read_buffer(ScsiCommandContext& context, std::int32_t adapter_number, std::int32_t target_id);

}  // namespace td
