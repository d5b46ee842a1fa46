// Discovery through ASPI against the virtual bus's ASPI service: the
// adapters, the INQUIRY chain with its hand-over from the service's thread
// to a window thread (the test's), the table bounds, left-out adapters,
// re-scans and the start-up and re-scan statuses.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "aspi/aspi_service.h"
#include "bus/scenario.h"
#include "bus/scenario_registry.h"
#include "common/fixed_text.h"
#include "common/win_codes.h"
#include "discovery/aspi_discovery.h"
#include "support/fake_aspi_library.h"
#include "support/fake_clock.h"
#include "support/memory_registry.h"
#include "support/recording_views.h"
#include "support/scripted_messages.h"
#include "support/window_thread_hand_over.h"

namespace td {
namespace {

using sim::AspiCall;

// One adapter, own ID 7, a disk at ID 0 and a CD-ROM at ID 3.
const char kOneAdapter[] = R"(
adapter
  identifier  BL2940U
  scsi-id     7
  mfg         Harrowgate
  description "Harrowgate BL-2940U"
  hw-revision 0003
  device 0
    type disk
    vendor KESTRAL
    product KD-2100S
    revision 1.04
    sync yes
  end
  device 3
    type cdrom
    removable yes
    vendor ORIELLE
    product CDR-3220
    revision 2.10
  end
end
)";

// `count` adapters named HA0, HA1 ... each with a disk at ID 1.
std::string Adapters(int count, const std::string& extra = "") {
    std::string text = extra;
    for (int a = 0; a < count; ++a) {
        const std::string name = "HA" + std::to_string(a);
        text += "adapter\n identifier " + name + "\n description \"Adapter " + name +
                "\"\n device 1\n  type disk\n  product DISK" + std::to_string(a) + "\n end\nend\n";
    }
    return text;
}

class DiscoveryAspiScan : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(LoadSharedTexts(messages, texts)); }

    void Use(const std::string& scenario_text, bool wide = false) {
        sim::Scenario scenario;
        std::string error;
        ASSERT_TRUE(sim::ParseScenario(scenario_text, scenario, error)) << error;
        sim::WriteScenarioRegistry(scenario, registry, kPlatformWin95);
        inventory.platform = kPlatformWin95;
        inventory.max_target_id = wide ? kMaxTargetIdWide : kMaxTargetIdNarrow;
        chain.hand_over = &hand_over;
        service = std::make_unique<sim::AspiService>(std::move(scenario));
        discovery.reset(
            new AspiDiscovery{inventory, texts, registry, messages, views, *service, exec_srb, chain, kOwner, clock});
    }

    // Plays the window thread: handles every hand-over until the chain has
    // nothing outstanding, noting scan_complete after each.
    void RunChain() {
        for (int guard = 0; chain.scan_busy != 0; ++guard) {
            ASSERT_LT(guard, 200) << "the chain does not end";
            ASSERT_TRUE(hand_over.HandleNext([&](aspi::SrbExecScsiCmd* block) {
                OnScanStep(*discovery, block);
                complete_after.push_back(inventory.scan_complete);
            })) << "a completion never arrived";
        }
    }

    // Start-up: the adapters, then the scan once the window would show.
    AspiStartup StartUp() {
        const AspiStartup result = DiscoverAspiAdapters(*discovery);
        if (result == AspiStartup::Enumerated && inventory.adapter_count > 0) {
            StartAspiScan(*discovery);
            RunChain();
        }
        return result;
    }

    std::vector<AspiCall> Calls(AspiCall::Kind kind) const {
        std::vector<AspiCall> found;
        for (const AspiCall& call : service->Calls()) {
            if (call.kind == kind) found.push_back(call);
        }
        return found;
    }

    const DeviceSlot& Slot(int index) const { return inventory.slots[index]; }

    static constexpr WindowRef kOwner = 0x1234;
    test::ScriptedMessages messages;
    SharedTexts texts{};
    test::MemoryRegistry registry;
    test::RecordingViews views{&texts};
    Inventory inventory{};
    aspi::SrbExecScsiCmd exec_srb{};
    ScanChain chain{};
    test::WindowThreadHandOver hand_over;
    test::FakeClock clock;
    std::vector<int> complete_after;
    // The service goes first on destruction: its thread is joined while
    // everything it writes into still exists.
    std::unique_ptr<sim::AspiService> service;
    std::unique_ptr<AspiDiscovery> discovery;
};

