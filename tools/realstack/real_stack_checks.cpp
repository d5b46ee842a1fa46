// The shipped program on a real SCSI stack, as a user sees it: Debian's
// own kernel under QEMU with scsi_debug disks on two hosts and QEMU's
// CD-ROM without a disc on a third, reached on the NT path through Wine's
// pass-through (each dosdevices link scsi<n>: is one Linux device, so one
// port of the program). scripts/real-stack-guest.sh prepares that machine
// and writes, into the file TD_REAL_STACK names, each port's device as the
// kernel itself reports it (sysfs): these tests hold the program's windows
// against that.
//
// They run only in that guest (make real-stack); anywhere else they are
// skipped, and ctest never lists them.
#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "resources/resource_ids.h"
#include "support/device_windows.h"
#include "support/file_dialogs.h"
#include "support/program_test.h"
#include "support/user_steps.h"

namespace td::e2e {
namespace {

namespace dw = device_windows;
using Rows = std::vector<std::vector<std::string>>;

constexpr char kDialogTitle[] = "Device Diagnostic Tests";

// One Linux SCSI device as the kernel reports it, and the port it is
// linked as. A line of the file: port|host|channel|target|lun|type|vendor|
// model|revision|block device|capacity in bytes|serial number|identifier.
struct KernelDevice {
    int port = -1;  // dosdevices link scsi<port>:
    int host = 0, channel = 0, target = 0, lun = 0;
    int type = 0;          // peripheral device type the kernel read
    std::string vendor;    // INQUIRY bytes 8-15, as sysfs shows them
    std::string model;     // bytes 16-31
    std::string revision;  // bytes 32-35
    std::string block;     // sda, sr0 ...
    std::string capacity;  // bytes, as the kernel counts them (empty without a medium)
    std::string serial;    // the unit serial number page, if the device has one
    std::string wwid;      // the kernel's pick of the identification page: naa.*, eui.*, t10.*

    std::string Name() const {
        return "scsi" + std::to_string(port) + ": (Linux " + std::to_string(host) + ":" + std::to_string(channel) +
               ":" + std::to_string(target) + ":" + std::to_string(lun) + ", /dev/" + block + ")";
    }
};

std::vector<std::string> Split(const std::string& line, char separator) {
    std::vector<std::string> fields;
    std::stringstream stream(line);
    std::string field;
    while (std::getline(stream, field, separator)) fields.push_back(field);
    if (!line.empty() && line.back() == separator) fields.emplace_back();
    return fields;
}

std::vector<KernelDevice> ReadKernelDevices(const std::string& path) {
    std::vector<KernelDevice> devices;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const std::vector<std::string> f = Split(line, '|');
        if (f.size() != 13) continue;
        KernelDevice device;
        device.port = std::atoi(f[0].c_str());
        device.host = std::atoi(f[1].c_str());
        device.channel = std::atoi(f[2].c_str());
        device.target = std::atoi(f[3].c_str());
        device.lun = std::atoi(f[4].c_str());
        device.type = std::atoi(f[5].c_str());
        device.vendor = f[6];
        device.model = f[7];
        device.revision = f[8];
        device.block = f[9];
        device.capacity = f[10];
        device.serial = f[11];
        device.wwid = f[12];
        devices.push_back(device);
    }
    return devices;
}

std::string Trimmed(const std::string& text) {
    const std::size_t first = text.find_first_not_of(' ');
    return first == std::string::npos ? std::string() : text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// A count as the English number format writes it: 8388608 -> 8,388,608.
std::string Grouped(const std::string& digits) {
    std::string out;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) out += ',';
        out += digits[i];
    }
    return out;
}

std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// The folder of the file: listings and pictures go there.
std::string FolderOf(const std::string& path) { return path.substr(0, path.find_last_of('\\') + 1); }

// What the list shows of a device: the program keeps 7 of the vendor's 8
// bytes, and the product and revision as the device sent them.
std::vector<std::string> ListRowOf(const KernelDevice& device, const std::string& type_name) {
    return {std::to_string(device.target), type_name, device.vendor.substr(0, 7), device.model,
            device.revision.substr(0, 4)};
}

class RealStack : public ProgramTest {
protected:
    void SetUp() override {
        const char* file = std::getenv("TD_REAL_STACK");
        if (file == nullptr || *file == '\0') GTEST_SKIP() << "runs only in the real-stack guest (make real-stack)";
        ProgramTest::SetUp();
        folder_ = FolderOf(file);
        devices_ = ReadKernelDevices(file);
        ASSERT_FALSE(devices_.empty()) << "no devices in " << file;
        program.UseEdition(Edition::Shipped);
        program.OnPlatform(Platform::WindowsNt);
        program.Install();
    }

