// Discovery through the NT port driver against the virtual bus's port
// simulator: drive letters and class devices, the device-path table, the
// placement of an adapter's slots, several ports and buses, re-scans.
#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "bus/scenario.h"
#include "bus/scenario_registry.h"
#include "common/fixed_text.h"
#include "common/win_codes.h"
#include "discovery/nt_discovery.h"
#include "nt/nt_port_simulator.h"
#include "support/fake_clock.h"
#include "support/memory_registry.h"
#include "support/recording_views.h"
#include "support/scripted_messages.h"

namespace td {
namespace {

using sim::NtCall;

// Port 0, own ID 7, a disk at ID 0 (C:) and a CD-ROM at ID 4 (E:).
const char kWorkedExample[] = R"(
adapter
  identifier  BL2940U
  miniport    bl2940u
  mfg         Harrowgate
  description "Harrowgate BL-2940U"
  port 0
  device 0
    type disk
    vendor KESTRAL
    product KD-2100S
    revision 1.04
    drive C: fixed
  end
  device 4
    type cdrom
    removable yes
    vendor ORIELLE
    product CDR-3220
    revision 2.10
    drive E: cdrom
  end
end
)";

// An adapter on the given port with the given device lines.
std::string Adapter(int port, const std::string& devices, const std::string& extra = "") {
    return "adapter\n identifier HA" + std::to_string(port) + "\n description \"Port " + std::to_string(port) +
           "\"\n port " + std::to_string(port) + "\n" + extra + devices + "end\n";
}

class DiscoveryNtScan : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(LoadSharedTexts(messages, texts)); }

    void Use(const std::string& scenario_text, bool wide = false) {
        sim::Scenario scenario;
        std::string error;
        ASSERT_TRUE(sim::ParseScenario(scenario_text, scenario, error)) << error;
        sim::WriteScenarioRegistry(scenario, registry, kPlatformNt);
        inventory.platform = kPlatformNt;
        inventory.max_target_id = wide ? kMaxTargetIdWide : kMaxTargetIdNarrow;
        io = std::make_unique<sim::NtPortSimulator>(std::move(scenario), &clock);
        discovery.reset(new NtDiscovery{inventory, texts, registry, views, *io, *area});
    }

    std::vector<NtCall> Opens(const std::string& name) const {
        std::vector<NtCall> found;
        for (const NtCall& call : io->Calls()) {
            if (call.op == NtCall::Op::Open && call.name == name) found.push_back(call);
        }
        return found;
    }

    const DeviceSlot& Slot(int index) const { return inventory.slots[index]; }

    test::ScriptedMessages messages;
    SharedTexts texts{};
    test::MemoryRegistry registry;
    test::RecordingViews views{&texts};
    test::FakeClock clock;
    Inventory inventory{};
    std::unique_ptr<NtScanArea> area = std::make_unique<NtScanArea>();
    std::unique_ptr<sim::NtPortSimulator> io;
    std::unique_ptr<NtDiscovery> discovery;
};

