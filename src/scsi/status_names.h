// The published names of the status values a failed request can end with,
// for explanations of failures that bring no sense data: the ASPI request
// status, the host adapter status and the SCSI status byte. They are the
// interfaces' own English terms, shown as they are in every language.
#pragma once

#include <cstdint>

namespace td {

// Each answers nullptr for a value its interface does not define.
const char* AspiRequestStatusName(std::uint8_t srb_status);
const char* HostAdapterStatusName(std::uint8_t ha_stat);
const char* ScsiStatusName(std::uint8_t status);

}  // namespace td
