// The diagnostic commands through ASPI: the blocks sent, the waits on the
// clock, the abort, classification and the READ BUFFER compare.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "resources/resource_ids.h"
#include "scsi/aspi_commands.h"
#include "scsi/data_pattern.h"
#include "support/fake_aspi_library.h"
#include "support/fake_clock.h"
#include "support/scripted_messages.h"

namespace td {
namespace {

using test::AspiAnswer;
using test::kNeverCompletes;

std::vector<std::uint8_t> Pattern(std::size_t size) {
    std::vector<std::uint8_t> data(size);
    for (std::size_t i = 0; i < size; ++i) data[i] = i % 2 == 0 ? 0xAA : 0x55;
    return data;
}

std::vector<std::uint8_t> NoMediaSense() {
    std::vector<std::uint8_t> sense(14, 0);
    sense[0] = 0x70;
    sense[2] = 0x02;
    sense[12] = 0x3A;
    return sense;
}

std::vector<std::uint8_t> ResetSense() {
    std::vector<std::uint8_t> sense(14, 0);
    sense[0] = 0x70;
    sense[2] = 0x06;
    sense[12] = 0x29;
    return sense;
}

AspiAnswer After(std::uint32_t ms) {
    AspiAnswer answer;
    answer.completes_after_ms = ms;
    return answer;
}

using Command = int (*)(ScsiCommandContext&, std::int32_t, std::int32_t);

struct CommandCase {
    const char* name;
    Command run;
    std::uint32_t wait_ms;
};

const CommandCase kCommands[] = {
    {"TEST UNIT READY", aspi_test_unit_ready, 2000},
    {"WRITE BUFFER", aspi_write_buffer, 8000},
    {"READ BUFFER", aspi_read_buffer, 8000},
};

class AspiCommands : public ::testing::Test {
protected:
    test::FakeClock clock{1000};
    test::FakeAspiLibrary library{clock};
    test::ScriptedMessages messages;
    Inventory inventory{};
    SenseReport sense_report{};
    LastError last_error{};
    aspi::SrbExecScsiCmd exec_srb{};
    AspiCommandArea area{};
    ScsiCommandContext context{inventory, clock, messages, sense_report, last_error,
                               exec_srb,  area,  &library, nullptr,      ProcessHeap()};

    void SetUp() override {
        inventory.platform = kPlatformWin95;
        // READ BUFFER answers with the pattern unless a test says otherwise.
        library.default_answer.data = Pattern(512);
    }

