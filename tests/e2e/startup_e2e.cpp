// Starting Tessaline Diagnostics under Wine, as a user meets it: the checks
// that refuse to run, the window placement kept per user (and mended when
// the window could not be reached), the main window and its menus, and the
// way out through File > Exit.
#include <gtest/gtest.h>

#include <cstring>
#include <ostream>

#include "resources/resource_ids.h"
#include "support/machine.h"
#include "support/program_test.h"

namespace td::e2e {
namespace {

using autom::StandardIcon;

// The virtual desktop of the test prefix is 1024 x 768.
constexpr int kScreenWidth = 1024;
constexpr int kScreenHeight = 768;

// A fifth of the screen in from the top-left corner, three fifths of it in
// size, large icons.
constexpr WindowPos kDefaultPlacement{204, 153, 612, 459, 0, kScreenWidth, kScreenHeight};

std::vector<std::uint8_t> BytesOf(const WindowPos& pos) {
    const std::int32_t numbers[7] = {pos.left,      pos.top,          pos.width,        pos.height,
                                     pos.view_mode, pos.screen_width, pos.screen_height};
    std::vector<std::uint8_t> bytes(sizeof numbers);
    std::memcpy(bytes.data(), numbers, sizeof numbers);
    return bytes;
}

RECT OuterRect(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    return rect;
}

bool IsTheHiddenMainWindow(HWND window) {
    return window != nullptr && autom::ClassOf(window) == ProgramSession::kMainWindowClass && !IsWindowVisible(window);
}

// Which program runs on which Windows and SCSI machine.
struct Machine {
    const char* name;
    Edition edition;
    Platform platform;
    const char* scenario;  // nullptr: the built-in machine, or no virtual bus at all
};

void PrintTo(const Machine& machine, std::ostream* out) { *out << machine.name; }

std::string NameOf(const testing::TestParamInfo<Machine>& info) { return info.param.name; }

class Startup : public ProgramTest {
protected:
    void On(const Machine& machine) {
        program.UseEdition(machine.edition);
        program.OnPlatform(machine.platform);
        if (machine.scenario != nullptr)
            program.UseScenario(machine.scenario);
        else
            program.UseBuiltInMachine();
        program.Install();
    }

    // Starts the program and expects it to refuse to run with message `id`:
    // the box comes before any main window is shown, OK ends the program with
    // exit code 0.
    void ExpectRefusal(int id, bool owned_by_main_window) {
        ASSERT_TRUE(program.Start());
        std::optional<Message> message = program.WaitForMessage();
        ASSERT_TRUE(message) << "no message box; the program "
                             << (program.running() ? "is still running" : "has ended");
        EXPECT_EQ(message->text, program.Text(id));
        EXPECT_EQ(message->caption, program.Text(IDS_STATUS_CAPTION));
        EXPECT_EQ(message->icon, StandardIcon::Error) << Describe(*message);
        EXPECT_EQ(message->buttons.size(), 1u) << Describe(*message);
        if (owned_by_main_window)
            EXPECT_TRUE(IsTheHiddenMainWindow(message->owner)) << "the box should belong to the hidden main window";
        else
            EXPECT_EQ(message->owner, nullptr) << "the box should have no owner";
        EXPECT_EQ(program.FindWindowOfClass(ProgramSession::kMainWindowClass, true), nullptr)
            << "the main window was shown";

        ASSERT_TRUE(program.Answer(*message, IDOK));
        EXPECT_EQ(program.WaitForExit(), 0u);
    }

    // Starts the program and waits for its main window; a message box on
    // the way fails the test.
    void StartToMainWindow() {
        ASSERT_TRUE(program.Start());
        ASSERT_NE(program.WaitForMainWindow(), nullptr)
            << "no main window; the program " << (program.running() ? "is still running" : "has ended");
    }

