// The diagnostics dialog's window: the dialog procedure and what it needs
// besides the sequence, which decides everything else.
#pragma once

#include <windows.h>

#include <cstdint>

#include "diagnostics/diagnostics_sequence.h"

namespace td {

// The solid brushes of the coloured controls, one per colour, made the first
// time that colour is asked for and kept until the dialog ends: a repaint
// costs no brush, and a dialog run never holds more than its four colours.
class ColourBrushes {
public:
    ColourBrushes() = default;
    ~ColourBrushes() { Release(); }
    ColourBrushes(const ColourBrushes&) = delete;
    ColourBrushes& operator=(const ColourBrushes&) = delete;

    // Null only when the system has no brush left to give.
    HBRUSH For(COLORREF colour);
    // Deletes every brush; For makes them afresh afterwards.
    void Release();
    int count() const { return count_; }

private:
    struct Entry {
        COLORREF colour;
        HBRUSH brush;
    };
    static constexpr int kMaxColours = 8;
    Entry entries_[kMaxColours] = {};
    int count_ = 0;
};

// The dialog's controls as the sequence drives them.
class DialogWindowFace final : public DiagnosticsFace {
public:
    HWND dialog = nullptr;

    WindowRef Window() override;
    void SetText(int control, const char* text) override;
    void GetText(int control, char* buffer, int size) override;
    void SetCheck(int control, bool checked) override;
    void Enable(int control, bool enabled) override;
    void RowStateChanged(int state_control, RowState state) override;
    void RepaintNow() override;
    void CenterOverOwner() override;
    void Show() override;
    void PostCommand(int id) override;
    void SendCommand(int id) override;
    void PostRunTests() override;
    void End() override;
};

// The device scan's hold on the shared execute block, as the chain's busy
// flag tells it (set from the send of an INQUIRY until the window thread
// took its completion). While a test waits, the window thread takes the
// completions the library sends it, and only those: posted messages and
// input stay queued.
class ChainScanWatch final : public ScanWatch {
public:
    explicit ChainScanWatch(const std::uint16_t& busy) : busy_(busy) {}
    bool Busy() override;
    void LetScanRun() override;

private:
    const std::uint16_t& busy_;
};

// One run of the dialog: created by whoever opens it, handed to the dialog
// procedure as WM_INITDIALOG's lParam, outliving the dialog's window.
struct DiagnosticsDialogRun {
    explicit DiagnosticsDialogRun(DiagnosticsContext& context) : sequence(context, face) {}
    DialogWindowFace face;
    DiagnosticsSequence sequence;
    ColourBrushes brushes;
};

// The dialog procedure of dialog 138. Every way out ends the dialog with 1.
INT_PTR CALLBACK DiagnosticsDialogProc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam);

}  // namespace td
