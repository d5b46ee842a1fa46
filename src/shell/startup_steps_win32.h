// The start-up steps that belong to other parts of the program: the splash
// screen and the discovery of the inventory.
#pragma once

namespace td {

struct Program;

enum class StartupDiscovery {
    Complete,           // the inventory is known (NT), or nothing is to be scanned
    DeviceScanPending,  // Windows 95: adapters known, the device scan starts after the window shows
    Exit,               // a failure that ends the program (its message was shown)
};

// The splash picture covers the middle of the screen while the inventory is
// discovered.
void ShowStartupSplash(Program& program);
void HideStartupSplash(Program& program);

// Discovers the inventory for the platform: synchronously through the port
// driver on NT, the host adapters through ASPI on Windows 95.
StartupDiscovery DiscoverAtStartup(Program& program);

// Windows 95: starts the asynchronous INQUIRY chain over every SCSI ID.
void StartDeviceScan(Program& program);

}  // namespace td
