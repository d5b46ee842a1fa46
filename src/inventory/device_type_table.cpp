#include "inventory/device_type_table.h"

#include "inventory/slot_kind.h"
#include "resources/resource_ids.h"

namespace td {

namespace {

// The picture and list icon of each kind of slot; a printer's row serves
// only as the fallback.
struct KindRow {
    SlotKind kind;
    DeviceTypeRow row;
};
constexpr KindRow kKindRows[] = {
    {SlotKind::HardDisk, {IDB_HARD_DISK, 1}},
    {SlotKind::CdRom, {IDB_CD_ROM, 3}},
    {SlotKind::Tape, {IDB_TAPE, 4}},
    {SlotKind::Removable, {IDB_REMOVABLE, 2}},
    {SlotKind::HostAdapter, {IDB_HOST_ADAPTER, 8}},
    {SlotKind::Worm, {IDB_WORM, 6}},
    {SlotKind::Scanner, {IDB_SCANNER, 5}},
    {SlotKind::NoDevice, {IDB_NO_DEVICE, 10}},
    {SlotKind::Unknown, {IDB_UNKNOWN, 9}},
    {SlotKind::Printer, {IDB_PRINTER, 7}},
};

const DeviceTypeRow* RowOfKind(SlotKind kind) {
    for (const KindRow& entry : kKindRows) {
        if (entry.kind == kind) return &entry.row;
    }
    return nullptr;
}

}  // namespace

const DeviceTypeRow* FindDeviceTypeRow(const SharedTexts& texts, const char* type_name) {
    const SlotKind kind = KindOfTypeName(texts, type_name);
    return kind == SlotKind::Printer ? nullptr : RowOfKind(kind);
}

const DeviceTypeRow* FallbackDeviceTypeRow(const SharedTexts& texts, const char* type_name) {
    const SlotKind kind = KindOfTypeName(texts, type_name);
    return kind == SlotKind::Printer ? RowOfKind(kind) : nullptr;
}

}  // namespace td
