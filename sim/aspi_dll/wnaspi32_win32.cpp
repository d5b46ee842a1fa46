// wnaspi32.dll: the ASPI for Win32 library, served by the virtual bus.
//
// The machine comes from the scenario file named by the environment
// variable TD_SCENARIO (a Windows path such as Z:\work\machine.txt), else
// the built-in one. A scenario that cannot be read or parsed leaves a
// library that answers SS_NO_ASPI with no adapters; the reason goes to the
// debugger output (OutputDebugStringA). A usable scenario's Windows 95
// registry entries (the SCSI adapter class and PCI enumeration keys the
// program reads its adapter details from) are written to the machine's
// registry on the first call, as the real machine would have them.
//
// With TD_BUS_LOG naming a file (a Windows path), every command that reaches
// the bus is appended to it as a line, so that a test can see afterwards
// which commands the program sent (virtual_bus.h gives the format).
//
// The service starts on the first call, not in DllMain, where no thread may
// be started or waited for. Its worker thread runs until the process ends,
// so the library pins itself in memory on that first call: a FreeLibrary
// by the program must not unmap code the worker is still running.
#include <windows.h>

#include <cstdint>
#include <cstdlib>
#include <string>

#include "aspi/aspi_service.h"
#include "bus/machine_registry_win32.h"
#include "bus/scenario.h"
#include "bus/scenario_registry.h"
#include "inventory/inventory.h"

namespace {

HMODULE g_module = nullptr;

void Report(const std::string& text) {
    OutputDebugStringA(("wnaspi32 (Tessaline virtual bus): " + text + "\n").c_str());
}

// One more reference to this library that is never released.
void PinLibrary() {
    char path[MAX_PATH] = "";
    const DWORD length = GetModuleFileNameA(g_module, path, sizeof path);
    // The reference this load takes is never released: that is the pin.
    // cppcheck-suppress leakReturnValNotUsed
    if (length == 0 || length >= sizeof path || LoadLibraryA(path) == nullptr) {
        Report("could not keep the library loaded; do not free it while requests run");
    }
}

td::sim::AspiService& Service() {
    // Created once, by whichever thread calls first, and never destroyed:
    // at process exit the worker thread is already gone.
    static td::sim::AspiService* const service = [] {
        PinLibrary();
        td::sim::Scenario scenario;
        std::string error;
        if (!td::sim::LoadScenarioFromEnvironment(scenario, error)) {
            Report("scenario not usable, answering SS_NO_ASPI: " + error);
            scenario = td::sim::Scenario();
            scenario.aspi_status = td::sim::kSsNoAspi;
            scenario.aspi_count = 0;
        } else {
            Report("serving scenario \"" + scenario.name + "\" with " + std::to_string(scenario.adapters.size()) +
                   " adapter(s)");
            td::sim::MachineRegistry registry;
            if (!td::sim::WriteScenarioRegistry(scenario, registry, td::kPlatformWin95)) {
                Report("some of the scenario's registry entries could not be written");
            }
        }
        auto* made = new td::sim::AspiService(std::move(scenario));
        // Nobody reads the calls of a library serving a running program;
        // kept, they would grow with every request it sends.
        made->KeepLog(false);
        const char* log = std::getenv("TD_BUS_LOG");
        if (log != nullptr && log[0] != '\0' && !made->bus().AppendLogTo(log)) {
            Report(std::string("cannot append to the bus log ") + log);
        }
        return made;
    }();
    return *service;
}

}  // namespace

extern "C" {

DWORD __cdecl GetASPI32SupportInfo(void) { return Service().GetSupportInfo(); }

DWORD __cdecl SendASPI32Command(void* srb) { return Service().SendCommand(srb); }

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        g_module = instance;
        DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}

}  // extern "C"