TEST_F(DiscoveryAspiScan, OneAdapterFillsItsEightSlotsInOrder) {
    Use(kOneAdapter);
    ASSERT_EQ(StartUp(), AspiStartup::Enumerated);

    ASSERT_EQ(inventory.adapter_count, 1);
    const HostAdapterRecord& adapter = inventory.adapters[0];
    EXPECT_STREQ(adapter.identifier, "BL2940U");
    EXPECT_STREQ(adapter.manager_name, "ASPI for WIN32");
    EXPECT_STREQ(adapter.description, "Harrowgate BL-2940U") << "registry details at start-up";
    EXPECT_EQ(adapter.own_scsi_id, 7);
    EXPECT_EQ(adapter.device_count, 2);
    ASSERT_EQ(views.tree.size(), 1u);
    EXPECT_EQ(views.tree[0].text, "Harrowgate BL-2940U");
    EXPECT_EQ(views.tree[0].index, 0);
    EXPECT_EQ(adapter.tree_item, views.tree[0].handle);

    EXPECT_EQ(inventory.slot_count, 8);
    EXPECT_EQ(complete_after, (std::vector<int>{0, 0, 0, 0, 0, 0, 0, 1}))
        << "the eighth completion, and only it, completes the scan";
    EXPECT_EQ(views.first_adapter_shown, 1);
    EXPECT_EQ(views.calls.back(), "ShowFirstAdapter");
    for (int t = 0; t < 8; ++t) {
        EXPECT_EQ(Slot(t).target_id, t);
        EXPECT_EQ(Slot(t).adapter_number, 0);
        EXPECT_STREQ(Slot(t).adapter_identifier, "BL2940U");
    }
    EXPECT_STREQ(Slot(0).type_name, "Hard Disk");
    EXPECT_STREQ(Slot(0).vendor, "KESTRAL");
    EXPECT_STREQ(Slot(0).product, "KD-2100S        ") << "the 16-byte field, trailing blanks kept";
    EXPECT_STREQ(Slot(0).revision, "1.04");
    EXPECT_EQ(Slot(0).synchronous, 1);
    EXPECT_EQ(Slot(0).scsi_version, 2);
    EXPECT_EQ(Slot(0).image_index, 1);
    EXPECT_STREQ(Slot(3).type_name, "CD-ROM");
    EXPECT_EQ(Slot(3).removable, 1);
    for (int t : {1, 2, 4, 5, 6}) {
        EXPECT_STREQ(Slot(t).type_name, "No Device") << t;
        EXPECT_STREQ(Slot(t).product, "No Device");
        EXPECT_STREQ(Slot(t).vendor, "");
        EXPECT_STREQ(Slot(t).revision, "");
        EXPECT_EQ(Slot(t).synchronous, 0);
        EXPECT_EQ(Slot(t).image_index, 10);
    }
    EXPECT_STREQ(Slot(7).type_name, texts.host_adapter);
    EXPECT_STREQ(Slot(7).product, "BL2940U");
    EXPECT_STREQ(Slot(7).vendor, "Harrowg") << "the manufacturer, at most 7 characters";
    EXPECT_STREQ(Slot(7).revision, "0003");
    EXPECT_EQ(views.pictures_found, 8);

    // Each INQUIRY as the chain sent it.
    const std::vector<AspiCall> sent = Calls(AspiCall::Kind::Exec);
    ASSERT_EQ(sent.size(), 8u);
    for (int t = 0; t < 8; ++t) {
        EXPECT_EQ(sent[t].ha_id, 0);
        EXPECT_EQ(sent[t].target, t);
        EXPECT_EQ(sent[t].lun, 0);
        EXPECT_EQ(sent[t].flags, aspi::kSrbPosting);
        EXPECT_TRUE(sent[t].has_post_proc);
        EXPECT_EQ(sent[t].buf_len, 96u);
        EXPECT_EQ(sent[t].sense_len, 14);
        EXPECT_EQ(sent[t].cdb, (std::vector<std::uint8_t>{0x12, 0, 0, 0, 0x60, 0}));
    }
    EXPECT_TRUE(service->Violations().empty());
    EXPECT_EQ(chain.scan_adapter, 0);
    EXPECT_EQ(chain.scan_target, 0);
    EXPECT_TRUE(messages.boxes().empty());
}

