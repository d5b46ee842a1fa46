// The information windows as a user meets them: the properties sheet of a
// device (opened by a double click on its list item or from the Options
// menu, both pages read, the pages switched by their tabs), the About box
// on both platforms, and the splash picture during start-up.
//
// The built-in machine: adapter 0 "Harrowgate Brightlane BL-2940U PCI SCSI
// Host Adapter" (BL2940U, own ID 7) with a synchronous SCSI-2 disk at ID 0
// and a CD-ROM at ID 4; adapter 1 with a tape at ID 2 and a scanner at
// ID 5. The wide-bus option is on at every start: IDs 0 to 15 per adapter.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <set>
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

constexpr char kFirstAdapter[] = "Harrowgate Brightlane BL-2940U PCI SCSI Host Adapter";

// An INQUIRY vendor field is 8 bytes, blank-padded; the program keeps 7.
std::string Vendor(const std::string& name) { return (name + std::string(8 - name.size(), ' ')).substr(0, 7); }
// The product field is 16 bytes, blank-padded, shown as the device sent it.
std::string Product(const std::string& name) { return name + std::string(16 - name.size(), ' '); }

// The eight boxes of the device page, in the page's order.
constexpr int kBoxes[] = {IDC_SYNCHRONOUS, IDC_REMOVABLE, IDC_NARROW, IDC_WIDE16,
                          IDC_WIDE32,      IDC_SCSI1,     IDC_SCSI2,  IDC_SCSI3};

const char* BoxName(int box) {
    switch (box) {
        case IDC_SYNCHRONOUS:
            return "Synchronous Transfer";
        case IDC_REMOVABLE:
            return "Removeable Media";
        case IDC_NARROW:
            return "Narrow (8 Bit)";
        case IDC_WIDE16:
            return "Wide (16 Bit)";
        case IDC_WIDE32:
            return "Wide (32 Bit)";
        case IDC_SCSI1:
            return "SCSI 1";
        case IDC_SCSI2:
            return "SCSI 2";
        case IDC_SCSI3:
            return "SCSI 3";
    }
    return "?";
}

// What the device page shows.
struct DevicePage {
    std::string id, vendor, version, type, product;
    std::set<int> marked;  // the boxes marked (and so enabled); the others are neither
};

// What the host adapter page shows.
struct AdapterPage {
    std::string name, number, own_id, manager, description;
};

const AdapterPage kFirstAdapterPage{"BL2940U", "0", "7", "ASPI for WIN32", kFirstAdapter};

class InfoWindows : public ProgramTest {
protected:
    // Asking for context help starts the system's help viewer as well:
    // it goes with the program.
    void TearDown() override {
        for (const std::string& name : dw::EndProcessesStartedBy(program.process_id()))
            std::printf("Ended %s, started by the program\n", name.c_str());
        ProgramTest::TearDown();
    }

    void StartOnWindows95(const char* scenario = nullptr) {
        if (scenario != nullptr) program.UseScenario(scenario);
        ASSERT_TRUE(user::StartAndWaitForTheScan(program, 16));
    }

    void ExpectDevicePage(HWND page, const DevicePage& expected) {
        ASSERT_NE(page, nullptr);
        ASSERT_NE(GetDlgItem(page, IDC_SYNCHRONOUS), nullptr) << "not the device page";
        EXPECT_EQ(dw::TextOf(page, IDC_SCSI_ID), expected.id);
        EXPECT_EQ(dw::TextOf(page, IDC_MANUFACTURER), expected.vendor);
        EXPECT_EQ(dw::TextOf(page, IDC_VERSION), expected.version);
        EXPECT_EQ(dw::TextOf(page, IDC_DEVICE_TYPE), expected.type);
        EXPECT_EQ(dw::TextOf(page, IDC_PRODUCT), expected.product);
        for (int box : kBoxes) {
            const bool marked = expected.marked.count(box) != 0;
            EXPECT_EQ(dw::CheckOf(page, box), marked ? BST_CHECKED : BST_UNCHECKED)
                << "\"" << BoxName(box) << "\" should " << (marked ? "" : "not ") << "be marked";
            EXPECT_EQ(dw::IsEnabled(page, box), marked)
                << "\"" << BoxName(box) << "\" should " << (marked ? "" : "not ") << "be enabled";
        }
    }