    const aspi::SrbExecScsiCmd& Sent(std::size_t i = 0) { return library.execs().at(i).block; }
};

TEST_F(AspiCommands, TestUnitReadyBlock) {
    // What the device scan leaves behind in the shared block.
    exec_srb.SRB_Flags = aspi::kSrbPosting;
    exec_srb.SRB_PostProc = reinterpret_cast<void*>(0x1234);
    exec_srb.SRB_BufPointer = reinterpret_cast<std::uint8_t*>(0x5678);
    exec_srb.SRB_BufLen = 36;
    exec_srb.SRB_Lun = 3;
    exec_srb.SRB_HaStat = 0x11;
    exec_srb.SRB_TargStat = 0x02;
    std::memset(exec_srb.CDBByte, 0x12, sizeof exec_srb.CDBByte);
    std::memset(exec_srb.SenseArea, 0x70, sizeof exec_srb.SenseArea);
    // Reserved fields are not the commands' to touch.
    exec_srb.SRB_Hdr_Rsvd = 0xA5A5F00Du;
    exec_srb.SRB_Rsvd1 = 0xBEEF;
    std::memset(exec_srb.SRB_Rsvd2, 0x5A, sizeof exec_srb.SRB_Rsvd2);

    EXPECT_EQ(aspi_test_unit_ready(context, 0x102, 0x305), 1);
    ASSERT_EQ(library.execs().size(), 1u);
    const aspi::SrbExecScsiCmd& srb = Sent();
    EXPECT_EQ(library.execs()[0].address, &exec_srb);
    EXPECT_EQ(srb.SRB_Cmd, 0x02);
    EXPECT_EQ(srb.SRB_Status, 0x00);
    EXPECT_EQ(srb.SRB_HaId, 0x02) << "low byte of the adapter number";
    EXPECT_EQ(srb.SRB_Flags, 0x00) << "no posting, no direction";
    EXPECT_EQ(srb.SRB_Target, 0x05) << "low byte of the SCSI ID";
    EXPECT_EQ(srb.SRB_Lun, 0);
    EXPECT_EQ(srb.SRB_BufLen, 80u);
    EXPECT_NE(srb.SRB_BufPointer, nullptr);
    EXPECT_EQ(srb.SRB_SenseLen, 14);
    EXPECT_EQ(srb.SRB_CDBLen, 6);
    EXPECT_EQ(srb.SRB_HaStat, 0);
    EXPECT_EQ(srb.SRB_TargStat, 0);
    EXPECT_EQ(static_cast<const void*>(srb.SRB_PostProc), nullptr);  // a copy: the field is packed
    for (const std::uint8_t b : srb.CDBByte) EXPECT_EQ(b, 0);
    for (const std::uint8_t b : srb.SenseArea) EXPECT_EQ(b, 0);
    EXPECT_EQ(srb.SRB_Hdr_Rsvd, 0xA5A5F00Du);
    EXPECT_EQ(srb.SRB_Rsvd1, 0xBEEF);
    for (const std::uint8_t b : srb.SRB_Rsvd2) EXPECT_EQ(b, 0x5A);
}

TEST_F(AspiCommands, BufferCommandBlocksAndThePatternSent) {
    EXPECT_EQ(aspi_write_buffer(context, 1, 6), 1);
    EXPECT_EQ(aspi_read_buffer(context, 1, 6), 1);
    ASSERT_EQ(library.execs().size(), 2u);

    const std::uint8_t write_cdb[16] = {0x3B, 0x02, 0, 0, 0, 0, 0, 0x02, 0, 0};
    const std::uint8_t read_cdb[16] = {0x3C, 0x02, 0, 0, 0, 0, 0, 0x02, 0, 0};
    for (std::size_t i = 0; i < 2; ++i) {
        const aspi::SrbExecScsiCmd& srb = Sent(i);
        SCOPED_TRACE(i == 0 ? "WRITE BUFFER" : "READ BUFFER");
        EXPECT_EQ(srb.SRB_Cmd, 0x02);
        EXPECT_EQ(srb.SRB_HaId, 1);
        EXPECT_EQ(srb.SRB_Target, 6);
        EXPECT_EQ(srb.SRB_Lun, 0);
        EXPECT_EQ(srb.SRB_Flags, 0);
        EXPECT_EQ(srb.SRB_BufLen, 512u);
        EXPECT_NE(srb.SRB_BufPointer, nullptr);
        EXPECT_EQ(srb.SRB_SenseLen, 14);
        EXPECT_EQ(srb.SRB_CDBLen, 10);
        EXPECT_EQ(static_cast<const void*>(srb.SRB_PostProc), nullptr);  // a copy: the field is packed
        EXPECT_EQ(0, std::memcmp(srb.CDBByte, i == 0 ? write_cdb : read_cdb, 16));
    }
    EXPECT_EQ(library.execs()[0].data, Pattern(512)) << "WRITE BUFFER sends 0xAA, 0x55, ...";
    EXPECT_NE(Sent(0).SRB_BufPointer, Sent(1).SRB_BufPointer) << "READ BUFFER receives into a buffer of its own";
}

TEST_F(AspiCommands, PendingRequestTakesTheFullWaitHoweverEarlyItCompletes) {
    for (const CommandCase& command : kCommands) {
        SCOPED_TRACE(command.name);
        AspiAnswer answer = After(3);
        answer.data = Pattern(512);
        library.Queue(answer);
        const std::uint32_t start = clock.now();
        const std::uint64_t idles = clock.idles();
        EXPECT_EQ(command.run(context, 0, 1), 1);
        EXPECT_EQ(clock.now() - start, command.wait_ms);
        EXPECT_EQ(library.completions().back(), start + 3) << "finished long before the wait ended";
        EXPECT_GT(clock.idles(), idles) << "the wait yields between looks at the ticks";
        EXPECT_TRUE(library.aborts().empty());
    }
}

TEST_F(AspiCommands, FinishedRequestTakesNoWait) {
    for (const CommandCase& command : kCommands) {
        SCOPED_TRACE(command.name);
        const std::uint32_t start = clock.now();
        EXPECT_EQ(command.run(context, 0, 1), 1);
        EXPECT_EQ(clock.now(), start);
    }
    // A request the library refuses at once fails just as quickly.
    AspiAnswer no_device;
    no_device.status = aspi::kSsNoDevice;
    library.Queue(no_device);
    const std::uint32_t start = clock.now();
    EXPECT_EQ(aspi_test_unit_ready(context, 0, 9), 0);
    EXPECT_EQ(clock.now(), start);
    EXPECT_EQ(clock.idles(), 0u);
}

TEST_F(AspiCommands, RequestRefusedAtSendFailsAtOnceNamingTheStatusWhetherOrNotTheBlockWasWritten) {
    for (const AspiAnswer::Refusal refusal : {AspiAnswer::Refusal::Written, AspiAnswer::Refusal::Untouched}) {
        for (const CommandCase& command : kCommands) {
            SCOPED_TRACE(command.name);
            AspiAnswer answer;
            answer.status = aspi::kSsInvalidSrb;
            answer.refusal = refusal;
            library.Queue(answer);
            const std::size_t aborts = library.aborts().size();
            const std::uint32_t start = clock.now();
            last_error = {};
            EXPECT_EQ(command.run(context, 0, 1), 0);
            EXPECT_EQ(clock.now(), start) << "nothing to wait for";
            EXPECT_EQ(library.aborts().size(), aborts) << "nothing to abort";
            EXPECT_EQ(exec_srb.SRB_Status, aspi::kSsInvalidSrb);
            EXPECT_EQ(last_error.text_id, IDS_ASPI_REQUEST_REFUSED);
            EXPECT_EQ(last_error.values[0], aspi::kSsInvalidSrb);
        }
    }
}

TEST_F(AspiCommands, WaitKeepsItsLengthWhenTheTickCounterWraps) {
    test::FakeClock near_wrap(0xFFFFFFFFu - 700);
    test::FakeAspiLibrary near_wrap_library(near_wrap);
    ScsiCommandContext wrapping{inventory, near_wrap, messages,           sense_report, last_error,
                                exec_srb,  area,      &near_wrap_library, nullptr,      ProcessHeap()};
    near_wrap_library.Queue(After(1));
    const std::uint32_t start = near_wrap.now();
    EXPECT_EQ(aspi_test_unit_ready(wrapping, 0, 1), 1);
    EXPECT_EQ(static_cast<std::uint32_t>(near_wrap.now() - start), 2000u);
}

TEST_F(AspiCommands, RequestNeverCompletingIsAbortedAndFailsWithItsWaitRecorded) {
    for (const CommandCase& command : kCommands) {
        SCOPED_TRACE(command.name);
        sense_report = {6, 0x29, 0, 5801};
        AspiAnswer answer = After(kNeverCompletes);
        answer.targ_stat = aspi::kStatusCheckCondition;
        answer.sense = NoMediaSense();
        library.Queue(answer);
        const std::size_t aborts = library.aborts().size();
        const std::uint32_t start = clock.now();

        EXPECT_EQ(command.run(context, 0x203, 4), 0);
        ASSERT_EQ(library.aborts().size(), aborts + 1);
        const test::SentAbort& abort = library.aborts().back();
        EXPECT_EQ(abort.block.SRB_Cmd, 0x03);
        EXPECT_EQ(abort.block.SRB_HaId, 0x03) << "the adapter of the command";
        EXPECT_EQ(abort.block.SRB_Flags, 0);
        EXPECT_EQ(abort.block.SRB_Hdr_Rsvd, 0u);
        EXPECT_EQ(abort.block.SRB_ToAbort, &exec_srb);
        EXPECT_EQ(abort.sent_at, start + command.wait_ms);
        EXPECT_EQ(clock.now() - start, command.wait_ms) << "an abort finished at once adds no wait";
        EXPECT_EQ(sense_report.message_id, 5801) << "the sense area of an unfinished request is not read";
        EXPECT_EQ(sense_report.sense_key, 6);
        EXPECT_EQ(sense_report.sense_code, 0x29);
        EXPECT_EQ(last_error.text_id, IDS_REQUEST_ABORTED);
        EXPECT_EQ(last_error.values[0], command.wait_ms / 1000) << "the seconds waited";
    }
}

TEST_F(AspiCommands, PendingAbortGetsHalfASecondOfItsOwn) {
    library.Queue(After(kNeverCompletes));
    library.abort_completes_after_ms = 20;
    std::uint32_t start = clock.now();
    EXPECT_EQ(aspi_test_unit_ready(context, 0, 1), 0);
    EXPECT_EQ(clock.now() - start, 2000u + 500u);

    // An abort that never finishes changes nothing either.
    library.Queue(After(kNeverCompletes));
    library.abort_completes_after_ms = kNeverCompletes;
    start = clock.now();
    EXPECT_EQ(aspi_write_buffer(context, 0, 1), 0);
    EXPECT_EQ(clock.now() - start, 8000u + 500u);
}

TEST_F(AspiCommands, LateCompletionAfterAFailedAbortWritesOnlyIntoLiveMemory) {
    AspiAnswer answer = After(9000);
    answer.data = Pattern(512);
    library.Queue(answer);
    library.abort_status = aspi::kSsAbortFail;
    library.abort_completes_after_ms = 600;
    const std::uint32_t start = clock.now();
    EXPECT_EQ(aspi_read_buffer(context, 0, 2), 0);
    EXPECT_EQ(clock.now() - start, 8500u);
    ASSERT_EQ(library.outstanding(), 1u) << "the library still holds the request";

    // Both the abort block and the receive buffer are written after the
    // command has returned: they must be memory that still exists.
    const auto* receive = Sent().SRB_BufPointer;
    EXPECT_TRUE(receive >= reinterpret_cast<const std::uint8_t*>(&area) &&
                receive + 512 <= reinterpret_cast<const std::uint8_t*>(&area + 1));
    EXPECT_EQ(library.aborts().at(0).address, &area.abort_srb);
    clock.Advance(600);
    clock.Advance(400);
    EXPECT_EQ(library.outstanding(), 0u);
    EXPECT_EQ(area.abort_srb.SRB_Status, aspi::kSsAbortFail);
    EXPECT_EQ(exec_srb.SRB_Status, aspi::kSsComp);
    EXPECT_EQ(sense_report.message_id, 0) << "a late completion is not judged";

    // The next command starts from a clean receive buffer and block.
    AspiAnswer empty;
    empty.data.clear();
    library.Queue(empty);
    EXPECT_EQ(aspi_read_buffer(context, 0, 2), 0) << "no data came back this time";
}

TEST_F(AspiCommands, ErrorStatusWithGoodTargetIsCleanButFails) {
    AspiAnswer answer;
    answer.status = aspi::kSsErr;
    answer.sense = ResetSense();  // left in the block: a clean request's sense is not looked at
    library.Queue(answer);
    EXPECT_EQ(aspi_test_unit_ready(context, 0, 1), 0);
    EXPECT_EQ(sense_report.message_id, 0);
    EXPECT_EQ(sense_report.sense_key, 0);
    EXPECT_EQ(last_error.text_id, IDS_ASPI_REQUEST_STATUS) << "the request's own status explains it";
    EXPECT_EQ(last_error.values[0], aspi::kSsErr);

    // The same sense with CHECK CONDITION is interpreted.
    answer.targ_stat = aspi::kStatusCheckCondition;
    library.Queue(answer);
    EXPECT_EQ(aspi_test_unit_ready(context, 0, 1), 0);
    EXPECT_EQ(sense_report.message_id, 5801);

    // A completed request with CONDITION MET passes without a look at the sense.
    sense_report = {};
    answer.status = aspi::kSsComp;
    answer.targ_stat = aspi::kStatusConditionMet;
    library.Queue(answer);
    EXPECT_EQ(aspi_test_unit_ready(context, 0, 1), 1);
    EXPECT_EQ(sense_report.message_id, 0);
}

TEST_F(AspiCommands, CheckConditionRecordsTheSenseInTheSenseReportOnly) {
    for (const CommandCase& command : kCommands) {
        SCOPED_TRACE(command.name);
        sense_report = {};
        AspiAnswer answer = After(100);
        answer.status = aspi::kSsErr;
        answer.targ_stat = aspi::kStatusCheckCondition;
        answer.sense = NoMediaSense();
        library.Queue(answer);
        EXPECT_EQ(command.run(context, 0, 1), 0);
        EXPECT_EQ(sense_report.sense_key, 2);
        EXPECT_EQ(sense_report.sense_code, 0x3A);
        EXPECT_EQ(sense_report.message_id, 5406);
        EXPECT_EQ(last_error.text_id, 0);
    }
    // An adapter failure is not clean either: its sense area is looked at,
    // holds nothing, and the adapter's status explains the failure; a
    // device status without sense data explains it likewise.
    sense_report = {};
    AspiAnswer timeout;
    timeout.status = aspi::kSsErr;
    timeout.ha_stat = aspi::kHaStatSelectionTimeout;
    library.Queue(timeout);
    EXPECT_EQ(aspi_test_unit_ready(context, 0, 1), 0);
    EXPECT_EQ(sense_report.message_id, 0);
    EXPECT_EQ(last_error.text_id, IDS_ADAPTER_STATUS);
    EXPECT_EQ(last_error.values[0], aspi::kHaStatSelectionTimeout);

    AspiAnswer busy;
    busy.status = aspi::kSsErr;
    busy.targ_stat = aspi::kStatusBusy;
    library.Queue(busy);
    EXPECT_EQ(aspi_test_unit_ready(context, 0, 1), 0);
    EXPECT_EQ(sense_report.message_id, 0);
    EXPECT_EQ(last_error.text_id, IDS_TARGET_STATUS);
    EXPECT_EQ(last_error.values[0], aspi::kStatusBusy);
}

// A mismatch is recorded with how many bytes differ and the first of them,
// as written and as read.
TEST_F(AspiCommands, ReadBufferMustReturnThePatternToTheLastByte) {
    const auto expect_mismatch = [&](std::uint32_t count, std::uint32_t first, std::uint32_t written,
                                     std::uint32_t read) {
        EXPECT_EQ(last_error.text_id, IDS_READ_BUFFER_MISMATCH);
        EXPECT_EQ(last_error.values[0], count);
        EXPECT_EQ(last_error.values[1], first);
        EXPECT_EQ(last_error.values[2], written);
        EXPECT_EQ(last_error.values[3], read);
    };
    AspiAnswer answer;
    answer.data = Pattern(512);
    answer.data[511] = 0x54;
    library.Queue(answer);
    EXPECT_EQ(aspi_read_buffer(context, 0, 1), 0);
    expect_mismatch(1, 511, 0x55, 0x54);

    answer.data = Pattern(512);
    answer.data[0] = 0xAB;
    answer.data[7] = 0x00;
    library.Queue(answer);
    EXPECT_EQ(aspi_read_buffer(context, 0, 1), 0);
    expect_mismatch(2, 0, 0xAA, 0xAB);

    answer.data = Pattern(256);  // half the buffer came back
    library.Queue(answer);
    EXPECT_EQ(aspi_read_buffer(context, 0, 1), 0);
    expect_mismatch(256, 256, 0xAA, 0x00);
    EXPECT_EQ(sense_report.message_id, 0);

    answer.data = Pattern(512);
    library.Queue(answer);
    EXPECT_EQ(aspi_read_buffer(context, 0, 1), 1);
    // A second read that brings no data must not pass on the first one's bytes.
    answer.data.clear();
    library.Queue(answer);
    EXPECT_EQ(aspi_read_buffer(context, 0, 1), 0);
}

TEST_F(AspiCommands, NothingIsSentWithoutALibrary) {
    context.aspi = nullptr;
    for (const CommandCase& command : kCommands) {
        ClearFailureRecords(sense_report, last_error);
        EXPECT_EQ(command.run(context, 0, 1), 0);
        EXPECT_EQ(last_error.text_id, IDS_ASPI_NOT_AVAILABLE);
    }
    EXPECT_TRUE(library.execs().empty());
}

}  // namespace
}  // namespace td
