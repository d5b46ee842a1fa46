// The main window with the keyboard alone, as a user without a mouse meets
// it on Windows 95: the focus starts in the adapter tree, Tab and F6 move
// between the tree and the list and come back to where they were after the
// window was away, Enter and Alt+Enter open a device's properties, Shift+F10
// its menu at the device, F5 the re-scan's question, and the menus' keys
// the rest. Every key goes through SendInput, as a keyboard's would.
//
// The built-in machine: adapter 1 "Harrowgate Brightlane BL-1540 SCSI Host
// Adapter" (second in the tree) with a tape at ID 2, its own slot at ID 7.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "resources/resource_ids.h"
#include "support/device_windows.h"
#include "support/program_test.h"
#include "support/user_steps.h"

namespace td::e2e {
namespace {

namespace dw = device_windows;

constexpr char kSecondAdapter[] = "Harrowgate Brightlane BL-1540 SCSI Host Adapter";

class Keyboard : public ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        ASSERT_TRUE(user::StartAndWaitForTheScan(program, 16));
        tree_ = program.Control(IDC_ADAPTER_TREE);
        list_ = program.Control(IDC_DEVICE_LIST);
    }

    // The keys, one after another, each given a moment to be handled.
    void Press(const std::vector<std::string>& keys) {
        for (const std::string& key : keys) {
            ASSERT_TRUE(autom::PressNamedKey(key)) << key;
            Sleep(250);
        }
    }

    // The window that has the keyboard focus in the program's thread.
    HWND Focus() const {
        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        if (!GetGUIThreadInfo(GetWindowThreadProcessId(program.main_window(), nullptr), &info)) return nullptr;
        return info.hwndFocus;
    }

    testing::AssertionResult FocusComesTo(HWND pane, const char* name) {
        if (autom::WaitUntil([&] { return Focus() == pane; }, 3000)) return testing::AssertionSuccess();
        return testing::AssertionFailure() << "the focus is not in the " << name << " but in a window of class \""
                                           << autom::ClassOf(Focus()) << "\"";
    }

    HWND tree_ = nullptr;
    HWND list_ = nullptr;
};

TEST_F(Keyboard, FromStartUpTheKeyboardAloneOpensADevicesPropertiesMenuAndDiagnostics) {
    ASSERT_TRUE(FocusComesTo(tree_, "tree")) << "at start-up";
    Press({"Alt+V", "D"});  // View > Details View
    ASSERT_TRUE(autom::WaitUntil([&] { return user::ListMode(program) == LVS_REPORT; }, 3000));

    // The second adapter: the list follows the tree's selection.
    Press({"Down"});
    ASSERT_TRUE(autom::WaitUntil(
        [&] {
            const auto selected = user::SelectedTreeItem(program);
            return selected && selected->text == kSecondAdapter && program.DeviceList().size() == 16 &&
                   program.DeviceList()[2][1] == "Tape";
        },
        3000))
        << "Down in the tree did not show the second adapter's devices";

    // Into the list, which starts on its first device; the third is the tape.
    Press({"Tab"});
    ASSERT_TRUE(FocusComesTo(list_, "list")) << "after Tab";
    EXPECT_EQ(autom::ListSelectedIndex(list_), 0) << "the list entered without a device starts on its first";
    Press({"Down", "Down"});
    ASSERT_TRUE(autom::WaitUntil([&] { return autom::ListSelectedIndex(list_) == 2; }, 3000));

    // Enter: its properties, as a double click.
    Press({"Enter"});
    HWND sheet = dw::WaitForPropertySheet(program);
    ASSERT_NE(sheet, nullptr) << "Enter on the tape opened nothing";
    EXPECT_EQ(dw::SelectedTab(sheet), 0);
    EXPECT_EQ(dw::TextOf(dw::ShownPage(sheet), IDC_SCSI_ID), "2");
    EXPECT_EQ(dw::TextOf(dw::ShownPage(sheet), IDC_DEVICE_TYPE), "Tape");
    Press({"Escape"});
    ASSERT_TRUE(dw::WaitUntilClosed(sheet)) << "Escape left the sheet open";
    ASSERT_TRUE(FocusComesTo(list_, "list")) << "after the sheet closed";

    // Shift+F10: the device menu, opened at the tape's row, not at the mouse.
    autom::MoveMouse(5, 5);
    Press({"Shift+F10"});
    const std::optional<autom::Menu> popup = program.WaitForPopupMenu();
    ASSERT_TRUE(popup) << "Shift+F10 opened no menu";
    ASSERT_EQ(popup->items.size(), 1u);
    EXPECT_EQ(popup->items[0].id, static_cast<UINT>(IDM_DEVICE_PROPERTIES));
    ASSERT_TRUE(popup->items[0].rect);
    const RECT row = autom::ListItemRect(list_, 2);
    const RECT item = *popup->items[0].rect;
    EXPECT_TRUE(item.left >= row.left && item.left <= row.left + 40 && item.top >= row.top &&
                item.top <= row.bottom + 8)
        << "the menu's item is at " << item.left << "," << item.top << ", the row at " << row.left << "," << row.top
        << "-" << row.bottom;
    Press({"Escape"});
    ASSERT_TRUE(user::NothingOpensWithin(program, 300));

    // Options > Device Diagnostics by its keys, then Begin Tests, Yes, and
    // the run to its end.
    Press({"Alt+O", "G"});
    HWND dialog = dw::WaitForDialog(program, "Device Diagnostic Tests");
    ASSERT_NE(dialog, nullptr) << "Alt+O, G opened no diagnostics";
    EXPECT_EQ(dw::TextOf(dialog, IDC_SCSI_ID), "2");
    EXPECT_EQ(dw::TextOf(dialog, IDC_DEVICE_TYPE), "Tape");
    Press({"Enter"});
    std::optional<Message> warning = program.WaitForMessage();
    ASSERT_TRUE(warning) << "Enter on Begin Tests brought no warning";
    EXPECT_EQ(warning->caption, program.Text(IDS_TESTS_CAPTION));
    Press({"Enter"});  // Yes, the box's first button
    ASSERT_TRUE(autom::WaitUntil([&] { return dw::TextOf(dialog, IDOK) == program.Text(IDS_OK); }, 30000))
        << "the run did not end: button 1 reads \"" << dw::TextOf(dialog, IDOK) << "\"";
    EXPECT_EQ(dw::TextOf(dialog, IDC_TUR_STATE), program.Text(IDS_PASSED));
    Press({"Enter"});
    ASSERT_TRUE(dw::WaitUntilClosed(dialog)) << "Enter on OK left the dialog open";
    EXPECT_TRUE(FocusComesTo(list_, "list")) << "after the diagnostics closed";
}

