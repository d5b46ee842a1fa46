// The ASPI for Win32 contract of the virtual bus's service, including what
// only shows under concurrency: pending until complete, results before the
// status, one post routine call per posted request even when the routine
// sends the next request at once, and aborts.
#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "aspi/aspi_service.h"
#include "bus/scenario.h"

namespace td::sim {
namespace {

using namespace td::aspi;
using Bytes = std::vector<std::uint8_t>;

Scenario Parse(const std::string& text) {
    Scenario scenario;
    std::string error;
    EXPECT_TRUE(ParseScenario(text, scenario, error)) << error;
    return scenario;
}

std::uint8_t StatusOf(void* block) {
    return std::atomic_ref<std::uint8_t>(static_cast<SrbHeader*>(block)->SRB_Status).load(std::memory_order_acquire);
}

// Waits, in real time, until the block leaves SS_PENDING.
bool WaitDone(void* block, int limit_ms = 5000) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(limit_ms);
    while (StatusOf(block) == kSsPending) {
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::yield();
    }
    return true;
}

SrbExecScsiCmd Exec(std::uint8_t ha, std::uint8_t target, Bytes cdb, std::uint8_t* buffer, std::uint32_t length,
                    std::uint8_t flags = 0, PostProc post = nullptr) {
    SrbExecScsiCmd srb{};
    srb.SRB_Cmd = kScExecScsiCmd;
    srb.SRB_HaId = ha;
    srb.SRB_Flags = flags;
    srb.SRB_Target = target;
    srb.SRB_BufLen = length;
    srb.SRB_BufPointer = buffer;
    srb.SRB_SenseLen = aspi::kSenseLength;  // 14, as the program sends
    srb.SRB_CDBLen = static_cast<std::uint8_t>(cdb.size());
    if (!cdb.empty()) std::memcpy(srb.CDBByte, cdb.data(), cdb.size());
    srb.SRB_PostProc = reinterpret_cast<void*>(post);
    return srb;
}

Bytes InquiryCdb() { return {0x12, 0, 0, 0, 96, 0}; }
Bytes TurCdb() { return {0x00, 0, 0, 0, 0, 0}; }

TEST(AspiService, SupportInfoIsStatusAndCount) {
    EXPECT_EQ(AspiService(DefaultScenario()).GetSupportInfo(), 0x0102u);
    EXPECT_EQ(AspiService(Parse("aspi-adapter-count 10\nadapter\n")).GetSupportInfo(), 0x010Au)
        << "more adapters reported than exist";

    AspiService failed(Parse("aspi-support E4\nadapter\n"));
    EXPECT_EQ(failed.GetSupportInfo(), 0xE400u);
    // A library that did not start answers every command with its status.
    SrbHaInquiry inquiry{};
    inquiry.SRB_Cmd = kScHaInquiry;
    EXPECT_EQ(failed.SendCommand(&inquiry), 0xE4u);
    EXPECT_EQ(inquiry.SRB_Status, 0xE4);
    std::uint8_t buffer[96];
    SrbExecScsiCmd exec = Exec(0, 0, InquiryCdb(), buffer, 96);
    EXPECT_EQ(failed.SendCommand(&exec), 0xE4u);
    EXPECT_EQ(failed.Outstanding(), 0);
    EXPECT_EQ(failed.bus().Requests().size(), 0u);
}

TEST(AspiService, HostAdapterInquiryCompletesAtOnce) {
    AspiService service(Parse(R"(
aspi-adapter-count 3
adapter
  identifier BL2940U
  manager "ASPI for WIN32"
  scsi-id 7
adapter
  identifier "SIXTEEN_CHARS_ID"
  scsi-id 15
  max-target 15
  unique 00 00 02 10 00 00 02 00
)"));
    SrbHaInquiry first{};
    first.SRB_Cmd = kScHaInquiry;
    first.SRB_HaId = 0;
    first.HA_Rsvd1 = 0xBEEF;
    EXPECT_EQ(service.SendCommand(&first), kSsComp);
    EXPECT_EQ(first.SRB_Status, kSsComp) << "stored before SendCommand returns";
    EXPECT_EQ(first.HA_Count, 3) << "the count the support query reports";
    EXPECT_EQ(first.HA_SCSI_ID, 7);
    const char manager[16] = "ASPI for WIN32";
    EXPECT_EQ(std::memcmp(first.HA_ManagerId, manager, 16), 0) << "padded with NULs";
    const char identifier[16] = "BL2940U";
    EXPECT_EQ(std::memcmp(first.HA_Identifier, identifier, 16), 0);
    EXPECT_EQ(first.HA_Unique[2], 2) << "residual byte counts reported";
    EXPECT_EQ(first.HA_Unique[3], 8) << "8 targets";
    EXPECT_EQ(first.HA_Unique[6], 1) << "64 KiB transfers";
    EXPECT_EQ(first.HA_Rsvd1, 0xBEEF) << "reserved field untouched";

    SrbHaInquiry second{};
    second.SRB_Cmd = kScHaInquiry;
    second.SRB_HaId = 1;
    EXPECT_EQ(service.SendCommand(&second), kSsComp);
    EXPECT_EQ(std::memcmp(second.HA_Identifier, "SIXTEEN_CHARS_ID", 16), 0) << "all 16 bytes, no NUL";
    EXPECT_EQ(second.HA_SCSI_ID, 15);
    EXPECT_EQ(second.HA_Unique[2], 2);
    EXPECT_EQ(second.HA_Unique[3], 0x10);

    // Index 2 is reported by the count but does not exist.
    for (std::uint8_t index : {2, 3, 255}) {
        SrbHaInquiry missing{};
        missing.SRB_Cmd = kScHaInquiry;
        missing.SRB_HaId = index;
        EXPECT_EQ(service.SendCommand(&missing), kSsInvalidHa);
        EXPECT_EQ(missing.SRB_Status, kSsInvalidHa);
        EXPECT_EQ(missing.HA_Identifier[0], 0) << "nothing filled in";
    }

    SrbGetDevType type{};
    type.SRB_Cmd = kScGetDevType;
    EXPECT_EQ(service.SendCommand(&type), kSsNoDevice);

    SrbHeader unknown{};
    unknown.SRB_Cmd = kScResetDev;
    EXPECT_EQ(service.SendCommand(&unknown), kSsInvalidCmd);
    EXPECT_EQ(service.SendCommand(nullptr), kSsInvalidSrb);
}

TEST(AspiService, ExecuteIsPendingUntilItsDelayHasPassed) {
    AspiService service(Parse(R"(
adapter
  device 0
    type disk
    vendor KESTRAL
    on inquiry delay 50
)"),
                        AspiService::TimeMode::Manual);
    std::uint8_t buffer[96] = {};
    SrbExecScsiCmd srb = Exec(0, 0, InquiryCdb(), buffer, 96);
    srb.SRB_Status = 0x55;
    EXPECT_EQ(service.SendCommand(&srb), kSsPending);
    EXPECT_EQ(StatusOf(&srb), kSsPending) << "pending from the moment SendCommand returns";
    EXPECT_EQ(service.Outstanding(), 1);
    service.AdvanceTime(49);
    EXPECT_EQ(StatusOf(&srb), kSsPending);
    EXPECT_EQ(buffer[8], 0) << "no data before completion";
    service.AdvanceTime(1);
    EXPECT_EQ(StatusOf(&srb), kSsComp);
    EXPECT_EQ(srb.SRB_HaStat, 0);
    EXPECT_EQ(srb.SRB_TargStat, 0);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(buffer) + 8, 8), "KESTRAL ");
    EXPECT_EQ(service.Outstanding(), 0);
    EXPECT_EQ(service.Now(), 50u);

