// What the test sequence needs from the dialog it runs in, and from the
// device scan it shares the ASPI execute block with.
//
// The sequence decides everything without a window handle; the dialog
// procedure implements these few operations with the dialog's controls, and
// tests implement them with a recorder.
#pragma once

#include <cstdint>

#include "common/messages.h"

namespace td {

enum class RowState : std::uint8_t { NotTested, Testing, Passed, Failed };

class DiagnosticsFace {
public:
    virtual ~DiagnosticsFace() = default;

    // The dialog itself: owner of the boxes the sequence shows.
    virtual WindowRef Window() = 0;

    // SetDlgItemTextA / GetDlgItemTextA (`size` counts the terminator).
    virtual void SetText(int control, const char* text) = 0;
    virtual void GetText(int control, char* buffer, int size) = 0;

    // Check mark and enabling of a check box.
    virtual void SetCheck(int control, bool checked) = 0;
    virtual void Enable(int control, bool enabled) = 0;

    // The row whose state text is `state_control` changed state, so that
    // text has to be drawn in other colours.
    virtual void RowStateChanged(int state_control, RowState state) = 0;

    // Paints every part of the dialog that waits for painting, at once: the
    // sequence blocks the window thread right afterwards.
    virtual void RepaintNow() = 0;

    // Centres the dialog over its owner, inside the work area.
    virtual void CenterOverOwner() = 0;
    virtual void Show() = 0;

    // WM_COMMAND with this id, posted (handled later) or sent (handled now).
    virtual void PostCommand(int id) = 0;
    virtual void SendCommand(int id) = 0;
    // Posts the private message that runs the sequence.
    virtual void PostRunTests() = 0;
    // Ends the dialog with result 1.
    virtual void End() = 0;
};

// The ASPI device scan and the test commands share one execute block. The
// scan keeps one INQUIRY outstanding at a time and hands each completion to
// the window thread, which stores it and sends the next one; a test command
// that reset the block in between would overwrite a request the library is
// still completing, and the scan would then store the test's answer as a
// device. So a test command waits until the scan has let go of the block.
class ScanWatch {
public:
    virtual ~ScanWatch() = default;
    // True while the device scan still uses the shared block.
    virtual bool Busy() = 0;
    // Lets the scan move on for a moment: the window thread takes the
    // completions the library hands over only while it looks at its
    // messages. Returns after a short while even when nothing came.
    virtual void LetScanRun() = 0;
};

}  // namespace td
