// The diagnostic commands as the test sequence calls them: through ASPI on
// Windows 95 (`platform` 1), through the port driver on Windows NT.
//
// Each answers 1 when the command passed and 0 when it failed; the reason
// is read afterwards from the `sense_report` and the `last_error`.
#pragma once

#include <cstdint>

#include "scsi/command_context.h"

namespace td {

int test_unit_ready(ScsiCommandContext& context, std::int32_t adapter_number, std::int32_t target_id);
int write_buffer(ScsiCommandContext& context, std::int32_t adapter_number, std::int32_t target_id);
int read_buffer(ScsiCommandContext& context, std::int32_t adapter_number, std::int32_t target_id);

}  // namespace td
