// Not built yet: discovery through the NT port driver and through ASPI. The
// inventory stays empty, so start-up reports that no adapter was found.
#include "shell/discovery_win32.h"

namespace td {

StartupDiscovery DiscoverAtStartup(Program&) { return StartupDiscovery::Complete; }
void StartDeviceScan(Program&) {}
void RescanBuses(Program&, HWND) {}
void OnScanStep(Program&, LPARAM) {}
void ReleaseAspiLibrary(Program&) {}

}  // namespace td