    // Without a delay the worker completes it without time moving.
    SrbExecScsiCmd quick = Exec(0, 0, TurCdb(), buffer, 0);
    EXPECT_EQ(service.SendCommand(&quick), kSsPending);
    EXPECT_TRUE(WaitDone(&quick));
    EXPECT_EQ(StatusOf(&quick), kSsComp);
}

TEST(AspiService, CheckConditionBringsItsSenseAutomatically) {
    AspiService service(DefaultScenario());
    std::uint8_t scratch[80];
    SrbExecScsiCmd srb = Exec(0, 4, TurCdb(), scratch, sizeof scratch);
    std::memset(srb.SenseArea, 0xEE, sizeof srb.SenseArea);
    srb.SRB_HaStat = 0x99;
    EXPECT_EQ(service.SendCommand(&srb), kSsPending);
    ASSERT_TRUE(WaitDone(&srb));
    EXPECT_EQ(srb.SRB_Status, kSsErr);
    EXPECT_EQ(srb.SRB_HaStat, 0);
    EXPECT_EQ(srb.SRB_TargStat, 0x02);
    const Bytes sense = FixedSense(0x02, 0x3A, 0x00);
    EXPECT_EQ(Bytes(srb.SenseArea, srb.SenseArea + 14), Bytes(sense.begin(), sense.begin() + 14));
    EXPECT_EQ(srb.SenseArea[14], 0xEE) << "no more than SRB_SenseLen bytes";
    EXPECT_EQ(srb.SenseArea[15], 0xEE);

    SrbExecScsiCmd none = Exec(0, 4, TurCdb(), scratch, sizeof scratch);
    none.SRB_SenseLen = 0;
    std::memset(none.SenseArea, 0xEE, sizeof none.SenseArea);
    service.SendCommand(&none);
    ASSERT_TRUE(WaitDone(&none));
    EXPECT_EQ(none.SRB_TargStat, 0x02);
    EXPECT_EQ(none.SenseArea[0], 0xEE) << "a sense length of 0 asks for none";
}

