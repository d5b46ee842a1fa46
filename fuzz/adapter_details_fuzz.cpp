// Fuzzing the registry readers of a host adapter's details on both
// platforms: the values they read may have any type and length, with or
// without NULs, and the key names they walk may be anything.
//
// The input describes a registry (held by the in-memory registry of the
// tests) and the adapter record looked up in it. In this order:
//   1 byte    settings: bit 0 NT (else Windows 95)
//   counted   the record's identifier (Windows 95: the HA_Identifier)
//   counted   the record's manager name (NT: "Scsi Port <n>")
//   NT:       1 byte, bit 0: the port's key under the SCSI device map exists;
//             value "Driver"; values "Mfg" and "DeviceDesc" of the LEGACY_
//             key of the driver the reader will look for
//   Win 95:   1 byte, bit 0: the class key exists; 1 byte: how many class
//             subkeys (0 to 7), each a counted name and its "PortDriver";
//             1 byte: how many PCI device keys (0 to 7), each a counted
//             device key name, a counted instance name, and "Class",
//             "Driver", "Mfg", "HWRevision", "DeviceDesc"
//   then      a counted buffer size (1 to 256) and a value read into a
//             buffer of exactly that size
// A value is 1 byte of kind, then: 0 missing; 1 the text the reader looks
// for, with its NUL; 2 the same without NUL; 3 counted bytes as stored;
// 4 two counted runs as one value (up to 510 bytes, past the reader's 260).
//
// Checked on every input:
// - no read or write past a value or a buffer (the address sanitizer);
// - every key opened is closed again;
// - every field stays terminated within its width, a Windows 95 hardware
//   revision holds at most 4 characters and NT's is "N/A";
// - a record whose first key does not open is left exactly as it was;
// - every field written holds the start of a value of the registry (NT:
//   the "Driver" value's start is the identifier);
// - a value read as text is terminated within the caller's buffer.
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "common/fixed_text.h"
#include "discovery/adapter_details.h"
#include "fuzz_checks.h"
#include "fuzz_input.h"
#include "support/memory_registry.h"