TEST_F(DiscoveryAspiScan, WideOptionScansSixteenIdsPerAdapter) {
    Use(kOneAdapter, true);
    StartUp();
    EXPECT_EQ(inventory.slot_count, 16);
    EXPECT_EQ(Calls(AspiCall::Kind::Exec).size(), 16u);
    EXPECT_STREQ(Slot(7).type_name, texts.host_adapter);
    for (int t = 8; t < 16; ++t) {
        EXPECT_EQ(Slot(t).target_id, t);
        EXPECT_STREQ(Slot(t).product, "No Device");
    }
    EXPECT_EQ(inventory.scan_complete, 1);
}

TEST_F(DiscoveryAspiScan, FourWideAdaptersFillExactlyTheSixtyFourSlots) {
    Use(Adapters(4), true);
    StartUp();
    EXPECT_EQ(inventory.adapter_count, 4);
    EXPECT_EQ(inventory.slot_count, 64);
    ASSERT_EQ(complete_after.size(), 64u);
    EXPECT_EQ(complete_after[62], 0);
    EXPECT_EQ(complete_after[63], 1) << "the 64th completion ends the scan";
    EXPECT_EQ(views.first_adapter_shown, 1);
    EXPECT_EQ(Slot(63).adapter_number, 3);
    EXPECT_EQ(Slot(63).target_id, 15);
    EXPECT_STREQ(Slot(49).product, "DISK3           ");
    for (int a = 0; a < 4; ++a) EXPECT_EQ(inventory.adapters[a].device_count, 1);
}

TEST_F(DiscoveryAspiScan, MoreAdaptersThanTheTablesHold) {
    // Ten adapters reported: the eight records are filled, the others never
    // asked; narrow, their 64 slots fit exactly.
    Use(Adapters(10));
    StartUp();
    EXPECT_EQ(inventory.adapter_count, 8);
    std::vector<int> inquired;
    for (const AspiCall& call : Calls(AspiCall::Kind::HaInquiry)) inquired.push_back(call.ha_id);
    EXPECT_EQ(inquired, (std::vector<int>{7, 6, 5, 4, 3, 2, 1, 0})) << "highest number first";
    ASSERT_EQ(views.tree.size(), 8u);
    EXPECT_EQ(views.tree.front().text, "Adapter HA0") << "the first adapter on top";
    EXPECT_EQ(views.tree.back().text, "Adapter HA7");
    EXPECT_EQ(inventory.slot_count, 64);
    EXPECT_EQ(inventory.scan_complete, 1);
    for (const AspiCall& call : Calls(AspiCall::Kind::Exec)) EXPECT_LT(call.ha_id, 8);
}

TEST_F(DiscoveryAspiScan, FullSlotTableEndsTheScanAndRefreshesTheViews) {
    // Five wide adapters: four fill the table; the fifth is listed but never scanned.
    Use(Adapters(5), true);
    StartUp();
    EXPECT_EQ(inventory.adapter_count, 5);
    EXPECT_EQ(views.tree.size(), 5u);
    EXPECT_EQ(inventory.slot_count, 64);
    EXPECT_EQ(Calls(AspiCall::Kind::Exec).size(), 64u) << "no INQUIRY that no slot could take";
    EXPECT_EQ(inventory.scan_complete, 1);
    EXPECT_EQ(views.first_adapter_shown, 1);
    EXPECT_EQ(inventory.adapters[4].device_count, 0);
}

TEST_F(DiscoveryAspiScan, EsdiAdapterAsTheHighestIsLeftOut) {
    Use(Adapters(2) + "adapter\n identifier ESDI_506\n device 2\n  type disk\n end\nend\n");
    StartUp();
    EXPECT_EQ(inventory.adapter_count, 2);
    ASSERT_EQ(views.tree.size(), 2u);
    for (const auto& item : views.tree) EXPECT_NE(item.text.find("Adapter HA"), std::string::npos);
    for (const AspiCall& call : Calls(AspiCall::Kind::Exec)) EXPECT_NE(call.ha_id, 2);
    EXPECT_EQ(inventory.slot_count, 16);
    EXPECT_EQ(inventory.scan_complete, 1);
}

