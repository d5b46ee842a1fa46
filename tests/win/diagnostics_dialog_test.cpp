// The diagnostics dialog as Windows runs it: its template, the dialog
// procedure with real windows (colours and brushes of WM_CTLCOLORSTATIC,
// the modal run from "Begin Tests" to "OK"), and the picture and placement
// helpers on real windows.
#include <windows.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "common/win32_seams.h"
#include "common/win_codes.h"
#include "diagnostics/diagnostics_window_win32.h"
#include "infowin/dialog_helpers_win32.h"
#include "infowin/placement_math.h"
#include "resources/resource_ids.h"
#include "support/diagnostics_rig.h"
#include "support/gdi_objects.h"

namespace td {
namespace {

HINSTANCE Program() { return GetModuleHandleA(nullptr); }

// ---- The template ------------------------------------------------------------

// Reads a DLGTEMPLATE as the resource compiler laid it out.
class TemplateReader {
public:
    explicit TemplateReader(const void* data) : at_(static_cast<const BYTE*>(data)) {}
    DWORD Dword() { return Take<DWORD>(); }
    WORD Word() { return Take<WORD>(); }
    short Short() { return Take<short>(); }
    // A name or an ordinal: ordinals come back as "#<number>".
    std::string NameOrOrdinal() {
        if (Peek() == 0xFFFF) {
            Word();
            return "#" + std::to_string(Word());
        }
        return Text();
    }
    std::string Text() {
        std::string text;
        for (WORD c = Word(); c != 0; c = Word()) text += static_cast<char>(c);
        return text;
    }
    void AlignDword() {
        while (reinterpret_cast<std::uintptr_t>(at_) % 4 != 0) ++at_;
    }

private:
    WORD Peek() {
        WORD value;
        std::memcpy(&value, at_, sizeof value);
        return value;
    }
    template <typename T>
    T Take() {
        T value;
        std::memcpy(&value, at_, sizeof value);
        at_ += sizeof value;
        return value;
    }
    const BYTE* at_;
};

struct TemplateItem {
    int id;
    std::string window_class;  // "#128" button, "#130" static
    DWORD style;
    short x, y, cx, cy;
    std::string text;
};

constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
const std::string kButton = "#128", kStatic = "#130";

TEST(DiagnosticsDialogTemplate, ItemsInOrderWithTheirPlacesStylesAndTexts) {
    HRSRC found = FindResourceExA(Program(), RT_DIALOG, MAKEINTRESOURCEA(IDD_DIAGNOSTICS),
                                  MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US));
    ASSERT_NE(found, nullptr);
    TemplateReader reader(LockResource(LoadResource(Program(), found)));
    const DWORD style = reader.Dword();
    reader.Dword();  // extended style
    const WORD count = reader.Word();
    reader.Short();
    reader.Short();
    EXPECT_EQ(reader.Short(), 216);
    EXPECT_EQ(reader.Short(), 218);
    EXPECT_EQ(style, static_cast<DWORD>(DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_SETFONT))
        << "not visible until the dialog shows itself";
    EXPECT_EQ(reader.NameOrOrdinal(), "") << "no menu";
    EXPECT_EQ(reader.NameOrOrdinal(), "") << "the standard dialog class";
    EXPECT_EQ(reader.Text(), "Device Diagnostic Tests");
    EXPECT_EQ(reader.Word(), 8);
    EXPECT_EQ(reader.Text(), "MS Sans Serif");

