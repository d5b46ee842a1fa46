#include "infowin/splash_win32.h"

#include "shell/program_win32.h"

namespace td {

namespace {

SplashState g_splash{};

template <typename Handle>
Handle As(std::uintptr_t value) {
    return reinterpret_cast<Handle>(value);
}

template <typename Handle>
std::uintptr_t Keep(Handle handle) {
    return reinterpret_cast<std::uintptr_t>(handle);
}

// Start-up blocks the thread right after the splash goes up (discovery, a
// 2 s pause), so whatever the system still holds back must reach the
// screen now: GDI's batch of calls (Windows NT), and the drawing that Wine
// keeps in its own copy of the screen until the thread next looks at its
// message queue. A look that leaves every message in the queue does that.
void ReachTheScreen() {
    GdiFlush();
    MSG message;
    PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE);
}

}  // namespace

const SplashState& CurrentSplash() { return g_splash; }

int ShowSplash(HINSTANCE instance, const char* bitmap_name) {
    if (AnySplashField(g_splash)) return 0;
    HBITMAP picture = LoadBitmapA(instance, bitmap_name);
    if (picture == nullptr) return 0;

    BITMAP size{};
    HDC screen = GetDC(nullptr);
    HDC memory = screen != nullptr ? CreateCompatibleDC(screen) : nullptr;
    const bool sized = GetObjectA(picture, sizeof size, &size) != 0 && size.bmWidth > 0 && size.bmHeight > 0;
    HBITMAP saved = memory != nullptr && sized ? CreateCompatibleBitmap(screen, size.bmWidth, size.bmHeight) : nullptr;
    HGDIOBJ default_bitmap = saved != nullptr ? SelectObject(memory, saved) : nullptr;
    if (default_bitmap == nullptr) {
        // Half a splash could be neither shown nor hidden: give back what
        // was obtained and leave the state empty.
        if (saved != nullptr) DeleteObject(saved);
        if (memory != nullptr) DeleteDC(memory);
        if (screen != nullptr) ReleaseDC(nullptr, screen);
        DeleteObject(picture);
        return 0;
    }

    const ScreenPoint at = SplashOrigin(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), size.bmWidth,
                                        size.bmHeight);
    BitBlt(memory, 0, 0, size.bmWidth, size.bmHeight, screen, at.x, at.y, SRCCOPY);
    SelectObject(memory, picture);
    BitBlt(screen, at.x, at.y, size.bmWidth, size.bmHeight, memory, 0, 0, SRCCOPY);
    SelectObject(memory, saved);
    DeleteObject(picture);
    ReachTheScreen();

    g_splash.screen_dc = Keep(screen);
    g_splash.memory_dc = Keep(memory);
    g_splash.saved_screen = Keep(saved);
    g_splash.default_bitmap = Keep(default_bitmap);
    g_splash.width = size.bmWidth;
    g_splash.height = size.bmHeight;
    g_splash.origin = at;
    return 1;
}

int HideSplash() {
    if (!EverySplashField(g_splash)) return 0;
    HDC screen = As<HDC>(g_splash.screen_dc);
    HDC memory = As<HDC>(g_splash.memory_dc);
    const ScreenPoint at = g_splash.origin;
    BitBlt(screen, at.x, at.y, g_splash.width, g_splash.height, memory, 0, 0, SRCCOPY);
    SelectObject(memory, As<HGDIOBJ>(g_splash.default_bitmap));
    DeleteObject(As<HGDIOBJ>(g_splash.saved_screen));
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    ReachTheScreen();
    g_splash = SplashState{};
    return 1;
}

void ShowStartupSplash(Program& program) {
    HINSTANCE instance = program.app.instance != nullptr ? program.app.instance : GetModuleHandleA(nullptr);
    ShowSplash(instance, "Splash");
}

void HideStartupSplash(Program&) { HideSplash(); }

}  // namespace td
