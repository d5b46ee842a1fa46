// Host adapter details from the registry: the NT device map and legacy
// driver keys, the Windows 95 adapter class and PCI enumeration, and what
// odd registries (missing keys and values, unterminated and long values)
// leave in the records.
#include <gtest/gtest.h>

#include <string>

#include "bus/scenario.h"
#include "bus/scenario_registry.h"
#include "common/fixed_text.h"
#include "discovery/adapter_details.h"
#include "support/memory_registry.h"

namespace td {
namespace {

using test::MemoryRegistry;
constexpr RegistryRoot kLm = RegistryRoot::LocalMachine;

const std::string kClass = "System\\CurrentControlSet\\Services\\Class\\SCSIAdapter\\";
const std::string kPci = "Enum\\PCI\\";

sim::Scenario Parse(const std::string& text) {
    sim::Scenario scenario;
    std::string error;
    EXPECT_TRUE(sim::ParseScenario(text, scenario, error)) << error;
    return scenario;
}

HostAdapterRecord NtRecord(int port) {
    HostAdapterRecord record{};
    CopyText(record.manager_name, ("Scsi Port " + std::to_string(port)).c_str());
    return record;
}

HostAdapterRecord Win95Record(const char* identifier) {
    HostAdapterRecord record{};
    CopyText(record.identifier, identifier);
    return record;
}

void PciInstance(MemoryRegistry& registry, const std::string& device, const std::string& instance,
                 const std::string& driver, const std::string& mfg, const std::string& cls = "SCSIAdapter") {
    const std::string path = kPci + device + "\\" + instance;
    registry.SetText(kLm, path, "Class", cls);
    registry.SetText(kLm, path, "Driver", driver);
    registry.SetText(kLm, path, "Mfg", mfg);
    registry.SetText(kLm, path, "HWRevision", "0001");
    registry.SetText(kLm, path, "DeviceDesc", mfg + " SCSI Host Adapter");
}

TEST(DiscoveryNtAdapterDetails, DriverNameThenMakerAndDescriptionOfItsLegacyKey) {
    MemoryRegistry registry;
    ASSERT_TRUE(sim::WriteScenarioRegistry(sim::DefaultScenario(), registry, kPlatformNt));
    HostAdapterRecord record = NtRecord(1);
    CopyText(record.hw_revision, "0102");
    ReadNtAdapterDetails(registry, record);
    EXPECT_STREQ(record.identifier, "bl1540");
    EXPECT_STREQ(record.manufacturer, "Harrowgate");
    EXPECT_STREQ(record.description, "Harrowgate Brightlane BL-1540 SCSI Host Adapter");
    EXPECT_STREQ(record.hw_revision, "N/A") << "NT knows no hardware revision";
    EXPECT_STREQ(record.manager_name, "Scsi Port 1");
    EXPECT_EQ(registry.OpenKeyCount(), 0);

    // The same through the platform switch.
    Inventory inventory{};
    inventory.platform = kPlatformNt;
    CopyText(inventory.adapters[0].manager_name, "Scsi Port 0");
    ReadAdapterDetails(registry, inventory, 0);
    EXPECT_STREQ(inventory.adapters[0].identifier, "bl2940u");
    ReadAdapterDetails(registry, inventory, 8);  // no such record: nothing happens
}

TEST(DiscoveryNtAdapterDetails, MissingKeysAndValues) {
    MemoryRegistry registry;
    HostAdapterRecord record = NtRecord(3);
    CopyText(record.identifier, "kept");
    CopyText(record.description, "kept too");
    ReadNtAdapterDetails(registry, record);
    EXPECT_STREQ(record.identifier, "kept") << "no device map key: the record stays as it was";
    EXPECT_STREQ(record.description, "kept too");
    EXPECT_STREQ(record.hw_revision, "");

    // The port's key without "Driver": no identifier, so no legacy key either.
    registry.AddKey(kLm, "Hardware\\DeviceMap\\SCSI\\Scsi Port 3");
    registry.SetText(kLm, "System\\CurrentControlSet\\Enum\\Root\\LEGACY_\\0000", "Mfg", "Nobody");
    ReadNtAdapterDetails(registry, record);
    EXPECT_STREQ(record.identifier, "");
    EXPECT_STREQ(record.manufacturer, "Nobody") << "the legacy key of an empty driver name is read as any other";
    EXPECT_STREQ(record.description, "");
    EXPECT_STREQ(record.hw_revision, "N/A");

    // A driver without its legacy key.
    registry.SetText(kLm, "Hardware\\DeviceMap\\SCSI\\Scsi Port 3", "Driver", "ghost");
    ReadNtAdapterDetails(registry, record);
    EXPECT_STREQ(record.identifier, "ghost");
    EXPECT_STREQ(record.manufacturer, "");
    EXPECT_STREQ(record.description, "");
    EXPECT_EQ(registry.OpenKeyCount(), 0);
}

TEST(DiscoveryNtAdapterDetails, UnterminatedAndOverlongValuesAreCutToTheFields) {
    MemoryRegistry registry;
    const std::string legacy = "System\\CurrentControlSet\\Enum\\Root\\LEGACY_wide\\0000";
    registry.SetText(kLm, "Hardware\\DeviceMap\\SCSI\\Scsi Port 0", "Driver", "wide", false);
    registry.SetText(kLm, legacy, "Mfg", std::string(40, 'M'), false);
    registry.SetText(kLm, legacy, "DeviceDesc", std::string(100, 'D'));
    HostAdapterRecord record = NtRecord(0);
    ReadNtAdapterDetails(registry, record);
    EXPECT_STREQ(record.identifier, "wide") << "a value without its NUL is read as far as it goes";
    EXPECT_EQ(std::string(record.manufacturer), std::string(31, 'M'));
    EXPECT_EQ(std::string(record.description), std::string(63, 'D'));

    // A value that does not fit the 260-byte working text is not read at all.
    registry.SetText(kLm, legacy, "DeviceDesc", std::string(300, 'X'));
    ReadNtAdapterDetails(registry, record);
    EXPECT_STREQ(record.description, "");

    // A driver name so long that its legacy key path does not fit: nothing
    // is read rather than a key whose name was cut short.
    const std::string long_driver(230, 'd');
    registry.SetText(kLm, "Hardware\\DeviceMap\\SCSI\\Scsi Port 0", "Driver", long_driver);
    const std::string cut = "System\\CurrentControlSet\\Enum\\Root\\LEGACY_" + long_driver.substr(0, 259 - 42 - 5);
    registry.SetText(kLm, cut + "\\0000", "Mfg", "Wrong");
    ReadNtAdapterDetails(registry, record);
    EXPECT_EQ(std::string(record.identifier), std::string(31, 'd'));
    EXPECT_STREQ(record.manufacturer, "");
    EXPECT_EQ(registry.OpenKeyCount(), 0);
}

TEST(DiscoveryWin95AdapterDetails, ClassEntryAndPciInstanceOfTheScenario) {
    MemoryRegistry registry;
    ASSERT_TRUE(sim::WriteScenarioRegistry(sim::DefaultScenario(), registry, kPlatformWin95));
    HostAdapterRecord record = Win95Record("BL1540");
    ReadWin95AdapterDetails(registry, record);
    EXPECT_STREQ(record.manufacturer, "Harrowgate");
    EXPECT_STREQ(record.description, "Harrowgate Brightlane BL-1540 SCSI Host Adapter");
    EXPECT_STREQ(record.hw_revision, "0102");
    EXPECT_STREQ(record.identifier, "BL1540") << "the identifier is ASPI's, not the registry's";
    EXPECT_EQ(registry.OpenKeyCount(), 0);

    Inventory inventory{};
    inventory.platform = kPlatformWin95;
    CopyText(inventory.adapters[2].identifier, "BL2940U");
    ReadAdapterDetails(registry, inventory, 2);
    EXPECT_STREQ(inventory.adapters[2].hw_revision, "0003");
}

TEST(DiscoveryWin95AdapterDetails, CaseRules) {
    // A lowercase identifier finds a PortDriver written in capitals.
    MemoryRegistry registry;
    ASSERT_TRUE(sim::WriteScenarioRegistry(Parse("adapter\n identifier bl2940u\n port-driver BL2940U.MPD\n"
                                                 " mfg Harrowgate\n hw-revision 0003A\nend\n"),
                                           registry, kPlatformWin95));
    HostAdapterRecord lower = Win95Record("bl2940u");
    ReadWin95AdapterDetails(registry, lower);
    EXPECT_STREQ(lower.manufacturer, "Harrowgate");
    EXPECT_STREQ(lower.hw_revision, "0003") << "at most 4 characters";

    // Only lowercase letters are raised: a capitalised identifier does not
    // find a lowercase PortDriver.
    MemoryRegistry lowercase_driver;
    ASSERT_TRUE(sim::WriteScenarioRegistry(Parse("adapter\n identifier BL2940U\n port-driver bl2940u.mpd\n"
                                                 " mfg Harrowgate\nend\n"),
                                           lowercase_driver, kPlatformWin95));
    HostAdapterRecord upper = Win95Record("BL2940U");
    ReadWin95AdapterDetails(lowercase_driver, upper);
    EXPECT_STREQ(upper.manufacturer, "");

    // "Class" is compared exactly.
    MemoryRegistry other_case;
    ASSERT_TRUE(sim::WriteScenarioRegistry(Parse("adapter\n identifier BL2940U\n pci-class scsiadapter\n"
                                                 " mfg Harrowgate\nend\n"),
                                           other_case, kPlatformWin95));
    HostAdapterRecord record = Win95Record("BL2940U");
    ReadWin95AdapterDetails(other_case, record);
    EXPECT_STREQ(record.manufacturer, "");
    EXPECT_STREQ(record.description, "");
    EXPECT_EQ(other_case.OpenKeyCount(), 0);
}

TEST(DiscoveryWin95AdapterDetails, PortDriverHoldsAtMostNineteenCharacters) {
    MemoryRegistry registry;
    registry.SetText(kLm, kClass + "0000", "PortDriver", "ABCDEFGHIJKLMNOPQRS");          // 19 and the NUL
    registry.SetText(kLm, kClass + "0001", "PortDriver", "ABCDEFGHIJKLMNOPQRST", false);  // 20, no NUL
    PciInstance(registry, "VEN_1&DEV_1", "BUS_0", "SCSIAdapter\\0000", "First");
    HostAdapterRecord record = Win95Record("QRS");
    ReadWin95AdapterDetails(registry, record);
    EXPECT_STREQ(record.manufacturer, "First");

    // The 20-character entry is passed over, and the lookup goes on.
    MemoryRegistry long_first;
    long_first.SetText(kLm, kClass + "0000", "PortDriver", "ABCDEFGHIJKLMNOPQRST", false);
    long_first.SetText(kLm, kClass + "0001", "PortDriver", "ABCDEFGHIJKLMNOPQRST");  // 21 bytes: too long
    long_first.SetText(kLm, kClass + "0002", "PortDriver", "RST.MPD", false);        // short, no NUL: fine
    PciInstance(long_first, "VEN_1&DEV_1", "BUS_0", "SCSIAdapter\\0000", "Zero");
    PciInstance(long_first, "VEN_1&DEV_2", "BUS_0", "SCSIAdapter\\0002", "Two");
    HostAdapterRecord second = Win95Record("RST");
    ReadWin95AdapterDetails(long_first, second);
    EXPECT_STREQ(second.manufacturer, "Two");
    EXPECT_EQ(long_first.OpenKeyCount(), 0);
}

TEST(DiscoveryWin95AdapterDetails, LaterMatchOverwritesAndARunOutSearchEndsTheLookup) {
    MemoryRegistry registry;
    registry.SetText(kLm, kClass + "0000", "PortDriver", "AHA.MPD");
    registry.SetText(kLm, kClass + "0001", "PortDriver", "AHA2.MPD");
    PciInstance(registry, "VEN_1&DEV_1", "BUS_0", "SCSIAdapter\\0000", "Earlier");
    PciInstance(registry, "VEN_1&DEV_2", "BUS_0", "SCSIAdapter\\0001", "Later");
    HostAdapterRecord record = Win95Record("AHA");
    ReadWin95AdapterDetails(registry, record);
    EXPECT_STREQ(record.manufacturer, "Later");

    // The first matching class entry has no PCI instance: the search runs
    // out and the whole lookup ends before the second entry is tried.
    MemoryRegistry run_out;
    run_out.SetText(kLm, kClass + "0000", "PortDriver", "AHA.MPD");
    run_out.SetText(kLm, kClass + "0001", "PortDriver", "AHA2.MPD");
    PciInstance(run_out, "VEN_1&DEV_2", "BUS_0", "SCSIAdapter\\0001", "Later");
    HostAdapterRecord ended = Win95Record("AHA");
    ReadWin95AdapterDetails(run_out, ended);
    EXPECT_STREQ(ended.manufacturer, "");
    EXPECT_STREQ(ended.description, "");
    EXPECT_EQ(run_out.OpenKeyCount(), 0);
}

TEST(DiscoveryWin95AdapterDetails, PciDeviceKeyIsCutAtItsFirstBlank) {
    MemoryRegistry registry;
    registry.SetText(kLm, kClass + "0000", "PortDriver", "AHA.MPD");
    // "VEN_1" comes first; its first instance is another class of device.
    PciInstance(registry, "VEN_1", "I0", "SCSIAdapter\\0000", "Wrong", "Net");
    // The instance of "VEN_1 REV_02" is read through the key named up to
    // the blank, where the adapter's values are.
    registry.AddKey(kLm, kPci + "VEN_1 REV_02\\I1");
    PciInstance(registry, "VEN_1", "I1", "SCSIAdapter\\0000", "Cut");
    HostAdapterRecord record = Win95Record("AHA");
    ReadWin95AdapterDetails(registry, record);
    EXPECT_STREQ(record.manufacturer, "Cut");
    EXPECT_EQ(registry.OpenKeyCount(), 0);
}

TEST(DiscoveryWin95AdapterDetails, EmptyTextsMatchNothing) {
    // An adapter whose identity is unknown takes no entry's details ...
    MemoryRegistry registry;
    ASSERT_TRUE(sim::WriteScenarioRegistry(sim::DefaultScenario(), registry, kPlatformWin95));
    HostAdapterRecord unknown = Win95Record("");
    ReadWin95AdapterDetails(registry, unknown);
    EXPECT_STREQ(unknown.manufacturer, "");
    EXPECT_STREQ(unknown.description, "");

    // ... and a PCI instance without "Driver" claims no class entry.
    MemoryRegistry no_driver;
    no_driver.SetText(kLm, kClass + "0000", "PortDriver", "AHA.MPD");
    no_driver.SetText(kLm, kPci + "VEN_1&DEV_1\\BUS_0", "Class", "SCSIAdapter");
    no_driver.SetText(kLm, kPci + "VEN_1&DEV_1\\BUS_0", "Mfg", "Anyone");
    HostAdapterRecord record = Win95Record("AHA");
    ReadWin95AdapterDetails(no_driver, record);
    EXPECT_STREQ(record.manufacturer, "");
}

TEST(DiscoveryWin95AdapterDetails, MissingKeysLeaveTheRecordAsItWas) {
    MemoryRegistry empty;
    HostAdapterRecord record = Win95Record("AHA");
    CopyText(record.description, "from before");
    ReadWin95AdapterDetails(empty, record);
    EXPECT_STREQ(record.description, "from before");

    // Class entry without PortDriver, a matching one whose PCI device key
    // has no instance, and a non-PCI adapter: all leave the fields alone.
    MemoryRegistry odd;
    odd.AddKey(kLm, kClass + "0000");
    odd.SetText(kLm, kClass + "0001", "PortDriver", "AHA.MPD");
    odd.AddKey(kLm, kPci + "VEN_1&DEV_1");
    ReadWin95AdapterDetails(odd, record);
    EXPECT_STREQ(record.description, "from before");
    EXPECT_EQ(odd.OpenKeyCount(), 0);

    // Matched instance whose values are missing: those fields become empty.
    MemoryRegistry bare;
    bare.SetText(kLm, kClass + "0000", "PortDriver", "AHA.MPD");
    bare.SetText(kLm, kPci + "VEN_1&DEV_1\\BUS_0", "Class", "SCSIAdapter");
    bare.SetText(kLm, kPci + "VEN_1&DEV_1\\BUS_0", "Driver", "SCSIAdapter\\0000");
    bare.SetText(kLm, kPci + "VEN_1&DEV_1\\BUS_0", "HWRevision", "12", false);
    ReadWin95AdapterDetails(bare, record);
    EXPECT_STREQ(record.description, "");
    EXPECT_STREQ(record.manufacturer, "");
    EXPECT_STREQ(record.hw_revision, "12");
}

TEST(DiscoveryRegistryText, PathPartsValueAndLimits) {
    MemoryRegistry registry;
    registry.SetText(kLm, "A\\B", "V", "text");
    RegistryText text;
    EXPECT_TRUE(ReadRegistryText(registry, "A\\", "B", "V", text));
    EXPECT_STREQ(text, "text");
    EXPECT_FALSE(ReadRegistryText(registry, "A\\", "C", "V", text)) << "missing key";
    EXPECT_STREQ(text, "");
    CopyText(text, "stale");
    EXPECT_FALSE(ReadRegistryText(registry, "A\\", "B", "W", text)) << "missing value";
    EXPECT_STREQ(text, "");
    registry.SetText(kLm, "A\\B", "Full", std::string(260, 'x'), false);
    EXPECT_TRUE(ReadRegistryText(registry, "A\\", "B", "Full", text));
    EXPECT_EQ(std::string(text).size(), 259u) << "260 bytes without a NUL lose the last to the terminator";
    EXPECT_FALSE(ReadRegistryText(registry, std::string(200, 'a').c_str(), std::string(60, 'b').c_str(), "V", text))
        << "a path of 260 characters does not fit";
    EXPECT_EQ(registry.OpenKeyCount(), 0);
}

}  // namespace
}  // namespace td