    // The type name the program gives the kernel's device type.
    std::string TypeNameOf(const KernelDevice& device) {
        switch (device.type) {
            case 0:
                return program.Text(IDS_TYPE_HARD_DISK);
            case 5:
                return program.Text(IDS_TYPE_CD_ROM);
            default:
                ADD_FAILURE() << device.Name() << " has type " << device.type << ", which these checks do not know";
                return "?";
        }
    }

    // The port's 16 IDs as the list shows them: its one device at its
    // Linux target, Wine's initiator at the Linux channel + 2, every other
    // ID empty.
    Rows RowsOf(const KernelDevice& device) {
        Rows rows;
        for (int id = 0; id < 16; ++id) {
            if (id == device.target) {
                rows.push_back(ListRowOf(device, TypeNameOf(device)));
            } else if (id == device.channel + 2) {
                const std::vector<std::string> shown = RowAt(id);
                rows.push_back({std::to_string(id), "Host Adapter", shown.size() > 2 ? shown[2] : "",
                                shown.size() > 3 ? shown[3] : "", shown.size() > 4 ? shown[4] : ""});
            } else {
                rows.push_back({std::to_string(id), "No Device", " ", "No Device", " "});
            }
        }
        return rows;
    }

    std::vector<std::string> RowAt(int id) {
        for (const auto& row : program.DeviceList())
            if (!row.empty() && row[0] == std::to_string(id)) return row;
        return {};
    }

    static void Print(const std::string& what, const Rows& rows) {
        std::printf("%s\n", what.c_str());
        for (const auto& row : rows) {
            std::printf("   ");
            for (const std::string& field : row) std::printf(" [%s]", field.c_str());
            std::printf("\n");
        }
        std::fflush(stdout);
    }

    std::string Picture(const std::string& name) {
        const std::string path = folder_ + name + ".bmp";
        const bool saved = program.SaveScreenshot(path);
        std::printf("Screenshot: %s%s\n", path.c_str(), saved ? "" : " (could not be saved)");
        std::fflush(stdout);
        return path;
    }

    // ---- One device's views -------------------------------------------------------
    // Each check of what the program shows of one kernel device; the
    // checks run in this order for every device. Another view of a device
    // (its properties pages) is one more function here and one more line in
    // CheckEachDevice.

    void ExpectListRows(const KernelDevice& device) {
        ASSERT_TRUE(user::ClickAdapterItem(program, device.port));
        const Rows expected = RowsOf(device);
        const bool shown = autom::WaitUntil([&] { return program.DeviceList() == expected; }, 5000);
        Print("Port " + std::to_string(device.port) + ", " + device.Name() + ", as the list shows it:",
              program.DeviceList());
        EXPECT_TRUE(shown) << device.Name() << ": the list shows " << testing::PrintToString(program.DeviceList())
                           << ", not " << testing::PrintToString(expected);
        EXPECT_EQ(program.StatusBar().size() > 1 ? program.StatusBar()[1] : "", "Number of devices connected:  1");
        Picture("real-stack-port" + std::to_string(device.port));
    }