    void ExpectAdapterPage(HWND page, const AdapterPage& expected) {
        ASSERT_NE(page, nullptr);
        ASSERT_NE(GetDlgItem(page, IDC_HA_NAME), nullptr) << "not the host adapter page";
        EXPECT_EQ(dw::TextOf(page, IDC_HA_NAME), expected.name);
        EXPECT_EQ(dw::TextOf(page, IDC_HA_NUMBER), expected.number);
        EXPECT_EQ(dw::TextOf(page, IDC_HA_SCSI_ID), expected.own_id);
        EXPECT_EQ(dw::TextOf(page, IDC_HA_MANAGER), expected.manager);
        EXPECT_EQ(dw::TextOf(page, IDC_HA_DESCRIPTION), expected.description);
    }

    // The sheet that has just opened, with its pages' tabs: the Details
    // page follows the two others for a device.
    HWND WaitForSheet(bool device = true) {
        HWND sheet = dw::WaitForPropertySheet(program);
        EXPECT_NE(sheet, nullptr) << "no properties sheet";
        if (sheet == nullptr) return nullptr;
        std::vector<std::string> titles{program.Text(IDS_PAGE_DEVICE), program.Text(IDS_PAGE_ADAPTER)};
        if (device) titles.push_back(program.Text(IDS_PAGE_DETAILS));
        EXPECT_EQ(dw::TabTitles(sheet), titles);
        EXPECT_FALSE(IsWindowEnabled(program.main_window())) << "the sheet is modal";
        return sheet;
    }

    // A click on the other page's tab.
    HWND SwitchPage(HWND sheet, int to) {
        dw::ClickTab(sheet, to);
        EXPECT_TRUE(autom::WaitUntil([&] { return dw::SelectedTab(sheet) == to; }, 3000))
            << "the click on tab " << to << " left the sheet on tab " << dw::SelectedTab(sheet);
        Sleep(200);
        return dw::ShownPage(sheet);
    }

    // The About box on one platform, closed with Escape; the main window
    // works on.
    void AboutBoxShowsTheProductAndTheSystem(Edition edition, Platform platform, const std::string& os_line);

    // Escape closes the sheet and gives the main window back.
    void CloseWithEscape(HWND sheet) {
        autom::PressKey(VK_ESCAPE);
        EXPECT_TRUE(dw::WaitUntilClosed(sheet)) << "Escape did not close the sheet";
        EXPECT_TRUE(autom::WaitUntil([&] { return IsWindowEnabled(program.main_window()) != FALSE; }, 3000))
            << "the main window stays disabled";
    }
};

// ---- The properties sheet -------------------------------------------------------------------

TEST_F(InfoWindows, ADoubleClickOnTheDiskShowsItsPropertiesAndThoseOfItsAdapter) {
    StartOnWindows95();
    ASSERT_TRUE(dw::ClickAdapter(program, kFirstAdapter));
    ASSERT_TRUE(dw::DoubleClickDevice(program, "0"));

    HWND sheet = WaitForSheet();
    ASSERT_NE(sheet, nullptr);
    EXPECT_EQ(dw::SelectedTab(sheet), 0);
    HWND page = dw::ShownPage(sheet);
    ExpectDevicePage(
        page,
        {"0", Vendor("KESTRAL"), "1.04", "Hard Disk", Product("KD-2100S"), {IDC_SYNCHRONOUS, IDC_NARROW, IDC_SCSI2}});

    // The boxes only show: a click changes none of them.
    dw::ClickControl(page, IDC_SYNCHRONOUS);
    dw::ClickControl(page, IDC_REMOVABLE);
    EXPECT_EQ(dw::CheckOf(page, IDC_SYNCHRONOUS), BST_CHECKED) << "a click cleared \"Synchronous Transfer\"";
    EXPECT_EQ(dw::CheckOf(page, IDC_REMOVABLE), BST_UNCHECKED) << "a click marked \"Removeable Media\"";

    ExpectAdapterPage(SwitchPage(sheet, 1), kFirstAdapterPage);
    CloseWithEscape(sheet);
}

// An empty ID: the slot's type reads "No Device", no product, and nothing is
// marked, not even the narrow bus.
TEST_F(InfoWindows, DevicePropertiesOnAnEmptyIdShowsNoDeviceWithNothingMarked) {
    StartOnWindows95();
    ASSERT_TRUE(dw::ClickDevice(program, "1"));
    ASSERT_TRUE(program.Choose(IDM_DEVICE_PROPERTIES));

    HWND sheet = WaitForSheet(false);
    ASSERT_NE(sheet, nullptr);
    EXPECT_EQ(dw::SelectedTab(sheet), 0);
    ExpectDevicePage(dw::ShownPage(sheet), {"1", "", "", program.Text(IDS_NO_DEVICE), "", {}});
    ExpectAdapterPage(SwitchPage(sheet, 1), kFirstAdapterPage);
    CloseWithEscape(sheet);
}

