// The registry entries a scenario's machine would have, written through the
// program's registry seam: what the program's adapter-detail lookup reads.
#pragma once

#include <cstdint>

#include "bus/scenario.h"
#include "common/registry.h"

namespace td::sim {

// Writes, under HKEY_LOCAL_MACHINE, for every adapter of the scenario:
//
// platform 1 (Windows 95), adapter i:
//   System\CurrentControlSet\Services\Class\SCSIAdapter\<i as 0000>
//       "PortDriver"
//   Enum\PCI\<pci_key>\<pci_instance>          (only when the adapter is PCI)
//       "Class" = pci_class, "Driver" = "SCSIAdapter\<i as 0000>",
//       "Mfg", "HWRevision", "DeviceDesc"
//
// platform 2 (Windows NT), adapter with port n:
//   Hardware\DeviceMap\SCSI\Scsi Port <n>        "Driver" = miniport
//   System\CurrentControlSet\Enum\Root\LEGACY_<miniport>\0000
//       "Mfg", "DeviceDesc"
//
// Texts are stored as REG_SZ with their terminator. Answers false, having
// written what it could, when a key cannot be created or a value set, or
// when `platform` is neither 1 nor 2.
bool WriteScenarioRegistry(const Scenario& scenario, Registry& registry, std::int32_t platform);

}  // namespace td::sim
