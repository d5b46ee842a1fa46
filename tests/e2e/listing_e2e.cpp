// Listing files as a user meets them on Windows 95: saving the inventory
// through File > Save As (asked before an existing file is replaced, never
// losing it when the write fails), opening a listing through File > Open,
// what the window shows afterwards, texts that read back as they were
// saved, a file the program refuses, and a re-scan that brings the live
// inventory back. The files live in a folder of the build tree, reached
// through Wine's drive Z:.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "resources/resource_ids.h"
#include "support/file_dialogs.h"
#include "support/paths.h"
#include "support/program_test.h"
#include "support/user_steps.h"

namespace td::e2e {
namespace {

using Rows = std::vector<std::vector<std::string>>;

constexpr char kFirstAdapter[] = "Harrowgate Brightlane BL-2940U PCI SCSI Host Adapter";
constexpr char kListingFiles[] = "Listing Files (*.txt;*.log)";

// ---- Files -------------------------------------------------------------------------------

std::string ListingFolder() {
    const std::string folder = ProgramFolder() + "listings";
    CreateDirectoryA(folder.c_str(), nullptr);
    return folder + "\\";
}

void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

std::optional<std::string> ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool FileExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// The listing of the built-in machine with IDs 0 to 15: both adapters'
// identifiers, then 32 device lines "ID,type,vendor,product,revision,
// adapter,ANSI version" in table order. INQUIRY texts are kept as the
// devices send them: the vendor as 7 of its 8 blank-padded bytes, the
// product with its 16 blank-padded bytes. An empty ID has an empty vendor
// and revision; the adapter's own ID 7 carries its maker cut to 7
// characters, its identifier and its hardware revision.
std::string BuiltInMachineListing() {
    struct Adapter {
        const char* identifier;
        const char* hw_revision;
        std::map<int, std::string> devices;
    };
    const Adapter adapters[] = {
        {"BL2940U",
         "0003",
         {{0, "Hard Disk,KESTRAL,KD-2100S        ,1.04"}, {4, "CD-ROM,ORIELLE,CDR-3220        ,2.10"}}},
        {"BL1540", "0102", {{2, "Tape,TALLIS ,TDAT-4000       ,3.02"}, {5, "Scanner,PRISMA ,ScanStar 600    ,1.00"}}},
    };
    std::string text = "2\nBL2940U\nBL1540\n32\n";
    for (const Adapter& adapter : adapters) {
        for (int id = 0; id < 16; ++id) {
            const std::string owner = adapter.identifier;
            std::string line;
            if (id == 7)
                line = "Host Adapter,Harrowg," + owner + "," + adapter.hw_revision + "," + owner + ",0";
            else if (adapter.devices.count(id) != 0)
                line = adapter.devices.at(id) + "," + owner + ",2";
            else
                line = "No Device,,No Device,," + owner + ",0";
            text += std::to_string(id) + "," + line + "\n";
        }
    }
    return text;
}

// A listing of three adapters; BRAVO has a CD-ROM, a printer and a tape,
// one empty ID and its own ID: three devices.
constexpr char kThreeAdapters[] =
    "3\n"
    "ALPHA\n"
    "BRAVO\n"
    "CHARLIE\n"
    "8\n"
    "0,Hard Disk,KESTRAL,KD-2100S,1.04,ALPHA,2\n"
    "7,Host Adapter,Harrowg,ALPHA,0003,ALPHA,0\n"
    "1,CD-ROM,ORIELLE,CDR-3220,2.10,BRAVO,2\n"
    "3,No Device, ,No Device, ,BRAVO,0\n"
    "4,Printer,INKWELL,LP-600,1.1,BRAVO,2\n"
    "6,Tape,TALLIS,TDAT-4000,3.02,BRAVO,2\n"
    "7,Host Adapter,Harrowg,BRAVO,0102,BRAVO,0\n"
    "5,Scanner,PRISMA,ScanStar 600,1.00,CHARLIE,2\n";

const Rows kBravoRows = {{"1", "CD-ROM", "ORIELLE", "CDR-3220", "2.10"},
                         {"3", "No Device", " ", "No Device", " "},
                         {"4", "Printer", "INKWELL", "LP-600", "1.1"},
                         {"6", "Tape", "TALLIS", "TDAT-4000", "3.02"},
                         {"7", "Host Adapter", "Harrowg", "BRAVO", "0102"}};

class Listing : public ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        folder_ = ListingFolder();
    }

    std::string PathOf(const std::string& name) const { return folder_ + name; }