namespace {

using namespace td;
using fuzz::InputReader;
using fuzz::Require;
using fuzz::RequireAtMost;
using fuzz::RequireTerminated;
using Bytes = std::vector<std::uint8_t>;

constexpr RegistryRoot kMachine = RegistryRoot::LocalMachine;

// Reads one value from the input: missing, the text the reader looks for
// (with or without its NUL), or bytes of any kind and length.
bool ReadValue(InputReader& input, const std::string& wanted, Bytes& value) {
    const std::uint8_t kind = input.Byte() % 5;
    value.assign(wanted.begin(), wanted.end());
    switch (kind) {
        case 0:
            return false;
        case 1:
            value.push_back(0);
            return true;
        case 2:
            return true;
        case 3:
            value = input.Counted();
            return true;
        default: {
            value = input.Counted();
            const Bytes more = input.Counted();
            value.insert(value.end(), more.begin(), more.end());
            return true;
        }
    }
}

// The values written, by name, so that the fields can be traced back.
struct Written {
    std::vector<Bytes> of_name[6];
};
enum Name { kDriver, kMfg, kDesc, kRevision, kPortDriver, kClass };
const char* const kNames[] = {"Driver", "Mfg", "DeviceDesc", "HWRevision", "PortDriver", "Class"};

void Put(test::MemoryRegistry& registry, Written& written, InputReader& input, const std::string& key, Name name,
         const std::string& wanted) {
    Bytes value;
    if (!ReadValue(input, wanted, value)) return;
    registry.SetBytes(kMachine, key, kNames[name], value);
    written.of_name[name].push_back(value);
}

// The text a value gives: up to its first NUL.
std::string TextOf(const Bytes& value) {
    std::string text;
    for (std::uint8_t byte : value) {
        if (byte == 0) break;
        text += static_cast<char>(byte);
    }
    return text;
}

template <std::size_t N>
bool StartsSomeValue(const char (&field)[N], const std::vector<Bytes>& values) {
    const std::size_t length = std::strlen(field);
    if (length == 0) return true;
    for (const Bytes& value : values) {
        if (value.size() >= length && std::memcmp(value.data(), field, length) == 0) return true;
    }
    return false;
}

template <std::size_t N>
void FillEarlier(char (&field)[N], char fill) {
    std::memset(field, fill, N - 1);
    field[N - 1] = '\0';
}

void BuildNt(test::MemoryRegistry& registry, Written& written, InputReader& input, const HostAdapterRecord& record) {
    if ((input.Byte() & 0x01) == 0) return;
    const std::string port = std::string("Hardware\\DeviceMap\\SCSI\\") + record.manager_name;
    registry.AddKey(kMachine, port);
    Bytes driver;
    const bool has_driver = ReadValue(input, "mydrv", driver);
    if (has_driver) {
        registry.SetBytes(kMachine, port, "Driver", driver);
        written.of_name[kDriver].push_back(driver);
    }
    const std::string legacy = "System\\CurrentControlSet\\Enum\\Root\\LEGACY_" +
                               (has_driver ? TextOf(driver) : std::string()) + "\\0000";
    Put(registry, written, input, legacy, kMfg, "Harrowgate");
    Put(registry, written, input, legacy, kDesc, "Harrowgate Brightlane BL-2940U PCI SCSI Host Adapter");
}

void BuildWin95(test::MemoryRegistry& registry, Written& written, InputReader& input, const HostAdapterRecord& record) {
    const char kClassKey[] = "System\\CurrentControlSet\\Services\\Class\\SCSIAdapter";
    if ((input.Byte() & 0x01) == 0) return;
    registry.AddKey(kMachine, kClassKey);
    std::vector<std::string> entries;
    const int classes = input.Byte() % 8;
    for (int k = 0; k < classes; ++k) {
        const std::string name = input.CountedText();
        const std::string key = std::string(kClassKey) + "\\" + name;
        registry.AddKey(kMachine, key);
        Put(registry, written, input, key, kPortDriver, std::string(record.identifier) + ".mpd");
        entries.push_back("SCSIAdapter\\" + name);
    }
    registry.AddKey(kMachine, "Enum\\PCI");
    const int devices = input.Byte() % 8;
    for (int j = 0; j < devices; ++j) {
        const std::string device = input.CountedText();
        const std::string instance = input.CountedText();
        const std::string key = "Enum\\PCI\\" + device + "\\" + instance;
        registry.AddKey(kMachine, key);
        Put(registry, written, input, key, kClass, "SCSIAdapter");
        Put(registry, written, input, key, kDriver,
            entries.empty() ? "SCSIAdapter\\0000" : entries[j % entries.size()]);
        Put(registry, written, input, key, kMfg, "Harrowgate");
        Put(registry, written, input, key, kRevision, "0003");
        Put(registry, written, input, key, kDesc, "Harrowgate Brightlane BL-2940U PCI SCSI Host Adapter");
    }
}

void CheckRecord(const HostAdapterRecord& record, const HostAdapterRecord& earlier, const Written& written, bool nt) {
    RequireTerminated(record.identifier);
    RequireTerminated(record.manager_name);
    RequireTerminated(record.manufacturer);
    RequireTerminated(record.description);
    RequireTerminated(record.hw_revision);
    const bool unchanged = std::memcmp(&record, &earlier, sizeof record) == 0;
    if (nt) {
        if (unchanged) return;
        Require(std::strcmp(record.hw_revision, "N/A") == 0, "an NT hardware revision other than N/A");
        Require(StartsSomeValue(record.identifier, written.of_name[kDriver]), "an identifier that is no driver name");
    } else {
        if (std::strcmp(record.hw_revision, earlier.hw_revision) != 0) {
            RequireAtMost(record.hw_revision, 4, "a hardware revision past 4 characters");
            Require(StartsSomeValue(record.hw_revision, written.of_name[kRevision]), "a revision from no HWRevision");
        }
        Require(std::strcmp(record.identifier, earlier.identifier) == 0, "Windows 95 changed the identifier");
    }
    if (std::strcmp(record.manufacturer, earlier.manufacturer) != 0) {
        Require(StartsSomeValue(record.manufacturer, written.of_name[kMfg]), "a maker from no Mfg value");
    }
    if (std::strcmp(record.description, earlier.description) != 0) {
        Require(StartsSomeValue(record.description, written.of_name[kDesc]), "a description from no DeviceDesc value");
    }
}

// One value read as text into a caller's buffer of exactly `size` bytes.
void CheckTextValue(InputReader& input) {
    const std::uint32_t size = 1 + input.Byte();
    Bytes value;
    const bool present = ReadValue(input, "text", value);
    test::MemoryRegistry registry;
    if (present) registry.SetBytes(kMachine, "Key", "Value", value);
    registry.AddKey(kMachine, "Key");
    const RegistryKey key = registry.OpenKey(kMachine, "Key", RegistryAccess::Read);
    auto buffer = std::make_unique<char[]>(size);
    std::memset(buffer.get(), 'b', size);
    const bool read = ReadTextValue(registry, key, "Value", buffer.get(), size);
    registry.CloseKey(key);
    Require(std::memchr(buffer.get(), 0, size) != nullptr, "a text value read without its terminator");
    if (!read) Require(buffer[0] == '\0', "a value not read left text behind");
    if (read) {
        const std::size_t length = std::strlen(buffer.get());
        Require(length == 0 || (length <= value.size() && std::memcmp(buffer.get(), value.data(), length) == 0),
                "a text value that is not the start of the value");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    InputReader input(data, size);
    const bool nt = (input.Byte() & 0x01) != 0;

    HostAdapterRecord record;
    std::memset(&record, 0, sizeof record);
    FillEarlier(record.manufacturer, 'm');
    FillEarlier(record.description, 'd');
    FillEarlier(record.hw_revision, 'r');
    const std::string identifier = input.CountedText();
    const std::string manager = input.CountedText();
    CopyBytes(record.identifier, identifier.data(), identifier.size());
    CopyBytes(record.manager_name, manager.data(), manager.size());
    const HostAdapterRecord earlier = record;

    test::MemoryRegistry registry;
    Written written;
    if (nt) {
        BuildNt(registry, written, input, record);
        ReadNtAdapterDetails(registry, record);
    } else {
        BuildWin95(registry, written, input, record);
        ReadWin95AdapterDetails(registry, record);
    }
    Require(registry.OpenKeyCount() == 0, "a registry key left open");
    CheckRecord(record, earlier, written, nt);
    CheckTextValue(input);
    return 0;
}