    const DWORD label = kChild | SS_LEFT | WS_GROUP;
    const DWORD field = kChild | SS_CENTER | SS_SUNKEN | SS_NOPREFIX;
    const DWORD state = kChild | SS_CENTER | SS_SUNKEN;
    const DWORD info = kChild | SS_LEFT | SS_NOPREFIX;
    const DWORD check = kChild | BS_3STATE | WS_TABSTOP;
    const TemplateItem expected[] = {
        // Each field right after its label, so that a screen reader names it.
        {-1, kStatic, kChild | SS_LEFTNOWORDWRAP | WS_GROUP, 8, 11, 28, 10, "SCSI ID:"},
        {IDC_SCSI_ID, kStatic, field, 41, 11, 22, 10, "0:0:0"},
        {-1, kStatic, label, 70, 12, 48, 10, "Manufacturer:"},
        {IDC_MANUFACTURER, kStatic, field, 122, 11, 60, 10, "Manufacturer:"},
        {-1, kStatic, label, 70, 24, 43, 10, "Version:"},
        {IDC_VERSION, kStatic, field, 122, 24, 60, 10, "Version:"},
        {-1, kStatic, label, 70, 37, 43, 10, "Device Type:"},
        {IDC_DEVICE_TYPE, kStatic, field, 122, 37, 60, 10, "Device Type:"},
        {-1, kStatic, label, 70, 51, 48, 10, "Product Name:"},
        {IDC_PRODUCT, kStatic, field, 122, 51, 60, 10, "Product Name:"},
        {IDC_PICTURE, kStatic, kChild | SS_BITMAP | SS_SUNKEN, 18, 25, 32, 32, ""},
        {-1, kButton, kChild | BS_GROUPBOX, 10, 66, 198, 58, "Diagnostic Test Status"},
        {IDC_TUR_CHECK, kButton, check, 70, 82, 132, 10, "SCSI Test Unit Ready Command"},
        {IDC_TUR_STATE, kStatic, state, 23, 82, 40, 9, "Not Tested"},
        {IDC_WRITE_CHECK, kButton, check, 70, 94, 132, 10, "SCSI Write Buffer Command"},
        {IDC_WRITE_STATE, kStatic, state, 23, 94, 40, 9, "Not Tested"},
        {IDC_READ_CHECK, kButton, check, 70, 107, 132, 10, "SCSI Read Buffer Command"},
        {IDC_READ_STATE, kStatic, state, 23, 107, 40, 9, "Not Tested"},
        {-1, kStatic, label, 16, 133, 177, 9, "Diagnostic Test Information"},
        {-1, kStatic, kChild | SS_WHITERECT | SS_SUNKEN | WS_BORDER, 7, 143, 202, 51, ""},
        {IDC_INFO_LINE, kStatic, info, 9, 146, 198, 8, "1"},
        {IDC_INFO_BLOCK, kStatic, info, 9, 156, 198, 36, "2"},
        {IDOK, kButton, kChild | BS_DEFPUSHBUTTON | WS_TABSTOP, 75, 201, 66, 14, "OK"},
    };
    ASSERT_EQ(count, std::size(expected));
    for (const TemplateItem& want : expected) {
        SCOPED_TRACE(want.text + " " + std::to_string(want.id));
        reader.AlignDword();
        TemplateItem have;
        have.style = reader.Dword();
        reader.Dword();
        have.x = reader.Short();
        have.y = reader.Short();
        have.cx = reader.Short();
        have.cy = reader.Short();
        have.id = static_cast<short>(reader.Word());
        // Controls named by class come as names, the others as ordinals.
        have.window_class = reader.NameOrOrdinal();
        if (have.window_class == "STATIC") have.window_class = kStatic;
        if (have.window_class == "BUTTON") have.window_class = kButton;
        have.text = reader.NameOrOrdinal();
        const WORD extra = reader.Word();
        EXPECT_EQ(extra, 0);
        EXPECT_EQ(have.id, want.id);
        EXPECT_EQ(have.window_class, want.window_class);
        EXPECT_EQ(have.style, want.style);
        EXPECT_EQ(have.text, want.text);
        EXPECT_EQ(have.x, want.x);
        EXPECT_EQ(have.y, want.y);
        EXPECT_EQ(have.cx, want.cx);
        EXPECT_EQ(have.cy, want.cy);
    }
}

// ---- The dialog procedure ---------------------------------------------------------

// A window to own the dialog, as the main window does.
class OwnerWindow {
public:
    OwnerWindow(int x = 150, int y = 120, int width = 640, int height = 480) {
        window_ = CreateWindowExA(0, "STATIC", "owner", WS_POPUP | WS_VISIBLE, x, y, width, height, nullptr, nullptr,
                                  Program(), nullptr);
    }
    ~OwnerWindow() { DestroyWindow(window_); }
    HWND get() const { return window_; }

private:
    HWND window_;
};

// Dispatches whatever is queued for this thread (the posted run, repaints).
void Pump() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

// What WM_CTLCOLORSTATIC answers for one control.
struct Painted {
    HBRUSH brush;
    COLORREF text;
    COLORREF background;
};

Painted AskColours(HWND dialog, int control) {
    HDC dc = CreateCompatibleDC(nullptr);
    SetTextColor(dc, RGB(1, 2, 3));
    SetBkColor(dc, RGB(4, 5, 6));
    const LRESULT result = SendMessageA(dialog, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                        reinterpret_cast<LPARAM>(GetDlgItem(dialog, control)));
    Painted painted{reinterpret_cast<HBRUSH>(result), GetTextColor(dc), GetBkColor(dc)};
    DeleteDC(dc);
    return painted;
}

COLORREF BrushColour(HBRUSH brush) {
    LOGBRUSH info{};
    EXPECT_EQ(GetObjectA(brush, sizeof info, &info), static_cast<int>(sizeof info));
    EXPECT_EQ(info.lbStyle, static_cast<UINT>(BS_SOLID));
    return info.lbColor;
}

void ExpectColours(HWND dialog, int control, COLORREF text, COLORREF background) {
    SCOPED_TRACE(control);
    const Painted painted = AskColours(dialog, control);
    ASSERT_NE(painted.brush, nullptr);
    EXPECT_EQ(BrushColour(painted.brush), background);
    EXPECT_EQ(painted.text, text);
    EXPECT_EQ(painted.background, background);
}

// The dialog procedure leaves the control to the system: the answer is the
// default window procedure's.
void ExpectSystemColours(HWND dialog, int control) {
    const Painted painted = AskColours(dialog, control);
    HDC dc = CreateCompatibleDC(nullptr);
    const HBRUSH system = reinterpret_cast<HBRUSH>(
        DefWindowProcA(dialog, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                       reinterpret_cast<LPARAM>(GetDlgItem(dialog, control))));
    const COLORREF text = GetTextColor(dc);
    DeleteDC(dc);
    EXPECT_EQ(painted.brush, system) << control;
    EXPECT_EQ(painted.text, text) << control;
}

std::string TextOf(HWND dialog, int control) {
    char text[512] = "";
    GetDlgItemTextA(dialog, control, text, sizeof text);
    return text;
}

// The built-in machine (a disk at ID 0, a CD-ROM without a disc at ID 4) on
// Windows 95, with a dialog created from the template over a real owner.
class DialogOnTheBus : public ::testing::Test {
protected:
    test::DiagnosticsRig rig{sim::DefaultScenarioText(), kPlatformWin95};
    OwnerWindow owner;
    DiagnosticsDialogRun run{rig.context};
    HWND dialog = nullptr;

