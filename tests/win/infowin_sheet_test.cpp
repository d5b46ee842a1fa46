// The device properties sheet created for real, in-process: the pages'
// texts, boxes and picture as the user sees them, the slot chosen once, and
// context help falling back to a popup where the viewer refuses the table.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>
#include <prsht.h>

#include <memory>
#include <string>
#include <vector>

#include "common/fixed_text.h"
#include "infowin/help_popup_win32.h"
#include "infowin/properties_sheet_win32.h"
#include "inventory/device_selection.h"
#include "resources/resource_ids.h"
#include "shell/program_win32.h"
#include "support/sample_inventory.h"

namespace td {
namespace {

std::string TextOf(HWND window) {
    char text[256] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
}

std::string ItemText(HWND page, int id) {
    HWND control = GetDlgItem(page, id);
    return control != nullptr ? TextOf(control) : "<no control " + std::to_string(id) + ">";
}

// The boxes, in the page's order, with their state: "+" marked and
// enabled, "-" unmarked and disabled, anything else is wrong.
std::string Boxes(HWND page) {
    const int ids[] = {IDC_SYNCHRONOUS, IDC_REMOVABLE, IDC_NARROW, IDC_WIDE16,
                       IDC_WIDE32,      IDC_SCSI1,     IDC_SCSI2,  IDC_SCSI3};
    std::string boxes;
    for (int id : ids) {
        const bool checked = IsDlgButtonChecked(page, id) == BST_CHECKED;
        const bool enabled = IsWindowEnabled(GetDlgItem(page, id)) != FALSE;
        boxes += checked && enabled ? '+' : !checked && !enabled ? '-' : '?';
    }
    return boxes;
}

struct HelpCall {
    HWND window;
    std::string file;
    UINT command;
    ULONG_PTR data;
};
std::vector<HelpCall> g_help_calls;
bool g_viewer_takes_tables = false;

// Behaves like Wine's WinHelpA: refuses the two table commands unless told
// to behave like Windows'.
BOOL WINAPI RecordingViewer(HWND window, LPCSTR file, UINT command, ULONG_PTR data) {
    g_help_calls.push_back({window, file != nullptr ? file : "", command, data});
    if (command == HELP_WM_HELP || command == HELP_CONTEXTMENU) return g_viewer_takes_tables;
    return TRUE;
}

class PropertiesSheet : public ::testing::Test {
protected:
    void SetUp() override {
        InitCommonControls();
        program = std::make_unique<Program>();
        ASSERT_TRUE(LoadSharedTexts(program->messages, program->texts));
        CopyText(program->help.context_help_file, "C:\\Tessaline\\KDXCH.hlp");
        previous_viewer = SetPageHelpViewer(RecordingViewer);
        g_help_calls.clear();
        g_viewer_takes_tables = false;
    }

    void TearDown() override {
        if (sheet != nullptr) DestroyWindow(sheet);
        for (HBITMAP bitmap : bitmaps) DeleteObject(bitmap);
        SetPageHelpViewer(previous_viewer);
    }

    // What the properties command leaves before it opens the sheet.
    void Choose(int adapter, const char* id_text) {
        program->app.selected_adapter = adapter;
        program->app.selected_slot = FindSlotPosition(program->inventory, id_text);
        const int slot = SelectedAdapterSlot(program->inventory, adapter, program->app.selected_slot);
        ASSERT_GE(slot, 0);
        program->app.host_adapter_selected = std::strcmp(program->inventory.slots[slot].type_name,
                                                         program->texts.host_adapter) == 0
                                                 ? 1
                                                 : 0;
    }

    void Open() {
        PropertySheetParts parts;
        BuildPropertySheet(*program, nullptr, parts);
        parts.header.dwFlags |= PSH_MODELESS;
        sheet = reinterpret_cast<HWND>(PropertySheetA(&parts.header));
        ASSERT_NE(sheet, nullptr);
        Pump();
    }

    static void Pump() {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }

