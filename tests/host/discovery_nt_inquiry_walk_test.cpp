// The inquiry data of a port, as a driver might answer them: offsets and
// counts that point outside the answer, chains that loop, more units than
// the tables hold. The walk must stay inside the bytes returned, end, and
// keep every table within its bounds.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "common/win_codes.h"
#include "discovery/nt_discovery.h"
#include "discovery/nt_inquiry_data.h"
#include "scsi/nt_layout.h"
#include "support/memory_registry.h"
#include "support/recording_views.h"
#include "support/scripted_messages.h"

namespace td {
namespace {

using Bytes = std::vector<std::uint8_t>;

// An answer of IOCTL_SCSI_GET_INQUIRY_DATA built byte by byte.
class Answer {
public:
    explicit Answer(std::size_t size = nt::kInquiryDataBufferSize) : bytes(size, 0) {}

    Answer& Buses(std::uint8_t count) {
        bytes[0] = count;
        return *this;
    }
    Answer& Bus(int bus, std::uint8_t units, std::uint8_t initiator, std::uint32_t first) {
        const std::size_t at = 4 + 8 * static_cast<std::size_t>(bus);
        bytes[at] = units;
        bytes[at + 1] = initiator;
        std::memcpy(&bytes[at + 4], &first, 4);
        return *this;
    }
    // An entry at `at`: a disk named `product` unless told otherwise.
    Answer& Entry(std::size_t at, std::uint8_t target, std::uint32_t next, const char* product = "DISK",
                  std::uint8_t lun = 0, std::uint32_t inquiry_length = 36, std::uint8_t type = 0) {
        bytes[at + 1] = target;
        bytes[at + 2] = lun;
        bytes[at + 3] = 0;  // unclaimed: the port is its path
        std::memcpy(&bytes[at + 4], &inquiry_length, 4);
        std::memcpy(&bytes[at + 8], &next, 4);
        const std::size_t data = at + 12;
        const std::size_t room = bytes.size() - data;
        Bytes inquiry(36, ' ');
        inquiry[0] = type;
        inquiry[2] = 2;
        std::memcpy(&inquiry[8], "VENDOR  ", 8);
        std::memcpy(&inquiry[16], product, std::strlen(product));
        std::memcpy(&bytes[data], inquiry.data(), room < 36 ? room : 36);
        return *this;
    }

    Bytes bytes;
};

// Ports that answer crafted inquiry data; no drives, no class devices.
class CraftedPorts final : public DeviceIo {
public:
    std::vector<Bytes> answers;  // one per port, from SCSI0:
    std::int64_t returned = -1;  // the byte count reported; -1: the answer's size
    int open_handles = 0;

    DeviceHandle Open(const char* name, std::uint32_t, std::uint32_t) override {
        for (std::size_t n = 0; n < answers.size(); ++n) {
            if (std::string(name) == "\\\\.\\SCSI" + std::to_string(n) + ":") {
                ++open_handles;
                return n + 1;
            }
        }
        return 0;
    }
    bool Control(DeviceHandle device, std::uint32_t code, void*, std::uint32_t, void* out, std::uint32_t out_size,
                 std::uint32_t* bytes) override {
        if (code != nt::kIoctlScsiGetInquiryData || device == 0 || device > answers.size()) return false;
        const Bytes& answer = answers[device - 1];
        std::memcpy(out, answer.data(), answer.size() < out_size ? answer.size() : out_size);
        *bytes = returned >= 0 ? static_cast<std::uint32_t>(returned) : static_cast<std::uint32_t>(answer.size());
        return true;
    }
    void Close(DeviceHandle) override { --open_handles; }
    std::uint32_t LogicalDrives() override { return 0; }
    std::uint32_t DriveType(const char*) override { return win::kDriveUnknown; }
    std::uint32_t LastError() override { return 0; }
    std::uint32_t SystemMessage(std::uint32_t, char*, std::uint32_t) override { return 0; }
};

class DiscoveryNtHostileInquiryData : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(LoadSharedTexts(messages, texts));
        inventory.platform = kPlatformNt;
        inventory.max_target_id = kMaxTargetIdNarrow;
    }

    // Scans one port (or more) answering `answer`.
    bool Scan(const Answer& answer, int ports = 1) {
        io.answers.assign(static_cast<std::size_t>(ports), answer.bytes);
        NtDiscovery discovery{inventory, texts, registry, views, io, *area};
        const bool all = ScanScsiPorts(discovery);
        EXPECT_EQ(io.open_handles, 0);
        CheckBounds();
        return all;
    }

    void CheckBounds() {
        EXPECT_LE(inventory.adapter_count, kNtPorts);
        EXPECT_LE(inventory.slot_count, kMaxSlots);
        EXPECT_GE(area->entry_count, 0);
        EXPECT_LE(area->entry_count, kInquiryEntries);
        for (int s = 0; s < inventory.slot_count; ++s) {
            EXPECT_LT(inventory.slots[s].adapter_number, inventory.adapter_count) << s;
        }
    }

