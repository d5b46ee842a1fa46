// The splash picture's bookkeeping, apart from the drawing.
//
// The splash is not a window: the picture is copied onto the screen and the
// screen area it covers is saved first, to be copied back when it goes.
// Four handles and the picture's size say whether a splash is up; they are
// either all set (up) or all empty (none).
#pragma once

#include <cstdint>

#include "infowin/placement_math.h"

namespace td {

struct SplashState {
    std::uintptr_t screen_dc;       // the whole screen's device context
    std::uintptr_t memory_dc;       // compatible with the screen
    std::uintptr_t saved_screen;    // the covered screen area
    std::uintptr_t default_bitmap;  // what the memory context held when it was made
    int width;                      // the picture's size
    int height;
    // Where the picture went. Kept rather than worked out again, so that a
    // change of resolution while the splash is up cannot put the saved
    // screen back elsewhere. Not a sign of a splash: it may be 0 or negative.
    ScreenPoint origin;
};

// Some field is set: no second splash may be put up.
bool AnySplashField(const SplashState& state);
// Every field is set: there is a splash to take down.
bool EverySplashField(const SplashState& state);

// Where a picture of `width` x `height` goes to sit in the middle of a
// screen of `screen_width` x `screen_height`: half the screen less half the
// picture, each halving truncated toward zero. A screen smaller than the
// picture gives a negative place; the screen's edges then cut the picture.
ScreenPoint SplashOrigin(int screen_width, int screen_height, int width, int height);

}  // namespace td
