#include "scsi/status_names.h"

#include <cstddef>

namespace td {
namespace {

struct StatusName {
    std::uint8_t value;
    const char* name;
};

// SRB_Status of ASPI for Win32 (SS_PENDING, SS_COMP, ... SS_BAD_INSTALL).
constexpr StatusName kAspiRequestStatus[] = {
    {0x00, "PENDING"},
    {0x01, "COMPLETED"},
    {0x02, "ABORTED"},
    {0x03, "ABORT FAILED"},
    {0x04, "ERROR"},
    {0x80, "INVALID COMMAND"},
    {0x81, "INVALID HOST ADAPTER"},
    {0x82, "NO DEVICE"},
    {0xE0, "INVALID REQUEST BLOCK"},
    {0xE1, "OLD MANAGER"},
    {0xE2, "ILLEGAL MODE"},
    {0xE3, "NO ASPI"},
    {0xE4, "INITIALIZATION FAILED"},
    {0xE5, "ASPI IS BUSY"},
    {0xE6, "BUFFER TOO BIG"},
    {0xE7, "MISMATCHED COMPONENTS"},
    {0xE8, "NO ADAPTERS"},
    {0xE9, "INSUFFICIENT RESOURCES"},
    {0xEA, "ASPI IS SHUT DOWN"},
    {0xEB, "BAD INSTALLATION"},
};

// SRB_HaStat of ASPI for Win32 (HASTAT_TIMEOUT ... HASTAT_PHASE_ERR): what
// the host adapter saw on the bus.
constexpr StatusName kHostAdapterStatus[] = {
    {0x00, "OK"},
    {0x09, "TIMEOUT"},
    {0x0B, "COMMAND TIMEOUT"},
    {0x0D, "MESSAGE REJECT"},
    {0x0E, "BUS RESET"},
    {0x0F, "PARITY ERROR"},
    {0x10, "REQUEST SENSE FAILED"},
    {0x11, "SELECTION TIMEOUT"},
    {0x12, "DATA OVERRUN OR UNDERRUN"},
    {0x13, "UNEXPECTED BUS FREE"},
    {0x14, "BUS PHASE SEQUENCE FAILURE"},
};

// The SCSI status byte the target answered with.
constexpr StatusName kScsiStatus[] = {
    {0x00, "GOOD"},
    {0x02, "CHECK CONDITION"},
    {0x04, "CONDITION MET"},
    {0x08, "BUSY"},
    {0x10, "INTERMEDIATE"},
    {0x14, "INTERMEDIATE-CONDITION MET"},
    {0x18, "RESERVATION CONFLICT"},
    {0x22, "COMMAND TERMINATED"},
    {0x28, "TASK SET FULL"},
    {0x30, "ACA ACTIVE"},
    {0x40, "TASK ABORTED"},
};

template <std::size_t N>
const char* Find(const StatusName (&table)[N], std::uint8_t value) {
    for (const StatusName& entry : table) {
        if (entry.value == value) return entry.name;
    }
    return nullptr;
}

}  // namespace

const char* AspiRequestStatusName(std::uint8_t srb_status) { return Find(kAspiRequestStatus, srb_status); }

const char* HostAdapterStatusName(std::uint8_t ha_stat) { return Find(kHostAdapterStatus, ha_stat); }

const char* ScsiStatusName(std::uint8_t status) { return Find(kScsiStatus, status); }

}  // namespace td