TEST_F(DiscoveryAspiScan, EsdiAdapterBelowOthersLeavesNoGapAndNoMisnumbering) {
    Use("adapter\n identifier HA0\n description \"Adapter HA0\"\nend\n"
        "adapter\n identifier \"ESDI_506 IDE\"\n device 2\n  type disk\n end\nend\n"
        "adapter\n identifier HA2\n description \"Adapter HA2\"\n scsi-id 6\n"
        " device 4\n  type tape\n  product TDAT\n end\nend\n");
    StartUp();
    ASSERT_EQ(inventory.adapter_count, 2);
    ASSERT_EQ(views.tree.size(), 2u);
    EXPECT_EQ(views.tree[0].text, "Adapter HA0");
    EXPECT_EQ(views.tree[0].index, 0);
    EXPECT_EQ(views.tree[1].text, "Adapter HA2");
    EXPECT_EQ(views.tree[1].index, 1);

    const HostAdapterRecord& second = inventory.adapters[1];
    EXPECT_STREQ(second.identifier, "HA2");
    EXPECT_STREQ(second.description, "Adapter HA2") << "its own registry details";
    EXPECT_EQ(second.adapter_number, 2) << "the ASPI number its commands go to";
    EXPECT_EQ(second.device_count, 1);

    for (const AspiCall& call : Calls(AspiCall::Kind::Exec)) EXPECT_NE(call.ha_id, 1);
    EXPECT_EQ(inventory.slot_count, 16);
    for (int t = 0; t < 8; ++t) {
        EXPECT_EQ(Slot(8 + t).adapter_number, 2);
        EXPECT_EQ(Slot(8 + t).target_id, t);
        EXPECT_STREQ(Slot(8 + t).adapter_identifier, "HA2");
    }
    EXPECT_STREQ(Slot(12).type_name, "Tape");
    EXPECT_STREQ(Slot(14).type_name, texts.host_adapter);
    EXPECT_STREQ(Slot(7).type_name, texts.host_adapter);
}

TEST_F(DiscoveryAspiScan, EmptyIdsReportedEitherWayDoNotEndTheScan) {
    Use("adapter\n identifier NODEV\n empty-ids no-device\n device 5\n  type disk\n end\nend\n"
        "adapter\n identifier TIMEOUT\n empty-ids selection-timeout\n device 2\n  type tape\n end\nend\n");
    StartUp();
    EXPECT_EQ(inventory.slot_count, 16);
    EXPECT_EQ(inventory.scan_complete, 1);
    EXPECT_EQ(inventory.adapters[0].device_count, 1);
    EXPECT_EQ(inventory.adapters[1].device_count, 1);
    for (int s : {8, 9, 11, 12, 13, 14}) {
        EXPECT_STREQ(Slot(s).product, "No Device") << s;
        EXPECT_STREQ(Slot(s).type_name, "No Device") << s;
    }
    EXPECT_STREQ(Slot(10).type_name, "Tape");
    EXPECT_STREQ(Slot(15).type_name, texts.host_adapter);
}

TEST_F(DiscoveryAspiScan, LibraryThatEndsEmptyIdsAtOnceStillCompletesTheScan) {
    // No post routine call comes for a request the library refuses at once.
    Use(std::string("aspi-immediate-errors yes\n") + kOneAdapter);
    StartUp();
    EXPECT_EQ(hand_over.delivered(), 2) << "only the two devices were posted";
    EXPECT_EQ(inventory.slot_count, 8);
    EXPECT_EQ(inventory.scan_complete, 1);
    EXPECT_EQ(views.first_adapter_shown, 1);
    EXPECT_STREQ(Slot(5).product, "No Device");
    EXPECT_STREQ(Slot(7).type_name, texts.host_adapter);
    EXPECT_EQ(inventory.adapters[0].device_count, 2);
}

TEST_F(DiscoveryAspiScan, AdapterThatIsNotThereEndsTheScanWithoutASlot) {
    // The library reports three adapters; only the first exists.
    Use(std::string("aspi-adapter-count 3\n") + kOneAdapter);
    StartUp();
    EXPECT_EQ(inventory.adapter_count, 3) << "a failed host adapter inquiry still counts";
    EXPECT_EQ(inventory.adapters[1].adapter_number, 1);
    EXPECT_EQ(inventory.slot_count, 8) << "SS_INVALID_HA fills no slot";
    EXPECT_EQ(inventory.scan_complete, 1);
    EXPECT_EQ(views.first_adapter_shown, 1);
    EXPECT_EQ(Calls(AspiCall::Kind::Exec).size(), 9u);
}