TEST_F(DiscoveryNtScan, WorkedExampleFillsSlotsZeroToSeven) {
    Use(kWorkedExample);
    EXPECT_FALSE(ScanScsiPorts(*discovery)) << "the loop stops at the missing SCSI1:";
    ASSERT_EQ(inventory.adapter_count, 1);
    EXPECT_EQ(inventory.slot_count, 8);

    const HostAdapterRecord& adapter = inventory.adapters[0];
    EXPECT_EQ(adapter.adapter_number, 0);
    EXPECT_STREQ(adapter.manager_name, "Scsi Port 0");
    EXPECT_STREQ(adapter.identifier, "bl2940u") << "the miniport driver's name";
    EXPECT_STREQ(adapter.manufacturer, "Harrowgate");
    EXPECT_STREQ(adapter.description, "Harrowgate BL-2940U");
    EXPECT_STREQ(adapter.hw_revision, "N/A");
    EXPECT_EQ(adapter.own_scsi_id, 7);
    EXPECT_EQ(adapter.bus_count, 1);
    EXPECT_EQ(adapter.device_count, 2);

    EXPECT_STREQ(Slot(0).type_name, "Hard Disk");
    EXPECT_STREQ(Slot(0).device_path, "C:");
    EXPECT_EQ(Slot(0).access_mode, win::kGenericReadWrite);
    EXPECT_EQ(Slot(0).share_mode, win::kFileShareReadWrite);
    EXPECT_STREQ(Slot(0).vendor, "KESTRAL");
    EXPECT_STREQ(Slot(0).product, "KD-2100S        ") << "the 16-byte field, trailing blanks kept";
    EXPECT_STREQ(Slot(0).revision, "1.04");
    EXPECT_STREQ(Slot(0).adapter_identifier, "bl2940u");

    EXPECT_STREQ(Slot(4).type_name, "CD-ROM");
    EXPECT_STREQ(Slot(4).device_path, "E:");
    EXPECT_EQ(Slot(4).access_mode, win::kGenericRead);
    EXPECT_EQ(Slot(4).share_mode, win::kFileShareRead);
    EXPECT_EQ(Slot(4).removable, 1);

    EXPECT_STREQ(Slot(7).type_name, "Host Adapter");
    EXPECT_STREQ(Slot(7).product, "bl2940u");
    EXPECT_STREQ(Slot(7).vendor, "Harrowg");
    EXPECT_STREQ(Slot(7).revision, "N/A");

    for (int t : {1, 2, 3, 5, 6}) {
        EXPECT_STREQ(Slot(t).type_name, "No Device") << t;
        EXPECT_STREQ(Slot(t).product, "No Device");
        EXPECT_STREQ(Slot(t).vendor, " ");
        EXPECT_STREQ(Slot(t).revision, " ");
        EXPECT_STREQ(Slot(t).device_path, "SCSI0:");
        EXPECT_EQ(Slot(t).access_mode, win::kGenericReadWrite);
        EXPECT_EQ(Slot(t).share_mode, win::kFileShareReadWrite);
    }
    for (int t = 0; t < 8; ++t) {
        EXPECT_EQ(Slot(t).target_id, t);
        EXPECT_EQ(Slot(t).adapter_number, 0);
        EXPECT_EQ(Slot(t).lun, 0);
        EXPECT_EQ(Slot(t).bus_number, 0);
    }
    EXPECT_EQ(views.pictures_found, 8);

    // How the devices were opened, and that each was closed again.
    ASSERT_EQ(Opens("\\\\.\\SCSI0:").size(), 1u);
    EXPECT_EQ(Opens("\\\\.\\SCSI0:")[0].access, win::kGenericReadWrite);
    EXPECT_EQ(Opens("\\\\.\\SCSI0:")[0].share, win::kFileShareReadWrite);
    ASSERT_EQ(Opens("\\\\.\\E:").size(), 1u);
    EXPECT_EQ(Opens("\\\\.\\E:")[0].access, win::kGenericRead) << "a CD-ROM drive is opened read-only";
    EXPECT_EQ(Opens("\\\\.\\E:")[0].share, win::kFileShareRead);
    EXPECT_EQ(Opens("\\\\.\\C:")[0].access, win::kGenericReadWrite);
    EXPECT_EQ(io->OpenHandles(), 0);
    EXPECT_EQ(registry.OpenKeyCount(), 0);
}

TEST_F(DiscoveryNtScan, TwoPortsGiveTwoAdaptersInReverseTreeOrder) {
    Use(std::string(sim::DefaultScenarioText()));
    DiscoverNtInventory(*discovery);
    EXPECT_EQ(inventory.adapter_count, 2);
    EXPECT_EQ(inventory.slot_count, 16);
    EXPECT_EQ(inventory.scan_complete, 1);
    EXPECT_EQ(views.first_adapter_shown, 1);
    ASSERT_EQ(views.tree.size(), 2u);
    EXPECT_EQ(views.tree[0].index, 1) << "ascending insertion puts the last adapter on top";
    EXPECT_EQ(views.tree[0].text, "Harrowgate Brightlane BL-1540 SCSI Host Adapter");
    EXPECT_EQ(views.tree[1].index, 0);
    EXPECT_EQ(inventory.adapters[0].tree_item, views.tree[1].handle);
    EXPECT_EQ(views.calls.back(), "ShowFirstAdapter");
    EXPECT_STREQ(Slot(8 + 2).device_path, "Tape0");
    EXPECT_STREQ(Slot(8 + 5).device_path, "Scanner0");
    EXPECT_STREQ(Slot(8 + 3).device_path, "SCSI1:");
    EXPECT_STREQ(Slot(8 + 4).device_path, "SCSI1:") << "a claimed CD-ROM without a drive goes through its port";
    EXPECT_EQ(Slot(8 + 4).access_mode, win::kGenericReadWrite);

    // The scan itself answers false: the third port does not open.
    Inventory again{};
    again.max_target_id = kMaxTargetIdNarrow;
    NtDiscovery second{again, texts, registry, views, *io, *area};
    EXPECT_FALSE(ScanScsiPorts(second));
    EXPECT_EQ(Opens("\\\\.\\SCSI2:").size(), 2u) << "one try per scan";
}

