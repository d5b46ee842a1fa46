#include "inventory/device_type_table.h"

#include "inventory/slot_kind.h"
#include "resources/resource_ids.h"

namespace td {

namespace {

// The picture and list icon of each kind of slot that has a row of its own.
const DeviceTypeRow* RowOfKind(SlotKind kind) {
    static const DeviceTypeRow kHardDisk{IDB_HARD_DISK, 1}, kCdRom{IDB_CD_ROM, 3}, kTape{IDB_TAPE, 4},
        kRemovable{IDB_REMOVABLE, 2}, kHostAdapter{IDB_HOST_ADAPTER, 8}, kWorm{IDB_WORM, 6}, kScanner{IDB_SCANNER, 5},
        kNoDevice{IDB_NO_DEVICE, 10}, kUnknown{IDB_UNKNOWN, 9};
    switch (kind) {
        case SlotKind::HardDisk:
            return &kHardDisk;
        case SlotKind::CdRom:
            return &kCdRom;
        case SlotKind::Tape:
            return &kTape;
        case SlotKind::Removable:
            return &kRemovable;
        case SlotKind::HostAdapter:
            return &kHostAdapter;
        case SlotKind::Worm:
            return &kWorm;
        case SlotKind::Scanner:
            return &kScanner;
        case SlotKind::NoDevice:
            return &kNoDevice;
        case SlotKind::Unknown:
            return &kUnknown;
        case SlotKind::Printer:
        case SlotKind::Unrecognised:
            break;
    }
    return nullptr;
}

}  // namespace

const DeviceTypeRow* FindDeviceTypeRow(const SharedTexts& texts, const char* type_name) {
    return RowOfKind(KindOfTypeName(texts, type_name));
}

const DeviceTypeRow* FallbackDeviceTypeRow(const SharedTexts& texts, const char* type_name) {
    static const DeviceTypeRow kPrinter{IDB_PRINTER, 7};
    return KindOfTypeName(texts, type_name) == SlotKind::Printer ? &kPrinter : nullptr;
}

}  // namespace td
