// What a running program holds, as the soak reports it: its GDI and USER
// objects, its kernel handles and its memory.
//
// Wine 8 answers GetGuiResources with 0 and GetProcessHandleCount with 0,
// so the figures are counted where they can be seen:
// - GDI and USER objects, private bytes and heap blocks inside the program,
//   by the probe (see tools/winauto/probe_protocol.h, ResourceRecord);
// - kernel handles from outside, from the wineserver's list of every
//   handle of every process (NtQuerySystemInformation,
//   SystemHandleInformation), the entries owned by the program;
// - the working set from outside (GetProcessMemoryInfo; under Wine the
//   Linux process's resident memory).
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "probe.h"
#include "support/program_session.h"

namespace td::soak {

struct Figures {
    autom::ProcessResources inside{};
    std::uint32_t kernel_handles = 0;
    std::uint64_t working_set = 0;  // bytes

    std::uint32_t user_objects() const {
        return inside.windows + inside.menus + inside.cursors_icons + inside.accelerator_tables;
    }
};

// Counts now; nothing (with the reason in `error`) when some count could
// not be taken.
std::optional<Figures> Measure(e2e::ProgramSession& program, std::string& error);

// The handles the process `pid` holds, as the wineserver lists them.
std::optional<std::uint32_t> KernelHandleCount(DWORD pid);

// One handle of another process: its value, the kind of object and the
// object's name, where it has one ("\\REGISTRY\\USER\\...", a file's path).
struct KernelHandle {
    std::uint32_t value = 0;
    std::string kind;
    std::string name;
};
// Every handle of the process, read through a duplicate of each.
std::vector<KernelHandle> KernelHandles(DWORD pid);

// The names of the GDI object kinds (OBJ_PEN 1 ... OBJ_COLORSPACE 14).
const char* GdiKindName(int kind);

}  // namespace td::soak
