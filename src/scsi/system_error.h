// The system's own words for a failed device request on NT.
#pragma once

#include <cstdint>

#include "common/device_io.h"
#include "scsi/failure_records.h"

namespace td {

// Size of the buffer the system message is fetched into. A message that
// does not fit it is not fetched at all.
constexpr std::uint32_t kSystemMessageBufferSize = 80;

// Records the system's message text for `code` (nonzero) in `last_error`:
// text_id becomes kUseSystemText, and system_text gets the message cut to
// 63 characters with its last character dropped (the system ends its texts
// with a line break). When the system has no text for the code, or it does
// not fit 80 bytes, system_text keeps what it held. The code itself is kept
// as the record's first value, for the explanation to name.
void format_system_error(DeviceIo& device_io, std::uint32_t code, LastError& last_error);

}  // namespace td
