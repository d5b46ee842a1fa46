// The device diagnostics as a user runs them, on Windows 95 through our
// ASPI library and on NT through the port driver of the virtual bus: pick
// the adapter in the tree and the device in the list, open "Device
// Diagnostic Tests" from the Options menu or the toolbar's last button,
// read what the dialog says about the device, press "Begin Tests", answer
// the warning and the questions, and read the three rows, their colours
// and the verdict.
//
// The built-in machine: adapter 0 "Harrowgate Brightlane BL-2940U PCI SCSI
// Host Adapter" with a disk at ID 0, a CD-ROM without a disc at ID 4 and
// its own ID 7; adapter 1 "Harrowgate Brightlane BL-1540 SCSI Host
// Adapter" with a tape at ID 2 and a scanner at ID 5. Every other ID is
// empty. The scenarios diagnostics_*.txt give a device one fault each.
//
// While a test command runs, the dialog's thread handles no messages: what
// it shows then is read from the screen, and its texts as Wine keeps them
// (see support/device_windows.h).
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "resources/resource_ids.h"
#include "support/device_windows.h"
#include "support/program_test.h"
#include "support/user_steps.h"

namespace td::e2e {
namespace {

namespace dw = device_windows;
using autom::StandardIcon;

constexpr char kFirstAdapter[] = "Harrowgate Brightlane BL-2940U PCI SCSI Host Adapter";
constexpr char kSecondAdapter[] = "Harrowgate Brightlane BL-1540 SCSI Host Adapter";
constexpr char kDialogTitle[] = "Device Diagnostic Tests";

constexpr COLORREF kGreen = RGB(0, 255, 0);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);

// What the dialog says about the device it opened for.
struct Identity {
    std::string id, vendor, version, type, product;
};

// What one test's row shows: the state text and the check box beside it.
// A test that was started and then found untestable reads "Not Tested"
// again, its box left enabled.
enum class Row { NotTested, Passed, Failed, BackToNotTested };

const char* NameOf(Row row) {
    switch (row) {
        case Row::NotTested:
            return "not tested";
        case Row::Passed:
            return "passed";
        case Row::Failed:
            return "failed";
        case Row::BackToNotTested:
            return "not tested after all";
    }
    return "?";
}

constexpr int kStateTexts[3] = {IDC_TUR_STATE, IDC_WRITE_STATE, IDC_READ_STATE};
constexpr int kCheckBoxes[3] = {IDC_TUR_CHECK, IDC_WRITE_CHECK, IDC_READ_CHECK};

// Which program runs on which Windows.
struct Machine {
    const char* name;
    Edition edition;
    Platform platform;
};

const Machine kWindows95{"Windows95", Edition::Shipped, Platform::Windows95};
const Machine kWindowsNt{"WindowsNt", Edition::NtSimulator, Platform::WindowsNt};

// An INQUIRY vendor field is 8 bytes, blank-padded; the program keeps 7.
std::string Vendor(const std::string& name) { return (name + std::string(8 - name.size(), ' ')).substr(0, 7); }
// The product field is 16 bytes, blank-padded, shown as the device sent it.
std::string Product(const std::string& name) { return name + std::string(16 - name.size(), ' '); }

// What the CD-ROM without a disc reported, as the information block shows
// it: sense key, code and qualifier in hexadecimal.
constexpr char kNoMediumSense[] =
    "Last Error Reported Sense Data:\nSense Key: 2\nSense Code: 3a\nSense Code Qualifier: 0";

// A text that a box ends with, as the line a user reads: 50060 opens with
// two line feeds to stand apart in a message.
std::string WithoutLeadingLineBreaks(const std::string& text) {
    const size_t first = text.find_first_not_of("\r\n");
    return first == std::string::npos ? std::string() : text.substr(first);
}

class Diagnostics : public ProgramTest {
protected:
    void StartOn(const Machine& machine, const char* scenario = nullptr) {
        program.UseEdition(machine.edition);
        program.OnPlatform(machine.platform);
        if (scenario != nullptr) program.UseScenario(scenario);
        ASSERT_TRUE(user::StartAndWaitForTheScan(program, 16));
    }

    // Picks the device and opens the dialog with Options > Device
    // Diagnostics...; nullptr when no dialog came.
    HWND OpenFromTheMenu(const std::string& adapter, const std::string& id) {
        EXPECT_TRUE(dw::ClickAdapter(program, adapter));
        EXPECT_TRUE(dw::ClickDevice(program, id));
        EXPECT_TRUE(program.Choose(IDM_DEVICE_DIAGNOSTICS));
        return dw::WaitForDialog(program, kDialogTitle);
    }

    HWND OpenFromTheToolbar(const std::string& adapter, const std::string& id) {
        EXPECT_TRUE(dw::ClickAdapter(program, adapter));
        EXPECT_TRUE(dw::ClickDevice(program, id));
        EXPECT_TRUE(dw::ClickToolbarButton(program, IDM_DEVICE_DIAGNOSTICS));
        return dw::WaitForDialog(program, kDialogTitle);
    }

