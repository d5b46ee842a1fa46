// The units of one port, read from its inquiry data, with the name each is
// opened by.
#include <cstring>

#include "common/fixed_text.h"
#include "common/number_text.h"
#include "common/win_codes.h"
#include "discovery/nt_discovery.h"
#include "discovery/nt_inquiry_data.h"

namespace td {
namespace {

enum : int {
    kTypeDisk = 0,
    kTypeTape = 1,
    kTypeProcessor = 3,
    kTypeWorm = 4,
    kTypeCdRom = 5,
    kTypeScanner = 6,
    kTypeOptical = 7,
    kTypeChanger = 8,
};

void SetPath(DeviceSlot& entry, const char* path, std::uint32_t access, std::uint32_t share) {
    CopyText(entry.device_path, path, kDevicePathMaxChars);
    entry.access_mode = access;
    entry.share_mode = share;
}

// A claimed unit whose drive or class device was not found is reached
// through its port, as an unclaimed unit is. Wine gives each Linux device a
// port of its own and numbers its drives' addresses otherwise (port channel
// + 2, path the Linux host), so no drive matches there, while the port
// passes the commands on. A port driver that refuses pass-through to a
// claimed unit, as NT's does, fails the test with the system's words for it.
void SetDrive(DeviceSlot& entry, const char* drive, std::uint32_t access, std::uint32_t share, const char* port_path) {
    if (drive != nullptr && drive[0] != '\0') {
        SetPath(entry, drive, access, share);
    } else {
        SetPath(entry, port_path, win::kGenericReadWrite, win::kFileShareReadWrite);
    }
}

void SetClassDevice(NtDiscovery& discovery, DeviceSlot& entry, ClassDeviceKind kind, int port, const char* port_path) {
    ClassDeviceName name;
    if (FindClassDevice(discovery.device_io, kind, port, entry.bus_number, entry.target_id, name)) {
        SetPath(entry, name, win::kGenericReadWrite, win::kFileShareReadWrite);
    } else {
        SetPath(entry, port_path, win::kGenericReadWrite, win::kFileShareReadWrite);
    }
}

}  // namespace

void CollectInquiryEntries(NtDiscovery& discovery, const std::uint8_t* answer, std::uint32_t length,
                           std::uint32_t cleared, int adapter_index) {
    NtScanArea& area = discovery.area;
    area.entry_count = 0;
    if (adapter_index < 0 || adapter_index >= kMaxAdapters) return;
    const HostAdapterRecord& record = discovery.inventory.adapters[adapter_index];
    const int port = adapter_index;
    BuildDriveTable(discovery.device_io, area.drive_table);

    char port_path[16] = "SCSI";
    AppendDecimal(port_path, port);
    AppendText(port_path, ":");

    InquiryDataWalk walk(answer, length, kInquiryEntries, cleared);
    InquiryUnit unit;
    while (area.entry_count < kInquiryEntries && walk.Next(unit)) {
        DeviceSlot& entry = area.inquiry_entries[area.entry_count++];
        entry = DeviceSlot{};
        CopyText(entry.adapter_identifier, record.identifier);
        entry.adapter_number = adapter_index;
        entry.bus_number = unit.bus;
        entry.target_id = unit.target_id;
        entry.lun = unit.lun;
        FillSlotFromInquiry(entry, discovery.texts, unit.inquiry, unit.inquiry_length);

        if (!unit.claimed) {
            SetPath(entry, port_path, win::kGenericReadWrite, win::kFileShareReadWrite);
            continue;
        }
        switch (unit.inquiry[0] & 0x1F) {
            case kTypeDisk:
            case kTypeWorm:
            case kTypeOptical:
                SetDrive(entry, LookupDrive(area.drive_table, port, unit.bus, unit.target_id), win::kGenericReadWrite,
                         win::kFileShareReadWrite, port_path);
                break;
            case kTypeCdRom:
            case kTypeChanger:
                SetDrive(entry, LookupDrive(area.drive_table, port, unit.bus, unit.target_id), win::kGenericRead,
                         win::kFileShareRead, port_path);
                break;
            case kTypeProcessor:
                // Some makers' scanners answer as processor devices.
                if (std::strstr(entry.vendor, "HP") != nullptr) {
                    SetClassDevice(discovery, entry, ClassDeviceKind::Scanner, port, port_path);
                }
                break;
            case kTypeScanner:
                SetClassDevice(discovery, entry, ClassDeviceKind::Scanner, port, port_path);
                break;
            case kTypeTape:
                SetClassDevice(discovery, entry, ClassDeviceKind::Tape, port, port_path);
                break;
            default:
                break;
        }
    }
}

}  // namespace td