    void StartOnTheBuiltInMachine() {
        ASSERT_TRUE(user::StartAndWaitForTheScan(program, 16));
        ASSERT_TRUE(program.Choose(IDM_VIEW_DETAILS));
        ASSERT_TRUE(autom::WaitUntil([&] { return user::ListMode(program) == LVS_REPORT; }, 3000));
    }

    // File > Save As: the listing files are the type offered first, the
    // name is typed, then Enter.
    HWND OpenSaveAsDialog() {
        EXPECT_TRUE(program.Choose(IDM_FILE_SAVE_AS));
        HWND dialog = user::WaitForFileDialog(program, "Save File As");
        EXPECT_NE(dialog, nullptr) << "no \"Save File As\" dialog";
        if (dialog != nullptr) {
            EXPECT_EQ(user::ChosenFileType(dialog), kListingFiles);
        }
        return dialog;
    }

    void SaveAs(const std::string& typed_name) {
        HWND dialog = OpenSaveAsDialog();
        ASSERT_NE(dialog, nullptr);
        ASSERT_TRUE(user::EnterFileName(dialog, typed_name));
    }

    // File > Open, the name typed, Enter.
    void Open(const std::string& typed_name) {
        ASSERT_TRUE(program.Choose(IDM_FILE_OPEN));
        HWND dialog = user::WaitForFileDialog(program, "Open a File");
        ASSERT_NE(dialog, nullptr) << "no \"Open a File\" dialog";
        EXPECT_EQ(user::ChosenFileType(dialog), kListingFiles);
        ASSERT_TRUE(user::EnterFileName(dialog, typed_name));
    }

    // Files a save left in the listings folder besides the listings.
    std::vector<std::string> TemporaryFiles() {
        std::vector<std::string> found;
        WIN32_FIND_DATAA entry;
        HANDLE search = FindFirstFileA((folder_ + "*.tmp").c_str(), &entry);
        if (search == INVALID_HANDLE_VALUE) return found;
        do found.emplace_back(entry.cFileName);
        while (FindNextFileA(search, &entry));
        FindClose(search);
        return found;
    }

    // After Open: the user opens the collapsed root and clicks an adapter.
    testing::AssertionResult ShowDevicesOf(const std::string& adapter) {
        if (!user::DoubleClickTreeItem(program, "SCSI Controllers"))
            return testing::AssertionFailure() << "no root item to open";
        if (!autom::WaitUntil([&] { return !program.AdapterTree().empty() && program.AdapterTree()[0].expanded; },
                              3000))
            return testing::AssertionFailure() << "the root did not open";
        return user::ClickTreeItem(program, adapter);
    }

    bool SaveIsEnabled() {
        const std::optional<autom::MenuItem> item = user::MenuItemOf(program, IDM_FILE_SAVE);
        const autom::ToolbarButton* button = user::ToolbarButtonOf(program.Toolbar(), IDM_FILE_SAVE);
        return item && item->enabled() && button != nullptr && (button->state & TBSTATE_ENABLED) != 0 &&
               (button->state & TBSTATE_INDETERMINATE) == 0;
    }

    bool SaveIsDisabled() {
        const std::optional<autom::MenuItem> item = user::MenuItemOf(program, IDM_FILE_SAVE);
        const autom::ToolbarButton* button = user::ToolbarButtonOf(program.Toolbar(), IDM_FILE_SAVE);
        return item && item->grayed && button != nullptr && (button->state & TBSTATE_ENABLED) == 0;
    }

    bool WaitForTitle(const std::string& title) {
        return autom::WaitUntil([&] { return program.Title() == title; }, 5000);
    }

    std::string folder_;
};

// ---- Save As -------------------------------------------------------------------------------

