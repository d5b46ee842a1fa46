// Opening the diagnostics dialog: which slot it works on, which slots it
// refuses, what it shows, and how button 1's caption decides what a click
// does, up to the warning that comes before any test.
#include <gtest/gtest.h>

#include <string>

#include "common/fixed_text.h"
#include "common/win_codes.h"
#include "resources/resource_ids.h"
#include "support/diagnostics_rig.h"

namespace td {
namespace {

using test::DiagnosticsRig;

constexpr int kPlatforms[] = {kPlatformWin95, kPlatformNt};

// The built-in machine: adapter 0 has a disk at ID 0 and a CD-ROM at ID 4,
// adapter 1 a tape at ID 2 and a scanner at ID 5; both adapters sit at ID 7.
const char* DefaultMachine() { return sim::DefaultScenarioText(); }

TEST(DiagnosticsOpening, AdapterOwnSlotAndEmptyIdsAreRefusedUnseen) {
    struct Case {
        int adapter, target_id, message_id;
    };
    for (const int platform : kPlatforms) {
        for (const Case& c : {Case{0, 7, IDS_CONTROLLER_REFUSAL}, Case{1, 7, IDS_CONTROLLER_REFUSAL},
                              Case{0, 1, IDS_NO_DEVICE_REFUSAL}, Case{1, 0, IDS_NO_DEVICE_REFUSAL}}) {
            SCOPED_TRACE(testing::Message()
                         << "platform " << platform << ", adapter " << c.adapter << ", ID " << c.target_id);
            DiagnosticsRig rig(DefaultMachine(), platform);
            EXPECT_FALSE(rig.Open(c.adapter, c.target_id));
            ASSERT_EQ(rig.messages.boxes().size(), 1u);
            const test::ShownBox& box = rig.messages.boxes()[0];
            EXPECT_EQ(box.text, rig.messages.Text(c.message_id));
            EXPECT_EQ(box.caption, "Tessaline Diagnostics status:");
            EXPECT_EQ(box.flags, win::kMbIconInformation);
            EXPECT_EQ(box.owner, rig.context.owner) << "the dialog itself never shows";
            EXPECT_EQ(rig.face.shown, 0);
            EXPECT_EQ(rig.face.texts[1], "OK");
            EXPECT_EQ(rig.face.posted, std::vector<int>{win::kIdCancel});
            EXPECT_EQ(rig.face.texts.count(IDC_SCSI_ID), 0u) << "nothing of the slot is shown";

            // The posted IDCANCEL ends the dialog; no test can start.
            rig.sequence.OnCommand(win::kIdCancel);
            EXPECT_EQ(rig.face.ended, 1);
            rig.sequence.Run();
            EXPECT_EQ(rig.messages.boxes().size(), 1u);
            EXPECT_TRUE(rig.Opcodes().empty());
        }
    }
}

TEST(DiagnosticsOpening, ChosenIdBecomesTheSelectedAdaptersSlot) {
    for (const int platform : kPlatforms) {
        SCOPED_TRACE(platform);
        DiagnosticsRig rig(DefaultMachine(), platform);
        // The tape at ID 2 of adapter 1: position 2 of the second block of 8.
        ASSERT_TRUE(rig.Open(1, 2));
        EXPECT_EQ(rig.selected_slot, 10);
        EXPECT_EQ(rig.sequence.slot(), 10);
        EXPECT_TRUE(rig.messages.boxes().empty());

        EXPECT_EQ(rig.face.texts[IDC_SCSI_ID], "2");
        EXPECT_EQ(rig.face.texts[IDC_MANUFACTURER], "TALLIS");
        EXPECT_EQ(rig.face.texts[IDC_VERSION], "3.02");
        EXPECT_EQ(rig.face.texts[IDC_DEVICE_TYPE], "Tape");
        EXPECT_EQ(rig.face.texts[IDC_PRODUCT], "TDAT-4000");
        for (const int check : {IDC_TUR_CHECK, IDC_WRITE_CHECK, IDC_READ_CHECK}) {
            EXPECT_FALSE(rig.face.checked(check)) << check;
            EXPECT_FALSE(rig.face.enabled(check)) << check;
        }
        EXPECT_EQ(rig.face.texts[IDC_INFO_LINE], " ");
        EXPECT_EQ(rig.face.texts[IDC_INFO_BLOCK], " ");
        EXPECT_EQ(rig.face.texts[1], "Begin Tests");
        EXPECT_EQ(rig.face.centred, 1);
        EXPECT_EQ(rig.face.shown, 1);
        EXPECT_TRUE(rig.face.posted.empty());
        for (int row = 0; row < kTestRows; ++row) EXPECT_EQ(rig.sequence.row(row), RowState::NotTested);
    }
}

TEST(DiagnosticsOpening, SelectionNamingNoSlotOfTheTableIsAnEmptyId) {
    struct Case {
        int adapter, position;
        const char* why;
    };
    const Case cases[] = {
        {-1, 0, "no adapter selected"},
        {0, 8, "no slot matched the ID: the position is the block's length"},
        {0, -1, "negative position"},
        {2, 0, "an adapter whose slots discovery never filled"},
        {7, 7, "the last block of the table, unfilled"},
        {8, 0, "an adapter index past the table"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        DiagnosticsRig rig(DefaultMachine(), kPlatformWin95);
        EXPECT_FALSE(rig.Open(c.adapter, c.position));
        EXPECT_EQ(rig.selected_slot, -1);
        EXPECT_TRUE(rig.messages.Showed(IDS_NO_DEVICE_REFUSAL));
        EXPECT_EQ(rig.face.posted, std::vector<int>{win::kIdCancel});
        EXPECT_EQ(rig.face.shown, 0);
    }

    // With the wide bus every adapter owns 16 slots: position 8 is a real ID.
    DiagnosticsRig wide(DefaultMachine(), kPlatformWin95);
    wide.inventory.max_target_id = kMaxTargetIdWide;
    wide.inventory.slot_count = 32;
    wide.inventory.slots[16 + 8].adapter_number = 1;
    CopyText(wide.inventory.slots[16 + 8].type_name, "Hard Disk");
    EXPECT_TRUE(wide.Open(1, 8));
    EXPECT_EQ(wide.selected_slot, 24);
}

TEST(DiagnosticsOpening, ScannersAndWormDrivesCannotBeTested) {
    const char* kWorm = R"(
adapter
  device 3
    type worm
    vendor PLASMON
    product "RF4100"
    drive W:
)";
    struct Case {
        const char* scenario;
        int adapter, target_id;
    };
    for (const int platform : kPlatforms) {
        for (const Case& c : {Case{DefaultMachine(), 1, 5}, Case{kWorm, 0, 3}}) {
            SCOPED_TRACE(testing::Message() << "platform " << platform << ", ID " << c.target_id);
            DiagnosticsRig rig(c.scenario, platform);
            ASSERT_TRUE(rig.Open(c.adapter, c.target_id));
            EXPECT_TRUE(rig.sequence.not_testable());
            EXPECT_EQ(rig.face.texts[IDC_INFO_LINE], "Tessaline Diagnostics status:");
            EXPECT_EQ(rig.face.texts[IDC_INFO_BLOCK], rig.messages.Text(IDS_NOT_TESTABLE));
            EXPECT_EQ(rig.face.texts[1], "OK");
            EXPECT_EQ(rig.face.shown, 1);
            EXPECT_TRUE(rig.messages.boxes().empty());

            rig.sequence.OnCommand(win::kIdOk);
            EXPECT_EQ(rig.face.runs_posted, 0);
            EXPECT_EQ(rig.face.ended, 1);
            EXPECT_TRUE(rig.Opcodes().empty());
        }
    }
}

TEST(DiagnosticsOpening, ButtonOneDoesWhatItsCaptionSays) {
    DiagnosticsRig rig(DefaultMachine(), kPlatformWin95);
    ASSERT_TRUE(rig.Open(0, 0));

    // Clicks on the check boxes, or any other id, change nothing.
    for (const int id : {IDC_TUR_CHECK, IDC_WRITE_CHECK, IDC_READ_CHECK, IDC_TUR_STATE, 3}) rig.sequence.OnCommand(id);
    EXPECT_EQ(rig.face.runs_posted, 0);
    EXPECT_EQ(rig.face.ended, 0);
    for (const int check : {IDC_TUR_CHECK, IDC_WRITE_CHECK, IDC_READ_CHECK}) EXPECT_FALSE(rig.face.checked(check));

    rig.sequence.OnCommand(win::kIdOk);
    EXPECT_EQ(rig.face.runs_posted, 1) << "\"Begin Tests\" posts the run";
    EXPECT_EQ(rig.face.ended, 0);

    rig.face.texts[1] = "OK";
    rig.sequence.OnCommand(win::kIdOk);
    EXPECT_EQ(rig.face.runs_posted, 1);
    EXPECT_EQ(rig.face.ended, 1);

    DiagnosticsRig cancelled(DefaultMachine(), kPlatformWin95);
    ASSERT_TRUE(cancelled.Open(0, 0));
    cancelled.sequence.OnCommand(win::kIdCancel);
    EXPECT_EQ(cancelled.face.ended, 1) << "Cancel ends the dialog under any caption";
    EXPECT_EQ(cancelled.face.runs_posted, 0);
}

TEST(DiagnosticsOpening, CaptionLongerThanTheButtonBufferStillStartsTheTests) {
    // Button 1's caption is read back cut to 19 characters; a translation
    // of "Begin Tests" longer than that must still be recognised.
    DiagnosticsRig rig(DefaultMachine(), kPlatformWin95);
    CopyText(rig.texts.begin_tests, "Diagnosetests jetzt beginnen");
    ASSERT_TRUE(rig.Open(0, 0));
    rig.sequence.OnCommand(win::kIdOk);
    EXPECT_EQ(rig.face.runs_posted, 1);
    EXPECT_EQ(rig.face.ended, 0);
}

TEST(DiagnosticsOpening, WarningComesFirstAndNoClosesTheDialog) {
    for (const int platform : kPlatforms) {
        SCOPED_TRACE(platform);
        DiagnosticsRig rig(DefaultMachine(), platform);
        ASSERT_TRUE(rig.Open(0, 0));
        rig.messages.Answer(win::kIdNo);
        rig.Begin();

        ASSERT_EQ(rig.messages.boxes().size(), 1u);
        const test::ShownBox& warning = rig.messages.boxes()[0];
        EXPECT_EQ(warning.text, rig.messages.Text(IDS_WARNING_SHARED) + rig.messages.Text(IDS_WARNING_DESTRUCTIVE) +
                                    rig.messages.Text(IDS_WARNING_SAFE_DEVICES) +
                                    rig.messages.Text(IDS_WARNING_PROCEED));
        EXPECT_EQ(warning.caption, "Diagnostic Tests:");
        EXPECT_EQ(warning.flags, win::kMbIconExclamation | win::kMbYesNo);
        EXPECT_EQ(warning.owner, test::RecordingDiagnosticsFace::kDialog);

        EXPECT_EQ(rig.face.texts[1], "OK");
        EXPECT_EQ(rig.face.ended, 1) << "IDOK under \"OK\" was sent to the dialog";
        EXPECT_TRUE(rig.Opcodes().empty());
        EXPECT_EQ(rig.face.texts[IDC_INFO_LINE], " ");
        for (int row = 0; row < kTestRows; ++row) EXPECT_EQ(rig.sequence.row(row), RowState::NotTested);
    }
}

}  // namespace
}  // namespace td
