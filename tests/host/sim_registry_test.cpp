// The registry entries a scenario writes for the program's adapter-detail
// lookup, on both platforms.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "bus/scenario.h"
#include "bus/scenario_registry.h"
#include "inventory/inventory.h"
#include "support/memory_registry.h"

namespace td::sim {
namespace {

using test::MemoryRegistry;

constexpr RegistryRoot kMachine = RegistryRoot::LocalMachine;

std::string Text(const MemoryRegistry& registry, const std::string& path, const std::string& name) {
    std::vector<unsigned char> bytes;
    if (!registry.GetBytes(kMachine, path, name, &bytes)) return "<missing>";
    if (bytes.empty() || bytes.back() != 0) return "<no terminator>";
    return std::string(bytes.begin(), bytes.end() - 1);
}

Scenario Parse(const std::string& text) {
    Scenario scenario;
    std::string error;
    EXPECT_TRUE(ParseScenario(text, scenario, error)) << error;
    return scenario;
}

TEST(ScenarioRegistry, Windows95ClassAndPciEntries) {
    MemoryRegistry registry;
    const Scenario scenario = DefaultScenario();
    ASSERT_TRUE(WriteScenarioRegistry(scenario, registry, kPlatformWin95));
    const std::string classes = "System\\CurrentControlSet\\Services\\Class\\SCSIAdapter\\";
    for (std::size_t i = 0; i < scenario.adapters.size(); ++i) {
        const ScenarioAdapter& adapter = scenario.adapters[i];
        const std::string entry = i == 0 ? "0000" : "0001";
        const std::string port_driver = Text(registry, classes + entry, "PortDriver");
        EXPECT_EQ(port_driver, adapter.port_driver);
        EXPECT_NE(port_driver.find(adapter.identifier), std::string::npos)
            << "the program finds its adapter's class entry by the ASPI identifier";
        const std::string instance = "Enum\\PCI\\" + adapter.pci_key + "\\" + adapter.pci_instance;
        EXPECT_EQ(Text(registry, instance, "Class"), "SCSIAdapter");
        EXPECT_EQ(Text(registry, instance, "Driver"), "SCSIAdapter\\" + entry);
        EXPECT_EQ(Text(registry, instance, "Mfg"), adapter.mfg);
        EXPECT_EQ(Text(registry, instance, "HWRevision"), adapter.hw_revision);
        EXPECT_EQ(Text(registry, instance, "DeviceDesc"), adapter.description);
    }
    EXPECT_EQ(Text(registry, "Enum\\PCI\\VEN_1A2B&DEV_2940\\BUS_00&DEV_0C&FUNC_00", "DeviceDesc"),
              "Harrowgate Brightlane BL-2940U PCI SCSI Host Adapter");
    EXPECT_FALSE(registry.HasKey(kMachine, "Hardware\\DeviceMap\\SCSI")) << "nothing of NT";
    EXPECT_EQ(registry.OpenKeyCount(), 0) << "every key closed again";
}

TEST(ScenarioRegistry, Windows95OddEntriesAreWrittenAsGiven) {
    MemoryRegistry registry;
    const Scenario scenario = Parse(R"(
adapter
  identifier isa1540
  pci no
adapter
  identifier aic
  port-driver AIC78XX.MPD
  pci-key "VEN_9004&DEV_8178 rev 1"
  pci-class scsiadapter
)");
    ASSERT_TRUE(WriteScenarioRegistry(scenario, registry, kPlatformWin95));
    const std::string classes = "System\\CurrentControlSet\\Services\\Class\\SCSIAdapter\\";
    EXPECT_EQ(Text(registry, classes + "0000", "PortDriver"), "isa1540.mpd");
    EXPECT_FALSE(registry.HasKey(kMachine, "Enum\\PCI\\" + scenario.adapters[0].pci_key))
        << "an adapter that is not PCI has no enumeration entry";
    EXPECT_EQ(Text(registry, classes + "0001", "PortDriver"), "AIC78XX.MPD");
    const std::string instance = "Enum\\PCI\\VEN_9004&DEV_8178 rev 1\\" + scenario.adapters[1].pci_instance;
    EXPECT_EQ(Text(registry, instance, "Class"), "scsiadapter");
    EXPECT_EQ(Text(registry, instance, "Driver"), "SCSIAdapter\\0001");
}

TEST(ScenarioRegistry, WindowsNtDeviceMapAndLegacyEntries) {
    MemoryRegistry registry;
    const Scenario scenario = Parse(R"(
adapter
  identifier BL2940U
  mfg Harrowgate
  description "Harrowgate Brightlane BL-2940U"
  port 0
adapter
  miniport mydrv
  mfg Other
  description "Second"
  port 1
)");
    ASSERT_TRUE(WriteScenarioRegistry(scenario, registry, kPlatformNt));
    EXPECT_EQ(Text(registry, "Hardware\\DeviceMap\\SCSI\\Scsi Port 0", "Driver"), "bl2940u");
    EXPECT_EQ(Text(registry, "Hardware\\DeviceMap\\SCSI\\Scsi Port 1", "Driver"), "mydrv");
    EXPECT_EQ(Text(registry, "System\\CurrentControlSet\\Enum\\Root\\LEGACY_mydrv\\0000", "Mfg"), "Other");
    EXPECT_EQ(Text(registry, "System\\CurrentControlSet\\Enum\\Root\\LEGACY_mydrv\\0000", "DeviceDesc"), "Second");
    EXPECT_EQ(Text(registry, "System\\CurrentControlSet\\Enum\\Root\\LEGACY_bl2940u\\0000", "DeviceDesc"),
              "Harrowgate Brightlane BL-2940U");
    EXPECT_FALSE(registry.HasKey(kMachine, "System\\CurrentControlSet\\Services\\Class\\SCSIAdapter"));
}

TEST(ScenarioRegistry, RefusesUnknownPlatformsAndReportsFailedWrites) {
    MemoryRegistry registry;
    EXPECT_FALSE(WriteScenarioRegistry(DefaultScenario(), registry, kPlatformUnknown));
    EXPECT_FALSE(registry.HasKey(kMachine, "System"));
    registry.fail_create = true;
    EXPECT_FALSE(WriteScenarioRegistry(DefaultScenario(), registry, kPlatformNt));
    EXPECT_TRUE(WriteScenarioRegistry(Scenario(), registry, kPlatformNt)) << "no adapters, nothing to write";
}

}  // namespace
}  // namespace td::sim
