#include "diagnostics/diagnostics_window_win32.h"

#include "common/win32_seams.h"
#include "infowin/dialog_helpers_win32.h"
#include "resources/resource_ids.h"

namespace td {

// ---- Brushes ---------------------------------------------------------------

HBRUSH ColourBrushes::For(COLORREF colour) {
    for (int i = 0; i < count_; ++i) {
        if (entries_[i].colour == colour) return entries_[i].brush;
    }
    if (count_ == kMaxColours) return nullptr;
    HBRUSH brush = CreateSolidBrush(colour);
    if (brush == nullptr) return nullptr;
    entries_[count_++] = {colour, brush};
    return brush;
}

void ColourBrushes::Release() {
    for (int i = 0; i < count_; ++i) DeleteObject(entries_[i].brush);
    count_ = 0;
}

// ---- The face ----------------------------------------------------------------

WindowRef DialogWindowFace::Window() { return ToRef(dialog); }

void DialogWindowFace::SetText(int control, const char* text) { SetDlgItemTextA(dialog, control, text); }

void DialogWindowFace::GetText(int control, char* buffer, int size) {
    if (size <= 0) return;
    buffer[0] = '\0';
    GetDlgItemTextA(dialog, control, buffer, size);
}

void DialogWindowFace::SetCheck(int control, bool checked) {
    CheckDlgButton(dialog, control, checked ? BST_CHECKED : BST_UNCHECKED);
}

void DialogWindowFace::Enable(int control, bool enabled) {
    EnableWindow(GetDlgItem(dialog, control), enabled ? TRUE : FALSE);
}

void DialogWindowFace::RowStateChanged(int state_control, RowState) {
    InvalidateRect(GetDlgItem(dialog, state_control), nullptr, TRUE);
}

void DialogWindowFace::RepaintNow() { RedrawWindow(dialog, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN); }

void DialogWindowFace::CenterOverOwner() { CenterWindow(dialog, GetWindow(dialog, GW_OWNER)); }

void DialogWindowFace::Show() { ShowWindow(dialog, SW_SHOW); }

void DialogWindowFace::PostCommand(int id) { PostMessageA(dialog, WM_COMMAND, static_cast<WPARAM>(id), 0); }

void DialogWindowFace::SendCommand(int id) { SendMessageA(dialog, WM_COMMAND, static_cast<WPARAM>(id), 0); }

void DialogWindowFace::PostRunTests() { PostMessageA(dialog, kWmRunTests, 0, 0); }

void DialogWindowFace::End() { EndDialog(dialog, 1); }

// ---- The device scan -----------------------------------------------------------

bool ChainScanWatch::Busy() { return *static_cast<const volatile std::uint16_t*>(&busy_) != 0; }

void ChainScanWatch::LetScanRun() {
    // A message sent from another thread is delivered while the thread
    // looks at its queue; PM_NOREMOVE leaves everything else where it is.
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_SENDMESSAGE);
    MSG message;
    PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE);
}

// ---- The dialog procedure ---------------------------------------------------------

namespace {

DiagnosticsDialogRun* RunOf(HWND dialog) {
    return reinterpret_cast<DiagnosticsDialogRun*>(GetWindowLongPtrA(dialog, DWLP_USER));
}

void OnPaint(DiagnosticsDialogRun& run, HWND dialog) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(dialog, &paint);
    DrawCenteredBitmap(dialog, IDC_PICTURE, dc, reinterpret_cast<HBITMAP>(run.sequence.bitmap()));
    EndPaint(dialog, &paint);
}

INT_PTR OnCtlColorStatic(DiagnosticsDialogRun& run, HDC dc, HWND control) {
    const StaticColours colours = run.sequence.ColoursFor(GetDlgCtrlID(control));
    if (!colours.custom) return FALSE;
    HBRUSH brush = run.brushes.For(colours.background);
    if (brush == nullptr) return FALSE;
    SetTextColor(dc, colours.text);
    SetBkColor(dc, colours.background);
    return reinterpret_cast<INT_PTR>(brush);
}

// The information line is one line high, and the verdict it shows after a
// failure opens with two line feeds (the same text ends the failure
// messages). A static control would draw those breaks and push the words
// out of sight; this one draws its text from the first character that is
// not a line break, while the text itself stays as it was set. Some
// static controls paint straight away when their text is set, without a
// WM_PAINT; a new text is therefore always drawn again through WM_PAINT.
constexpr char kStaticProcProperty[] = "TessalineStaticProc";

LRESULT CALLBACK InformationLineProc(HWND control, UINT message, WPARAM wparam, LPARAM lparam) {
    const auto static_proc = reinterpret_cast<WNDPROC>(GetPropA(control, kStaticProcProperty));
    if (message == WM_NCDESTROY) {
        RemovePropA(control, kStaticProcProperty);
        SetWindowLongPtrA(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(static_proc));
    }
    if (message == WM_SETTEXT) {
        const LRESULT set = CallWindowProcA(static_proc, control, message, wparam, lparam);
        RedrawWindow(control, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        return set;
    }
    if (message != WM_PAINT) return CallWindowProcA(static_proc, control, message, wparam, lparam);
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(control, &paint);
    HWND dialog = GetParent(control);
    HBRUSH brush = reinterpret_cast<HBRUSH>(
        SendMessageA(dialog, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(control)));
    RECT area;
    GetClientRect(control, &area);
    FillRect(dc, &area, brush != nullptr ? brush : GetSysColorBrush(COLOR_BTNFACE));
    char text[256];
    GetWindowTextA(control, text, sizeof text);
    const char* shown = text;
    while (*shown == '\n' || *shown == '\r') ++shown;
    HGDIOBJ old_font = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0)));
    SetBkMode(dc, TRANSPARENT);
    DrawTextA(dc, shown, -1, &area, DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
    SelectObject(dc, old_font);
    EndPaint(control, &paint);
    return 0;
}

}  // namespace

INT_PTR CALLBACK DiagnosticsDialogProc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_INITDIALOG) {
        auto* run = reinterpret_cast<DiagnosticsDialogRun*>(lparam);
        SetWindowLongPtrA(dialog, DWLP_USER, lparam);
        run->face.dialog = dialog;
        if (HWND line = GetDlgItem(dialog, IDC_INFO_LINE)) {
            SetPropA(line, kStaticProcProperty,
                     reinterpret_cast<HANDLE>(
                         SetWindowLongPtrA(line, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(InformationLineProc))));
        }
        run->sequence.Open();
        return TRUE;
    }
    DiagnosticsDialogRun* run = RunOf(dialog);
    if (run == nullptr) return FALSE;
    switch (message) {
        case WM_PAINT:
            OnPaint(*run, dialog);
            return TRUE;
        case WM_COMMAND:
            run->sequence.OnCommand(LOWORD(wparam));
            return TRUE;
        case WM_CTLCOLORSTATIC:
            return OnCtlColorStatic(*run, reinterpret_cast<HDC>(wparam), reinterpret_cast<HWND>(lparam));
        case kWmRunTests:
            run->sequence.Run();
            return TRUE;
        case WM_DESTROY:
            // The brushes live exactly as long as the window that uses them.
            run->brushes.Release();
            SetWindowLongPtrA(dialog, DWLP_USER, 0);
            return FALSE;
        default:
            return FALSE;
    }
}

}  // namespace td