TEST_F(DiscoveryNtScan, PortWhoseInquiryDataCannotBeReadStaysCountedWithoutSlots) {
    Use(Adapter(0, "") + Adapter(1, " device 2\n  type disk\n end\n", " inquiry-data fails\n"));
    EXPECT_FALSE(ScanScsiPorts(*discovery));
    EXPECT_EQ(inventory.adapter_count, 2);
    EXPECT_EQ(inventory.slot_count, 8);
    EXPECT_STREQ(inventory.adapters[1].manager_name, "Scsi Port 1");
    EXPECT_STREQ(inventory.adapters[1].identifier, "ha1") << "its registry details were read";
    EXPECT_STREQ(inventory.adapters[1].description, "Port 1");
    EXPECT_STREQ(Slot(10).type_name, "") << "nothing placed for the unreadable port";
    EXPECT_EQ(io->OpenHandles(), 0);
}

// Wine's pass-through over Linux (tests/e2e/scenarios/nt_wine_over_linux.txt):
// one unit per port, the initiator at channel + 2, 36 bytes reported for
// the 60 written, and no drive whose address matches: each unit is shown,
// and reached through its port.
TEST_F(DiscoveryNtScan, WinesPortsOverLinuxShowTheirUnitAndReachItThroughThePort) {
    std::ifstream in(std::string(TD_SOURCE_DIR) + "/tests/e2e/scenarios/nt_wine_over_linux.txt");
    std::ostringstream text;
    text << in.rdbuf();
    Use(text.str());
    EXPECT_FALSE(ScanScsiPorts(*discovery));
    ASSERT_EQ(inventory.adapter_count, 2);
    for (const NtCall& call : io->Calls()) {
        if (call.op == NtCall::Op::Control && call.code == nt::kIoctlScsiGetInquiryData) EXPECT_EQ(call.returned, 36u);
    }
    EXPECT_STREQ(Slot(3).type_name, "CD-ROM");
    EXPECT_STREQ(Slot(3).vendor, "QEMU   ");
    EXPECT_STREQ(Slot(3).device_path, "SCSI0:") << "a claimed unit without a drive goes through its port";
    EXPECT_EQ(Slot(3).access_mode, win::kGenericReadWrite);
    EXPECT_STREQ(Slot(2).type_name, "Host Adapter");
    EXPECT_STREQ(Slot(8).type_name, "Hard Disk");
    EXPECT_STREQ(Slot(8).product, "scsi_debug      ");
    EXPECT_STREQ(Slot(8).device_path, "SCSI1:");
    EXPECT_EQ(inventory.adapters[1].device_count, 1);
}

