// Fuzzing discovery through ASPI as it stores what the library answers:
// the support information, every host adapter inquiry (HA_SCSI_ID,
// HA_ManagerId and HA_Identifier, 16 bytes each with or without a NUL), and
// every INQUIRY of the scan chain (its final status, adapter status and up
// to 96 bytes of INQUIRY data), answered at once, posted during the send or
// posted later, or never; with a re-scan or an opened listing stopping the
// chain midway. Also the storing of INQUIRY data of any length into a slot.
//
// Input, in this order:
//   1 byte    settings: bit 0 the wide-bus option (IDs 0 to 15);
//             bit 1 a re-scan, bit 2 an opened listing (the chain
//             stopped), after the number of hand-overs in the next byte
//   1 byte    that number
//   counted   INQUIRY data stored into a slot on its own (any length)
//   then the library's answers, read as it is asked:
//   GetASPI32SupportInfo  4 bytes, little-endian
//   host adapter inquiry  1 byte status; on SS_COMP 1 byte HA_SCSI_ID,
//                         16 bytes HA_ManagerId, 16 bytes HA_Identifier
//   INQUIRY               1 byte when: bits 0-1 0 ended at once (no post),
//                         1 posted during the send, 2 posted later, 3 never;
//                         bit 2 the send answers the final status (else
//                         SS_PENDING); then 1 byte SRB_Status, 1 byte
//                         SRB_HaStat and counted INQUIRY data
//
// Checked on every input:
// - the library never has two INQUIRYs outstanding, never gets a block it
//   already holds, and is never promised more than the 96-byte buffer;
// - the counts stay within the tables; every text field is terminated;
//   identifiers and manager names hold at most the 16 bytes of their field,
//   and no adapter kept is an "ESDI_506" one;
// - every stored slot sits at its adapter's index x IDs per adapter + its
//   SCSI ID, belongs to an adapter in use, has a type name and a product of
//   at most 16 characters, a vendor of 7 and a revision of 4; an adapter
//   counts no more devices than it has slots;
// - a finished scan refreshed the views; a scan still running has an
//   INQUIRY outstanding that the library never ends;
// - a slot filled from INQUIRY data of any length reads nothing past it.
#include <cstdint>
#include <cstring>
#include <deque>
#include <memory>
#include <vector>

#include "discovery/aspi_discovery.h"
#include "discovery/inquiry_fields.h"
#include "fuzz_checks.h"
#include "fuzz_input.h"
#include "inventory_checks.h"
#include "support/fake_clock.h"
#include "support/memory_registry.h"
#include "support/recording_views.h"
#include "support/scripted_messages.h"

namespace {

using namespace td;
using fuzz::InputReader;
using fuzz::Require;
using fuzz::RequireAtMost;
using fuzz::RequireInventoryTerminated;
using fuzz::RequireTerminated;

class FuzzAspi final : public AspiLibrary {
public:
    explicit FuzzAspi(InputReader& input) : input_(input) {}

    std::uint32_t GetSupportInfo() override { return input_.Word32(); }

    std::uint32_t SendCommand(void* block) override {
        const std::uint8_t command = static_cast<const aspi::SrbHeader*>(block)->SRB_Cmd;
        if (command == aspi::kScHaInquiry) return AdapterInquiry(*static_cast<aspi::SrbHaInquiry*>(block));
        Require(command == aspi::kScExecScsiCmd, "a command of another kind was sent");
        auto& srb = *static_cast<aspi::SrbExecScsiCmd*>(block);
        Require(outstanding_ == nullptr, "a second INQUIRY while one is outstanding");
        Require(srb.SRB_BufPointer == buffer_ && srb.SRB_BufLen <= kScanInquiryLength,
                "an INQUIRY that promises more than the chain's buffer");
        Require(srb.CDBByte[0] == 0x12 && srb.CDBByte[4] <= srb.SRB_BufLen,
                "an INQUIRY allocation length past its buffer");

        const std::uint8_t when = input_.Byte();
        const std::uint8_t status = input_.Byte();
        const std::uint8_t ha_stat = input_.Byte();
        const std::vector<std::uint8_t> data = input_.Counted();
        const std::size_t n = data.size() < srb.SRB_BufLen ? data.size() : srb.SRB_BufLen;
        const bool answers_final = (when & 0x04) != 0;

        switch (when & 0x03) {
            case 0:                                     // ended at once: no post routine call follows
                if (status == aspi::kSsPending) break;  // a pending answer is a request that never ends
                Complete(srb, status, ha_stat, data.data(), n);
                return srb.SRB_Status;
            case 1: {  // completed and posted before the send returns
                Complete(srb, status, ha_stat, data.data(), n);
                outstanding_ = &srb;
                Post();
                return answers_final ? srb.SRB_Status : aspi::kSsPending;
            }
            case 2:  // posted later
                srb.SRB_Status = aspi::kSsPending;
                outstanding_ = &srb;
                later_ = {status, ha_stat, std::vector<std::uint8_t>(data.begin(), data.begin() + n)};
                return aspi::kSsPending;
            default:
                break;
        }
        // Never ends.
        srb.SRB_Status = aspi::kSsPending;
        outstanding_ = &srb;
        never_ = true;
        return aspi::kSsPending;
    }