TEST(AspiService, EmptyIdsMissingAdaptersAndAdapterErrors) {
    AspiService service(Parse(R"(
adapter
  device 1
    on tur hastat 12 times 1
    on tur aspi-status 04
adapter
  empty-ids selection-timeout
)"));
    std::uint8_t buffer[96];
    auto run = [&](std::uint8_t ha, std::uint8_t target, Bytes cdb) {
        SrbExecScsiCmd srb = Exec(ha, target, std::move(cdb), buffer, 96);
        EXPECT_EQ(service.SendCommand(&srb), kSsPending) << "every execute request completes later";
        EXPECT_TRUE(WaitDone(&srb));
        return srb;
    };
    SrbExecScsiCmd empty = run(0, 3, InquiryCdb());
    EXPECT_EQ(empty.SRB_Status, kSsNoDevice);
    SrbExecScsiCmd timeout = run(1, 3, InquiryCdb());
    EXPECT_EQ(timeout.SRB_Status, kSsErr);
    EXPECT_EQ(timeout.SRB_HaStat, 0x11);
    SrbExecScsiCmd missing = run(2, 0, InquiryCdb());
    EXPECT_EQ(missing.SRB_Status, kSsInvalidHa);
    SrbExecScsiCmd overrun = run(0, 1, TurCdb());
    EXPECT_EQ(overrun.SRB_Status, kSsErr);
    EXPECT_EQ(overrun.SRB_HaStat, 0x12);
    SrbExecScsiCmd clean_error = run(0, 1, TurCdb());
    EXPECT_EQ(clean_error.SRB_Status, kSsErr);
    EXPECT_EQ(clean_error.SRB_HaStat, 0);
    EXPECT_EQ(clean_error.SRB_TargStat, 0);

    // Malformed blocks are refused at once.
    SrbExecScsiCmd no_cdb = Exec(0, 1, {}, buffer, 96);
    EXPECT_EQ(service.SendCommand(&no_cdb), kSsInvalidSrb);
    EXPECT_EQ(no_cdb.SRB_Status, kSsInvalidSrb);
    SrbExecScsiCmd no_buffer = Exec(0, 1, InquiryCdb(), nullptr, 96);
    EXPECT_EQ(service.SendCommand(&no_buffer), kSsInvalidSrb);
}

int g_immediate_posts = 0;
void CountImmediatePost(SrbExecScsiCmd*) { ++g_immediate_posts; }

TEST(AspiService, ImmediateErrorsWhenTheScenarioAsksForThem) {
    AspiService service(Parse("aspi-immediate-errors yes\nadapter\n device 1\n"));
    std::uint8_t buffer[96];
    g_immediate_posts = 0;
    SrbExecScsiCmd empty = Exec(0, 3, InquiryCdb(), buffer, 96, kSrbPosting, CountImmediatePost);
    EXPECT_EQ(service.SendCommand(&empty), kSsNoDevice);
    EXPECT_EQ(empty.SRB_Status, kSsNoDevice);
    SrbExecScsiCmd missing = Exec(5, 0, InquiryCdb(), buffer, 96, kSrbPosting, CountImmediatePost);
    EXPECT_EQ(service.SendCommand(&missing), kSsInvalidHa);
    SrbExecScsiCmd present = Exec(0, 1, InquiryCdb(), buffer, 96, kSrbPosting, CountImmediatePost);
    EXPECT_EQ(service.SendCommand(&present), kSsPending);
    ASSERT_TRUE(WaitDone(&present));
    ASSERT_TRUE(service.WaitIdle(5000));
    EXPECT_EQ(g_immediate_posts, 1) << "requests answered at once are not posted";
}

// A device that answers at once, as the library a running program uses:
// a request without posting is complete when the send returns, with the
// data, the status and the sense in the block; a posted one still
// completes on the worker with its one post call; and no log is kept.
TEST(AspiService, AtOnceRequestsAreCompleteWhenTheSendReturnsUnlessPosted) {
    AspiService service(Parse("adapter\n device 1\n  on tur check 02 3A 00 at-once times 1\n  on any at-once\n"));
    service.KeepLog(false);
    std::uint8_t scratch[80];
    SrbExecScsiCmd failed = Exec(0, 1, TurCdb(), scratch, 80);
    EXPECT_EQ(service.SendCommand(&failed), kSsErr);
    EXPECT_EQ(failed.SRB_Status, kSsErr);
    EXPECT_EQ(failed.SRB_TargStat, 0x02);
    EXPECT_EQ(failed.SenseArea[2], 0x02);
    EXPECT_EQ(failed.SenseArea[12], 0x3A);
    SrbExecScsiCmd ready = Exec(0, 1, TurCdb(), scratch, 80);
    EXPECT_EQ(service.SendCommand(&ready), kSsComp);
    std::uint8_t buffer[96] = {};
    SrbExecScsiCmd inquiry = Exec(0, 1, InquiryCdb(), buffer, 96);
    EXPECT_EQ(service.SendCommand(&inquiry), kSsComp);
    EXPECT_EQ(buffer[4], 91) << "the data is there with the status";

    g_immediate_posts = 0;
    SrbExecScsiCmd posted = Exec(0, 1, InquiryCdb(), buffer, 96, kSrbPosting, CountImmediatePost);
    EXPECT_EQ(service.SendCommand(&posted), kSsPending);
    ASSERT_TRUE(WaitDone(&posted));
    ASSERT_TRUE(service.WaitIdle(5000));
    EXPECT_EQ(posted.SRB_Status, kSsComp);
    EXPECT_EQ(g_immediate_posts, 1);
    EXPECT_TRUE(service.Calls().empty());
    EXPECT_TRUE(service.bus().Requests().empty());
}

// The program's scan: the post routine, on the service's thread, hands the
// block to the window thread and waits until that thread has handled it
// (a sent message); the handler stores the answer and at once sends the
// next INQUIRY in the same block.
struct ScanChain {
    AspiService* service = nullptr;
    SrbExecScsiCmd srb{};
    std::uint8_t buffer[96] = {};
    std::mutex mutex;
    std::condition_variable changed;
    SrbExecScsiCmd* handed = nullptr;
    int posts = 0;
    int concurrent_posts = 0;
    int max_concurrent_posts = 0;
    std::thread::id post_thread;
};
ScanChain* g_chain = nullptr;

void ChainPost(SrbExecScsiCmd* srb) {
    std::unique_lock<std::mutex> lock(g_chain->mutex);
    ++g_chain->posts;
    g_chain->max_concurrent_posts = std::max(g_chain->max_concurrent_posts, ++g_chain->concurrent_posts);
    g_chain->post_thread = std::this_thread::get_id();
    g_chain->handed = srb;
    g_chain->changed.notify_all();
    g_chain->changed.wait(lock, [] { return g_chain->handed == nullptr; });
    --g_chain->concurrent_posts;
}

TEST(AspiService, PostedChainGetsExactlyOnePostPerRequest) {
    AspiService service(DefaultScenario());
    ScanChain chain;
    chain.service = &service;
    g_chain = &chain;
    constexpr int kRounds = 10;
    constexpr int kRequests = kRounds * 16;  // IDs 0 to 7 of both adapters, ten times over

    auto send = [&](int index) {
        chain.srb = Exec(static_cast<std::uint8_t>((index / 8) % 2), static_cast<std::uint8_t>(index % 8), InquiryCdb(),
                         chain.buffer, 96, kSrbPosting, ChainPost);
        std::memset(chain.buffer, 0, sizeof chain.buffer);
        EXPECT_EQ(service.SendCommand(&chain.srb), kSsPending);
    };

    std::vector<std::uint8_t> statuses;
    std::vector<std::string> vendors;
    send(0);
    for (int handled = 0; handled < kRequests; ++handled) {
        std::unique_lock<std::mutex> lock(chain.mutex);
        ASSERT_TRUE(chain.changed.wait_for(lock, std::chrono::seconds(5), [&] { return chain.handed != nullptr; }))
            << "completion " << handled << " never posted";
        ASSERT_EQ(chain.handed, &chain.srb);
        statuses.push_back(StatusOf(chain.handed));
        vendors.emplace_back(reinterpret_cast<char*>(chain.buffer) + 8, 7);
        // The window thread sends the next request while the post routine waits.
        if (handled + 1 < kRequests) send(handled + 1);
        chain.handed = nullptr;
        chain.changed.notify_all();
    }
    ASSERT_TRUE(service.WaitIdle(5000));
    EXPECT_EQ(chain.posts, kRequests);
    EXPECT_EQ(chain.max_concurrent_posts, 1);
    EXPECT_NE(chain.post_thread, std::this_thread::get_id()) << "posted from the service's own thread";
    EXPECT_EQ(service.Outstanding(), 0);
    EXPECT_TRUE(service.Violations().empty());

    ASSERT_EQ(statuses.size(), static_cast<std::size_t>(kRequests));
    for (int i = 0; i < kRequests; ++i) {
        const int adapter = (i / 8) % 2, target = i % 8;
        const bool present = (adapter == 0 && (target == 0 || target == 4)) ||
                             (adapter == 1 && (target == 2 || target == 5));
        EXPECT_EQ(statuses[i], present ? kSsComp : kSsNoDevice) << "request " << i << ": final when posted";
        if (present) {
            EXPECT_NE(vendors[i], std::string(7, '\0')) << "data stored before the post";
        }
    }
    const auto log = service.bus().Requests();
    ASSERT_EQ(log.size(), static_cast<std::size_t>(kRequests));
    EXPECT_EQ(log[13].adapter, 1);
    EXPECT_EQ(log[13].target, 5);
    EXPECT_EQ(log[13].aspi_flags, kSrbPosting);
    g_chain = nullptr;
}

std::atomic<int> g_post_counts[8];
std::atomic<int> g_stale_posts{0};
void CountingPost(SrbExecScsiCmd* srb) {
    if (StatusOf(srb) == kSsPending) ++g_stale_posts;
    ++g_post_counts[srb->SRB_Rsvd2[0]];
    std::atomic_ref<std::uint8_t>(srb->SRB_Rsvd2[1]).store(1, std::memory_order_release);
}

TEST(AspiService, ManyThreadsEachRequestPostedOnce) {
    AspiService service(Parse(R"(
adapter
  device 0
    on inquiry delay 1 times 20
  device 1
  device 2
    on tur check 06 29 00
)"));
    for (auto& count : g_post_counts) count = 0;
    g_stale_posts = 0;
    constexpr int kThreads = 8, kEach = 60;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            std::uint8_t buffer[96];
            SrbExecScsiCmd srb{};
            for (int i = 0; i < kEach; ++i) {
                srb = Exec(0, static_cast<std::uint8_t>(i % 4), i % 2 ? InquiryCdb() : TurCdb(), buffer, 96,
                           kSrbPosting, CountingPost);
                srb.SRB_Rsvd2[0] = static_cast<std::uint8_t>(t);
                ASSERT_EQ(service.SendCommand(&srb), kSsPending);
                // The block is reused only once its post routine has run.
                const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
                while (std::atomic_ref<std::uint8_t>(srb.SRB_Rsvd2[1]).load(std::memory_order_acquire) == 0) {
                    ASSERT_LT(std::chrono::steady_clock::now(), end);
                    std::this_thread::yield();
                }
                const std::uint8_t status = StatusOf(&srb);
                EXPECT_TRUE(status == kSsComp || status == kSsErr || status == kSsNoDevice) << int(status);
            }
        });
    }
    for (auto& thread : threads) thread.join();
    ASSERT_TRUE(service.WaitIdle(5000));
    for (int t = 0; t < kThreads; ++t) EXPECT_EQ(g_post_counts[t].load(), kEach) << "thread " << t;
    EXPECT_EQ(g_stale_posts.load(), 0) << "a post routine saw SS_PENDING";
    EXPECT_EQ(service.bus().Requests().size(), static_cast<std::size_t>(kThreads * kEach));
    EXPECT_TRUE(service.Violations().empty());
}

