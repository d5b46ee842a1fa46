// The machines the end-to-end diagnostics tests start the program on do
// what their descriptions promise, on both transports, before anyone
// drives a window over them.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "resources/resource_ids.h"
#include "support/diagnostics_rig.h"

namespace td {
namespace {

constexpr RowState P = RowState::Passed, F = RowState::Failed, N = RowState::NotTested;

struct Promise {
    const char* file;
    int platform;
    int target_id;
    std::vector<RowState> rows;
    std::vector<std::uint8_t> opcodes;
    int explained_by;  // the string the second box opens with (0: no second box, -1: the system's text)
};

TEST(DiagnosticsScenarios, EachMachineBehavesAsItsDescriptionSays) {
    const Promise promises[] = {
        {"diagnostics_unit_attention.txt", kPlatformWin95, 0, {P, P, P}, {0x00, 0x00, 0x3B, 0x3C}, 0},
        {"diagnostics_unit_attention.txt", kPlatformNt, 0, {P, P, P}, {0x00, 0x00, 0x3B, 0x3C}, 0},
        {"diagnostics_read_buffer_corrupt.txt",
         kPlatformWin95,
         0,
         {P, P, F},
         {0x00, 0x3B, 0x3C},
         IDS_READ_BUFFER_MISMATCH},
        {"diagnostics_read_buffer_corrupt.txt",
         kPlatformNt,
         0,
         {P, P, F},
         {0x00, 0x3B, 0x3C},
         IDS_READ_BUFFER_MISMATCH},
        {"diagnostics_write_buffer_hangs.txt", kPlatformWin95, 0, {P, F, N}, {0x00, 0x3B}, IDS_REQUEST_ABORTED},
        {"diagnostics_write_buffer_hangs.txt", kPlatformNt, 0, {P, F, N}, {0x00, 0x3B}, -1},
        {"diagnostics_class_driver_no_write.txt", kPlatformNt, 2, {P, N, N}, {0x00, 0x3B}, IDS_NT_CLASS_UNSUPPORTED},
        {"diagnostics_class_driver_no_write.txt",
         kPlatformWin95,
         2,
         {P, P, F},
         {0x00, 0x3B, 0x3C},
         IDS_READ_BUFFER_MISMATCH},
    };
    for (const Promise& promise : promises) {
        SCOPED_TRACE(testing::Message() << promise.file << " on platform " << promise.platform);
        std::ifstream in(std::string(TD_SOURCE_DIR) + "/tests/e2e/scenarios/" + promise.file);
        std::ostringstream text;
        text << in.rdbuf();
        test::DiagnosticsRig rig(text.str(), promise.platform);
        ASSERT_TRUE(rig.Open(0, promise.target_id));
        rig.Begin();
        EXPECT_EQ(rig.Opcodes(), promise.opcodes);
        for (int row = 0; row < kTestRows; ++row) EXPECT_EQ(rig.sequence.row(row), promise.rows[row]) << row;
        ASSERT_EQ(rig.messages.boxes().size(), promise.explained_by != 0 ? 2u : 1u);
        if (rig.messages.boxes().size() < 2) continue;
        const std::string& shown = rig.messages.boxes()[1].text;
        if (promise.explained_by == -1) {
            EXPECT_EQ(rig.last_error.text_id, kUseSystemText);
            EXPECT_EQ(shown.rfind(rig.last_error.system_text, 0), 0u);
            EXPECT_GT(std::string(rig.last_error.system_text).size(), 10u);
        } else {
            // The sentence's words before its first place.
            const std::string text = rig.messages.Text(promise.explained_by);
            EXPECT_EQ(shown.rfind(text.substr(0, text.find('%')), 0), 0u) << shown;
        }
    }
}

// Each device's answer reads back in the same words on both transports,
// the words the end-to-end tests expect.
TEST(DiagnosticsScenarios, TheAnswersToExplainReadAlikeOnBothTransports) {
    std::ifstream in(std::string(TD_SOURCE_DIR) + "/tests/e2e/scenarios/diagnostics_explained.txt");
    std::ostringstream text;
    text << in.rdbuf();
    const struct {
        int target_id;
        std::vector<RowState> rows;
        const char* opens_with;
    } devices[] = {
        {0, {P, F, N}, "This SCSI Command is not supported by this SCSI device"},
        {1, {F, P, P}, "This SCSI Command is not supported by this SCSI device"},
        {2,
         {F, P, P},
         "The device reports NOT READY: LOGICAL UNIT NOT READY, OPERATION IN PROGRESS (ASC 04h, ASCQ 07h)."},
        {3, {P, P, F}, "The device reports MEDIUM ERROR: UNRECOVERED READ ERROR (ASC 11h, ASCQ 00h)."},
        {4, {F, P, P}, "The device reports ABORTED COMMAND: SCSI PARITY ERROR (ASC 47h, ASCQ 00h)."},
        {5, {F, P, P}, "There is no media in the device."},
        {6, {P, P, F}, "The SCSI Read Buffer command failed."},
    };
    for (const auto& device : devices) {
        std::string shown[2];
        for (const int platform : {kPlatformWin95, kPlatformNt}) {
            SCOPED_TRACE(testing::Message() << "ID " << device.target_id << " on platform " << platform);
            test::DiagnosticsRig rig(text.str(), platform);
            ASSERT_TRUE(rig.Open(0, device.target_id));
            rig.Begin();
            for (int row = 0; row < kTestRows; ++row) EXPECT_EQ(rig.sequence.row(row), device.rows[row]) << row;
            ASSERT_EQ(rig.messages.boxes().size(), 2u);
            shown[platform == kPlatformNt] = rig.messages.boxes()[1].text;
            EXPECT_EQ(shown[platform == kPlatformNt].rfind(device.opens_with, 0), 0u) << shown[platform == kPlatformNt];
        }
        EXPECT_EQ(shown[0], shown[1]) << "ID " << device.target_id;
    }
}

// Wine's ports over Linux pass the commands to their one device, claimed
// or not: the disk answers READ BUFFER as scsi_debug does, the CD-ROM has
// no disc. A port that refuses claimed units fails with the system's words.
TEST(DiagnosticsScenarios, WinesPortsOverLinuxReachTheirDevice) {
    std::ifstream in(std::string(TD_SOURCE_DIR) + "/tests/e2e/scenarios/nt_wine_over_linux.txt");
    std::ostringstream text;
    text << in.rdbuf();
    const struct {
        int adapter, target_id;
        RowState first;
        int explained_by;
    } devices[] = {{0, 3, F, IDS_SENSE_NO_MEDIA}, {1, 0, P, IDS_SENSE_NOT_SUPPORTED}};
    for (const auto& device : devices) {
        SCOPED_TRACE(testing::Message() << "adapter " << device.adapter);
        test::DiagnosticsRig rig(text.str(), kPlatformNt);
        ASSERT_TRUE(rig.Open(device.adapter, device.target_id));
        rig.Begin();
        EXPECT_EQ(rig.sequence.row(0), device.first);
        ASSERT_GE(rig.messages.boxes().size(), 2u);
        EXPECT_EQ(rig.messages.boxes()[1].text.rfind(rig.messages.Text(device.explained_by), 0), 0u)
            << rig.messages.boxes()[1].text;
    }

    std::string refused = text.str();
    refused.replace(refused.rfind("port-is-unit yes"), 16, "port-is-unit no");
    test::DiagnosticsRig rig(refused, kPlatformNt);
    ASSERT_TRUE(rig.Open(1, 0));
    rig.Begin();
    EXPECT_EQ(rig.sequence.row(0), F);
    EXPECT_EQ(rig.last_error.text_id, kUseSystemText);
    EXPECT_EQ(std::string(rig.last_error.system_text).rfind("Incorrect function.", 0), 0u)
        << rig.last_error.system_text;
}

TEST(DiagnosticsScenarios, ScannerAndWormAreNotTestedAndTheRestIsRefused) {
    std::ifstream in(std::string(TD_SOURCE_DIR) + "/tests/e2e/scenarios/diagnostics_untestable.txt");
    std::ostringstream text;
    text << in.rdbuf();
    for (const int platform : {kPlatformWin95, kPlatformNt}) {
        for (const int target_id : {3, 5}) {
            test::DiagnosticsRig rig(text.str(), platform);
            ASSERT_TRUE(rig.Open(0, target_id));
            EXPECT_TRUE(rig.sequence.not_testable()) << target_id;
        }
        for (const auto& [target_id, message] :
             {std::pair{7, IDS_CONTROLLER_REFUSAL}, std::pair{1, IDS_NO_DEVICE_REFUSAL}}) {
            test::DiagnosticsRig rig(text.str(), platform);
            EXPECT_FALSE(rig.Open(0, target_id));
            EXPECT_TRUE(rig.messages.Showed(message)) << target_id;
        }
    }
}

}  // namespace
}  // namespace td