// The adapter's own ID opens the sheet on the adapter's page; the device
// page then has nothing to say.
TEST_F(InfoWindows, DevicePropertiesOnTheAdaptersOwnIdOpensOnTheAdapterPage) {
    StartOnWindows95();
    ASSERT_TRUE(dw::ClickDevice(program, "7"));
    ASSERT_TRUE(program.Choose(IDM_DEVICE_PROPERTIES));

    HWND sheet = WaitForSheet(false);
    ASSERT_NE(sheet, nullptr);
    EXPECT_EQ(dw::SelectedTab(sheet), 1) << "the sheet opened on the device page";
    ExpectAdapterPage(dw::ShownPage(sheet), kFirstAdapterPage);

    HWND page = SwitchPage(sheet, 0);
    ASSERT_NE(page, nullptr);
    for (int field : {IDC_SCSI_ID, IDC_MANUFACTURER, IDC_VERSION, IDC_DEVICE_TYPE, IDC_PRODUCT})
        EXPECT_EQ(dw::TextOf(page, field), "") << "field " << field << " of the device page";
    CloseWithEscape(sheet);
}

// Two adapters with a device at ID 3 each, and one at ID 11 of the first
// (see the scenario): with 16 IDs per adapter, ID 3 of the second adapter
// is its own CD-ROM, shown with its own adapter.
TEST_F(InfoWindows, OnTheSecondAdapterOfAWideBusIdThreeShowsThatAdaptersDevice) {
    StartOnWindows95("infowin_two_wide_adapters.txt");
    ASSERT_TRUE(dw::ClickAdapter(program, "Harrowgate Brightlane BL-3940UW Wide SCSI Host Adapter"));
    ASSERT_TRUE(dw::DoubleClickDevice(program, "3"));

    HWND sheet = WaitForSheet();
    ASSERT_NE(sheet, nullptr);
    ExpectDevicePage(dw::ShownPage(sheet), {"3",
                                            Vendor("ORIELLE"),
                                            "1.20",
                                            "CD-ROM",
                                            Product("CDR-4400W"),
                                            {IDC_SYNCHRONOUS, IDC_REMOVABLE, IDC_WIDE32, IDC_SCSI3}});
    ExpectAdapterPage(SwitchPage(sheet, 1), {"BL3940UW", "1", "6", "ASPI for WIN32",
                                             "Harrowgate Brightlane BL-3940UW Wide SCSI Host Adapter"});
    CloseWithEscape(sheet);
}

// Help on a control: a right click on a value, or F1 on the box that has
// the focus. Wine's help viewer shows no popups, so the program shows the
// control's text in a popup of its own, which the next click or key takes
// away; the sheet stays.
TEST_F(InfoWindows, ARightClickOrF1OnAControlShowsItsHelpInAPopupThatTheNextClickOrKeyTakesAway) {
    StartOnWindows95();
    ASSERT_TRUE(dw::DoubleClickDevice(program, "0"));
    HWND sheet = WaitForSheet();
    ASSERT_NE(sheet, nullptr);
    const std::vector<HWND> before = autom::TopLevelWindows(program.process_id());

    HWND page = SwitchPage(sheet, 1);
    ExpectAdapterPage(page, kFirstAdapterPage);
    dw::RightClickControl(page, IDC_HA_MANAGER);
    HWND popup = dw::WaitForAnotherWindow(program, before);
    ASSERT_NE(popup, nullptr) << "a right click on the manager's name showed no help";
    EXPECT_EQ(autom::TextOf(popup), program.Text(IDH_HA_MANAGER));
    std::printf("The help of a value: %s\n", dw::SavePicture(program, "help-popup-right-click").c_str());
    dw::ClickControl(page, IDC_HA_NAME);
    EXPECT_TRUE(dw::WaitUntilClosed(popup, 2000)) << "a click left the help popup open";
    EXPECT_TRUE(IsWindowVisible(sheet)) << "the sheet went with the popup";

    page = SwitchPage(sheet, 0);
    ASSERT_NE(page, nullptr);
    // The marked "Synchronous Transfer" box takes the focus from a click.
    dw::ClickControl(page, IDC_SYNCHRONOUS);
    autom::PressKey(VK_F1);
    popup = dw::WaitForAnotherWindow(program, before);
    ASSERT_NE(popup, nullptr) << "F1 on \"Synchronous Transfer\" showed no help";
    EXPECT_EQ(autom::TextOf(popup), program.Text(IDH_SYNCHRONOUS));
    std::printf("The help of a box: %s\n", dw::SavePicture(program, "help-popup-f1").c_str());
    // Escape, as a user sends help away.
    autom::PressKey(VK_ESCAPE);
    EXPECT_TRUE(dw::WaitUntilClosed(popup, 2000)) << "Escape left the help popup open";
    Sleep(300);
    ASSERT_TRUE(IsWindow(sheet) && IsWindowVisible(sheet)) << "Escape closed the sheet, not only the help popup";
    EXPECT_EQ(dw::CheckOf(page, IDC_SYNCHRONOUS), BST_CHECKED);
    CloseWithEscape(sheet);
}

