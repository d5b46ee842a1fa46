// The inventory as a user meets it on Windows 95: the adapter tree, the
// device list of the chosen adapter and the status bar under them, the list's
// sorting and view modes; and what happens when the ASPI library on the
// machine is Wine's own.
//
// The built-in machine: adapter 0 "Harrowgate Brightlane BL-2940U PCI SCSI
// Host Adapter" (BL2940U, own ID 7) with a disk at ID 0 and a CD-ROM at ID 4;
// adapter 1 "Harrowgate Brightlane BL-1540 SCSI Host Adapter" (BL1540, own
// ID 7) with a tape at ID 2 and a scanner at ID 5. The wide-bus option is on
// at every start: IDs 0 to 15, 16 rows per adapter.
#include <gtest/gtest.h>

#include <algorithm>
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
using Rows = std::vector<std::vector<std::string>>;

constexpr char kFirstAdapter[] = "Harrowgate Brightlane BL-2940U PCI SCSI Host Adapter";
constexpr char kSecondAdapter[] = "Harrowgate Brightlane BL-1540 SCSI Host Adapter";

// An INQUIRY product field is 16 bytes, blank-padded, and shown as the
// device sent it.
std::string Product(const std::string& name) { return name + std::string(16 - name.size(), ' '); }
// The vendor field is 8 bytes, blank-padded; the program keeps 7 of them.
std::string Vendor(const std::string& name) { return (name + std::string(8 - name.size(), ' ')).substr(0, 7); }

// What the list shows for one adapter of the built-in machine: every ID from
// 0 to 15, the adapter's own ID 7 as "Host Adapter" with its name, maker
// (cut to 7 characters) and hardware revision, empty IDs as "No Device".
Rows SlotsOf(const Rows& devices, const std::vector<std::string>& own_slot) {
    Rows rows;
    for (int id = 0; id < 16; ++id) {
        std::vector<std::string> row = {std::to_string(id), "No Device", "", "No Device", ""};
        for (const auto& device : devices)
            if (device[0] == row[0]) row = device;
        if (id == 7) row = own_slot;
        rows.push_back(row);
    }
    return rows;
}

const Rows& FirstAdapterRows() {
    static const Rows rows = SlotsOf({{"0", "Hard Disk", Vendor("KESTRAL"), Product("KD-2100S"), "1.04"},
                                      {"4", "CD-ROM", Vendor("ORIELLE"), Product("CDR-3220"), "2.10"}},
                                     {"7", "Host Adapter", "Harrowg", "BL2940U", "0003"});
    return rows;
}

const Rows& SecondAdapterRows() {
    static const Rows rows = SlotsOf({{"2", "Tape", Vendor("TALLIS"), Product("TDAT-4000"), "3.02"},
                                      {"5", "Scanner", Vendor("PRISMA"), Product("ScanStar 600"), "1.00"}},
                                     {"7", "Host Adapter", "Harrowg", "BL1540", "0102"});
    return rows;
}

std::vector<std::string> Column(const Rows& rows, size_t column) {
    std::vector<std::string> texts;
    for (const auto& row : rows) texts.push_back(row.at(column));
    return texts;
}

class Inventory : public ProgramTest {
protected:
    void StartOnTheBuiltInMachine() { ASSERT_TRUE(user::StartAndWaitForTheScan(program, 16)); }

    void ChooseDetailsView() {
        ASSERT_TRUE(program.Choose(IDM_VIEW_DETAILS));
        ASSERT_TRUE(autom::WaitUntil([&] { return user::ListMode(program) == LVS_REPORT; }, 3000));
    }
};

// ---- The tree, the list and the status bar after the scan -------------------------

TEST_F(Inventory, TheScanShowsTheAdaptersFirstOnTopAndTheFirstAdaptersSlotsInTheList) {
    StartOnTheBuiltInMachine();

    const std::vector<autom::TreeItem> tree = program.AdapterTree();
    ASSERT_EQ(tree.size(), 3u);
    EXPECT_EQ(tree[0].depth, 0);
    EXPECT_EQ(tree[0].text, "SCSI Controllers");
    EXPECT_TRUE(tree[0].expanded) << "the root is not expanded";
    EXPECT_EQ(user::AdaptersInTree(program), (std::vector<std::string>{kFirstAdapter, kSecondAdapter}));
    const std::optional<autom::TreeItem> selected = user::SelectedTreeItem(program);
    ASSERT_TRUE(selected) << "no tree item is selected";
    EXPECT_EQ(selected->text, kFirstAdapter);

    EXPECT_EQ(program.DeviceList(), FirstAdapterRows());
    EXPECT_EQ(program.StatusBar(), (std::vector<std::string>{"Currently selected:  Harrowgate Brightlane BL-2940U",
                                                             "Number of devices connected:  2"}))
        << "the description is cut to 30 characters in the status bar";

    ChooseDetailsView();
    EXPECT_EQ(controls::ListColumnHeaders(program.Control(IDC_DEVICE_LIST)),
              (std::vector<std::string>{"SCSI ID:", "Type:", "Manufacturer:", "Model:", "Version:"}));
}

