// The machines the end-to-end diagnostics tests start the program on do
// what their descriptions promise, on both transports, before anyone
// drives a window over them.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "common/win_codes.h"
#include "resources/resource_ids.h"
#include "support/diagnostics_rig.h"

namespace td {
namespace {

using test::DiagnosticsRig;
using Opcodes = std::vector<std::uint8_t>;

std::string Scenario(const std::string& file) {
    std::ifstream in(std::string(TD_SOURCE_DIR) + "/tests/e2e/scenarios/" + file);
    EXPECT_TRUE(in) << file;
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::vector<RowState> Rows(const DiagnosticsRig& rig) {
    return {rig.sequence.row(kRowTestUnitReady), rig.sequence.row(kRowWriteBuffer), rig.sequence.row(kRowReadBuffer)};
}

constexpr RowState P = RowState::Passed, F = RowState::Failed, N = RowState::NotTested;

TEST(DiagnosticsScenarios, ResetOnceIsRepeatedSilentlyAndEverythingPasses) {
    for (const int platform : {kPlatformWin95, kPlatformNt}) {
        DiagnosticsRig rig(Scenario("diagnostics_unit_attention.txt"), platform);
        ASSERT_TRUE(rig.Open(0, 0));
        rig.Begin();
        EXPECT_EQ(rig.Opcodes(), (Opcodes{0x00, 0x00, 0x3B, 0x3C})) << platform;
        EXPECT_EQ(Rows(rig), (std::vector<RowState>{P, P, P})) << platform;
        EXPECT_EQ(rig.messages.boxes().size(), 1u) << platform;
    }
}

TEST(DiagnosticsScenarios, DamagedReadBackFailsOnlyReadBuffer) {
    for (const int platform : {kPlatformWin95, kPlatformNt}) {
        DiagnosticsRig rig(Scenario("diagnostics_read_buffer_corrupt.txt"), platform);
        ASSERT_TRUE(rig.Open(0, 0));
        rig.Begin();
        EXPECT_EQ(Rows(rig), (std::vector<RowState>{P, P, F})) << platform;
        ASSERT_EQ(rig.messages.boxes().size(), 2u) << platform;
        EXPECT_EQ(rig.messages.boxes()[1].text,
                  platform == kPlatformWin95 ? "" : rig.messages.Text(IDS_READ_BUFFER_MISMATCH));
    }
}

TEST(DiagnosticsScenarios, WriteBufferThatNeverEndsStopsTheTests) {
    for (const int platform : {kPlatformWin95, kPlatformNt}) {
        DiagnosticsRig rig(Scenario("diagnostics_write_buffer_hangs.txt"), platform);
        ASSERT_TRUE(rig.Open(0, 0));
        rig.Begin();
        EXPECT_EQ(Rows(rig), (std::vector<RowState>{P, F, N})) << platform;
        EXPECT_EQ(rig.Opcodes(), (Opcodes{0x00, 0x3B})) << platform;
        ASSERT_EQ(rig.messages.boxes().size(), 2u) << platform;
        const std::string complete = rig.messages.Text(IDS_TESTING_COMPLETE);
        const std::string& text = rig.messages.boxes()[1].text;
        if (platform == kPlatformWin95) {
            EXPECT_EQ(text, complete);
        } else {
            EXPECT_EQ(rig.last_error.text_id, kUseSystemText);
            EXPECT_EQ(text, std::string(rig.last_error.system_text) + complete);
            EXPECT_GT(text.size(), complete.size());
        }
    }
}

TEST(DiagnosticsScenarios, ClassDriverWithoutWriteBufferOnNtAndAMissingPatternOn95) {
    DiagnosticsRig nt(Scenario("diagnostics_class_driver_no_write.txt"), kPlatformNt);
    ASSERT_TRUE(nt.Open(0, 2));
    nt.Begin();
    EXPECT_EQ(Rows(nt), (std::vector<RowState>{P, N, N}));
    EXPECT_TRUE(nt.messages.Showed(IDS_NT_CLASS_UNSUPPORTED));
    EXPECT_EQ(nt.face.texts[IDC_INFO_LINE], nt.messages.Text(IDS_TESTS_SUCCESSFUL));

    DiagnosticsRig aspi(Scenario("diagnostics_class_driver_no_write.txt"), kPlatformWin95);
    ASSERT_TRUE(aspi.Open(0, 2));
    aspi.Begin();
    EXPECT_EQ(Rows(aspi), (std::vector<RowState>{P, P, F}));
}

TEST(DiagnosticsScenarios, ScannerAndWormAreNotTestedAndTheRestIsRefused) {
    for (const int platform : {kPlatformWin95, kPlatformNt}) {
        for (const int target_id : {3, 5}) {
            DiagnosticsRig rig(Scenario("diagnostics_untestable.txt"), platform);
            ASSERT_TRUE(rig.Open(0, target_id));
            EXPECT_TRUE(rig.sequence.not_testable()) << target_id;
        }
        DiagnosticsRig own(Scenario("diagnostics_untestable.txt"), platform);
        EXPECT_FALSE(own.Open(0, 7));
        EXPECT_TRUE(own.messages.Showed(IDS_CONTROLLER_REFUSAL));
        DiagnosticsRig empty(Scenario("diagnostics_untestable.txt"), platform);
        EXPECT_FALSE(empty.Open(0, 1));
        EXPECT_TRUE(empty.messages.Showed(IDS_NO_DEVICE_REFUSAL));
    }
}

}  // namespace
}  // namespace td
