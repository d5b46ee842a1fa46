#include "support/scenario_inventory.h"

#include <string>

#include "common/fixed_text.h"
#include "common/win_codes.h"
#include "inventory/device_types.h"

namespace td::test {
namespace {

std::string NtDevicePath(const sim::ScenarioAdapter& adapter, const sim::ScenarioDevice& device) {
    if (!device.drives.empty()) return std::string(1, device.drives.front().letter) + ":";
    if (!device.class_devices.empty()) {
        const sim::ScenarioClassDevice& first = device.class_devices.front();
        return (first.kind == sim::ClassKind::Tape ? "Tape" : "Scanner") + std::to_string(first.number);
    }
    return "SCSI" + std::to_string(adapter.port) + ":";
}

const sim::ScenarioDevice* DeviceAt(const sim::ScenarioAdapter& adapter, int target_id) {
    for (const sim::ScenarioDevice& device : adapter.devices) {
        if (device.target == target_id && device.lun == 0 && device.bus == 0) return &device;
    }
    return nullptr;
}

}  // namespace

Inventory ScenarioInventory(const sim::Scenario& scenario, const SharedTexts& texts, int platform) {
    Inventory inventory{};
    inventory.platform = platform;
    inventory.max_target_id = kMaxTargetIdNarrow;
    inventory.scan_complete = 1;
    const bool nt = platform == kPlatformNt;
    const int ids = IdsPerAdapter(inventory);
    int count = 0;
    for (const sim::ScenarioAdapter& described : scenario.adapters) {
        if (count == kMaxAdapters || (count + 1) * ids > kMaxSlots) break;
        HostAdapterRecord& record = inventory.adapters[count];
        CopyText(record.identifier, described.identifier.c_str());
        CopyText(record.description, described.description.c_str());
        CopyText(record.manufacturer, described.mfg.c_str());
        record.adapter_number = count;
        record.own_scsi_id = described.scsi_id;
        for (int t = 0; t < ids; ++t) {
            DeviceSlot& slot = inventory.slots[count * ids + t];
            CopyText(slot.adapter_identifier, record.identifier);
            slot.adapter_number = count;
            slot.target_id = t;
            slot.access_mode = win::kGenericReadWrite;
            slot.share_mode = win::kFileShareReadWrite;
            if (nt) CopyText(slot.device_path, ("SCSI" + std::to_string(described.port) + ":").c_str());
            if (t == described.scsi_id) {
                CopyText(slot.type_name, nt ? "Host Adapter" : texts.host_adapter);
                CopyText(slot.product, record.identifier);
                continue;
            }
            const sim::ScenarioDevice* device = DeviceAt(described, t);
            if (device == nullptr) {
                CopyText(slot.type_name, nt ? "No Device" : texts.type_no_device);
                CopyText(slot.product, "No Device");
                continue;
            }
            CopyText(slot.type_name, DeviceTypeName(texts, device->type, device->removable ? 1 : 0));
            CopyText(slot.vendor, device->vendor.c_str());
            CopyText(slot.product, device->product.c_str());
            CopyText(slot.revision, device->revision.c_str());
            slot.removable = device->removable ? 1 : 0;
            slot.scsi_version = device->ansi_version;
            if (nt) CopyText(slot.device_path, NtDevicePath(described, *device).c_str());
            ++record.device_count;
        }
        ++count;
    }
    inventory.adapter_count = count;
    inventory.slot_count = count * ids;
    return inventory;
}

}  // namespace td::test