    HWND Page() const { return reinterpret_cast<HWND>(SendMessageA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0)); }
    int PageIndex() const {
        HWND tabs = reinterpret_cast<HWND>(SendMessageA(sheet, PSM_GETTABCONTROL, 0, 0));
        return static_cast<int>(SendMessageA(tabs, TCM_GETCURSEL, 0, 0));
    }
    void Turn(int index) {
        SendMessageA(sheet, PSM_SETCURSEL, static_cast<WPARAM>(index), 0);
        Pump();
    }

    HBITMAP Picture(int id) {
        HBITMAP bitmap = LoadBitmapA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id));
        bitmaps.push_back(bitmap);
        return bitmap;
    }

    std::unique_ptr<Program> program;
    HWND sheet = nullptr;
    std::vector<HBITMAP> bitmaps;
    HelpViewer previous_viewer = nullptr;
};

TEST_F(PropertiesSheet, CaptionAndPageTitlesComeFromTheStringTable) {
    program->inventory = test::TwoAdapterScan(program->texts, kPlatformWin95);
    Choose(0, "0");
    Open();
    EXPECT_NE(TextOf(sheet).find("SCSI Device Properties"), std::string::npos) << TextOf(sheet);
    HWND tabs = reinterpret_cast<HWND>(SendMessageA(sheet, PSM_GETTABCONTROL, 0, 0));
    ASSERT_EQ(SendMessageA(tabs, TCM_GETITEMCOUNT, 0, 0), 3);
    const char* titles[3] = {"SCSI Device Information", "Host Adapter Information", "Details"};
    for (int i = 0; i < 3; ++i) {
        char text[64] = "";
        TCITEMA item{};
        item.mask = TCIF_TEXT;
        item.pszText = text;
        item.cchTextMax = sizeof text;
        SendMessageA(tabs, TCM_GETITEMA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
        EXPECT_STREQ(text, titles[i]);
    }
    HWND apply = GetDlgItem(sheet, 0x3021);  // the sheet's Apply button
    EXPECT_TRUE(apply == nullptr || !IsWindowVisible(apply)) << "no Apply button";
}

TEST_F(PropertiesSheet, DevicePageShowsTheDeviceOfTheSelectedAdapterAndTheAdapterPageItsAdapter) {
    program->inventory = test::TwoAdapterScan(program->texts, kPlatformWin95, /*wide_bus=*/true);
    DeviceSlot& slot = program->inventory.slots[19];
    CopyText(slot.type_name, program->texts.hard_disk);
    CopyText(slot.vendor, "SEAGATE");
    CopyText(slot.product, "ST32550W");
    CopyText(slot.revision, "0021");
    slot.scsi_version = 2;
    slot.synchronous = 1;
    slot.wide16 = 1;
    Choose(1, "3");
    Open();

    EXPECT_EQ(PageIndex(), 0);
    EXPECT_EQ(program->app.selected_slot, 19);
    HWND page = Page();
    EXPECT_EQ(ItemText(page, IDC_SCSI_ID), "3");
    EXPECT_EQ(ItemText(page, IDC_MANUFACTURER), "SEAGATE");
    EXPECT_EQ(ItemText(page, IDC_VERSION), "0021");
    EXPECT_EQ(ItemText(page, IDC_DEVICE_TYPE), "Hard Disk");
    EXPECT_EQ(ItemText(page, IDC_PRODUCT), "ST32550W");
    EXPECT_EQ(Boxes(page), "+--+--+-");
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page, IDC_PICTURE)));

    Turn(1);
    HWND adapter = Page();
    ASSERT_NE(adapter, page);
    EXPECT_EQ(ItemText(adapter, IDC_HA_NAME), "BT-958");
    EXPECT_EQ(ItemText(adapter, IDC_HA_NUMBER), "1");
    EXPECT_EQ(ItemText(adapter, IDC_HA_SCSI_ID), "7");
    EXPECT_EQ(ItemText(adapter, IDC_HA_MANAGER), "ASPI for WIN32");
    EXPECT_EQ(ItemText(adapter, IDC_HA_DESCRIPTION), "BusLogic BT-958 PCI Wide Ultra");
    Turn(0);
    Turn(1);
    EXPECT_EQ(program->app.selected_slot, 19) << "the slot is chosen once, by the first page only";
}