TEST_F(DiscoveryAspiScan, OnlyAnAnswerIsADeviceWhateverWayTheInquiryEnds) {
    // A disk at ID 5 whose INQUIRY ends otherwise than with SS_COMP and a
    // logical unit: an empty ID, not counted, and the scan goes on. A test
    // command's adapter status left in the shared block changes nothing.
    const struct {
        const char* rule;
        const char* how;
    } cases[] = {
        {"on inquiry hastat 14", "the adapter failed it"},
        {"on inquiry hastat 12", "a data overrun or underrun"},
        {"on inquiry check 05 24 00", "CHECK CONDITION"},
        {"on inquiry refuse E0", "refused at once, status written"},
        {"on inquiry refuse E0 untouched", "refused at once, block untouched"},
        {"on inquiry aspi-status 02 delay 5", "ended later as aborted"},
        {"inquiry-bytes 0 7F", "peripheral qualifier 3: no logical unit"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.how);
        inventory = Inventory{};
        views.Reset();
        complete_after.clear();
        Use(std::string(kOneAdapter)
                .insert(std::string(kOneAdapter).rfind("end"),
                        std::string("device 5\n type disk\n vendor PHANTOM\n ") + c.rule + "\nend\n"));
        exec_srb.SRB_HaStat = aspi::kHaStatPhaseError;
        StartUp();
        EXPECT_EQ(Calls(AspiCall::Kind::Exec).size(), 8u);
        EXPECT_EQ(inventory.slot_count, 8);
        EXPECT_EQ(inventory.scan_complete, 1);
        EXPECT_STREQ(Slot(5).product, "No Device");
        EXPECT_STREQ(Slot(5).type_name, "No Device");
        EXPECT_STREQ(Slot(5).vendor, "");
        EXPECT_EQ(inventory.adapters[0].device_count, 2) << "the disk at 0 and the CD-ROM at 3 only";
        EXPECT_STREQ(Slot(7).type_name, texts.host_adapter);
    }
}

TEST_F(DiscoveryAspiScan, AManagerThatRefusesEverythingShowsNamedAdaptersAndNoDevice) {
    // As Wine's own stub does: the support query reports two adapters, every
    // request is refused with SS_INVALID_SRB and the block left untouched.
    Use("aspi-refuses E0 untouched\n" + Adapters(2), true);
    ASSERT_EQ(StartUp(), AspiStartup::Enumerated);
    ASSERT_EQ(inventory.adapter_count, 2);
    ASSERT_EQ(views.tree.size(), 2u);
    for (int a = 0; a < 2; ++a) {
        const HostAdapterRecord& adapter = inventory.adapters[a];
        const std::string name = "Host Adapter " + std::to_string(a);
        EXPECT_EQ(views.tree[a].text, name) << "the manager told no name";
        EXPECT_STREQ(adapter.identifier, name.c_str());
        EXPECT_STREQ(adapter.manager_name, "");
        EXPECT_EQ(adapter.own_scsi_id, kNoOwnScsiId);
        EXPECT_EQ(adapter.device_count, 0);
    }
    EXPECT_EQ(inventory.slot_count, 32);
    EXPECT_EQ(inventory.scan_complete, 1);
    EXPECT_EQ(views.first_adapter_shown, 1);
    for (int s = 0; s < 32; ++s) {
        EXPECT_STREQ(Slot(s).type_name, "No Device") << s << ": no own slot, no phantom";
        EXPECT_STREQ(Slot(s).adapter_identifier, s < 16 ? "Host Adapter 0" : "Host Adapter 1");
    }
    EXPECT_EQ(hand_over.delivered(), 0) << "a refused request is never posted";
    EXPECT_TRUE(messages.boxes().empty());
}

TEST_F(DiscoveryAspiScan, AnAdapterWhoseInquiryFailsIsStillScannedWithoutAnOwnSlot) {
    std::string scenario = kOneAdapter;
    scenario.insert(scenario.find("identifier"), "inquiry-refused E0 untouched\n");
    inventory.adapters[0].own_scsi_id = 7;  // an earlier scan's identity is not taken for it
    CopyText(inventory.adapters[0].identifier, "STALE");
    Use(scenario);
    StartUp();
    const HostAdapterRecord& adapter = inventory.adapters[0];
    EXPECT_STREQ(adapter.identifier, "Host Adapter 0");
    EXPECT_STREQ(adapter.description, "Host Adapter 0") << "no registry entry matches an adapter that told nothing";
    EXPECT_EQ(adapter.own_scsi_id, kNoOwnScsiId);
    EXPECT_EQ(adapter.device_count, 2);
    EXPECT_STREQ(Slot(0).type_name, "Hard Disk");
    EXPECT_STREQ(Slot(3).type_name, "CD-ROM");
    EXPECT_STREQ(Slot(7).type_name, "No Device") << "its own ID was never told";
}

