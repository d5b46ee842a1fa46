// Drive letters and class devices of SCSI units on Windows NT.
//
// A unit that a class driver owns is opened through the class driver's
// device, not through the port: a disk, WORM, optical or CD-ROM unit by
// the drive letter of a volume on it, a scanner or tape by its numbered
// class device. Both are found by asking every candidate for its SCSI
// address (IOCTL_SCSI_GET_ADDRESS) and matching port, bus and target. Names
// are handed back without the "\\.\" prefix: "C:", "Scanner0", "Tape3".
// Nothing here is reported to the user: a name that is not found is none.
#pragma once

#include <cstdint>

#include "common/device_io.h"

namespace td {

// One entry per drive letter from C: to Z:, so every letter a machine can
// have fits; all of them are examined.
constexpr int kDriveTableSize = 24;

struct DriveEntry {
    char name[4];  // the letter and a colon, as C:
    std::int32_t port_number;
    std::int32_t path_id;  // the bus
    std::int32_t target_id;
    std::int32_t lun;  // kept, not compared
};

struct DriveTable {
    DriveEntry entries[kDriveTableSize];
    std::int32_t count;  // entries filled by the latest build
};

// Fills the table from the machine's drives: for each letter from C: to Z:
// that GetLogicalDrives reports, fixed and removable drives are opened for
// reading and writing, CD-ROM drives for reading only (read sharing), and
// asked for their address; an entry is counted only when that succeeds.
// Other drive types (network, RAM disk, unknown), drives that do not open
// and drives whose query fails take no entry. When no drive at all is
// reported the previous build stays in force.
void BuildDriveTable(DeviceIo& io, DriveTable& table);

// The name of the first entry whose port, bus and target match, or nullptr.
const char* LookupDrive(const DriveTable& table, int port_number, int bus, int target_id);

enum class ClassDeviceKind { Scanner, Tape };

// The longest class device name: "Scanner63".
using ClassDeviceName = char[12];

// Tries "\\.\Scanner0" to "\\.\Scanner63" (or "\\.\Tape<k>") in turn; a
// number that does not exist does not end the search. Answers true with the
// name of the first whose address matches port, bus and target.
bool FindClassDevice(DeviceIo& io, ClassDeviceKind kind, int port_number, int bus, int target_id,
                     ClassDeviceName& name);

}  // namespace td