TEST_F(Listing, SaveAsOntoAnExistingFileAsksNoKeepsItAndYesReplacesIt) {
    const std::string file = PathOf("inventory.txt");
    const std::string kept = "a listing the user keeps\n";
    WriteFile(file, kept);
    StartOnTheBuiltInMachine();
    ASSERT_TRUE(SaveIsDisabled());

    for (int answer : {IDNO, IDYES}) {
        HWND dialog = OpenSaveAsDialog();
        ASSERT_NE(dialog, nullptr);
        ASSERT_TRUE(user::TypeFileNameAndPressEnter(dialog, PathOf("inventory")));
        std::optional<Message> question = program.WaitForMessage(5000);
        ASSERT_TRUE(question) << "saving over inventory.txt did not ask";
        EXPECT_EQ(question->buttons, (std::vector<std::string>{"&Yes", "&No"})) << Describe(*question);
        ASSERT_TRUE(program.Answer(*question, answer));
        if (answer == IDNO) {
            ASSERT_TRUE(IsWindowVisible(dialog)) << "No did not return to the dialog";
            ASSERT_TRUE(user::CancelFileDialog(dialog));
            EXPECT_TRUE(user::NothingOpensWithin(program, 500));
            EXPECT_EQ(ReadFile(file), kept) << "No changed the file";
            EXPECT_EQ(program.Title(), "Tessaline Diagnostics");
            EXPECT_TRUE(SaveIsDisabled());
        }
    }
    ASSERT_TRUE(WaitForTitle("Tessaline Diagnostics - [inventory.txt]"))
        << "the title is \"" << program.Title() << "\"";
    EXPECT_FALSE(FileExists(PathOf("inventory"))) << "the name was taken without its extension";
    EXPECT_EQ(ReadFile(file), BuiltInMachineListing());
    EXPECT_TRUE(SaveIsEnabled()) << "Save is not enabled in the menu and on the toolbar";
    EXPECT_EQ(TemporaryFiles(), std::vector<std::string>{});
}

// A save that cannot write leaves the listing that was there and nothing
// else: here the file has become read-only since Save As wrote it.
TEST_F(Listing, ASaveThatCannotWriteReportsItAndLeavesTheOldFileAlone) {
    const std::string file = PathOf("read-only.txt");
    SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(file.c_str());
    StartOnTheBuiltInMachine();
    SaveAs(file);
    ASSERT_TRUE(WaitForTitle("Tessaline Diagnostics - [read-only.txt]"));
    const std::optional<std::string> saved = ReadFile(file);
    ASSERT_TRUE(saved);
    ASSERT_TRUE(SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_READONLY));

    ASSERT_TRUE(program.Choose(IDM_FILE_SAVE));
    std::optional<Message> message = program.WaitForMessage(5000);
    SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_NORMAL);
    ASSERT_TRUE(message) << "no message for a read-only file";
    EXPECT_EQ(message->text, program.Text(IDS_FILE_CREATE_FAILED));
    ASSERT_TRUE(program.Answer(*message, IDOK));
    EXPECT_EQ(ReadFile(file), saved) << "the file changed";
    EXPECT_EQ(TemporaryFiles(), std::vector<std::string>{});
}

// Texts a device sends that the comma-separated lines cannot hold as they
// are: the comma goes out as a semicolon, the line feed as a blank, the
// apostrophe as it is; the empty IDs' lines have empty fields. Opened
// again, the list shows what was saved, however the list looked before.
TEST_F(Listing, AListingOpensAsItWasSavedWhateverItsTextsHold) {
    DeleteFileA(PathOf("texts.txt").c_str());
    program.UseScenario("listing_texts_with_commas.txt");
    ASSERT_TRUE(user::StartAndWaitForTheScan(program, 16));
    ASSERT_TRUE(program.Choose(IDM_VIEW_DETAILS));
    SaveAs(PathOf("texts"));
    ASSERT_TRUE(WaitForTitle("Tessaline Diagnostics - [texts.txt]")) << "the title is \"" << program.Title() << "\"";
    const std::optional<std::string> written = ReadFile(PathOf("texts.txt"));
    ASSERT_TRUE(written);
    EXPECT_NE(written->find("\n0,Hard Disk,O'RBITA,VX3200 WIDE;DISK,1.00,BL2940U,2\n"), std::string::npos) << *written;
    EXPECT_NE(written->find("\n4,CD-ROM,ORIELLE,CDR-3220 X      ,2.10,BL2940U,2\n"), std::string::npos) << *written;
    EXPECT_NE(written->find("\n1,No Device,,No Device,,BL2940U,0\n"), std::string::npos) << *written;

    // Another machine's listing first, so that nothing of this one is left
    // in the slots: its ID 0 is empty.
    WriteFile(PathOf("other.txt"), "1\nBL2940U\n1\n0,No Device,,No Device,,BL2940U,0\n");
    Open(PathOf("other.txt"));
    ASSERT_TRUE(WaitForTitle("Tessaline Diagnostics - [other.txt]"));
    ASSERT_TRUE(ShowDevicesOf("BL2940U"));
    ASSERT_TRUE(autom::WaitUntil([&] { return !program.DeviceList().empty(); }, 3000));
    EXPECT_EQ(program.DeviceList()[0], (std::vector<std::string>{"0", "No Device", "", "No Device", ""}))
        << "an empty field shows what the live machine had there";

    Open(PathOf("texts.txt"));
    ASSERT_TRUE(WaitForTitle("Tessaline Diagnostics - [texts.txt]"));
    ASSERT_TRUE(ShowDevicesOf("BL2940U"));
    Rows rows;
    autom::WaitUntil(
        [&] {
            rows = program.DeviceList();
            return rows.size() == 16;
        },
        3000);
    ASSERT_EQ(rows.size(), 16u) << "the adapter lists the file's sixteen IDs";
    EXPECT_EQ(rows[0], (std::vector<std::string>{"0", "Hard Disk", "O'RBITA", "VX3200 WIDE;DISK", "1.00"}));
    EXPECT_EQ(rows[1], (std::vector<std::string>{"1", "No Device", "", "No Device", ""}));
    EXPECT_EQ(rows[4], (std::vector<std::string>{"4", "CD-ROM", "ORIELLE", "CDR-3220 X      ", "2.10"}));
    EXPECT_EQ(program.StatusBar()[1], "Number of devices connected:  2");
}