    void Create(int target_id) {
        rig.context.owner = ToRef(owner.get());
        rig.context.selected_adapter = 0;
        rig.selected_slot = target_id;
        dialog = CreateDialogParamA(Program(), MAKEINTRESOURCEA(IDD_DIAGNOSTICS), owner.get(), DiagnosticsDialogProc,
                                    reinterpret_cast<LPARAM>(&run));
        ASSERT_NE(dialog, nullptr);
    }
    void BeginTests() {
        SendMessageA(dialog, WM_COMMAND, IDOK, 0);
        Pump();
    }
    void TearDown() override {
        if (dialog != nullptr && IsWindow(dialog)) DestroyWindow(dialog);
    }
};

TEST_F(DialogOnTheBus, OpensFilledCentredAndShown) {
    Create(0);
    EXPECT_TRUE(IsWindowVisible(dialog));
    EXPECT_EQ(TextOf(dialog, IDC_SCSI_ID), "0");
    EXPECT_EQ(TextOf(dialog, IDC_MANUFACTURER), "KESTRAL");
    EXPECT_EQ(TextOf(dialog, IDC_VERSION), "1.04");
    EXPECT_EQ(TextOf(dialog, IDC_DEVICE_TYPE), "Hard Disk");
    EXPECT_EQ(TextOf(dialog, IDC_PRODUCT), "KD-2100S");
    EXPECT_EQ(TextOf(dialog, IDOK), "Begin Tests");
    for (const int check : {IDC_TUR_CHECK, IDC_WRITE_CHECK, IDC_READ_CHECK}) {
        EXPECT_EQ(IsDlgButtonChecked(dialog, check), static_cast<UINT>(BST_UNCHECKED));
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, check)));
    }
    RECT have, over, area;
    GetWindowRect(dialog, &have);
    GetWindowRect(owner.get(), &over);
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    const ScreenPoint want = CenterOverOwner(have.right - have.left, have.bottom - have.top,
                                             {over.left, over.top, over.right, over.bottom},
                                             {area.left, area.top, area.right, area.bottom});
    EXPECT_EQ(have.left, want.x);
    EXPECT_EQ(have.top, want.y);

    // The information fields are black on white from the start; the rows
    // and every other static keep the system's colours until tested.
    ExpectColours(dialog, IDC_INFO_LINE, RGB(0, 0, 0), RGB(255, 255, 255));
    ExpectColours(dialog, IDC_INFO_BLOCK, RGB(0, 0, 0), RGB(255, 255, 255));
    for (const int control : {IDC_TUR_STATE, IDC_WRITE_STATE, IDC_READ_STATE, IDC_SCSI_ID, IDC_PRODUCT})
        ExpectSystemColours(dialog, control);
}

