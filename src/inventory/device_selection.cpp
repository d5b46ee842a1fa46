#include "inventory/device_selection.h"

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

// Letters compare without regard to case, in code page 1252 as the texts
// are written: A-Z and the accented capitals (C0h-DEh but the multiplication
// sign D7h) fold to their small letters, so "\xC9" and "\xE9" compare equal.
static int FoldCase(unsigned char c) {
    if (c >= 'A' && c <= 'Z') return c + ('a' - 'A');
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return c + 0x20;
    return c;
}

static int CompareNoCase(const char* a, const char* b) {
    for (;; ++a, ++b) {
        const int ca = FoldCase(static_cast<unsigned char>(*a));
        const int cb = FoldCase(static_cast<unsigned char>(*b));
        if (ca != cb || ca == 0) return ca - cb;
    }
}

static int CompareColumn(const DeviceSlot& a, const DeviceSlot& b, int column) {
    switch (column) {
        case 1:
            return CompareNoCase(a.type_name, b.type_name);
        case 2:
            return CompareNoCase(a.vendor, b.vendor);
        case 3:
            return CompareNoCase(a.product, b.product);
        case 4:
            return CompareNoCase(a.revision, b.revision);
        default:
            return 0;
    }
}

int CompareDeviceItems(const DeviceSlot* a, const DeviceSlot* b, int column) {
    if (a == nullptr || b == nullptr) return 0;
    // Items whose texts compare equal keep SCSI ID order, so the order a
    // click gives does not depend on the order before it: a second click
    // gives the same list.
    const int by_column = CompareColumn(*a, *b, column);
    return by_column != 0 ? by_column : a->target_id - b->target_id;
}

}  // namespace td
