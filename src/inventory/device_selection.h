// From the item chosen in the device list to the slot it stands for.
//
// The list shows the SCSI ID in its first column. The properties and
// diagnostics commands look that text up among the slots and keep the
// position j of the first slot with that ID; since every adapter owns a
// full block of slots in SCSI ID order, j is the ID's position within any
// adapter's block, and the selected adapter's slot is
// selected_adapter x ids_per_adapter + j.
#pragma once

namespace td {

struct Inventory;

// The first slot among 0 to slot_count - 1 whose target ID, written in
// decimal, equals `id_text`; slot_count when none does.
int FindSlotPosition(const Inventory& inventory, const char* id_text);

// The selected adapter's slot for position `position`, or -1 when that is
// not a slot of the table: no adapter selected (-1), a position past the
// adapter's block (no slot matched), or an index of 64 or more.
int SelectedAdapterSlot(const Inventory& inventory, int selected_adapter, int position);

// Sort order of the device list by column: 0 the SCSI ID (numeric), 1 the
// type, 2 the manufacturer, 3 the model and 4 the version (without regard
// to case); items whose column texts are equal, and any other column, go by
// SCSI ID. Missing slots compare equal.
struct DeviceSlot;
int CompareDeviceItems(const DeviceSlot* a, const DeviceSlot* b, int column);

}  // namespace td
