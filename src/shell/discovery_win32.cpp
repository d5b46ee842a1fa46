#include "shell/discovery_win32.h"

#include "common/win_codes.h"
#include "inventory/views_win32.h"
#include "resources/resource_ids.h"
#include "shell/program_win32.h"

namespace td {
namespace {

// The library completes an INQUIRY on a thread of its own; the completion
// reaches the window thread as WM_SCAN_STEP, sent (not posted) so that the
// library waits until the window has stored it and sent the next one.
class WindowHandOver final : public ScanHandOver {
public:
    explicit WindowHandOver(Program& program) : program_(program) {}
    void Deliver(aspi::SrbExecScsiCmd* block) override {
        SendMessageA(program_.app.main_window, kWmScanStep, 0, reinterpret_cast<LPARAM>(block));
    }

private:
    Program& program_;
};

AspiDiscovery AspiContext(Program& program) {
    static WindowHandOver hand_over(program);
    program.chain.hand_over = &hand_over;
    return AspiDiscovery{program.inventory, program.texts, program.registry,
                         program.messages,  program.views, program.aspi,
                         program.exec_srb,  program.chain, ToRef(program.app.main_window),
                         program.clock};
}

NtDiscovery NtContext(Program& program) {
    return NtDiscovery{program.inventory, program.texts,    program.registry,
                       program.views,     SystemDeviceIo(), program.nt_area};
}

}  // namespace

StartupDiscovery DiscoverAtStartup(Program& program) {
    if (program.inventory.platform == kPlatformNt) {
        NtDiscovery discovery = NtContext(program);
        DiscoverNtInventory(discovery);
        return StartupDiscovery::Complete;
    }
    if (!program.aspi.Load()) {
        ShowMessage(program.messages, ToRef(program.app.main_window), IDS_ASPI_UNKNOWN_ERROR, win::kMbIconError);
        return StartupDiscovery::Exit;
    }
    AspiDiscovery discovery = AspiContext(program);
    switch (DiscoverAspiAdapters(discovery)) {
        case AspiStartup::Enumerated:
            program.aspi_loaded = 1;
            return StartupDiscovery::DeviceScanPending;
        case AspiStartup::NotAvailable:
            // The library stays loaded; no device scan is started.
            return StartupDiscovery::Complete;
        case AspiStartup::Exit:
            break;
    }
    return StartupDiscovery::Exit;
}

// Looks every second at an INQUIRY still outstanding (WatchScan), while
// there is one.
void WatchWhileScanning(Program& program) {
    if (program.chain.scan_busy != 0) SetTimer(program.app.main_window, kScanWatchTimer, 1000, nullptr);
}

void StartDeviceScan(Program& program) {
    AspiDiscovery discovery = AspiContext(program);
    StartAspiScan(discovery);
    WatchWhileScanning(program);
}

void OnScanWatchTimer(Program& program) {
    AspiDiscovery discovery = AspiContext(program);
    if (!WatchScan(discovery)) KillTimer(program.app.main_window, kScanWatchTimer);
}

void RescanBuses(Program& program, HWND main_window) {
    ResetForRescan(program.inventory);
    ResetViews(program);
    if (program.inventory.platform == kPlatformNt) {
        program.records_from_listing = false;
        NtDiscovery discovery = NtContext(program);
        DiscoverNtInventory(discovery);
        return;
    }
    AspiDiscovery discovery = AspiContext(program);
    // The Windows 95 re-scan keeps the adapters' registry details read at
    // start-up, unless a listing file has replaced them since.
    const bool read_details = program.records_from_listing;
    program.records_from_listing = false;
    switch (RescanAspi(discovery, read_details)) {
        case AspiRescan::Scanning:
            program.aspi_loaded = 1;
            WatchWhileScanning(program);
            break;
        case AspiRescan::Retry:
            PostMessageA(main_window, WM_COMMAND, IDM_RESCAN, 0);
            break;
        case AspiRescan::Cancel:
            break;
    }
}

void StopDeviceScan(Program& program) { StopScanChain(program.chain); }

void OnScanStep(Program& program, LPARAM block) {
    AspiDiscovery discovery = AspiContext(program);
    td::OnScanStep(discovery, reinterpret_cast<aspi::SrbExecScsiCmd*>(block));
}

void ReleaseAspiLibrary(Program& program) {
    if (program.aspi_loaded == 1) program.aspi.Release();
}

}  // namespace td