    int Units() const { return area->entry_count; }
    const DeviceSlot& Slot(int index) const { return inventory.slots[index]; }

    test::ScriptedMessages messages;
    SharedTexts texts{};
    test::MemoryRegistry registry;
    test::RecordingViews views{&texts};
    Inventory inventory{};
    CraftedPorts io;
    std::unique_ptr<NtScanArea> area = std::make_unique<NtScanArea>();
};

TEST_F(DiscoveryNtHostileInquiryData, OffsetsOutsideTheAnswer) {
    Answer first;
    first.Buses(1).Bus(0, 1, 7, 5000);
    Scan(first);
    EXPECT_EQ(Units(), 0) << "first entry past the buffer";
    EXPECT_EQ(inventory.slot_count, 8) << "the adapter's block is still complete";
    EXPECT_STREQ(Slot(0).type_name, "No Device");

    Answer header_past;
    header_past.Buses(1).Bus(0, 1, 7, 2040).Entry(12, 1, 0);
    Scan(header_past);
    EXPECT_EQ(Units(), 0) << "an entry whose header ends past the buffer";

    Answer data_past;
    data_past.Buses(1).Bus(0, 1, 7, 2048 - 12 - 20);
    data_past.Entry(2048 - 12 - 20, 1, 0);
    Scan(data_past);
    EXPECT_EQ(Units(), 0) << "an entry whose 36 INQUIRY bytes end past the buffer";

    Answer next_past;
    next_past.Buses(1).Bus(0, 3, 7, 12).Entry(12, 1, 0xFFFFFFF0u).Entry(60, 2, 0);
    Scan(next_past);
    EXPECT_EQ(Units(), 1) << "a next offset past the buffer ends the chain";
    EXPECT_STREQ(Slot(1).product, "DISK            ");
}

// The scan clears its 2048-byte buffer before each port's call, so a layer
// that writes more than the byte count it reports (Wine's reports 36 for
// 12 + 12 + 36 bytes) still shows its units; the bus data must lie within
// the count, and nothing past the buffer counts.
TEST_F(DiscoveryNtHostileInquiryData, AnUnderReportedCountReadsTheEntriesWithinTheClearedBuffer) {
    Answer answer;
    answer.Buses(1).Bus(0, 2, 7, 12).Entry(12, 0, 60).Entry(60, 3, 0);
    for (const std::int64_t returned : {100, 36, 12}) {
        io.returned = returned;
        inventory.slots[3].type_name[0] = '\0';
        EXPECT_FALSE(Scan(answer, 1));
        EXPECT_EQ(Units(), 2) << returned;
        EXPECT_STREQ(Slot(3).type_name, "Hard Disk") << returned;
    }

    io.returned = 11;
    EXPECT_FALSE(Scan(answer, 2));
    EXPECT_EQ(inventory.slot_count, 0) << "bus 0's data past the count: unreadable";
    EXPECT_EQ(inventory.adapter_count, 1);

    Answer at_the_end;
    at_the_end.Buses(1).Bus(0, 2, 7, 12).Entry(12, 0, 2004).Entry(2004, 3, 0);
    io.returned = 36;
    Scan(at_the_end);
    EXPECT_EQ(Units(), 1) << "an entry ending past the buffer";

    // A byte count above the buffer is held to the buffer.
    io.returned = 1 << 20;
    Scan(answer);
    EXPECT_EQ(Units(), 2);
}

TEST_F(DiscoveryNtHostileInquiryData, TooShortToHoldTheFirstBusIsUnreadable) {
    Answer answer(11);
    answer.Buses(1);
    EXPECT_FALSE(Scan(answer, 2));
    EXPECT_EQ(inventory.adapter_count, 1) << "the port counts, and the scan ends there";
    EXPECT_EQ(inventory.slot_count, 0);
}

TEST_F(DiscoveryNtHostileInquiryData, LoopingChainsEnd) {
    Answer two;
    two.Buses(1).Bus(0, 200, 7, 12).Entry(12, 0, 60).Entry(60, 1, 12);
    Scan(two);
    EXPECT_EQ(Units(), 2);
    EXPECT_EQ(inventory.adapters[0].device_count, 2);

    Answer itself;
    itself.Buses(1).Bus(0, 255, 7, 12).Entry(12, 4, 12);
    Scan(itself);
    EXPECT_EQ(Units(), 1);
}