    void ExitThroughTheMenu() {
        ASSERT_TRUE(program.Choose(IDM_FILE_EXIT));
        EXPECT_EQ(program.WaitForExit(), 0u);
    }
};

// ---- Refusals ------------------------------------------------------------------

TEST_F(Startup, WithoutTheInstallationEntryItSaysSoAndExitsLeavingNoEntryBehind) {
    program.Uninstall();

    ExpectRefusal(IDS_NOT_INSTALLED, true);

    EXPECT_FALSE(machine::IsInstalled()) << "the program left an installation key behind";
}

TEST_F(Startup, WithTheEntryButNoHelpPathItSaysSoAndExits) {
    program.InstallWithoutHelpPath();

    ExpectRefusal(IDS_HELPPATH_UNREADABLE, true);

    EXPECT_TRUE(machine::IsInstalled()) << "the program removed an installation it did not create";
}

// Wine's "win31" makes GetVersion report Win32s (top bit set, major
// version 3).
TEST_F(Startup, OnWin32sItRefusesToRun) {
    program.OnPlatform(Platform::Win32s);

    ExpectRefusal(IDS_WIN32S_REFUSED, false);
}

// ---- The window placement kept per user ---------------------------------------------

TEST_F(Startup, AFirstRunForAUserStoresTheDefaultPlacementAndOpensThere) {
    program.ForgetUserSettings();

    StartToMainWindow();

    const std::optional<StoredValue> stored = machine::StoredWindowPosValue();
    ASSERT_TRUE(stored) << "no WindowPos value";
    EXPECT_EQ(stored->type, static_cast<DWORD>(REG_BINARY));
    EXPECT_EQ(stored->bytes.size(), 28u);
    const std::optional<WindowPos> pos = machine::StoredWindowPos();
    ASSERT_TRUE(pos);
    EXPECT_EQ(*pos, kDefaultPlacement) << Describe(*pos);
    const RECT rect = OuterRect(program.main_window());
    EXPECT_EQ(rect.left, 204);
    EXPECT_EQ(rect.top, 153);
    EXPECT_EQ(rect.right - rect.left, 612);
    EXPECT_EQ(rect.bottom - rect.top, 459);
}

// 640 x 480 to 1024 x 768: x and y are both multiplied by 16 (10240 / 640
// and 7680 / 480) and divided by 10; the view mode stays.
TEST_F(Startup, APlacementStoredOnASmallerScreenIsScaledToThisOne) {
    machine::StoreWindowPos(BytesOf({100, 50, 300, 200, 1, 640, 480}));

    StartToMainWindow();

    const std::optional<WindowPos> pos = machine::StoredWindowPos();
    ASSERT_TRUE(pos);
    EXPECT_EQ(*pos, (WindowPos{160, 80, 480, 320, 1, kScreenWidth, kScreenHeight})) << Describe(*pos);
    const RECT rect = OuterRect(program.main_window());
    EXPECT_EQ(rect.left, 160);
    EXPECT_EQ(rect.top, 80);
    EXPECT_EQ(rect.right - rect.left, 480);
    EXPECT_EQ(rect.bottom - rect.top, 320);
}

TEST_F(Startup, ADamagedPlacementIsReplacedByTheDefault) {
    // Too short to be a placement, and naming a screen of no size: nothing to
    // scale from.
    std::vector<std::uint8_t> short_value = BytesOf({100, 50, 300, 200, 1, 640, 480});
    short_value.resize(20);
    machine::StoreWindowPos(short_value);
    StartToMainWindow();
    std::optional<WindowPos> pos = machine::StoredWindowPos();
    ASSERT_TRUE(pos) << "WindowPos was not rewritten as 28 bytes";
    EXPECT_EQ(*pos, kDefaultPlacement) << "after a 20-byte value: " << Describe(*pos);
    ExitThroughTheMenu();

    machine::StoreWindowPos(BytesOf({100, 50, 300, 200, 1, 0, 0}));
    StartToMainWindow();
    pos = machine::StoredWindowPos();
    ASSERT_TRUE(pos);
    EXPECT_EQ(*pos, kDefaultPlacement) << "after a 0 x 0 screen: " << Describe(*pos);
}

// ---- The main window ------------------------------------------------------------------

class NormalStartup : public Startup, public testing::WithParamInterface<Machine> {};

TEST_P(NormalStartup, OpensWithItsCaptionAndMenusAndExitEndsItWithCodeZero) {
    On(GetParam());
    StartToMainWindow();

    EXPECT_EQ(program.Title(), "Tessaline Diagnostics");
    const std::optional<autom::Menu> menu = program.MenuBar();
    ASSERT_TRUE(menu) << program.probe()->last_error();
    EXPECT_EQ(menu->Titles(), (std::vector<std::string>{"&File", "&Options", "&View", "&Help"}));
    const autom::MenuItem* wide_bus = menu->Command(IDM_WIDE_BUS);
    ASSERT_NE(wide_bus, nullptr) << "no wide-bus item in the menu";
    EXPECT_EQ(wide_bus->text, "Scan SCSI Wide Bus:  SCSI ID 0 To 15");
    EXPECT_TRUE(wide_bus->checked) << "the wide-bus option starts checked";
    const autom::MenuItem* exit = menu->Command(IDM_FILE_EXIT);
    ASSERT_NE(exit, nullptr);
    EXPECT_EQ(exit->text, "E&xit");

    ExitThroughTheMenu();
}

INSTANTIATE_TEST_SUITE_P(BuiltInMachine, NormalStartup,
                         testing::Values(Machine{"Windows95", Edition::Shipped, Platform::Windows95, nullptr},
                                         Machine{"WindowsNt", Edition::NtSimulator, Platform::WindowsNt, nullptr}),
                         NameOf);

TEST_F(Startup, ExitStoresWhereTheUserLeftTheWindow) {
    StartToMainWindow();
    // The user drags the window elsewhere and resizes it.
    SetWindowPos(program.main_window(), nullptr, 100, 80, 700, 500, SWP_NOZORDER | SWP_NOACTIVATE);
    ASSERT_TRUE(autom::WaitUntil([&] { return OuterRect(program.main_window()).left == 100; }, 3000));
    const RECT rect = OuterRect(program.main_window());

    ExitThroughTheMenu();

    const std::optional<WindowPos> pos = machine::StoredWindowPos();
    ASSERT_TRUE(pos);
    EXPECT_EQ(*pos, (WindowPos{rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, 0, kScreenWidth,
                               kScreenHeight}))
        << Describe(*pos);
    EXPECT_EQ(pos->width, 700);
    EXPECT_EQ(pos->height, 500);
}

// Closed while minimized (Close on the taskbar button) or maximized, the
// window comes back restored, where the user last had it restored.
TEST_F(Startup, ClosedMinimizedOrMaximizedTheWindowComesBackRestoredWhereItWas) {
    const WindowPos restored{100, 80, 700, 500, 3, kScreenWidth, kScreenHeight};
    machine::StoreWindowPos(BytesOf(restored));
    for (const WPARAM command : {SC_MINIMIZE, SC_MAXIMIZE}) {
        SCOPED_TRACE(command == SC_MINIMIZE ? "minimized" : "maximized");
        StartToMainWindow();
        HWND window = program.main_window();
        PostMessageA(window, WM_SYSCOMMAND, command, 0);
        ASSERT_TRUE(
            autom::WaitUntil([&] { return command == SC_MINIMIZE ? IsIconic(window) : IsZoomed(window); }, 3000));
        PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
        EXPECT_EQ(program.WaitForExit(), 0u);
        const std::optional<WindowPos> pos = machine::StoredWindowPos();
        ASSERT_TRUE(pos);
        EXPECT_EQ(*pos, restored) << Describe(*pos);

        StartToMainWindow();
        window = program.main_window();
        EXPECT_FALSE(IsIconic(window) || IsZoomed(window));
        const RECT rect = OuterRect(window);
        EXPECT_EQ(rect.left, 100);
        EXPECT_EQ(rect.top, 80);
        EXPECT_EQ(rect.right - rect.left, 700);
        EXPECT_EQ(rect.bottom - rect.top, 500);
        ExitThroughTheMenu();
    }
}

// Placements the user could not reach the window from, as earlier versions
// stored them: mended at the start, and stored mended.
TEST_F(Startup, AStoredPlacementTheUserCouldNotReachIsMendedAtStart) {
    // Closed minimized under Wine: the strip at the bottom of the screen,
    // too small to use. The default rectangle; the view stays.
    machine::StoreWindowPos(BytesOf({0, 744, 160, 27, 1, kScreenWidth, kScreenHeight}));
    StartToMainWindow();
    std::optional<WindowPos> pos = machine::StoredWindowPos();
    ASSERT_TRUE(pos);
    EXPECT_EQ(*pos, (WindowPos{204, 153, 612, 459, 1, kScreenWidth, kScreenHeight})) << Describe(*pos);
    RECT rect = OuterRect(program.main_window());
    EXPECT_EQ(rect.left, 204);
    EXPECT_EQ(rect.bottom - rect.top, 459);
    ExitThroughTheMenu();

    // Off the screen, where Windows keeps its minimized windows: moved onto it.
    machine::StoreWindowPos(BytesOf({-32000, -32000, 600, 400, 1, kScreenWidth, kScreenHeight}));
    StartToMainWindow();
    pos = machine::StoredWindowPos();
    ASSERT_TRUE(pos);
    EXPECT_EQ(*pos, (WindowPos{0, 0, 600, 400, 1, kScreenWidth, kScreenHeight})) << Describe(*pos);
    rect = OuterRect(program.main_window());
    EXPECT_EQ(rect.left, 0);
    EXPECT_EQ(rect.top, 0);
    EXPECT_EQ(rect.right - rect.left, 600);
}

TEST_F(Startup, TheWideBusOptionIsCheckedAgainAtEveryStart) {
    StartToMainWindow();
    ASSERT_TRUE(program.Choose(IDM_WIDE_BUS));
    const bool unchecked = autom::WaitUntil(
        [&] {
            std::optional<autom::Menu> menu = program.MenuBar();
            return menu && menu->Command(IDM_WIDE_BUS) && !menu->Command(IDM_WIDE_BUS)->checked;
        },
        5000);
    ASSERT_TRUE(unchecked) << "choosing the wide-bus option did not clear its check mark";
    ExitThroughTheMenu();

    StartToMainWindow();
    const std::optional<autom::Menu> menu = program.MenuBar();
    ASSERT_TRUE(menu);
    ASSERT_NE(menu->Command(IDM_WIDE_BUS), nullptr);
    EXPECT_TRUE(menu->Command(IDM_WIDE_BUS)->checked) << "the option was remembered from the last run";
}

// ---- No host adapter ------------------------------------------------------------------

class StartupWithoutHostAdapter : public Startup, public testing::WithParamInterface<Machine> {};

// Start-up goes on after the warning, which comes before the main window and
// belongs to it.
TEST_P(StartupWithoutHostAdapter, WarnsThatNoAdapterWasFoundAndOpensEmpty) {
    On(GetParam());

    ASSERT_TRUE(program.Start());
    std::optional<Message> message = program.WaitForMessage();
    ASSERT_TRUE(message) << "no message box; the program " << (program.running() ? "is still running" : "has ended");
    EXPECT_EQ(message->text, program.Text(IDS_NO_ADAPTER));
    EXPECT_EQ(message->caption, program.Text(IDS_STATUS_CAPTION));
    EXPECT_EQ(message->icon, StandardIcon::Error) << Describe(*message);
    EXPECT_TRUE(IsTheHiddenMainWindow(message->owner)) << "the box should belong to the hidden main window";
    ASSERT_TRUE(program.Answer(*message, IDOK));

    ASSERT_NE(program.WaitForMainWindow(), nullptr);
    const std::vector<autom::TreeItem> tree = program.AdapterTree();
    for (const autom::TreeItem& item : tree) EXPECT_EQ(item.depth, 0) << "an adapter in the tree: " << item.text;
    EXPECT_TRUE(program.DeviceList().empty());
    ExitThroughTheMenu();
}

INSTANTIATE_TEST_SUITE_P(Machines, StartupWithoutHostAdapter,
                         testing::Values(Machine{"Windows95", Edition::Shipped, Platform::Windows95, "no-adapters.txt"},
                                         // Wine has no SCSI port devices at all.
                                         Machine{"WindowsNtOnWine", Edition::Shipped, Platform::WindowsNt, nullptr},
                                         Machine{"WindowsNtVirtualBus", Edition::NtSimulator, Platform::WindowsNt,
                                                 "no-adapters.txt"}),
                         NameOf);

// The ASPI library is there but could not initialise: the user is told, and
// start-up goes on without adapters.
TEST_F(Startup, OnWindows95WithAspiNotAvailableItSaysSoThenFindsNoAdapterAndOpensEmpty) {
    program.UseScenario("aspi-failed-init.txt");
    ASSERT_TRUE(program.Start());

    std::optional<Message> first = program.WaitForMessage();
    ASSERT_TRUE(first) << "no message box";
    EXPECT_EQ(first->text, program.Text(IDS_ASPI_NOT_AVAILABLE));
    EXPECT_EQ(first->caption, program.Text(IDS_STATUS_CAPTION));
    ASSERT_TRUE(program.Answer(*first, IDOK));

    std::optional<Message> second = program.WaitForMessage();
    ASSERT_TRUE(second) << "no second message box; the program "
                        << (program.running() ? "is still running" : "has ended");
    EXPECT_EQ(second->text, program.Text(IDS_NO_ADAPTER));
    ASSERT_TRUE(program.Answer(*second, IDOK));

    ASSERT_NE(program.WaitForMainWindow(), nullptr);
    for (const autom::TreeItem& item : program.AdapterTree())
        EXPECT_EQ(item.depth, 0) << "an adapter in the tree: " << item.text;
    EXPECT_TRUE(program.DeviceList().empty());
    ExitThroughTheMenu();
}

}  // namespace
}  // namespace td::e2e
