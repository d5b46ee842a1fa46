// Help on a system without WinHelp: Windows 10, as Wine reports it to the
// program. Help > Help... opens the manual as HTML Help (Wine's hhctrl, in
// the program's own process) on its contents tree, or the WinHelp manual
// when the folder holds no KDX.chm; F1 or a right click on a properties
// page control shows the program's own popup. No help viewer process is
// started on the way: on Windows 10 that would be the stub that only says
// that WinHelp is not supported. (On Windows 95 and NT 4.0 the WinHelp
// viewer serves both, see setup_e2e.cpp and infowin_e2e.cpp.)
//
// And on Windows 95: the WinHelp viewer the program started, for the
// manual or for a properties page's help, closes when the program ends.
#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <string>
#include <vector>

#include "resources/resource_ids.h"
#include "support/device_windows.h"
#include "support/machine.h"
#include "support/paths.h"
#include "support/program_test.h"
#include "support/user_steps.h"

namespace td::e2e {
namespace {

namespace dw = device_windows;

// The built English help, which the tests name as the help folder.
std::string BuiltHelp() { return std::string(TD_HOST_HELP_DIR) + "/en"; }

// The contents tree the manual should show: its title, then every chapter
// with its sections one level in, as the staged source names them.
std::vector<std::string> ExpectedContents() {
    std::ifstream source(std::string(TD_HOST_HELP_DIR) + "/stage/en/KDX.but");
    static const std::regex kHeading(R"(^\\(title|C\{[a-z_]+\}|H\{[a-z_]+\}) (.*)$)");
    std::vector<std::string> entries;
    for (std::string line; std::getline(source, line);) {
        std::smatch heading;
        if (!std::regex_match(line, heading, kHeading)) continue;
        entries.push_back((heading[1].str()[0] == 'H' ? "  " : "") + heading[2].str());
    }
    return entries;
}

struct ClassSearch {
    const char* class_name;
    HWND found;
};

BOOL CALLBACK MatchClass(HWND child, LPARAM data) {
    auto* search = reinterpret_cast<ClassSearch*>(data);
    if (autom::ClassOf(child) != search->class_name) return TRUE;
    search->found = child;
    return FALSE;
}

// The first window of a class among the window's descendants.
HWND FindChildOfClass(HWND parent, const char* class_name) {
    ClassSearch search{class_name, nullptr};
    EnumChildWindows(parent, MatchClass, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

class HelpWithoutWinHelp : public ProgramTest {
protected:
    void TearDown() override {
        EXPECT_EQ(dw::EndProcessesStartedBy(program.process_id()), std::vector<std::string>{})
            << "the program started a help viewer";
        ProgramTest::TearDown();
    }

    // The shipped program on Windows 10 finds no SCSI port devices under
    // Wine, says so and opens its window all the same; the NT-sim build
    // finds those of the virtual bus.
    void StartOnWindows10(const std::string& help_folder, Edition edition = Edition::Shipped) {
        program.UseEdition(edition);
        program.OnPlatform(Platform::Windows10);
        machine::Install(help_folder);
        ASSERT_TRUE(program.Start());
        if (edition == Edition::Shipped)
            ASSERT_NE(program.WaitForMainWindowAnswering({program.Text(IDS_NO_ADAPTER)}), nullptr);
        else
            ASSERT_NE(program.WaitForMainWindow(), nullptr);
    }
};

TEST_F(HelpWithoutWinHelp, HelpOpensTheHtmlHelpManualOnItsContentsAndTheProgramEndsWithItOpen) {
    const std::vector<std::string> expected = ExpectedContents();
    ASSERT_GT(expected.size(), 30u) << "no staged manual in " << TD_HOST_HELP_DIR;
    StartOnWindows10(WindowsPathOf(BuiltHelp()));

    ASSERT_TRUE(program.Choose(IDM_HELP_CONTENTS));
    HWND viewer = autom::WaitForWindow(program.process_id(), "HH Parent", "", 10000);
    ASSERT_NE(viewer, nullptr) << "no HTML Help window";
    EXPECT_EQ(autom::TextOf(viewer), expected.front());
    HWND tree = FindChildOfClass(viewer, WC_TREEVIEWA);
    ASSERT_NE(tree, nullptr) << "the HTML Help window shows no contents";
    std::vector<std::string> shown;
    autom::WaitUntil(
        [&] {
            shown.clear();
            for (const autom::TreeItem& item : autom::ReadTree(tree))
                shown.push_back(std::string(2 * static_cast<size_t>(item.depth), ' ') + item.text);
            return shown.size() >= expected.size();
        },
        5000);
    EXPECT_EQ(shown, expected);
    EXPECT_EQ(FindWindowA("MS_WINHELP", nullptr), nullptr) << "WinHelp was asked as well";
    std::printf("Help > Help... on Windows 10: %s\n", dw::SavePicture(program, "help-html-contents").c_str());

    // The help window goes with the program, which ends as it always does.
    ASSERT_TRUE(program.Choose(IDM_FILE_EXIT));
    EXPECT_EQ(program.WaitForExit(), 0u);
}

// A help folder without KDX.chm (a copy installed by hand from an older
// release): the WinHelp manual, which is all there is.
TEST_F(HelpWithoutWinHelp, WithoutTheHtmlHelpFileHelpFallsBackToWinHelp) {
    char temp[MAX_PATH] = "";
    ASSERT_NE(GetTempPathA(sizeof temp, temp), 0u);
    const std::string folder = std::string(temp) + "td-help-without-chm";
    const std::string manual = folder + "\\KDX.hlp";
    CreateDirectoryA(folder.c_str(), nullptr);
    ASSERT_TRUE(CopyFileA(WindowsPathOf(BuiltHelp() + "/KDX.hlp").c_str(), manual.c_str(), FALSE));
    StartOnWindows10(folder);

    ASSERT_TRUE(program.Choose(IDM_HELP_CONTENTS));
    HWND viewer = autom::WaitForWindow(0, "MS_WINHELP", "", 10000);
    EXPECT_NE(viewer, nullptr) << "no WinHelp viewer";
    EXPECT_EQ(autom::WaitForWindow(program.process_id(), "HH Parent", "", 0), nullptr);
    dw::EndProcessesStartedBy(program.process_id());
    DeleteFileA(manual.c_str());
    RemoveDirectoryA(folder.c_str());
}

// F1 on a box and a right click on a value: the program's own popup with
// the control's text, the same as its context help topic.
TEST_F(HelpWithoutWinHelp, F1OrARightClickOnAPropertiesControlShowsTheProgramsOwnPopup) {
    StartOnWindows10(program.help_folder(), Edition::NtSimulator);
    ASSERT_TRUE(dw::DoubleClickDevice(program, "0"));
    HWND sheet = dw::WaitForPropertySheet(program);
    ASSERT_NE(sheet, nullptr);
    const std::vector<HWND> before = autom::TopLevelWindows(program.process_id());
    HWND page = dw::ShownPage(sheet);
    ASSERT_NE(page, nullptr);

    dw::ClickControl(page, IDC_SYNCHRONOUS);
    autom::PressKey(VK_F1);
    HWND popup = dw::WaitForAnotherWindow(program, before);
    ASSERT_NE(popup, nullptr) << "F1 on \"Synchronous Transfer\" showed no help";
    EXPECT_EQ(autom::TextOf(popup), program.Text(IDH_SYNCHRONOUS));
    std::printf("F1 on Windows 10: %s\n", dw::SavePicture(program, "help-popup-win10").c_str());
    autom::PressKey(VK_ESCAPE);
    EXPECT_TRUE(dw::WaitUntilClosed(popup, 2000));

    dw::RightClickControl(page, IDC_MANUFACTURER);
    popup = dw::WaitForAnotherWindow(program, before);
    ASSERT_NE(popup, nullptr) << "a right click on the manufacturer showed no help";
    EXPECT_EQ(autom::TextOf(popup), program.Text(IDH_MANUFACTURER));
    EXPECT_EQ(FindWindowA("MS_WINHELP", nullptr), nullptr);
}

class HelpWithWinHelp : public ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        machine::Install(WindowsPathOf(BuiltHelp()));
    }

    void TearDown() override {
        dw::EndProcessesStartedBy(program.process_id());
        ProgramTest::TearDown();
    }

    static bool ViewerRuns() { return FindWindowA("MS_WINHELP", nullptr) != nullptr; }

    // File > Exit; the viewer goes with the program.
    void ExitAndExpectTheViewerGone() {
        ASSERT_TRUE(autom::WaitUntil(ViewerRuns, 10000)) << "no help viewer was started";
        ASSERT_TRUE(program.Choose(IDM_FILE_EXIT));
        EXPECT_EQ(program.WaitForExit(), 0u);
        EXPECT_TRUE(autom::WaitUntil([] { return !ViewerRuns(); }, 5000)) << "the help viewer stayed open";
        EXPECT_EQ(dw::EndProcessesStartedBy(program.process_id()), std::vector<std::string>{})
            << "a help viewer outlived the program";
    }
};

TEST_F(HelpWithWinHelp, TheManualsViewerClosesWhenTheProgramEnds) {
    ASSERT_TRUE(user::StartAndWaitForTheScan(program, 16));
    ASSERT_TRUE(program.Choose(IDM_HELP_CONTENTS));
    ExitAndExpectTheViewerGone();
}

TEST_F(HelpWithWinHelp, TheContextHelpViewerClosesWhenTheProgramEnds) {
    ASSERT_TRUE(user::StartAndWaitForTheScan(program, 16));
    ASSERT_TRUE(dw::DoubleClickDevice(program, "0"));
    HWND sheet = dw::WaitForPropertySheet(program);
    ASSERT_NE(sheet, nullptr);
    HWND page = dw::ShownPage(sheet);
    ASSERT_NE(page, nullptr);
    dw::ClickControl(page, IDC_SYNCHRONOUS);
    autom::PressKey(VK_F1);  // WinHelp is asked for the box's topic in KDXCH.hlp
    ASSERT_TRUE(autom::WaitUntil(ViewerRuns, 10000)) << "no help viewer was started";
    autom::PressKey(VK_ESCAPE);  // the help popup
    ASSERT_TRUE(user::CloseDialog(sheet));
    ExitAndExpectTheViewerGone();
}

}  // namespace
}  // namespace td::e2e