TEST(AspiService, DataAndSenseAreVisibleWithTheStatus) {
    AspiService service(DefaultScenario());
    const auto expected = service.bus().FindDevice(0, 0, 0, 0)->InquiryData();
    const Bytes sense = FixedSense(0x02, 0x3A, 0x00);
    for (int round = 0; round < 300; ++round) {
        std::uint8_t buffer[96] = {};
        SrbExecScsiCmd inquiry = Exec(0, 0, InquiryCdb(), buffer, 96);
        std::uint8_t scratch[80];
        SrbExecScsiCmd tur = Exec(0, 4, TurCdb(), scratch, 80);
        service.SendCommand(&inquiry);
        service.SendCommand(&tur);
        // Another thread looks the moment the status changes.
        std::thread reader([&] {
            ASSERT_TRUE(WaitDone(&inquiry));
            EXPECT_EQ(std::memcmp(buffer, expected.data(), 96), 0) << "round " << round;
            ASSERT_TRUE(WaitDone(&tur));
            EXPECT_EQ(tur.SRB_TargStat, 0x02);
            EXPECT_EQ(std::memcmp(tur.SenseArea, sense.data(), 14), 0) << "round " << round;
        });
        reader.join();
        if (::testing::Test::HasFailure()) break;
    }
}

int g_aborted_posts = 0;
std::uint8_t g_aborted_post_status = 0xFF;
void AbortedPost(SrbExecScsiCmd* srb) {
    ++g_aborted_posts;
    g_aborted_post_status = StatusOf(srb);
}

