// The diagnostic commands through the NT port driver: opening the slot's
// device, the pass-through blocks sent, the results and their reasons, and
// the buffer and device given back on every way out.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <iterator>
#include <string>
#include <vector>

#include "common/fixed_text.h"
#include "common/win_codes.h"
#include "resources/resource_ids.h"
#include "scsi/explanation.h"
#include "scsi/nt_layout.h"
#include "scsi/passthrough_commands.h"
#include "support/fake_clock.h"
#include "support/fake_pass_through.h"
#include "support/scripted_messages.h"

namespace td {
namespace {

using test::PassThroughAnswer;

constexpr char kDisk[] = "\\\\.\\C:";
constexpr char kTape[] = "\\\\.\\Tape0";

std::vector<std::uint8_t> Pattern(std::size_t size) {
    std::vector<std::uint8_t> data(size);
    for (std::size_t i = 0; i < size; ++i) data[i] = i % 2 == 0 ? 0xAA : 0x55;
    return data;
}

std::vector<std::uint8_t> Sense(std::uint8_t key, std::uint8_t asc, std::uint8_t ascq) {
    std::vector<std::uint8_t> sense(18, 0);
    sense[0] = 0x70;
    sense[2] = key;
    sense[7] = 10;
    sense[12] = asc;
    sense[13] = ascq;
    return sense;
}

template <typename T>
T BlockOf(const test::ControlCall& call) {
    T block;
    std::memset(&block, 0, sizeof block);
    std::memcpy(&block, call.in.data(), std::min(call.in.size(), sizeof block));
    return block;
}

using Command = int (*)(ScsiCommandContext&, std::int32_t, std::int32_t);

struct CommandCase {
    const char* name;
    Command run;
};

const CommandCase kCommands[] = {
    {"TEST UNIT READY", nt_test_unit_ready},
    {"WRITE BUFFER", nt_write_buffer},
    {"READ BUFFER", nt_read_buffer},
};

class PassThroughCommands : public ::testing::Test {
protected:
    test::FakeClock clock;
    test::FakePassThroughIo io;
    test::CountingHeap heap;
    test::ScriptedMessages messages;
    Inventory inventory{};
    SenseReport sense_report{};
    LastError last_error{};
    aspi::SrbExecScsiCmd exec_srb{};
    AspiCommandArea area{};
    ScsiCommandContext context{inventory, clock, messages, sense_report, last_error,
                               exec_srb,  area,  nullptr,  &io,          heap};

    void SetUp() override {
        inventory.platform = kPlatformNt;
        inventory.max_target_id = kMaxTargetIdWide;
        AddSlot(0, 7, "SCSI0:", win::kGenericReadWrite, win::kFileShareReadWrite);
        AddSlot(0, 2, "C:", win::kGenericReadWrite, win::kFileShareReadWrite);
        AddSlot(1, 4, "Tape0", win::kGenericRead, win::kFileShareRead);
        PassThroughAnswer good;
        good.data_in = Pattern(2048);
        io.AddDevice(kDisk, good);
        io.AddDevice(kTape, good);
    }

    void AddSlot(int adapter, int target, const char* path, std::uint32_t access, std::uint32_t share) {
        DeviceSlot& slot = inventory.slots[inventory.slot_count++];
        slot.adapter_number = adapter;
        slot.target_id = target;
        CopyText(slot.device_path, path);
        slot.access_mode = access;
        slot.share_mode = share;
    }

    std::string Explained() {
        FailureExplanation explanation;
        ExplainFailure(messages, sense_report, last_error, explanation);
        return explanation.text;
    }

