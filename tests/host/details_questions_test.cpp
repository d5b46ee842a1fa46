// The Details page's questions asked of the virtual bus's devices, on both
// transports, as the page asks them: what each line then says, which
// commands reached the device, and what happens to a device that never
// answers, a page closed while a question is out, a scan still running
// and an inventory read from a listing file.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "aspi/aspi_service.h"
#include "bus/scenario.h"
#include "common/fixed_text.h"
#include "infowin/details_page.h"
#include "nt/nt_port_simulator.h"
#include "resources/resource_ids.h"
#include "support/fake_clock.h"
#include "support/scenario_inventory.h"
#include "support/scripted_messages.h"

namespace td {
namespace {

// Starts nothing: the work runs at once, on the caller's thread.
class InlineWorker final : public Worker {
public:
    bool Start(void (*work)(void*), void* argument) override {
        work(argument);
        return true;
    }
};

// A thread of its own for each piece of work, as the program has.
class ThreadWorker final : public Worker {
public:
    bool Start(void (*work)(void*), void* argument) override {
        ++running;
        std::thread([work, argument, this] {
            work(argument);
            --running;
        }).detach();
        return true;
    }
    std::atomic<int> running{0};
};

sim::Scenario Parse(const std::string& text) {
    sim::Scenario scenario;
    std::string error;
    EXPECT_TRUE(sim::ParseScenario(text, scenario, error)) << error;
    return scenario;
}

// The page's world: the inventory a discovery would leave, the ASPI
// service (its time moving with the page's clock) or the NT simulator, and
// the English texts.
struct DetailsRig {
    DetailsRig(const std::string& text, int platform, Worker& worker)
        : scenario(Parse(text)), sources{inventory, chain, false, nullptr, area, nullptr, worker, clock} {
        EXPECT_TRUE(LoadSharedTexts(messages, texts));
        inventory = test::ScenarioInventory(scenario, texts, platform);
        if (platform == kPlatformWin95) {
            aspi = std::make_unique<sim::AspiService>(scenario, sim::AspiService::TimeMode::Manual);
            sources.aspi = aspi.get();
            clock.on_advance = [this](std::uint32_t now) {
                aspi->AdvanceTime(now - service_time);
                service_time = now;
            };
            service_time = clock.now();
        } else {
            nt = std::make_unique<sim::NtPortSimulator>(scenario, &clock);
            sources.device_io = nt.get();
        }
    }
    ~DetailsRig() { clock.on_advance = nullptr; }

    int Slot(int adapter, int target) const { return test::ScenarioSlot(inventory, adapter, target); }

    // Looks at the page every 50 ms, as its timer does, until every fact
    // is settled; answers the lines the page then shows.
    std::vector<std::string> Ask(int adapter, int target) {
        DetailsAsking asking(sources, Slot(adapter, target));
        for (int i = 0; i < 2000 && !asking.Finished(); ++i) {
            asking.Step();
            clock.Advance(50);
        }
        EXPECT_TRUE(asking.Finished());
        return Lines(asking.facts());
    }

    std::vector<std::string> Lines(const DeviceFacts& facts) {
        PlainNumberFormat format;
        const DetailsPageContent page = DescribeDetailsPage(facts, messages, format);
        return {page.fields[0].text, page.fields[1].text, page.fields[2].text};
    }

    // The commands that reached one device, named.
    std::string Commands(int adapter, int target) const {
        std::string names;
        for (const sim::BusRequest& request : aspi ? aspi->bus().Requests() : nt->bus().Requests()) {
            if (request.adapter != adapter || request.target != target || request.cdb.empty()) continue;
            const auto& cdb = request.cdb;
            std::string name = cdb[0] == 0x25 ? "rc10" : cdb[0] == 0x9E ? "rc16" : "?";
            if (cdb[0] == 0x12) {
                static const char kHex[] = "0123456789abcdef";
                name = (cdb[1] & 1) != 0 ? std::string("vpd") + kHex[cdb[2] >> 4] + kHex[cdb[2] & 15] : "inq";
            }
            names += (names.empty() ? "" : " ") + name;
        }
        return names;
    }

