// Which picture and which list icon a device slot shows, by its type text.
#pragma once

namespace td {

struct SharedTexts;
struct DeviceSlot;

struct DeviceTypeRow {
    int bitmap_id;    // 32 x 32 picture shown by the properties sheet and the tests
    int image_index;  // index in the list's image lists
};

// The row of the slot's kind (slot_kind.h: its type name in any of the
// language sets, case included), or nullptr for a printer and for a name no
// language has.
const DeviceTypeRow* FindDeviceTypeRow(const SharedTexts& texts, const char* type_name);

// The list's image lists hold these icons at these indexes, small and large.
constexpr int kListIconIds[] = {134, 111, 113, 112, 114, 116, 115, 117, 110, 401, 118};
constexpr int kListIconCount = sizeof kListIconIds / sizeof kListIconIds[0];

// What a slot of a type without a row of its own shows: a printer (the one
// type name without a row, in any language) gets the printer icon and
// picture; everything else keeps what it had.
const DeviceTypeRow* FallbackDeviceTypeRow(const SharedTexts& texts, const char* type_name);

}  // namespace td