TEST_F(DialogOnTheBus, RowsTurnWhiteOnBlackWhileTestingThenGreen) {
    Create(0);
    std::vector<Painted> while_testing;
    const int states[] = {IDC_TUR_STATE, IDC_WRITE_STATE, IDC_READ_STATE};
    rig.on_send = [&](std::uint8_t) {
        while_testing.push_back(AskColours(dialog, states[while_testing.size()]));
        // "Testing..." is already on the screen: nothing waits to be painted.
        EXPECT_FALSE(GetUpdateRect(GetDlgItem(dialog, states[while_testing.size() - 1]), nullptr, FALSE));
    };
    BeginTests();

    ASSERT_EQ(while_testing.size(), 3u);
    for (const Painted& painted : while_testing) {
        EXPECT_EQ(BrushColour(painted.brush), RGB(0, 0, 0));
        EXPECT_EQ(painted.text, RGB(255, 255, 255));
    }
    for (const int control : states) {
        EXPECT_EQ(TextOf(dialog, control), "PASSED!");
        ExpectColours(dialog, control, RGB(0, 0, 0), RGB(0, 255, 0));
    }
    for (const int check : {IDC_TUR_CHECK, IDC_WRITE_CHECK, IDC_READ_CHECK})
        EXPECT_EQ(IsDlgButtonChecked(dialog, check), static_cast<UINT>(BST_CHECKED));
    EXPECT_EQ(TextOf(dialog, IDC_INFO_LINE), "Diagnostic tests completed successfully !");
    EXPECT_EQ(TextOf(dialog, IDOK), "OK");
}

TEST_F(DialogOnTheBus, FailedRowIsRedAndTheOthersStayInSystemColours) {
    Create(4);  // no disc
    rig.messages.Answer(IDYES);
    rig.messages.Answer(IDNO);
    BeginTests();
    EXPECT_EQ(TextOf(dialog, IDC_TUR_STATE), "FAILED!");
    ExpectColours(dialog, IDC_TUR_STATE, RGB(0, 0, 0), RGB(255, 0, 0));
    ExpectSystemColours(dialog, IDC_WRITE_STATE);
    ExpectSystemColours(dialog, IDC_READ_STATE);
    EXPECT_EQ(TextOf(dialog, IDC_WRITE_STATE), "Not Tested");
    EXPECT_EQ(TextOf(dialog, IDC_INFO_BLOCK),
              "Last Error Reported Sense Data:\nSense Key: 2\nSense Code: 3a\nSense Code Qualifier: 0");
}

