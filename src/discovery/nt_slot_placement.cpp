// One NT adapter's block of slots: its units at their IDs, its own ID, and
// every ID where nothing was found.
#include "common/fixed_text.h"
#include "common/number_text.h"
#include "common/win_codes.h"
#include "discovery/nt_discovery.h"
#include "inventory/slot_kind.h"

namespace td {
namespace {

constexpr int kIdsPerBlockMax = 16;

void CopyUnit(DeviceSlot& slot, const DeviceSlot& entry) {
    CopyText(slot.adapter_identifier, entry.adapter_identifier);
    CopyText(slot.vendor, entry.vendor);
    CopyText(slot.product, entry.product);
    CopyText(slot.revision, entry.revision);
    CopyText(slot.type_name, entry.type_name);
    CopyText(slot.device_path, entry.device_path, kDevicePathMaxChars);
    slot.access_mode = entry.access_mode;
    slot.share_mode = entry.share_mode;
    slot.target_id = entry.target_id;
    slot.lun = entry.lun;
    slot.adapter_number = entry.adapter_number;
    slot.bus_number = entry.bus_number;
    slot.synchronous = entry.synchronous;
    slot.removable = entry.removable;
    slot.wide16 = entry.wide16;
    slot.wide32 = entry.wide32;
    slot.scsi_version = entry.scsi_version;
}

}  // namespace

void PlaceAdapterSlots(NtDiscovery& discovery, int adapter_index) {
    Inventory& inventory = discovery.inventory;
    const NtScanArea& area = discovery.area;
    if (adapter_index < 0 || adapter_index >= kMaxAdapters) return;
    HostAdapterRecord& record = inventory.adapters[adapter_index];
    const int ids = IdsPerAdapter(inventory);

    // Which IDs a unit took, told apart here rather than by the slot's type
    // name, so that nothing left in a slot from before can pass for a unit.
    bool taken[kIdsPerBlockMax] = {};
    const int entries = area.entry_count < 0                 ? 0
                        : area.entry_count > kInquiryEntries ? kInquiryEntries
                                                             : area.entry_count;
    for (int i = 0; i < entries; ++i) {
        const DeviceSlot& entry = area.inquiry_entries[i];
        if (entry.bus_number != 0 || entry.lun != 0) continue;
        const int index = SlotIndex(inventory, adapter_index, entry.target_id);
        if (index < 0) continue;
        CopyUnit(inventory.slots[index], entry);
        taken[entry.target_id] = true;
    }

    char port_path[16] = "SCSI";
    AppendDecimal(port_path, adapter_index);
    AppendText(port_path, ":");
    int found = 0;
    for (int t = 0; t < ids && t < kIdsPerBlockMax; ++t) {
        const int index = SlotIndex(inventory, adapter_index, t);
        if (index < 0) continue;
        DeviceSlot& slot = inventory.slots[index];
        if (t == record.own_scsi_id) {
            CopyText(slot.adapter_identifier, record.identifier);
            CopyText(slot.type_name, kFixedHostAdapterType);
            CopyText(slot.product, record.identifier);
            CopyText(slot.vendor, record.manufacturer);
            CopyText(slot.revision, record.hw_revision);
            slot.target_id = t;
            slot.adapter_number = record.adapter_number;
            slot.bus_number = 0;
        } else if (taken[t]) {
            ++found;
        } else {
            CopyText(slot.adapter_identifier, record.identifier);
            CopyText(slot.vendor, " ");
            CopyText(slot.product, kFixedNoDeviceType);
            CopyText(slot.revision, " ");
            CopyText(slot.type_name, kFixedNoDeviceType);
            CopyText(slot.device_path, port_path, kDevicePathMaxChars);
            slot.access_mode = win::kGenericReadWrite;
            slot.share_mode = win::kFileShareReadWrite;
            slot.target_id = t;
            slot.lun = 0;
            slot.adapter_number = record.adapter_number;
            slot.bus_number = 0;
            slot.synchronous = 0;
            slot.removable = 0;
            slot.wide16 = 0;
            slot.wide32 = 0;
            slot.scsi_version = 0;
        }
        if (inventory.slot_count < kMaxSlots) ++inventory.slot_count;
    }
    record.device_count = found;
}

}  // namespace td
