// The scenario text format: the built-in machine, every statement, the
// defaults the reader fills in, and every way a file can be wrong.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <string>

#include "bus/scenario.h"

namespace td::sim {
namespace {

Scenario Parse(const std::string& text) {
    Scenario scenario;
    std::string error;
    EXPECT_TRUE(ParseScenario(text, scenario, error)) << error;
    return scenario;
}

std::string Error(const std::string& text) {
    Scenario scenario;
    scenario.name = "untouched";
    std::string error;
    EXPECT_FALSE(ParseScenario(text, scenario, error)) << text;
    EXPECT_EQ(scenario.name, "untouched") << "a failed read leaves the scenario alone";
    return error;
}

TEST(DefaultScenario, TwoAdaptersWithDiskCdromTapeAndScanner) {
    const Scenario scenario = DefaultScenario();
    EXPECT_EQ(scenario.aspi_status, 0x01);
    EXPECT_EQ(scenario.aspi_count, 2);
    ASSERT_EQ(scenario.adapters.size(), 2u);

    const ScenarioAdapter& first = scenario.adapters[0];
    EXPECT_EQ(first.scsi_id, 7);
    EXPECT_EQ(first.port, 0);
    ASSERT_EQ(first.devices.size(), 2u);
    const ScenarioDevice& disk = first.devices[0];
    EXPECT_EQ(disk.target, 0);
    EXPECT_EQ(disk.type, 0);
    EXPECT_FALSE(disk.removable);
    ASSERT_EQ(disk.drives.size(), 1u);
    EXPECT_EQ(disk.drives[0].letter, 'C');
    EXPECT_EQ(disk.drives[0].type, kDriveTypeFixed);
    const ScenarioDevice& cdrom = first.devices[1];
    EXPECT_EQ(cdrom.target, 4);
    EXPECT_EQ(cdrom.type, 5);
    ASSERT_EQ(cdrom.drives.size(), 1u);
    EXPECT_EQ(cdrom.drives[0].letter, 'E');
    EXPECT_EQ(cdrom.drives[0].type, kDriveTypeCdrom);
    ASSERT_EQ(cdrom.rules.size(), 1u) << "no media: TEST UNIT READY fails";
    EXPECT_EQ(cdrom.rules[0].opcode, kOpTestUnitReady);
    EXPECT_EQ(cdrom.rules[0].status, 0x02);
    EXPECT_EQ(cdrom.rules[0].sense, FixedSense(0x02, 0x3A, 0x00));
    EXPECT_EQ(cdrom.rules[0].times, 0u) << "every time, the drive stays empty";

    const ScenarioAdapter& second = scenario.adapters[1];
    EXPECT_EQ(second.scsi_id, 7);
    EXPECT_EQ(second.port, 1);
    ASSERT_EQ(second.devices.size(), 2u);
    EXPECT_EQ(second.devices[0].target, 2);
    EXPECT_EQ(second.devices[0].type, 1);
    ASSERT_EQ(second.devices[0].class_devices.size(), 1u);
    EXPECT_EQ(second.devices[0].class_devices[0].kind, ClassKind::Tape);
    EXPECT_EQ(second.devices[0].class_devices[0].number, 0);
    EXPECT_EQ(second.devices[1].target, 5);
    EXPECT_EQ(second.devices[1].type, 6);
    ASSERT_EQ(second.devices[1].class_devices.size(), 1u);
    EXPECT_EQ(second.devices[1].class_devices[0].kind, ClassKind::Scanner);

    for (const ScenarioAdapter& adapter : scenario.adapters) {
        EXPECT_FALSE(adapter.identifier.empty());
        EXPECT_LE(adapter.identifier.size(), 16u);
        EXPECT_LE(adapter.description.size(), 63u) << "fits the adapter's description field";
        EXPECT_LE(adapter.port_driver.size(), 19u) << "the program reads PortDriver into 20 bytes";
        EXPECT_NE(adapter.port_driver.find(adapter.identifier), std::string::npos);
        EXPECT_FALSE(adapter.mfg.empty());
        EXPECT_FALSE(adapter.miniport.empty());
        for (const ScenarioDevice& device : adapter.devices) {
            EXPECT_TRUE(device.claimed) << "class drivers own every default device";
            EXPECT_FALSE(device.vendor.empty());
            EXPECT_FALSE(device.product.empty());
        }
    }
    EXPECT_TRUE(scenario.extra_drives.empty());
}

TEST(InquiryData, BuiltFromTheDeviceFields) {
    ScenarioDevice device;
    device.type = 5;
    device.removable = true;
    device.ansi_version = 2;
    device.sync = true;
    device.wide16 = true;
    device.vendor = "ORIELLE";
    device.product = "CDR-3220";
    device.revision = "2.1";
    const auto data = device.InquiryData();
    EXPECT_EQ(data[0], 0x05);
    EXPECT_EQ(data[1], 0x80);
    EXPECT_EQ(data[2], 0x02);
    EXPECT_EQ(data[3], 0x02) << "response data format";
    EXPECT_EQ(data[4], 91) << "additional length: 96 bytes in all";
    EXPECT_EQ(data[7], 0x30) << "Sync and WBus16, not WBus32";
    EXPECT_EQ(std::string(data.begin() + 8, data.begin() + 16), "ORIELLE ");
    EXPECT_EQ(std::string(data.begin() + 16, data.begin() + 32), "CDR-3220        ");
    EXPECT_EQ(std::string(data.begin() + 32, data.begin() + 36), "2.1 ");
    EXPECT_EQ(data[95], 0);

    device.wide32 = true;
    device.sync = false;
    device.wide16 = false;
    device.inquiry_patches.push_back({16, {'A', 0x00, 'B'}});
    const auto patched = device.InquiryData();
    EXPECT_EQ(patched[7], 0x40);
    EXPECT_EQ(patched[16], 'A');
    EXPECT_EQ(patched[17], 0x00) << "a NUL inside the product text is possible";
    EXPECT_EQ(patched[18], 'B');
}

TEST(ScenarioReader, EveryStatementAndItsValues) {
    const Scenario scenario = Parse(R"(
name "Everything"          # a comment
aspi-support E4
aspi-adapter-count 10
aspi-immediate-errors yes
extra-drive Z: remote
extra-drive R: ramdisk address-fails 1117
adapter
  identifier "ABCDEFGHIJKLMNOP"
  manager "Mgr"
  scsi-id 15
  max-target 15
  unique 01 02 0x03
  empty-ids selection-timeout
  mfg "Maker \"Quoted\" # not a comment"
  description "Desc"
  hw-revision 12345
  port-driver "abcdefghijklmnop.mpd"
  pci no
  pci-key "VEN_1&DEV_2 extra"
  pci-instance BUS_01
  pci-class scsiadapter
  miniport drv_x
  port 3
  buses 2
  initiator-id 1 6
  inquiry-data fails 31
  device 2 lun 1 bus 1
    type processor
    removable yes
    ansi 3
    sync yes
    wide16 yes
    wide32 yes
    vendor HP
    product "Scan Jet"
    revision A1
    inquiry-bytes 36 de ad
    buffer-size 4096
    claimed yes
    scanner 3 address-fails open-fails 21
    drive D: removable open-fails read-only
    drive F: address-fails 87
    on any check 06 29 times 1
    on read-buffer corrupt 4 xor 01 delay 10
    on write-buffer zero-length
    on 3C hastat 11 aspi-status 04 error 1117
    on tur hang
    on inquiry sense 70 00 05 status 02
    on inquiry status 08
  end
  device 0
    type 31
end
adapter
)");
    EXPECT_EQ(scenario.name, "Everything");
    EXPECT_EQ(scenario.aspi_status, 0xE4);
    EXPECT_EQ(scenario.aspi_count, 10);
    EXPECT_TRUE(scenario.aspi_immediate_errors);
    ASSERT_EQ(scenario.extra_drives.size(), 2u);
    EXPECT_EQ(scenario.extra_drives[0].letter, 'Z');
    EXPECT_EQ(scenario.extra_drives[0].type, kDriveTypeRemote);
    EXPECT_EQ(scenario.extra_drives[1].type, kDriveTypeRamdisk);
    EXPECT_TRUE(scenario.extra_drives[1].address_fails);
    EXPECT_EQ(scenario.extra_drives[1].address_error, 1117u);

    ASSERT_EQ(scenario.adapters.size(), 2u);
    const ScenarioAdapter& a = scenario.adapters[0];
    EXPECT_EQ(a.identifier, "ABCDEFGHIJKLMNOP");
    EXPECT_EQ(a.manager, "Mgr");
    EXPECT_EQ(a.scsi_id, 15);
    EXPECT_EQ(a.max_target, 15);
    EXPECT_EQ(a.unique[0], 1);
    EXPECT_EQ(a.unique[2], 3);
    EXPECT_EQ(a.unique[3], 0) << "bytes not given are 0";
    EXPECT_EQ(a.empty_ids, EmptyIdAnswer::SelectionTimeout);
    EXPECT_EQ(a.mfg, "Maker \"Quoted\" # not a comment");
    EXPECT_EQ(a.hw_revision, "12345") << "longer than the program keeps: it cuts";
    EXPECT_EQ(a.port_driver, "abcdefghijklmnop.mpd") << "longer than the program accepts: allowed";
    EXPECT_FALSE(a.pci);
    EXPECT_EQ(a.pci_key, "VEN_1&DEV_2 extra");
    EXPECT_EQ(a.pci_instance, "BUS_01");
    EXPECT_EQ(a.pci_class, "scsiadapter");
    EXPECT_EQ(a.miniport, "drv_x");
    EXPECT_EQ(a.port, 3);
    EXPECT_EQ(a.buses, 2);
    EXPECT_EQ(a.initiator_ids, (std::vector<int>{15, 6}));
    EXPECT_TRUE(a.inquiry_data_fails);
    EXPECT_EQ(a.inquiry_data_error, 31u);

    ASSERT_EQ(a.devices.size(), 2u);
    const ScenarioDevice& d = a.devices[0];
    EXPECT_EQ(d.target, 2);
    EXPECT_EQ(d.lun, 1);
    EXPECT_EQ(d.bus, 1);
    EXPECT_EQ(d.type, 3);
    EXPECT_TRUE(d.removable && d.sync && d.wide16 && d.wide32);
    EXPECT_EQ(d.ansi_version, 3);
    EXPECT_EQ(d.vendor, "HP");
    EXPECT_EQ(d.product, "Scan Jet");
    EXPECT_EQ(d.revision, "A1");
    EXPECT_EQ(d.InquiryData()[36], 0xDE);
    EXPECT_EQ(d.InquiryData()[37], 0xAD);
    EXPECT_EQ(d.buffer_size, 4096u);
    EXPECT_TRUE(d.claimed);
    ASSERT_EQ(d.class_devices.size(), 1u);
    EXPECT_EQ(d.class_devices[0].number, 3);
    EXPECT_TRUE(d.class_devices[0].address_fails);
    EXPECT_TRUE(d.class_devices[0].open_fails);
    EXPECT_EQ(d.class_devices[0].open_error, 21u);
    ASSERT_EQ(d.drives.size(), 2u);
    EXPECT_EQ(d.drives[0].type, kDriveTypeRemovable);
    EXPECT_TRUE(d.drives[0].open_fails && d.drives[0].read_only);
    EXPECT_EQ(d.drives[0].open_error, 5u) << "access denied unless a code is given";
    EXPECT_EQ(d.drives[1].type, kDriveTypeRemovable) << "type from the device's RMB bit";
    EXPECT_EQ(d.drives[1].address_error, 87u);

    ASSERT_EQ(d.rules.size(), 7u);
    EXPECT_EQ(d.rules[0].opcode, -1);
    EXPECT_EQ(d.rules[0].sense, FixedSense(0x06, 0x29, 0x00));
    EXPECT_EQ(d.rules[0].times, 1u);
    EXPECT_EQ(d.rules[1].opcode, kOpReadBuffer);
    EXPECT_TRUE(d.rules[1].corrupt);
    EXPECT_EQ(d.rules[1].corrupt_offset, 4u);
    EXPECT_EQ(d.rules[1].corrupt_xor, 0x01);
    EXPECT_EQ(d.rules[1].delay_ms, 10u);
    EXPECT_TRUE(d.rules[2].zero_length);
    EXPECT_TRUE(d.rules[3].has_ha_stat);
    EXPECT_EQ(d.rules[3].ha_stat, 0x11);
    EXPECT_EQ(d.rules[3].aspi_status, 0x04);
    EXPECT_EQ(d.rules[3].system_error, 1117u);
    EXPECT_TRUE(d.rules[4].hang);
    EXPECT_EQ(d.rules[5].sense, (std::vector<std::uint8_t>{0x70, 0x00, 0x05}));
    EXPECT_EQ(d.rules[6].status, 0x08);
    EXPECT_EQ(d.rules[6].line, 50);

    EXPECT_EQ(a.devices[1].type, 31);
    EXPECT_FALSE(a.devices[1].claimed) << "no class driver for an unknown type";

    // The second adapter takes every default.
    const ScenarioAdapter& b = scenario.adapters[1];
    EXPECT_EQ(b.identifier, "SIM1");
    EXPECT_EQ(b.port, 1);
    EXPECT_EQ(b.port_driver, "SIM1.mpd");
    EXPECT_EQ(b.miniport, "sim1");
    EXPECT_TRUE(b.pci);
    EXPECT_EQ(b.pci_class, "SCSIAdapter");
    EXPECT_FALSE(b.pci_key.empty());
    EXPECT_NE(b.pci_instance, a.pci_instance);
    EXPECT_EQ(b.unique[3], 8) << "HA_Unique byte 3: number of targets";
    EXPECT_EQ(b.initiator_ids, (std::vector<int>{7}));
    EXPECT_EQ(b.empty_ids, EmptyIdAnswer::NoDevice);
}

TEST(ScenarioReader, DefaultsThatFollowOtherValues) {
    const Scenario scenario = Parse(R"(
adapter
  identifier "Long Identifier1"
  scsi-id 6
  buses 2
  device 0
    drive G:
    type cdrom
  device 1
    type processor
  device 2
    type processor
    scanner 0
)");
    const ScenarioAdapter& a = scenario.adapters[0];
    EXPECT_EQ(scenario.aspi_count, 1) << "the adapters described, with SS_COMP";
    EXPECT_EQ(a.port_driver, "Long Identifier1.mp") << "cut to 19 characters, still holding the identifier";
    EXPECT_EQ(a.miniport, "longidentifier1");
    EXPECT_EQ(a.initiator_ids, (std::vector<int>{6, 6}));
    EXPECT_EQ(a.devices[0].drives[0].type, kDriveTypeCdrom) << "the type given after the drive counts";
    EXPECT_FALSE(a.devices[1].claimed) << "a processor has no class driver";
    EXPECT_TRUE(a.devices[2].claimed) << "unless a class device owns it";

    EXPECT_EQ(Parse("aspi-support E4\nadapter\n").aspi_count, 0)
        << "a failed initialisation reports no adapters unless told";
}

struct BadInput {
    const char* text;
    int line;
    const char* says;
};

TEST(ScenarioReader, EveryMistakeNamesItsLine) {
    const BadInput cases[] = {
        {"frobnicate 1", 1, "unknown keyword 'frobnicate'"},
        {"\n\nvendor ACME", 3, "belongs inside a device"},
        {"scsi-id 7", 1, "belongs inside an adapter"},
        {"adapter\n  device 1\n  vendor NINECHARS", 3, "at most 8 characters"},
        {"adapter\n  device 1\n  product 12345678901234567", 3, "at most 16"},
        {"adapter\n  device 1\n  revision 12345", 3, "at most 4"},
        {"adapter\n  identifier 12345678901234567", 2, "at most 16"},
        {"adapter\n  scsi-id 16", 2, "from 0 to 15"},
        {"adapter\n  scsi-id seven", 2, "not 'seven'"},
        {"adapter\n  scsi-id", 2, "expects"},
        {"adapter\n  scsi-id 1 2", 2, "expects"},
        {"aspi-support 100", 1, "hexadecimal"},
        {"aspi-adapter-count 256", 1, "from 0 to 255"},
        {"name \"open", 1, "not closed"},
        {"name \"a\"b", 1, "blank must follow"},
        {"name a\x01", 1, "control character"},
        {"\"adapter\"", 1, "keyword"},
        {"end", 1, "without an open"},
        {"adapter\nend\nend", 3, "without an open"},
        {"adapter\n  device 1 lun", 2, "only lun <n> and bus <n>"},
        {"adapter\n  device 1 lun 8", 2, "from 0 to 7"},
        {"adapter\n  device 16", 2, "from 0 to 15"},
        {"adapter\n  device", 2, "target ID"},
        {"adapter\n  device 1\n  type 32", 3, "unknown device type"},
        {"adapter\n  device 1\n  type floppy", 3, "unknown device type"},
        {"adapter\n  device 1\n  sync maybe", 3, "yes or no"},
        {"adapter\n  device 1\n  inquiry-bytes 95 01 02", 3, "run past"},
        {"adapter\n  device 1\n  inquiry-bytes 96 01", 3, "from 0 to 95"},
        {"adapter\n  device 1\n  drive C", 3, "letter and a colon"},
        {"adapter\n  device 1\n  drive 1:", 3, "letter and a colon"},
        {"adapter\n  device 1\n  drive C: floppy", 3, "unknown drive option"},
        {"adapter\n  device 1\n  tape x", 3, "class device number"},
        {"adapter\n  device 1\n  tape 0 broken", 3, "unknown class device option"},
        {"adapter\n  device 1\n  on", 3, "expects a command"},
        {"adapter\n  device 1\n  on format good", 3, "unknown command"},
        {"adapter\n  device 1\n  on tur explode", 3, "unknown rule word"},
        {"adapter\n  device 1\n  on tur check 02", 3, "needs 2 values"},
        {"adapter\n  device 1\n  on tur check 10 3A", 3, "sense key"},
        {"adapter\n  device 1\n  on tur status 02", 3, "needs its sense data"},
        {"adapter\n  device 1\n  on tur sense 70 status 08", 3, "CHECK CONDITION"},
        {"adapter\n  device 1\n  on tur sense", 3, "1 to 18"},
        {"adapter\n  device 1\n  on tur sense 70 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00", 3, "1 to 18"},
        {"adapter\n  device 1\n  on tur times 0", 3, "counts from 1"},
        {"adapter\n  device 1\n  on tur error 0", 3, "not 0"},
        {"adapter\n  device 1\n  on tur corrupt 4 xor 00", 3, "changes nothing"},
        {"adapter\n  device 1\n  on tur delay", 3, "needs 1 value"},
        {"adapter\n  device 1\n  on tur at-once delay 5", 3, "'at-once' and 'refuse' answer as the request is sent"},
        {"adapter\n  buses 0", 2, "at least one bus"},
        {"adapter\n  buses 9", 2, "not '9'"},
        {"adapter\n  inquiry-data sometimes", 2, "ok, fails or reports"},
        {"adapter\n  inquiry-data reports", 2, "the byte count it reports"},
        {"adapter\n  port-is-unit yes\n  device 1\n  device 2", 1, "exactly one device on the adapter, not 2"},
        {"adapter\n  inquiry-data reports 65536", 2, "not '65536'"},
        {"adapter\n  empty-ids silence", 2, "no-device or selection-timeout"},
        {"adapter\n  pci-key \"A\\B\"", 2, "without '\\'"},
        {"extra-drive Z:", 1, "needs its type"},
        {"adapter\n  initiator-id 1 5", 2, "bus 1 does not exist"},
        {"adapter\n  device 1 bus 1", 2, "bus 1 does not exist"},
        {"adapter\n  device 7", 2, "adapter's own"},
        {"adapter\n  device 3\n  device 3", 3, "given twice"},
        {"adapter\n  device 3\n    drive C:\n  device 4\n    drive c:", 5, "C: is given twice"},
        {"adapter\n  device 3\n    drive C:\nextra-drive C: remote", 4, "given twice"},
        {"adapter\n  device 3\n    tape 1\n  device 4\n    tape 1", 5, "Tape1 is given twice"},
        {"adapter\n  port 1\nadapter\n  port 1", 3, "port 1 is given to two adapters"},
    };
    for (const BadInput& bad : cases) {
        const std::string error = Error(bad.text);
        const std::string prefix = "line " + std::to_string(bad.line) + ": ";
        EXPECT_EQ(error.rfind(prefix, 0), 0u) << bad.text << "\n -> " << error;
        EXPECT_NE(error.find(bad.says), std::string::npos) << bad.text << "\n -> " << error;
    }
    // An adapter statement after a device closes the device.
    EXPECT_NE(Error("adapter\n  device 1\n  scsi-id 6\n  vendor X").find("line 4: 'vendor' belongs inside a device"),
              std::string::npos);
    EXPECT_NE(Error(std::string("name \"a\0b\"", 10)).find("control character"), std::string::npos);
}

TEST(ScenarioReader, SurvivesAnyCutOrDamageOfAGoodFile) {
    const std::string text = DefaultScenarioText();
    // Every prefix either reads or fails with a line number.
    for (std::size_t length = 0; length <= text.size(); ++length) {
        Scenario scenario;
        std::string error;
        if (!ParseScenario(text.substr(0, length), scenario, error)) {
            EXPECT_EQ(error.rfind("line ", 0), 0u) << error;
        }
    }
    // Random damage: a byte replaced by anything.
    std::mt19937 random(12345);
    for (int round = 0; round < 2000; ++round) {
        std::string damaged = text;
        const int changes = 1 + static_cast<int>(random() % 4);
        for (int i = 0; i < changes; ++i) {
            damaged[random() % damaged.size()] = static_cast<char>(random() % 256);
        }
        Scenario scenario;
        std::string error;
        if (!ParseScenario(damaged, scenario, error)) {
            EXPECT_FALSE(error.empty());
        }
    }
    EXPECT_NE(Error(std::string(2 << 20, '#')).find("larger than"), std::string::npos);
}

TEST(ScenarioFiles, ReadFromDiskAndFromTheEnvironment) {
    const std::string path = ::testing::TempDir() + "sim_scenario_test.txt";
    {
        std::ofstream out(path, std::ios::binary);
        out << "name \"From disk\"\r\nadapter\r\n  identifier DISKHA\r\n";
    }
    Scenario scenario;
    std::string error;
    ASSERT_TRUE(LoadScenarioFile(path, scenario, error)) << error;
    EXPECT_EQ(scenario.name, "From disk") << "CR LF line ends are fine";
    EXPECT_EQ(scenario.adapters.at(0).identifier, "DISKHA");

    EXPECT_FALSE(LoadScenarioFile(path + ".missing", scenario, error));
    EXPECT_NE(error.find("cannot read"), std::string::npos);
    EXPECT_NE(error.find(".missing"), std::string::npos);

    {
        std::ofstream out(path, std::ios::binary);
        out << "adapter\n  scsi-id 99\n";
    }
    EXPECT_FALSE(LoadScenarioFile(path, scenario, error));
    EXPECT_EQ(error, path + ": line 2: the SCSI ID must be a number from 0 to 15, not '99'");

    const char* variable = "TD_SCENARIO_SIM_TEST";
    ::unsetenv(variable);
    ASSERT_TRUE(LoadScenarioFromEnvironment(scenario, error, variable));
    EXPECT_EQ(scenario.name, DefaultScenario().name) << "no variable: the built-in machine";
    ::setenv(variable, path.c_str(), 1);
    EXPECT_FALSE(LoadScenarioFromEnvironment(scenario, error, variable));
    EXPECT_NE(error.find("line 2"), std::string::npos);
    ::setenv(variable, "", 1);
    EXPECT_TRUE(LoadScenarioFromEnvironment(scenario, error, variable));
    ::unsetenv(variable);
    std::remove(path.c_str());
}

TEST(ScenarioFiles, TheDocumentedExamplesRead) {
    std::ifstream in(std::string(TD_SOURCE_DIR) + "/sim/README.md");
    ASSERT_TRUE(in) << "sim/README.md";
    std::string line, block;
    bool inside = false;
    int examples = 0;
    while (std::getline(in, line)) {
        if (!inside && line == "```scenario") {
            inside = true;
            block.clear();
        } else if (inside && line == "```") {
            inside = false;
            ++examples;
            Scenario scenario;
            std::string error;
            EXPECT_TRUE(ParseScenario(block, scenario, error)) << error << "\n" << block;
        } else if (inside) {
            block += line + "\n";
        }
    }
    EXPECT_GE(examples, 4);
}

}  // namespace
}  // namespace td::sim