    test::FakeClock clock;
    test::ScriptedMessages messages;
    SharedTexts texts{};
    sim::Scenario scenario;
    Inventory inventory{};
    ScanChain chain{};
    AspiQuestionArea area{};
    DetailsSources sources;
    std::unique_ptr<sim::AspiService> aspi;
    std::unique_ptr<sim::NtPortSimulator> nt;
    std::uint32_t service_time = 0;
};

constexpr char kMachine[] = R"(
adapter
  device 0
    type disk
    capacity 8388608 512
    serial "KD21S0042917"
    designator t10 "KESTRAL KD-2100S        KD21S0042917"
    designator naa 5000C5A012B3C4D5
    drive C:
  device 1              # larger than 2 TiB, SPC-3
    type disk
    ansi 5
    capacity 6442450944 512
    serial BIG01
    designator eui64 0011223344556677
    drive D:
  device 2              # no disc
    type cdrom
    removable yes
    medium no
    capacity 1000 2048
    serial "  OR1  "
    drive E:
  device 3
    type tape
    serial TP1
    designator naa 6001405ABCDEF0123456789ABCDEF012
    tape 0
  device 4              # lists no pages
    capacity 100 512
    serial HIDDEN
    vpd-pages 00
    drive F:
  device 5              # an old device that ignores the EVPD bit
    capacity 100 512
    evpd ignored
    drive G:
  device 6              # SCSI-1: asked no pages
    ansi 1
    drive H:
adapter
  device 0              # never answers READ CAPACITY
    capacity 100 512
    serial X
    on read-capacity hang
    drive I:
  device 1              # states a serial page longer than it sends
    serial ABC
    vpd-length 80 200
    drive J:
  device 2              # states a serial page shorter than it sends
    serial ABCDEF
    vpd-length 80 3
    drive K:
  device 3              # a reset is told once, to the first command
    capacity 100 512
    serial UA1
    on any check 06 29 00 times 1
    drive L:
  device 4
    capacity 100 512
    on read-capacity check 03 11 00
    drive M:
  device 5              # a SCSI-2 scanner without pages
    type scanner
    scanner 0
)";

TEST(DetailsQuestions, EachDeviceIsAskedOnlyWhatItCanAnswerAndEachLineSaysWhatCameOrWhy) {
    const std::string not_reported = "Not reported by this device";
    const std::string small_disk = "50.0 KB (51,200 bytes)\r\n100 blocks of 512 bytes";
    struct Row {
        int adapter, target;
        std::vector<std::string> lines;
        std::string commands;
    };
    const Row rows[] = {
        {0,
         0,
         {"4.00 GB (4,294,967,296 bytes)\r\n8,388,608 blocks of 512 bytes", "KD21S0042917", "naa.5000C5A012B3C4D5"},
         "inq rc10 vpd00 vpd80 vpd83"},
        {0,
         1,
         {"3.00 TB (3,298,534,883,328 bytes)\r\n6,442,450,944 blocks of 512 bytes", "BIG01", "eui.0011223344556677"},
         "inq rc10 rc16 vpd00 vpd80 vpd83"},
        {0, 2, {"No medium", "OR1", not_reported}, "inq rc10 vpd00 vpd80"},
        {0,
         3,
         {"Not applicable to this type of device", "TP1", "naa.6001405ABCDEF0123456789ABCDEF012"},
         "inq vpd00 vpd80 vpd83"},
        {0, 4, {small_disk, not_reported, not_reported}, "inq rc10 vpd00"},
        {0, 5, {small_disk, not_reported, not_reported}, "inq rc10 vpd00"},
        {0, 6, {not_reported, not_reported, not_reported}, "inq rc10"},
        {1, 1, {not_reported, not_reported, not_reported}, "inq rc10 vpd00 vpd80"},
        {1, 2, {not_reported, "ABC", not_reported}, "inq rc10 vpd00 vpd80"},
        {1, 3, {small_disk, "UA1", not_reported}, "inq inq rc10 vpd00 vpd80"},
        {1,
         4,
         {"The device reports MEDIUM ERROR: UNRECOVERED READ ERROR (ASC 11h, ASCQ 00h).", not_reported, not_reported},
         "inq rc10 vpd00"},
        {1, 5, {"Not applicable to this type of device", not_reported, not_reported}, "inq vpd00"},
    };
    InlineWorker worker;
    for (const int platform : {kPlatformWin95, kPlatformNt}) {
        DetailsRig rig(kMachine, platform, worker);
        for (const Row& row : rows) {
            SCOPED_TRACE(testing::Message()
                         << "platform " << platform << ", adapter " << row.adapter << " ID " << row.target);
            EXPECT_EQ(rig.Ask(row.adapter, row.target), row.lines);
            EXPECT_EQ(rig.Commands(row.adapter, row.target), row.commands);
        }
    }
}

// A device that never answers is asked once: the question's wait, and
// every line says that it did not answer.
TEST(DetailsQuestions, ADeviceThatNeverAnswersIsAskedNoMoreAndEveryLineSaysSo) {
    InlineWorker worker;
    const struct {
        int platform;
        std::string line;
    } expected[] = {
        {kPlatformWin95, "The device did not finish the command within 10 seconds; the request was aborted."},
        {kPlatformNt, "The device did not answer within 10 seconds."},
    };
    for (const auto& each : expected) {
        DetailsRig rig(kMachine, each.platform, worker);
        const std::uint32_t start = rig.clock.now();
        EXPECT_EQ(rig.Ask(1, 0), std::vector<std::string>(3, each.line));
        EXPECT_EQ(rig.Commands(1, 0), "inq rc10");
        EXPECT_LE(rig.clock.now() - start, 10000u + 200u) << "one wait only";
    }
}

// Closing the sheet while a request is out: the ASPI request is aborted
// and its block kept until the manager has ended it; the NT request's
// thread finishes on its own and frees what it used.
TEST(DetailsQuestions, APageClosedWhileAQuestionIsOutLeavesNothingBehindThatTheDeviceCouldStillWrite) {
    InlineWorker inline_worker;
    DetailsRig rig(std::string(kMachine) + "\n  device 6\n    capacity 9 512\n    on read-capacity delay 3000\n",
                   kPlatformWin95, inline_worker);
    {
        DetailsAsking asking(rig.sources, rig.Slot(1, 6));
        for (int i = 0; i < 20 && rig.Commands(1, 6) != "inq rc10"; ++i) {
            asking.Step();
            rig.clock.Advance(50);
        }
        ASSERT_EQ(rig.Commands(1, 6), "inq rc10");
        EXPECT_TRUE(rig.area.blocks[0].held);
        EXPECT_EQ(rig.aspi->Outstanding(), 1);
    }
    EXPECT_FALSE(rig.area.blocks[0].held);
    EXPECT_EQ(rig.aspi->Outstanding(), 0) << "the request was aborted";
    // Four devices that never answer hold the four blocks until their
    // requests end; a fifth page is told so, and asks nothing.
    for (AspiQuestionBlock& block : rig.area.blocks) {
        block.sent = true;
        block.srb.SRB_Status = aspi::kSsPending;
        block.abort_srb.SRB_Status = aspi::kSsComp;
    }
    const std::vector<std::string> busy(3, rig.messages.Text(IDS_DETAILS_BUSY));
    EXPECT_EQ(rig.Ask(0, 0), busy);
    rig.area.blocks[2].srb.SRB_Status = aspi::kSsAborted;  // the manager ended one
    EXPECT_EQ(rig.Ask(0, 0)[1], "KD21S0042917");

    // NT: the thread still waits for the device when the page goes.
    ThreadWorker threads;
    sim::NtPortSimulator nt(Parse(std::string(kMachine) + "\n  device 6\n    on read-capacity delay 300\n"
                                                          "    drive N:\n"));
    DetailsRig nt_rig(kMachine, kPlatformNt, threads);
    nt_rig.sources.device_io = &nt;
    nt_rig.inventory.slots[nt_rig.Slot(1, 6)] = nt_rig.inventory.slots[nt_rig.Slot(1, 0)];
    CopyText(nt_rig.inventory.slots[nt_rig.Slot(1, 6)].device_path, "N:");
    {
        DetailsAsking asking(nt_rig.sources, nt_rig.Slot(1, 6));
        for (int i = 0; i < 200 && nt.bus().Requests().size() < 2; ++i) {
            asking.Step();
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        ASSERT_EQ(nt.bus().Requests().size(), 2u) << "READ CAPACITY is out";
        EXPECT_EQ(threads.running, 1);
    }
    for (int i = 0; i < 400 && threads.running != 0; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_EQ(threads.running, 0);
    EXPECT_EQ(nt.OpenHandles(), 0) << "the thread closed the device";
}

// On Windows 95 the questions wait for the device scan, which keeps its
// own timing; devices read from a listing file are not asked at all.
TEST(DetailsQuestions, NothingIsAskedWhileTheScanRunsNorOfDevicesReadFromAListing) {
    InlineWorker worker;
    DetailsRig rig(kMachine, kPlatformWin95, worker);
    rig.chain.scan_busy = 1;
    {
        DetailsAsking asking(rig.sources, rig.Slot(0, 0));
        for (int i = 0; i < 10; ++i) {
            asking.Step();
            rig.clock.Advance(50);
        }
        EXPECT_EQ(rig.Commands(0, 0), "") << "sent during the scan";
        rig.chain.scan_busy = 0;
        for (int i = 0; i < 20 && !asking.Finished(); ++i) {
            asking.Step();
            rig.clock.Advance(50);
        }
        EXPECT_EQ(rig.Lines(asking.facts())[1], "KD21S0042917");
    }
    rig.chain.scan_busy = 1;
    EXPECT_EQ(rig.Ask(0, 1), std::vector<std::string>(3, rig.messages.Text(IDS_SCAN_HOLDS_BLOCK)));
    EXPECT_EQ(rig.Commands(0, 1), "");

    rig.chain.scan_busy = 0;
    rig.sources.from_listing = true;
    EXPECT_EQ(rig.Ask(0, 2), std::vector<std::string>(3, rig.messages.Text(IDS_DETAILS_FROM_LISTING)));
    EXPECT_EQ(rig.Commands(0, 2), "");
}

}  // namespace
}  // namespace td
