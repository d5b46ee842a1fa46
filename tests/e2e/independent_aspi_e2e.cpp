// The program against an ASPI manager we did not write: Wine's own
// wnaspi32, as a Linux user meets it who runs the program as Windows 95.
// It counts the "Scsi Bus" keys of the SCSI device map as host adapters
// (none: SS_NO_ADAPTERS) and refuses every request with SS_INVALID_SRB
// without writing the request block. The program must tell an empty bus
// from a broken one, and invent no device where nothing answered.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include "resources/resource_ids.h"
#include "support/device_windows.h"
#include "support/file_dialogs.h"
#include "support/paths.h"
#include "support/program_test.h"
#include "support/user_steps.h"

namespace td::e2e {
namespace {

class WinesOwnAspi : public ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        program.UseWinesOwnAspiLibrary();
    }

    void ExitThroughTheMenu() {
        ASSERT_TRUE(program.Choose(IDM_FILE_EXIT));
        EXPECT_EQ(program.WaitForExit(), 0u);
    }
};

TEST_F(WinesOwnAspi, WithNoPortRegisteredItSaysNoAdapterWasFoundAndOpensEmpty) {
    ASSERT_TRUE(program.Start());
    ASSERT_NE(program.WaitForMainWindowAnswering({program.Text(IDS_NO_ADAPTER)}), nullptr)
        << "SS_NO_ADAPTERS is an empty bus, not an unknown error";
    for (const autom::TreeItem& item : program.AdapterTree())
        EXPECT_EQ(item.depth, 0) << "an adapter in the tree: " << item.text;
    EXPECT_TRUE(program.DeviceList().empty());
    ExitThroughTheMenu();
}

TEST_F(WinesOwnAspi, WithTwoPortsRegisteredItListsTwoNamedAdaptersWithoutAnyDeviceAndSavesSo) {
    machine::ScsiPortsInDeviceMap ports(2);
    ASSERT_TRUE(ports.created()) << "the volatile device map keys could not be made";
    ASSERT_TRUE(user::StartAndWaitForTheScan(program, 16));

    const std::string first = Filled(program.Text(IDS_NUMBERED_ADAPTER), {"0"});
    const std::string second = Filled(program.Text(IDS_NUMBERED_ADAPTER), {"1"});
    EXPECT_EQ(user::AdaptersInTree(program), (std::vector<std::string>{first, second}));
    for (const std::vector<std::string>& row : program.DeviceList()) {
        EXPECT_EQ(row[1], program.Text(IDS_TYPE_NO_DEVICE)) << "SCSI ID " << row[0] << ": " << row[3];
        EXPECT_EQ(row[3], "No Device") << "SCSI ID " << row[0];
    }
    const std::vector<std::string> status = program.StatusBar();
    ASSERT_EQ(status.size(), 2u);
    EXPECT_EQ(status[1], program.Text(IDS_STATUS_DEVICES) + " 0");
    std::printf("The window: %s\n", device_windows::SavePicture(program, "wines-own-aspi-two-ports").c_str());

    const std::string folder = ProgramFolder() + "listings";
    CreateDirectoryA(folder.c_str(), nullptr);
    const std::string file = folder + "\\wines-own-aspi.txt";
    DeleteFileA(file.c_str());
    ASSERT_TRUE(program.Choose(IDM_FILE_SAVE_AS));
    HWND dialog = user::WaitForFileDialog(program, program.Text(IDS_SAVE_TITLE));
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(user::EnterFileName(dialog, file));
    std::string saved;
    ASSERT_TRUE(autom::WaitUntil(
        [&] {
            std::ifstream in(file, std::ios::binary);
            saved.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
            return !saved.empty();
        },
        5000))
        << "nothing was saved";
    std::string expected = "2\n" + first + "\n" + second + "\n32\n";
    for (int slot = 0; slot < 32; ++slot) {
        expected += std::to_string(slot % 16) + "," + program.Text(IDS_TYPE_NO_DEVICE) + ",,No Device,," +
                    (slot < 16 ? first : second) + ",0\n";
    }
    EXPECT_EQ(saved, expected) << "no device and no adapter's own slot";
    ExitThroughTheMenu();
}

}  // namespace
}  // namespace td::e2e
