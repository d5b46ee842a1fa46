#include "scsi/system_error.h"

#include "common/fixed_text.h"

namespace td {

void format_system_error(DeviceIo& device_io, std::uint32_t code, LastError& last_error) {
    char message[kSystemMessageBufferSize] = {};
    std::uint32_t count = device_io.SystemMessage(code, message, sizeof message);
    last_error.text_id = kUseSystemText;
    // Kept so that a code the system has no text for is still named.
    last_error.values[0] = code;
    if (count > static_cast<std::uint32_t>(kSystemTextSize)) count = kSystemTextSize;
    if (count == 0) return;
    // count - 1 characters at most, never more than the message buffer holds
    // (count is at most 64 of its 80 bytes).
    CopyBytes(last_error.system_text, message, count - 1);
}

}  // namespace td