TEST_F(DiscoveryNtHostileInquiryData, CountsLargerThanTheBufferCanHold) {
    // 255 buses claimed, each pointing at the same entry; the units are capped
    // at the 128 entries and every one lands at ID 2.
    Answer many_buses;
    many_buses.Buses(255);
    for (int b = 0; b < 200; ++b) many_buses.Bus(b, 255, 7, 1700);
    many_buses.Entry(1700, 2, 0);
    Scan(many_buses);
    EXPECT_EQ(Units(), kInquiryEntries);
    EXPECT_EQ(inventory.adapters[0].bus_count, 255);
    EXPECT_EQ(inventory.adapters[0].device_count, 1);

    // 255 buses claimed in an answer of 20 bytes: only the two buses inside
    // it are there; bus 1's entry overlaps its own bus data and ends in the
    // cleared rest of the buffer.
    Answer short_answer(20);
    short_answer.Buses(255).Bus(0, 1, 7, 0).Bus(1, 1, 7, 12);
    Scan(short_answer);
    ASSERT_EQ(Units(), 1);
    EXPECT_EQ(area->inquiry_entries[0].bus_number, 1);

    // More units chained than the table has entries.
    Answer long_chain;
    long_chain.Buses(1).Bus(0, 255, 7, 12);
    for (std::size_t i = 0; i < 160; ++i) {
        const std::size_t at = 12 + 12 * i;
        long_chain.Entry(at, static_cast<std::uint8_t>(i % 8), static_cast<std::uint32_t>(at + 12), "", 0, 0);
    }
    Scan(long_chain);
    EXPECT_EQ(Units(), kInquiryEntries);
    EXPECT_EQ(inventory.slot_count, 8);

    // The chain is followed only as far as the bus's unit count.
    Answer counted;
    counted.Buses(1).Bus(0, 1, 7, 12).Entry(12, 0, 60).Entry(60, 3, 0);
    Scan(counted);
    EXPECT_EQ(Units(), 1);
    EXPECT_STREQ(Slot(3).type_name, "No Device");
}

TEST_F(DiscoveryNtHostileInquiryData, ImpossibleIdsAndShortInquiryData) {
    Answer answer;
    answer.Buses(1).Bus(0, 3, 200, 12).Entry(12, 200, 60).Entry(60, 9, 108).Entry(108, 5, 0, "HIDDEN", 0, 10, 5);
    Scan(answer);
    EXPECT_EQ(Units(), 3);
    EXPECT_EQ(inventory.adapters[0].own_scsi_id, 200);
    for (int t = 0; t < 8; ++t) EXPECT_NE(std::string(Slot(t).type_name), "Host Adapter") << t;
    EXPECT_STREQ(Slot(5).type_name, "CD-ROM");
    EXPECT_STREQ(Slot(5).vendor, "VE") << "only the 10 bytes the entry holds";
    EXPECT_STREQ(Slot(5).product, "");
    EXPECT_EQ(inventory.adapters[0].device_count, 1) << "IDs 200 and 9 have no place";
}

TEST_F(DiscoveryNtHostileInquiryData, SevenWidePortsKeepTheTablesInBounds) {
    inventory.max_target_id = kMaxTargetIdWide;
    Answer answer;
    answer.Buses(1).Bus(0, 2, 15, 12).Entry(12, 0, 60).Entry(60, 14, 0);
    EXPECT_TRUE(Scan(answer, 7));
    EXPECT_EQ(inventory.adapter_count, 7);
    EXPECT_EQ(inventory.slot_count, 64);
    EXPECT_STREQ(Slot(63).type_name, "Host Adapter");
    EXPECT_EQ(Slot(63).adapter_number, 3);
    EXPECT_EQ(inventory.adapters[6].device_count, 0);
}

TEST(DiscoveryNtInquiryWalk, YieldsEachBusInOrderAndReadsNothingOutside) {
    // Exactly sized, so any read past the answer is a read past the vector.
    Answer answer(120);
    answer.Buses(2).Bus(0, 1, 7, 20).Bus(1, 1, 6, 70).Entry(20, 4, 0, "A").Entry(70, 5, 0, "B");
    PortBuses buses{};
    ASSERT_TRUE(ReadPortBuses(answer.bytes.data(), 120, buses));
    EXPECT_EQ(buses.buses, 2);
    EXPECT_EQ(buses.first_bus_initiator, 7);
    InquiryDataWalk walk(answer.bytes.data(), 120);
    InquiryUnit unit{};
    ASSERT_TRUE(walk.Next(unit));
    EXPECT_EQ(unit.bus, 0);
    EXPECT_EQ(unit.target_id, 4);
    ASSERT_TRUE(walk.Next(unit));
    EXPECT_EQ(unit.bus, 1);
    EXPECT_EQ(unit.target_id, 5);
    EXPECT_EQ(unit.inquiry_length, 36u);
    EXPECT_FALSE(walk.Next(unit));
    EXPECT_FALSE(walk.Next(unit)) << "and stays at the end";

    InquiryDataWalk nothing(nullptr, 2048);
    EXPECT_FALSE(nothing.Next(unit));
    EXPECT_FALSE(ReadPortBuses(answer.bytes.data(), 11, buses));

    // Entries past the count are read only where the caller cleared its buffer.
    InquiryDataWalk strict(answer.bytes.data(), 36);
    EXPECT_FALSE(strict.Next(unit));
    InquiryDataWalk cleared(answer.bytes.data(), 36, InquiryDataWalk::kMaxUnits, 120);
    EXPECT_TRUE(cleared.Next(unit));
    EXPECT_TRUE(cleared.Next(unit));
    EXPECT_FALSE(cleared.Next(unit));
}

}  // namespace
}  // namespace td
