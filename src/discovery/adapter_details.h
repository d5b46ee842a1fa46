// Host adapter details from the system registry.
//
// Neither the port driver nor ASPI tells the adapter's maker or a readable
// name. Both live in HKEY_LOCAL_MACHINE: on NT under the SCSI device map and
// the legacy driver enumeration, on Windows 95 under the SCSI adapter class
// and the PCI enumeration. These lookups fill a record's manufacturer,
// description (the adapter's label in the tree) and hw_revision, and on NT
// its identifier (the miniport driver's name). Nothing is reported to the
// user; a missing key or value leaves its field empty or as it was.
#pragma once

#include <cstddef>

#include "common/registry.h"
#include "inventory/inventory.h"

namespace td {

// Key paths and values are worked on in texts of this size.
constexpr std::size_t kRegistryTextSize = 260;
using RegistryText = char[kRegistryTextSize];

// Opens `base` followed by `sub` under HKEY_LOCAL_MACHINE for reading, reads
// the value `name` as text (its registry type is not looked at) and closes
// the key. The text is empty when the key or the value does not exist, when
// the value does not fit the 260 bytes, or when the two parts of the path
// do not fit together (a path cut short could name another key). A value
// stored without its terminating NUL is terminated here. Answers whether
// the value was read.
bool ReadRegistryText(Registry& registry, const char* base, const char* sub, const char* name, RegistryText& text);

// NT, record `index` whose manager_name names its port ("Scsi Port <n>"):
//   "Hardware\DeviceMap\SCSI\<manager_name>" (opened with all access; when
//   it does not open, the record is left as it is), value "Driver" becomes
//   the identifier; "System\CurrentControlSet\Enum\Root\LEGACY_<driver>\0000"
//   gives "Mfg" and "DeviceDesc"; hw_revision is "N/A".
void ReadNtAdapterDetails(Registry& registry, HostAdapterRecord& record);

// Windows 95, record whose identifier is the adapter's HA_Identifier:
// every subkey of "System\CurrentControlSet\Services\Class\SCSIAdapter" whose
// "PortDriver" (at most 19 characters) contains the identifier, as it is or
// with its lowercase letters made uppercase, is looked for in "Enum\PCI":
// the first instance of a device key (the key's name cut at its first
// blank) whose "Class" is exactly "SCSIAdapter" and whose "Driver" names
// that class subkey gives "Mfg", "HWRevision" (at most 4 characters) and
// "DeviceDesc". A later matching class subkey overwrites an earlier one's
// details; a matching class subkey that no PCI instance claims ends the
// whole lookup. An empty identifier or an empty "Driver" text matches
// nothing (an empty text is a part of every text). Every key opened is
// closed again.
void ReadWin95AdapterDetails(Registry& registry, HostAdapterRecord& record);

// The lookup of the inventory's platform for record `index` (0 to 7):
// NT for platform 2, Windows 95 for platform 1, nothing otherwise.
void ReadAdapterDetails(Registry& registry, Inventory& inventory, int index);

}  // namespace td