TEST_F(DiscoveryAspiScan, AnInquiryTheManagerNeverEndsIsAbortedAndTheScanGoesOn) {
    Use(std::string(kOneAdapter)
            .insert(std::string(kOneAdapter).rfind("end"), "device 5\n type disk\n on inquiry hang\nend\n"));
    ASSERT_EQ(DiscoverAspiAdapters(*discovery), AspiStartup::Enumerated);
    StartAspiScan(*discovery);
    const auto step = [&](aspi::SrbExecScsiCmd* block) { OnScanStep(*discovery, block); };
    while (hand_over.HandleNext(step, 300)) {
    }
    ASSERT_EQ(chain.scan_busy, 1) << "the INQUIRY at ID 5 is outstanding";
    clock.Advance(kInquiryTimeLimitMs - 1);
    EXPECT_TRUE(WatchScan(*discovery));
    EXPECT_TRUE(Calls(AspiCall::Kind::Abort).empty()) << "not yet";
    clock.Advance(1);
    WatchScan(*discovery);
    ASSERT_EQ(Calls(AspiCall::Kind::Abort).size(), 1u);
    EXPECT_EQ(Calls(AspiCall::Kind::Abort)[0].to_abort, &exec_srb);
    RunChain();  // the aborted request's post call moves the chain on
    EXPECT_EQ(inventory.slot_count, 8);
    EXPECT_EQ(inventory.scan_complete, 1);
    EXPECT_STREQ(Slot(5).type_name, "No Device");
    EXPECT_FALSE(WatchScan(*discovery)) << "nothing outstanding any more";
}

TEST_F(DiscoveryAspiScan, AManagerThatEndsNeitherTheInquiryNorItsAbortEndsTheScanWithWhatItFound) {
    Use(kOneAdapter);
    test::FakeAspiLibrary silent(clock);  // takes requests, never ends them, never posts
    silent.default_answer.completes_after_ms = test::kNeverCompletes;
    silent.abort_completes_after_ms = test::kNeverCompletes;
    inventory.adapter_count = 1;
    AspiDiscovery deaf{inventory, texts, registry, messages, views, silent, exec_srb, chain, kOwner, clock};
    StartAspiScan(deaf);
    ASSERT_EQ(silent.execs().size(), 1u);
    clock.Advance(kInquiryTimeLimitMs);
    EXPECT_TRUE(WatchScan(deaf));
    ASSERT_EQ(silent.aborts().size(), 1u);
    EXPECT_EQ(inventory.scan_complete, 0);
    clock.Advance(kInquiryTimeLimitMs);
    EXPECT_TRUE(WatchScan(deaf)) << "the block stays the manager's";
    EXPECT_EQ(inventory.scan_complete, 1);
    EXPECT_EQ(views.first_adapter_shown, 1) << "the window shows what was found";
    clock.Advance(kInquiryTimeLimitMs);
    WatchScan(deaf);
    EXPECT_EQ(silent.execs().size(), 1u) << "nothing more is sent in the manager's block";
    EXPECT_EQ(silent.aborts().size(), 1u);
}

TEST_F(DiscoveryAspiScan, ProductIsTheSixteenByteFieldOnly) {
    Use(R"(
adapter
  identifier HA0
  device 0
    type disk
    vendor ABCDEFGH
    product ABCDEFGHIJKLMNOP
    revision REV1
  end
  device 1
    type disk
    product "SHORT NAME"
    inquiry-bytes 21 00
  end
end
)");
    StartUp();
    EXPECT_STREQ(Slot(0).product, "ABCDEFGHIJKLMNOP") << "not running on into the revision";
    EXPECT_STREQ(Slot(0).vendor, "ABCDEFG");
    EXPECT_STREQ(Slot(0).revision, "REV1");
    EXPECT_STREQ(Slot(1).product, "SHORT") << "cut at the first NUL";
    EXPECT_STREQ(Slot(7).product, "HA0") << "the adapter's own slot shows its identifier";
}

