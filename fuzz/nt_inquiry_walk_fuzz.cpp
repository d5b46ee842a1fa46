// Fuzzing the walk over a port's inquiry data (IOCTL_SCSI_GET_INQUIRY_DATA)
// and NT discovery built on it.
//
// Input: one byte of settings, then the port's answer as the driver would
// return it.
//   settings bit 0      the wide-bus option (IDs 0 to 15)
//   settings bits 1-3   how many ports answer (1 to 7; each the same bytes)
//   settings bit 4      the driver reports 2048 bytes whatever it returned
//   settings bit 5      the driver reports at most 36 bytes, as Wine's does
//                       (bit 4 wins)
// Checked on every input:
// - the walk reads nothing outside the answer: it runs over libFuzzer's own
//   block of exactly that size, so the address sanitizer stops any read
//   past it, also when told the count is smaller than that block; it
//   yields at most 128 units, from buses the answer holds, with at most 36
//   INQUIRY bytes each, and it ends;
// - the port scan keeps every table within its bounds: at most 7 adapters,
//   64 slots and 128 entries, every slot in use tied to an adapter in use,
//   every text field terminated, every adapter's device count within its
//   block, and every port it opened closed again.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "common/fixed_text.h"
#include "common/shared_texts.h"
#include "common/win_codes.h"
#include "discovery/nt_discovery.h"
#include "discovery/nt_inquiry_data.h"
#include "fuzz_checks.h"
#include "inventory/inventory_views.h"
#include "inventory_checks.h"
#include "scsi/nt_layout.h"
#include "support/scripted_messages.h"

namespace {

using namespace td;
using fuzz::Require;
using fuzz::RequireInventoryTerminated;

// Ports answering the fuzzed bytes; drive C: on port 0, ID 0, and class
// devices Scanner0 and Tape0 at IDs 1 and 2, so the path lookups run too.
class FuzzPorts final : public DeviceIo {
public:
    FuzzPorts(const std::uint8_t* answer, std::size_t size, int ports, bool overstate, bool understate)
        : answer_(answer), size_(size), ports_(ports), overstate_(overstate), understate_(understate) {}

    DeviceHandle Open(const char* name, std::uint32_t, std::uint32_t) override {
        const std::string text(name);
        for (int n = 0; n < ports_; ++n) {
            if (text == "\\\\.\\SCSI" + std::to_string(n) + ":") return Opened(kPortBase + n);
        }
        if (text == "\\\\.\\C:") return Opened(kDrive);
        if (text == "\\\\.\\Scanner0") return Opened(kScanner);
        if (text == "\\\\.\\Tape0") return Opened(kTape);
        return 0;
    }
    bool Control(DeviceHandle device, std::uint32_t code, void*, std::uint32_t, void* out, std::uint32_t out_size,
                 std::uint32_t* returned) override {
        if (code == nt::kIoctlScsiGetInquiryData && device >= kPortBase) {
            const std::size_t copied = size_ < out_size ? size_ : out_size;
            if (copied > 0) std::memcpy(out, answer_, copied);
            *returned = overstate_ ? nt::kInquiryDataBufferSize : static_cast<std::uint32_t>(copied);
            if (!overstate_ && understate_ && *returned > kWineCount) *returned = kWineCount;
            return true;
        }
        if (code == nt::kIoctlScsiGetAddress && device < kPortBase && out_size >= sizeof(nt::ScsiAddress)) {
            nt::ScsiAddress address{};
            address.Length = sizeof address;
            address.TargetId = device == kDrive ? 0 : device == kScanner ? 1 : 2;
            std::memcpy(out, &address, sizeof address);
            *returned = sizeof address;
            return true;
        }
        return false;
    }
    void Close(DeviceHandle) override { --open_; }
    std::uint32_t LogicalDrives() override { return 1u << 2; }
    std::uint32_t DriveType(const char*) override { return win::kDriveFixed; }
    std::uint32_t LastError() override { return 0; }
    std::uint32_t SystemMessage(std::uint32_t, char*, std::uint32_t) override { return 0; }

