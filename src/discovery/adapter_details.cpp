#include "discovery/adapter_details.h"

#include <cstdint>
#include <cstring>
#include <initializer_list>

#include "common/fixed_text.h"

namespace td {
namespace {

constexpr char kDeviceMapKey[] = "Hardware\\DeviceMap\\SCSI\\";
constexpr char kLegacyKey[] = "System\\CurrentControlSet\\Enum\\Root\\LEGACY_";
constexpr char kLegacyInstance[] = "\\0000";
constexpr char kClassKey[] = "System\\CurrentControlSet\\Services\\Class\\SCSIAdapter";
constexpr char kClassEntryPrefix[] = "SCSIAdapter\\";
constexpr char kPciKey[] = "Enum\\PCI";
constexpr char kPciPrefix[] = "Enum\\PCI\\";
constexpr char kScsiAdapterClass[] = "SCSIAdapter";
constexpr char kNtHwRevision[] = "N/A";

// RegEnumKeyA counts subkeys with a 16-bit index in the oldest registries;
// no enumeration here goes further, so none can run on forever.
constexpr std::uint32_t kMaxSubkeys = 65535;

// "PortDriver" is read into 20 bytes: at most 19 characters and the NUL.
constexpr std::uint32_t kPortDriverSize = 20;
constexpr std::size_t kHwRevisionMaxChars = 4;

// Joins `parts` into `out`. False, with `out` empty, when they do not fit:
// a path cut short could name a different key.
bool Compose(RegistryText& out, std::initializer_list<const char*> parts) {
    std::size_t used = 0;
    for (const char* part : parts) {
        const std::size_t length = std::strlen(part);
        if (used + length >= sizeof out) {
            out[0] = '\0';
            return false;
        }
        std::memcpy(out + used, part, length);
        used += length;
    }
    out[used] = '\0';
    return true;
}

// A substring test in which an empty part matches nothing: an adapter
// whose identifier is unknown, or an instance without a "Driver", must not
// take the details of whatever entry happens to come first.
bool Contains(const char* text, const char* part) { return part[0] != '\0' && std::strstr(text, part) != nullptr; }

void MakeUpper(RegistryText& out, const char* text) {
    CopyTextTo(out, sizeof out, text);
    for (char* c = out; *c != '\0'; ++c) {
        if (*c >= 'a' && *c <= 'z') *c = static_cast<char>(*c - 'a' + 'A');
    }
}

// Reads "PortDriver" of an open class subkey. False when it is missing or
// holds more than 19 characters.
bool ReadPortDriver(Registry& registry, RegistryKey key, char (&text)[kPortDriverSize]) {
    std::uint32_t size = sizeof text;
    if (!registry.QueryValue(key, "PortDriver", text, &size)) return false;
    if (size > sizeof text) return false;
    std::uint32_t length = 0;
    while (length < size && text[length] != '\0') ++length;
    if (length > kPortDriverSize - 1) return false;  // 20 characters without a terminator
    text[length] = '\0';
    return true;
}

enum class PciSearch { Matched, RanOut };

// Looks through the PCI enumeration for the instance whose "Driver" names
// `class_entry` ("SCSIAdapter\0000") and takes its details.
PciSearch SearchPci(Registry& registry, const char* class_entry, HostAdapterRecord& record) {
    const RegistryKey pci = registry.OpenKey(RegistryRoot::LocalMachine, kPciKey, RegistryAccess::AllAccess);
    if (pci == 0) return PciSearch::RanOut;
    PciSearch result = PciSearch::RanOut;
    for (std::uint32_t j = 0; j < kMaxSubkeys; ++j) {
        RegistryText device;
        if (!registry.EnumSubkey(pci, j, device, sizeof device)) break;
        RegistryText device_path;
        if (!Compose(device_path, {kPciPrefix, device})) break;
        const RegistryKey device_key = registry.OpenKey(RegistryRoot::LocalMachine, device_path, RegistryAccess::Read);
        if (device_key == 0) break;
        RegistryText instance;
        const bool has_instance = registry.EnumSubkey(device_key, 0, instance, sizeof instance);
        registry.CloseKey(device_key);
        if (!has_instance) continue;

        // The instance is addressed by the device key's name up to its first blank.
        if (char* blank = std::strchr(device, ' ')) *blank = '\0';
        RegistryText sub;
        if (!Compose(sub, {device, "\\", instance})) continue;
        RegistryText value;
        ReadRegistryText(registry, kPciPrefix, sub, "Class", value);
        if (std::strcmp(value, kScsiAdapterClass) != 0) continue;
        ReadRegistryText(registry, kPciPrefix, sub, "Driver", value);
        if (!Contains(class_entry, value)) continue;

        ReadRegistryText(registry, kPciPrefix, sub, "Mfg", value);
        CopyText(record.manufacturer, value);
        ReadRegistryText(registry, kPciPrefix, sub, "HWRevision", value);
        CopyText(record.hw_revision, value, kHwRevisionMaxChars);
        ReadRegistryText(registry, kPciPrefix, sub, "DeviceDesc", value);
        CopyText(record.description, value);
        result = PciSearch::Matched;
        break;
    }
    registry.CloseKey(pci);
    return result;
}

}  // namespace

bool ReadRegistryText(Registry& registry, const char* base, const char* sub, const char* name, RegistryText& text) {
    text[0] = '\0';
    RegistryText path;
    if (!Compose(path, {base, sub})) return false;
    const RegistryKey key = registry.OpenKey(RegistryRoot::LocalMachine, path, RegistryAccess::Read);
    if (key == 0) return false;
    const bool read = ReadTextValue(registry, key, name, text, sizeof text);
    registry.CloseKey(key);
    return read;
}

void ReadNtAdapterDetails(Registry& registry, HostAdapterRecord& record) {
    RegistryText path;
    if (!Compose(path, {kDeviceMapKey, record.manager_name})) return;
    const RegistryKey port = registry.OpenKey(RegistryRoot::LocalMachine, path, RegistryAccess::AllAccess);
    if (port == 0) return;
    RegistryText driver;
    ReadTextValue(registry, port, "Driver", driver, sizeof driver);
    registry.CloseKey(port);
    CopyText(record.identifier, driver);

    RegistryText base;
    RegistryText value;
    const bool fits = Compose(base, {kLegacyKey, driver});
    if (!fits || !ReadRegistryText(registry, base, kLegacyInstance, "Mfg", value)) value[0] = '\0';
    CopyText(record.manufacturer, value);
    CopyText(record.hw_revision, kNtHwRevision);
    if (!fits || !ReadRegistryText(registry, base, kLegacyInstance, "DeviceDesc", value)) value[0] = '\0';
    CopyText(record.description, value);
}

void ReadWin95AdapterDetails(Registry& registry, HostAdapterRecord& record) {
    const RegistryKey classes = registry.OpenKey(RegistryRoot::LocalMachine, kClassKey, RegistryAccess::AllAccess);
    if (classes == 0) return;
    RegistryText identifier;
    CopyTextTo(identifier, sizeof identifier, record.identifier);
    RegistryText upper;
    MakeUpper(upper, identifier);

    for (std::uint32_t k = 0; k < kMaxSubkeys; ++k) {
        RegistryText name;
        if (!registry.EnumSubkey(classes, k, name, sizeof name)) break;
        RegistryText path;
        if (!Compose(path, {kClassKey, "\\", name})) break;
        const RegistryKey entry = registry.OpenKey(RegistryRoot::LocalMachine, path, RegistryAccess::Read);
        if (entry == 0) break;
        char port_driver[kPortDriverSize];
        const bool readable = ReadPortDriver(registry, entry, port_driver);
        registry.CloseKey(entry);
        if (!readable) continue;
        if (!Contains(port_driver, identifier) && !Contains(port_driver, upper)) continue;

        RegistryText class_entry;
        if (!Compose(class_entry, {kClassEntryPrefix, name})) continue;
        if (SearchPci(registry, class_entry, record) == PciSearch::RanOut) break;
    }
    registry.CloseKey(classes);
}

void ReadAdapterDetails(Registry& registry, Inventory& inventory, int index) {
    if (index < 0 || index >= kMaxAdapters) return;
    HostAdapterRecord& record = inventory.adapters[index];
    if (inventory.platform == kPlatformNt) {
        ReadNtAdapterDetails(registry, record);
    } else if (inventory.platform == kPlatformWin95) {
        ReadWin95AdapterDetails(registry, record);
    }
}

}  // namespace td
