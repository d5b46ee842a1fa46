// The "Device Diagnostic Tests" dialog without its window: opening for the
// selected device, button 1, the three tests in order with their row states,
// pauses, questions and verdicts, and the colours of the state texts.
//
// Everything runs on the window thread. The dialog procedure forwards
// WM_INITDIALOG to Open, WM_COMMAND to OnCommand, the private message
// kWmRunTests to Run and WM_CTLCOLORSTATIC to ColoursFor; the sequence
// acts on the dialog only through its DiagnosticsFace. Button 1's caption
// ("Begin Tests" or "OK") is the dialog's state: OnCommand reads it back
// from the face rather than keeping a copy.
#pragma once

#include <cstdint>

#include "common/shared_texts.h"
#include "diagnostics/diagnostics_face.h"
#include "inventory/inventory.h"
#include "scsi/command_context.h"
#include "scsi/explanation.h"

namespace td {

// WM_USER + 11: runs the sequence (posted by "Begin Tests").
constexpr unsigned kWmRunTests = 0x0400 + 11;

// Button 1's caption is read into this many characters, terminator included.
constexpr int kButtonCaptionSize = 20;

// The pause after a passed test that lets the user see its result.
constexpr std::uint32_t kResultPauseMs = 1000;

// The longest a test command waits for the device scan to let go of the
// shared execute block before it fails without being sent.
constexpr std::uint32_t kScanWaitLimitMs = 30000;

// The three tests, in the order they run.
enum TestRow : int { kRowTestUnitReady = 0, kRowWriteBuffer = 1, kRowReadBuffer = 2, kTestRows = 3 };

// A colour as Win32 keeps it (COLORREF: 0x00BBGGRR).
constexpr std::uint32_t Rgb(std::uint32_t red, std::uint32_t green, std::uint32_t blue) {
    return red | (green << 8) | (blue << 16);
}
constexpr std::uint32_t kBlack = Rgb(0, 0, 0);
constexpr std::uint32_t kWhite = Rgb(255, 255, 255);
constexpr std::uint32_t kGreen = Rgb(0, 255, 0);
constexpr std::uint32_t kRed = Rgb(255, 0, 0);

// How a static control is coloured: `custom` false keeps the system's colours.
struct StaticColours {
    bool custom;
    std::uint32_t text;
    std::uint32_t background;  // also the colour of the control's brush
};

struct DiagnosticsContext {
    ScsiCommandContext& scsi;  // the inventory, clock, messages, both records, both transports
    const SharedTexts& texts;
    // In: the position of the chosen SCSI ID within an adapter's block of
    // slots. Open turns it into the selected adapter's slot (-1 when that
    // is no slot of the table).
    std::int32_t& selected_slot;
    std::int32_t selected_adapter;
    // Owner of the refusal boxes: the dialog is never shown then.
    WindowRef owner;
    // Null when nothing shares the execute block with the test commands.
    ScanWatch* scan;
};

class DiagnosticsSequence {
public:
    DiagnosticsSequence(DiagnosticsContext& context, DiagnosticsFace& face);

    // WM_INITDIALOG: resets the dialog's state, picks the slot, refuses the
    // host adapter's own slot and empty IDs (their box, then IDCANCEL is
    // posted and the dialog closes unseen), fills the fields and shows the
    // dialog. Answers false when the dialog was refused.
    bool Open();

    // WM_COMMAND: IDOK under "Begin Tests" starts the sequence; IDOK under
    // "OK", and IDCANCEL, end the dialog; anything else is ignored.
    void OnCommand(int id);

    // kWmRunTests: the warning, then the three tests and the verdict.
    void Run();

    // The colours of a static control for WM_CTLCOLORSTATIC.
    StaticColours ColoursFor(int control) const;

    RowState row(int index) const { return rows_[index]; }
    int slot() const { return slot_; }
    UiHandle bitmap() const { return bitmap_; }
    bool not_testable() const { return not_testable_; }
    bool write_buffer_unsupported() const { return write_buffer_unsupported_; }
    bool stopped() const { return stop_; }

private:
    using Command = int (*)(ScsiCommandContext&, std::int32_t, std::int32_t);

    void Refuse(int message_id);
    bool ButtonReads(const char* text);
    void SetRow(int index, RowState state);
    void BeginTest(int index);
    void Passed(int index, bool pause);
    void Failed(int index);
    int RunCommand(Command command);
    bool AwaitSharedBlock();
    void Explain(FailureExplanation& explanation);
    void TestUnitReady();
    void WriteBuffer();
    void ReadBuffer();
    void Outcome();

    DiagnosticsContext& context_;
    DiagnosticsFace& face_;
    RowState rows_[kTestRows];
    bool not_testable_ = false;
    bool write_buffer_unsupported_ = false;
    bool stop_ = false;
    bool running_ = false;
    int slot_ = -1;
    UiHandle bitmap_ = 0;
};

}  // namespace td
