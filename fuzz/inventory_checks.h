// What every fuzz target that fills an inventory asserts of it.
#pragma once

#include "fuzz_checks.h"
#include "inventory/inventory.h"

namespace td::fuzz {

// Every text field of every adapter record and every slot, used or not,
// keeps its terminator within its width.
inline void RequireInventoryTerminated(const Inventory& inventory) {
    for (const HostAdapterRecord& record : inventory.adapters) {
        RequireTerminated(record.identifier);
        RequireTerminated(record.manager_name);
        RequireTerminated(record.manufacturer);
        RequireTerminated(record.description);
        RequireTerminated(record.hw_revision);
    }
    for (const DeviceSlot& slot : inventory.slots) {
        RequireTerminated(slot.adapter_identifier);
        RequireTerminated(slot.vendor);
        RequireTerminated(slot.product);
        RequireTerminated(slot.revision);
        RequireTerminated(slot.type_name);
        RequireTerminated(slot.device_path);
    }
}

}  // namespace td::fuzz