TEST_F(PropertiesSheet, AdaptersOwnSlotOpensOnTheAdapterPageAndTheDevicePageStaysEmpty) {
    program->inventory = test::TwoAdapterScan(program->texts, kPlatformWin95);
    program->inventory.slots[15].bitmap = reinterpret_cast<UiHandle>(Picture(IDB_HOST_ADAPTER));
    Choose(1, "7");
    ASSERT_EQ(program->app.host_adapter_selected, 1);
    Open();

    EXPECT_EQ(PageIndex(), 1);
    EXPECT_EQ(program->app.selected_slot, 15);
    HWND tabs = reinterpret_cast<HWND>(SendMessageA(sheet, PSM_GETTABCONTROL, 0, 0));
    EXPECT_EQ(SendMessageA(tabs, TCM_GETITEMCOUNT, 0, 0), 2) << "no Details page for the adapter itself";
    EXPECT_EQ(ItemText(Page(), IDC_HA_NAME), "BT-958");
    EXPECT_EQ(ItemText(Page(), IDC_HA_NUMBER), "1");

    Turn(0);
    HWND page = Page();
    for (int id : {IDC_SCSI_ID, IDC_MANUFACTURER, IDC_VERSION, IDC_DEVICE_TYPE, IDC_PRODUCT})
        EXPECT_EQ(ItemText(page, id), "") << id;
    EXPECT_EQ(Boxes(page), "--------");
    EXPECT_EQ(program->app.selected_slot, 15);
}

TEST_F(PropertiesSheet, BoxesAreThreeStateAndAClickLeavesThemAlone) {
    program->inventory = test::TwoAdapterScan(program->texts, kPlatformWin95);
    Choose(0, "0");
    Open();
    HWND page = Page();
    for (int id = IDC_SCSI1; id <= IDC_SCSI3; ++id) {
        if (id == IDC_PICTURE) continue;
        EXPECT_EQ(GetWindowLongA(GetDlgItem(page, id), GWL_STYLE) & BS_TYPEMASK, BS_3STATE) << id;
    }
    const std::string before = Boxes(page);
    SendDlgItemMessageA(page, IDC_SYNCHRONOUS, BM_CLICK, 0, 0);  // marked and enabled
    SendDlgItemMessageA(page, IDC_WIDE16, BM_CLICK, 0, 0);       // disabled
    Pump();
    EXPECT_EQ(Boxes(page), before);
}

TEST_F(PropertiesSheet, NoSlotOrNoAdapterLeavesThePagesEmpty) {
    program->inventory = test::TwoAdapterScan(program->texts, kPlatformNt);
    program->app.selected_adapter = 0;
    program->app.selected_slot = program->inventory.slot_count;  // the ID matched no slot
    program->app.host_adapter_selected = 0;
    Open();
    EXPECT_EQ(program->app.selected_slot, -1);
    EXPECT_EQ(ItemText(Page(), IDC_SCSI_ID), "");
    EXPECT_EQ(Boxes(Page()), "--------");
    Turn(1);
    EXPECT_EQ(ItemText(Page(), IDC_HA_NAME), "");
    DestroyWindow(sheet);

    // A slot a re-scan cleared belongs to no adapter.
    Choose(1, "2");
    program->inventory.slots[10].adapter_number = kNoAdapterNumber;
    Open();
    EXPECT_EQ(ItemText(Page(), IDC_DEVICE_TYPE), "Tape");
    Turn(1);
    for (int id : {IDC_HA_NAME, IDC_HA_NUMBER, IDC_HA_SCSI_ID, IDC_HA_MANAGER, IDC_HA_DESCRIPTION})
        EXPECT_EQ(ItemText(Page(), id), "") << id;
}

