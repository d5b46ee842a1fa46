#include "inventory/slot_kind.h"

#include <cstring>

#include "common/fixed_text.h"
#include "common/shared_texts.h"
#include "inventory/inventory.h"

namespace td {

namespace {

bool Same(const char* text, const char* type_name) { return text[0] != '\0' && std::strcmp(text, type_name) == 0; }

SlotKind KindOfInterfaceText(const SharedTexts& texts, const char* type_name) {
    const struct {
        const char* text;
        SlotKind kind;
    } rows[] = {
        {texts.hard_disk, SlotKind::HardDisk},
        {texts.cd_rom, SlotKind::CdRom},
        {texts.tape, SlotKind::Tape},
        {texts.removable, SlotKind::Removable},
        {texts.type_host_adapter, SlotKind::HostAdapter},
        {texts.host_adapter, SlotKind::HostAdapter},
        {texts.worm, SlotKind::Worm},
        {texts.scanner, SlotKind::Scanner},
        {texts.printer, SlotKind::Printer},
        {texts.type_no_device, SlotKind::NoDevice},
        {texts.no_device, SlotKind::NoDevice},
        {texts.unknown, SlotKind::Unknown},
        {kFixedHostAdapterType, SlotKind::HostAdapter},
        {kFixedNoDeviceType, SlotKind::NoDevice},
    };
    for (const auto& row : rows) {
        if (Same(row.text, type_name)) return row.kind;
    }
    return SlotKind::Unrecognised;
}

SlotKind KindOfStringId(int id) {
    switch (id) {
        case 50010:
        case 50033:
            return SlotKind::NoDevice;
        case 50011:
        case 50030:
            return SlotKind::HostAdapter;
        case 50026:
            return SlotKind::HardDisk;
        case 50027:
            return SlotKind::CdRom;
        case 50028:
            return SlotKind::Tape;
        case 50029:
            return SlotKind::Removable;
        case 50031:
            return SlotKind::Worm;
        case 50032:
            return SlotKind::Scanner;
        case 50034:
            return SlotKind::Unknown;
        case 50071:
            return SlotKind::Printer;
        default:
            return SlotKind::Unrecognised;
    }
}

}  // namespace

SlotKind KindOfTypeName(const SharedTexts& texts, const char* type_name) {
    if (type_name == nullptr || type_name[0] == '\0') return SlotKind::Unrecognised;
    const SlotKind kind = KindOfInterfaceText(texts, type_name);
    if (kind != SlotKind::Unrecognised) return kind;
    const TypeNameCatalog& catalog = texts.type_names;
    for (const auto& language : catalog.names) {
        for (int i = 0; i < TypeNameCatalog::kIdCount; ++i) {
            if (Same(language[i], type_name)) return KindOfStringId(TypeNameCatalog::kIds[i]);
        }
    }
    return SlotKind::Unrecognised;
}

SlotKind KindOfSlot(const SharedTexts& texts, const DeviceSlot& slot) {
    char type_name[sizeof slot.type_name];
    CopyBytes(type_name, slot.type_name, sizeof slot.type_name);
    return KindOfTypeName(texts, type_name);
}

}  // namespace td
