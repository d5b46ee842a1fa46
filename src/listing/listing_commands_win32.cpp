// Not built yet: the File menu's listing commands do nothing and report
// failure, so the main window can already be wired to them.
#include "listing/listing_commands_win32.h"

namespace td {

bool OpenListing(Program&, HWND) { return false; }
bool SaveListing(Program&) { return false; }
bool SaveListingAs(Program&, HWND) { return false; }
const char* ListingFileTitle(const Program&) { return ""; }

}  // namespace td