    // The dialog as it opens for a device it can test: the device's
    // identity, three untested rows, blank information fields and
    // "Begin Tests".
    void ExpectReadyFor(HWND dialog, const Identity& device) {
        EXPECT_EQ(dw::TextOf(dialog, IDC_SCSI_ID), device.id);
        EXPECT_EQ(dw::TextOf(dialog, IDC_MANUFACTURER), device.vendor);
        EXPECT_EQ(dw::TextOf(dialog, IDC_VERSION), device.version);
        EXPECT_EQ(dw::TextOf(dialog, IDC_DEVICE_TYPE), device.type);
        EXPECT_EQ(dw::TextOf(dialog, IDC_PRODUCT), device.product);
        ExpectRows(dialog, {Row::NotTested, Row::NotTested, Row::NotTested});
        EXPECT_EQ(dw::TextOf(dialog, IDC_INFO_LINE), " ");
        EXPECT_EQ(dw::TextOf(dialog, IDC_INFO_BLOCK), " ");
        EXPECT_EQ(dw::TextOf(dialog, IDOK), program.Text(IDS_BEGIN_TESTS));
        EXPECT_FALSE(IsWindowEnabled(program.main_window())) << "the dialog is modal";
    }

    // Each row's state text and check box.
    void ExpectRows(HWND dialog, const std::vector<Row>& rows) {
        for (int i = 0; i < 3; ++i) {
            SCOPED_TRACE(testing::Message() << "row " << i + 1 << ", " << NameOf(rows[i]));
            switch (rows[i]) {
                case Row::NotTested:
                case Row::BackToNotTested:
                    EXPECT_EQ(dw::TextOf(dialog, kStateTexts[i]), program.Text(IDS_NOT_TESTED));
                    EXPECT_EQ(dw::CheckOf(dialog, kCheckBoxes[i]), BST_UNCHECKED);
                    EXPECT_EQ(dw::IsEnabled(dialog, kCheckBoxes[i]), rows[i] == Row::BackToNotTested);
                    break;
                case Row::Passed:
                    EXPECT_EQ(dw::TextOf(dialog, kStateTexts[i]), program.Text(IDS_PASSED));
                    EXPECT_EQ(dw::CheckOf(dialog, kCheckBoxes[i]), BST_CHECKED);
                    EXPECT_TRUE(dw::IsEnabled(dialog, kCheckBoxes[i]));
                    break;
                case Row::Failed:
                    EXPECT_EQ(dw::TextOf(dialog, kStateTexts[i]), program.Text(IDS_FAILED));
                    EXPECT_EQ(dw::CheckOf(dialog, kCheckBoxes[i]), BST_UNCHECKED);
                    EXPECT_TRUE(dw::IsEnabled(dialog, kCheckBoxes[i]));
                    break;
            }
        }
    }

    // The colours the rows and the information fields show, on the
    // dialog's picture as the program draws it (its thread answers again).
    void ExpectColours(HWND dialog, const std::vector<Row>& rows) {
        autom::Probe* inside = program.probe();
        ASSERT_NE(inside, nullptr);
        const std::optional<autom::Picture> picture = inside->PictureOf(dialog);
        ASSERT_TRUE(picture) << inside->last_error();
        RECT whole{};
        GetWindowRect(dialog, &whole);
        for (int i = 0; i < 3; ++i) {
            const std::vector<dw::ColourCount> colours = dw::ColoursIn(*picture, whole,
                                                                       ScreenRect(dialog, kStateTexts[i]));
            ASSERT_FALSE(colours.empty());
            SCOPED_TRACE(testing::Message()
                         << "row " << i + 1 << " (" << NameOf(rows[i]) << ") shows " << dw::Describe(colours));
            switch (rows[i]) {
                case Row::Passed:
                    EXPECT_EQ(colours[0].colour, kGreen);
                    EXPECT_TRUE(Shows(colours, kBlack)) << "no black text";
                    break;
                case Row::Failed:
                    EXPECT_EQ(colours[0].colour, kRed);
                    EXPECT_TRUE(Shows(colours, kBlack)) << "no black text";
                    break;
                case Row::NotTested:
                case Row::BackToNotTested:
                    EXPECT_EQ(colours[0].colour, GetSysColor(COLOR_BTNFACE)) << "the system's colours";
                    break;
            }
        }
        for (int field : {IDC_INFO_LINE, IDC_INFO_BLOCK}) {
            const std::vector<dw::ColourCount> colours = dw::ColoursIn(*picture, whole, ScreenRect(dialog, field), 0);
            ASSERT_FALSE(colours.empty());
            EXPECT_EQ(colours[0].colour, kWhite) << "field " << field << " shows " << dw::Describe(colours);
        }
    }

    static bool Shows(const std::vector<dw::ColourCount>& colours, COLORREF colour) {
        for (const dw::ColourCount& count : colours)
            if (count.colour == colour) return true;
        return false;
    }

