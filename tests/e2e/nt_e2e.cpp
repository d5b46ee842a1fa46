// The inventory on Windows NT, as the NT-sim edition shows it: Wine has no
// SCSI port devices, so that edition finds its ports, drives and class
// devices on the virtual bus. The adapters come from the SCSI port driver
// one port after another and are listed last first; the adapter's own ID and
// the empty IDs carry fixed texts; a re-scan and the wide-bus option build
// the inventory anew.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "resources/resource_ids.h"
#include "support/control_views.h"
#include "support/program_test.h"
#include "support/user_steps.h"

namespace td::e2e {
namespace {

using Rows = std::vector<std::vector<std::string>>;

constexpr char kFirstAdapter[] = "Harrowgate Brightlane BL-2940U PCI SCSI Host Adapter";
constexpr char kSecondAdapter[] = "Harrowgate Brightlane BL-1540 SCSI Host Adapter";

// One adapter's slots, IDs 0 to last: its own ID as "Host Adapter" with the
// port's driver name, its maker cut to 7 characters and "N/A" as revision,
// empty IDs as "No Device" with blank vendor and revision.
Rows SlotsOf(int last, const Rows& devices, int own_id, const std::string& driver, const std::string& maker) {
    Rows rows;
    for (int id = 0; id <= last; ++id) {
        std::vector<std::string> row = {std::to_string(id), "No Device", " ", "No Device", " "};
        for (const auto& device : devices)
            if (device[0] == row[0]) row = device;
        if (id == own_id) row = {std::to_string(id), "Host Adapter", maker.substr(0, 7), driver, "N/A"};
        rows.push_back(row);
    }
    return rows;
}

Rows FirstAdapterRows(int last) {
    return SlotsOf(last,
                   {{"0", "Hard Disk", "KESTRAL", "KD-2100S        ", "1.04"},
                    {"4", "CD-ROM", "ORIELLE", "CDR-3220        ", "2.10"}},
                   7, "bl2940u", "Harrowgate");
}

Rows SecondAdapterRows(int last) {
    return SlotsOf(last,
                   {{"2", "Tape", "TALLIS ", "TDAT-4000       ", "3.02"},
                    {"5", "Scanner", "PRISMA ", "ScanStar 600    ", "1.00"}},
                   7, "bl1540", "Harrowgate");
}

class NtInventory : public ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        program.UseEdition(Edition::NtSimulator);
        program.OnPlatform(Platform::WindowsNt);
        program.Install();
    }

    void ShowAdapter(const std::string& adapter, const Rows& rows) {
        ASSERT_TRUE(user::ClickTreeItem(program, adapter));
        ASSERT_TRUE(autom::WaitUntil([&] { return program.DeviceList() == rows; }, 3000))
            << adapter << ": " << testing::PrintToString(program.DeviceList());
    }

    void ExpectFirstAdapterShownAtTheBottom(const Rows& rows) {
        const std::vector<autom::TreeItem> tree = program.AdapterTree();
        ASSERT_FALSE(tree.empty());
        EXPECT_EQ(tree[0].text, "SCSI Controllers");
        EXPECT_TRUE(tree[0].expanded) << "the root is not expanded";
        EXPECT_EQ(user::AdaptersInTree(program), (std::vector<std::string>{kSecondAdapter, kFirstAdapter}));
        const std::optional<autom::TreeItem> selected = user::SelectedTreeItem(program);
        ASSERT_TRUE(selected) << "no adapter is selected";
        EXPECT_EQ(selected->text, kFirstAdapter);
        EXPECT_EQ(program.DeviceList(), rows);
        EXPECT_EQ(program.StatusBar(), (std::vector<std::string>{"Currently selected:  Harrowgate Brightlane BL-2940U",
                                                                 "Number of devices connected:  2"}));
    }
};

TEST_F(NtInventory, TheAdaptersAreListedLastFirstAndEachListShowsItsOwnIdAndItsEmptyIds) {
    ASSERT_TRUE(user::StartAndWaitForTheScan(program, 16));

    ExpectFirstAdapterShownAtTheBottom(FirstAdapterRows(15));

    ShowAdapter(kSecondAdapter, SecondAdapterRows(15));
    EXPECT_EQ(program.StatusBar(), (std::vector<std::string>{"Currently selected:  Harrowgate Brightlane BL-1540 ",
                                                             "Number of devices connected:  2"}));
}

// Ports SCSI0 and SCSI1 open, SCSI2 does not: the third port, SCSI3, is
// never reached.
TEST_F(NtInventory, TheAdaptersAreThePortsFromZeroUpToTheFirstMissingNumber) {
    program.UseScenario("nt_ports_with_a_gap.txt");
    ASSERT_TRUE(user::StartAndWaitForTheScan(program, 16));

    EXPECT_EQ(user::AdaptersInTree(program),
              (std::vector<std::string>{"Quillon QX-200 Wide SCSI Controller", "Quillon QX-100 Fast SCSI Controller"}));
    EXPECT_EQ(program.DeviceList(),
              SlotsOf(15, {{"3", "Hard Disk", "QUILLON", "QD-540          ", "2.01"}}, 7, "qx100", "Quillon"));
    EXPECT_EQ(program.StatusBar()[1], "Number of devices connected:  1");

    ShowAdapter("Quillon QX-200 Wide SCSI Controller",
                SlotsOf(15, {{"1", "CD-ROM", "ORIELLE", "CDR-3220        ", "2.10"}}, 6, "qx200", "Quillon"));
    EXPECT_EQ(program.StatusBar()[1], "Number of devices connected:  1");
}

// Narrowing the bus to IDs 0 to 7 re-scans at once: the second adapter's
// slots then take the places the first adapter's IDs 8 to 15 had, and
// must show the second adapter's devices and empty IDs, nothing left over.
TEST_F(NtInventory, ReScanningBuildsTheInventoryAnewWithNothingLeftOver) {
    ASSERT_TRUE(user::StartAndWaitForTheScan(program, 16));
    ShowAdapter(kSecondAdapter, SecondAdapterRows(15));

    ASSERT_TRUE(program.Choose(IDM_WIDE_BUS));
    ASSERT_TRUE(user::WaitForTheScan(program, 8)) << "the narrow bus";
    EXPECT_TRUE(user::OpenWindows(program).empty()) << "the option asked before re-scanning";
    ExpectFirstAdapterShownAtTheBottom(FirstAdapterRows(7));
    ShowAdapter(kSecondAdapter, SecondAdapterRows(7));
    EXPECT_EQ(program.StatusBar()[1], "Number of devices connected:  2");

    ASSERT_TRUE(program.Choose(IDM_RESCAN));
    std::optional<Message> question = program.WaitForMessage(5000);
    ASSERT_TRUE(question) << "no question before the re-scan";
    EXPECT_EQ(question->text, program.Text(IDS_RESCAN_QUESTION));
    ASSERT_TRUE(program.Answer(*question, IDOK));
    ASSERT_TRUE(autom::WaitUntil(
        [&] {
            const std::optional<autom::TreeItem> selected = user::SelectedTreeItem(program);
            return selected && selected->text == kFirstAdapter;
        },
        5000))
        << "the re-scan did not show the first adapter again";
    ExpectFirstAdapterShownAtTheBottom(FirstAdapterRows(7));
    ShowAdapter(kSecondAdapter, SecondAdapterRows(7));
}

}  // namespace
}  // namespace td::e2e
