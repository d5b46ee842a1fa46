// Fuzzing the scenario reader of the virtual bus: any text at all, as the
// ASPI library simulator and the NT-sim program read it from the file that
// TD_SCENARIO names.
//
// Checked on every input:
// - a text that is refused leaves the scenario as it was and says why,
//   starting with the line ("line <n>: ") or naming the whole text;
// - a text that is read gives a scenario within the limits the format
//   states: at most 32 adapters of at most 128 devices, texts no longer
//   than their fields and the program's registry buffers, IDs, LUNs, buses
//   and ports in range, one initiator ID per bus, no device at its bus's
//   initiator ID or at an address given twice, drive letters and class
//   device numbers given once, sense data only with CHECK CONDITION;
// - every device's INQUIRY data can be built;
// - the scenario's registry entries, written to an in-memory registry,
//   are read back by the program's NT lookup as the scenario gave them
//   (driver name, maker, description, cut to their fields) wherever the
//   miniport names are distinct, and the Windows 95 lookup runs over them
//   with every field terminated and every key closed.
#include <cctype>
#include <cstdint>
#include <cstring>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "bus/scenario.h"
#include "bus/scenario_registry.h"
#include "common/fixed_text.h"
#include "discovery/adapter_details.h"
#include "fuzz_checks.h"
#include "support/memory_registry.h"

