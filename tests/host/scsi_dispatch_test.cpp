// The transport the test sequence's commands take: ASPI on Windows 95,
// the port driver everywhere else.
#include <gtest/gtest.h>

#include "common/fixed_text.h"
#include "common/win_codes.h"
#include "scsi/scsi_commands.h"
#include "support/fake_aspi_library.h"
#include "support/fake_clock.h"
#include "support/fake_pass_through.h"
#include "support/scripted_messages.h"

namespace td {
namespace {

class TransportDispatch : public ::testing::Test {
protected:
    test::FakeClock clock;
    test::FakeAspiLibrary library{clock};
    test::FakePassThroughIo io;
    test::CountingHeap heap;
    test::ScriptedMessages messages;
    Inventory inventory{};
    SenseReport sense_report{};
    LastError last_error{};
    aspi::SrbExecScsiCmd exec_srb{};
    AspiCommandArea area{};
    ScsiCommandContext context{inventory, clock, messages, sense_report, last_error,
                               exec_srb,  area,  &library, &io,          heap};

    void SetUp() override {
        inventory.slot_count = 1;
        inventory.slots[0].adapter_number = 1;
        inventory.slots[0].target_id = 3;
        CopyText(inventory.slots[0].device_path, "Tape0");
        io.AddDevice("\\\\.\\Tape0");
    }

    void RunAll() {
        test_unit_ready(context, 1, 3);
        write_buffer(context, 1, 3);
        read_buffer(context, 1, 3);
    }
};

TEST_F(TransportDispatch, Windows95GoesThroughAspi) {
    inventory.platform = kPlatformWin95;
    RunAll();
    ASSERT_EQ(library.execs().size(), 3u);
    EXPECT_EQ(library.execs()[0].block.CDBByte[0], 0x00);
    EXPECT_EQ(library.execs()[1].block.CDBByte[0], 0x3B);
    EXPECT_EQ(library.execs()[2].block.CDBByte[0], 0x3C);
    EXPECT_EQ(library.execs()[2].block.SRB_HaId, 1);
    EXPECT_EQ(library.execs()[2].block.SRB_Target, 3);
    EXPECT_TRUE(io.opens().empty());
}

TEST_F(TransportDispatch, EveryOtherPlatformGoesThroughThePortDriver) {
    for (const std::int32_t platform : {kPlatformNt, kPlatformUnknown}) {
        inventory.platform = platform;
        const std::size_t before = io.controls().size();
        RunAll();
        ASSERT_EQ(io.controls().size() - before, 3u);
        EXPECT_EQ(io.controls()[before].code, 0x4D004u);
        EXPECT_EQ(io.controls()[before + 1].code, 0x4D014u);
        EXPECT_EQ(io.controls()[before + 2].code, 0x4D014u);
    }
    EXPECT_TRUE(library.execs().empty());
}

}  // namespace
}  // namespace td
