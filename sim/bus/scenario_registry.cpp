#include "bus/scenario_registry.h"

#include <cstdio>
#include <string>

namespace td::sim {
namespace {

constexpr std::int32_t kWindows95 = 1;
constexpr std::int32_t kWindowsNt = 2;

// Creates `path` and sets its text values; false when anything fails.
bool WriteKey(Registry& registry, const std::string& path,
              std::initializer_list<std::pair<const char*, const std::string*>> values) {
    const RegistryKey key = registry.CreateKey(RegistryRoot::LocalMachine, path.c_str(), RegistryAccess::AllAccess,
                                               nullptr);
    if (key == 0) return false;
    bool ok = true;
    for (const auto& [name, text] : values) {
        ok = registry.SetTextValue(key, name, text->c_str()) && ok;
    }
    registry.CloseKey(key);
    return ok;
}

std::string ClassEntryName(std::size_t index) {
    char name[16];
    std::snprintf(name, sizeof name, "%04u", static_cast<unsigned>(index));
    return name;
}

}  // namespace

bool WriteScenarioRegistry(const Scenario& scenario, Registry& registry, std::int32_t platform) {
    if (platform != kWindows95 && platform != kWindowsNt) return false;
    bool ok = true;
    for (std::size_t i = 0; i < scenario.adapters.size(); ++i) {
        const ScenarioAdapter& adapter = scenario.adapters[i];
        if (platform == kWindows95) {
            const std::string entry = ClassEntryName(i);
            ok = WriteKey(registry, "System\\CurrentControlSet\\Services\\Class\\SCSIAdapter\\" + entry,
                          {{"PortDriver", &adapter.port_driver}}) &&
                 ok;
            if (!adapter.pci) continue;
            const std::string driver = "SCSIAdapter\\" + entry;
            ok = WriteKey(registry, "Enum\\PCI\\" + adapter.pci_key + "\\" + adapter.pci_instance,
                          {{"Class", &adapter.pci_class},
                           {"Driver", &driver},
                           {"Mfg", &adapter.mfg},
                           {"HWRevision", &adapter.hw_revision},
                           {"DeviceDesc", &adapter.description}}) &&
                 ok;
        } else {
            ok = WriteKey(registry, "Hardware\\DeviceMap\\SCSI\\Scsi Port " + std::to_string(adapter.port),
                          {{"Driver", &adapter.miniport}}) &&
                 ok;
            ok = WriteKey(registry, "System\\CurrentControlSet\\Enum\\Root\\LEGACY_" + adapter.miniport + "\\0000",
                          {{"Mfg", &adapter.mfg}, {"DeviceDesc", &adapter.description}}) &&
                 ok;
        }
    }
    return ok;
}

}  // namespace td::sim
