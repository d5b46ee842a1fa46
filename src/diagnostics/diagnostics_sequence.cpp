#include "diagnostics/diagnostics_sequence.h"

#include <cstring>

#include "common/fixed_text.h"
#include "common/number_text.h"
#include "common/win_codes.h"
#include "inventory/device_selection.h"
#include "inventory/slot_kind.h"
#include "resources/resource_ids.h"
#include "scsi/failure_records.h"
#include "scsi/scsi_commands.h"

namespace td {
namespace {

// Button 1 is the dialog's IDOK.
constexpr int kButton1 = win::kIdOk;

struct RowControls {
    int check;  // the check box that is enabled when the test starts and checked when it passes
    int state;  // the coloured state text
};
constexpr RowControls kRowControls[kTestRows] = {
    {IDC_TUR_CHECK, IDC_TUR_STATE},
    {IDC_WRITE_CHECK, IDC_WRITE_STATE},
    {IDC_READ_CHECK, IDC_READ_STATE},
};

// UNIT ATTENTION after a medium change or a reset: the device reports it
// once to the first command, so that TEST UNIT READY is asked again.
constexpr std::int32_t kAscMediumChanged = 0x28;
constexpr std::int32_t kAscPowerOnOrReset = 0x29;

// Button 1's caption is read back cut to kButtonCaptionSize - 1 characters,
// so the text it is compared with is cut alike: a translation longer than
// that still matches its own caption.
bool CaptionMatches(const char* caption, const char* text) {
    return std::strncmp(caption, text, kButtonCaptionSize - 1) == 0;
}

// The explanation with a line appended, in the 256-byte message buffer.
// The line is what the box is about (the question, the end of the tests),
// so it always goes in whole: a long explanation is cut to make room.
void ComposeBoxText(char (&out)[kExplanationSize], const char* explanation, const char* appended) {
    const std::size_t tail = std::strlen(appended);
    const std::size_t room = tail < kExplanationSize - 1 ? kExplanationSize - 1 - tail : 0;
    CopyText(out, explanation, room);
    AppendText(out, appended);
}

template <std::size_t N>
void LoadInto(Messages& messages, int id, char (&caption)[N]) {
    if (messages.LoadText(id, caption, static_cast<int>(N)) == 0) caption[0] = '\0';
}

}  // namespace

DiagnosticsSequence::DiagnosticsSequence(DiagnosticsContext& context, DiagnosticsFace& face)
    : context_(context), face_(face) {
    for (RowState& state : rows_) state = RowState::NotTested;
}

bool DiagnosticsSequence::Open() {
    for (RowState& state : rows_) state = RowState::NotTested;
    not_testable_ = false;
    write_buffer_unsupported_ = false;
    stop_ = false;
    running_ = false;
    bitmap_ = 0;

    // From the position within an adapter's block to the selected adapter's
    // slot. A position or adapter that names no filled slot of the table is
    // treated like an empty ID rather than read from outside it.
    const Inventory& inventory = context_.scsi.inventory;
    slot_ = SelectedAdapterSlot(inventory, context_.selected_adapter, context_.selected_slot);
    if (slot_ >= inventory.slot_count) slot_ = -1;
    context_.selected_slot = slot_;
    if (slot_ < 0) {
        Refuse(IDS_NO_DEVICE_REFUSAL);
        return false;
    }

    const SharedTexts& texts = context_.texts;
    const DeviceSlot& slot = inventory.slots[slot_];
    // Whatever language named the slot: the scan, NT discovery or a listing.
    const SlotKind kind = KindOfSlot(texts, slot);
    if (kind == SlotKind::HostAdapter) {
        Refuse(IDS_CONTROLLER_REFUSAL);
        return false;
    }
    if (kind == SlotKind::NoDevice) {
        Refuse(IDS_NO_DEVICE_REFUSAL);
        return false;
    }
    not_testable_ = kind == SlotKind::Scanner || kind == SlotKind::Worm;

    char number[16] = "";
    AppendUnsigned(number, static_cast<unsigned>(slot.target_id));
    face_.SetText(IDC_SCSI_ID, number);
    // The fields are copied through buffers of their own size, so a field
    // that lost its terminator is still shown cut to its width.
    char vendor[sizeof slot.vendor], revision[sizeof slot.revision];
    char type_name[sizeof slot.type_name], product[sizeof slot.product];
    CopyBytes(vendor, slot.vendor, sizeof slot.vendor);
    CopyBytes(revision, slot.revision, sizeof slot.revision);
    CopyBytes(type_name, slot.type_name, sizeof slot.type_name);
    CopyBytes(product, slot.product, sizeof slot.product);
    face_.SetText(IDC_MANUFACTURER, vendor);
    face_.SetText(IDC_VERSION, revision);
    face_.SetText(IDC_DEVICE_TYPE, type_name);
    face_.SetText(IDC_PRODUCT, product);
    for (const RowControls& row : kRowControls) {
        face_.SetCheck(row.check, false);
        face_.Enable(row.check, false);
    }
    face_.SetText(IDC_INFO_LINE, " ");
    face_.SetText(IDC_INFO_BLOCK, " ");
    bitmap_ = slot.bitmap;
    face_.CenterOverOwner();
    face_.SetText(kButton1, texts.begin_tests);

    if (not_testable_) {
        char text[kExplanationSize];
        LoadInto(context_.scsi.messages, IDS_NOT_TESTABLE, text);
        face_.SetText(IDC_INFO_LINE, texts.status_caption);
        face_.SetText(IDC_INFO_BLOCK, text);
        face_.SetText(kButton1, texts.ok);
    }
    face_.Show();
    return true;
}

void DiagnosticsSequence::Refuse(int message_id) {
    slot_ = -1;  // nothing here may ever be tested
    ShowMessage(context_.scsi.messages, context_.owner, message_id, win::kMbIconInformation);
    face_.SetText(kButton1, context_.texts.ok);
    face_.PostCommand(win::kIdCancel);
}

bool DiagnosticsSequence::ButtonReads(const char* text) {
    char caption[kButtonCaptionSize] = "";
    face_.GetText(kButton1, caption, sizeof caption);
    caption[sizeof caption - 1] = '\0';
    return CaptionMatches(caption, text);
}

void DiagnosticsSequence::OnCommand(int id) {
    if (id == win::kIdOk) {
        if (ButtonReads(context_.texts.begin_tests)) {
            stop_ = false;
            face_.PostRunTests();
        } else if (ButtonReads(context_.texts.ok)) {
            face_.End();
        }
    } else if (id == win::kIdCancel) {
        face_.End();
    }
}

void DiagnosticsSequence::Run() {
    // A second run posted while the first still shows one of its boxes
    // waits for nothing: the first one finishes the dialog.
    if (running_ || slot_ < 0) return;
    running_ = true;
    const SharedTexts& texts = context_.texts;
    Messages& messages = context_.scsi.messages;

    char warning[kMessageTextSize];
    CopyText(warning, texts.warning_shared);
    AppendText(warning, texts.warning_destructive);
    AppendText(warning, texts.warning_safe_devices);
    AppendText(warning, texts.warning_proceed);
    if (messages.Box(face_.Window(), warning, texts.tests_caption, win::kMbIconExclamation | win::kMbYesNo) !=
        win::kIdYes) {
        face_.SetText(kButton1, texts.ok);
        face_.SendCommand(win::kIdOk);
        running_ = false;
        return;
    }

    face_.SetText(IDC_INFO_LINE, texts.in_progress);
    ClearFailureRecords(context_.scsi.sense_report, context_.scsi.last_error);
    TestUnitReady();
    if (!stop_) WriteBuffer();
    if (!stop_ && !write_buffer_unsupported_) ReadBuffer();
    Outcome();
    running_ = false;
}

void DiagnosticsSequence::SetRow(int index, RowState state) {
    rows_[index] = state;
    face_.RowStateChanged(kRowControls[index].state, state);
}

void DiagnosticsSequence::BeginTest(int index) {
    SetRow(index, RowState::Testing);
    face_.Enable(kRowControls[index].check, true);
    face_.SetText(kRowControls[index].state, context_.texts.testing);
    // The command blocks the window thread: "Testing..." must be on the
    // screen before it starts.
    face_.RepaintNow();
}

void DiagnosticsSequence::Passed(int index, bool pause) {
    if (pause) context_.scsi.clock.Sleep(kResultPauseMs);
    face_.SetCheck(kRowControls[index].check, true);
    SetRow(index, RowState::Passed);
    face_.SetText(kRowControls[index].state, context_.texts.passed);
}

void DiagnosticsSequence::Failed(int index) {
    SetRow(index, RowState::Failed);
    face_.SetText(kRowControls[index].state, context_.texts.failed);
}

bool DiagnosticsSequence::AwaitSharedBlock() {
    ScanWatch* scan = context_.scan;
    if (scan == nullptr) return true;
    Clock& clock = context_.scsi.clock;
    const std::uint32_t start = clock.Ticks();
    while (scan->Busy()) {
        if (static_cast<std::uint32_t>(clock.Ticks() - start) >= kScanWaitLimitMs) return false;
        scan->LetScanRun();
        clock.Idle();
    }
    return true;
}

int DiagnosticsSequence::RunCommand(Command command) {
    ScsiCommandContext& scsi = context_.scsi;
    // A command that cannot have the block fails without being sent, and
    // without touching the scan's request.
    if (scsi.inventory.platform == kPlatformWin95 && !AwaitSharedBlock()) {
        RecordFailure(scsi.last_error, IDS_SCAN_HOLDS_BLOCK);
        return 0;
    }
    const DeviceSlot& slot = scsi.inventory.slots[slot_];
    return command(scsi, slot.adapter_number, slot.target_id);
}

void DiagnosticsSequence::Explain(FailureExplanation& explanation) {
    ExplainFailure(context_.scsi.messages, context_.scsi.sense_report, context_.scsi.last_error, explanation);
    // The reason stays in the dialog after its box is gone: the sense data,
    // or else what was reported.
    if (explanation.information[0] != '\0') face_.SetText(IDC_INFO_BLOCK, explanation.information);
}

void DiagnosticsSequence::TestUnitReady() {
    ScsiCommandContext& scsi = context_.scsi;
    BeginTest(kRowTestUnitReady);
    int passed = RunCommand(test_unit_ready);
    const std::int32_t code = scsi.sense_report.sense_code;
    if (code == kAscMediumChanged || code == kAscPowerOnOrReset) {
        // Asked once more without a word; only the second answer counts, so
        // the first one's explanation must not be shown for it.
        ClearFailureRecords(scsi.sense_report, scsi.last_error);
        passed = RunCommand(test_unit_ready);
    }
    if (passed) {
        Passed(kRowTestUnitReady, true);
        return;
    }

    Failed(kRowTestUnitReady);
    FailureExplanation explanation;
    Explain(explanation);
    char text[kExplanationSize];
    ComposeBoxText(text, explanation.text, context_.texts.continue_question);
    char caption[128];
    bool go_on = false;
    if (scsi.messages.LoadText(IDS_TUR_FAILED_CAPTION, caption, sizeof caption) > 0) {
        go_on = scsi.messages.Box(face_.Window(), text, caption, win::kMbIconError | win::kMbYesNo) == win::kIdYes;
    }
    if (go_on) {
        ClearFailureRecords(scsi.sense_report, scsi.last_error);
    } else {
        stop_ = true;
    }
}

void DiagnosticsSequence::WriteBuffer() {
    ScsiCommandContext& scsi = context_.scsi;
    BeginTest(kRowWriteBuffer);
    if (RunCommand(write_buffer)) {
        Passed(kRowWriteBuffer, scsi.inventory.platform == kPlatformNt);
        return;
    }

    FailureExplanation explanation;
    Explain(explanation);
    if (scsi.last_error.text_id == IDS_NT_CLASS_UNSUPPORTED) {
        // The class driver does not pass the command on: nothing was tested,
        // and READ BUFFER would have nothing to read back.
        scsi.messages.Box(face_.Window(), explanation.text, context_.texts.status_caption, win::kMbIconError);
        write_buffer_unsupported_ = true;
        SetRow(kRowWriteBuffer, RowState::NotTested);
        face_.SetText(kRowControls[kRowWriteBuffer].state, context_.texts.not_tested);
        face_.RepaintNow();
        return;
    }

    char text[kExplanationSize];
    ComposeBoxText(text, explanation.text, context_.texts.testing_complete);
    char caption[128];
    LoadInto(scsi.messages, IDS_WRITE_FAILED_CAPTION, caption);
    scsi.messages.Box(face_.Window(), text, caption, win::kMbIconError);
    stop_ = true;
    Failed(kRowWriteBuffer);
}

void DiagnosticsSequence::ReadBuffer() {
    ScsiCommandContext& scsi = context_.scsi;
    BeginTest(kRowReadBuffer);
    if (RunCommand(read_buffer)) {
        Passed(kRowReadBuffer, scsi.inventory.platform == kPlatformNt);
        return;
    }

    Failed(kRowReadBuffer);
    FailureExplanation explanation;
    Explain(explanation);
    char caption[128];
    LoadInto(scsi.messages, IDS_READ_FAILED_CAPTION, caption);
    scsi.messages.Box(face_.Window(), explanation.text, caption, win::kMbIconError);
}

void DiagnosticsSequence::Outcome() {
    const SharedTexts& texts = context_.texts;
    bool failed = stop_;
    for (RowState state : rows_) failed = failed || state == RowState::Failed;
    if (failed) {
        // The text opens with two line feeds, made for appending it to a
        // message; the information line keeps it whole, and the dialog draws
        // that one-line control from its first words (see the Win32 face).
        face_.SetText(IDC_INFO_LINE, texts.testing_complete);
    } else {
        char verdict[kExplanationSize];
        LoadInto(context_.scsi.messages, IDS_TESTS_VERDICT, verdict);
        face_.SetText(IDC_INFO_LINE, texts.tests_successful);
        face_.SetText(IDC_INFO_BLOCK, verdict);
    }
    face_.SetText(kButton1, texts.ok);
}

StaticColours DiagnosticsSequence::ColoursFor(int control) const {
    if (control == IDC_INFO_LINE || control == IDC_INFO_BLOCK) return {true, kBlack, kWhite};
    for (int index = 0; index < kTestRows; ++index) {
        if (kRowControls[index].state != control) continue;
        switch (rows_[index]) {
            case RowState::Passed:
                return {true, kBlack, kGreen};
            case RowState::Failed:
                return {true, kBlack, kRed};
            case RowState::Testing:
                return {true, kWhite, kBlack};
            case RowState::NotTested:
                break;
        }
    }
    return {false, 0, 0};
}

}  // namespace td
