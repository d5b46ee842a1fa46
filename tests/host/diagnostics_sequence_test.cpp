// The test sequence against the virtual bus on both transports: the order
// of the commands, the row states and their colours, the pauses, the
// silent repeat after UNIT ATTENTION, the questions and error boxes with
// their texts, and the verdicts.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "common/win_codes.h"
#include "resources/resource_ids.h"
#include "support/diagnostics_rig.h"

namespace td {
namespace {

using test::DiagnosticsRig;
using Opcodes = std::vector<std::uint8_t>;

constexpr int kPlatforms[] = {kPlatformWin95, kPlatformNt};
constexpr std::uint8_t kTur = 0x00, kWrite = 0x3B, kRead = 0x3C;

// One disk at ID 0 of one adapter, with rules added by the test. Every
// command takes a few milliseconds, so an ASPI request is still pending
// when it has been sent.
std::string Disk(const std::string& rules = "") {
    return "adapter\n device 0\n  type disk\n  vendor KESTRAL\n  product KD-2100S\n  drive C:\n" + rules +
           "  on any delay 5\n";
}

// The information line holds 50060 as it stands, line feeds included.
std::string TestingComplete(const DiagnosticsRig& rig) { return rig.messages.Text(IDS_TESTING_COMPLETE); }

const char* Name(int platform) { return platform == kPlatformWin95 ? "ASPI" : "NT"; }

TEST(DiagnosticsSequence, AllThreeTestsPassWithTheirPausesAndVerdict) {
    for (const int platform : kPlatforms) {
        SCOPED_TRACE(Name(platform));
        DiagnosticsRig rig(Disk(), platform);
        ASSERT_TRUE(rig.Open(0, 0));
        std::vector<StaticColours> while_sent;
        const int states[] = {IDC_TUR_STATE, IDC_WRITE_STATE, IDC_READ_STATE};
        rig.on_send = [&](std::uint8_t) { while_sent.push_back(rig.sequence.ColoursFor(states[while_sent.size()])); };
        const std::uint32_t start = rig.clock.now();
        rig.Begin();

        EXPECT_EQ(rig.Opcodes(), (Opcodes{kTur, kWrite, kRead}));
        ASSERT_EQ(rig.messages.boxes().size(), 1u) << "only the warning";
        for (int row = 0; row < kTestRows; ++row) EXPECT_EQ(rig.sequence.row(row), RowState::Passed);
        for (const int state : states) {
            EXPECT_EQ(rig.face.texts[state], "PASSED!");
            const StaticColours colours = rig.sequence.ColoursFor(state);
            EXPECT_TRUE(colours.custom);
            EXPECT_EQ(colours.text, kBlack);
            EXPECT_EQ(colours.background, kGreen);
        }
        for (const int check : {IDC_TUR_CHECK, IDC_WRITE_CHECK, IDC_READ_CHECK}) EXPECT_TRUE(rig.face.checked(check));
        EXPECT_EQ(rig.face.texts[IDC_INFO_LINE], rig.messages.Text(IDS_TESTS_SUCCESSFUL));
        EXPECT_EQ(rig.face.texts[IDC_INFO_BLOCK], rig.messages.Text(IDS_TESTS_VERDICT));
        EXPECT_EQ(rig.face.texts[1], "OK");

        // Each command went out under a freshly painted "Testing..." in white on black.
        ASSERT_EQ(while_sent.size(), 3u);
        for (const StaticColours& colours : while_sent) {
            EXPECT_TRUE(colours.custom);
            EXPECT_EQ(colours.text, kWhite);
            EXPECT_EQ(colours.background, kBlack);
        }
        const std::vector<std::string>& events = rig.face.events;
        int sends = 0;
        for (std::size_t i = 0; i < events.size(); ++i) {
            if (events[i].rfind("send ", 0) != 0) continue;
            ASSERT_GE(i, 2u);
            EXPECT_EQ(events[i - 1], "repaint");
            EXPECT_EQ(events[i - 2], "text " + std::to_string(states[sends]) + " Testing...");
            ++sends;
        }
        EXPECT_EQ(sends, 3);

        // ASPI: the commands' own waits (2 s, 8 s, 8 s) and one pause after
        // TEST UNIT READY; NT: the devices' 5 ms and a pause after each test.
        const std::uint32_t elapsed = rig.clock.now() - start;
        if (platform == kPlatformWin95) {
            EXPECT_EQ(elapsed, 2000u + 1000u + 8000u + 8000u);
            EXPECT_EQ(rig.clock.slept(), 1000u);
        } else {
            EXPECT_EQ(elapsed, 3 * 5u + 3 * 1000u);
            EXPECT_EQ(rig.clock.slept(), elapsed);
        }
    }
}

TEST(DiagnosticsSequence, NoMediaExplainedWithSenseDataAndNoSkipsTheBufferTests) {
    for (const int platform : kPlatforms) {
        SCOPED_TRACE(Name(platform));
        DiagnosticsRig rig(sim::DefaultScenarioText(), platform);
        ASSERT_TRUE(rig.Open(0, 4));  // the CD-ROM without a disc
        rig.messages.Answer(win::kIdYes);
        rig.messages.Answer(win::kIdNo);
        rig.Begin();

        EXPECT_EQ(rig.face.texts[IDC_INFO_BLOCK],
                  "Last Error Reported Sense Data:\nSense Key: 2\nSense Code: 3a\nSense Code Qualifier: 0");
        ASSERT_EQ(rig.messages.boxes().size(), 2u);
        const test::ShownBox& question = rig.messages.boxes()[1];
        EXPECT_EQ(question.text, rig.messages.Text(IDS_SENSE_NO_MEDIA) + rig.messages.Text(IDS_CONTINUE_QUESTION));
        EXPECT_EQ(question.caption, "Diagnostic Tests:  SCSI Test Unit Ready Command Failed");
        EXPECT_EQ(question.flags, win::kMbIconError | win::kMbYesNo);

        EXPECT_EQ(rig.Opcodes(), Opcodes{kTur}) << "both buffer tests skipped";
        EXPECT_EQ(rig.sequence.row(kRowTestUnitReady), RowState::Failed);
        EXPECT_EQ(rig.face.texts[IDC_TUR_STATE], "FAILED!");
        EXPECT_EQ(rig.sequence.ColoursFor(IDC_TUR_STATE).background, kRed);
        EXPECT_EQ(rig.sequence.ColoursFor(IDC_TUR_STATE).text, kBlack);
        for (const int row : {kRowWriteBuffer, kRowReadBuffer}) EXPECT_EQ(rig.sequence.row(row), RowState::NotTested);
        // Their state texts keep the template's "Not Tested" and their
        // system colours; their boxes stay disabled.
        EXPECT_EQ(rig.face.texts.count(IDC_WRITE_STATE), 0u);
        EXPECT_EQ(rig.face.texts.count(IDC_READ_STATE), 0u);
        EXPECT_FALSE(rig.sequence.ColoursFor(IDC_WRITE_STATE).custom);
        EXPECT_FALSE(rig.face.enabled(IDC_WRITE_CHECK));
        EXPECT_FALSE(rig.face.enabled(IDC_READ_CHECK));
        EXPECT_TRUE(rig.face.enabled(IDC_TUR_CHECK));
        EXPECT_FALSE(rig.face.checked(IDC_TUR_CHECK));

        EXPECT_TRUE(rig.sequence.stopped());
        EXPECT_EQ(rig.face.texts[IDC_INFO_LINE], TestingComplete(rig));
        EXPECT_EQ(rig.face.texts[1], "OK");
        EXPECT_EQ(rig.sense_report.message_id, IDS_SENSE_NO_MEDIA) << "No clears nothing";
    }
}

TEST(DiagnosticsSequence, YesAfterAFailedTestUnitReadyGoesOnWithClearedRecords) {
    for (const int platform : kPlatforms) {
        SCOPED_TRACE(Name(platform));
        DiagnosticsRig rig(sim::DefaultScenarioText(), platform);
        ASSERT_TRUE(rig.Open(0, 4));
        rig.Begin();  // Yes to the warning and to the question

        EXPECT_EQ(rig.Opcodes(), (Opcodes{kTur, kWrite, kRead}));
        EXPECT_EQ(rig.sequence.row(kRowTestUnitReady), RowState::Failed);
        EXPECT_EQ(rig.sequence.row(kRowWriteBuffer), RowState::Passed);
        EXPECT_EQ(rig.sequence.row(kRowReadBuffer), RowState::Passed);
        EXPECT_EQ(rig.sense_report.message_id, 0);
        EXPECT_EQ(rig.sense_report.sense_key, 0);
        EXPECT_EQ(rig.last_error.text_id, 0);
        // A failed row decides the verdict; the sense data stay on show.
        EXPECT_EQ(rig.face.texts[IDC_INFO_LINE], TestingComplete(rig));
        EXPECT_EQ(rig.face.texts[IDC_INFO_BLOCK].rfind("Last Error Reported Sense Data:", 0), 0u);
    }
}

TEST(DiagnosticsSequence, UnitAttentionIsAskedAgainOnceSilently) {
    for (const int platform : kPlatforms) {
        SCOPED_TRACE(Name(platform));
        // Reset (0x29) and medium change (0x28), each reported once: the
        // repeat passes and nobody hears of it.
        for (const char* asc : {"29", "28"}) {
            DiagnosticsRig rig(Disk(std::string("  on tur check 06 ") + asc + " 00 times 1\n"), platform);
            ASSERT_TRUE(rig.Open(0, 0));
            rig.Begin();
            EXPECT_EQ(rig.Opcodes(), (Opcodes{kTur, kTur, kWrite, kRead})) << asc;
            EXPECT_EQ(rig.messages.boxes().size(), 1u) << asc;
            EXPECT_EQ(rig.sequence.row(kRowTestUnitReady), RowState::Passed) << asc;
            EXPECT_EQ(rig.face.texts[IDC_INFO_LINE], rig.messages.Text(IDS_TESTS_SUCCESSFUL)) << asc;
        }

        // Reported twice: the second answer counts and is the one explained.
        DiagnosticsRig twice(Disk("  on tur check 06 28 00 times 2\n"), platform);
        ASSERT_TRUE(twice.Open(0, 0));
        twice.messages.Answer(win::kIdYes);
        twice.messages.Answer(win::kIdNo);
        twice.Begin();
        EXPECT_EQ(twice.Opcodes(), (Opcodes{kTur, kTur})) << "asked once more, not a third time";
        ASSERT_EQ(twice.messages.boxes().size(), 2u);
        EXPECT_EQ(twice.messages.boxes()[1].text,
                  twice.messages.Text(IDS_SENSE_MEDIA_CHANGED) + twice.messages.Text(IDS_CONTINUE_QUESTION));

        // A second answer the table has no advice for is explained by its
        // own codes: the first answer's "powered on or reset" does not
        // stand in for it.
        DiagnosticsRig other(Disk("  on tur check 06 29 00 times 1\n  on tur check 0b 47 00\n"), platform);
        ASSERT_TRUE(other.Open(0, 0));
        other.messages.Answer(win::kIdYes);
        other.messages.Answer(win::kIdNo);
        other.Begin();
        EXPECT_EQ(other.Opcodes(), (Opcodes{kTur, kTur}));
        ASSERT_EQ(other.messages.boxes().size(), 2u);
        EXPECT_EQ(other.messages.boxes()[1].text,
                  "The device reports ABORTED COMMAND: SCSI PARITY ERROR (ASC 47h, ASCQ 00h)." +
                      other.messages.Text(IDS_CONTINUE_QUESTION));
        EXPECT_EQ(other.face.texts[IDC_INFO_BLOCK],
                  "Last Error Reported Sense Data:\nSense Key: b\nSense Code: 47\nSense Code Qualifier: 0");
    }
}

TEST(DiagnosticsSequence, ClassDriverWithoutWriteBufferSkipsReadBuffer) {
    const std::string tape =
        "adapter\n device 2\n  type tape\n  vendor TALLIS\n  tape 0\n"
        "  on write-buffer zero-length\n";
    DiagnosticsRig rig(tape, kPlatformNt);
    ASSERT_TRUE(rig.Open(0, 2));
    rig.Begin();

    EXPECT_EQ(rig.Opcodes(), (Opcodes{kTur, kWrite})) << "READ BUFFER skipped";
    ASSERT_EQ(rig.messages.boxes().size(), 2u);
    const test::ShownBox& box = rig.messages.boxes()[1];
    EXPECT_EQ(box.text, rig.messages.Text(IDS_NT_CLASS_UNSUPPORTED));
    EXPECT_EQ(box.caption, "Tessaline Diagnostics status:");
    EXPECT_EQ(box.flags, win::kMbIconError);

    EXPECT_TRUE(rig.sequence.write_buffer_unsupported());
    EXPECT_EQ(rig.sequence.row(kRowWriteBuffer), RowState::NotTested);
    EXPECT_EQ(rig.face.texts[IDC_WRITE_STATE], "Not Tested");
    EXPECT_FALSE(rig.sequence.ColoursFor(IDC_WRITE_STATE).custom);
    EXPECT_EQ(rig.face.events.back(), "text 1 OK");
    const auto repaint = std::find(rig.face.events.rbegin(), rig.face.events.rend(), "repaint");
    ASSERT_NE(repaint, rig.face.events.rend());
    EXPECT_EQ(*(repaint + 1), "text 1028 Not Tested") << "repainted right after";
    EXPECT_EQ(rig.sequence.row(kRowReadBuffer), RowState::NotTested);
    EXPECT_FALSE(rig.face.enabled(IDC_READ_CHECK));

    // Test 1 passed, so the outcome is the success text.
    EXPECT_EQ(rig.face.texts[IDC_INFO_LINE], rig.messages.Text(IDS_TESTS_SUCCESSFUL));
    EXPECT_EQ(rig.face.texts[IDC_INFO_BLOCK], rig.messages.Text(IDS_TESTS_VERDICT));
    EXPECT_EQ(rig.clock.slept(), 1000u) << "only the pause after TEST UNIT READY";
}

TEST(DiagnosticsSequence, FailedReadBufferEndsTheTestsWithTheFirstRowsGreen) {
    for (const int platform : kPlatforms) {
        SCOPED_TRACE(Name(platform));
        DiagnosticsRig rig(Disk("  on read-buffer corrupt 100\n"), platform);
        ASSERT_TRUE(rig.Open(0, 0));
        rig.Begin();

        EXPECT_EQ(rig.Opcodes(), (Opcodes{kTur, kWrite, kRead}));
        ASSERT_EQ(rig.messages.boxes().size(), 2u);
        const test::ShownBox& box = rig.messages.boxes()[1];
        // Both transports say which bytes came back otherwise; no line is
        // appended and no question asked. The information block keeps
        // the bytes.
        const std::string differs = "Bytes that differ: 1, the first at offset 100 (written AAh, read 55h).";
        EXPECT_EQ(box.text, rig.messages.Text(IDS_READ_BUFFER_MISMATCH) + "\n\n" + differs);
        EXPECT_EQ(rig.face.texts[IDC_INFO_BLOCK], differs);
        EXPECT_EQ(box.caption, "Diagnostic Tests:  SCSI Read Buffer Command Failed");
        EXPECT_EQ(box.flags, win::kMbIconError);

        EXPECT_EQ(rig.sequence.ColoursFor(IDC_TUR_STATE).background, kGreen);
        EXPECT_EQ(rig.sequence.ColoursFor(IDC_WRITE_STATE).background, kGreen);
        EXPECT_EQ(rig.sequence.ColoursFor(IDC_READ_STATE).background, kRed);
        EXPECT_EQ(rig.face.texts[IDC_READ_STATE], "FAILED!");
        EXPECT_TRUE(rig.face.checked(IDC_TUR_CHECK));
        EXPECT_TRUE(rig.face.checked(IDC_WRITE_CHECK));
        EXPECT_FALSE(rig.face.checked(IDC_READ_CHECK));
        EXPECT_TRUE(rig.face.enabled(IDC_READ_CHECK));
        EXPECT_EQ(rig.face.texts[IDC_INFO_LINE], TestingComplete(rig));
        EXPECT_EQ(rig.face.texts[1], "OK");
    }
}

TEST(DiagnosticsSequence, FailedWriteBufferEndsTheTests) {
    // The device does not have the command (on both transports the same
    // words), or the request never ends and is aborted after its 8 s.
    const std::string aborted = "The device did not finish the command within 8 seconds; the request was aborted.";
    struct Case {
        int platform;
        const char* rule;
        int explanation_id;  // 0: the abort
    };
    for (const Case& c : {Case{kPlatformNt, "  on write-buffer check 05 24 00\n", IDS_SENSE_NOT_SUPPORTED},
                          Case{kPlatformWin95, "  on write-buffer check 05 24 00\n", IDS_SENSE_NOT_SUPPORTED},
                          Case{kPlatformWin95, "  on write-buffer hang\n", 0}}) {
        SCOPED_TRACE(testing::Message() << Name(c.platform) << c.rule);
        DiagnosticsRig rig(Disk(c.rule), c.platform);
        ASSERT_TRUE(rig.Open(0, 0));
        rig.Begin();

        EXPECT_EQ(rig.Opcodes(), (Opcodes{kTur, kWrite}));
        ASSERT_EQ(rig.messages.boxes().size(), 2u);
        const test::ShownBox& box = rig.messages.boxes()[1];
        const std::string explanation = c.explanation_id != 0 ? rig.messages.Text(c.explanation_id) : aborted;
        EXPECT_EQ(box.text, explanation + rig.messages.Text(IDS_TESTING_COMPLETE));
        EXPECT_EQ(box.caption, "Diagnostic Tests:  SCSI Write Buffer Command Failed");
        EXPECT_EQ(box.flags, win::kMbIconError);
        EXPECT_TRUE(rig.sequence.stopped());
        EXPECT_EQ(rig.sequence.row(kRowWriteBuffer), RowState::Failed);
        EXPECT_EQ(rig.face.texts[IDC_WRITE_STATE], "FAILED!");
        EXPECT_EQ(rig.sequence.row(kRowReadBuffer), RowState::NotTested);
        EXPECT_EQ(rig.face.texts[IDC_INFO_LINE], TestingComplete(rig));
        EXPECT_EQ(rig.face.texts[IDC_INFO_BLOCK],
                  c.explanation_id != 0
                      ? "Last Error Reported Sense Data:\nSense Key: 5\nSense Code: 24\nSense Code Qualifier: 0"
                      : aborted);
    }
}

TEST(DiagnosticsSequence, ExplanationAndAppendedLineAlwaysFitTheMessageBuffer) {
    // A 255-character explanation fills the 256-byte buffer on its own;
    // the appended line must still go in whole, the explanation giving way.
    const std::string long_text(255, 'x');
    for (const int platform : kPlatforms) {
        SCOPED_TRACE(Name(platform));
        DiagnosticsRig rig(sim::DefaultScenarioText(), platform);
        rig.overrides.texts[IDS_SENSE_NO_MEDIA] = long_text;
        ASSERT_TRUE(rig.Open(0, 4));
        rig.messages.Answer(win::kIdYes);
        rig.messages.Answer(win::kIdNo);
        rig.Begin();
        ASSERT_EQ(rig.messages.boxes().size(), 2u);
        const std::string question = rig.messages.Text(IDS_CONTINUE_QUESTION);
        const std::string& text = rig.messages.boxes()[1].text;
        EXPECT_EQ(text.size(), 255u);
        EXPECT_EQ(text, long_text.substr(0, 255 - question.size()) + question);
    }

    DiagnosticsRig rig(Disk("  on write-buffer check 05 24 00\n"), kPlatformNt);
    rig.overrides.texts[IDS_SENSE_NOT_SUPPORTED] = long_text;
    ASSERT_TRUE(rig.Open(0, 0));
    rig.Begin();
    ASSERT_EQ(rig.messages.boxes().size(), 2u);
    const std::string complete = rig.messages.Text(IDS_TESTING_COMPLETE);
    EXPECT_EQ(rig.messages.boxes()[1].text, long_text.substr(0, 255 - complete.size()) + complete);
}

// A device scan that lets go of the block after a number of looks at the
// messages, or never.
class ScanThatEnds final : public ScanWatch {
public:
    explicit ScanThatEnds(int pumps_left) : pumps_left_(pumps_left) {}
    bool Busy() override { return busy; }
    void LetScanRun() override {
        ++pumps;
        if (pumps_left_ > 0 && --pumps_left_ == 0) busy = false;
    }
    bool busy = true;
    int pumps = 0;

private:
    int pumps_left_;  // 0: the scan never ends
};

TEST(DiagnosticsSequence, AspiCommandsWaitForTheDeviceScanToLetGoOfTheBlock) {
    DiagnosticsRig rig(Disk(), kPlatformWin95);
    ScanThatEnds scan(3);
    rig.context.scan = &scan;
    ASSERT_TRUE(rig.Open(0, 0));
    std::vector<int> pumps_at_send;
    rig.on_send = [&](std::uint8_t) { pumps_at_send.push_back(scan.pumps); };
    rig.Begin();
    EXPECT_EQ(pumps_at_send, (std::vector<int>{3, 3, 3})) << "nothing sent before the scan ended";
    EXPECT_EQ(rig.sequence.row(kRowReadBuffer), RowState::Passed);

    // A scan that never lets go: the command fails unsent, saying so, and
    // the scan's request stays as it was.
    DiagnosticsRig stuck(Disk(), kPlatformWin95);
    ScanThatEnds never(0);
    stuck.context.scan = &never;
    ASSERT_TRUE(stuck.Open(0, 0));
    stuck.exec_srb.SRB_Status = aspi::kSsPending;
    stuck.exec_srb.CDBByte[0] = 0x12;
    stuck.exec_srb.SRB_Target = 5;
    stuck.messages.Answer(win::kIdYes);
    stuck.messages.Answer(win::kIdNo);
    const std::uint32_t start = stuck.clock.now();
    stuck.Begin();
    EXPECT_TRUE(stuck.Opcodes().empty());
    EXPECT_EQ(stuck.exec_srb.SRB_Status, aspi::kSsPending);
    EXPECT_EQ(stuck.exec_srb.CDBByte[0], 0x12);
    EXPECT_EQ(stuck.exec_srb.SRB_Target, 5);
    EXPECT_GE(stuck.clock.now() - start, kScanWaitLimitMs);
    ASSERT_EQ(stuck.messages.boxes().size(), 2u);
    EXPECT_EQ(stuck.messages.boxes()[1].text,
              stuck.messages.Text(IDS_SCAN_HOLDS_BLOCK) + stuck.messages.Text(IDS_CONTINUE_QUESTION));
    EXPECT_EQ(stuck.sequence.row(kRowTestUnitReady), RowState::Failed);

    // NT shares no block: the scan is never asked about.
    DiagnosticsRig nt(Disk(), kPlatformNt);
    ScanThatEnds busy(0);
    nt.context.scan = &busy;
    ASSERT_TRUE(nt.Open(0, 0));
    nt.Begin();
    EXPECT_EQ(busy.pumps, 0);
    EXPECT_EQ(nt.Opcodes(), (Opcodes{kTur, kWrite, kRead}));
}

}  // namespace
}  // namespace td