TEST(AspiService, AbortEndsARequestThatNeverCompletes) {
    AspiService service(Parse("adapter\n device 1\n  on tur hang\n adapter\n"), AspiService::TimeMode::Manual);
    std::uint8_t scratch[80];
    SrbExecScsiCmd srb = Exec(0, 1, TurCdb(), scratch, 80);
    EXPECT_EQ(service.SendCommand(&srb), kSsPending);
    service.AdvanceTime(3600 * 1000);
    EXPECT_EQ(StatusOf(&srb), kSsPending) << "never completes by itself";
    EXPECT_EQ(service.Outstanding(), 1);
    EXPECT_TRUE(service.WaitIdle(0)) << "a hung request is not work due";

    SrbAbort wrong_adapter{};
    wrong_adapter.SRB_Cmd = kScAbortSrb;
    wrong_adapter.SRB_HaId = 1;
    wrong_adapter.SRB_ToAbort = &srb;
    EXPECT_EQ(service.SendCommand(&wrong_adapter), kSsAbortFail) << "the request is on adapter 0";
    EXPECT_EQ(StatusOf(&srb), kSsPending);

    SrbAbort abort{};
    abort.SRB_Cmd = kScAbortSrb;
    abort.SRB_HaId = 0;
    abort.SRB_ToAbort = &srb;
    EXPECT_EQ(service.SendCommand(&abort), kSsComp);
    EXPECT_EQ(abort.SRB_Status, kSsComp);
    EXPECT_EQ(srb.SRB_Status, kSsAborted);
    EXPECT_EQ(service.Outstanding(), 0);

    // The service never touches the aborted block again.
    std::memset(&srb, 0x5A, sizeof srb);
    service.AdvanceTime(1000);
    EXPECT_TRUE(service.WaitIdle(1000));
    SrbExecScsiCmd untouched;
    std::memset(&untouched, 0x5A, sizeof untouched);
    EXPECT_EQ(std::memcmp(&srb, &untouched, sizeof srb), 0);

    SrbAbort again{};
    again.SRB_Cmd = kScAbortSrb;
    again.SRB_ToAbort = &untouched;
    EXPECT_EQ(service.SendCommand(&again), kSsAbortFail) << "nothing outstanding to abort";
    SrbAbort null_target{};
    null_target.SRB_Cmd = kScAbortSrb;
    EXPECT_EQ(service.SendCommand(&null_target), kSsInvalidSrb);
    SrbAbort bad_adapter{};
    bad_adapter.SRB_Cmd = kScAbortSrb;
    bad_adapter.SRB_HaId = 9;
    bad_adapter.SRB_ToAbort = &srb;
    EXPECT_EQ(service.SendCommand(&bad_adapter), kSsInvalidHa);

    // A posted request that is aborted still gets its one post call.
    g_aborted_posts = 0;
    SrbExecScsiCmd posted = Exec(0, 1, TurCdb(), scratch, 80, kSrbPosting, AbortedPost);
    EXPECT_EQ(service.SendCommand(&posted), kSsPending);
    SrbAbort abort_posted{};
    abort_posted.SRB_Cmd = kScAbortSrb;
    abort_posted.SRB_ToAbort = &posted;
    EXPECT_EQ(service.SendCommand(&abort_posted), kSsComp);
    EXPECT_TRUE(service.WaitIdle(5000));
    EXPECT_EQ(g_aborted_posts, 1);
    EXPECT_EQ(g_aborted_post_status, kSsAborted);

    const auto calls = service.Calls();
    ASSERT_GE(calls.size(), 3u);
    EXPECT_EQ(calls[2].kind, AspiCall::Kind::Abort);
    EXPECT_EQ(calls[2].to_abort, &srb);
}

