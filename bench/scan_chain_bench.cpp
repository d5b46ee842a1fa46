// What the ASPI device scan costs per SCSI ID, beyond the bus itself.
//
// The scan sends one INQUIRY at a time and stores each completion on the
// window thread before it sends the next. This measures a full scan of
// four wide adapters (64 IDs) on the virtual bus with no completion delay,
// so the figure is the chain's own overhead: building and sending the
// block, the library's hand-over to the window thread and the storing of
// the slot. Printed per ID, median of several scans.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "aspi/aspi_service.h"
#include "bus/scenario.h"
#include "bus/steady_clock.h"
#include "common/shared_texts.h"
#include "discovery/aspi_discovery.h"
#include "inventory/inventory.h"
#include "support/memory_registry.h"
#include "support/recording_views.h"
#include "support/scripted_messages.h"
#include "support/window_thread_hand_over.h"

namespace {

std::string FourWideAdapters() {
    std::string text;
    for (int a = 0; a < 4; ++a) {
        text += "adapter\n identifier HA" + std::to_string(a) + "\n max-target 15\n";
        for (int t : {0, 3, 5, 9}) {
            text += " device " + std::to_string(t) + "\n  type disk\n  product DISK" + std::to_string(t) + "\n end\n";
        }
        text += "end\n";
    }
    return text;
}

double ScanOnce(const td::sim::Scenario& scenario, const td::SharedTexts& texts, td::Messages& messages) {
    td::test::MemoryRegistry registry;
    td::test::RecordingViews views{&texts};
    td::Inventory inventory{};
    inventory.platform = td::kPlatformWin95;
    inventory.max_target_id = td::kMaxTargetIdWide;
    td::aspi::SrbExecScsiCmd exec_srb{};
    td::ScanChain chain{};
    td::test::WindowThreadHandOver hand_over;
    chain.hand_over = &hand_over;
    td::sim::AspiService service(scenario);
    td::sim::SteadyClock clock;
    td::AspiDiscovery discovery{inventory, texts, registry, messages, views, service, exec_srb, chain, 0, clock};
    td::EnumerateAspiAdapters(discovery, false);

    const auto start = std::chrono::steady_clock::now();
    td::StartAspiScan(discovery);
    while (chain.scan_busy != 0) {
        if (!hand_over.HandleNext([&](td::aspi::SrbExecScsiCmd* block) { td::OnScanStep(discovery, block); })) break;
    }
    const auto end = std::chrono::steady_clock::now();
    if (inventory.slot_count != 64) std::fprintf(stderr, "scan filled %d slots, not 64\n", inventory.slot_count);
    return std::chrono::duration<double, std::micro>(end - start).count() / 64.0;
}

}  // namespace

int main() {
    td::test::ScriptedMessages messages;
    td::SharedTexts texts{};
    if (!td::LoadSharedTexts(messages, texts)) return 1;
    td::sim::Scenario scenario;
    std::string error;
    if (!td::sim::ParseScenario(FourWideAdapters(), scenario, error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    std::vector<double> per_id;
    for (int run = 0; run < 15; ++run) per_id.push_back(ScanOnce(scenario, texts, messages));
    std::sort(per_id.begin(), per_id.end());
    std::printf("ASPI device scan, 4 wide adapters, 64 IDs, no bus delay\n");
    std::printf("  per SCSI ID: median %.1f us, best %.1f us, worst %.1f us (15 scans)\n", per_id[per_id.size() / 2],
                per_id.front(), per_id.back());
    return 0;
}
