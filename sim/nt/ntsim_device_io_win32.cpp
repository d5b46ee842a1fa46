// The NT simulator build of the program: its device I/O is the virtual
// bus's port driver instead of kernel32, because Wine has no SCSI port
// devices. The machine comes from the scenario file named by TD_SCENARIO,
// else the built-in one. A scenario that cannot be read or parsed leaves a
// machine without ports or drives; the reason goes to the debugger output.
// A usable scenario's NT registry entries (the SCSI device map and the
// legacy enumeration keys the program reads its adapter details from) are
// written to the machine's registry when the simulator starts, before the
// program can look for them. With TD_BUS_LOG naming a file, every command
// that reaches the bus is appended to it (virtual_bus.h gives the format).
#include <windows.h>

#include <cstdlib>
#include <string>

#include "bus/machine_registry_win32.h"
#include "bus/scenario.h"
#include "bus/scenario_registry.h"
#include "inventory/inventory.h"
#include "nt/nt_port_simulator.h"

namespace td {

DeviceIo& SystemDeviceIo();

namespace {

// The program's port driver: the simulator without its call log, which
// nobody reads here and which would grow with every request.
struct ProgramPortDriver {
    explicit ProgramPortDriver(sim::Scenario scenario) : simulator(std::move(scenario)) {
        simulator.KeepLog(false);
        const char* log = std::getenv("TD_BUS_LOG");
        if (log != nullptr && log[0] != '\0' && !simulator.bus().AppendLogTo(log)) {
            OutputDebugStringA("Tessaline NT port simulator: cannot append to the bus log\n");
        }
    }
    sim::NtPortSimulator simulator;
};

}  // namespace

// Made once and never destroyed: a thread of the program may still be
// waiting in it for a device's answer while the program ends.
DeviceIo& SystemDeviceIo() {
    static ProgramPortDriver* const driver = [] {
        sim::Scenario scenario;
        std::string error;
        if (!sim::LoadScenarioFromEnvironment(scenario, error)) {
            OutputDebugStringA(("Tessaline NT port simulator: scenario not usable, no ports: " + error + "\n").c_str());
            scenario = sim::Scenario();
        } else {
            sim::MachineRegistry registry;
            if (!sim::WriteScenarioRegistry(scenario, registry, kPlatformNt)) {
                OutputDebugStringA("Tessaline NT port simulator: some registry entries could not be written\n");
            }
        }
        return new ProgramPortDriver(std::move(scenario));
    }();
    return driver->simulator;
}

}  // namespace td