TEST_F(DiscoveryNtScan, DevicePathsByClaimAndType) {
    Use(Adapter(0, R"(
 device 0
  type disk
  drive C:
  drive D:
 end
 device 1
  type processor
  vendor "HP"
  scanner 0
 end
 device 2
  type processor
  vendor ACME
  scanner 1
 end
 device 3
  type tape
  tape 1
 end
 device 4
  type printer
  claimed yes
 end
 device 5
  type disk
  lun 1
 end
 device 6
  type worm
  claimed no
 end
)") + Adapter(1, " device 3\n  type processor\n  claimed no\n end\n device 4\n  type cdrom\n end\n"));
    ScanScsiPorts(*discovery);
    EXPECT_STREQ(Slot(0).device_path, "C:") << "two volumes: the first";
    EXPECT_STREQ(Slot(1).device_path, "Scanner0") << "an HP processor device is a scanner";
    EXPECT_EQ(Slot(1).access_mode, win::kGenericReadWrite);
    EXPECT_STREQ(Slot(1).type_name, "Scanner");
    EXPECT_STREQ(Slot(2).device_path, "") << "another maker's processor device gets no class device";
    EXPECT_EQ(Slot(2).access_mode, 0u);
    EXPECT_STREQ(Slot(3).device_path, "Tape1") << "Tape0 missing does not end the search";
    EXPECT_STREQ(Slot(4).device_path, "");
    EXPECT_STREQ(Slot(4).type_name, "Printer");
    EXPECT_STREQ(Slot(5).type_name, "No Device") << "a unit with LUN 1 is not shown";
    EXPECT_STREQ(Slot(5).device_path, "SCSI0:");
    EXPECT_STREQ(Slot(6).device_path, "SCSI0:") << "an unclaimed unit goes through its port";
    EXPECT_STREQ(Slot(8 + 3).device_path, "SCSI1:");
    EXPECT_STREQ(Slot(8 + 4).device_path, "SCSI1:") << "a claimed CD-ROM without a drive goes through its port";
    EXPECT_EQ(Slot(8 + 4).access_mode, win::kGenericReadWrite);
    EXPECT_EQ(inventory.adapters[0].device_count, 6);
    EXPECT_EQ(Opens("\\\\.\\Tape0").size(), 1u);
    EXPECT_EQ(Opens("\\\\.\\Tape1").size(), 1u);
    // The drive table is built once per port.
    int builds = 0;
    for (const NtCall& call : io->Calls()) builds += call.op == NtCall::Op::LogicalDrives ? 1 : 0;
    EXPECT_EQ(builds, 2);
}

TEST_F(DiscoveryNtScan, LaterBusesNeverTakeTheFirstBusesPlaces) {
    Use(Adapter(0, R"(
 device 3
  type disk
  product BUS0DISK
 end
 device 3 bus 1
  type disk
  product BUS1DISK
 end
 device 5 bus 1
  type tape
 end
)",
                " buses 2\n initiator-id 1 6\n"));
    ScanScsiPorts(*discovery);
    EXPECT_EQ(inventory.adapters[0].bus_count, 2);
    EXPECT_EQ(inventory.adapters[0].own_scsi_id, 7) << "the first bus's initiator";
    EXPECT_STREQ(Slot(3).product, "BUS0DISK        ");
    EXPECT_EQ(Slot(3).bus_number, 0);
    EXPECT_STREQ(Slot(5).type_name, "No Device") << "units of later buses are not placed";
    EXPECT_STREQ(Slot(6).type_name, "No Device");
    EXPECT_STREQ(Slot(7).type_name, "Host Adapter");
    EXPECT_EQ(inventory.adapters[0].device_count, 1);
    ASSERT_EQ(area->entry_count, 3) << "every bus's units are read, each in its own entry";
    EXPECT_EQ(area->inquiry_entries[1].bus_number, 1);
    EXPECT_EQ(area->inquiry_entries[2].target_id, 5);
}

TEST_F(DiscoveryNtScan, MorePortsThanTheWideTablesHold) {
    std::string text;
    for (int port = 0; port < 7; ++port) text += Adapter(port, " device 2\n  type disk\n end\n");
    Use(text, true);
    DiscoverNtInventory(*discovery);
    EXPECT_EQ(inventory.adapter_count, 7);
    EXPECT_EQ(inventory.slot_count, 64);
    EXPECT_EQ(views.tree.size(), 7u);
    EXPECT_EQ(Slot(63).adapter_number, 3);
    EXPECT_EQ(Slot(63).target_id, 15);
    for (int a = 0; a < 4; ++a) EXPECT_EQ(inventory.adapters[a].device_count, 1);
    for (int a = 4; a < 7; ++a) {
        EXPECT_EQ(inventory.adapters[a].device_count, 0) << a;
        EXPECT_STREQ(inventory.adapters[a].description, ("Port " + std::to_string(a)).c_str());
    }
    EXPECT_EQ(views.pictures_found, 64);

    // Narrow, all seven fit.
    Inventory narrow{};
    narrow.max_target_id = kMaxTargetIdNarrow;
    NtDiscovery second{narrow, texts, registry, views, *io, *area};
    EXPECT_TRUE(ScanScsiPorts(second)) << "all seven port numbers opened and read";
    EXPECT_EQ(narrow.slot_count, 56);
}

