// A device slot's identity, read from the device's INQUIRY data.
//
// Both ways of discovery (ASPI on Windows 95, the port driver on NT) end up
// with the standard INQUIRY bytes of a unit and turn them into the same slot
// fields, by the same rules, here.
#pragma once

#include <cstddef>
#include <cstdint>

namespace td {

struct DeviceSlot;
struct SharedTexts;

// The INQUIRY bytes the slot fields come from: 0 to 35.
constexpr std::size_t kInquiryIdentityLength = 36;

// Sets vendor, product, revision, type_name, synchronous, removable, wide16,
// wide32 and scsi_version from the first `length` bytes of `inquiry`; bytes
// past `length` count as 0, so a short answer leaves the texts it does not
// reach empty and nothing is read beyond it.
//   vendor    bytes 8 to 15, up to the first NUL, at most 7 characters;
//   product   bytes 16 to 31, the product field as the device sent it: at
//             most 16 characters, up to the first NUL, trailing blanks kept
//             (never the revision and vendor bytes that follow it);
//   revision  bytes 32 to 35, up to the first NUL;
//   type      DeviceTypeName(byte 0 bits 0-4, byte 1 bit 7 RMB);
//   flags     Sync byte 7 bit 4, RMB byte 1 bit 7, WBus16 byte 7 bit 5,
//             WBus32 byte 7 bit 6, version byte 2 bits 0-2.
void FillSlotFromInquiry(DeviceSlot& slot, const SharedTexts& texts, const std::uint8_t* inquiry, std::size_t length);

}  // namespace td