namespace {

using namespace td;
using namespace td::sim;
using fuzz::Require;
using fuzz::RequireTerminated;

constexpr std::size_t kRegistryTextMax = 259;

std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

void CheckDevice(const ScenarioAdapter& adapter, const ScenarioDevice& device, std::set<char>& letters,
                 std::set<std::pair<int, int>>& class_numbers) {
    Require(device.target >= 0 && device.target <= 15, "a target ID outside 0 to 15");
    Require(device.lun >= 0 && device.lun <= 7, "a LUN outside 0 to 7");
    Require(device.bus >= 0 && device.bus < adapter.buses, "a device on a bus the adapter lacks");
    Require(device.target != adapter.initiator_ids[static_cast<std::size_t>(device.bus)],
            "a device at its bus's initiator ID");
    Require(device.type <= 31 && device.ansi_version >= 0 && device.ansi_version <= 7,
            "a device type or version out of range");
    Require(device.vendor.size() <= 8 && device.product.size() <= 16 && device.revision.size() <= 4,
            "an INQUIRY text longer than its field");
    Require(device.buffer_size <= 0xFFFFFF, "a buffer size past 16 MiB");
    for (const auto& [offset, bytes] : device.inquiry_patches) {
        Require(offset >= 0 && offset + bytes.size() <= static_cast<std::size_t>(kInquiryLength),
                "INQUIRY bytes past the 96 bytes");
    }
    for (const ScenarioDrive& drive : device.drives) {
        Require(drive.letter >= 'A' && drive.letter <= 'Z', "a drive letter outside A to Z");
        Require(drive.type >= kDriveTypeRemovable && drive.type <= kDriveTypeRamdisk, "a drive without a type");
        Require(letters.insert(drive.letter).second, "a drive letter given twice");
    }
    for (const ScenarioClassDevice& entry : device.class_devices) {
        Require(entry.number >= 0 && entry.number <= 999, "a class device number out of range");
        Require(class_numbers.insert({entry.kind == ClassKind::Scanner ? 0 : 1, entry.number}).second,
                "a class device given twice");
    }
    for (const CommandRule& rule : device.rules) {
        Require(rule.opcode >= kRuleVpdInquiry && rule.opcode <= 0xFF, "a rule for no opcode");
        Require(rule.sense.size() <= static_cast<std::size_t>(kSenseLength), "more than 18 sense bytes");
        Require(rule.sense.empty() || rule.status == 0x02, "sense data without CHECK CONDITION");
        Require(rule.status != 0x02 || !rule.sense.empty(), "CHECK CONDITION without sense data");
    }
    Require(!device.has_capacity || device.blocks >= 1, "a capacity without blocks");
    Require(device.serial.size() <= 251, "a serial number longer than its page holds");
    for (const ScenarioDesignator& designator : device.designators)
        Require(!designator.value.empty() && designator.value.size() <= 255 && designator.association <= 2,
                "a designator its descriptor cannot hold");
    for (const std::uint8_t page : {0x00, 0x80, 0x83}) {
        const std::vector<std::uint8_t> bytes = device.VpdPage(page);
        Require(bytes.empty() || (bytes.size() >= 4 && bytes[1] == page), "a page without its header");
    }
    const auto inquiry = device.InquiryData();
    Require((inquiry[0] & 0x1F) == device.type || !device.inquiry_patches.empty(), "INQUIRY data of another type");
}

void CheckScenario(const Scenario& scenario) {
    Require(scenario.aspi_count >= 0 && scenario.aspi_count <= 255, "an adapter count past 255");
    Require(scenario.adapters.size() <= 32, "more than 32 adapters");
    std::set<char> letters;
    std::set<std::pair<int, int>> class_numbers;
    std::set<int> ports;
    for (const ScenarioAdapter& adapter : scenario.adapters) {
        Require(adapter.identifier.size() <= 16 && adapter.manager.size() <= 16,
                "an adapter text longer than its 16 bytes");
        Require(adapter.scsi_id >= 0 && adapter.scsi_id <= 15 && adapter.max_target >= 0 && adapter.max_target <= 15,
                "an adapter ID out of range");
        Require(adapter.port >= 0 && adapter.port <= 255 && ports.insert(adapter.port).second,
                "a port out of range or given twice");
        Require(adapter.buses >= 1 && adapter.buses <= 8, "a bus count outside 1 to 8");
        Require(adapter.initiator_ids.size() == static_cast<std::size_t>(adapter.buses),
                "not one initiator ID per bus");
        for (int id : adapter.initiator_ids) Require(id >= 0 && id <= 15, "an initiator ID out of range");
        Require(adapter.devices.size() <= 128, "more than 128 devices on an adapter");
        for (const std::string* text :
             {&adapter.mfg, &adapter.description, &adapter.hw_revision, &adapter.port_driver, &adapter.pci_key,
              &adapter.pci_instance, &adapter.pci_class, &adapter.miniport}) {
            Require(text->size() <= kRegistryTextMax, "a registry text longer than the program reads");
        }
        Require(!adapter.pci_key.empty() && adapter.pci_key.find('\\') == std::string::npos &&
                    !adapter.pci_instance.empty() && adapter.pci_instance.find('\\') == std::string::npos,
                "a PCI key name that is no single key");
        Require(adapter.miniport.find('\\') == std::string::npos, "a miniport name with a backslash");
        for (const ScenarioDevice& device : adapter.devices) CheckDevice(adapter, device, letters, class_numbers);
    }
    for (const ScenarioDrive& drive : scenario.extra_drives) {
        Require(drive.type >= kDriveTypeRemovable && drive.type <= kDriveTypeRamdisk, "an extra drive without a type");
        Require(letters.insert(drive.letter).second, "a drive letter given twice");
    }
}

template <std::size_t N>
std::string Cut(const std::string& text) {
    char field[N];
    CopyText(field, text.c_str());
    return field;
}

void CheckRegistryReadBack(const Scenario& scenario) {
    std::set<std::string> miniports;
    bool distinct = true;
    for (const ScenarioAdapter& adapter : scenario.adapters) {
        distinct = miniports.insert(Lower(adapter.miniport)).second && distinct;
    }

    test::MemoryRegistry nt;
    Require(WriteScenarioRegistry(scenario, nt, kPlatformNt), "NT registry entries not written");
    for (const ScenarioAdapter& adapter : scenario.adapters) {
        HostAdapterRecord record{};
        CopyText(record.manager_name, ("Scsi Port " + std::to_string(adapter.port)).c_str());
        ReadNtAdapterDetails(nt, record);
        Require(nt.OpenKeyCount() == 0, "an NT registry key left open");
        Require(std::strcmp(record.hw_revision, "N/A") == 0, "a port's key not found");
        Require(record.identifier == Cut<sizeof record.identifier>(adapter.miniport),
                "the driver name read back differs");
        if (!distinct) continue;
        Require(record.manufacturer == Cut<sizeof record.manufacturer>(adapter.mfg) &&
                    record.description == Cut<sizeof record.description>(adapter.description),
                "the maker or description read back differs");
    }

    test::MemoryRegistry win95;
    Require(WriteScenarioRegistry(scenario, win95, kPlatformWin95), "Windows 95 registry entries not written");
    for (const ScenarioAdapter& adapter : scenario.adapters) {
        HostAdapterRecord record{};
        CopyText(record.identifier, adapter.identifier.c_str());
        ReadWin95AdapterDetails(win95, record);
        Require(win95.OpenKeyCount() == 0, "a Windows 95 registry key left open");
        RequireTerminated(record.manufacturer);
        RequireTerminated(record.description);
        Require(std::strlen(record.hw_revision) <= 4, "a hardware revision past 4 characters");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    Scenario scenario;
    scenario.name = "earlier";
    std::string error;
    if (!ParseScenario(text, scenario, error)) {
        Require(scenario.name == "earlier" && scenario.adapters.empty(), "a refused text changed the scenario");
        Require(error.rfind("line ", 0) == 0 || error.rfind("the scenario", 0) == 0, "a refusal that names no line");
        return 0;
    }
    Require(error.empty(), "a text read with an error");
    CheckScenario(scenario);
    CheckRegistryReadBack(scenario);
    return 0;
}