// ---- The About box ------------------------------------------------------------------------------

// A value of the program's version information, as the system reads it
// for any program (the key names are the About box's template texts).
std::string VersionValue(const std::string& exe, const std::string& key) {
    HMODULE library = LoadLibraryA("version.dll");
    if (library == nullptr) return "<no version.dll>";
    using SizeOf = DWORD(WINAPI*)(LPCSTR, LPDWORD);
    using InfoOf = BOOL(WINAPI*)(LPCSTR, DWORD, DWORD, LPVOID);
    using Query = BOOL(WINAPI*)(LPCVOID, LPCSTR, LPVOID*, PUINT);
    auto size_of = reinterpret_cast<SizeOf>(
        reinterpret_cast<void*>(GetProcAddress(library, "GetFileVersionInfoSizeA")));
    auto info_of = reinterpret_cast<InfoOf>(reinterpret_cast<void*>(GetProcAddress(library, "GetFileVersionInfoA")));
    auto query = reinterpret_cast<Query>(reinterpret_cast<void*>(GetProcAddress(library, "VerQueryValueA")));
    std::string value = "<no value " + key + ">";
    DWORD ignored = 0;
    const DWORD size = size_of(exe.c_str(), &ignored);
    std::vector<char> block(size);
    void* found = nullptr;
    UINT length = 0;
    if (size != 0 && info_of(exe.c_str(), 0, size, block.data()) &&
        query(block.data(), ("\\StringFileInfo\\040904E4\\" + key).c_str(), &found, &length) && found != nullptr)
        value = static_cast<const char*>(found);
    FreeLibrary(library);
    return value;
}

void InfoWindows::AboutBoxShowsTheProductAndTheSystem(Edition edition, Platform platform, const std::string& os_line) {
    program.UseEdition(edition);
    program.OnPlatform(platform);
    ASSERT_TRUE(program.Start());
    ASSERT_NE(program.WaitForMainWindow(), nullptr);

    ASSERT_TRUE(program.Choose(IDM_HELP_ABOUT));
    HWND about = dw::WaitForDialog(program, "About Tessaline Utilities");
    ASSERT_NE(about, nullptr) << "no box titled \"About Tessaline Utilities\"";
    EXPECT_FALSE(IsWindowEnabled(program.main_window())) << "the About box is modal";

    const std::string exe = ProgramFolder() + program.exe_name();
    EXPECT_EQ(dw::TextOf(about, IDC_ABOUT_COMPANY), VersionValue(exe, "CompanyName"));
    EXPECT_EQ(dw::TextOf(about, IDC_ABOUT_DESCRIPTION), VersionValue(exe, "FileDescription"));
    EXPECT_EQ(dw::TextOf(about, IDC_ABOUT_VERSION), "1.02");
    EXPECT_EQ(dw::TextOf(about, IDC_ABOUT_COPYRIGHT), VersionValue(exe, "LegalCopyright"));
    EXPECT_EQ(dw::TextOf(about, IDC_ABOUT_TRADEMARKS), VersionValue(exe, "LegalTrademarks"));
    EXPECT_EQ(dw::TextOf(about, IDC_ABOUT_OS), os_line);
    EXPECT_EQ(dw::TextOf(about, IDC_ABOUT_RUNNING_ON), "Running On:");
    std::printf(
        "The About box: %s\n",
        dw::SavePicture(program, std::string("about-") + (platform == Platform::Windows95 ? "win95" : "nt")).c_str());

    // Escape closes it like OK; the main window is the user's again.
    autom::PressKey(VK_ESCAPE);
    EXPECT_TRUE(dw::WaitUntilClosed(about)) << "Escape did not close the About box";
    EXPECT_TRUE(autom::WaitUntil([&] { return IsWindowEnabled(program.main_window()) != FALSE; }, 3000))
        << "the main window stays disabled";
    EXPECT_TRUE(user::NoMessageWithin(program, 300)) << "after the About box";
    ASSERT_TRUE(program.Choose(IDM_FILE_EXIT));
    EXPECT_EQ(program.WaitForExit(), 0u);
}

