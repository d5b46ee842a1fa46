// The main window's commands as a user meets them on Windows 95 and the
// built-in machine: the menus and the toolbar, the device list's context
// menu, the re-scan and its question, the wide-bus option, the commands
// that need a device and do nothing without one, and the view mode kept
// from one run to the next.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "resources/resource_ids.h"
#include "support/control_views.h"
#include "support/machine.h"
#include "support/program_test.h"
#include "support/user_steps.h"

namespace td::e2e {
namespace {

using autom::StandardIcon;

constexpr char kFirstAdapter[] = "Harrowgate Brightlane BL-2940U PCI SCSI Host Adapter";
constexpr char kSecondAdapter[] = "Harrowgate Brightlane BL-1540 SCSI Host Adapter";
// The properties sheet's title, as the system composes it from the caption.
constexpr char kPropertiesTitle[] = "Properties for SCSI Device Properties";

std::vector<std::string> Ids(int first, int last) {
    std::vector<std::string> ids;
    for (int id = first; id <= last; ++id) ids.push_back(std::to_string(id));
    return ids;
}

// An item of a menu as the tests expect it.
struct Expected {
    UINT id;  // 0: a separator
    const char* text;
    bool grayed;
    bool checked;
};

class MainWindow : public ProgramTest {
protected:
    void StartOnTheBuiltInMachine() { ASSERT_TRUE(user::StartAndWaitForTheScan(program, 16)); }

    void ChooseDetailsView() {
        ASSERT_TRUE(program.Choose(IDM_VIEW_DETAILS));
        ASSERT_TRUE(autom::WaitUntil([&] { return user::ListMode(program) == LVS_REPORT; }, 3000));
    }

    void ExpectMenu(const autom::Menu& menu, int position, const std::vector<Expected>& expected) {
        const std::vector<autom::MenuItem> items = menu.ItemsUnder(position);
        ASSERT_EQ(items.size(), expected.size()) << "menu " << menu.Titles().at(position);
        for (size_t i = 0; i < items.size(); ++i) {
            SCOPED_TRACE(menu.Titles().at(position) + " item " + std::to_string(i));
            if (expected[i].id == 0) {
                EXPECT_TRUE(items[i].separator) << items[i].text;
                continue;
            }
            EXPECT_EQ(items[i].id, expected[i].id);
            EXPECT_EQ(items[i].text, expected[i].text);
            EXPECT_EQ(items[i].grayed, expected[i].grayed);
            EXPECT_EQ(items[i].checked, expected[i].checked);
        }
    }