    // Completes and posts the request waiting to be posted later; false
    // when there is none.
    bool PostLater() {
        if (outstanding_ == nullptr || never_) return false;
        Complete(*outstanding_, later_.status, later_.ha_stat, later_.data.data(), later_.data.size());
        Post();
        return true;
    }

    bool never_ends() const { return never_; }
    void set_buffer(const std::uint8_t* buffer) { buffer_ = buffer; }

private:
    struct Later {
        std::uint8_t status = 0, ha_stat = 0;
        std::vector<std::uint8_t> data;
    };

    std::uint32_t AdapterInquiry(aspi::SrbHaInquiry& srb) {
        const std::uint8_t status = input_.Byte();
        if (status == aspi::kSsComp) {
            srb.HA_SCSI_ID = input_.Byte();
            const std::vector<std::uint8_t> manager = input_.Bytes(sizeof srb.HA_ManagerId);
            const std::vector<std::uint8_t> identifier = input_.Bytes(sizeof srb.HA_Identifier);
            if (!manager.empty()) std::memcpy(srb.HA_ManagerId, manager.data(), manager.size());
            if (!identifier.empty()) std::memcpy(srb.HA_Identifier, identifier.data(), identifier.size());
        }
        srb.SRB_Status = status;
        return status;
    }

    static void Complete(aspi::SrbExecScsiCmd& srb, std::uint8_t status, std::uint8_t ha_stat, const std::uint8_t* data,
                         std::size_t n) {
        if (n > 0) std::memcpy(srb.SRB_BufPointer, data, n);
        srb.SRB_HaStat = ha_stat;
        srb.SRB_Status = status;
    }

    // The post routine, called once, with the block no longer the library's.
    void Post() {
        aspi::SrbExecScsiCmd* srb = outstanding_;
        outstanding_ = nullptr;
        reinterpret_cast<aspi::PostProc>(srb->SRB_PostProc)(srb);
    }