TEST_F(DiscoveryAspiScan, RescanStartsAgainAtAdapterZeroIdZeroSlotZero) {
    Use(Adapters(2));
    StartUp();
    ASSERT_EQ(inventory.scan_complete, 1);
    ASSERT_EQ(inventory.slot_count, 16);

    // The registry changes; a re-scan does not read it again.
    registry.SetText(RegistryRoot::LocalMachine, "Enum\\PCI\\VEN_1A2B&DEV_2940\\BUS_00&DEV_0C&FUNC_00", "DeviceDesc",
                     "Changed");
    service->ClearCalls();
    complete_after.clear();
    ResetForRescan(inventory);
    views.Reset();
    EXPECT_EQ(RescanAspi(*discovery), AspiRescan::Scanning);
    RunChain();

    const std::vector<AspiCall> sent = Calls(AspiCall::Kind::Exec);
    ASSERT_EQ(sent.size(), 16u);
    EXPECT_EQ(sent[0].ha_id, 0);
    EXPECT_EQ(sent[0].target, 0);
    EXPECT_EQ(Slot(0).target_id, 0);
    EXPECT_EQ(Slot(9).adapter_number, 1);
    EXPECT_EQ(Slot(9).target_id, 1);
    EXPECT_EQ(inventory.slot_count, 16);
    EXPECT_EQ(inventory.adapters[0].device_count, 1) << "counted afresh";
    EXPECT_STREQ(inventory.adapters[0].description, "Adapter HA0");
    EXPECT_EQ(views.tree.size(), 2u);
    EXPECT_EQ(complete_after.back(), 1);
    EXPECT_TRUE(messages.boxes().empty());
}

TEST_F(DiscoveryAspiScan, RescanAfterAListingReplacedTheRecordsReadsTheDetailsAgain) {
    Use(Adapters(2));
    StartUp();
    // A listing file put its own texts into the records.
    for (int a = 0; a < 2; ++a) {
        CopyText(inventory.adapters[a].description, "FROM-FILE");
        CopyText(inventory.adapters[a].manufacturer, "");
    }
    ResetForRescan(inventory);
    views.Reset();
    EXPECT_EQ(RescanAspi(*discovery, true), AspiRescan::Scanning);
    RunChain();
    EXPECT_STREQ(inventory.adapters[0].description, "Adapter HA0");
    EXPECT_STREQ(inventory.adapters[1].description, "Adapter HA1");
    ASSERT_EQ(views.tree.size(), 2u);
    EXPECT_EQ(views.tree[0].text, "Adapter HA0") << "the tree shows the machine's names again";
}

TEST_F(DiscoveryAspiScan, RescanWhileAnInquiryIsOutstandingDropsItsCompletion) {
    Use(kOneAdapter);
    ASSERT_EQ(DiscoverAspiAdapters(*discovery), AspiStartup::Enumerated);
    StartAspiScan(*discovery);
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(hand_over.HandleNext([&](aspi::SrbExecScsiCmd* block) { OnScanStep(*discovery, block); }));
    }
    ASSERT_EQ(chain.scan_busy, 1) << "the INQUIRY for ID 3 is outstanding";

    ResetForRescan(inventory);
    views.Reset();
    EXPECT_EQ(RescanAspi(*discovery), AspiRescan::Scanning);
    EXPECT_EQ(Calls(AspiCall::Kind::Exec).size(), 4u) << "nothing sent while the block is the library's";
    RunChain();

    EXPECT_EQ(inventory.slot_count, 8);
    for (int t = 0; t < 8; ++t) EXPECT_EQ(Slot(t).target_id, t) << "every slot at its place";
    EXPECT_STREQ(Slot(3).type_name, "CD-ROM");
    EXPECT_EQ(inventory.adapters[0].device_count, 2);
    EXPECT_EQ(inventory.scan_complete, 1);
    EXPECT_TRUE(service->Violations().empty());

    // A hand-over with nothing outstanding changes nothing.
    const int slots = inventory.slot_count;
    OnScanStep(*discovery, &exec_srb);
    EXPECT_EQ(inventory.slot_count, slots);
}

