// The INQUIRY chain of ASPI discovery: one INQUIRY outstanding at a time,
// each completion stored on the window thread before the next is sent.
#include <atomic>
#include <cstring>

#include "common/fixed_text.h"
#include "discovery/aspi_discovery.h"
#include "discovery/inquiry_fields.h"
#include "scsi/aspi_commands.h"
#include "scsi/aspi_request.h"
#include "scsi/scsi_opcodes.h"

namespace td {
namespace {

// The chain OnInquiryComplete hands completions to. The library calls the
// post routine with nothing but the block, so this one program-wide
// pointer is how it finds the chain; ScanNextDevice sets it before each
// send, and the library's call comes after the send.
std::atomic<ScanChain*> g_scan_chain{nullptr};

constexpr char kNoDeviceProduct[] = "No Device";
constexpr std::uint8_t kInquiryCdbLength = 6;
constexpr int kHighestScsiId = 15;

int AdaptersInUse(const Inventory& inventory) {
    if (inventory.adapter_count < 0) return 0;
    return inventory.adapter_count > kMaxAdapters ? kMaxAdapters : inventory.adapter_count;
}

int HighestId(const Inventory& inventory) {
    return inventory.max_target_id > kHighestScsiId ? kHighestScsiId : inventory.max_target_id;
}

// Nothing answered at the ID, or the manager refused, aborted or failed
// the INQUIRY: whatever the buffer holds, its data become those of an
// empty ID.
void MarkEmptyId(const aspi::SrbExecScsiCmd& block, std::uint8_t* data) {
    if (InquiryFoundUnit(block, data)) return;
    std::memcpy(data + 16, kNoDeviceProduct, sizeof kNoDeviceProduct);
    data[8] = 0;                                  // no vendor
    data[32] = 0;                                 // no revision
    data[0] |= 0x1F;                              // type 31, no device
    data[1] &= static_cast<std::uint8_t>(~0x80);  // not removable
    data[2] &= static_cast<std::uint8_t>(~0x07);  // no version
    data[7] &= static_cast<std::uint8_t>(~0x10);  // not synchronous
}

enum class Send {
    Declined,  // nothing was sent
    Sent,      // the completion will come through OnScanStep (or already has)
    Finished,  // the library ended the request at once: store it now
};

Send SendInquiry(AspiDiscovery& discovery) {
    ScanChain& chain = discovery.chain;
    Inventory& inventory = discovery.inventory;
    if (chain.scan_busy != 0 || chain.stopped != 0) return Send::Declined;
    if (chain.scan_adapter >= AdaptersInUse(inventory)) return Send::Declined;
    if (chain.scan_target > HighestId(inventory)) return Send::Declined;
    if (inventory.scan_slot < 0 || inventory.scan_slot >= kMaxSlots) return Send::Declined;

    aspi::SrbExecScsiCmd& srb = discovery.exec_srb;
    ResetExecSrb(srb);
    std::memset(chain.inquiry_buffer, 0, sizeof chain.inquiry_buffer);
    srb.SRB_Cmd = aspi::kScExecScsiCmd;
    srb.SRB_HaId = static_cast<std::uint8_t>(inventory.adapters[chain.scan_adapter].adapter_number);
    srb.SRB_Flags = aspi::kSrbPosting;
    srb.SRB_Target = chain.scan_target;
    srb.SRB_Lun = 0;
    srb.SRB_BufLen = kScanInquiryLength;
    srb.SRB_BufPointer = chain.inquiry_buffer;
    srb.SRB_SenseLen = aspi::kSenseLength;
    srb.SRB_CDBLen = kInquiryCdbLength;
    srb.SRB_PostProc = reinterpret_cast<void*>(&OnInquiryComplete);
    srb.CDBByte[0] = kOpInquiry;
    srb.CDBByte[4] = static_cast<std::uint8_t>(kScanInquiryLength);

    chain.scan_busy = 1;
    chain.watch = 0;
    chain.sent_at = discovery.clock.Ticks();
    const std::uint32_t ticket = ++chain.sends;
    if (++chain.scan_target > HighestId(inventory)) {
        chain.scan_target = 0;
        ++chain.scan_adapter;
    }
    g_scan_chain.store(&chain, std::memory_order_release);

    const std::uint32_t answer = discovery.aspi.SendCommand(&srb);
    if ((answer & 0xFF) == aspi::kSsPending) return Send::Sent;
    // A library that completes and posts a request during the send has
    // already handed it over; the chain may even have moved on since.
    if (chain.sends != ticket || chain.scan_busy == 0) return Send::Sent;
    // Ended at once, with the answer's status whether or not the manager
    // wrote it into the block: no post routine call will come for it.
    EndedAtSend(srb.SRB_Status, answer);
    chain.scan_busy = 0;
    MarkEmptyId(srb, chain.inquiry_buffer);
    return Send::Finished;
}

// Stores a completion into slot scan_slot.
void StoreCompletion(AspiDiscovery& discovery, const aspi::SrbExecScsiCmd& block) {
    Inventory& inventory = discovery.inventory;
    const int index = inventory.scan_slot;
    if (index < 0 || index >= kMaxSlots) return;
    DeviceSlot& slot = inventory.slots[index];
    FillSlotFromInquiry(slot, discovery.texts, discovery.chain.inquiry_buffer, sizeof discovery.chain.inquiry_buffer);
    slot.target_id = block.SRB_Target;
    const int adapters = AdaptersInUse(inventory);
    for (int a = 0; a < adapters; ++a) {
        HostAdapterRecord& record = inventory.adapters[a];
        if (record.adapter_number != block.SRB_HaId) continue;
        slot.adapter_number = record.adapter_number;
        CopyText(slot.adapter_identifier, record.identifier);
        // Counted before the own-ID check: an adapter that answers INQUIRY
        // at its own ID counts itself.
        if (!TextEquals(slot.product, kNoDeviceProduct)) ++record.device_count;
        if (record.own_scsi_id == slot.target_id) {
            CopyText(slot.type_name, discovery.texts.host_adapter);
            CopyText(slot.product, record.identifier);
            CopyText(slot.vendor, record.manufacturer);
            CopyText(slot.revision, record.hw_revision);
        }
    }
    discovery.views.AssignDeviceImage(slot);
    if (inventory.slot_count < kMaxSlots) ++inventory.slot_count;
}

void FinishScan(AspiDiscovery& discovery) {
    discovery.inventory.scan_complete = 1;
    discovery.chain.scan_adapter = 0;
    discovery.chain.scan_target = 0;
    discovery.views.ShowFirstAdapter();
}

// Stores `block` and goes on: the next INQUIRY, or the end of the scan.
// Requests the library ends at once are stored here in turn, without
// recursion.
void ContinueChain(AspiDiscovery& discovery, const aspi::SrbExecScsiCmd* block) {
    ScanChain& chain = discovery.chain;
    Inventory& inventory = discovery.inventory;
    for (;;) {
        // No such adapter: nothing can be asked of it, so nothing is stored
        // and the scan ends. Any other ending fills the slot, an empty ID
        // unless a unit answered, and the scan goes on.
        const bool adapter_exists = block->SRB_Status != aspi::kSsInvalidHa;
        if (adapter_exists) StoreCompletion(discovery, *block);
        const bool more = adapter_exists && chain.scan_adapter < AdaptersInUse(inventory) &&
                          inventory.scan_slot + 1 < kMaxSlots;
        if (more) {
            ++inventory.scan_slot;
            const Send send = SendInquiry(discovery);
            if (send == Send::Sent) return;
            if (send == Send::Finished) {
                block = &discovery.exec_srb;
                continue;
            }
        }
        FinishScan(discovery);
        return;
    }
}

}  // namespace

void ResetScanChain(ScanChain& chain) {
    chain.scan_adapter = 0;
    chain.scan_target = 0;
    chain.stopped = 0;
    if (chain.scan_busy != 0) chain.discard_next = 1;
    chain.watch = 0;
}

void StopScanChain(ScanChain& chain) {
    chain.scan_adapter = 0;
    chain.scan_target = 0;
    chain.stopped = 1;
    if (chain.scan_busy != 0) chain.discard_next = 1;
}

void ScanNextDevice(AspiDiscovery& discovery) {
    if (SendInquiry(discovery) == Send::Finished) ContinueChain(discovery, &discovery.exec_srb);
}

bool WatchScan(AspiDiscovery& discovery) {
    ScanChain& chain = discovery.chain;
    if (chain.scan_busy == 0) return false;
    const std::uint32_t now = discovery.clock.Ticks();
    if (chain.watch == 2 || static_cast<std::uint32_t>(now - chain.sent_at) < kInquiryTimeLimitMs) return true;
    if (chain.watch == 0) {
        aspi::SrbAbort& abort_srb = chain.abort_srb;
        std::memset(&abort_srb, 0, sizeof abort_srb);
        abort_srb.SRB_Cmd = aspi::kScAbortSrb;
        abort_srb.SRB_HaId = discovery.exec_srb.SRB_HaId;
        abort_srb.SRB_ToAbort = &discovery.exec_srb;
        chain.watch = 1;
        chain.sent_at = now;
        EndedAtSend(abort_srb.SRB_Status, discovery.aspi.SendCommand(&abort_srb));
        return chain.scan_busy != 0;
    }
    chain.watch = 2;
    chain.stopped = 1;
    chain.discard_next = 1;
    if (discovery.inventory.scan_complete == 0) FinishScan(discovery);
    return true;
}

void OnInquiryComplete(aspi::SrbExecScsiCmd* block) {
    ScanChain* chain = g_scan_chain.load(std::memory_order_acquire);
    if (chain == nullptr || block == nullptr) return;
    // Until the hand-over returns, the INQUIRY data are this request's alone.
    MarkEmptyId(*block, chain->inquiry_buffer);
    if (chain->hand_over != nullptr) chain->hand_over->Deliver(block);
}

void OnScanStep(AspiDiscovery& discovery, aspi::SrbExecScsiCmd* block) {
    ScanChain& chain = discovery.chain;
    if (chain.scan_busy == 0 || block == nullptr) return;
    chain.scan_busy = 0;
    if (chain.discard_next != 0) {
        // The completion of a scan that a re-scan replaced: its slot and
        // counts are gone. The new scan could not start while it was
        // outstanding; it starts now.
        chain.discard_next = 0;
        ScanNextDevice(discovery);
        return;
    }
    ContinueChain(discovery, block);
}

}  // namespace td
