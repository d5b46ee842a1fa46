// Reading a listing into the inventory and the adapter tree.
//
// Open hands over the bytes it read from the file (see listing_format.h for
// the layout). The reader works on those bytes and their length only: it
// needs no terminating NUL, no final line feed and no particular line or
// field length, and it never reads outside the bytes nor writes past a
// field.
//
// How the file's lines are read:
// - The two counts: the first white-space-delimited word of the line,
//   converted like atoi. Adapters 1 to 8, else 50024 and an empty
//   inventory; devices 1 to 64, else 50025 with the adapters read kept
//   (in the tree and counted) and no devices.
// - An adapter line: the whole line is the adapter's identifier, blanks
//   included, so that it matches the devices' adapter field, which holds the
//   same text (a carriage return before the line feed is not part of it).
// - A device line: its seven fields as ScanDeviceLine finds them in the
//   line. An empty text field is an empty text, and the apostrophe is an
//   ordinary character. A malformed line (a field missing, a SCSI ID or
//   SCSI version that is not a number) stops at that field: the slot's
//   carried fields from there on keep what they held. A device line never
//   reaches into the next line.
// - A file that ends early reads as if the missing lines were empty: a
//   missing count is 0, a missing identifier empty, and a missing device
//   line stops at its first field.
// - Texts are cut to their fields (identifier 31 characters, type name 31,
//   vendor 7, product 31, revision 24, adapter identifier 31); the rest of
//   an overlong line or field is passed over, so the fields after it still
//   come from their own places in the line.
//
// What the records hold after a successful read:
// - Adapter record i: identifier from the file; adapter_number = i;
//   description = the identifier (an empty one: its numbered name,
//   adapter_names.h), so that the status bar and the properties sheet
//   name the adapter as the tree does; own_scsi_id = the
//   SCSI ID of its first device line typed "Host Adapter" (string 50011),
//   0 when it has none; device_count = its device lines (by
//   adapter_identifier) that are neither "No Device" (50010) nor
//   "Host Adapter" (50011); tree_item = its new tree item. The fields the
//   file does not carry (manager_name, manufacturer, hw_revision, bus_count)
//   are emptied, never left over from the inventory shown before.
// - Device slot j: target_id, type_name, vendor, product, revision,
//   adapter_identifier and scsi_version from its line, as far as the scan
//   got. adapter_number = the adapter_number of the first adapter whose
//   identifier equals its adapter_identifier (case-sensitive), the same
//   adapter its device is counted for, or kNoAdapterNumber when none has
//   it; selecting an adapter in the tree therefore lists its device lines.
//   The fields the file does not carry (device_path, access_mode,
//   share_mode, lun, bus_number, synchronous, removable, wide16, wide32) are
//   zero or empty, so nothing of the previous inventory (an NT device name
//   above all) is taken for a device of the file. image_index and bitmap
//   are the views' (AssignDeviceImage).
#pragma once

#include <cstddef>

#include "common/messages.h"
#include "common/shared_texts.h"
#include "inventory/inventory.h"
#include "inventory/inventory_views.h"

namespace td {

// Reads the listing in `data` (`size` bytes) into `inventory`. First the
// inventory's counts go to 0 and the views are reset (fresh root item), so
// the inventory shown before is gone whatever follows. Adapter items are
// inserted in file order (InsertAdapterItem, with the description as
// text), so the last adapter of the file is on top; every device slot read goes through AssignDeviceImage.
// Nothing is expanded or selected afterwards. Messages 50024 and 50025
// have no owner, an OK button and no icon. Answers 1 when the file was
// read, 0 after a rejected count. The bytes stay the caller's.
int ParseListing(const char* data, std::size_t size, Inventory& inventory, const SharedTexts& texts, Messages& messages,
                 InventoryViews& views);

}  // namespace td