    static RECT ScreenRect(HWND dialog, int control) {
        RECT rect{};
        GetWindowRect(GetDlgItem(dialog, control), &rect);
        return rect;
    }

    // Presses Begin Tests, checks the warning that comes and answers it
    // with `answer` (IDYES or IDNO).
    bool BeginTests(HWND dialog, int answer) {
        dw::ClickControl(dialog, IDOK);
        std::optional<Message> warning = program.WaitForMessage();
        EXPECT_TRUE(warning) << "no warning after Begin Tests";
        if (!warning) return false;
        EXPECT_EQ(warning->caption, program.Text(IDS_TESTS_CAPTION));
        EXPECT_EQ(warning->text, program.Text(IDS_WARNING_SHARED) + program.Text(IDS_WARNING_DESTRUCTIVE) +
                                     program.Text(IDS_WARNING_SAFE_DEVICES) + program.Text(IDS_WARNING_PROCEED));
        EXPECT_EQ(warning->icon, StandardIcon::Warning) << Describe(*warning);
        EXPECT_EQ(warning->buttons, (std::vector<std::string>{"&Yes", "&No"})) << Describe(*warning);
        EXPECT_EQ(warning->owner, dialog) << "the warning belongs to the dialog";
        return program.Answer(*warning, answer);
    }

    // Waits for the end of the run: button 1 reads "OK" again.
    bool WaitForTheEnd(HWND dialog, DWORD timeout_ms) {
        return autom::WaitUntil([&] { return dw::TextOf(dialog, IDOK) == program.Text(IDS_OK); }, timeout_ms);
    }

    void ExpectSuccessTexts(HWND dialog) {
        EXPECT_EQ(dw::TextOf(dialog, IDC_INFO_LINE), program.Text(IDS_TESTS_SUCCESSFUL));
        EXPECT_EQ(dw::TextOf(dialog, IDC_INFO_BLOCK), program.Text(IDS_TESTS_VERDICT));
        ExpectWordsOnTheInformationLine(dialog);
    }

    // The verdict after a failure opens with two line feeds (it also ends
    // the failure messages); the one-line field must still show its words.
    void ExpectTestingComplete(HWND dialog) {
        EXPECT_EQ(WithoutLeadingLineBreaks(dw::TextOf(dialog, IDC_INFO_LINE)),
                  WithoutLeadingLineBreaks(program.Text(IDS_TESTING_COMPLETE)));
        ExpectWordsOnTheInformationLine(dialog);
    }

    // The information line, one line high, as the program has drawn it:
    // black words on white, not an empty white field.
    void ExpectWordsOnTheInformationLine(HWND dialog) {
        autom::Probe* inside = program.probe();
        ASSERT_NE(inside, nullptr);
        const std::optional<autom::Picture> picture = inside->PictureOf(dialog);
        ASSERT_TRUE(picture) << inside->last_error();
        RECT whole{};
        GetWindowRect(dialog, &whole);
        int text_pixels = 0;
        for (const dw::ColourCount& count : dw::ColoursIn(*picture, whole, ScreenRect(dialog, IDC_INFO_LINE), 0))
            if (count.colour == kBlack) text_pixels = count.pixels;
        EXPECT_GE(text_pixels, 40) << "the information line shows no words on the screen; it holds \""
                                   << dw::TextOf(dialog, IDC_INFO_LINE) << "\"";
    }

    // "OK" closes the dialog and gives the main window back.
    void CloseWithOk(HWND dialog) {
        EXPECT_EQ(dw::TextOf(dialog, IDOK), program.Text(IDS_OK));
        dw::ClickControl(dialog, IDOK);
        EXPECT_TRUE(dw::WaitUntilClosed(dialog)) << "OK did not close the dialog";
        EXPECT_TRUE(autom::WaitUntil([&] { return IsWindowEnabled(program.main_window()) != FALSE; }, 3000))
            << "the main window stays disabled";
        EXPECT_TRUE(program.running());
    }