    // Runs the three tests on the device and checks the verdict and its
    // words: a disk of scsi_debug passes TEST UNIT READY and WRITE BUFFER
    // and has no READ BUFFER (ILLEGAL REQUEST, ASC 20h), or passes all
    // three; a CD-ROM without a disc fails TEST UNIT READY with NOT READY,
    // MEDIUM NOT PRESENT, and the user stops there.
    void ExpectDiagnostics(const KernelDevice& device) {
        ASSERT_TRUE(user::ClickAdapterItem(program, device.port));
        ASSERT_TRUE(dw::ClickDevice(program, std::to_string(device.target)));
        ASSERT_TRUE(program.Choose(IDM_DEVICE_DIAGNOSTICS));
        HWND dialog = dw::WaitForDialog(program, kDialogTitle, 10000);
        ASSERT_NE(dialog, nullptr) << device.Name() << ": no diagnostics dialog";
        EXPECT_EQ(dw::TextOf(dialog, IDC_DEVICE_TYPE), TypeNameOf(device));
        EXPECT_EQ(dw::TextOf(dialog, IDC_MANUFACTURER), device.vendor.substr(0, 7));
        EXPECT_EQ(dw::TextOf(dialog, IDC_PRODUCT), device.model);

        dw::ClickControl(dialog, IDOK);
        std::optional<Message> warning = program.WaitForMessage();
        ASSERT_TRUE(warning) << "no warning after Begin Tests";
        ASSERT_TRUE(program.Answer(*warning, IDYES));

        std::vector<Message> boxes;
        const bool ended = autom::WaitUntil(
            [&] {
                if (std::optional<Message> box = program.MessageWithin(200)) {
                    boxes.push_back(*box);
                    // Asked whether to go on after a failure: the user stops.
                    program.Answer(*box, box->buttons.size() == 2 ? IDNO : IDOK);
                }
                return dw::TextOf(dialog, IDOK) == program.Text(IDS_OK);
            },
            60000);
        std::printf("Diagnostics of %s:\n", device.Name().c_str());
        for (const Message& box : boxes) std::printf("  box: %s\n", Describe(box).c_str());
        const std::string rows[3] = {dw::TextOf(dialog, IDC_TUR_STATE), dw::TextOf(dialog, IDC_WRITE_STATE),
                                     dw::TextOf(dialog, IDC_READ_STATE)};
        std::printf("  TEST UNIT READY: %s, WRITE BUFFER: %s, READ BUFFER: %s\n  information: %s\n  %s\n",
                    rows[0].c_str(), rows[1].c_str(), rows[2].c_str(), dw::TextOf(dialog, IDC_INFO_LINE).c_str(),
                    dw::TextOf(dialog, IDC_INFO_BLOCK).c_str());
        Picture("real-stack-diagnostics-port" + std::to_string(device.port));
        ASSERT_TRUE(ended) << "the run did not end; button 1 reads \"" << dw::TextOf(dialog, IDOK) << "\"";

        const std::string passed = program.Text(IDS_PASSED), failed = program.Text(IDS_FAILED);
        const std::string not_tested = program.Text(IDS_NOT_TESTED);
        if (device.type == 5) {
            ASSERT_EQ(boxes.size(), 1u) << "one box: the failed first test, asking whether to go on";
            EXPECT_EQ(boxes[0].caption, program.Text(IDS_TUR_FAILED_CAPTION));
            EXPECT_EQ(boxes[0].text, program.Text(IDS_SENSE_NO_MEDIA) + program.Text(IDS_CONTINUE_QUESTION));
            EXPECT_EQ((std::vector<std::string>{rows[0], rows[1], rows[2]}),
                      (std::vector<std::string>{failed, not_tested, not_tested}));
            EXPECT_EQ(dw::TextOf(dialog, IDC_INFO_BLOCK),
                      "Last Error Reported Sense Data:\nSense Key: 2\nSense Code: 3a\nSense Code Qualifier: 0");
        } else if (rows[2] == failed) {
            ASSERT_EQ(boxes.size(), 1u) << "one box: the failed READ BUFFER";
            EXPECT_EQ(boxes[0].caption, program.Text(IDS_READ_FAILED_CAPTION));
            EXPECT_EQ(boxes[0].text.rfind(program.Text(IDS_SENSE_NOT_SUPPORTED), 0), 0u) << boxes[0].text;
            EXPECT_EQ(rows[0], passed);
            EXPECT_EQ(rows[1], passed);
            EXPECT_EQ(dw::TextOf(dialog, IDC_INFO_BLOCK),
                      "Last Error Reported Sense Data:\nSense Key: 5\nSense Code: 20\nSense Code Qualifier: 0");
        } else {
            EXPECT_TRUE(boxes.empty());
            EXPECT_EQ((std::vector<std::string>{rows[0], rows[1], rows[2]}),
                      (std::vector<std::string>{passed, passed, passed}));
            EXPECT_EQ(dw::TextOf(dialog, IDC_INFO_LINE), program.Text(IDS_TESTS_SUCCESSFUL));
        }
        dw::ClickControl(dialog, IDOK);
        EXPECT_TRUE(dw::WaitUntilClosed(dialog, 10000)) << "OK did not close the dialog";
    }