// ---- Open ---------------------------------------------------------------------------------

TEST_F(Listing, OpenShowsTheFilesAdaptersLastOnTopAndTheirDevicesWhenChosen) {
    WriteFile(PathOf("three.txt"), kThreeAdapters);
    StartOnTheBuiltInMachine();

    Open(PathOf("three.txt"));

    ASSERT_TRUE(WaitForTitle("Tessaline Diagnostics - [three.txt]")) << "the title is \"" << program.Title() << "\"";
    EXPECT_TRUE(user::NothingOpensWithin(program, 500));
    EXPECT_TRUE(SaveIsEnabled()) << "Save is not enabled in the menu and on the toolbar";
    const std::vector<autom::TreeItem> tree = program.AdapterTree();
    ASSERT_FALSE(tree.empty());
    EXPECT_EQ(tree[0].text, "SCSI Controllers");
    EXPECT_FALSE(tree[0].expanded) << "the root is expanded after Open";
    EXPECT_EQ(user::AdaptersInTree(program), (std::vector<std::string>{"CHARLIE", "BRAVO", "ALPHA"}));
    for (const autom::TreeItem& item : tree)
        EXPECT_FALSE(item.depth == 1 && item.selected) << item.text << " is selected after Open";
    EXPECT_TRUE(program.DeviceList().empty()) << "the list is not empty before an adapter is chosen";

    // The user opens the root and clicks an adapter.
    ASSERT_TRUE(ShowDevicesOf("BRAVO"));
    ASSERT_TRUE(autom::WaitUntil([&] { return program.DeviceList() == kBravoRows; }, 3000))
        << testing::PrintToString(program.DeviceList());
    // Devices are the lines that are neither "No Device" nor "Host Adapter".
    EXPECT_EQ(program.StatusBar(),
              (std::vector<std::string>{"Currently selected:  BRAVO", "Number of devices connected:  3"}));

    ASSERT_TRUE(user::ClickTreeItem(program, "CHARLIE"));
    ASSERT_TRUE(autom::WaitUntil([&] { return program.DeviceList().size() == 1; }, 3000));
    EXPECT_EQ(program.DeviceList()[0], (std::vector<std::string>{"5", "Scanner", "PRISMA", "ScanStar 600", "1.00"}));
    EXPECT_EQ(program.StatusBar()[1], "Number of devices connected:  1");
}

TEST_F(Listing, OpenFindsANameTypedWithoutItsExtensionAsATxtFile) {
    WriteFile(PathOf("inventory.txt"), kThreeAdapters);
    DeleteFileA(PathOf("missing.txt").c_str());
    StartOnTheBuiltInMachine();

    // A name that names no file: said so, and the dialog comes back.
    Open(PathOf("missing"));
    std::optional<Message> message = program.WaitForMessage(5000);
    ASSERT_TRUE(message) << "nothing said that the file does not exist";
    EXPECT_EQ(message->text, program.Text(IDS_FILE_NOT_FOUND));
    ASSERT_TRUE(program.Answer(*message, IDOK));
    HWND again = user::WaitForFileDialog(program, "Open a File");
    ASSERT_NE(again, nullptr) << "the dialog did not come back";
    ASSERT_TRUE(user::CancelFileDialog(again));
    EXPECT_TRUE(user::NothingOpensWithin(program, 500));
    EXPECT_TRUE(SaveIsDisabled());

    Open(PathOf("inventory"));

    EXPECT_TRUE(user::NoMessageWithin(program, 1000)) << "the file was not found";
    ASSERT_TRUE(WaitForTitle("Tessaline Diagnostics - [inventory.txt]"))
        << "the title is \"" << program.Title() << "\"";
    EXPECT_EQ(user::AdaptersInTree(program), (std::vector<std::string>{"CHARLIE", "BRAVO", "ALPHA"}));
}

