// The inventory a finished discovery leaves for a virtual machine, without
// running one: every SCSI ID of every adapter in its slot, the adapter's own
// ID typed "Host Adapter", empty IDs typed "No Device", each device named by
// its type and, for NT, the device object the pass-through commands open
// (its first drive letter, else its first class device, else its port).
// ASPI types come from the string table; NT writes its two fixed English
// texts as NT discovery does.
#pragma once

#include "bus/scenario.h"
#include "common/shared_texts.h"
#include "inventory/inventory.h"

namespace td::test {

Inventory ScenarioInventory(const sim::Scenario& scenario, const SharedTexts& texts, int platform);

// The slot of SCSI ID `target_id` on adapter `adapter` in such an inventory.
inline int ScenarioSlot(const Inventory& inventory, int adapter, int target_id) {
    return SlotIndex(inventory, adapter, target_id);
}

}  // namespace td::test
