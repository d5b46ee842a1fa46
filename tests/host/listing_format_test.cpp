// Writing the inventory as a listing: the exact text, its size, and a
// block that cannot be had.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>

#include "common/fixed_text.h"
#include "common/shared_texts.h"
#include "common/win_codes.h"
#include "listing/listing_format.h"
#include "support/sample_inventory.h"
#include "support/scripted_messages.h"

namespace td {
namespace {

// The heap, or no memory at all; remembers the size asked for.
class TestMemory final : public TextMemory {
public:
    char* Allocate(std::size_t size) override {
        last_size = size;
        return run_dry ? nullptr : new char[size];
    }
    void Release(char* block) override { delete[] block; }
    bool run_dry = false;
    std::size_t last_size = 0;
};

std::string Text(const ListingText& listing) { return std::string(listing.data(), listing.length()); }

class ListingWrite : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(LoadSharedTexts(messages, texts)); }
    test::ScriptedMessages messages;
    SharedTexts texts{};
    TestMemory memory;
};

TEST_F(ListingWrite, TwoAdapterScanInTheExactFormat) {
    const Inventory inventory = test::TwoAdapterScan(texts, kPlatformWin95);
    const ListingText listing = FormatListing(inventory, messages, memory);
    ASSERT_TRUE(listing);
    EXPECT_EQ(Text(listing),
              "2\n"
              "AHA-2940UW\n"
              "BT-958\n"
              "16\n"
              "0,Hard Disk,IBM,DDRS-34560W,S97B,AHA-2940UW,2\n"
              "1,No Device,,No Device,,AHA-2940UW,0\n"
              "2,No Device,,No Device,,AHA-2940UW,0\n"
              "3,CD-ROM,TOSHIBA,CD-ROM XM-5701TA,3136,AHA-2940UW,2\n"
              "4,No Device,,No Device,,AHA-2940UW,0\n"
              "5,No Device,,No Device,,AHA-2940UW,0\n"
              "6,No Device,,No Device,,AHA-2940UW,0\n"
              "7,Host Adapter,Adaptec,AHA-2940UW,03,AHA-2940UW,0\n"
              "0,No Device,,No Device,,BT-958,0\n"
              "1,No Device,,No Device,,BT-958,0\n"
              "2,Tape,HP,C1537A,L708,BT-958,2\n"
              "3,No Device,,No Device,,BT-958,0\n"
              "4,No Device,,No Device,,BT-958,0\n"
              "5,Scanner,HP,C6270A,3.01,BT-958,2\n"
              "6,Removeable,IOMEGA,ZIP 100,J.03,BT-958,2\n"
              "7,Host Adapter,BusLogi,BT-958,03,BT-958,0\n");  // vendor: the maker cut to 7
    EXPECT_EQ(std::memchr(listing.data(), '\r', listing.length()), nullptr) << "line feeds only";
    EXPECT_EQ(std::memchr(listing.data(), '\0', listing.length()), nullptr) << "no terminator written";
}

TEST_F(ListingWrite, FullFieldsAndExtremeNumbersFitTheBlock) {
    Inventory inventory{};
    inventory.adapter_count = kMaxAdapters;
    inventory.slot_count = kMaxSlots;
    for (HostAdapterRecord& record : inventory.adapters) std::memset(record.identifier, 'I', sizeof record.identifier);
    for (DeviceSlot& slot : inventory.slots) {
        // Every text field full to its last byte, terminator lost: the
        // writer still stops at the field's width.
        std::memset(slot.type_name, 'T', sizeof slot.type_name);
        std::memset(slot.vendor, 'V', sizeof slot.vendor);
        std::memset(slot.product, 'P', sizeof slot.product);
        std::memset(slot.revision, 'R', sizeof slot.revision);
        std::memset(slot.adapter_identifier, 'A', sizeof slot.adapter_identifier);
        slot.target_id = INT_MIN;
        slot.scsi_version = INT_MIN;
    }
    const ListingText listing = FormatListing(inventory, messages, memory);
    ASSERT_TRUE(listing);
    const std::string device = "-2147483648," + std::string(31, 'T') + "," + std::string(7, 'V') + "," +
                               std::string(31, 'P') + "," + std::string(24, 'R') + "," + std::string(31, 'A') +
                               ",-2147483648\n";
    std::string expected = "8\n";
    for (int i = 0; i < kMaxAdapters; ++i) expected += std::string(31, 'I') + "\n";
    expected += "64\n";
    for (int j = 0; j < kMaxSlots; ++j) expected += device;
    EXPECT_EQ(Text(listing), expected);
    // Only the two count lines are shorter than their widest.
    EXPECT_EQ(memory.last_size - listing.length(), (11u - 1u) + (11u - 2u));
}

TEST_F(ListingWrite, DamagedCountsNeverWalkPastTheTables) {
    Inventory inventory{};
    inventory.adapter_count = 200;
    inventory.slot_count = -4;
    const ListingText listing = FormatListing(inventory, messages, memory);
    ASSERT_TRUE(listing);
    EXPECT_EQ(Text(listing).substr(0, 2), "8\n");
    EXPECT_EQ(Text(listing).substr(listing.length() - 3), "\n0\n");
}

TEST_F(ListingWrite, NoMemoryShowsItsMessageAndYieldsNothing) {
    const Inventory inventory = test::TwoAdapterScan(texts, kPlatformNt);
    memory.run_dry = true;
    const ListingText listing = FormatListing(inventory, messages, memory);
    EXPECT_FALSE(listing);
    EXPECT_EQ(listing.length(), 0u);
    ASSERT_EQ(messages.boxes().size(), 1u);
    const test::ShownBox& box = messages.boxes()[0];
    EXPECT_EQ(box.text, messages.Text(50022));
    EXPECT_EQ(box.caption, "Tessaline Diagnostics status:");
    EXPECT_EQ(box.owner, 0u);
    EXPECT_EQ(box.flags, win::kMbOk);
}

}  // namespace
}  // namespace td