TEST_F(Listing, AReScanAfterOpenTakesTheFileNameFromTheTitleButKeepsSave) {
    WriteFile(PathOf("three.txt"), kThreeAdapters);
    StartOnTheBuiltInMachine();
    Open(PathOf("three.txt"));
    ASSERT_TRUE(WaitForTitle("Tessaline Diagnostics - [three.txt]")) << "the title is \"" << program.Title() << "\"";

    ASSERT_TRUE(program.Choose(IDM_RESCAN));
    std::optional<Message> question = program.WaitForMessage(5000);
    ASSERT_TRUE(question) << "no question before the re-scan";
    EXPECT_EQ(question->text, program.Text(IDS_RESCAN_QUESTION));
    ASSERT_TRUE(program.Answer(*question, IDOK));

    ASSERT_TRUE(user::WaitForTheScan(program, 16));
    EXPECT_EQ(program.Title(), "Tessaline Diagnostics");
    EXPECT_EQ(user::AdaptersInTree(program),
              (std::vector<std::string>{kFirstAdapter, "Harrowgate Brightlane BL-1540 SCSI Host Adapter"}));
    EXPECT_TRUE(SaveIsEnabled()) << "the re-scan disabled Save again";
    // The live adapter again, with what the machine tells of it.
    EXPECT_EQ(program.StatusBar(), (std::vector<std::string>{"Currently selected:  Harrowgate Brightlane BL-2940U",
                                                             "Number of devices connected:  2"}));
    ASSERT_EQ(program.DeviceList().size(), 16u);
    EXPECT_EQ(program.DeviceList()[7], (std::vector<std::string>{"7", "Host Adapter", "Harrowg", "BL2940U", "0003"}));
}

TEST_F(Listing, AFileNamingNineAdaptersIsRefusedAndLeavesTheViewsEmpty) {
    WriteFile(PathOf("nine.txt"), "9\nA\nB\nC\nD\nE\nF\nG\nH\nI\n1\n0,Hard Disk,V,P,1,A,2\n");
    StartOnTheBuiltInMachine();

    Open(PathOf("nine.txt"));

    std::optional<Message> message = program.WaitForMessage(5000);
    ASSERT_TRUE(message) << "no message for a file with 9 adapters";
    EXPECT_EQ(message->text, "File Error:  The number of SCSI Host Adapters must be between 1 and 8");
    EXPECT_EQ(message->caption, program.Text(IDS_STATUS_CAPTION));
    EXPECT_EQ(message->icon, autom::StandardIcon::None) << Describe(*message);
    EXPECT_EQ(message->buttons, (std::vector<std::string>{"OK"}));
    ASSERT_TRUE(program.Answer(*message, IDOK));

    EXPECT_TRUE(user::NothingOpensWithin(program, 500));
    // The live inventory went when the file was read; nothing took its place.
    const std::vector<autom::TreeItem> tree = program.AdapterTree();
    ASSERT_EQ(tree.size(), 1u) << "adapters in the tree: " << (tree.size() > 1 ? tree[1].text : "");
    EXPECT_EQ(tree[0].text, "SCSI Controllers");
    EXPECT_TRUE(program.DeviceList().empty());
    EXPECT_EQ(program.Title(), "Tessaline Diagnostics");
    EXPECT_TRUE(SaveIsDisabled()) << "a refused file enabled Save";
}

TEST_F(Listing, CancelInTheOpenDialogChangesNothing) {
    StartOnTheBuiltInMachine();
    const Rows list_before = program.DeviceList();
    const std::vector<std::string> status_before = program.StatusBar();

    ASSERT_TRUE(user::ClickToolbarButton(program, IDM_FILE_OPEN));
    HWND dialog = user::WaitForFileDialog(program, "Open a File");
    ASSERT_NE(dialog, nullptr) << "no \"Open a File\" dialog";
    ASSERT_TRUE(user::CancelFileDialog(dialog));

    EXPECT_TRUE(user::NothingOpensWithin(program, 1000)) << "Cancel was answered with a message";
    EXPECT_EQ(program.DeviceList(), list_before);
    EXPECT_EQ(program.StatusBar(), status_before);
    EXPECT_EQ(user::AdaptersInTree(program),
              (std::vector<std::string>{kFirstAdapter, "Harrowgate Brightlane BL-1540 SCSI Host Adapter"}));
    EXPECT_EQ(program.Title(), "Tessaline Diagnostics");
    EXPECT_TRUE(SaveIsDisabled()) << "Cancel enabled Save";
}

}  // namespace
}  // namespace td::e2e
