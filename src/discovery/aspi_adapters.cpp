// The synchronous half of ASPI discovery: the support query, the host
// adapter inquiries and the adapters' places in the table and the tree.
#include <cstring>

#include "common/fixed_text.h"
#include "common/win_codes.h"
#include "discovery/adapter_details.h"
#include "discovery/aspi_discovery.h"
#include "inventory/adapter_names.h"
#include "resources/resource_ids.h"

namespace td {
namespace {

constexpr char kLeftOutIdentifier[] = "ESDI_506";

}  // namespace

std::uint32_t InquireAdapter(AspiLibrary& aspi, int aspi_number, HostAdapterRecord& record) {
    aspi::SrbHaInquiry srb{};
    srb.SRB_Cmd = aspi::kScHaInquiry;
    srb.SRB_HaId = static_cast<std::uint8_t>(aspi_number);
    // The library completes a host adapter inquiry before it returns.
    const std::uint32_t status = aspi.SendCommand(&srb);
    if (status != aspi::kSsComp) return status;
    CopyBytes(record.identifier, srb.HA_Identifier, sizeof srb.HA_Identifier);
    CopyBytes(record.manager_name, srb.HA_ManagerId, sizeof srb.HA_ManagerId);
    record.adapter_number = srb.SRB_HaId;
    record.own_scsi_id = srb.HA_SCSI_ID;
    return status;
}

bool AspiSupportUsable(std::uint8_t status) { return status == aspi::kSsComp || status == aspi::kSsNoAdapters; }

std::uint8_t EnumerateAspiAdapters(AspiDiscovery& discovery, bool read_details) {
    Inventory& inventory = discovery.inventory;
    const std::uint32_t info = discovery.aspi.GetSupportInfo();
    const std::uint8_t status = static_cast<std::uint8_t>(info >> 8);
    if (!AspiSupportUsable(status)) return status;

    // A library may manage more adapters than the table holds; the ones
    // past the eighth are not looked at. One that manages none says so
    // with SS_NO_ADAPTERS, whatever count goes with it.
    int reported = status == aspi::kSsNoAdapters ? 0 : static_cast<int>(info & 0xFF);
    if (reported > kMaxAdapters) reported = kMaxAdapters;

    // Each adapter's identity, asked from the highest number down. An
    // adapter whose inquiry fails told nothing: no identifier, no manager
    // and no own SCSI ID; nothing of an earlier scan is taken for it.
    HostAdapterRecord found[kMaxAdapters];
    for (int number = reported - 1; number >= 0; --number) {
        found[number] = inventory.adapters[number];
        if (InquireAdapter(discovery.aspi, number, found[number]) == aspi::kSsComp) continue;
        CopyText(found[number].identifier, "");
        CopyText(found[number].manager_name, "");
        found[number].own_scsi_id = kNoOwnScsiId;
    }

    // The adapters kept take the records from 0 on, in ASPI order, so that
    // the records in use, the tree and the slots have no gap where an
    // "ESDI_506" adapter was left out. The ASPI number goes with the record.
    int kept = 0;
    for (int number = 0; number < reported; ++number) {
        if (std::strstr(found[number].identifier, kLeftOutIdentifier) != nullptr) continue;
        HostAdapterRecord& record = inventory.adapters[kept];
        CopyText(record.identifier, found[number].identifier);
        CopyText(record.manager_name, found[number].manager_name);
        record.own_scsi_id = found[number].own_scsi_id;
        record.adapter_number = number;
        record.device_count = 0;
        ++kept;
    }
    inventory.adapter_count = kept;

    // The tree inserts each item as the first child of its root: walking
    // from the last record down shows the adapters in table order. The
    // registry is searched by the identifier the adapter told, before an
    // unnamed one is given its numbered name.
    for (int index = kept - 1; index >= 0; --index) {
        HostAdapterRecord& record = inventory.adapters[index];
        if (read_details) ReadWin95AdapterDetails(discovery.registry, record);
        NameUnnamedAdapter(record, discovery.texts);
        LabelAdapter(record, discovery.texts);
        record.tree_item = discovery.views.InsertAdapterItem(record.description, index);
    }
    return status;
}

AspiStartup DiscoverAspiAdapters(AspiDiscovery& discovery) {
    const std::uint8_t status = EnumerateAspiAdapters(discovery, true);
    if (AspiSupportUsable(status)) return AspiStartup::Enumerated;
    if (status == aspi::kSsFailedInit) {
        ShowMessage(discovery.messages, discovery.owner, IDS_ASPI_NOT_AVAILABLE, win::kMbIconError);
        return AspiStartup::NotAvailable;
    }
    ShowMessage(discovery.messages, discovery.owner, IDS_ASPI_UNKNOWN_ERROR, win::kMbIconError);
    return AspiStartup::Exit;
}

void StartAspiScan(AspiDiscovery& discovery) { ScanNextDevice(discovery); }

AspiRescan RescanAspi(AspiDiscovery& discovery, bool read_details) {
    ResetScanChain(discovery.chain);
    const std::uint8_t status = EnumerateAspiAdapters(discovery, read_details);
    AspiRescan result = AspiRescan::Scanning;
    if (!AspiSupportUsable(status)) {
        const int answer = ShowMessage(discovery.messages, 0, IDS_RESCAN_FAILED,
                                       win::kMbRetryCancel | win::kMbIconError);
        result = answer == win::kIdRetry ? AspiRescan::Retry : AspiRescan::Cancel;
    }
    // With no adapter counted the chain does not start.
    ScanNextDevice(discovery);
    return result;
}

}  // namespace td
