// Commands whose windows are not built yet. Each does nothing and reports
// failure, so the main window's commands can already be wired to them.
#include "diagnostics/diagnostics_dialog_win32.h"
#include "infowin/about_box_win32.h"
#include "infowin/properties_sheet_win32.h"
#include "listing/listing_commands_win32.h"

namespace td {

bool OpenListing(Program&, HWND) { return false; }
bool SaveListing(Program&) { return false; }
bool SaveListingAs(Program&, HWND) { return false; }
const char* ListingFileTitle(const Program&) { return ""; }
void ShowAboutBox(Program&, HWND) {}
INT_PTR ShowDeviceProperties(Program&, HWND) { return 0; }
void ShowDiagnostics(Program&, HWND) {}

}  // namespace td

#include "shell/discovery_win32.h"
#include "shell/splash_steps_win32.h"

namespace td {

// Not built yet: the splash screen; start-up runs without a picture.
void ShowStartupSplash(Program&) {}
void HideStartupSplash(Program&) {}

// Not built yet: discovery through the NT port driver and through ASPI. The
// inventory stays empty, so start-up reports that no adapter was found.
StartupDiscovery DiscoverAtStartup(Program&) { return StartupDiscovery::Complete; }
void StartDeviceScan(Program&) {}
void RescanBuses(Program&, HWND) {}
void OnScanStep(Program&, LPARAM) {}
void ReleaseAspiLibrary(Program&) {}

}  // namespace td
