#include "infowin/property_pages.h"

#include <cstring>

#include "common/fixed_text.h"
#include "common/number_text.h"
#include "inventory/device_selection.h"
#include "inventory/slot_kind.h"
#include "resources/resource_ids.h"

namespace td {

int StartPage(std::int32_t host_adapter_selected) { return host_adapter_selected == 1 ? kAdapterPage : kDevicePage; }

int SheetSlot(const Inventory& inventory, std::int32_t selected_adapter, std::int32_t position) {
    return SelectedAdapterSlot(inventory, selected_adapter, position);
}

static bool IsTableSlot(int slot) { return slot >= 0 && slot < kMaxSlots; }

DevicePageContent DescribeDevicePage(const Inventory& inventory, int slot_index, const SharedTexts& texts) {
    DevicePageContent page{};
    page.texts[0].control = IDC_SCSI_ID;
    page.texts[1].control = IDC_MANUFACTURER;
    page.texts[2].control = IDC_VERSION;
    page.texts[3].control = IDC_DEVICE_TYPE;
    page.texts[4].control = IDC_PRODUCT;
    const int box_controls[8] = {IDC_SYNCHRONOUS, IDC_REMOVABLE, IDC_NARROW, IDC_WIDE16,
                                 IDC_WIDE32,      IDC_SCSI1,     IDC_SCSI2,  IDC_SCSI3};
    for (int i = 0; i < 8; ++i) page.boxes[i].control = box_controls[i];
    if (!IsTableSlot(slot_index)) return page;

    const DeviceSlot& slot = inventory.slots[slot_index];
    const SlotKind kind = KindOfSlot(texts, slot);
    const bool is_no_device = kind == SlotKind::NoDevice;
    const bool is_host_adapter = kind == SlotKind::HostAdapter;

    // The adapter's own slot carries the adapter's names in its device
    // fields; the device page shows none of them.
    if (!is_host_adapter) {
        page.texts[0].text[0] = '\0';
        AppendUnsigned(page.texts[0].text, static_cast<unsigned>(slot.target_id));
        CopyText(page.texts[1].text, slot.vendor);
        CopyText(page.texts[2].text, slot.revision);
        CopyText(page.texts[3].text, slot.type_name);
        CopyText(page.texts[4].text, is_no_device ? "" : slot.product);
        page.picture = slot.bitmap;
    }

    const bool wide16 = slot.wide16 == 1;
    const bool wide32 = slot.wide32 == 1;
    page.boxes[0].marked = slot.synchronous == 1;
    page.boxes[1].marked = slot.removable == 1;
    // A device reporting both widths is shown with no width at all.
    page.boxes[2].marked = !wide16 && !wide32 && !is_no_device && !is_host_adapter;
    page.boxes[3].marked = wide16 && !wide32;
    page.boxes[4].marked = wide32 && !wide16;
    page.boxes[5].marked = slot.scsi_version == 1;
    page.boxes[6].marked = slot.scsi_version == 2;
    page.boxes[7].marked = slot.scsi_version == 3;
    return page;
}

AdapterPageContent DescribeAdapterPage(const Inventory& inventory, int slot_index) {
    AdapterPageContent page{};
    page.texts[0].control = IDC_HA_NAME;
    page.texts[1].control = IDC_HA_NUMBER;
    page.texts[2].control = IDC_HA_SCSI_ID;
    page.texts[3].control = IDC_HA_MANAGER;
    page.texts[4].control = IDC_HA_DESCRIPTION;
    if (!IsTableSlot(slot_index)) return page;
    // A re-scan that cleared the slot left it with adapter number 8, one
    // past the table: such a slot has no adapter to show.
    const std::int32_t adapter_index = inventory.slots[slot_index].adapter_number;
    if (adapter_index < 0 || adapter_index >= kMaxAdapters) return page;

    const HostAdapterRecord& adapter = inventory.adapters[adapter_index];
    page.filled = true;
    CopyText(page.texts[0].text, adapter.identifier);
    page.texts[1].text[0] = '\0';
    AppendUnsigned(page.texts[1].text, static_cast<unsigned>(adapter.adapter_number));
    // An adapter that never told its own ID shows "N/A", as NT shows a
    // revision it cannot know.
    if (adapter.own_scsi_id == kNoOwnScsiId) {
        CopyText(page.texts[2].text, "N/A");
    } else {
        page.texts[2].text[0] = '\0';
        AppendUnsigned(page.texts[2].text, static_cast<unsigned>(adapter.own_scsi_id));
    }
    CopyText(page.texts[3].text, adapter.manager_name);
    CopyText(page.texts[4].text, adapter.description);
    return page;
}

const std::uint32_t kDevicePageHelpIds[28] = {
    IDC_SCSI_ID,
    20000,
    IDC_MANUFACTURER,
    20001,
    IDC_VERSION,
    20002,
    IDC_DEVICE_TYPE,
    20003,
    IDC_PRODUCT,
    20004,
    IDC_SYNCHRONOUS,
    20005,
    IDC_REMOVABLE,
    20006,
    IDC_NARROW,
    20007,
    IDC_WIDE16,
    20008,
    IDC_WIDE32,
    20009,
    IDC_SCSI1,
    20010,
    IDC_SCSI2,
    20011,
    IDC_SCSI3,
    20012,
    0,
    0,
};

const std::uint32_t kAdapterPageHelpIds[12] = {
    IDC_HA_NAME, 20100, IDC_HA_NUMBER, 20101, IDC_HA_SCSI_ID, 20102, IDC_HA_MANAGER, 20103, IDC_HA_DESCRIPTION, 20104,
    0,           0,
};

std::uint32_t HelpContextOf(const std::uint32_t* table, int control) {
    if (table == nullptr || control <= 0) return 0;
    for (; table[0] != 0; table += 2) {
        if (table[0] == static_cast<std::uint32_t>(control)) return table[1];
    }
    return 0;
}

}  // namespace td
