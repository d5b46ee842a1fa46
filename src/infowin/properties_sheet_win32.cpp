// Not built yet: the properties sheet.
#include "infowin/properties_sheet_win32.h"

namespace td {

INT_PTR ShowDeviceProperties(Program&, HWND) { return 0; }

}  // namespace td
