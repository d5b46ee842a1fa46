#include "inventory/slot_kind.h"

#include <cstring>

#include "common/fixed_text.h"
#include "common/shared_texts.h"
#include "inventory/inventory.h"

namespace td {

namespace {

bool Same(const char* text, const char* type_name) { return text[0] != '\0' && std::strcmp(text, type_name) == 0; }

// The kind each type name names, by its string id, in the order the
// interface language's names are tried.
struct NamedKind {
    int id;
    SlotKind kind;
};
constexpr NamedKind kNamedKinds[] = {
    {50026, SlotKind::HardDisk},  {50027, SlotKind::CdRom},       {50028, SlotKind::Tape},
    {50029, SlotKind::Removable}, {50030, SlotKind::HostAdapter}, {50011, SlotKind::HostAdapter},
    {50031, SlotKind::Worm},      {50032, SlotKind::Scanner},     {50071, SlotKind::Printer},
    {50033, SlotKind::NoDevice},  {50010, SlotKind::NoDevice},    {50034, SlotKind::Unknown},
};

// The interface language's names, then NT discovery's fixed English ones.
SlotKind KindOfInterfaceText(const SharedTexts& texts, const char* type_name) {
    for (const NamedKind& named : kNamedKinds) {
        const char* text = SharedTextOf(texts, named.id);
        if (text != nullptr && Same(text, type_name)) return named.kind;
    }
    if (Same(kFixedHostAdapterType, type_name)) return SlotKind::HostAdapter;
    if (Same(kFixedNoDeviceType, type_name)) return SlotKind::NoDevice;
    return SlotKind::Unrecognised;
}

constexpr SlotKind KindOfStringId(int id) {
    for (const NamedKind& named : kNamedKinds) {
        if (named.id == id) return named.kind;
    }
    return SlotKind::Unrecognised;
}

constexpr bool EveryCatalogNameHasAKind() {
    for (int id : TypeNameCatalog::kIds) {
        if (KindOfStringId(id) == SlotKind::Unrecognised) return false;
    }
    return true;
}
static_assert(EveryCatalogNameHasAKind(), "a type name of the catalog names no kind of slot");

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
