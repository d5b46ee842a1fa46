#include "inventory/device_type_table.h"

#include <cstring>

#include "common/shared_texts.h"
#include "resources/resource_ids.h"

namespace td {
const DeviceTypeRow* FindDeviceTypeRow(const SharedTexts& texts, const char* type_name) {
    // Rows are tried in this order and the first equal text wins.
    static const DeviceTypeRow kHardDisk{IDB_HARD_DISK, 1}, kCdRom{IDB_CD_ROM, 3}, kTape{IDB_TAPE, 4},
        kRemovable{IDB_REMOVABLE, 2}, kHostAdapter{IDB_HOST_ADAPTER, 8}, kWorm{IDB_WORM, 6}, kScanner{IDB_SCANNER, 5},
        kNoDevice{IDB_NO_DEVICE, 10}, kUnknown{IDB_UNKNOWN, 9};
    const struct {
        const char* text;
        const DeviceTypeRow* row;
    } rows[] = {
        {texts.hard_disk, &kHardDisk},
        {texts.cd_rom, &kCdRom},
        {texts.tape, &kTape},
        {texts.removable, &kRemovable},
        {texts.type_host_adapter, &kHostAdapter},
        {texts.worm, &kWorm},
        {texts.scanner, &kScanner},
        {texts.type_no_device, &kNoDevice},
        {texts.unknown, &kUnknown},
    };
    if (type_name == nullptr) return nullptr;
    for (const auto& entry : rows) {
        if (std::strcmp(entry.text, type_name) == 0) return entry.row;
    }
    return nullptr;
}

const DeviceTypeRow* FallbackDeviceTypeRow(const SharedTexts& texts, const char* type_name) {
    static const DeviceTypeRow kPrinter{IDB_PRINTER, 7};
    if (type_name != nullptr && std::strcmp(texts.printer, type_name) == 0) return &kPrinter;
    return nullptr;
}

}  // namespace td
