// The main window's placement, kept per user in the registry.
//
// "WindowPos" under HKEY_CURRENT_USER\Software\Harrowgate\Tessaline
// Diagnostics\Settings is a 28-byte binary value: seven signed 32-bit
// little-endian integers. The window is created from it, the device list
// takes its view mode from it, and it is written back when the window
// closes and when the display resolution changes.
#pragma once

#include <cstdint>

#include "common/registry.h"

namespace td {

struct WindowPlacementRecord {
    std::int32_t left;
    std::int32_t top;
    std::int32_t width;
    std::int32_t height;
    std::int32_t view_mode;      // the device list's LVS_TYPEMASK bits
    std::int32_t screen_width;   // SM_CXSCREEN when the record was written
    std::int32_t screen_height;  // SM_CYSCREEN when the record was written
};
static_assert(sizeof(WindowPlacementRecord) == 28, "WindowPos is 28 bytes");

constexpr char kSettingsKeyPath[] = "Software\\Harrowgate\\Tessaline Diagnostics\\Settings";
constexpr char kWindowPosValueName[] = "WindowPos";
constexpr std::uint32_t kWindowPosSize = sizeof(WindowPlacementRecord);

enum class PlacementAdjust { Reset, Rescale };

// The default placement for a W x H screen: a fifth of the screen in from
// the top-left corner, three fifths of the screen in size, large icons.
void ResetPlacement(WindowPlacementRecord& record, std::int32_t screen_width, std::int32_t screen_height);

// True when the record names the screen it was written for, so that it can
// be rescaled: a record with a screen width or height of 0 (or less) cannot.
bool CanRescale(const WindowPlacementRecord& record);

// Scales the rectangle from the record's screen to W x H with factors in
// tenths, kx = W*10/old width and ky = H*10/old height, each coordinate
// multiplied before it is divided. The view mode stays. A record that
// cannot be rescaled is reset instead.
void RescalePlacement(WindowPlacementRecord& record, std::int32_t screen_width, std::int32_t screen_height);

// Resets or rescales the record for W x H, records W and H as its screen
// and writes it as "WindowPos" (REG_BINARY, `size` bytes) under `key`.
// Answers whether the write succeeded; callers do not look at it.
bool StoreWindowPos(Registry& registry, RegistryKey key, std::int32_t screen_width, std::int32_t screen_height,
                    WindowPlacementRecord& record, std::uint32_t size, PlacementAdjust adjust);

// The part of the desktop a window can be seen on, in screen pixels: the
// virtual screen that spans every monitor where the system has one
// (Windows 98, 2000 and later), the primary screen on Windows 95 and NT 4.0,
// whose system metrics answer 0 for the virtual screen.
struct ScreenArea {
    std::int32_t left;
    std::int32_t top;
    std::int32_t width;
    std::int32_t height;
};

// Below this size a window shows neither the tree nor the list: the strip of
// a minimized window (160 x 27 under Wine, 160 x 31 on Windows) is one.
constexpr std::int32_t kMinUsableWidth = 200;
constexpr std::int32_t kMinUsableHeight = 150;

// Makes sure that the user can reach the window the record describes:
// - a rectangle smaller than a usable window gets the default rectangle for
//   the W x H primary screen (the view mode stays);
// - one that reaches past an edge of `screen` is moved onto it, and cut to
//   the screen's size where it is larger.
// A `screen` without a size stands for the primary screen, W x H at (0, 0).
// Answers whether the record changed.
bool BringOntoScreen(WindowPlacementRecord& record, const ScreenArea& screen, std::int32_t screen_width,
                     std::int32_t screen_height);

// The placement the main window is created from: opens (or creates) the
// settings key and reads "WindowPos". A value that is missing, longer or
// shorter than 28 bytes, or names a screen of size 0 is reset and written
// back; one written for another screen size is rescaled; one that the user
// could not reach on `screen` is brought onto it (BringOntoScreen). A record
// changed on the way is written back.
WindowPlacementRecord LoadWindowPlacement(Registry& registry, std::int32_t screen_width, std::int32_t screen_height,
                                          const ScreenArea& screen);
// The same on a machine with one screen, W x H.
WindowPlacementRecord LoadWindowPlacement(Registry& registry, std::int32_t screen_width, std::int32_t screen_height);

// Writes `record` as it is (used when the main window closes, with the
// window's restored rectangle whether it is minimized, maximized or neither).
// Nothing is written when the settings key cannot be opened.
void SaveWindowPlacement(Registry& registry, const WindowPlacementRecord& record);

}  // namespace td