// The verdict after a failure opens with two line feeds; the one-line
// information field keeps the text exactly and still shows its words.
TEST_F(DialogOnTheBus, FailureVerdictIsKeptWholeAndDrawnInTheOneLineField) {
    Create(4);
    rig.messages.Answer(IDYES);
    rig.messages.Answer(IDNO);
    BeginTests();
    EXPECT_EQ(TextOf(dialog, IDC_INFO_LINE), "\n\nSCSI Diagnostic Testing Complete");

    HWND line = GetDlgItem(dialog, IDC_INFO_LINE);
    RECT area;
    GetClientRect(line, &area);
    HDC screen = GetDC(line);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP picture = CreateCompatibleBitmap(screen, area.right, area.bottom);
    HGDIOBJ old = SelectObject(memory, picture);
    RedrawWindow(line, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    BitBlt(memory, 0, 0, area.right, area.bottom, screen, 0, 0, SRCCOPY);
    int dark = 0;
    for (int y = 0; y < area.bottom; ++y)
        for (int x = 0; x < area.right; ++x) dark += GetPixel(memory, x, y) == RGB(0, 0, 0);
    SelectObject(memory, old);
    DeleteObject(picture);
    DeleteDC(memory);
    ReleaseDC(line, screen);
    EXPECT_GT(dark, 20) << "the words are drawn in the field's one visible line";
}

TEST_F(DialogOnTheBus, BrushesAreMadeOncePerColourAndGoWithTheDialog) {
    Create(4);
    rig.messages.Answer(IDYES);
    rig.messages.Answer(IDYES);  // go on after the failure: red, then green rows
    BeginTests();

    // Counted in the process's GDI table: Wine answers GetGuiResources with 0.
    const std::uint32_t objects_before = test::CountOwnGdiObjects();
    ASSERT_GT(objects_before, 0u) << "the GDI objects could not be counted";
    std::set<HBRUSH> brushes;
    for (int round = 0; round < 100; ++round) {
        RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        for (const int control : {IDC_TUR_STATE, IDC_WRITE_STATE, IDC_READ_STATE, IDC_INFO_LINE, IDC_INFO_BLOCK})
            brushes.insert(AskColours(dialog, control).brush);
    }
    // Red, green and white; black was made while testing.
    EXPECT_EQ(brushes.size(), 3u);
    EXPECT_EQ(run.brushes.count(), 4);
    EXPECT_LE(test::CountOwnGdiObjects(), objects_before + 2) << "no brush per repaint";

    for (HBRUSH brush : brushes) EXPECT_EQ(GetObjectType(brush), static_cast<DWORD>(OBJ_BRUSH));
    DestroyWindow(dialog);
    for (HBRUSH brush : brushes) EXPECT_EQ(GetObjectType(brush), 0u) << "deleted with the dialog";
    EXPECT_EQ(run.brushes.count(), 0);
}

// ---- The modal run -------------------------------------------------------------------

HWND g_found_dialog = nullptr;
int g_ok_clicks = 0;

// Plays the user: once the dialog shows, clicks button 1 whatever it says.
void CALLBACK ClickButtonOne(HWND, UINT, UINT_PTR, DWORD) {
    HWND dialog = FindWindowA(MAKEINTRESOURCEA(32770), "Device Diagnostic Tests");
    if (dialog == nullptr || !IsWindowVisible(dialog) || !IsWindowEnabled(dialog)) return;
    g_found_dialog = dialog;
    ++g_ok_clicks;
    PostMessageA(dialog, WM_COMMAND, IDOK, 0);
}

// Notes every time a diagnostics dialog is about to be shown.
HHOOK g_hook = nullptr;
int g_dialog_shown = 0;
LRESULT CALLBACK NoteShowing(int code, WPARAM wparam, LPARAM lparam) {
    const auto* call = reinterpret_cast<const CWPSTRUCT*>(lparam);
    if (code == HC_ACTION && call->message == WM_SHOWWINDOW && call->wParam) {
        char title[64] = "";
        GetWindowTextA(call->hwnd, title, sizeof title);
        if (std::strcmp(title, "Device Diagnostic Tests") == 0) ++g_dialog_shown;
    }
    return CallNextHookEx(g_hook, code, wparam, lparam);
}

TEST(DiagnosticsDialogModal, BeginTestsRunsEverythingAndOkEndsWithOne) {
    test::DiagnosticsRig rig(sim::DefaultScenarioText(), kPlatformWin95);
    OwnerWindow owner;
    rig.context.owner = ToRef(owner.get());
    rig.context.selected_adapter = 0;
    rig.selected_slot = 0;
    DiagnosticsDialogRun run(rig.context);
    g_ok_clicks = 0;
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, ClickButtonOne);
    const INT_PTR result = DialogBoxParamA(Program(), MAKEINTRESOURCEA(IDD_DIAGNOSTICS), owner.get(),
                                           DiagnosticsDialogProc, reinterpret_cast<LPARAM>(&run));
    KillTimer(nullptr, timer);
    EXPECT_EQ(result, 1);
    EXPECT_EQ(g_ok_clicks, 2) << "\"Begin Tests\", then \"OK\"";
    EXPECT_EQ(rig.Opcodes(), (std::vector<std::uint8_t>{0x00, 0x3B, 0x3C}));
    for (int row = 0; row < kTestRows; ++row) EXPECT_EQ(run.sequence.row(row), RowState::Passed);
    EXPECT_FALSE(IsWindow(g_found_dialog));
    EXPECT_EQ(run.brushes.count(), 0);
    EXPECT_TRUE(IsWindowEnabled(owner.get())) << "the owner is given back";
}