// The adapter picture of the host adapter page's template goes with the
// sheet.
TEST_F(PropertiesSheet, TheAdapterPagesPictureGoesWithTheSheet) {
    program->inventory = test::TwoAdapterScan(program->texts, kPlatformWin95);
    Choose(0, "0");
    Open();
    Turn(1);
    HBITMAP picture = nullptr;
    for (HWND child = GetWindow(Page(), GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT))
        if ((GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_BITMAP)
            picture = reinterpret_cast<HBITMAP>(SendMessageA(child, STM_GETIMAGE, IMAGE_BITMAP, 0));
    ASSERT_NE(picture, nullptr) << "the page shows no picture";
    EXPECT_EQ(GetObjectType(picture), static_cast<DWORD>(OBJ_BITMAP));
    DestroyWindow(sheet);
    sheet = nullptr;
    EXPECT_EQ(GetObjectType(picture), 0u) << "the sheet left the page's picture behind";
}

TEST_F(PropertiesSheet, DevicePagePaintsTheSlotsPictureInTheFrame) {
    program->inventory = test::TwoAdapterScan(program->texts, kPlatformWin95);
    HBITMAP picture = Picture(IDB_HARD_DISK);
    ASSERT_NE(picture, nullptr);
    program->inventory.slots[0].bitmap = reinterpret_cast<UiHandle>(picture);
    Choose(0, "0");
    Open();
    HWND page = Page();
    SetWindowPos(sheet, HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
    RedrawWindow(page, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Pump();

    RECT frame;
    GetWindowRect(GetDlgItem(page, IDC_PICTURE), &frame);
    MapWindowPoints(nullptr, page, reinterpret_cast<POINT*>(&frame), 2);
    const int left = frame.left + (frame.right - frame.left - 32) / 2;
    const int top = frame.top + (frame.bottom - frame.top - 32) / 2;

    HDC memory = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(memory, picture);
    HDC dc = GetDC(page);
    int same = 0;
    for (int y = 4; y < 32; y += 9)
        for (int x = 4; x < 32; x += 9) same += GetPixel(dc, left + x, top + y) == GetPixel(memory, x, y);
    ReleaseDC(page, dc);
    SelectObject(memory, old);
    DeleteDC(memory);
    EXPECT_EQ(same, 16) << "pixels of the picture found in the frame";
}

TEST_F(PropertiesSheet, RefusedHelpShowsTheControlsTopicInTheProgramsOwnPopup) {
    program->inventory = test::TwoAdapterScan(program->texts, kPlatformWin95);
    Choose(0, "0");
    Open();
    HWND page = Page();
    HWND type = GetDlgItem(page, IDC_DEVICE_TYPE);

    HELPINFO info{};
    info.cbSize = sizeof info;
    info.iContextType = HELPINFO_WINDOW;
    info.iCtrlId = IDC_DEVICE_TYPE;
    info.hItemHandle = type;
    SendMessageA(page, WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
    ASSERT_EQ(g_help_calls.size(), 1u) << "the refused viewer is not asked again";
    EXPECT_EQ(g_help_calls[0].window, type);
    EXPECT_EQ(g_help_calls[0].file, "C:\\Tessaline\\KDXCH.hlp");
    EXPECT_EQ(g_help_calls[0].command, static_cast<UINT>(HELP_WM_HELP));
    const auto* table = reinterpret_cast<const DWORD*>(g_help_calls[0].data);
    EXPECT_EQ(table[0], 1006u);
    EXPECT_EQ(table[1], 20000u);
    HWND popup = CurrentHelpPopup();
    ASSERT_NE(popup, nullptr);
    EXPECT_TRUE(IsWindowVisible(popup));
    char text[512] = "";
    GetWindowTextA(popup, text, sizeof text);
    char expected[512] = "";
    LoadStringA(GetModuleHandleA(nullptr), 20003, expected, sizeof expected);
    EXPECT_STRNE(expected, "");
    EXPECT_STREQ(text, expected) << "the topic of the device type field";
    RECT control_rect, popup_rect;
    GetWindowRect(type, &control_rect);
    GetWindowRect(popup, &popup_rect);
    EXPECT_GE(popup_rect.top, control_rect.bottom) << "shown below the control";
    SendMessageA(popup, WM_LBUTTONDOWN, 0, 0);
    EXPECT_EQ(CurrentHelpPopup(), nullptr) << "a click takes it away";
    EXPECT_FALSE(IsWindow(popup));

    // A viewer that takes the table (Windows) is asked once, and shows it.
    g_help_calls.clear();
    g_viewer_takes_tables = true;
    SendMessageA(page, WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
    ASSERT_EQ(g_help_calls.size(), 1u);
    EXPECT_EQ(g_help_calls[0].command, static_cast<UINT>(HELP_WM_HELP));
    EXPECT_EQ(CurrentHelpPopup(), nullptr);

    // Right button on the adapter page.
    g_viewer_takes_tables = false;
    Turn(1);
    HWND adapter = Page();
    HWND manager = GetDlgItem(adapter, IDC_HA_MANAGER);
    g_help_calls.clear();
    SendMessageA(adapter, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(manager), MAKELPARAM(10, 10));
    ASSERT_EQ(g_help_calls.size(), 1u);
    EXPECT_EQ(g_help_calls[0].command, static_cast<UINT>(HELP_CONTEXTMENU));
    EXPECT_EQ(reinterpret_cast<const DWORD*>(g_help_calls[0].data)[0], 1021u);
    ASSERT_NE(CurrentHelpPopup(), nullptr);
    GetWindowTextA(CurrentHelpPopup(), text, sizeof text);
    LoadStringA(GetModuleHandleA(nullptr), 20103, expected, sizeof expected);
    EXPECT_STREQ(text, expected);
    SendMessageA(CurrentHelpPopup(), WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_EQ(CurrentHelpPopup(), nullptr) << "a key takes it away";

    // Over the page itself there is no topic to fall back to.
    g_help_calls.clear();
    SendMessageA(adapter, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(adapter), MAKELPARAM(10, 10));
    ASSERT_EQ(g_help_calls.size(), 1u);
    EXPECT_EQ(g_help_calls[0].command, static_cast<UINT>(HELP_CONTEXTMENU));
    EXPECT_EQ(CurrentHelpPopup(), nullptr);
}

// Without WinHelp (Windows Vista and later) the viewer is never asked,
// though the stub that stands in for it there answers every request: the
// program's own popup shows the control's topic, for F1 and the right button.
TEST_F(PropertiesSheet, WithoutWinHelpTheProgramsOwnPopupShowsTheTopicAndTheViewerIsNeverAsked) {
    program->inventory = test::TwoAdapterScan(program->texts, kPlatformNt);
    program->help_viewer = HelpViewerKind::HtmlHelp;
    g_viewer_takes_tables = true;
    Choose(0, "0");
    Open();
    const struct {
        int page, control, topic;
        bool right_button;
    } asks[] = {{0, IDC_SCSI2, 20011, false}, {1, IDC_HA_DESCRIPTION, 20104, true}};
    for (const auto& ask : asks) {
        SCOPED_TRACE(ask.control);
        Turn(ask.page);
        HWND page = Page();
        HWND control = GetDlgItem(page, ask.control);
        ASSERT_NE(control, nullptr);
        HELPINFO info{};
        info.cbSize = sizeof info;
        info.iContextType = HELPINFO_WINDOW;
        info.iCtrlId = ask.control;
        info.hItemHandle = control;
        if (ask.right_button) {
            SendMessageA(page, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(control), MAKELPARAM(10, 10));
        } else {
            SendMessageA(page, WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
        }
        EXPECT_TRUE(g_help_calls.empty()) << "the viewer was asked";
        ASSERT_NE(CurrentHelpPopup(), nullptr) << "no popup";
        char text[512] = "";
        char expected[512] = "";
        GetWindowTextA(CurrentHelpPopup(), text, sizeof text);
        LoadStringA(GetModuleHandleA(nullptr), static_cast<UINT>(ask.topic), expected, sizeof expected);
        EXPECT_STRNE(expected, "");
        EXPECT_STREQ(text, expected);
        SendMessageA(CurrentHelpPopup(), WM_KEYDOWN, VK_ESCAPE, 0);
    }
}

// The Details page: three fields, each a read-only edit control right after
// its label (whose mnemonic leads to it), filled from the device's answers;
// this program has no ASPI library, which each field says at once.
TEST_F(PropertiesSheet, DetailsFieldsAreLabelledReadOnlyEditsThatSayWhyWhenNothingCanBeAsked) {
    program->inventory = test::TwoAdapterScan(program->texts, kPlatformWin95);
    program->inventory.scan_complete = 1;
    Choose(0, "0");
    Open();
    Turn(2);
    HWND page = Page();
    char asking[128] = "", not_available[256] = "", help[512] = "";
    LoadStringA(GetModuleHandleA(nullptr), IDS_DETAILS_ASKING, asking, sizeof asking);
    LoadStringA(GetModuleHandleA(nullptr), IDS_ASPI_NOT_AVAILABLE, not_available, sizeof not_available);
    for (int id : {IDC_DETAILS_CAPACITY, IDC_DETAILS_SERIAL, IDC_DETAILS_IDENTIFIER}) {
        SCOPED_TRACE(id);
        HWND field = GetDlgItem(page, id);
        ASSERT_NE(field, nullptr);
        char class_name[16] = "";
        GetClassNameA(field, class_name, sizeof class_name);
        EXPECT_STRCASEEQ(class_name, "Edit");
        const LONG style = GetWindowLongA(field, GWL_STYLE);
        EXPECT_NE(style & ES_READONLY, 0);
        EXPECT_NE(style & WS_TABSTOP, 0);
        HWND label = GetWindow(field, GW_HWNDPREV);
        ASSERT_NE(label, nullptr);
        GetClassNameA(label, class_name, sizeof class_name);
        EXPECT_STRCASEEQ(class_name, "Static");
        EXPECT_NE(TextOf(label).find('&'), std::string::npos) << TextOf(label);
    }
    for (int i = 0; i < 40 && ItemText(page, IDC_DETAILS_CAPACITY) == asking; ++i) {
        Sleep(25);
        Pump();
    }
    for (int id : {IDC_DETAILS_CAPACITY, IDC_DETAILS_SERIAL, IDC_DETAILS_IDENTIFIER})
        EXPECT_EQ(ItemText(page, id), not_available) << id;

    HELPINFO info{};
    info.cbSize = sizeof info;
    info.iContextType = HELPINFO_WINDOW;
    info.iCtrlId = IDC_DETAILS_SERIAL;
    info.hItemHandle = GetDlgItem(page, IDC_DETAILS_SERIAL);
    SendMessageA(page, WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
    ASSERT_NE(CurrentHelpPopup(), nullptr);
    LoadStringA(GetModuleHandleA(nullptr), IDH_DETAILS_SERIAL, help, sizeof help);
    EXPECT_EQ(TextOf(CurrentHelpPopup()), help);
    SendMessageA(CurrentHelpPopup(), WM_KEYDOWN, VK_ESCAPE, 0);
}

TEST(NumberFormat, SizesAreWrittenWithTheUsersSeparatorsAndTheDecimalsAsked) {
    char thousand[8] = "", decimal[8] = "";
    GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_STHOUSAND, thousand, sizeof thousand);
    GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, decimal, sizeof decimal);
    Win32NumberFormat format;
    char text[64] = "";
    format.Format("4294967296", 0, text, sizeof text);
    const std::string t = thousand;
    EXPECT_EQ(std::string(text), "4" + t + "294" + t + "967" + t + "296");
    format.Format("4.00", 2, text, sizeof text);
    EXPECT_EQ(std::string(text), std::string("4") + decimal + "00");
    format.Format("12.5", 1, text, 4);
    EXPECT_LE(std::string(text).size(), 3u) << "cut to the buffer";
}

}  // namespace
}  // namespace td
