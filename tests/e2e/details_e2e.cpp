// The Details page as a user meets it: the third tab of a device's
// properties sheet, on the Windows 95 path (ASPI) and the NT path (the port
// driver), showing each device's capacity, serial number and identifier,
// or why not; a device that never answers leaves a sheet that stays
// responsive; and no command of the page's reaches a device during the
// scan, the diagnostics or a save (the virtual bus's log shows it).
//
// The built-in machine: adapter 0 with a 4 GiB disk at ID 0 and a CD-ROM
// without a disc at ID 4; adapter 1 with a tape at ID 2 and a scanner
// without vital product data at ID 5.
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "resources/resource_ids.h"
#include "soak_steps.h"
#include "support/device_windows.h"
#include "support/program_test.h"
#include "support/user_steps.h"

namespace td::e2e {
namespace {

namespace dw = device_windows;

constexpr char kFirstAdapter[] = "Harrowgate Brightlane BL-2940U PCI SCSI Host Adapter";
constexpr char kSecondAdapter[] = "Harrowgate Brightlane BL-1540 SCSI Host Adapter";

struct DeviceDetails {
    const char* adapter;
    const char* id;
    std::vector<std::string> fields;
};

class Details : public ProgramTest {
protected:
    void StartOn(Platform platform, const char* scenario = nullptr) {
        if (scenario != nullptr) program.UseScenario(scenario);
        if (platform == Platform::WindowsNt) {
            program.UseEdition(Edition::NtSimulator);
            program.OnPlatform(Platform::WindowsNt);
        }
        ASSERT_TRUE(user::StartAndWaitForTheScan(program, 16));
    }

    HWND OpenDetails(const char* adapter, const char* id) { return dw::OpenDetails(program, adapter, id); }
    std::vector<std::string> Fields(HWND sheet, DWORD timeout_ms = 10000) {
        return dw::DetailsFields(program, sheet, timeout_ms);
    }

    void CloseWithEscape(HWND sheet) {
        autom::PressKey(VK_ESCAPE);
        EXPECT_TRUE(dw::WaitUntilClosed(sheet)) << "Escape did not close the sheet";
        EXPECT_TRUE(autom::WaitUntil([&] { return IsWindowEnabled(program.main_window()) != FALSE; }, 3000));
    }

    void EveryDeviceShowsWhatItTells(Platform platform) {
        StartOn(platform);
        const std::string not_reported = program.Text(IDS_DETAILS_NOT_REPORTED);
        const std::string no_capacity = program.Text(IDS_DETAILS_INAPPLICABLE);
        const DeviceDetails devices[] = {
            {kFirstAdapter,
             "0",
             {"4.00 GB (4,294,967,296 bytes)\r\n8,388,608 blocks of 512 bytes", "KD21S0042917",
              "naa.5000C5A012B3C4D5"}},
            {kFirstAdapter, "4", {"No medium", "OR3220-0177", "ORIELLE CDR-3220        OR3220-0177"}},
            {kSecondAdapter, "2", {no_capacity, "TD4K00815", "eui.0050C2A000012345"}},
            {kSecondAdapter, "5", {no_capacity, not_reported, not_reported}},
        };
        for (const DeviceDetails& device : devices) {
            SCOPED_TRACE(std::string(device.adapter) + ", ID " + device.id);
            HWND sheet = OpenDetails(device.adapter, device.id);
            ASSERT_NE(sheet, nullptr);
            EXPECT_EQ(Fields(sheet), device.fields);
            if (&device == &devices[0]) {
                // The fields take the keyboard's focus in turn, and Escape
                // in one still closes the sheet.
                HWND page = dw::ShownPage(sheet);
                dw::ClickControl(page, IDC_DETAILS_SERIAL);
                autom::PressKey(VK_TAB);
                const auto focused = [&] {
                    GUITHREADINFO focus{};
                    focus.cbSize = sizeof focus;
                    GetGUIThreadInfo(GetWindowThreadProcessId(sheet, nullptr), &focus);
                    return focus.hwndFocus;
                };
                EXPECT_TRUE(
                    autom::WaitUntil([&] { return focused() == GetDlgItem(page, IDC_DETAILS_IDENTIFIER); }, 2000))
                    << "Tab did not lead on";
            }
            CloseWithEscape(sheet);
        }
        // An empty ID and the adapter's own have no Details page.
        for (const char* id : {"1", "7"}) {
            ASSERT_TRUE(dw::DoubleClickDevice(program, id));
            HWND sheet = dw::WaitForPropertySheet(program);
            ASSERT_NE(sheet, nullptr);
            EXPECT_EQ(dw::TabTitles(sheet).size(), 2u) << "ID " << id;
            CloseWithEscape(sheet);
        }
        ASSERT_TRUE(program.Choose(IDM_FILE_EXIT));
        EXPECT_EQ(program.WaitForExit(), 0u);
    }

