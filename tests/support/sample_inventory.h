// Inventories as discovery leaves them, for tests that need a filled one
// without running a scan.
//
// Two adapters, IDs 0 to 7 (or 0 to 15 with the wide bus), each adapter's
// own slot at ID 7 and the IDs where nothing answered filled the way each
// platform's discovery fills them:
// - Windows 95 (ASPI): empty IDs have empty vendor and revision texts and
//   the type "No Device" from the string table; the adapter's own slot is
//   typed with string 50011 and carries the adapter's identifier as product.
// - NT (port driver): empty IDs have " " as vendor and revision and the
//   fixed English type "No Device"; every slot has a device name.
#pragma once

#include "common/fixed_text.h"
#include "common/shared_texts.h"
#include "inventory/inventory.h"

namespace td::test {

struct SampleDevice {
    int adapter;
    int target_id;
    const char* type;  // one of the shared type texts
    const char* vendor;
    const char* product;
    const char* revision;
    int scsi_version;
    const char* nt_path;  // the name NT discovery opens it by
};

inline Inventory TwoAdapterScan(const SharedTexts& texts, int platform, bool wide_bus = false) {
    Inventory inventory{};
    inventory.platform = platform;
    inventory.max_target_id = wide_bus ? kMaxTargetIdWide : kMaxTargetIdNarrow;
    inventory.scan_complete = 1;
    const bool nt = platform == kPlatformNt;
    const int ids = IdsPerAdapter(inventory);

    const char* identifiers[2] = {nt ? "aic78xx" : "AHA-2940UW", nt ? "BusLogic" : "BT-958"};
    const char* descriptions[2] = {"Adaptec AHA-2940UW PCI SCSI Controller", "BusLogic BT-958 PCI Wide Ultra"};
    const char* makers[2] = {"Adaptec", "BusLogic"};
    for (int a = 0; a < 2; ++a) {
        HostAdapterRecord& record = inventory.adapters[a];
        CopyText(record.identifier, identifiers[a]);
        CopyText(record.manager_name, nt ? (a == 0 ? "Scsi Port 0" : "Scsi Port 1") : "ASPI for WIN32");
        CopyText(record.manufacturer, makers[a]);
        CopyText(record.description, descriptions[a]);
        CopyText(record.hw_revision, nt ? "N/A" : "03");
        record.adapter_number = a;
        record.own_scsi_id = 7;
        record.bus_count = nt ? 1 : 0;
        record.tree_item = static_cast<UiHandle>(0x100 + a);
    }

    const SampleDevice devices[] = {
        {0, 0, texts.hard_disk, "IBM", "DDRS-34560W", "S97B", 2, "C:"},
        {0, 3, texts.cd_rom, "TOSHIBA", "CD-ROM XM-5701TA", "3136", 2, "E:"},
        {1, 2, texts.tape, "HP", "C1537A", "L708", 2, "Tape0"},
        {1, 5, texts.scanner, "HP", "C6270A", "3.01", 2, "Scanner0"},
        {1, wide_bus ? 12 : 6, texts.removable, "IOMEGA", "ZIP 100", "J.03", 2, "F:"},
    };

    for (int a = 0; a < 2; ++a) {
        const HostAdapterRecord& record = inventory.adapters[a];
        for (int t = 0; t < ids; ++t) {
            DeviceSlot& slot = inventory.slots[a * ids + t];
            CopyText(slot.adapter_identifier, record.identifier);
            slot.target_id = t;
            slot.adapter_number = a;
            if (nt) {
                CopyText(slot.device_path, a == 0 ? "SCSI0:" : "SCSI1:");
                slot.access_mode = 0xC0000000u;
                slot.share_mode = 3;
            }
            if (t == record.own_scsi_id) {
                CopyText(slot.type_name, nt ? "Host Adapter" : texts.host_adapter);
                CopyText(slot.product, record.identifier);
                CopyText(slot.vendor, record.manufacturer);
                CopyText(slot.revision, record.hw_revision);
                continue;
            }
            CopyText(slot.type_name, nt ? "No Device" : texts.type_no_device);
            CopyText(slot.product, "No Device");
            CopyText(slot.vendor, nt ? " " : "");
            CopyText(slot.revision, nt ? " " : "");
        }
    }
    for (const SampleDevice& device : devices) {
        DeviceSlot& slot = inventory.slots[device.adapter * ids + device.target_id];
        CopyText(slot.type_name, device.type);
        CopyText(slot.vendor, device.vendor);
        CopyText(slot.product, device.product);
        CopyText(slot.revision, device.revision);
        slot.scsi_version = device.scsi_version;
        slot.synchronous = 1;
        slot.wide16 = wide_bus ? 1 : 0;
        slot.removable = device.type == texts.removable || device.type == texts.cd_rom ? 1 : 0;
        if (nt) CopyText(slot.device_path, device.nt_path);
        ++inventory.adapters[device.adapter].device_count;
    }
    inventory.adapter_count = 2;
    inventory.slot_count = 2 * ids;
    return inventory;
}

}  // namespace td::test
