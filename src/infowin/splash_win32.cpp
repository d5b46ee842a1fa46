// Not built yet: the splash screen; start-up runs without a picture.
#include "infowin/splash_win32.h"

namespace td {

void ShowStartupSplash(Program&) {}
void HideStartupSplash(Program&) {}

}  // namespace td
