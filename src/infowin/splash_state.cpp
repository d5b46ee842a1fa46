#include "infowin/splash_state.h"

namespace td {

bool AnySplashField(const SplashState& state) {
    return state.screen_dc != 0 || state.memory_dc != 0 || state.saved_screen != 0 || state.default_bitmap != 0 ||
           state.width != 0 || state.height != 0;
}

bool EverySplashField(const SplashState& state) {
    return state.screen_dc != 0 && state.memory_dc != 0 && state.saved_screen != 0 && state.default_bitmap != 0 &&
           state.width != 0 && state.height != 0;
}

ScreenPoint SplashOrigin(int screen_width, int screen_height, int width, int height) {
    return {screen_width / 2 - width / 2, screen_height / 2 - height / 2};
}

}  // namespace td
