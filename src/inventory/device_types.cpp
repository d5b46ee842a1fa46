#include "inventory/device_types.h"

#include "common/shared_texts.h"

namespace td {

const char* DeviceTypeName(const SharedTexts& texts, int type_code, int removable) {
    switch (type_code) {
        case 0:
            return removable != 0 ? texts.removable : texts.hard_disk;
        case 1:
            return texts.tape;
        case 2:
            return texts.printer;
        case 3:
            return texts.scanner;  // processor devices: scanners of some makers answer so
        case 4:
            return texts.worm;
        case 5:
            return texts.cd_rom;
        case 6:
            return texts.scanner;
        case kDeviceTypeNoDevice:
            return texts.type_no_device;
        default:
            return texts.unknown;  // 7 to 30: optical, changer, communication, unassigned
    }
}

}  // namespace td