    InputReader& input_;
    const std::uint8_t* buffer_ = nullptr;
    aspi::SrbExecScsiCmd* outstanding_ = nullptr;
    Later later_;
    bool never_ = false;
};

// SendMessageA: the window thread stores the completion before the post
// routine returns.
class DirectHandOver final : public ScanHandOver {
public:
    void Deliver(aspi::SrbExecScsiCmd* block) override {
        ++delivered;
        OnScanStep(*discovery, block);
    }
    AspiDiscovery* discovery = nullptr;
    int delivered = 0;
};

void CheckInquiryFields(const std::vector<std::uint8_t>& inquiry) {
    const fuzz::ExactBlock copy(inquiry);
    DeviceSlot slot;
    std::memset(&slot, 'z', sizeof slot);
    FillSlotFromInquiry(slot, test::EnglishSharedTexts(), copy.data(), copy.size());
    RequireAtMost(slot.vendor, 7, "a vendor past its 7 characters");
    RequireAtMost(slot.product, 16, "a product past its INQUIRY field");
    RequireAtMost(slot.revision, 4, "a revision past its INQUIRY field");
    RequireTerminated(slot.type_name);
    Require(slot.type_name[0] != '\0', "a slot without a type name");
    Require(slot.scsi_version >= 0 && slot.scsi_version <= 7, "a version outside 0 to 7");
    Require(inquiry.size() > 7 || (slot.synchronous == 0 && slot.wide16 == 0 && slot.wide32 == 0),
            "flags from bytes the answer did not hold");
}

void CheckInventory(const Inventory& inventory, const test::RecordingViews& views, const FuzzAspi& library,
                    const ScanChain& chain) {
    Require(inventory.adapter_count >= 0 && inventory.adapter_count <= kMaxAdapters, "adapter count out of bounds");
    Require(inventory.slot_count >= 0 && inventory.slot_count <= kMaxSlots, "slot count out of bounds");
    Require(inventory.scan_slot >= 0 && inventory.scan_slot < kMaxSlots, "scan slot out of bounds");
    RequireInventoryTerminated(inventory);
    for (const HostAdapterRecord& record : inventory.adapters) {
        RequireAtMost(record.identifier, 16, "an identifier past its 16 bytes");
        RequireAtMost(record.manager_name, 16, "a manager name past its 16 bytes");
    }
    const int ids = IdsPerAdapter(inventory);
    for (int a = 0; a < inventory.adapter_count; ++a) {
        const HostAdapterRecord& record = inventory.adapters[a];
        Require(std::strstr(record.identifier, "ESDI_506") == nullptr, "an ESDI_506 adapter kept");
        Require(a == 0 || record.adapter_number > inventory.adapters[a - 1].adapter_number,
                "adapters out of their ASPI order");
        int slots = 0;
        for (int s = 0; s < inventory.slot_count; ++s) {
            if (inventory.slots[s].adapter_number == record.adapter_number) ++slots;
        }
        Require(record.device_count >= 0 && record.device_count <= slots,
                "an adapter counts devices it has no slot for");
    }
    for (int s = 0; s < inventory.slot_count; ++s) {
        const DeviceSlot& slot = inventory.slots[s];
        int index = -1;
        for (int a = 0; a < inventory.adapter_count; ++a) {
            if (inventory.adapters[a].adapter_number == slot.adapter_number) index = a;
        }
        Require(index >= 0, "a slot tied to no adapter in use");
        Require(s == index * ids + slot.target_id, "a slot away from its place");
        Require(slot.type_name[0] != '\0', "a stored slot without a type name");
        RequireAtMost(slot.product, 16, "a product past its INQUIRY field");
        RequireAtMost(slot.vendor, 7, "a vendor past its 7 characters");
        RequireAtMost(slot.revision, 4, "a revision past 4 characters");
    }
    if (inventory.scan_complete == 1)
        Require(views.first_adapter_shown > 0, "a finished scan without the views' refresh");
    if (chain.scan_busy != 0) Require(library.never_ends(), "the chain waits for an INQUIRY that has ended");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static test::ScriptedMessages messages;
    messages.Clear();
    InputReader input(data, size);
    const std::uint8_t settings = input.Byte();
    const int interrupt_after = input.Byte();
    CheckInquiryFields(input.Counted());

    auto inventory = std::make_unique<Inventory>();
    std::memset(inventory.get(), 0, sizeof *inventory);
    inventory->platform = kPlatformWin95;
    inventory->max_target_id = (settings & 0x01) != 0 ? kMaxTargetIdWide : kMaxTargetIdNarrow;
    auto exec_srb = std::make_unique<aspi::SrbExecScsiCmd>();
    std::memset(exec_srb.get(), 0, sizeof *exec_srb);
    auto chain = std::make_unique<ScanChain>();
    std::memset(chain.get(), 0, sizeof *chain);
    test::MemoryRegistry registry;
    test::RecordingViews views(&test::EnglishSharedTexts());
    FuzzAspi library(input);
    library.set_buffer(chain->inquiry_buffer);
    DirectHandOver hand_over;
    chain->hand_over = &hand_over;
    test::FakeClock clock;
    AspiDiscovery discovery{
        *inventory, test::EnglishSharedTexts(), registry, messages, views, library, *exec_srb, *chain, 0x1234, clock};
    hand_over.discovery = &discovery;

    if (DiscoverAspiAdapters(discovery) == AspiStartup::Enumerated) StartAspiScan(discovery);
    bool interrupted = (settings & 0x06) == 0;
    for (int step = 0; step < 4 * kMaxSlots; ++step) {
        if (!interrupted && hand_over.delivered >= interrupt_after) {
            interrupted = true;
            if ((settings & 0x02) != 0) {
                ResetForRescan(*inventory);
                views.Reset();
                RescanAspi(discovery);
            } else {
                StopScanChain(*chain);
            }
        }
        if (!library.PostLater()) break;
    }
    Require(!library.PostLater(), "the chain goes on past all its slots");
    CheckInventory(*inventory, views, library, *chain);
    return 0;
}
