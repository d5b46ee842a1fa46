#include "discovery/drive_table.h"

#include <cstring>

#include "common/fixed_text.h"
#include "common/number_text.h"
#include "common/win_codes.h"
#include "scsi/nt_layout.h"

namespace td {
namespace {

constexpr int kFirstLetter = 2;  // C: (A: and B: are floppies, never SCSI)
constexpr int kClassDeviceNumbers = 64;

// Asks an open device for its SCSI address. The answer counts only when
// the whole SCSI_ADDRESS came back.
bool QueryAddress(DeviceIo& io, DeviceHandle device, nt::ScsiAddress& address) {
    std::uint8_t buffer[nt::kAddressBufferSize] = {};
    std::uint32_t returned = 0;
    if (!io.Control(device, nt::kIoctlScsiGetAddress, nullptr, 0, buffer, sizeof buffer, &returned)) {
        return false;
    }
    if (returned < sizeof address) return false;
    std::memcpy(&address, buffer, sizeof address);
    return true;
}

}  // namespace

void BuildDriveTable(DeviceIo& io, DriveTable& table) {
    const std::uint32_t mask = io.LogicalDrives();
    if (mask == 0) return;
    table.count = 0;
    for (int bit = kFirstLetter; bit < kFirstLetter + kDriveTableSize; ++bit) {
        if ((mask & (1u << bit)) == 0) continue;
        DriveEntry& entry = table.entries[table.count];
        const char name[3] = {static_cast<char>('A' + bit), ':', '\0'};
        CopyText(entry.name, name);
        const char root[4] = {name[0], ':', '\\', '\0'};
        std::uint32_t access = 0;
        std::uint32_t share = 0;
        switch (io.DriveType(root)) {
            case win::kDriveFixed:
            case win::kDriveRemovable:
                access = win::kGenericReadWrite;
                share = win::kFileShareReadWrite;
                break;
            case win::kDriveCdrom:
                access = win::kGenericRead;
                share = win::kFileShareRead;
                break;
            default:
                // Network drives, RAM disks and the like are not on SCSI.
                CopyText(entry.name, "");
                entry.port_number = 0;
                continue;
        }
        char device_name[8] = "\\\\.\\";
        AppendText(device_name, name);
        const DeviceHandle device = io.Open(device_name, access, share);
        if (device == 0) continue;  // the next drive takes this entry
        nt::ScsiAddress address{};
        const bool known = QueryAddress(io, device, address);
        io.Close(device);
        if (!known) continue;
        entry.port_number = address.PortNumber;
        entry.path_id = address.PathId;
        entry.target_id = address.TargetId;
        entry.lun = address.Lun;
        ++table.count;
    }
}

const char* LookupDrive(const DriveTable& table, int port_number, int bus, int target_id) {
    const int count = table.count < 0 ? 0 : (table.count > kDriveTableSize ? kDriveTableSize : table.count);
    for (int i = 0; i < count; ++i) {
        const DriveEntry& entry = table.entries[i];
        if (entry.port_number == port_number && entry.path_id == bus && entry.target_id == target_id) {
            return entry.name;
        }
    }
    return nullptr;
}

bool FindClassDevice(DeviceIo& io, ClassDeviceKind kind, int port_number, int bus, int target_id,
                     ClassDeviceName& name) {
    const char* word = kind == ClassDeviceKind::Scanner ? "Scanner" : "Tape";
    for (int k = 0; k < kClassDeviceNumbers; ++k) {
        ClassDeviceName candidate;
        CopyText(candidate, word);
        AppendDecimal(candidate, k);
        char device_name[sizeof candidate + 4] = "\\\\.\\";
        AppendText(device_name, candidate);
        const DeviceHandle device = io.Open(device_name, win::kGenericReadWrite, win::kFileShareReadWrite);
        if (device == 0) continue;
        nt::ScsiAddress address{};
        const bool known = QueryAddress(io, device, address);
        io.Close(device);
        if (known && address.PortNumber == port_number && address.PathId == bus && address.TargetId == target_id) {
            CopyText(name, candidate);
            return true;
        }
    }
    return false;
}

}  // namespace td
