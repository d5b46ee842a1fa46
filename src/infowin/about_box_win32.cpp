// Not built yet: the About box.
#include "infowin/about_box_win32.h"

namespace td {

void ShowAboutBox(Program&, HWND) {}

}  // namespace td