TEST_F(DiscoveryAspiScan, StoppedChainDropsItsCompletionAndSendsNothingUntilARescan) {
    Use(kOneAdapter);
    ASSERT_EQ(DiscoverAspiAdapters(*discovery), AspiStartup::Enumerated);
    StartAspiScan(*discovery);
    ASSERT_TRUE(hand_over.HandleNext([&](aspi::SrbExecScsiCmd* block) { OnScanStep(*discovery, block); }));
    ASSERT_EQ(chain.scan_busy, 1);

    // A listing file replaces the inventory while ID 1's INQUIRY is out.
    StopScanChain(chain);
    views.Reset();
    inventory.adapter_count = 1;
    inventory.slot_count = 0;
    ASSERT_TRUE(hand_over.HandleNext([&](aspi::SrbExecScsiCmd* block) { OnScanStep(*discovery, block); }));
    EXPECT_EQ(chain.scan_busy, 0);
    EXPECT_EQ(inventory.slot_count, 0) << "the dropped completion fills no slot";
    EXPECT_EQ(Calls(AspiCall::Kind::Exec).size(), 2u) << "nothing sent after the stop";
    ScanNextDevice(*discovery);
    EXPECT_EQ(Calls(AspiCall::Kind::Exec).size(), 2u);

    ResetForRescan(inventory);
    views.Reset();
    EXPECT_EQ(RescanAspi(*discovery), AspiRescan::Scanning);
    RunChain();
    EXPECT_EQ(inventory.slot_count, 8) << "a re-scan runs the chain again";
}

TEST_F(DiscoveryAspiScan, StartupWhenAspiIsNotAvailable) {
    Use(std::string("aspi-support E4\n") + kOneAdapter);
    EXPECT_EQ(StartUp(), AspiStartup::NotAvailable);
    ASSERT_EQ(messages.boxes().size(), 1u);
    EXPECT_TRUE(messages.Showed(50007));
    EXPECT_EQ(messages.boxes()[0].owner, kOwner);
    EXPECT_EQ(messages.boxes()[0].flags, win::kMbIconError);
    EXPECT_EQ(inventory.adapter_count, 0);
    EXPECT_TRUE(views.tree.empty());
    EXPECT_TRUE(Calls(AspiCall::Kind::HaInquiry).empty());
    EXPECT_TRUE(Calls(AspiCall::Kind::Exec).empty());
}

TEST_F(DiscoveryAspiScan, NoAdaptersToManageIsAnEmptyBusAtStartUpAndOnARescan) {
    Use(std::string("aspi-support E8\n") + kOneAdapter);
    EXPECT_EQ(StartUp(), AspiStartup::Enumerated) << "start-up goes on and shows 50008 itself";
    EXPECT_EQ(inventory.adapter_count, 0);
    EXPECT_TRUE(views.tree.empty());
    EXPECT_EQ(RescanAspi(*discovery), AspiRescan::Scanning);
    EXPECT_TRUE(messages.boxes().empty()) << "neither 50006 nor 50013";
    EXPECT_TRUE(Calls(AspiCall::Kind::Exec).empty());
}

TEST_F(DiscoveryAspiScan, StartupWithAnyOtherFailedStatusEndsTheProgram) {
    Use(std::string("aspi-support E3\n") + kOneAdapter);
    EXPECT_EQ(StartUp(), AspiStartup::Exit);
    ASSERT_EQ(messages.boxes().size(), 1u);
    EXPECT_TRUE(messages.Showed(50006));
    EXPECT_EQ(messages.boxes()[0].owner, kOwner);
    EXPECT_EQ(inventory.adapter_count, 0);
}

TEST_F(DiscoveryAspiScan, FailedRescanOffersRetryAndCancel) {
    Use(std::string("aspi-support E4\n") + kOneAdapter);
    messages.Answer(win::kIdRetry);
    messages.Answer(win::kIdCancel);
    EXPECT_EQ(RescanAspi(*discovery), AspiRescan::Retry);
    EXPECT_EQ(RescanAspi(*discovery), AspiRescan::Cancel);
    ASSERT_EQ(messages.boxes().size(), 2u);
    EXPECT_TRUE(messages.Showed(50013));
    EXPECT_EQ(messages.boxes()[0].owner, 0u);
    EXPECT_EQ(messages.boxes()[0].flags, win::kMbRetryCancel | win::kMbIconError);
    EXPECT_TRUE(Calls(AspiCall::Kind::Exec).empty()) << "the chain finds no adapters";
    EXPECT_EQ(chain.scan_busy, 0);
    EXPECT_EQ(inventory.scan_complete, 0);
}

}  // namespace
}  // namespace td
