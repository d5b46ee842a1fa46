// Discovery as the window thread runs it: at start-up, on a re-scan, and
// the ASPI device scan's completions handed over as WM_SCAN_STEP.
#pragma once

#include <windows.h>

#include "discovery/aspi_discovery.h"

namespace td {

struct Program;

enum class StartupDiscovery {
    Complete,           // the inventory is known (NT), or nothing is to be scanned
    DeviceScanPending,  // Windows 95: adapters known, the device scan starts after the window shows
    Exit,               // a failure that ends the program (its message was shown)
};

// Discovers the inventory for the platform: synchronously through the port
// driver on NT; on Windows 95 loads the ASPI library and enumerates the
// host adapters.
StartupDiscovery DiscoverAtStartup(Program& program);
// Windows 95: starts the asynchronous INQUIRY chain over every SCSI ID.
void StartDeviceScan(Program& program);
// Empties the inventory and the views and discovers again.
void RescanBuses(Program& program, HWND main_window);
// Windows 95: stops a device scan still running, because the inventory is
// about to be replaced (a listing file is opened).
void StopDeviceScan(Program& program);
// Stores one completed INQUIRY (WM_SCAN_STEP) and sends the next.
void OnScanStep(Program& program, LPARAM block);
// The main window's timer that watches the device scan while an INQUIRY
// is outstanding (WatchScan): started with the scan, ended with it.
constexpr UINT_PTR kScanWatchTimer = 1;
void OnScanWatchTimer(Program& program);
// Releases the ASPI library if the support query succeeded.
void ReleaseAspiLibrary(Program& program);

}  // namespace td
