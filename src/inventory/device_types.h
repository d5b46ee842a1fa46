// Names of SCSI peripheral device types.
#pragma once

namespace td {

struct SharedTexts;

constexpr int kDeviceTypeNoDevice = 31;

// The display name of INQUIRY peripheral device type `type_code` (byte 0
// bits 0 to 4); for type 0 the removable flag chooses between "Removeable"
// and "Hard Disk". Codes without a name of their own (11 to 29, and any
// value outside 0 to 31) are named "UnKnown" like the unassigned codes
// around them. The name is one of the shared texts, in the user's language.
const char* DeviceTypeName(const SharedTexts& texts, int type_code, int removable);

}  // namespace td
