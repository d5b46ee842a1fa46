#include "listing/listing_parse.h"

#include <cstring>

#include "common/fixed_text.h"
#include "common/win_codes.h"
#include "inventory/adapter_names.h"
#include "inventory/slot_kind.h"
#include "listing/listing_scanner.h"
#include "resources/resource_ids.h"

namespace td {
namespace {

// Two fields of the same width hold the same text. Bounded by the width, so
// even a field that lost its terminator is never read past.
template <std::size_t N>
bool SameText(const char (&a)[N], const char (&b)[N]) {
    return std::strncmp(a, b, N) == 0;
}

// An adapter record as the file describes it; see listing_parse.h for why
// each field holds what it does.
void LoadAdapterRecord(HostAdapterRecord& record, TextRun line, int index) {
    CopyBytes(record.identifier, line.begin, line.length);
    CopyText(record.manager_name, "");
    CopyText(record.manufacturer, "");
    CopyText(record.description, record.identifier);
    CopyText(record.hw_revision, "");
    record.adapter_number = index;
    record.own_scsi_id = 0;
    record.device_count = 0;
    record.bus_count = 0;
    record.tree_item = 0;
}

// The slot fields a listing does not carry.
void ClearUncarriedFields(DeviceSlot& slot) {
    CopyText(slot.device_path, "");
    slot.access_mode = 0;
    slot.share_mode = 0;
    slot.lun = 0;
    slot.bus_number = 0;
    slot.synchronous = 0;
    slot.removable = 0;
    slot.wide16 = 0;
    slot.wide32 = 0;
}

// Stores the fields the scan found, in line order; the others stay.
void StoreDeviceFields(DeviceSlot& slot, const DeviceLineFields& fields) {
    const TextRun* f = fields.field;
    if (fields.matched > 0) slot.target_id = RunToInt(f[0]);
    if (fields.matched > 1) CopyBytes(slot.type_name, f[1].begin, f[1].length);
    if (fields.matched > 2) CopyBytes(slot.vendor, f[2].begin, f[2].length);
    if (fields.matched > 3) CopyBytes(slot.product, f[3].begin, f[3].length);
    if (fields.matched > 4) CopyBytes(slot.revision, f[4].begin, f[4].length);
    if (fields.matched > 5) CopyBytes(slot.adapter_identifier, f[5].begin, f[5].length);
    if (fields.matched > 6) slot.scsi_version = RunToInt(f[6]);
}

// The first adapter in use whose identifier is the slot's; -1 when none.
int OwningAdapter(const Inventory& inventory, const DeviceSlot& slot) {
    for (int i = 0; i < inventory.adapter_count; ++i) {
        if (SameText(inventory.adapters[i].identifier, slot.adapter_identifier)) return i;
    }
    return -1;
}

int ReadCount(ListingCursor& cursor) {
    const int count = RunToInt(cursor.LineWord());
    cursor.NextLine();
    return count;
}

}  // namespace

int ParseListing(const char* data, std::size_t size, Inventory& inventory, const SharedTexts& texts, Messages& messages,
                 InventoryViews& views) {
    inventory.adapter_count = 0;
    inventory.slot_count = 0;
    views.Reset();

    ListingCursor cursor(data, size);
    const int adapters = ReadCount(cursor);
    if (adapters < 1 || adapters > kMaxAdapters) {
        ShowMessage(messages, 0, IDS_BAD_ADAPTER_COUNT, win::kMbOk);
        return 0;
    }
    for (int i = 0; i < adapters; ++i) {
        HostAdapterRecord& record = inventory.adapters[i];
        LoadAdapterRecord(record, cursor.Line(), i);
        LabelAdapter(record, texts);
        cursor.NextLine();
        inventory.adapter_count = i + 1;
        record.tree_item = views.InsertAdapterItem(record.description, i);
    }

    const int slots = ReadCount(cursor);
    if (slots < 1 || slots > kMaxSlots) {
        ShowMessage(messages, 0, IDS_BAD_DEVICE_COUNT, win::kMbOk);
        return 0;
    }
    bool own_id_known[kMaxAdapters] = {};
    for (int j = 0; j < slots; ++j) {
        DeviceSlot& slot = inventory.slots[j];
        ClearUncarriedFields(slot);
        StoreDeviceFields(slot, ScanDeviceLine(cursor.Line()));
        const int owner = OwningAdapter(inventory, slot);
        slot.adapter_number = owner >= 0 ? inventory.adapters[owner].adapter_number : kNoAdapterNumber;
        views.AssignDeviceImage(slot);
        cursor.NextLine();
        inventory.slot_count = j + 1;
        if (owner < 0) continue;

        HostAdapterRecord& record = inventory.adapters[owner];
        // A listing keeps its writer's words: recognised in any language.
        const SlotKind kind = KindOfSlot(texts, slot);
        const bool own_slot = kind == SlotKind::HostAdapter;
        if (!own_slot && kind != SlotKind::NoDevice) ++record.device_count;
        if (own_slot && !own_id_known[owner]) {
            record.own_scsi_id = slot.target_id;
            own_id_known[owner] = true;
        }
    }
    return 1;
}

}  // namespace td