TEST_F(Inventory, ClickingAnAdapterShowsItsSlotsAndClickingTheRootShowsNone) {
    StartOnTheBuiltInMachine();
    ChooseDetailsView();

    ASSERT_TRUE(user::ClickTreeItem(program, kSecondAdapter));
    ASSERT_TRUE(autom::WaitUntil([&] { return program.DeviceList() == SecondAdapterRows(); }, 3000))
        << "the list after clicking the second adapter: " << program.DeviceList().size() << " rows, "
        << testing::PrintToString(program.DeviceList());
    EXPECT_EQ(program.StatusBar(), (std::vector<std::string>{"Currently selected:  Harrowgate Brightlane BL-1540 ",
                                                             "Number of devices connected:  2"}));

    ASSERT_TRUE(user::ClickTreeItem(program, kFirstAdapter));
    ASSERT_TRUE(autom::WaitUntil([&] { return program.DeviceList() == FirstAdapterRows(); }, 3000))
        << "the list after clicking the first adapter again: " << testing::PrintToString(program.DeviceList());
    EXPECT_EQ(program.StatusBar()[0], "Currently selected:  Harrowgate Brightlane BL-2940U");

    ASSERT_TRUE(user::ClickTreeItem(program, "SCSI Controllers"));
    ASSERT_TRUE(autom::WaitUntil([&] { return program.DeviceList().empty(); }, 3000))
        << "the list still shows " << program.DeviceList().size() << " rows with the root selected";
    EXPECT_EQ(program.StatusBar(),
              (std::vector<std::string>{"Currently selected:  None", "Number of devices connected:  0"}));
}

// ---- Sorting --------------------------------------------------------------------------

TEST_F(Inventory, ClickingAColumnHeaderSortsTheListByIt) {
    StartOnTheBuiltInMachine();
    ChooseDetailsView();

    // "Type:" sorts the type names alphabetically.
    ASSERT_TRUE(user::ClickColumnHeader(program, 1));
    std::vector<std::string> types;
    autom::WaitUntil(
        [&] {
            types = Column(program.DeviceList(), 1);
            return !types.empty() && types[0] == "CD-ROM";
        },
        3000);
    ASSERT_EQ(types.size(), 16u);
    EXPECT_EQ(std::vector<std::string>(types.begin(), types.begin() + 4),
              (std::vector<std::string>{"CD-ROM", "Hard Disk", "Host Adapter", "No Device"}));
    EXPECT_EQ(std::count(types.begin(), types.end(), "No Device"), 13);

    // "SCSI ID:" sorts the IDs as numbers: 2 before 10.
    ASSERT_TRUE(user::ClickColumnHeader(program, 0));
    std::vector<std::string> ids;
    autom::WaitUntil(
        [&] {
            ids = controls::FirstColumn(program.DeviceList());
            return !ids.empty() && ids[0] == "0";
        },
        3000);
    EXPECT_EQ(ids, Column(FirstAdapterRows(), 0));
    EXPECT_EQ(program.DeviceList(), FirstAdapterRows()) << "the rows kept their texts";
}

// "Model:" and "Version:" sort too; rows whose texts are equal (the empty
// IDs) keep their SCSI ID order, so clicking a header again gives the same
// list whatever was sorted before.
TEST_F(Inventory, ClickingModelAndThenVersionSortsByThoseColumns) {
    StartOnTheBuiltInMachine();
    ChooseDetailsView();
    const std::vector<std::string> empty_ids = {"1", "2", "3", "5", "6", "8", "9", "10", "11", "12", "13", "14", "15"};
    std::vector<std::string> by_model = {"7", "4", "0"};  // BL2940U, CDR-3220, KD-2100S, then "No Device"
    by_model.insert(by_model.end(), empty_ids.begin(), empty_ids.end());
    std::vector<std::string> by_version = empty_ids;  // no version first, then 0003, 1.04, 2.10
    by_version.insert(by_version.end(), {"7", "0", "4"});

    const struct {
        int column;
        const std::vector<std::string>& ids;
    } clicks[] = {{3, by_model}, {4, by_version}, {3, by_model}};
    for (const auto& click : clicks) {
        ASSERT_TRUE(user::ClickColumnHeader(program, click.column));
        std::vector<std::string> ids;
        EXPECT_TRUE(autom::WaitUntil(
            [&] {
                ids = controls::FirstColumn(program.DeviceList());
                return ids == click.ids;
            },
            3000))
            << "after a click on column " << click.column << ": " << testing::PrintToString(ids);
    }
}

