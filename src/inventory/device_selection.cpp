#include "inventory/device_selection.h"

#include <cctype>
#include <cstring>

#include "common/number_text.h"
#include "inventory/inventory.h"

namespace td {

int FindSlotPosition(const Inventory& inventory, const char* id_text) {
    const int count = inventory.slot_count < 0           ? 0
                      : inventory.slot_count > kMaxSlots ? kMaxSlots
                                                         : inventory.slot_count;
    for (int j = 0; j < count; ++j) {
        char text[16] = "";
        AppendDecimal(text, inventory.slots[j].target_id);
        if (id_text != nullptr && std::strcmp(text, id_text) == 0) return j;
    }
    return count;
}

int SelectedAdapterSlot(const Inventory& inventory, int selected_adapter, int position) {
    if (selected_adapter < 0 || selected_adapter >= kMaxAdapters) return -1;
    const int ids = IdsPerAdapter(inventory);
    if (position < 0 || position >= ids) return -1;
    const int slot = selected_adapter * ids + position;
    return slot < kMaxSlots ? slot : -1;
}

static int CompareNoCase(const char* a, const char* b) {
    for (;; ++a, ++b) {
        const int ca = std::tolower(static_cast<unsigned char>(*a));
        const int cb = std::tolower(static_cast<unsigned char>(*b));
        if (ca != cb || ca == 0) return ca - cb;
    }
}

int CompareDeviceItems(const DeviceSlot* a, const DeviceSlot* b, int column) {
    if (a == nullptr || b == nullptr) return 0;
    switch (column) {
        case 0:
            return a->target_id - b->target_id;
        case 1:
            return CompareNoCase(a->type_name, b->type_name);
        case 2:
            return CompareNoCase(a->vendor, b->vendor);
        default:
            return 0;
    }
}

}  // namespace td