TEST(AspiService, AbortOfADelayedRequestStopsItsCompletion) {
    AspiService service(Parse("adapter\n device 1\n  on inquiry delay 100\n"), AspiService::TimeMode::Manual);
    std::uint8_t buffer[96] = {};
    SrbExecScsiCmd srb = Exec(0, 1, InquiryCdb(), buffer, 96);
    service.SendCommand(&srb);
    service.AdvanceTime(60);
    SrbAbort abort{};
    abort.SRB_Cmd = kScAbortSrb;
    abort.SRB_ToAbort = &srb;
    EXPECT_EQ(service.SendCommand(&abort), kSsComp);
    service.AdvanceTime(100);
    EXPECT_EQ(srb.SRB_Status, kSsAborted);
    EXPECT_EQ(buffer[0], 0) << "no data delivered";
    EXPECT_EQ(service.bus().Requests().size(), 1u) << "the command had reached the device";
}

TEST(AspiService, ABlockSentAgainWhileOutstandingIsRefused) {
    AspiService service(Parse("adapter\n device 1\n  on tur delay 10\n"), AspiService::TimeMode::Manual);
    std::uint8_t scratch[80];
    SrbExecScsiCmd srb = Exec(0, 1, TurCdb(), scratch, 80);
    EXPECT_EQ(service.SendCommand(&srb), kSsPending);
    EXPECT_EQ(service.SendCommand(&srb), kSsInvalidSrb);
    EXPECT_EQ(StatusOf(&srb), kSsPending) << "the first request keeps its block";
    ASSERT_EQ(service.Violations().size(), 1u);
    service.AdvanceTime(10);
    EXPECT_EQ(StatusOf(&srb), kSsComp);
    EXPECT_EQ(service.bus().Requests().size(), 1u);
}

