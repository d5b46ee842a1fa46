// The SCSI commands the program sends, and the shape of their CDBs.
#pragma once

#include <cstdint>

namespace td {

constexpr std::uint8_t kOpTestUnitReady = 0x00;
constexpr std::uint8_t kOpInquiry = 0x12;
constexpr std::uint8_t kOpWriteBuffer = 0x3B;
constexpr std::uint8_t kOpReadBuffer = 0x3C;

// WRITE BUFFER and READ BUFFER mode 2: the device's data buffer.
constexpr std::uint8_t kBufferModeData = 0x02;

constexpr std::uint8_t kCdb6 = 6;    // TEST UNIT READY, INQUIRY
constexpr std::uint8_t kCdb10 = 10;  // WRITE BUFFER, READ BUFFER

}  // namespace td