    // The list shows no row as selected, so no device is chosen.
    void ExpectNoDeviceChosen() {
        ASSERT_EQ(autom::ListSelectedIndex(program.Control(IDC_DEVICE_LIST)), -1) << "a row is selected";
    }
};

// ---- Menus and toolbar ----------------------------------------------------------------

TEST_F(MainWindow, TheMenusAndTheToolbarOfferEveryCommandWithSaveDisabledAtFirst) {
    StartOnTheBuiltInMachine();

    const std::optional<autom::Menu> menu = program.MenuBar();
    ASSERT_TRUE(menu) << program.probe()->last_error();
    ASSERT_EQ(menu->Titles(), (std::vector<std::string>{"&File", "&Options", "&View", "&Help"}));
    ExpectMenu(*menu, 0,
               {{IDM_FILE_OPEN, "Open...", false, false},
                {IDM_FILE_SAVE, "&Save...", true, false},
                {IDM_FILE_SAVE_AS, "Save &As...", false, false},
                {0, "", false, false},
                {IDM_FILE_EXIT, "E&xit", false, false}});
    ExpectMenu(*menu, 1,
               {{IDM_RESCAN, "&Re-scan SCSI Bus\tF5", false, false},
                {IDM_DEVICE_PROPERTIES, "&Device Properties...\tAlt+Enter", false, false},
                {IDM_DEVICE_DIAGNOSTICS, "Device Dia&gnostics...", false, false},
                {0, "", false, false},
                {IDM_WIDE_BUS, "Scan SCSI Wide Bus:  SCSI ID 0 To 15", false, true}});
    ExpectMenu(*menu, 2,
               {{IDM_VIEW_LARGE_ICONS, "&Large Icon View", false, false},
                {IDM_VIEW_SMALL_ICONS, "&Small Icon View", false, false},
                {IDM_VIEW_LIST, "List &View", false, false},
                {IDM_VIEW_DETAILS, "&Details View", false, false}});
    ExpectMenu(*menu, 3,
               {{IDM_HELP_CONTENTS, "&Help...", false, false},
                {0, "", false, false},
                {IDM_HELP_ABOUT, "&About...", false, false}});

    // Re-scan, Open, Save, the four views, and the diagnostics at the end.
    const std::vector<autom::ToolbarButton> buttons = program.Toolbar();
    std::vector<int> commands;
    std::vector<bool> separators;
    for (const autom::ToolbarButton& button : buttons) {
        separators.push_back((button.style & TBSTYLE_SEP) != 0);
        commands.push_back(separators.back() ? 0 : button.command);
    }
    EXPECT_EQ(commands,
              (std::vector<int>{IDM_RESCAN, IDM_FILE_OPEN, IDM_FILE_SAVE, 0, IDM_VIEW_LARGE_ICONS, IDM_VIEW_SMALL_ICONS,
                                IDM_VIEW_LIST, IDM_VIEW_DETAILS, 0, IDM_DEVICE_DIAGNOSTICS}));
    EXPECT_EQ(separators, (std::vector<bool>{false, false, false, true, false, false, false, false, true, false}));
    for (const autom::ToolbarButton& button : buttons) {
        if ((button.style & TBSTYLE_SEP) != 0) continue;
        if (button.command == IDM_FILE_SAVE) {
            EXPECT_NE(button.state & TBSTATE_INDETERMINATE, 0) << "Save starts indeterminate";
            EXPECT_EQ(button.state & TBSTATE_ENABLED, 0) << "Save starts disabled";
        } else {
            EXPECT_NE(button.state & TBSTATE_ENABLED, 0) << "button " << button.command << " is not enabled";
        }
    }
}

TEST_F(MainWindow, RestingTheMouseOnAToolbarButtonTellsWhatItDoes) {
    StartOnTheBuiltInMachine();

    const struct {
        int command;
        const char* tip;
    } buttons[] = {{IDM_RESCAN, "Re-scan the SCSI Bus"},
                   {IDM_FILE_OPEN, "Opens an existing listing"},
                   {IDM_FILE_SAVE, "Saves the current listings"},
                   {IDM_VIEW_LARGE_ICONS, "Large icon view"},
                   {IDM_VIEW_SMALL_ICONS, "Small icon view"},
                   {IDM_VIEW_LIST, "List view"},
                   {IDM_VIEW_DETAILS, "Details view"},
                   {IDM_DEVICE_DIAGNOSTICS, "Run the diagnostic tests on the selected device"}};
    for (const auto& button : buttons) {
        const std::optional<std::string> tip = user::TooltipOfToolbarButton(program, button.command, button.tip);
        EXPECT_EQ(tip.value_or("(no tooltip)"), button.tip) << "button " << button.command;
    }
}

// Each command opens what it says, from the menu and from the toolbar.
TEST_F(MainWindow, TheCommandsOpenTheirDialogs) {
    StartOnTheBuiltInMachine();
    const struct {
        UINT command;
        bool from_toolbar;
        const char* title;
    } commands[] = {{IDM_FILE_OPEN, false, "Open a File"},
                    {IDM_FILE_OPEN, true, "Open a File"},
                    {IDM_FILE_SAVE_AS, false, "Save File As"},
                    {IDM_HELP_ABOUT, false, "About Tessaline Utilities"}};
    for (const auto& entry : commands) {
        SCOPED_TRACE(std::string(entry.from_toolbar ? "toolbar button " : "menu item ") +
                     std::to_string(entry.command));
        if (entry.from_toolbar)
            ASSERT_TRUE(user::ClickToolbarButton(program, static_cast<int>(entry.command)));
        else
            ASSERT_TRUE(program.Choose(entry.command));
        HWND dialog = user::WaitForAnotherWindow(program);
        ASSERT_NE(dialog, nullptr) << "nothing opened";
        EXPECT_EQ(autom::TextOf(dialog), entry.title);
        EXPECT_EQ(GetWindow(dialog, GW_OWNER), program.main_window()) << "the dialog belongs to the main window";
        ASSERT_TRUE(user::CloseDialog(dialog));
        ASSERT_TRUE(user::NothingOpensWithin(program, 500)) << "after closing " << entry.title;
    }
    EXPECT_EQ(program.Title(), "Tessaline Diagnostics") << "a closed dialog changed the title";
}

// ---- The device list's context menu ------------------------------------------------------

TEST_F(MainWindow, ARightClickOnTheListOpensTheDeviceMenuAndItsCommandNeedsADevice) {
    StartOnTheBuiltInMachine();
    ChooseDetailsView();

    // On empty space: the menu opens, but there is no device to show.
    const std::optional<POINT> empty = user::EmptySpotInList(program);
    ASSERT_TRUE(empty) << "the list has no empty space below its rows";
    autom::RightClick(empty->x, empty->y);
    const std::optional<autom::Menu> popup = program.WaitForPopupMenu();
    ASSERT_TRUE(popup) << "no context menu";
    ASSERT_EQ(popup->items.size(), 1u);
    EXPECT_EQ(popup->items[0].id, static_cast<UINT>(IDM_DEVICE_PROPERTIES));
    EXPECT_EQ(popup->items[0].text, "&Device Properties...");
    ASSERT_TRUE(popup->items[0].rect);
    const RECT item = *popup->items[0].rect;
    EXPECT_TRUE(item.left >= empty->x && item.left <= empty->x + 16 && item.top >= empty->y &&
                item.top <= empty->y + 16)
        << "the menu's item is at " << item.left << "," << item.top << ", the mouse at " << empty->x << "," << empty->y;
    ExpectNoDeviceChosen();
    ASSERT_TRUE(program.ChooseFromPopupMenu(IDM_DEVICE_PROPERTIES));
    EXPECT_TRUE(user::NothingOpensWithin(program, 1000)) << "Device Properties without a device";

    // On the CD-ROM's row: the same menu, and now it shows the device.
    const int row = user::RowOfScsiId(program, "4");
    ASSERT_GE(row, 0);
    const POINT on_row = user::MiddleOfRow(program, row);
    autom::RightClick(on_row.x, on_row.y);
    ASSERT_TRUE(program.WaitForPopupMenu()) << "no context menu over a row";
    ASSERT_TRUE(program.ChooseFromPopupMenu(IDM_DEVICE_PROPERTIES));
    HWND sheet = user::WaitForAnotherWindow(program);
    ASSERT_NE(sheet, nullptr) << "Device Properties on the CD-ROM's row opened nothing";
    EXPECT_EQ(autom::TextOf(sheet), kPropertiesTitle);
}

// ---- Commands that need a device ----------------------------------------------------------

TEST_F(MainWindow, WithoutADeviceChosenDoubleClickPropertiesAndDiagnosticsDoNothing) {
    StartOnTheBuiltInMachine();
    ChooseDetailsView();
    ExpectNoDeviceChosen();

    const std::optional<POINT> empty = user::EmptySpotInList(program);
    ASSERT_TRUE(empty) << "the list has no empty space below its rows";
    autom::DoubleClick(empty->x, empty->y);
    EXPECT_TRUE(user::NothingOpensWithin(program, 1000)) << "double-click on empty space";
    ExpectNoDeviceChosen();

    ASSERT_TRUE(program.Choose(IDM_DEVICE_PROPERTIES));
    EXPECT_TRUE(user::NothingOpensWithin(program, 1000)) << "Options > Device Properties";
    ASSERT_TRUE(program.Choose(IDM_DEVICE_DIAGNOSTICS));
    EXPECT_TRUE(user::NothingOpensWithin(program, 1000)) << "Options > Device Diagnostics";
    ASSERT_TRUE(user::ClickToolbarButton(program, IDM_DEVICE_DIAGNOSTICS));
    EXPECT_TRUE(user::NothingOpensWithin(program, 1000)) << "the diagnostics button";

    // The same double-click on the disk's row opens its properties.
    const POINT on_disk = user::MiddleOfRow(program, user::RowOfScsiId(program, "0"));
    autom::DoubleClick(on_disk.x, on_disk.y);
    HWND sheet = user::WaitForAnotherWindow(program);
    ASSERT_NE(sheet, nullptr) << "a double-click on the disk's row opened nothing";
    EXPECT_EQ(autom::TextOf(sheet), kPropertiesTitle);
}

// ---- Re-scan -------------------------------------------------------------------------------

TEST_F(MainWindow, ReScanAsksFirstCancelKeepsTheViewsAndOkScansAgain) {
    StartOnTheBuiltInMachine();
    ChooseDetailsView();
    ASSERT_TRUE(user::ClickTreeItem(program, kSecondAdapter));
    ASSERT_TRUE(
        autom::WaitUntil([&] { return user::RowOfScsiId(program, "2") >= 0 && program.DeviceList()[2][1] == "Tape"; },
                         3000));
    const auto list_before = program.DeviceList();
    const auto status_before = program.StatusBar();

    ASSERT_TRUE(user::ClickToolbarButton(program, IDM_RESCAN));
    std::optional<Message> question = program.WaitForMessage(5000);
    ASSERT_TRUE(question) << "no question before the re-scan";
    EXPECT_EQ(question->text, "Re-scan The SCSI Bus ?");
    EXPECT_EQ(question->caption, program.Text(IDS_STATUS_CAPTION));
    EXPECT_EQ(question->icon, StandardIcon::Question) << Describe(*question);
    EXPECT_EQ(question->buttons, (std::vector<std::string>{"OK", "Cancel"}));
    EXPECT_EQ(question->owner, nullptr) << "the question has no owner";
    ASSERT_TRUE(program.Answer(*question, IDCANCEL));

    EXPECT_TRUE(user::NothingOpensWithin(program, 1000)) << "after Cancel";
    EXPECT_EQ(program.DeviceList(), list_before) << "Cancel changed the list";
    EXPECT_EQ(program.StatusBar(), status_before) << "Cancel changed the status bar";
    const std::optional<autom::TreeItem> still = user::SelectedTreeItem(program);
    ASSERT_TRUE(still);
    EXPECT_EQ(still->text, kSecondAdapter) << "Cancel changed the selected adapter";

    ASSERT_TRUE(program.Choose(IDM_RESCAN));
    question = program.WaitForMessage(5000);
    ASSERT_TRUE(question) << "no question before the re-scan from the menu";
    EXPECT_EQ(question->text, "Re-scan The SCSI Bus ?");
    ASSERT_TRUE(program.Answer(*question, IDOK));

    // The scan starts over and ends with the first adapter shown.
    ASSERT_TRUE(autom::WaitUntil(
        [&] {
            const std::optional<autom::TreeItem> selected = user::SelectedTreeItem(program);
            return selected && selected->text == kFirstAdapter && program.DeviceList().size() == 16;
        },
        10000))
        << "after OK the first adapter is not shown again";
    EXPECT_EQ(user::AdaptersInTree(program), (std::vector<std::string>{kFirstAdapter, kSecondAdapter}));
    EXPECT_EQ(program.DeviceList()[4][1], "CD-ROM");
    EXPECT_EQ(program.StatusBar(), (std::vector<std::string>{"Currently selected:  Harrowgate Brightlane BL-2940U",
                                                             "Number of devices connected:  2"}));
    EXPECT_EQ(program.Title(), "Tessaline Diagnostics");
    EXPECT_TRUE(user::NothingOpensWithin(program, 500));
}

TEST_F(MainWindow, TheWideBusOptionReScansAtOnceBetweenEightAndSixteenIds) {
    StartOnTheBuiltInMachine();
    ChooseDetailsView();

    ASSERT_TRUE(program.Choose(IDM_WIDE_BUS));
    // No question: the buses are scanned again straight away, IDs 0 to 7.
    ASSERT_TRUE(autom::WaitUntil(
        [&] {
            EXPECT_TRUE(user::OpenWindows(program).empty()) << "the option asked before re-scanning";
            return program.DeviceList().size() == 8;
        },
        10000))
        << "the list shows " << program.DeviceList().size() << " rows";
    EXPECT_TRUE(user::WaitForCheckMark(program, IDM_WIDE_BUS, false)) << "the check mark stayed";
    EXPECT_EQ(controls::FirstColumn(program.DeviceList()), Ids(0, 7));
    EXPECT_EQ(program.DeviceList()[0][1], "Hard Disk");
    EXPECT_EQ(program.DeviceList()[4][1], "CD-ROM");
    EXPECT_EQ(program.DeviceList()[7][1], "Host Adapter");
    EXPECT_EQ(program.StatusBar()[1], "Number of devices connected:  2");
    // The second adapter's IDs follow right after the first adapter's eight.
    ASSERT_TRUE(user::ClickTreeItem(program, kSecondAdapter));
    ASSERT_TRUE(
        autom::WaitUntil([&] { return program.DeviceList().size() == 8 && program.DeviceList()[2][1] == "Tape"; },
                         3000))
        << testing::PrintToString(program.DeviceList());
    EXPECT_EQ(controls::FirstColumn(program.DeviceList()), Ids(0, 7));
    EXPECT_EQ(program.DeviceList()[5][1], "Scanner");
    EXPECT_EQ(program.DeviceList()[7][3], "BL1540");

    ASSERT_TRUE(program.Choose(IDM_WIDE_BUS));
    ASSERT_TRUE(autom::WaitUntil([&] { return program.DeviceList().size() == 16; }, 10000))
        << "choosing the option again shows " << program.DeviceList().size() << " rows";
    EXPECT_TRUE(user::WaitForCheckMark(program, IDM_WIDE_BUS, true)) << "the check mark did not come back";
    EXPECT_EQ(controls::FirstColumn(program.DeviceList()), Ids(0, 15));
    EXPECT_TRUE(user::OpenWindows(program).empty()) << "the option asked before re-scanning";
}

// ---- The view mode kept per user ------------------------------------------------------------

TEST_F(MainWindow, ClosingKeepsTheViewModeAndTheNextStartOpensInIt) {
    StartOnTheBuiltInMachine();
    ASSERT_EQ(user::ListMode(program), static_cast<DWORD>(LVS_ICON));
    ASSERT_TRUE(program.Choose(IDM_VIEW_LIST));
    ASSERT_TRUE(autom::WaitUntil([&] { return user::ListMode(program) == LVS_LIST; }, 3000));
    ASSERT_TRUE(program.Choose(IDM_FILE_EXIT));
    ASSERT_EQ(program.WaitForExit(), 0u);

    const std::optional<WindowPos> stored = machine::StoredWindowPos();
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->view_mode, static_cast<std::int32_t>(LVS_LIST)) << Describe(*stored);

    StartOnTheBuiltInMachine();
    EXPECT_EQ(user::ListMode(program), static_cast<DWORD>(LVS_LIST)) << "the list opened in another mode";
}

}  // namespace
}  // namespace td::e2e