TEST_F(DiscoveryNtScan, RescanAfterADeviceWasRemovedShowsItsIdAsNoDevice) {
    Use(kWorkedExample);
    DiscoverNtInventory(*discovery);
    ASSERT_STREQ(Slot(4).type_name, "CD-ROM");

    // The CD-ROM is gone.
    sim::Scenario removed;
    std::string error;
    std::string text = kWorkedExample;
    text.erase(text.find(" device 4"), text.rfind("end\nend") + 4 - text.find(" device 4"));
    ASSERT_TRUE(sim::ParseScenario(text, removed, error)) << error;
    sim::NtPortSimulator now(std::move(removed), &clock);
    NtDiscovery rescan{inventory, texts, registry, views, now, *area};
    ResetForRescan(inventory);
    views.Reset();
    DiscoverNtInventory(rescan);
    EXPECT_STREQ(Slot(4).type_name, "No Device");
    EXPECT_STREQ(Slot(4).device_path, "SCSI0:");
    EXPECT_EQ(inventory.adapters[0].device_count, 1);
    EXPECT_EQ(inventory.slot_count, 8);
    EXPECT_EQ(inventory.adapter_count, 1);
    EXPECT_EQ(views.tree.size(), 1u);
}

TEST_F(DiscoveryNtScan, DriveTableTakesScsiVolumesFromCToZ) {
    Use(Adapter(0, R"(
 device 0
  type disk
  drive C:
  drive Z:
 end
 device 1
  type cdrom
  drive E: address-fails
 end
 device 2
  type disk
  drive H: open-fails
  drive J:
 end
)") + "extra-drive F: remote\nextra-drive G: ramdisk\n");
    DriveTable table{};
    BuildDriveTable(*io, table);
    ASSERT_EQ(table.count, 3) << "C:, J: and Z:";
    EXPECT_STREQ(table.entries[0].name, "C:");
    EXPECT_STREQ(table.entries[1].name, "J:") << "failed drives take no entry";
    EXPECT_STREQ(table.entries[2].name, "Z:") << "the last letters are examined too";
    EXPECT_EQ(table.entries[2].target_id, 0);
    EXPECT_STREQ(LookupDrive(table, 0, 0, 0), "C:");
    EXPECT_STREQ(LookupDrive(table, 0, 0, 2), "J:");
    EXPECT_EQ(LookupDrive(table, 0, 0, 1), nullptr);
    EXPECT_EQ(LookupDrive(table, 1, 0, 0), nullptr);
    EXPECT_TRUE(Opens("\\\\.\\F:").empty()) << "a network drive is not opened";
    EXPECT_TRUE(Opens("\\\\.\\G:").empty()) << "nor a RAM disk";
    EXPECT_EQ(io->OpenHandles(), 0);
}

// A machine whose drive list cannot be had.
class NoDrives final : public DeviceIo {
public:
    DeviceHandle Open(const char*, std::uint32_t, std::uint32_t) override { return 0; }
    bool Control(DeviceHandle, std::uint32_t, void*, std::uint32_t, void*, std::uint32_t, std::uint32_t*) override {
        return false;
    }
    void Close(DeviceHandle) override {}
    std::uint32_t LogicalDrives() override { return 0; }
    std::uint32_t DriveType(const char*) override { return win::kDriveFixed; }
    std::uint32_t LastError() override { return 0; }
    std::uint32_t SystemMessage(std::uint32_t, char*, std::uint32_t) override { return 0; }
};

TEST(DiscoveryDriveTable, NoDrivesReportedKeepsThePreviousBuild) {
    DriveTable table{};
    CopyText(table.entries[0].name, "C:");
    table.count = 1;
    NoDrives io;
    BuildDriveTable(io, table);
    EXPECT_EQ(table.count, 1);
    EXPECT_STREQ(LookupDrive(table, 0, 0, 0), "C:");
    ClassDeviceName name;
    EXPECT_FALSE(FindClassDevice(io, ClassDeviceKind::Scanner, 0, 0, 0, name));
}

}  // namespace
}  // namespace td
