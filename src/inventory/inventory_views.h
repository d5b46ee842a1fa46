// What discovery and the listing reader need from the views.
//
// The adapter tree, the device list and the device pictures are window
// objects; the logic that fills the inventory is portable. It reaches the
// views through this interface: the program's implementation drives the
// tree and list controls, tests record the calls.
#pragma once

#include "inventory/inventory.h"

namespace td {

class InventoryViews {
public:
    virtual ~InventoryViews() = default;

    // Empties the tree and the list and inserts a fresh root item; the
    // caller has already emptied the inventory's counts and selections.
    virtual void Reset() = 0;

    // Inserts adapter `index`'s item as the first child of the root, with
    // `text` as label and `index` as item data. Answers the item, or 0 when
    // the insertion failed (the view reports that itself).
    virtual UiHandle InsertAdapterItem(const char* text, int index) = 0;

    // Gives the slot its list image and its 32 x 32 picture from its type
    // name; a type name without a picture leaves both as they were.
    virtual void AssignDeviceImage(DeviceSlot& slot) = 0;

    // After discovery: expands the root, selects adapter 0, fills the list
    // with its devices and shows it in the status bar.
    virtual void ShowFirstAdapter() = 0;
};

}  // namespace td