// ---- View modes ---------------------------------------------------------------------

struct ViewCommand {
    int command;
    DWORD mode;
};

// Each step changes the mode, so every command shows.
const ViewCommand kMenuOrder[] = {{IDM_VIEW_SMALL_ICONS, LVS_SMALLICON},
                                  {IDM_VIEW_LIST, LVS_LIST},
                                  {IDM_VIEW_DETAILS, LVS_REPORT},
                                  {IDM_VIEW_LARGE_ICONS, LVS_ICON}};
const ViewCommand kToolbarOrder[] = {{IDM_VIEW_DETAILS, LVS_REPORT},
                                     {IDM_VIEW_LIST, LVS_LIST},
                                     {IDM_VIEW_SMALL_ICONS, LVS_SMALLICON},
                                     {IDM_VIEW_LARGE_ICONS, LVS_ICON}};

TEST_F(Inventory, TheViewMenuAndTheViewButtonsSwitchTheListsMode) {
    StartOnTheBuiltInMachine();
    ASSERT_EQ(user::ListMode(program), static_cast<DWORD>(LVS_ICON)) << "a first run opens in large icons";

    for (const ViewCommand& view : kMenuOrder) {
        ASSERT_TRUE(program.Choose(view.command));
        EXPECT_TRUE(autom::WaitUntil([&] { return user::ListMode(program) == view.mode; }, 3000))
            << "View menu item " << view.command << ": the list's mode is " << user::ListMode(program);
        const std::optional<autom::MenuItem> item = user::MenuItemOf(program, view.command);
        ASSERT_TRUE(item);
        EXPECT_FALSE(item->checked) << "the View menu sets no check marks";
    }
    for (const ViewCommand& view : kToolbarOrder) {
        ASSERT_TRUE(user::ClickToolbarButton(program, view.command));
        EXPECT_TRUE(autom::WaitUntil([&] { return user::ListMode(program) == view.mode; }, 3000))
            << "toolbar button " << view.command << ": the list's mode is " << user::ListMode(program);
    }
    EXPECT_EQ(program.DeviceList(), FirstAdapterRows()) << "the views changed what the list holds";
}

// What the user sees follows the mode: the list on the screen is the list
// as it draws itself in the new mode, not the old layout left standing.
TEST_F(Inventory, AfterAViewChangeTheListOnTheScreenIsDrawnInTheNewMode) {
    StartOnTheBuiltInMachine();
    ASSERT_TRUE(user::ListOnScreenIsUpToDate(program)) << "after the scan";

    ASSERT_TRUE(program.Choose(IDM_VIEW_DETAILS));
    ASSERT_TRUE(autom::WaitUntil([&] { return user::ListMode(program) == LVS_REPORT; }, 3000));
    EXPECT_TRUE(user::ListOnScreenIsUpToDate(program)) << "after View > Details View";

    ASSERT_TRUE(user::ClickToolbarButton(program, IDM_VIEW_LIST));
    ASSERT_TRUE(autom::WaitUntil([&] { return user::ListMode(program) == LVS_LIST; }, 3000));
    EXPECT_TRUE(user::ListOnScreenIsUpToDate(program)) << "after the List view button";
}

// An INQUIRY the manager takes and never ends holds the scan only for its
// time limit: it is aborted, the ID is empty, the devices after it are found.
TEST_F(Inventory, AnInquiryThatNeverEndsIsAbortedAndTheScanFinishes) {
    program.UseScenario("scan_inquiry_hangs.txt");
    ASSERT_TRUE(user::StartAndWaitForTheScan(program, 16));
    const std::vector<std::vector<std::string>> rows = program.DeviceList();
    EXPECT_EQ(rows[3][1], "No Device");
    EXPECT_EQ(rows[5][1], "Tape") << "the scan went on past the ID that did not answer";
    EXPECT_EQ(program.StatusBar()[1], program.Text(IDS_STATUS_DEVICES) + " 2");
}

}  // namespace
}  // namespace td::e2e