// Wine answers GetVersion with 0xC0000004 for "win95": Windows 95, 4.0.
TEST_F(InfoWindows, OnWindows95TheAboutBoxNamesTheProductItsMakerAndWindows95) {
    AboutBoxShowsTheProductAndTheSystem(Edition::Shipped, Platform::Windows95, "Microsoft Windows 95  Version: 4.0");
}

// Wine answers GetVersion with 0x05650004 for "nt40": NT 4.0, build 1381.
TEST_F(InfoWindows, OnNtTheAboutBoxNamesTheProductItsMakerAndWindowsNt) {
    AboutBoxShowsTheProductAndTheSystem(Edition::NtSimulator, Platform::WindowsNt,
                                        "Microsoft Windows NT 4.0 Build: 1381");
}

// ---- The splash picture -------------------------------------------------------------------------

std::vector<std::uint8_t> BytesOf(const WindowPos& pos) {
    const std::int32_t numbers[7] = {pos.left,      pos.top,          pos.width,        pos.height,
                                     pos.view_mode, pos.screen_width, pos.screen_height};
    std::vector<std::uint8_t> bytes(sizeof numbers);
    std::memcpy(bytes.data(), numbers, sizeof numbers);
    return bytes;
}

// The 256 x 256 picture lies in the middle of the 1024 x 768 screen while
// start-up pauses, and what was there before is back once it is over. The
// main window is kept away from the middle so that it covers nothing there.
TEST_F(InfoWindows, TheSplashPictureShowsInTheMiddleOfTheScreenDuringStartUpAndLeavesNothingBehind) {
    machine::StoreWindowPos(BytesOf({0, 0, 360, 240, 0, 1024, 768}));
    const std::optional<autom::Picture> splash = dw::ProgramBitmap(ProgramFolder() + program.exe_name(), "Splash");
    ASSERT_TRUE(splash) << "the program has no \"Splash\" bitmap";
    ASSERT_EQ(splash->width, 256);
    ASSERT_EQ(splash->height, 256);
    const RECT middle{1024 / 2 - 128, 768 / 2 - 128, 1024 / 2 + 128, 768 / 2 + 128};
    const autom::Picture before = autom::CaptureScreenArea(middle);

    ASSERT_TRUE(program.Start());
    DWORD first_seen = 0, last_seen = 0;
    bool pictured = false;
    HWND main_window = nullptr;
    const DWORD started = GetTickCount();
    while (GetTickCount() - started < 20000 && program.running()) {
        const autom::Picture now = autom::CaptureScreenArea(middle);
        main_window = program.FindWindowOfClass(ProgramSession::kMainWindowClass, true);
        if (main_window != nullptr) break;
        if (dw::SamePixels(now, *splash)) {
            if (first_seen == 0) first_seen = GetTickCount();
            last_seen = GetTickCount();
            if (!pictured && last_seen - first_seen > 300) {
                std::printf("The splash: %s\n", dw::SaveScreenPicture("splash-during-start-up").c_str());
                pictured = true;
            }
        }
        Sleep(50);
    }
    ASSERT_NE(main_window, nullptr) << "no main window";
    ASSERT_EQ(program.WaitForMainWindow(), main_window);
    ASSERT_NE(first_seen, 0u) << "the splash picture never showed in the middle of the screen";
    EXPECT_GE(last_seen - first_seen, 1500u)
        << "the splash showed for " << last_seen - first_seen << " ms only; start-up pauses 2 s with it";

    RECT window{};
    GetWindowRect(main_window, &window);
    RECT overlap{};
    ASSERT_FALSE(IntersectRect(&overlap, &window, &middle)) << "the main window covers the middle of the screen";
    Sleep(500);
    EXPECT_TRUE(dw::SamePixels(autom::CaptureScreenArea(middle), before))
        << "the middle of the screen is not as it was";
    std::printf("After start-up: %s\n", dw::SaveScreenPicture("splash-after-start-up").c_str());
    ASSERT_TRUE(program.Choose(IDM_FILE_EXIT));
    EXPECT_EQ(program.WaitForExit(), 0u);
}

}  // namespace
}  // namespace td::e2e
