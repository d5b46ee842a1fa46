// The inventory: the program's whole picture of the machine's SCSI hardware.
//
// A table of 8 host adapter records and a table of 64 device slots, one slot
// per SCSI ID of each adapter, with the scalars that say how much of them is
// in use. Discovery fills them, the views, the properties sheet, the tests
// and the listing files read them. Everything is fixed-size; texts are
// NUL-terminated fields whose width includes the terminator.
#pragma once

#include <cstdint>

namespace td {

constexpr int kMaxAdapters = 8;
constexpr int kMaxSlots = 64;
constexpr int kMaxTargetIdWide = 15;
constexpr int kMaxTargetIdNarrow = 7;
// The adapter number of a slot that a re-scan cleared: it belongs to no
// adapter (adapter numbers run from 0 to 7).
constexpr std::int32_t kNoAdapterNumber = 8;
// The own SCSI ID of an adapter that never said which one is its own (its
// host adapter inquiry failed): no slot is taken for it.
constexpr std::int32_t kNoOwnScsiId = -1;

enum : std::int32_t { kPlatformUnknown = 0, kPlatformWin95 = 1, kPlatformNt = 2 };

// A window-system object kept by a record (tree item, bitmap); opaque to the core.
using UiHandle = std::uintptr_t;

struct HostAdapterRecord {
    char identifier[32];    // "Host Adapter Name:" (NT: driver name; Win95: HA_Identifier)
    char manager_name[32];  // "SCSI Manager:" (NT: "Scsi Port n"; Win95: HA_ManagerId)
    char manufacturer[32];  // registry "Mfg"
    char description[64];   // registry "DeviceDesc": the adapter's label in the tree
    char hw_revision[8];    // NT: "N/A"; Win95: registry "HWRevision", at most 4 characters
    std::int32_t adapter_number;
    std::int32_t own_scsi_id;   // kNoOwnScsiId when the adapter did not tell it
    std::int32_t device_count;  // real devices only: not the adapter's own slot, not empty IDs
    std::int32_t bus_count;     // NT: buses the port reports
    UiHandle tree_item;
};

struct DeviceSlot {
    char adapter_identifier[32];  // the owning adapter's identifier; ties slots to adapters in a listing
    char vendor[8];               // INQUIRY bytes 8-15, at most 7 characters
    char product[32];             // INQUIRY bytes 16-31, "No Device" for an empty ID
    char revision[25];            // INQUIRY bytes 32-35, at most 4 characters
    char type_name[32];           // display name of the device type
    char device_path[27];         // NT: name to open without "\\.\" (C:, Tape0, SCSI0:), at most 23 characters
    std::uint32_t access_mode;    // NT: access for device_path
    std::uint32_t share_mode;     // NT: sharing for device_path
    std::int32_t target_id;
    std::int32_t lun;
    std::int32_t adapter_number;  // kNoAdapterNumber: cleared by a re-scan
    std::int32_t bus_number;
    std::int32_t synchronous;   // INQUIRY byte 7 bit 4
    std::int32_t removable;     // INQUIRY byte 1 bit 7
    std::int32_t wide16;        // INQUIRY byte 7 bit 5
    std::int32_t wide32;        // INQUIRY byte 7 bit 6
    std::int32_t scsi_version;  // INQUIRY byte 2 bits 0-2
    std::int32_t image_index;   // list image, from the device type table
    UiHandle bitmap;            // 32 x 32 picture, from the device type table
};

constexpr int kDevicePathMaxChars = 23;

struct Inventory {
    HostAdapterRecord adapters[kMaxAdapters];
    DeviceSlot slots[kMaxSlots];
    std::int32_t platform;
    std::int32_t max_target_id;  // 15 (wide-bus option checked) or 7
    std::int32_t adapter_count;
    std::int32_t slot_count;
    std::int32_t scan_complete;
    std::int32_t scan_slot;  // Windows 95: slot that the next INQUIRY completion fills
};

// The number of slots each adapter owns: 16 when IDs 0 to 15 are scanned, else 8.
int IdsPerAdapter(const Inventory& inventory);

// The slot of SCSI ID `target_id` on the adapter with index `adapter_index`:
// adapter_index x IdsPerAdapter + target_id. Answers -1 when that place is
// outside the tables: an adapter index outside 0 to 7, a SCSI ID outside 0
// to max_target_id (it would land in the next adapter's slots) or a slot
// index of 64 or more.
int SlotIndex(const Inventory& inventory, int adapter_index, int target_id);

// The first slot among 0 to slot_count - 1 with the given adapter number
// and SCSI ID; -1 when there is none.
int FindSlotByAddress(const Inventory& inventory, int adapter_number, int target_id);

// The next slot at or after `from`, below slot_count, that belongs to the
// adapter with `adapter_number`; -1 when there is none. Walking from 0
// gives an adapter's slots in table order.
int NextSlotOfAdapter(const Inventory& inventory, int adapter_number, int from);

// True when `index` names a record of the adapter table in use.
bool IsCountedAdapter(const Inventory& inventory, int index);

// Empties the inventory before a re-scan: no adapters and no slots in use,
// discovery not complete. On NT every slot also loses its adapter and its
// type name, because NT discovery tells devices from empty IDs by an empty
// type name. On Windows 95 the slots keep their contents: the INQUIRY chain
// overwrites them in order. Adapter records are never cleared.
void ResetForRescan(Inventory& inventory);

}  // namespace td