    // Nothing left open or allocated after a command.
    void ExpectAllGivenBack() {
        EXPECT_EQ(io.open_handles(), 0);
        EXPECT_EQ(heap.outstanding(), 0);
        EXPECT_EQ(heap.freed_unknown, 0);
    }
};

TEST_F(PassThroughCommands, OpenTheFirstCountedSlotsDeviceWithItsAccessAndSharing) {
    AddSlot(1, 4, "Tape1", win::kGenericReadWrite, 0);  // same address, later slot: never used
    EXPECT_EQ(nt_test_unit_ready(context, 1, 4), 1);
    ASSERT_EQ(io.opens().size(), 1u);
    EXPECT_EQ(io.opens()[0].name, "\\\\.\\Tape0");
    EXPECT_EQ(io.opens()[0].access, win::kGenericRead);
    EXPECT_EQ(io.opens()[0].share, win::kFileShareRead);
    EXPECT_EQ(io.controls().at(0).device, kTape);
    ExpectAllGivenBack();
}

TEST_F(PassThroughCommands, TestUnitReadyBlock) {
    EXPECT_EQ(nt_test_unit_ready(context, 0, 2), 1);
    ASSERT_EQ(io.controls().size(), 1u);
    const test::ControlCall& call = io.controls()[0];
    EXPECT_EQ(call.code, 0x4D004u);
    EXPECT_EQ(call.in_size, sizeof(nt::ScsiPassThrough));
    EXPECT_EQ(call.out_size, offsetof(nt::PassThroughBlock, data));
    EXPECT_TRUE(call.in_is_out);
    const auto spt = BlockOf<nt::ScsiPassThrough>(call);
    EXPECT_EQ(spt.Length, sizeof(nt::ScsiPassThrough));
    EXPECT_EQ(spt.ScsiStatus, 0);
    EXPECT_EQ(spt.PathId, 0);
    EXPECT_EQ(spt.TargetId, 0) << "the handle addresses the device, not the block";
    EXPECT_EQ(spt.Lun, 0);
    EXPECT_EQ(spt.CdbLength, 6);
    EXPECT_EQ(spt.SenseInfoLength, 24);
    EXPECT_EQ(spt.DataIn, 1);
    EXPECT_EQ(spt.DataTransferLength, 0u);
    EXPECT_EQ(spt.TimeOutValue, 2u);
    EXPECT_EQ(spt.DataBufferOffset, offsetof(nt::PassThroughBlock, data));
    EXPECT_EQ(spt.SenseInfoOffset, offsetof(nt::PassThroughBlock, sense));
    for (const std::uint8_t b : spt.Cdb) EXPECT_EQ(b, 0);
    EXPECT_TRUE(heap.sizes.empty()) << "no data buffer for TEST UNIT READY";
    EXPECT_EQ(sense_report.message_id, 0);
    EXPECT_EQ(last_error.text_id, 0);
    ExpectAllGivenBack();
}

TEST_F(PassThroughCommands, BufferCommandBlocksAndThePatternSent) {
    EXPECT_EQ(nt_write_buffer(context, 0, 2), 1);
    EXPECT_EQ(nt_read_buffer(context, 0, 2), 1);
    ASSERT_EQ(io.controls().size(), 2u);
    const std::uint8_t write_cdb[16] = {0x3B, 0x02, 0, 0, 0, 0, 0, 0x08, 0, 0};
    const std::uint8_t read_cdb[16] = {0x3C, 0x02, 0, 0, 0, 0, 0, 0x08, 0, 0};
    for (std::size_t i = 0; i < 2; ++i) {
        SCOPED_TRACE(i == 0 ? "WRITE BUFFER" : "READ BUFFER");
        const test::ControlCall& call = io.controls()[i];
        EXPECT_EQ(call.code, 0x4D014u);
        EXPECT_EQ(call.in_size, sizeof(nt::PassThroughDirectBlock));
        EXPECT_EQ(call.out_size, sizeof(nt::PassThroughDirectBlock));
        EXPECT_TRUE(call.in_is_out);
        const auto sptd = BlockOf<nt::ScsiPassThroughDirect>(call);
        EXPECT_EQ(sptd.Length, sizeof(nt::ScsiPassThroughDirect));
        EXPECT_EQ(sptd.PathId, 0);
        EXPECT_EQ(sptd.TargetId, 0);
        EXPECT_EQ(sptd.Lun, 0);
        EXPECT_EQ(sptd.CdbLength, 10);
        EXPECT_EQ(sptd.SenseInfoLength, 24);
        EXPECT_EQ(sptd.DataIn, i == 0 ? 0 : 1);
        EXPECT_EQ(sptd.DataTransferLength, 2048u);
        EXPECT_EQ(sptd.TimeOutValue, 2u);
        EXPECT_NE(sptd.DataBuffer, nullptr);
        EXPECT_EQ(sptd.SenseInfoOffset, offsetof(nt::PassThroughDirectBlock, sense));
        EXPECT_EQ(0, std::memcmp(sptd.Cdb, i == 0 ? write_cdb : read_cdb, 16));
    }
    EXPECT_EQ(io.controls()[0].data_out, Pattern(2048)) << "1024 pairs of 0xAA, 0x55";
    EXPECT_EQ(heap.sizes, (std::vector<std::size_t>{2048, 2048}));
    ExpectAllGivenBack();
}

TEST_F(PassThroughCommands, NoMediaFailsWithItsSenseExplanation) {
    PassThroughAnswer& answer = io.answer(kDisk);
    answer.scsi_status = 0x02;  // CHECK CONDITION
    answer.sense = Sense(0x02, 0x3A, 0x00);
    for (const CommandCase& command : kCommands) {
        SCOPED_TRACE(command.name);
        ClearFailureRecords(sense_report, last_error);
        EXPECT_EQ(command.run(context, 0, 2), 0);
        EXPECT_EQ(sense_report.sense_key, 2);
        EXPECT_EQ(sense_report.sense_code, 0x3A);
        EXPECT_EQ(sense_report.sense_qualifier, 0);
        EXPECT_EQ(sense_report.message_id, 5406);
        EXPECT_EQ(last_error.text_id, 0) << "no system error was reported";
        EXPECT_EQ(Explained(), messages.Text(5406));
        ExpectAllGivenBack();
    }

    // The call itself succeeded: whatever error number is left over from
    // an earlier call is not this request's, and is not asked for.
    answer.last_error = win::kErrorNotReady;
    io.SetSystemMessage(win::kErrorNotReady, "The device is not ready.\r\n");
    ClearFailureRecords(sense_report, last_error);
    EXPECT_EQ(nt_test_unit_ready(context, 0, 2), 0);
    EXPECT_EQ(last_error.text_id, 0);
    EXPECT_EQ(Explained(), messages.Text(5406));

    // A status without sense data is named; a leftover error number again
    // plays no part.
    answer.scsi_status = 0x18;  // RESERVATION CONFLICT
    answer.sense.clear();
    ClearFailureRecords(sense_report, last_error);
    EXPECT_EQ(nt_write_buffer(context, 0, 2), 0);
    EXPECT_EQ(sense_report.message_id, 0);
    EXPECT_EQ(Explained(),
              "The device answered with status RESERVATION CONFLICT (18h) and no sense data the program could read.");
    ExpectAllGivenBack();
}

TEST_F(PassThroughCommands, FailedCallIsExplainedByTheSystemText) {
    PassThroughAnswer& answer = io.answer(kDisk);
    answer.call_fails = true;
    answer.last_error = win::kErrorSemTimeout;
    io.SetSystemMessage(win::kErrorSemTimeout, "The semaphore timeout period has expired.\r\n");
    for (const CommandCase& command : kCommands) {
        SCOPED_TRACE(command.name);
        ClearFailureRecords(sense_report, last_error);
        EXPECT_EQ(command.run(context, 0, 2), 0);
        EXPECT_EQ(last_error.text_id, kUseSystemText);
        EXPECT_EQ(Explained(), "The semaphore timeout period has expired.\r");
        EXPECT_EQ(sense_report.sense_key, 0);
        ExpectAllGivenBack();
    }

    // An error code the system has no text for is named by its number; a
    // failure without any code is a request the driver refused.
    answer.last_error = 1234;
    ClearFailureRecords(sense_report, last_error);
    EXPECT_EQ(nt_read_buffer(context, 0, 2), 0);
    EXPECT_EQ(Explained(), "The system reports error 1234 and gives no text for it.");
    answer.last_error = 0;
    ClearFailureRecords(sense_report, last_error);
    EXPECT_EQ(nt_write_buffer(context, 0, 2), 0);
    EXPECT_EQ(Explained(), "The SCSI port driver refused the request without giving a reason.");
    ExpectAllGivenBack();
}

TEST_F(PassThroughCommands, NoDataMovedMeansTheClassDriverDoesNotSupportIt) {
    io.answer(kDisk).transferred = 0;
    EXPECT_EQ(nt_write_buffer(context, 0, 2), 0);
    EXPECT_EQ(last_error.text_id, 6100);
    EXPECT_EQ(Explained(), messages.Text(6100));
    ExpectAllGivenBack();

    ClearFailureRecords(sense_report, last_error);
    EXPECT_EQ(nt_read_buffer(context, 0, 2), 0);
    EXPECT_EQ(last_error.text_id, 6100);
    ExpectAllGivenBack();
}

TEST_F(PassThroughCommands, ReadBufferComparesBytesFourToFiveHundredEleven) {
    PassThroughAnswer& answer = io.answer(kDisk);
    answer.data_in = Pattern(2048);
    answer.data_in[0] = 0x00;
    answer.data_in[1] = 0x01;
    answer.data_in[2] = 0x02;
    answer.data_in[3] = 0x03;
    answer.data_in[512] = 0x00;  // past the compared part
    answer.data_in[2047] = 0x00;
    EXPECT_EQ(nt_read_buffer(context, 0, 2), 1);
    EXPECT_EQ(last_error.text_id, 0);

    const struct {
        std::size_t offset;
        const char* differs;
    } cases[] = {
        {4, "Bytes that differ: 1, the first at offset 4 (written AAh, read 55h)."},
        {5, "Bytes that differ: 1, the first at offset 5 (written 55h, read AAh)."},
        {511, "Bytes that differ: 1, the first at offset 511 (written 55h, read AAh)."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.offset);
        ClearFailureRecords(sense_report, last_error);
        answer.data_in = Pattern(2048);
        answer.data_in[c.offset] ^= 0xFF;
        EXPECT_EQ(nt_read_buffer(context, 0, 2), 0);
        EXPECT_EQ(last_error.text_id, 6200);
        EXPECT_EQ(Explained(), messages.Text(6200) + "\n\n" + c.differs);
        ExpectAllGivenBack();
    }

    // Fewer bytes than compared: the rest of the buffer is zero, not the
    // pattern, and only the compared bytes are counted.
    ClearFailureRecords(sense_report, last_error);
    answer.data_in = Pattern(100);
    EXPECT_EQ(nt_read_buffer(context, 0, 2), 0);
    EXPECT_EQ(last_error.text_id, 6200);
    EXPECT_EQ(last_error.values[0], 412u);
    EXPECT_EQ(last_error.values[1], 100u);
}

TEST_F(PassThroughCommands, DeviceThatCannotBeReachedFailsSayingWhy) {
    AddSlot(2, 3, "Scanner0", win::kGenericReadWrite, 0);  // no such device object
    AddSlot(2, 5, "", win::kGenericReadWrite, 0);          // discovery found no name
    inventory.slots[10].adapter_number = 3;                // not counted
    inventory.slots[10].target_id = 1;
    CopyText(inventory.slots[10].device_path, "C:");
    io.SetSystemMessage(2, "The system cannot find the file specified.\r\n");

    const std::string not_opened = "The device could not be opened.\nThe system cannot find the file specified.\r";
    const std::string no_name = "No device name was found for this device, so it cannot be opened.";
    const struct {
        int adapter, target;
        std::size_t opens;
        const std::string& explained;
    } cases[] = {{2, 3, 1, not_opened}, {2, 5, 0, no_name}, {3, 1, 0, no_name}, {5, 5, 0, no_name}};
    for (const auto& c : cases) {
        for (const CommandCase& command : kCommands) {
            SCOPED_TRACE(testing::Message() << command.name << " at " << c.adapter << ":" << c.target);
            ClearFailureRecords(sense_report, last_error);
            const std::size_t opens = io.opens().size();
            EXPECT_EQ(command.run(context, c.adapter, c.target), 0);
            EXPECT_EQ(io.opens().size() - opens, c.opens);
            EXPECT_EQ(Explained(), c.explained);
            EXPECT_EQ(sense_report.sense_key, 0);
        }
    }
    EXPECT_TRUE(io.controls().empty());
    EXPECT_TRUE(heap.sizes.empty()) << "no buffer is taken for a device that is not open";
    EXPECT_EQ(io.opens().at(0).name, "\\\\.\\Scanner0");

    // Without a port driver at all.
    context.device_io = nullptr;
    ClearFailureRecords(sense_report, last_error);
    EXPECT_EQ(nt_test_unit_ready(context, 0, 2), 0);
    EXPECT_EQ(Explained(), "The SCSI port driver cannot be reached.");
}

TEST_F(PassThroughCommands, FailedAllocationIsShownAndNothingIsSent) {
    heap.fail = true;
    sense_report = {6, 0x29, 0, 5801};
    for (const Command command : {nt_write_buffer, nt_read_buffer}) {
        messages.Clear();
        EXPECT_EQ(command(context, 0, 2), 0);
        ASSERT_EQ(messages.boxes().size(), 1u);
        const test::ShownBox& box = messages.boxes()[0];
        EXPECT_EQ(box.text, "Program Error:  Could not allocate global memory !");
        EXPECT_EQ(box.caption, "Tessaline Diagnostics status:");
        EXPECT_EQ(box.owner, 0u);
        EXPECT_EQ(box.flags, win::kMbOk);
        ExpectAllGivenBack();
    }
    EXPECT_TRUE(io.controls().empty());
    EXPECT_EQ(sense_report.message_id, 5801) << "the sense report is left alone";
    EXPECT_EQ(last_error.text_id, IDS_NO_MEMORY) << "the failure box says what the message box said";
}

TEST_F(PassThroughCommands, EveryWayOutClosesTheDeviceAndFreesTheBuffer) {
    const auto with = [](auto change) {
        PassThroughAnswer answer;
        answer.data_in = Pattern(2048);
        change(answer);
        return answer;
    };
    const PassThroughAnswer outcomes[] = {
        with([](PassThroughAnswer&) {}),
        with([](PassThroughAnswer& a) {
            a.scsi_status = 0x02;
            a.sense = Sense(0x06, 0x29, 0);
        }),
        with([](PassThroughAnswer& a) { a.scsi_status = 0x08; }),
        with([](PassThroughAnswer& a) {
            a.call_fails = true;
            a.last_error = win::kErrorIoDevice;
        }),
        with([](PassThroughAnswer& a) { a.transferred = 0; }),
        with([](PassThroughAnswer& a) { a.data_in[100] = 0; }),
    };
    int commands = 0;
    for (const PassThroughAnswer& outcome : outcomes) {
        io.answer(kDisk) = outcome;
        for (const CommandCase& command : kCommands) {
            SCOPED_TRACE(command.name);
            command.run(context, 0, 2);
            ++commands;
            ExpectAllGivenBack();
        }
    }
    EXPECT_EQ(io.closes(), commands);
    EXPECT_EQ(heap.sizes.size(), 2u * std::size(outcomes));
}

TEST_F(PassThroughCommands, DevicePathIsCutToItsFieldWhateverTheFieldHolds) {
    DeviceSlot& slot = inventory.slots[1];
    std::memset(slot.device_path, 'X', sizeof slot.device_path);  // no terminator at all
    const std::string expected = "\\\\.\\" + std::string(sizeof slot.device_path - 1, 'X');
    io.AddDevice(expected);
    EXPECT_EQ(nt_test_unit_ready(context, 0, 2), 1);
    EXPECT_EQ(io.opens().at(0).name, expected);
    ExpectAllGivenBack();
}

TEST_F(PassThroughCommands, NothingIsOpenedWithoutDeviceIo) {
    context.device_io = nullptr;
    for (const CommandCase& command : kCommands) EXPECT_EQ(command.run(context, 0, 2), 0);
    EXPECT_TRUE(io.opens().empty());
    EXPECT_TRUE(heap.sizes.empty());
}

}  // namespace
}  // namespace td
