// The SCSI commands the program sends, and the shape of their CDBs.
#pragma once

#include <cstdint>

namespace td {

constexpr std::uint8_t kOpTestUnitReady = 0x00;
constexpr std::uint8_t kOpInquiry = 0x12;
constexpr std::uint8_t kOpReadCapacity10 = 0x25;
constexpr std::uint8_t kOpWriteBuffer = 0x3B;
constexpr std::uint8_t kOpReadBuffer = 0x3C;
// SERVICE ACTION IN (16): with service action 10h, READ CAPACITY (16).
constexpr std::uint8_t kOpServiceActionIn16 = 0x9E;
constexpr std::uint8_t kServiceReadCapacity16 = 0x10;

// INQUIRY byte 1 bit 0: a vital product data page, named in byte 2.
constexpr std::uint8_t kInquiryEvpd = 0x01;

// WRITE BUFFER and READ BUFFER mode 2: the device's data buffer.
constexpr std::uint8_t kBufferModeData = 0x02;

constexpr std::uint8_t kCdb6 = 6;    // TEST UNIT READY, INQUIRY
constexpr std::uint8_t kCdb10 = 10;  // WRITE BUFFER, READ BUFFER, READ CAPACITY (10)
constexpr std::uint8_t kCdb16 = 16;  // READ CAPACITY (16)

}  // namespace td
