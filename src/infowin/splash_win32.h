// The splash picture covers the middle of the screen while start-up
// discovers the inventory. It is not a window: the picture is copied onto
// the screen and what it covered is copied back when it goes.
#pragma once

#include <windows.h>

#include "infowin/splash_state.h"

namespace td {

struct Program;

// Puts the named bitmap in the middle of the screen, saving what it covers.
// Answers 1 when the picture went up; 0 when a splash is up already or the
// picture cannot be loaded or shown (the state then stays empty).
int ShowSplash(HINSTANCE instance, const char* bitmap_name);

// Copies the saved screen back and releases everything. Answers 1 when a
// splash was taken down, 0 when none was up.
int HideSplash();

// The splash's bookkeeping, for tests: all fields empty while none is up.
const SplashState& CurrentSplash();

// Start-up's splash: the bitmap "Splash" of the program's module.
void ShowStartupSplash(Program& program);
void HideStartupSplash(Program& program);

}  // namespace td