    // While the device keeps its answer, the sheet answers messages, turns
    // to another page and back; the field then says the device did not
    // answer. A sheet closed while the question is out leaves a program
    // that works on and ends cleanly.
    void ANeverAnsweringDeviceLeavesAResponsiveSheet(Platform platform, const std::string& said) {
        StartOn(platform, "details_never_answers.txt");
        HWND sheet = OpenDetails(kFirstAdapter, "0");
        ASSERT_NE(sheet, nullptr);
        ASSERT_TRUE(autom::WaitUntil(
            [&] {
                return autom::TextOf(GetDlgItem(dw::ShownPage(sheet), IDC_DETAILS_CAPACITY)) ==
                       program.Text(IDS_DETAILS_ASKING);
            },
            3000));
        DWORD_PTR ignored = 0;
        EXPECT_NE(SendMessageTimeoutA(sheet, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 1000, &ignored), 0)
            << "the sheet does not answer while the device is asked";
        RECT before{}, after{};
        GetWindowRect(sheet, &before);
        SetWindowPos(sheet, nullptr, before.left + 40, before.top + 30, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        GetWindowRect(sheet, &after);
        EXPECT_EQ(after.left, before.left + 40) << "the sheet could not be moved";
        dw::ClickTab(sheet, 0);
        EXPECT_TRUE(autom::WaitUntil([&] { return dw::SelectedTab(sheet) == 0; }, 3000)) << "no other page";
        dw::ClickTab(sheet, 2);
        ASSERT_TRUE(autom::WaitUntil([&] { return dw::SelectedTab(sheet) == 2; }, 3000));
        EXPECT_EQ(Fields(sheet, 20000), std::vector<std::string>(3, said));
        std::printf("A device that never answers: %s\n", dw::SavePicture(program, "details-never-answers").c_str());
        CloseWithEscape(sheet);

        sheet = OpenDetails(kFirstAdapter, "0");
        ASSERT_NE(sheet, nullptr);
        Sleep(500);
        CloseWithEscape(sheet);
        EXPECT_TRUE(user::NoMessageWithin(program, 500));
        ASSERT_TRUE(program.Choose(IDM_FILE_EXIT));
        EXPECT_EQ(program.WaitForExit(), 0u);
    }
};

TEST_F(Details, OnWindows95EveryDeviceShowsItsCapacitySerialNumberAndIdentifierOrWhyNot) {
    EveryDeviceShowsWhatItTells(Platform::Windows95);
}

TEST_F(Details, OnNtEveryDeviceShowsItsCapacitySerialNumberAndIdentifierOrWhyNot) {
    EveryDeviceShowsWhatItTells(Platform::WindowsNt);
}

TEST_F(Details, OnWindows95ADeviceThatNeverAnswersLeavesAResponsiveSheetThatSaysSo) {
    ANeverAnsweringDeviceLeavesAResponsiveSheet(
        Platform::Windows95, "The device did not finish the command within 10 seconds; the request was aborted.");
}

TEST_F(Details, OnNtADeviceThatNeverAnswersLeavesAResponsiveSheetThatSaysSo) {
    ANeverAnsweringDeviceLeavesAResponsiveSheet(Platform::WindowsNt, "The device did not answer within 10 seconds.");
}

// The commands the bus saw, one per line: "<ASPI|NT> adapter bus target
// lun: CDB bytes".
std::vector<std::string> BusLog(const std::string& path) {
    std::ifstream in(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

bool IsPageQuestion(const std::string& line) {
    const std::string cdb = line.substr(line.find(':') + 1);
    return cdb.rfind(" 25", 0) == 0 || cdb.rfind(" 9E", 0) == 0 || cdb.rfind(" 12 01", 0) == 0;
}

// Only the scan's INQUIRY and the diagnostics' three commands reach the
// devices until the Details page is shown; then its questions do.
TEST_F(Details, TheScanTheDiagnosticsAndASaveSendNoCommandOfThePages) {
    char temp[MAX_PATH] = "";
    GetTempPathA(sizeof temp, temp);
    for (const Platform platform : {Platform::Windows95, Platform::WindowsNt}) {
        const bool nt = platform == Platform::WindowsNt;
        SCOPED_TRACE(nt ? "NT" : "Windows 95");
        const std::string log = std::string(temp) + "td-details-bus.log";
        const std::string listing = std::string(temp) + "td-details-listing.txt";
        DeleteFileA(log.c_str());
        DeleteFileA(listing.c_str());
        program.LogBusTo(log);
        StartOn(platform, "soak_disk_answers_at_once.txt");
        ASSERT_TRUE(dw::ClickDevice(program, "0"));
        DWORD took = 0;
        ASSERT_TRUE(soak::RunTheDiagnostics(program, took));
        ASSERT_TRUE(soak::SaveListingAs(program, listing));
        std::vector<std::string> lines = BusLog(log);
        ASSERT_FALSE(lines.empty()) << "the bus log " << log << " is empty";
        for (const std::string& line : lines) {
            const std::string cdb = line.substr(line.find(':') + 1);
            const bool scan = cdb.rfind(" 12 00", 0) == 0 && !nt;
            const bool diagnostics = cdb.rfind(" 00", 0) == 0 || cdb.rfind(" 3B", 0) == 0 || cdb.rfind(" 3C", 0) == 0;
            EXPECT_TRUE(scan || diagnostics) << line;
        }
        HWND sheet = OpenDetails(kFirstAdapter, "0");
        ASSERT_NE(sheet, nullptr);
        Fields(sheet);
        CloseWithEscape(sheet);
        lines = BusLog(log);
        int questions = 0;
        for (const std::string& line : lines) questions += IsPageQuestion(line) ? 1 : 0;
        EXPECT_GE(questions, 2) << "READ CAPACITY and the page list at least";
        ASSERT_TRUE(program.Choose(IDM_FILE_EXIT));
        EXPECT_EQ(program.WaitForExit(), 0u);
        program.LogBusTo("");
        DeleteFileA(log.c_str());
        DeleteFileA(listing.c_str());
    }
}

}  // namespace
}  // namespace td::e2e
