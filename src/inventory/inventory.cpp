#include "inventory/inventory.h"

#include "common/fixed_text.h"

namespace td {

int IdsPerAdapter(const Inventory& inventory) { return inventory.max_target_id == kMaxTargetIdWide ? 16 : 8; }

int SlotIndex(const Inventory& inventory, int adapter_index, int target_id) {
    if (adapter_index < 0 || adapter_index >= kMaxAdapters) return -1;
    if (target_id < 0 || target_id > inventory.max_target_id) return -1;
    const int ids = IdsPerAdapter(inventory);
    if (target_id >= ids) return -1;
    const int slot = adapter_index * ids + target_id;
    return slot < kMaxSlots ? slot : -1;
}

static int CountedSlots(const Inventory& inventory) {
    if (inventory.slot_count < 0) return 0;
    return inventory.slot_count > kMaxSlots ? kMaxSlots : inventory.slot_count;
}

int FindSlotByAddress(const Inventory& inventory, int adapter_number, int target_id) {
    const int count = CountedSlots(inventory);
    for (int i = 0; i < count; ++i) {
        const DeviceSlot& slot = inventory.slots[i];
        if (slot.adapter_number == adapter_number && slot.target_id == target_id) return i;
    }
    return -1;
}

int NextSlotOfAdapter(const Inventory& inventory, int adapter_number, int from) {
    const int count = CountedSlots(inventory);
    for (int i = from < 0 ? 0 : from; i < count; ++i) {
        if (inventory.slots[i].adapter_number == adapter_number) return i;
    }
    return -1;
}

bool IsCountedAdapter(const Inventory& inventory, int index) {
    const int count = inventory.adapter_count > kMaxAdapters ? kMaxAdapters : inventory.adapter_count;
    return index >= 0 && index < count;
}

void ResetForRescan(Inventory& inventory) {
    inventory.scan_complete = 0;
    inventory.scan_slot = 0;
    inventory.adapter_count = 0;
    inventory.slot_count = 0;
    if (inventory.platform == kPlatformNt) {
        for (DeviceSlot& slot : inventory.slots) {
            slot.adapter_number = kNoAdapterNumber;
            CopyText(slot.type_name, "");
        }
    }
}

}  // namespace td
