// The screen's resolution changes while the program runs: the window keeps
// its place and size in proportion, and the stored placement follows.
#include <gtest/gtest.h>

#include <cstring>

#include "resources/resource_ids.h"
#include "support/machine.h"
#include "support/program_test.h"

namespace td::e2e {
namespace {

std::vector<std::uint8_t> BytesOf(const WindowPos& pos) {
    const std::int32_t numbers[7] = {pos.left,      pos.top,          pos.width,        pos.height,
                                     pos.view_mode, pos.screen_width, pos.screen_height};
    std::vector<std::uint8_t> bytes(sizeof numbers);
    std::memcpy(bytes.data(), numbers, sizeof numbers);
    return bytes;
}

class DisplayChange : public ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        program.UseEdition(Edition::Shipped);
        program.OnPlatform(Platform::Windows95);
        program.UseBuiltInMachine();
        program.Install();
    }

    // What the system tells every top-level window when the resolution
    // changes: the new size in lParam.
    void ChangeResolutionTo(int width, int height) {
        SendMessageA(program.main_window(), WM_DISPLAYCHANGE, 24, MAKELPARAM(width, height));
    }

    void StartToMainWindow() {
        ASSERT_TRUE(program.Start());
        ASSERT_NE(program.WaitForMainWindow(), nullptr);
    }

    void ExitThroughTheMenu() {
        ASSERT_TRUE(program.Choose(IDM_FILE_EXIT));
        EXPECT_EQ(program.WaitForExit(), 0u);
    }

    RECT Placed() {
        WINDOWPLACEMENT placement{};
        placement.length = sizeof placement;
        GetWindowPlacement(program.main_window(), &placement);
        return placement.rcNormalPosition;
    }
};

// 1024 x 768 to 800 x 600: x by 8000 / 1024 = 7, y by 6000 / 768 = 7, then /10.
TEST_F(DisplayChange, TheWindowAndItsStoredPlacementAreScaledToTheNewScreen) {
    machine::StoreWindowPos(BytesOf({200, 100, 600, 400, 1, 1024, 768}));
    StartToMainWindow();

    ChangeResolutionTo(800, 600);

    const std::optional<WindowPos> pos = machine::StoredWindowPos();
    ASSERT_TRUE(pos);
    EXPECT_EQ(*pos, (WindowPos{140, 70, 420, 280, 1, 800, 600})) << Describe(*pos);
    const RECT rect = Placed();
    EXPECT_EQ(rect.left, 140);
    EXPECT_EQ(rect.top, 70);
    EXPECT_EQ(rect.right - rect.left, 420);
    EXPECT_EQ(rect.bottom - rect.top, 280);
}

// A stored placement that names no screen size leaves nothing to scale
// from: the window goes to the default place for the new screen instead of
// the program dividing by zero.
TEST_F(DisplayChange, APlacementWithoutAScreenSizeIsResetForTheNewScreen) {
    StartToMainWindow();
    machine::StoreWindowPos(BytesOf({200, 100, 600, 400, 3, 0, 0}));

    ChangeResolutionTo(800, 600);

    ASSERT_TRUE(program.running()) << "the program survived the change";
    const std::optional<WindowPos> pos = machine::StoredWindowPos();
    ASSERT_TRUE(pos);
    EXPECT_EQ(*pos, (WindowPos{160, 120, 480, 360, 0, 800, 600})) << Describe(*pos);
    const RECT rect = Placed();
    EXPECT_EQ(rect.left, 160);
    EXPECT_EQ(rect.top, 120);
    ExitThroughTheMenu();
}

}  // namespace
}  // namespace td::e2e