TEST(DiagnosticsDialogModal, RefusedSlotEndsWithOneWithoutShowing) {
    for (const int target_id : {7, 1}) {  // the adapter's own ID, an empty ID
        test::DiagnosticsRig rig(sim::DefaultScenarioText(), kPlatformWin95);
        OwnerWindow owner;
        rig.context.owner = ToRef(owner.get());
        rig.context.selected_adapter = 0;
        rig.selected_slot = target_id;
        DiagnosticsDialogRun run(rig.context);
        g_dialog_shown = 0;
        g_hook = SetWindowsHookExA(WH_CALLWNDPROC, NoteShowing, nullptr, GetCurrentThreadId());
        const INT_PTR result = DialogBoxParamA(Program(), MAKEINTRESOURCEA(IDD_DIAGNOSTICS), owner.get(),
                                               DiagnosticsDialogProc, reinterpret_cast<LPARAM>(&run));
        UnhookWindowsHookEx(g_hook);
        EXPECT_EQ(result, 1) << target_id;
        EXPECT_EQ(g_dialog_shown, 0) << target_id;
        ASSERT_EQ(rig.messages.boxes().size(), 1u) << target_id;
        EXPECT_EQ(rig.messages.boxes()[0].owner, ToRef(owner.get()));
    }
}

// ---- The device scan's hand-over ---------------------------------------------------------

std::uint16_t g_busy = 0;
int g_posted_seen = 0;
constexpr UINT kHandOver = WM_APP + 1;
constexpr UINT kPosted = WM_APP + 2;

LRESULT CALLBACK ScanWindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == kHandOver) {
        g_busy = 0;  // the window thread took the completion
        return 0;
    }
    if (message == kPosted) {
        ++g_posted_seen;
        return 0;
    }
    return DefWindowProcA(window, message, wparam, lparam);
}

TEST(DiagnosticsScanWatch, TakesTheScansHandOverAndLeavesEverythingElseQueued) {
    WNDCLASSA window_class{};
    window_class.lpfnWndProc = ScanWindowProc;
    window_class.hInstance = Program();
    window_class.lpszClassName = "TdScanWatchTest";
    RegisterClassA(&window_class);
    HWND window = CreateWindowExA(0, "TdScanWatchTest", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, Program(),
                                  nullptr);
    ASSERT_NE(window, nullptr);
    g_busy = 1;
    g_posted_seen = 0;
    PostMessageA(window, kPosted, 0, 0);

    ChainScanWatch watch(g_busy);
    EXPECT_TRUE(watch.Busy());
    // The library's thread hands the completion over with a sent message,
    // which returns only once the window thread has handled it.
    std::thread library([window] { SendMessageA(window, kHandOver, 0, 0); });
    const DWORD start = GetTickCount();
    while (watch.Busy() && GetTickCount() - start < 5000) watch.LetScanRun();
    library.join();
    EXPECT_FALSE(watch.Busy());
    EXPECT_EQ(g_posted_seen, 0) << "posted messages are not dispatched meanwhile";
    MSG message;
    EXPECT_TRUE(PeekMessageA(&message, window, kPosted, kPosted, PM_REMOVE));
    DestroyWindow(window);
}

// ---- Picture and placement helpers ---------------------------------------------------------

// A parent window with one static control at a given pixel rectangle.
class FramedControl {
public:
    FramedControl(int x, int y, int width, int height) {
        parent_ = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 200, 200, nullptr, nullptr, Program(), nullptr);
        CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, x, y, width, height, parent_,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_PICTURE)), Program(), nullptr);
    }
    ~FramedControl() { DestroyWindow(parent_); }
    HWND get() const { return parent_; }

private:
    HWND parent_;
};