TEST(AspiService, ResidualCountAndTheRecordOfEachBlock) {
    AspiService service(DefaultScenario());
    std::uint8_t buffer[200] = {};
    SrbExecScsiCmd srb = Exec(0, 0, {0x12, 0, 0, 0, 36, 0}, buffer, 200, kSrbEnableResidualCount | kSrbDirIn);
    srb.SRB_Rsvd2[5] = 0x77;
    service.SendCommand(&srb);
    ASSERT_TRUE(WaitDone(&srb));
    EXPECT_EQ(srb.SRB_BufLen, 200u - 36u) << "the bytes not moved";

    const auto calls = service.Calls();
    ASSERT_EQ(calls.size(), 1u);
    const AspiCall& call = calls[0];
    EXPECT_EQ(call.buf_len, 200u) << "recorded as sent, not as returned";
    ASSERT_EQ(call.bytes.size(), sizeof(SrbExecScsiCmd));
    EXPECT_EQ(call.bytes[offsetof(SrbExecScsiCmd, SRB_Rsvd2) + 5], 0x77);
    const auto log = service.bus().Requests();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].srb, call.bytes);
    EXPECT_EQ(log[0].direction, DataDirection::In);
}

TEST(AspiService, RealTimeDelaysAndACleanShutdown) {
    AspiService service(Parse("adapter\n device 1\n  on tur delay 30\n  device 2\n  on tur hang\n"));
    std::uint8_t scratch[80];
    SrbExecScsiCmd slow = Exec(0, 1, TurCdb(), scratch, 80);
    SrbExecScsiCmd hung = Exec(0, 2, TurCdb(), scratch, 80);
    const auto start = std::chrono::steady_clock::now();
    service.SendCommand(&slow);
    service.SendCommand(&hung);
    EXPECT_EQ(StatusOf(&slow), kSsPending);
    ASSERT_TRUE(WaitDone(&slow));
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(30));
    EXPECT_EQ(StatusOf(&hung), kSsPending);
    // Leaving the scope destroys the service with a request outstanding.
}

}  // namespace
}  // namespace td::sim