TEST_F(Keyboard, TabAndF6MoveBetweenThePanesAndTheFocusComesBackAfterTheWindowWasAway) {
    ASSERT_TRUE(FocusComesTo(tree_, "tree")) << "at start-up";
    // Two panes: either key either way goes to the other one.
    const struct {
        const char* key;
        bool to_list;
    } moves[] = {{"Tab", true}, {"Shift+Tab", false}, {"F6", true}, {"Shift+F6", false}, {"Tab", true}};
    for (const auto& move : moves) {
        Press({move.key});
        ASSERT_TRUE(move.to_list ? FocusComesTo(list_, "list") : FocusComesTo(tree_, "tree")) << "after " << move.key;
    }

    // Minimized and restored, as from the taskbar: back in the list.
    PostMessageA(program.main_window(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
    ASSERT_TRUE(autom::WaitUntil([&] { return IsIconic(program.main_window()) != FALSE; }, 3000));
    PostMessageA(program.main_window(), WM_SYSCOMMAND, SC_RESTORE, 0);
    ASSERT_TRUE(autom::WaitUntil([&] { return IsIconic(program.main_window()) == FALSE; }, 3000));
    EXPECT_TRUE(FocusComesTo(list_, "list")) << "after the window was restored";

    // F5 asks before it scans; Escape answers Cancel, and the focus is
    // back where it was.
    Press({"F5"});
    std::optional<Message> question = program.WaitForMessage();
    ASSERT_TRUE(question) << "F5 asked nothing";
    EXPECT_EQ(question->text, program.Text(IDS_RESCAN_QUESTION));
    Press({"Escape"});
    ASSERT_TRUE(user::NoMessageWithin(program, 300));
    EXPECT_TRUE(FocusComesTo(list_, "list")) << "after the question";

    // Alt+Enter on the adapter's own slot opens the sheet on its adapter page.
    Press({"Alt+V", "D"});  // details: one row per device, Down goes to the next ID
    ASSERT_TRUE(autom::WaitUntil([&] { return user::ListMode(program) == LVS_REPORT; }, 3000));
    Press({"Home", "Down", "Down", "Down", "Down", "Down", "Down", "Down"});
    ASSERT_TRUE(autom::WaitUntil([&] { return autom::ListSelectedIndex(list_) == 7; }, 3000));
    Press({"Alt+Enter"});
    HWND sheet = dw::WaitForPropertySheet(program);
    ASSERT_NE(sheet, nullptr) << "Alt+Enter opened nothing";
    EXPECT_EQ(dw::SelectedTab(sheet), 1) << "the adapter's own slot opens on the adapter page";
    Press({"Escape"});
    ASSERT_TRUE(dw::WaitUntilClosed(sheet));

    // Enter in the tree opens nothing.
    Press({"Shift+Tab"});
    ASSERT_TRUE(FocusComesTo(tree_, "tree"));
    Press({"Enter"});
    EXPECT_TRUE(user::NothingOpensWithin(program, 500)) << "Enter in the tree";
}

}  // namespace
}  // namespace td::e2e