    int open() const { return open_; }

private:
    static constexpr DeviceHandle kDrive = 1, kScanner = 2, kTape = 3, kPortBase = 16;
    static constexpr std::uint32_t kWineCount = 36;
    DeviceHandle Opened(DeviceHandle handle) {
        ++open_;
        return handle;
    }
    const std::uint8_t* answer_;
    std::size_t size_;
    int ports_;
    bool overstate_;
    bool understate_;
    int open_ = 0;
};

class NullViews final : public InventoryViews {
public:
    void Reset() override {}
    UiHandle InsertAdapterItem(const char*, int index) override { return static_cast<UiHandle>(index + 1); }
    void AssignDeviceImage(DeviceSlot& slot) override {
        Require(std::memchr(slot.type_name, 0, sizeof slot.type_name) != nullptr,
                "a type name handed to the views unterminated");
    }
    void ShowFirstAdapter() override {}
};

void CheckWalk(const std::uint8_t* answer, std::uint32_t size, std::uint32_t reported) {
    PortBuses buses{};
    const bool readable = ReadPortBuses(answer, reported, buses);
    InquiryDataWalk walk(answer, reported, InquiryDataWalk::kMaxUnits, size);
    InquiryUnit unit{};
    int units = 0;
    while (walk.Next(unit)) {
        ++units;
        Require(units <= InquiryDataWalk::kMaxUnits, "the walk yields more than 128 units");
        Require(readable && unit.bus >= 0 && unit.bus < buses.buses, "a unit of a bus the answer does not hold");
        Require(unit.inquiry_length <= kInquiryIdentityLength, "more INQUIRY bytes than read");
    }
    Require(!walk.Next(unit), "the walk goes on after its end");
}

void CheckScan(const std::uint8_t* answer, std::size_t size, int ports, bool wide, bool overstate, bool understate) {
    Inventory inventory{};
    inventory.platform = kPlatformNt;
    inventory.max_target_id = wide ? kMaxTargetIdWide : kMaxTargetIdNarrow;
    auto area = std::make_unique<NtScanArea>();
    class NoRegistry final : public Registry {
    public:
        RegistryKey CreateKey(RegistryRoot, const char*, RegistryAccess, bool*) override { return 0; }
        RegistryKey OpenKey(RegistryRoot, const char*, RegistryAccess) override { return 0; }
        void CloseKey(RegistryKey) override {}
        bool DeleteKey(RegistryRoot, const char*) override { return false; }
        bool QueryValue(RegistryKey, const char*, void*, std::uint32_t*) override { return false; }
        bool SetBinaryValue(RegistryKey, const char*, const void*, std::uint32_t) override { return false; }
        bool SetTextValue(RegistryKey, const char*, const char*) override { return false; }
        bool EnumSubkey(RegistryKey, std::uint32_t, char*, std::uint32_t) override { return false; }
    } registry;
    NullViews views;
    FuzzPorts io(answer, size, ports, overstate, understate);
    NtDiscovery discovery{inventory, test::EnglishSharedTexts(), registry, views, io, *area};
    DiscoverNtInventory(discovery);

    Require(io.open() == 0, "a device left open");
    Require(inventory.adapter_count >= 1 && inventory.adapter_count <= ports, "adapter count out of bounds");
    Require(inventory.slot_count >= 0 && inventory.slot_count <= kMaxSlots, "slot count out of bounds");
    Require(area->entry_count >= 0 && area->entry_count <= kInquiryEntries, "entry count out of bounds");
    const int ids = IdsPerAdapter(inventory);
    for (int a = 0; a < inventory.adapter_count; ++a) {
        const HostAdapterRecord& record = inventory.adapters[a];
        Require(record.device_count >= 0 && record.device_count <= ids, "device count out of range");
        Require(record.adapter_number == a, "an adapter misnumbered");
    }
    RequireInventoryTerminated(inventory);
    for (int s = 0; s < inventory.slot_count; ++s) {
        const DeviceSlot& slot = inventory.slots[s];
        Require(slot.adapter_number >= 0 && slot.adapter_number < inventory.adapter_count,
                "a slot tied to no adapter in use");
        Require(slot.adapter_number * ids + slot.target_id == s, "a slot away from its place");
        Require(std::strlen(slot.product) <= 16 || std::strcmp(slot.type_name, "Host Adapter") == 0,
                "a product longer than its INQUIRY field");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    const std::uint8_t settings = data[0];
    const std::uint8_t* answer = data + 1;
    const std::size_t length = size - 1;
    if (length > nt::kInquiryDataBufferSize) return 0;
    const bool understate = (settings & 0x20) != 0;
    const auto answered = static_cast<std::uint32_t>(length);
    CheckWalk(answer, answered, understate && answered > 36 ? 36 : answered);
    const int ports = 1 + (settings >> 1 & 0x07) % kNtPorts;
    CheckScan(answer, length, ports, (settings & 0x01) != 0, (settings & 0x10) != 0, understate);
    return 0;
}