    // The Details page against what the kernel read of the same device: a
    // disk's size in bytes, the CD-ROM without a disc "No medium", the
    // serial number when the kernel has one, and the world-wide name when
    // the kernel's pick is an NAA or EUI-64 designator (the program picks
    // those first too).
    void ExpectDetails(const KernelDevice& device) {
        ASSERT_TRUE(user::ClickAdapterItem(program, device.port));
        ASSERT_TRUE(dw::DoubleClickDevice(program, std::to_string(device.target)));
        HWND sheet = dw::WaitForPropertySheet(program, 30000);
        ASSERT_NE(sheet, nullptr) << device.Name() << ": no properties sheet";
        dw::ClickTab(sheet, 2);
        ASSERT_TRUE(autom::WaitUntil([&] { return dw::SelectedTab(sheet) == 2; }, 10000)) << "no Details page";
        const std::vector<std::string> fields = dw::DetailsFields(program, sheet, 120000);
        std::printf("Details of %s:\n", device.Name().c_str());
        for (const std::string& field : fields) std::printf("  [%s]\n", field.c_str());
        Picture("real-stack-details-port" + std::to_string(device.port));
        ASSERT_EQ(fields.size(), 3u);
        if (device.type == 5) {
            EXPECT_EQ(fields[0], program.Text(IDS_DETAILS_NO_MEDIUM));
        } else {
            EXPECT_NE(fields[0].find("(" + Grouped(device.capacity) + " bytes)"), std::string::npos) << fields[0];
        }
        if (!Trimmed(device.serial).empty()) {
            EXPECT_EQ(fields[1], Trimmed(device.serial));
        }
        if (device.wwid.rfind("naa.", 0) == 0 || device.wwid.rfind("eui.", 0) == 0) {
            EXPECT_EQ(Lower(fields[2]), Lower(device.wwid));
        }
        autom::PressKey(VK_ESCAPE);
        EXPECT_TRUE(dw::WaitUntilClosed(sheet, 10000)) << "Escape did not close the sheet";
    }

    void CheckEachDevice() {
        for (const KernelDevice& device : devices_) {
            SCOPED_TRACE(device.Name());
            ExpectListRows(device);
            ExpectDiagnostics(device);
            ExpectDetails(device);
        }
    }

    // Every port's 16 rows, as the list shows them now.
    Rows EveryPortsRows() {
        Rows all;
        for (const KernelDevice& device : devices_) {
            EXPECT_TRUE(user::ClickAdapterItem(program, device.port));
            const Rows rows = program.DeviceList();
            all.insert(all.end(), rows.begin(), rows.end());
        }
        return all;
    }

    std::string folder_;
    std::vector<KernelDevice> devices_;
};

TEST_F(RealStack, TheKernelsDevicesAreShownWithTheirInquiryNamesTestedAndListed) {
    const testing::AssertionResult scanned = user::StartAndWaitForTheScan(program, 16);
    if (!scanned) {
        const std::optional<DWORD> code = program.WaitForExit(0);
        if (code) std::printf("The program ended with exit code 0x%lx\n", static_cast<unsigned long>(*code));
    }
    ASSERT_TRUE(scanned);
    Picture("real-stack-main-window");
    std::vector<std::string> adapters = user::AdaptersInTree(program);
    std::printf("The tree holds %zu adapters\n", adapters.size());
    EXPECT_EQ(adapters.size(), devices_.size()) << "one adapter per dosdevices link";

    CheckEachDevice();

    // The inventory saved and opened again shows the same.
    const Rows live = EveryPortsRows();
    const std::string listing = folder_ + "real-stack-listing.txt";
    DeleteFileA(listing.c_str());
    ASSERT_TRUE(program.Choose(IDM_FILE_SAVE_AS));
    HWND save = user::WaitForFileDialog(program, "Save File As", 15000);
    ASSERT_NE(save, nullptr) << "no \"Save File As\" dialog";
    ASSERT_TRUE(user::EnterFileName(save, listing));
    ASSERT_TRUE(
        autom::WaitUntil([&] { return program.Title() == "Tessaline Diagnostics - [real-stack-listing.txt]"; }, 10000))
        << "the title is \"" << program.Title() << "\" after Save As";
    std::ifstream saved(listing, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(saved)), std::istreambuf_iterator<char>());
    std::printf("The listing saved as %s:\n%s", listing.c_str(), text.c_str());
    for (const KernelDevice& device : devices_)
        EXPECT_NE(text.find(std::to_string(device.target) + "," + TypeNameOf(device) + "," +
                            device.vendor.substr(0, 7) + "," + device.model + "," + device.revision.substr(0, 4)),
                  std::string::npos)
            << device.Name() << " is not in the listing";

    ASSERT_TRUE(program.Choose(IDM_FILE_OPEN));
    HWND open = user::WaitForFileDialog(program, "Open a File", 15000);
    ASSERT_NE(open, nullptr) << "no \"Open a File\" dialog";
    ASSERT_TRUE(user::EnterFileName(open, listing));
    ASSERT_TRUE(
        autom::WaitUntil([&] { return program.Title() == "Tessaline Diagnostics - [real-stack-listing.txt]"; }, 10000))
        << "the title is \"" << program.Title() << "\"";
    ASSERT_TRUE(user::DoubleClickTreeItem(program, "SCSI Controllers"));
    const Rows reopened = EveryPortsRows();
    Print("The listing opened again, every port:", reopened);
    EXPECT_EQ(reopened, live) << "the reopened listing shows other rows than the live inventory";
    Picture("real-stack-listing-reopened");
}

}  // namespace
}  // namespace td::e2e
