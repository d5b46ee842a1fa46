#include "discovery/inquiry_fields.h"

#include <cstring>

#include "common/fixed_text.h"
#include "inventory/device_types.h"
#include "inventory/inventory.h"

namespace td {
namespace {

constexpr std::size_t kVendorAt = 8, kVendorLength = 8;
constexpr std::size_t kProductAt = 16, kProductLength = 16;
constexpr std::size_t kRevisionAt = 32, kRevisionLength = 4;

}  // namespace

void FillSlotFromInquiry(DeviceSlot& slot, const SharedTexts& texts, const std::uint8_t* inquiry, std::size_t length) {
    // Work on a copy of fixed size, so a short answer reads as zeros.
    std::uint8_t data[kInquiryIdentityLength] = {};
    if (inquiry != nullptr) {
        std::memcpy(data, inquiry, length < sizeof data ? length : sizeof data);
    }
    CopyBytes(slot.vendor, data + kVendorAt, kVendorLength);
    CopyBytes(slot.product, data + kProductAt, kProductLength);
    CopyBytes(slot.revision, data + kRevisionAt, kRevisionLength);
    const int removable = (data[1] & 0x80) != 0 ? 1 : 0;
    CopyText(slot.type_name, DeviceTypeName(texts, data[0] & 0x1F, removable));
    slot.synchronous = (data[7] & 0x10) != 0 ? 1 : 0;
    slot.removable = removable;
    slot.wide16 = (data[7] & 0x20) != 0 ? 1 : 0;
    slot.wide32 = (data[7] & 0x40) != 0 ? 1 : 0;
    slot.scsi_version = data[2] & 0x07;
}

}  // namespace td