    // The steps that are the same on both platforms.
    void RefusesTheAdapterAndEmptyIdsAndCannotTestTheScanner(const Machine& machine);
    void FailsTheCdRomWithoutADiscAndStopsOnNo(const Machine& machine);
    void ExplainsTheAnswersInWords(const Machine& machine, const std::vector<std::string>& ids);
};

// ---- Devices that cannot be tested ----------------------------------------------------

// The adapter's own ID and an empty ID are refused with a message and no
// dialog; the scanner opens the dialog only to say it cannot be tested.
void Diagnostics::RefusesTheAdapterAndEmptyIdsAndCannotTestTheScanner(const Machine& machine) {
    StartOn(machine);

    const struct {
        const char* id;
        int message;
    } refusals[] = {{"7", IDS_CONTROLLER_REFUSAL}, {"1", IDS_NO_DEVICE_REFUSAL}};
    for (const auto& refusal : refusals) {
        SCOPED_TRACE(testing::Message() << "SCSI ID " << refusal.id);
        ASSERT_TRUE(dw::ClickDevice(program, refusal.id));
        ASSERT_TRUE(program.Choose(IDM_DEVICE_DIAGNOSTICS));
        std::optional<Message> message = program.WaitForMessage();
        ASSERT_TRUE(message) << "no message";
        EXPECT_EQ(message->text, program.Text(refusal.message));
        EXPECT_EQ(message->caption, program.Text(IDS_STATUS_CAPTION));
        EXPECT_EQ(message->icon, StandardIcon::Information) << Describe(*message);
        EXPECT_EQ(message->buttons, std::vector<std::string>{"OK"}) << Describe(*message);
        EXPECT_EQ(dw::FindDialog(program, kDialogTitle), nullptr) << "the dialog shows behind the refusal";
        ASSERT_TRUE(program.Answer(*message, IDOK));
        Sleep(500);
        EXPECT_EQ(dw::FindDialog(program, kDialogTitle), nullptr) << "the dialog came after the refusal";
        EXPECT_TRUE(IsWindowEnabled(program.main_window())) << "the main window stays disabled";
    }

    HWND dialog = OpenFromTheMenu(kSecondAdapter, "5");
    ASSERT_NE(dialog, nullptr) << "no dialog for the scanner";
    EXPECT_EQ(dw::TextOf(dialog, IDC_SCSI_ID), "5");
    EXPECT_EQ(dw::TextOf(dialog, IDC_MANUFACTURER), Vendor("PRISMA"));
    EXPECT_EQ(dw::TextOf(dialog, IDC_DEVICE_TYPE), "Scanner");
    EXPECT_EQ(dw::TextOf(dialog, IDC_PRODUCT), Product("ScanStar 600"));
    EXPECT_EQ(dw::TextOf(dialog, IDC_INFO_LINE), program.Text(IDS_STATUS_CAPTION));
    EXPECT_EQ(dw::TextOf(dialog, IDC_INFO_BLOCK), program.Text(IDS_NOT_TESTABLE));
    ExpectRows(dialog, {Row::NotTested, Row::NotTested, Row::NotTested});
    // Its button says OK: pressing it ends the dialog, no test starts.
    CloseWithOk(dialog);
    EXPECT_TRUE(user::NoMessageWithin(program, 500)) << "after OK";
}

TEST_F(Diagnostics, OnWindows95TheAdapterItselfAndEmptyIdsAreRefusedAndAScannerCannotBeTested) {
    RefusesTheAdapterAndEmptyIdsAndCannotTestTheScanner(kWindows95);
}

TEST_F(Diagnostics, OnNtTheAdapterItselfAndEmptyIdsAreRefusedAndAScannerCannotBeTested) {
    RefusesTheAdapterAndEmptyIdsAndCannotTestTheScanner(kWindowsNt);
}

// ---- The CD-ROM without a disc -------------------------------------------------------------

// TEST UNIT READY fails with NOT READY, MEDIUM NOT PRESENT. The user is
// told so, sees the sense data, and declines to go on.
void Diagnostics::FailsTheCdRomWithoutADiscAndStopsOnNo(const Machine& machine) {
    StartOn(machine);
    HWND dialog = OpenFromTheMenu(kFirstAdapter, "4");
    ASSERT_NE(dialog, nullptr) << "no dialog";
    ExpectReadyFor(dialog, {"4", Vendor("ORIELLE"), "2.10", "CD-ROM", Product("CDR-3220")});

    ASSERT_TRUE(BeginTests(dialog, IDYES));

    std::optional<Message> failure = program.WaitForMessage(10000);
    ASSERT_TRUE(failure) << "no message about the failed test";
    EXPECT_EQ(failure->caption, program.Text(IDS_TUR_FAILED_CAPTION));
    EXPECT_EQ(failure->text, program.Text(IDS_SENSE_NO_MEDIA) + program.Text(IDS_CONTINUE_QUESTION));
    EXPECT_EQ(failure->icon, StandardIcon::Error) << Describe(*failure);
    EXPECT_EQ(failure->buttons, (std::vector<std::string>{"&Yes", "&No"})) << Describe(*failure);
    // Behind the question: the row has failed, the device's sense data.
    EXPECT_EQ(dw::TextOf(dialog, IDC_TUR_STATE), program.Text(IDS_FAILED));
    EXPECT_EQ(dw::TextOf(dialog, IDC_INFO_LINE), program.Text(IDS_IN_PROGRESS));
    EXPECT_EQ(dw::TextOf(dialog, IDC_INFO_BLOCK), kNoMediumSense);
    ASSERT_TRUE(program.Answer(*failure, IDNO));

    ASSERT_TRUE(WaitForTheEnd(dialog, 5000)) << "button 1 reads \"" << dw::TextOf(dialog, IDOK) << "\"";
    EXPECT_TRUE(user::NoMessageWithin(program, 300)) << "after No";
    ExpectRows(dialog, {Row::Failed, Row::NotTested, Row::NotTested});
    ExpectColours(dialog, {Row::Failed, Row::NotTested, Row::NotTested});
    ExpectTestingComplete(dialog);
    EXPECT_EQ(dw::TextOf(dialog, IDC_INFO_BLOCK), kNoMediumSense) << "the sense data stays";
    std::printf("The dialog after No: %s\n",
                dw::SavePicture(program, std::string("diagnostics-cdrom-") + machine.name).c_str());
    CloseWithOk(dialog);
}

TEST_F(Diagnostics, OnWindows95ACdRomWithoutADiscFailsTheFirstTestAndNoEndsTheRun) {
    FailsTheCdRomWithoutADiscAndStopsOnNo(kWindows95);
}

TEST_F(Diagnostics, OnNtACdRomWithoutADiscFailsTheFirstTestAndNoEndsTheRun) {
    FailsTheCdRomWithoutADiscAndStopsOnNo(kWindowsNt);
}

// ---- The disk passes ---------------------------------------------------------------------

// No on the warning ends it all: the dialog closes, nothing was tested.
TEST_F(Diagnostics, NoOnTheWarningClosesTheDialog) {
    StartOn(kWindowsNt);
    HWND dialog = OpenFromTheToolbar(kFirstAdapter, "0");
    ASSERT_NE(dialog, nullptr) << "the toolbar's last button opened no dialog";
    ASSERT_TRUE(BeginTests(dialog, IDNO));
    EXPECT_TRUE(dw::WaitUntilClosed(dialog)) << "the dialog stays after No";
    EXPECT_TRUE(user::NoMessageWithin(program, 500)) << "after No";
    EXPECT_TRUE(autom::WaitUntil([&] { return IsWindowEnabled(program.main_window()) != FALSE; }, 3000));
}

// The whole sequence on Windows 95: TEST UNIT READY waits 2 s, each buffer
// command 8 s, and a passed TEST UNIT READY pauses 1 s. While WRITE BUFFER
// waits, its row reads "Testing..." in white on black.
TEST_F(Diagnostics, OnWindows95TheDiskPassesAllThreeTestsShowingEachOneWhileItRuns) {
    StartOn(kWindows95, "diagnostics_disk_takes_its_time.txt");
    HWND dialog = OpenFromTheToolbar(kFirstAdapter, "0");
    ASSERT_NE(dialog, nullptr) << "the toolbar's last button opened no dialog";
    ExpectReadyFor(dialog, {"0", Vendor("KESTRAL"), "1.04", "Hard Disk", Product("KD-2100S")});

    // Counted from before the answer: answering may return only once the
    // program's thread is free again, after the first wait.
    const DWORD started = GetTickCount();
    ASSERT_TRUE(BeginTests(dialog, IDYES));

    // WRITE BUFFER runs: the thread waits and draws nothing more.
    ASSERT_TRUE(
        autom::WaitUntil([&] { return dw::TextOf(dialog, IDC_WRITE_STATE) == program.Text(IDS_TESTING); }, 6000))
        << "row 2 reads \"" << dw::TextOf(dialog, IDC_WRITE_STATE) << "\"";
    Sleep(1500);
    RECT whole{};
    GetWindowRect(dialog, &whole);
    const autom::Picture during = autom::CaptureScreenArea(whole);
    std::printf("The screen while WRITE BUFFER runs: %s\n",
                dw::SaveScreenPicture("diagnostics-win95-disk-testing").c_str());
    EXPECT_EQ(dw::TextOf(dialog, IDC_WRITE_STATE), program.Text(IDS_TESTING)) << "the picture came too late";
    {
        const std::vector<dw::ColourCount> row1 = dw::ColoursIn(during, whole, ScreenRect(dialog, IDC_TUR_STATE));
        const std::vector<dw::ColourCount> row2 = dw::ColoursIn(during, whole, ScreenRect(dialog, IDC_WRITE_STATE));
        ASSERT_FALSE(row1.empty());
        ASSERT_FALSE(row2.empty());
        EXPECT_EQ(row1[0].colour, kGreen) << "row 1 on the screen: " << dw::Describe(row1);
        EXPECT_EQ(row2[0].colour, kBlack) << "row 2 on the screen: " << dw::Describe(row2);
        EXPECT_TRUE(Shows(row2, kWhite)) << "no white text in row 2 on the screen: " << dw::Describe(row2);
        EXPECT_EQ(dw::TextOf(dialog, IDC_TUR_STATE), program.Text(IDS_PASSED));
        EXPECT_EQ(dw::TextOf(dialog, IDC_READ_STATE), program.Text(IDS_NOT_TESTED));
        EXPECT_EQ(dw::TextOf(dialog, IDC_INFO_LINE), program.Text(IDS_IN_PROGRESS));
    }

    ASSERT_TRUE(WaitForTheEnd(dialog, 40000)) << "button 1 reads \"" << dw::TextOf(dialog, IDOK) << "\"";
    const DWORD took = GetTickCount() - started;
    EXPECT_GE(took, 18000u) << "2 + 8 + 8 s of waits and a 1 s pause, done in " << took << " ms";
    EXPECT_TRUE(user::NoMessageWithin(program, 300)) << "after a run that passed";
    ExpectRows(dialog, {Row::Passed, Row::Passed, Row::Passed});
    ExpectColours(dialog, {Row::Passed, Row::Passed, Row::Passed});
    ExpectSuccessTexts(dialog);
    std::printf("The dialog after the run: %s\n", dw::SavePicture(program, "diagnostics-win95-disk-passed").c_str());
    CloseWithOk(dialog);
}

// ---- Devices with a fault (scenarios) ------------------------------------------------------

// A disk just reset answers its first TEST UNIT READY with UNIT ATTENTION:
// asked again without a word, it passes, and so does everything else.
TEST_F(Diagnostics, OnNtADiskThatWasJustResetIsAskedAgainSilentlyAndPasses) {
    StartOn(kWindowsNt, "diagnostics_unit_attention.txt");
    HWND dialog = OpenFromTheMenu(kFirstAdapter, "0");
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(BeginTests(dialog, IDYES));

    ASSERT_TRUE(WaitForTheEnd(dialog, 15000)) << "button 1 reads \"" << dw::TextOf(dialog, IDOK) << "\"";
    EXPECT_TRUE(user::NoMessageWithin(program, 300)) << "the reset was not passed over in silence";
    ExpectRows(dialog, {Row::Passed, Row::Passed, Row::Passed});
    ExpectColours(dialog, {Row::Passed, Row::Passed, Row::Passed});
    ExpectSuccessTexts(dialog);
    CloseWithOk(dialog);
}

// The buffer comes back damaged: READ BUFFER fails with its own message and
// no question; the two tests before it stay green.
TEST_F(Diagnostics, OnNtADamagedReadBackFailsTheLastTestOnly) {
    StartOn(kWindowsNt, "diagnostics_read_buffer_corrupt.txt");
    HWND dialog = OpenFromTheMenu(kFirstAdapter, "0");
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(BeginTests(dialog, IDYES));

    std::optional<Message> failure = program.WaitForMessage(15000);
    ASSERT_TRUE(failure) << "no message about READ BUFFER";
    EXPECT_EQ(failure->caption, program.Text(IDS_READ_FAILED_CAPTION));
    EXPECT_EQ(failure->text, program.Text(IDS_READ_BUFFER_MISMATCH) + "\n\n" +
                                 Filled(program.Text(IDS_READ_BUFFER_DIFFERS), {"1", "100", "AA", "55"}));
    EXPECT_EQ(failure->icon, StandardIcon::Error) << Describe(*failure);
    EXPECT_EQ(failure->buttons, std::vector<std::string>{"OK"}) << Describe(*failure);
    ASSERT_TRUE(program.Answer(*failure, IDOK));

    ASSERT_TRUE(WaitForTheEnd(dialog, 5000)) << "button 1 reads \"" << dw::TextOf(dialog, IDOK) << "\"";
    ExpectRows(dialog, {Row::Passed, Row::Passed, Row::Failed});
    ExpectColours(dialog, {Row::Passed, Row::Passed, Row::Failed});
    ExpectTestingComplete(dialog);
    CloseWithOk(dialog);
}

// WRITE BUFFER never completes: after its 8 s the request is aborted, the
// user is told the testing is complete, READ BUFFER is not run.
TEST_F(Diagnostics, OnWindows95AWriteBufferThatNeverEndsIsGivenUpAfterEightSeconds) {
    StartOn(kWindows95, "diagnostics_write_buffer_hangs.txt");
    HWND dialog = OpenFromTheMenu(kFirstAdapter, "0");
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(BeginTests(dialog, IDYES));

    ASSERT_TRUE(
        autom::WaitUntil([&] { return dw::TextOf(dialog, IDC_WRITE_STATE) == program.Text(IDS_TESTING); }, 6000));
    const DWORD write_started = GetTickCount();
    std::optional<Message> failure = program.WaitForMessage(20000);
    const DWORD waited = GetTickCount() - write_started;
    ASSERT_TRUE(failure) << "no message about WRITE BUFFER";
    EXPECT_GE(waited, 7800u) << "WRITE BUFFER was given up after " << waited << " ms";
    EXPECT_EQ(failure->caption, program.Text(IDS_WRITE_FAILED_CAPTION));
    // The abort is told, then the closing line.
    EXPECT_EQ(failure->text, Filled(program.Text(IDS_REQUEST_ABORTED), {"8"}) + program.Text(IDS_TESTING_COMPLETE))
        << Describe(*failure);
    EXPECT_EQ(failure->icon, StandardIcon::Error) << Describe(*failure);
    ASSERT_TRUE(program.Answer(*failure, IDOK));

    ASSERT_TRUE(WaitForTheEnd(dialog, 5000)) << "button 1 reads \"" << dw::TextOf(dialog, IDOK) << "\"";
    EXPECT_TRUE(user::NoMessageWithin(program, 300)) << "READ BUFFER ran after all";
    ExpectRows(dialog, {Row::Passed, Row::Failed, Row::NotTested});
    ExpectColours(dialog, {Row::Passed, Row::Failed, Row::NotTested});
    ExpectTestingComplete(dialog);
    CloseWithOk(dialog);
}

// A request the ASPI manager refuses as it is sent fails at once, told as
// refused with the status the manager answered, whether or not the manager
// wrote it into the block: nothing is waited for, nothing aborted, and the
// device is not blamed.
TEST_F(Diagnostics, OnWindows95ARequestTheManagerRefusesFailsAtOnceNamingItsStatus) {
    StartOn(kWindows95, "diagnostics_refused.txt");
    for (const char* id : {"0", "1"}) {
        SCOPED_TRACE(testing::Message() << "SCSI ID " << id);
        HWND dialog = OpenFromTheMenu(kFirstAdapter, id);
        ASSERT_NE(dialog, nullptr);
        const DWORD started = GetTickCount();
        ASSERT_TRUE(BeginTests(dialog, IDYES));
        std::optional<Message> failure = program.WaitForMessage(15000);
        const DWORD took = GetTickCount() - started;
        ASSERT_TRUE(failure) << "no failure box";
        EXPECT_LT(took, 1500u) << "the refusal was waited for: TEST UNIT READY's wait is 2000 ms";
        EXPECT_EQ(failure->caption, program.Text(IDS_TUR_FAILED_CAPTION));
        EXPECT_EQ(failure->text, Filled(program.Text(IDS_ASPI_REQUEST_REFUSED), {"INVALID REQUEST BLOCK", "E0"}) +
                                     program.Text(IDS_CONTINUE_QUESTION));
        ASSERT_TRUE(program.Answer(*failure, IDNO));
        ASSERT_TRUE(WaitForTheEnd(dialog, 5000)) << "button 1 reads \"" << dw::TextOf(dialog, IDOK) << "\"";
        ExpectRows(dialog, {Row::Failed, Row::NotTested, Row::NotTested});
        CloseWithOk(dialog);
    }
}

// NT's tape class driver takes WRITE BUFFER but moves no data: nothing was
// tested, READ BUFFER would read nothing back, and the device still counts
// as working since it answered TEST UNIT READY.
TEST_F(Diagnostics, OnNtAClassDriverWithoutWriteBufferLeavesBothBufferTestsUntestedAndSucceeds) {
    StartOn(kWindowsNt, "diagnostics_class_driver_no_write.txt");
    HWND dialog = OpenFromTheMenu(kSecondAdapter, "2");
    ASSERT_NE(dialog, nullptr);
    ExpectReadyFor(dialog, {"2", Vendor("TALLIS"), "3.02", "Tape", Product("TDAT-4000")});
    ASSERT_TRUE(BeginTests(dialog, IDYES));

    std::optional<Message> notice = program.WaitForMessage(15000);
    ASSERT_TRUE(notice) << "no message about WRITE BUFFER";
    EXPECT_EQ(notice->caption, program.Text(IDS_STATUS_CAPTION));
    EXPECT_EQ(notice->text, program.Text(IDS_NT_CLASS_UNSUPPORTED));
    EXPECT_EQ(notice->icon, StandardIcon::Error) << Describe(*notice);
    ASSERT_TRUE(program.Answer(*notice, IDOK));

    ASSERT_TRUE(WaitForTheEnd(dialog, 5000)) << "button 1 reads \"" << dw::TextOf(dialog, IDOK) << "\"";
    EXPECT_TRUE(user::NoMessageWithin(program, 300)) << "READ BUFFER ran after all";
    ExpectRows(dialog, {Row::Passed, Row::BackToNotTested, Row::NotTested});
    ExpectColours(dialog, {Row::Passed, Row::BackToNotTested, Row::NotTested});
    ExpectSuccessTexts(dialog);
    CloseWithOk(dialog);
}

// ---- Answers devices really give, explained in words ---------------------------------------

// The machine of diagnostics_explained.txt on one transport: each device's
// failure box says why in words, the same on both paths, and the dialog's
// information block keeps the sense data or the bytes that differ. Written
// with the program's own texts, so that it reads the same in every language
// (under LANG=de_DE.UTF-8 it takes the German pictures).
void Diagnostics::ExplainsTheAnswersInWords(const Machine& machine, const std::vector<std::string>& ids) {
    StartOn(machine, "diagnostics_explained.txt");
    const std::string tur = program.Text(IDS_TUR_FAILED_CAPTION), write = program.Text(IDS_WRITE_FAILED_CAPTION),
                      read = program.Text(IDS_READ_FAILED_CAPTION);
    const std::string question = program.Text(IDS_CONTINUE_QUESTION), complete = program.Text(IDS_TESTING_COMPLETE);
    const std::string reported = program.Text(IDS_SENSE_REPORTED);
    const std::string differs = Filled(program.Text(IDS_READ_BUFFER_DIFFERS), {"1", "511", "55", "AA"});
    const struct {
        const char* id;
        std::string caption, text;
        int answer;
        std::vector<Row> rows;
        std::string information;  // "": the sense display
    } answers[] = {
        {"0",
         write,
         program.Text(IDS_SENSE_NOT_SUPPORTED) + complete,
         IDOK,
         {Row::Passed, Row::Failed, Row::NotTested},
         ""},
        {"1",
         tur,
         program.Text(IDS_SENSE_NOT_SUPPORTED) + question,
         IDNO,
         {Row::Failed, Row::NotTested, Row::NotTested},
         ""},
        {"2",
         tur,
         Filled(reported,
                {program.Text(IDS_KEY_NOT_READY), "LOGICAL UNIT NOT READY, OPERATION IN PROGRESS", "04", "07"}) +
             question,
         IDNO,
         {Row::Failed, Row::NotTested, Row::NotTested},
         ""},
        {"3",
         read,
         Filled(reported, {program.Text(IDS_KEY_MEDIUM_ERROR), "UNRECOVERED READ ERROR", "11", "00"}),
         IDOK,
         {Row::Passed, Row::Passed, Row::Failed},
         ""},
        {"4",
         tur,
         Filled(reported, {program.Text(IDS_KEY_ABORTED_COMMAND), "SCSI PARITY ERROR", "47", "00"}) + question,
         IDNO,
         {Row::Failed, Row::NotTested, Row::NotTested},
         ""},
        {"5",
         tur,
         program.Text(IDS_SENSE_NO_MEDIA) + question,
         IDNO,
         {Row::Failed, Row::NotTested, Row::NotTested},
         ""},
        {"6",
         read,
         program.Text(IDS_READ_BUFFER_MISMATCH) + "\n\n" + differs,
         IDOK,
         {Row::Passed, Row::Passed, Row::Failed},
         differs},
    };
    const std::string language = PRIMARYLANGID(GetUserDefaultUILanguage()) == LANG_GERMAN ? "-de" : "";
    for (const auto& answer : answers) {
        if (std::find(ids.begin(), ids.end(), answer.id) == ids.end()) continue;
        SCOPED_TRACE(testing::Message() << "SCSI ID " << answer.id);
        // Pictures of the two longest explanations, for a person to look at.
        const bool picture = std::string(answer.id) == "2" || std::string(answer.id) == "6";
        const std::string name = std::string("diagnostics-explained-") + machine.name + "-id" + answer.id + language;
        HWND dialog = OpenFromTheMenu(kFirstAdapter, answer.id);
        ASSERT_NE(dialog, nullptr);
        ASSERT_TRUE(BeginTests(dialog, IDYES));
        std::optional<Message> failure = program.WaitForMessage(15000);
        ASSERT_TRUE(failure) << "no failure box";
        EXPECT_EQ(failure->caption, answer.caption);
        EXPECT_EQ(failure->text, answer.text);
        EXPECT_EQ(failure->icon, StandardIcon::Error) << Describe(*failure);
        const std::string information = dw::TextOf(dialog, IDC_INFO_BLOCK);
        if (answer.information.empty()) {
            EXPECT_EQ(information.rfind(program.Text(IDS_SENSE_HEADING), 0), 0u) << information;
        } else {
            EXPECT_EQ(information, answer.information);
        }
        if (picture) std::printf("The failure box: %s\n", dw::SavePicture(program, name + "-box").c_str());
        ASSERT_TRUE(program.Answer(*failure, answer.answer));
        ASSERT_TRUE(WaitForTheEnd(dialog, 15000)) << "button 1 reads \"" << dw::TextOf(dialog, IDOK) << "\"";
        ExpectRows(dialog, answer.rows);
        if (picture) std::printf("The dialog after it: %s\n", dw::SavePicture(program, name).c_str());
        CloseWithOk(dialog);
    }
}

TEST_F(Diagnostics, OnWindows95TheAnswersToTestUnitReadyAreExplainedInWords) {
    ExplainsTheAnswersInWords(kWindows95, {"1", "2", "4", "5"});
}

TEST_F(Diagnostics, OnWindows95TheAnswersToTheBufferTestsAreExplainedInWords) {
    ExplainsTheAnswersInWords(kWindows95, {"0", "3", "6"});
}

TEST_F(Diagnostics, OnNtTheAnswersToTestUnitReadyAreExplainedInWords) {
    ExplainsTheAnswersInWords(kWindowsNt, {"1", "2", "4", "5"});
}

TEST_F(Diagnostics, OnNtTheAnswersToTheBufferTestsAreExplainedInWords) {
    ExplainsTheAnswersInWords(kWindowsNt, {"0", "3", "6"});
}

}  // namespace
}  // namespace td::e2e
