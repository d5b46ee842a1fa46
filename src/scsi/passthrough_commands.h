// The three diagnostic commands through the NT SCSI port driver.
//
// Each command opens the device object that discovery recorded for the
// slot ("\\.\" followed by its device_path: a drive, a class device or a
// port), sends one pass-through request and closes it again. TEST UNIT
// READY goes as IOCTL_SCSI_PASS_THROUGH without data; WRITE BUFFER and READ
// BUFFER go as IOCTL_SCSI_PASS_THROUGH_DIRECT with a 2048-byte heap buffer.
// A failure leaves its reason in the `sense_report` when the device
// answered with sense data, and otherwise in the `last_error`: the
// system's text for a call that failed, the device's status, 6100, or
// 6200 with the bytes that differ.
#pragma once

#include <cstddef>
#include <cstdint>

#include "scsi/command_context.h"

namespace td {

constexpr std::uint32_t kPassThroughTimeoutSeconds = 2;
constexpr std::uint32_t kPassThroughBufferLength = 2048;

// Records why a pass-through request failed: the device's sense data when
// it answered with a status, and the system's text for `error`, the code
// of a call that failed (0 for a call that succeeded). A failure neither
// explains is told by the status the device answered with, or else as a
// request the driver refused.
void RecordPassThroughFailure(DeviceIo& device_io, const std::uint8_t* sense, std::size_t sense_length,
                              std::uint32_t error, std::uint8_t scsi_status, SenseReport& sense_report,
                              LastError& last_error);

// Each answers 1 when the command passed, 0 when it failed. A slot that is
// not found or has no device path fails as a device without a name; one
// that cannot be opened with the system's reason.
int nt_test_unit_ready(ScsiCommandContext& context, std::int32_t adapter_number, std::int32_t target_id);
// Fails with 6100 when the class driver accepted the request but moved no
// data: it does not pass WRITE BUFFER on for this device type.
int nt_write_buffer(ScsiCommandContext& context, std::int32_t adapter_number, std::int32_t target_id);
// Fails with 6100 when no data came back and with 6200 when bytes 4 to 511
// do not carry the pattern (the first four are not compared).
int nt_read_buffer(ScsiCommandContext& context, std::int32_t adapter_number, std::int32_t target_id);

}  // namespace td
