// The splash screen drawn for real on the screen (Wine's desktop): its two
// states, its refusals, and the covered screen given back.
#include <windows.h>
#include <gtest/gtest.h>

#include "infowin/splash_win32.h"

namespace td {
namespace {

HINSTANCE Module() { return GetModuleHandleA(nullptr); }

class Splash : public ::testing::Test {
protected:
    void TearDown() override { HideSplash(); }
};

TEST_F(Splash, HideWithoutASplashAndAMissingPictureChangeNothing) {
    EXPECT_EQ(HideSplash(), 0);
    EXPECT_EQ(ShowSplash(Module(), "NoSuchPicture"), 0);
    const SplashState& state = CurrentSplash();
    EXPECT_EQ(state.screen_dc, 0u);
    EXPECT_EQ(state.memory_dc, 0u);
    EXPECT_EQ(state.saved_screen, 0u);
    EXPECT_EQ(state.default_bitmap, 0u);
    EXPECT_EQ(state.width, 0);
    EXPECT_EQ(HideSplash(), 0);
}

TEST_F(Splash, OneAtATimeAndHiddenOnce) {
    ASSERT_EQ(ShowSplash(Module(), "Splash"), 1);
    const SplashState first = CurrentSplash();
    EXPECT_EQ(first.width, 256);
    EXPECT_EQ(first.height, 256);
    EXPECT_EQ(first.origin.x, GetSystemMetrics(SM_CXSCREEN) / 2 - 128);
    EXPECT_EQ(first.origin.y, GetSystemMetrics(SM_CYSCREEN) / 2 - 128);

    EXPECT_EQ(ShowSplash(Module(), "Splash"), 0);
    EXPECT_EQ(CurrentSplash().memory_dc, first.memory_dc) << "the first splash stays";
    EXPECT_EQ(CurrentSplash().saved_screen, first.saved_screen);

    EXPECT_EQ(HideSplash(), 1);
    EXPECT_EQ(CurrentSplash().memory_dc, 0u);
    EXPECT_EQ(GetObjectType(reinterpret_cast<HGDIOBJ>(first.saved_screen)), 0u) << "saved screen deleted";
    EXPECT_EQ(HideSplash(), 0);
}

TEST_F(Splash, PictureCoversTheMiddleAndHidingGivesTheScreenBack) {
    const int x = GetSystemMetrics(SM_CXSCREEN) / 2 - 128;
    const int y = GetSystemMetrics(SM_CYSCREEN) / 2 - 128;
    const COLORREF mark = RGB(0x12, 0x9a, 0x56);  // a colour the picture does not use

    HDC screen = GetDC(nullptr);
    ASSERT_NE(screen, nullptr);
    HBRUSH brush = CreateSolidBrush(mark);
    RECT area = {x, y, x + 256, y + 256};
    FillRect(screen, &area, brush);
    DeleteObject(brush);
    ASSERT_EQ(GetPixel(screen, x + 128, y + 128), mark) << "the screen can be read back";

    // The picture's own pixels, for comparison.
    HBITMAP picture = LoadBitmapA(Module(), "Splash");
    ASSERT_NE(picture, nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(memory, picture);

    ASSERT_EQ(ShowSplash(Module(), "Splash"), 1);
    int shown = 0;
    for (int v = 8; v < 256; v += 31)
        for (int u = 8; u < 256; u += 31) shown += GetPixel(screen, x + u, y + v) == GetPixel(memory, u, v);
    EXPECT_EQ(shown, 64) << "pixels of the picture on the screen";

    ASSERT_EQ(HideSplash(), 1);
    int restored = 0;
    for (int v = 0; v < 256; v += 15)
        for (int u = 0; u < 256; u += 15) restored += GetPixel(screen, x + u, y + v) == mark;
    EXPECT_EQ(restored, 18 * 18) << "pixels of the saved screen back in place";

    SelectObject(memory, old);
    DeleteDC(memory);
    DeleteObject(picture);
    ReleaseDC(nullptr, screen);
}

}  // namespace
}  // namespace td