// A canvas the size of the parent's client area, all white.
class Canvas {
public:
    Canvas() {
        HDC screen = GetDC(nullptr);
        dc_ = CreateCompatibleDC(screen);
        bitmap_ = CreateCompatibleBitmap(screen, 200, 200);
        ReleaseDC(nullptr, screen);
        old_ = SelectObject(dc_, bitmap_);
        RECT all = {0, 0, 200, 200};
        FillRect(dc_, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    }
    ~Canvas() {
        SelectObject(dc_, old_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    HDC dc() const { return dc_; }
    bool Red(int x, int y) const { return GetPixel(dc_, x, y) == RGB(255, 0, 0); }

private:
    HDC dc_;
    HBITMAP bitmap_;
    HGDIOBJ old_;
};

HBITMAP RedPicture(int width, int height) {
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HDC dc = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(dc, bitmap);
    RECT all = {0, 0, width, height};
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    FillRect(dc, &all, red);
    DeleteObject(red);
    SelectObject(dc, old);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return bitmap;
}

TEST(DrawCenteredBitmap, PictureLandsCentredInTheControlAndIsGivenBack) {
    // 32 x 32 in a frame of 36 x 33 at (10, 20): 2 in from the left, 0 from
    // the top, the odd pixel dropped.
    FramedControl frame(10, 20, 36, 33);
    Canvas canvas;
    HBITMAP picture = RedPicture(32, 32);
    DrawCenteredBitmap(frame.get(), IDC_PICTURE, canvas.dc(), picture);
    EXPECT_FALSE(canvas.Red(11, 20));
    EXPECT_TRUE(canvas.Red(12, 20));
    EXPECT_TRUE(canvas.Red(43, 51));
    EXPECT_FALSE(canvas.Red(44, 51));
    EXPECT_FALSE(canvas.Red(43, 52));
    EXPECT_FALSE(canvas.Red(12, 19));

    // The picture is free again for the next dialog's DC.
    HDC other = CreateCompatibleDC(canvas.dc());
    EXPECT_NE(SelectObject(other, picture), nullptr);
    DeleteDC(other);

    // Larger than its control: it overhangs equally on both sides.
    FramedControl small(40, 40, 20, 20);
    Canvas second;
    DrawCenteredBitmap(small.get(), IDC_PICTURE, second.dc(), picture);
    EXPECT_TRUE(second.Red(34, 34));
    EXPECT_FALSE(second.Red(33, 34));
    EXPECT_TRUE(second.Red(65, 65));
    EXPECT_FALSE(second.Red(66, 65));

    // No picture, or no such control: nothing is drawn.
    Canvas third;
    DrawCenteredBitmap(frame.get(), IDC_PICTURE, third.dc(), nullptr);
    DrawCenteredBitmap(frame.get(), IDC_PICTURE + 1, third.dc(), picture);
    EXPECT_FALSE(third.Red(20, 30));
    DeleteObject(picture);
}

TEST(CenterWindowOnScreen, CentredOverTheOwnerAndKeptInsideTheWorkArea) {
    RECT area;
    ASSERT_TRUE(SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0));
    auto popup = [](int x, int y, int width, int height) {
        return CreateWindowExA(0, "STATIC", "", WS_POPUP, x, y, width, height, nullptr, nullptr, Program(), nullptr);
    };
    auto place = [](HWND window) {
        RECT rect;
        GetWindowRect(window, &rect);
        return rect;
    };

    HWND owner = popup(100, 100, 401, 301);
    HWND window = popup(0, 0, 200, 100);
    CenterWindow(window, owner);
    RECT rect = place(window);
    EXPECT_EQ(rect.left, 100 + (401 - 200) / 2);
    EXPECT_EQ(rect.top, 100 + (301 - 100) / 2);
    EXPECT_EQ(rect.right - rect.left, 200) << "size kept";

    // An owner at the right edge pushes the window back inside; one above
    // the work area lets it start at the top.
    SetWindowPos(owner, nullptr, area.right - 100, area.top - 250, 200, 200, SWP_NOZORDER);
    HWND wide = popup(0, 0, 300, 100);
    CenterWindow(wide, owner);
    rect = place(wide);
    EXPECT_EQ(rect.right, area.right);
    EXPECT_EQ(rect.top, area.top);

    // Without an owner: the middle of the work area.
    CenterWindow(window, nullptr);
    rect = place(window);
    EXPECT_EQ(rect.left, area.left + (area.right - area.left - 200) / 2);
    EXPECT_EQ(rect.top, area.top + (area.bottom - area.top - 100) / 2);

    for (HWND w : {owner, window, wide}) DestroyWindow(w);
}

}  // namespace
}  // namespace td
