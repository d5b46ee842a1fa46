#include "shell/startup_steps_win32.h"

#include "shell/program_win32.h"

namespace td {

// Not built yet: the splash screen. Start-up runs without a picture.
void ShowStartupSplash(Program&) {}
void HideStartupSplash(Program&) {}

// Not built yet: discovery through the NT port driver and through ASPI. The
// inventory stays empty, so start-up reports that no adapter was found.
StartupDiscovery DiscoverAtStartup(Program&) { return StartupDiscovery::Complete; }

void StartDeviceScan(Program&) {}

}  // namespace td
