// The port-by-port scan of NT discovery and the start-up and re-scan that
// run it.
#include <cstring>

#include "common/fixed_text.h"
#include "common/number_text.h"
#include "common/win_codes.h"
#include "discovery/adapter_details.h"
#include "discovery/nt_discovery.h"
#include "discovery/nt_inquiry_data.h"
#include "inventory/adapter_names.h"

namespace td {

bool ScanScsiPorts(NtDiscovery& discovery) {
    Inventory& inventory = discovery.inventory;
    DeviceIo& io = discovery.device_io;
    NtScanArea& area = discovery.area;
    inventory.slot_count = 0;
    for (int n = 0; n < kNtPorts; ++n) {
        char name[16] = "\\\\.\\SCSI";
        AppendDecimal(name, n);
        AppendText(name, ":");
        const DeviceHandle port = io.Open(name, win::kGenericReadWrite, win::kFileShareReadWrite);
        // Ports are numbered from 0 without gaps: the first missing one ends the list.
        if (port == 0) return false;

        inventory.adapter_count = n + 1;
        HostAdapterRecord& record = inventory.adapters[n];
        record.adapter_number = n;
        CopyText(record.manager_name, "Scsi Port ");
        AppendDecimal(record.manager_name, n);
        ReadNtAdapterDetails(discovery.registry, record);
        NameUnnamedAdapter(record, discovery.texts);
        LabelAdapter(record, discovery.texts);

        // Cleared first, so nothing of the previous port can be read as this
        // one's, and the entries may be read past a byte count the driver
        // under-reports (Wine's does) without reading anything it did not write.
        std::memset(area.port_buffer, 0, sizeof area.port_buffer);
        std::uint32_t returned = 0;
        const bool read = io.Control(port, nt::kIoctlScsiGetInquiryData, nullptr, 0, area.port_buffer,
                                     sizeof area.port_buffer, &returned);
        const std::uint32_t length = returned < sizeof area.port_buffer ? returned : sizeof area.port_buffer;
        PortBuses buses{};
        if (!read || !ReadPortBuses(area.port_buffer, length, buses)) {
            io.Close(port);
            return false;
        }
        record.own_scsi_id = buses.first_bus_initiator;
        record.device_count = buses.first_bus_units;
        record.bus_count = buses.reported_buses;

        CollectInquiryEntries(discovery, area.port_buffer, length, sizeof area.port_buffer, n);
        PlaceAdapterSlots(discovery, n);
        for (int t = 0; t < IdsPerAdapter(inventory); ++t) {
            const int index = SlotIndex(inventory, n, t);
            if (index >= 0) discovery.views.AssignDeviceImage(inventory.slots[index]);
        }
        io.Close(port);
    }
    return true;
}

void DiscoverNtInventory(NtDiscovery& discovery) {
    Inventory& inventory = discovery.inventory;
    ScanScsiPorts(discovery);  // whether every port number was used changes nothing here
    const int adapters = inventory.adapter_count > kMaxAdapters ? kMaxAdapters : inventory.adapter_count;
    for (int i = 0; i < adapters; ++i) {
        HostAdapterRecord& record = inventory.adapters[i];
        record.tree_item = discovery.views.InsertAdapterItem(record.description, i);
    }
    discovery.views.ShowFirstAdapter();
    inventory.scan_complete = 1;
}

}  // namespace td
