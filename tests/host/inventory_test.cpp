// The inventory tables: placement, lookups, bounds and the re-scan reset.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "common/fixed_text.h"
#include "common/shared_texts.h"
#include "inventory/device_type_table.h"
#include "inventory/device_types.h"
#include "inventory/inventory.h"
#include "inventory/slot_kind.h"
#include "support/rc_strings.h"
#include "support/scripted_messages.h"

namespace td {
namespace {

Inventory NarrowInventory() {
    Inventory inventory{};
    inventory.max_target_id = kMaxTargetIdNarrow;
    return inventory;
}

TEST(Placement, SlotOfAnIdDependsOnTheWideBusOption) {
    Inventory inventory = NarrowInventory();
    EXPECT_EQ(IdsPerAdapter(inventory), 8);
    EXPECT_EQ(SlotIndex(inventory, 2, 5), 21);
    inventory.max_target_id = kMaxTargetIdWide;
    EXPECT_EQ(IdsPerAdapter(inventory), 16);
    EXPECT_EQ(SlotIndex(inventory, 2, 5), 37);
}

TEST(Placement, NothingIsPlacedOutsideTheTables) {
    Inventory inventory = NarrowInventory();
    EXPECT_EQ(SlotIndex(inventory, 7, 7), 63);
    EXPECT_EQ(SlotIndex(inventory, 8, 0), -1) << "adapter index past the table";
    EXPECT_EQ(SlotIndex(inventory, -1, 0), -1);
    EXPECT_EQ(SlotIndex(inventory, 0, 8), -1) << "an ID above max_target_id lands in the next adapter";
    EXPECT_EQ(SlotIndex(inventory, 0, -1), -1);
    inventory.max_target_id = kMaxTargetIdWide;
    EXPECT_EQ(SlotIndex(inventory, 3, 15), 63);
    EXPECT_EQ(SlotIndex(inventory, 4, 0), -1) << "only four adapters fit with IDs 0 to 15";
    EXPECT_EQ(SlotIndex(inventory, 0, 16), -1);
}

TEST(SlotLookup, FirstCountedSlotWithAdapterAndId) {
    Inventory inventory = NarrowInventory();
    inventory.slot_count = 3;
    inventory.slots[0] = {};
    inventory.slots[0].adapter_number = 0;
    inventory.slots[0].target_id = 4;
    inventory.slots[1].adapter_number = 1;
    inventory.slots[1].target_id = 4;
    inventory.slots[2].adapter_number = 1;
    inventory.slots[2].target_id = 4;
    inventory.slots[5].adapter_number = 2;  // beyond slot_count: never found
    inventory.slots[5].target_id = 1;
    EXPECT_EQ(FindSlotByAddress(inventory, 1, 4), 1);
    EXPECT_EQ(FindSlotByAddress(inventory, 0, 4), 0);
    EXPECT_EQ(FindSlotByAddress(inventory, 2, 1), -1);
    inventory.slot_count = 500;  // a corrupt count never walks past the table
    EXPECT_EQ(FindSlotByAddress(inventory, 9, 9), -1);
}

TEST(SlotLookup, SlotsOfOneAdapterInTableOrder) {
    Inventory inventory = NarrowInventory();
    inventory.slot_count = 5;
    const int owners[] = {1, 0, 1, kNoAdapterNumber, 1};
    for (int i = 0; i < 5; ++i) inventory.slots[i].adapter_number = owners[i];
    std::vector<int> found;
    for (int i = NextSlotOfAdapter(inventory, 1, 0); i >= 0; i = NextSlotOfAdapter(inventory, 1, i + 1))
        found.push_back(i);
    EXPECT_EQ(found, (std::vector<int>{0, 2, 4}));
}

TEST(Rescan, NtClearsEverySlotWindows95KeepsThem) {
    for (int platform : {kPlatformNt, kPlatformWin95}) {
        Inventory inventory = NarrowInventory();
        inventory.platform = platform;
        inventory.adapter_count = 2;
        inventory.slot_count = 16;
        inventory.scan_complete = 1;
        inventory.scan_slot = 15;
        for (DeviceSlot& slot : inventory.slots) {
            slot.adapter_number = 1;
            CopyText(slot.type_name, "Tape");
        }
        CopyText(inventory.adapters[0].description, "kept");
        ResetForRescan(inventory);
        EXPECT_EQ(inventory.adapter_count, 0);
        EXPECT_EQ(inventory.slot_count, 0);
        EXPECT_EQ(inventory.scan_complete, 0);
        EXPECT_EQ(inventory.scan_slot, 0);
        EXPECT_STREQ(inventory.adapters[0].description, "kept");
        for (const DeviceSlot& slot : inventory.slots) {
            if (platform == kPlatformNt) {
                EXPECT_EQ(slot.adapter_number, kNoAdapterNumber);
                EXPECT_STREQ(slot.type_name, "");
            } else {
                EXPECT_EQ(slot.adapter_number, 1);
                EXPECT_STREQ(slot.type_name, "Tape");
            }
        }
    }
}

class DeviceTypeNames : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(LoadSharedTexts(messages, texts)); }
    test::ScriptedMessages messages;
    SharedTexts texts{};
};

TEST_F(DeviceTypeNames, EveryTypeCode) {
    EXPECT_STREQ(DeviceTypeName(texts, 0, 0), "Hard Disk");
    EXPECT_STREQ(DeviceTypeName(texts, 0, 1), "Removeable");
    EXPECT_STREQ(DeviceTypeName(texts, 1, 0), "Tape");
    EXPECT_STREQ(DeviceTypeName(texts, 1, 1), "Tape") << "only type 0 looks at RMB";
    EXPECT_STREQ(DeviceTypeName(texts, 2, 0), "Printer");
    EXPECT_STREQ(DeviceTypeName(texts, 3, 0), "Scanner");
    EXPECT_STREQ(DeviceTypeName(texts, 4, 0), "WORM");
    EXPECT_STREQ(DeviceTypeName(texts, 5, 1), "CD-ROM");
    EXPECT_STREQ(DeviceTypeName(texts, 6, 0), "Scanner");
    for (int code = 7; code <= 30; ++code) EXPECT_STREQ(DeviceTypeName(texts, code, 0), "UnKnown") << "code " << code;
    EXPECT_STREQ(DeviceTypeName(texts, 31, 0), "No Device");
    EXPECT_STREQ(DeviceTypeName(texts, 255, 0), "UnKnown");
    EXPECT_STREQ(DeviceTypeName(texts, -1, 0), "UnKnown");
}

TEST_F(DeviceTypeNames, FollowTheInterfaceLanguage) {
    SharedTexts other = texts;
    CopyText(other.hard_disk, "Festplatte");
    EXPECT_STREQ(DeviceTypeName(other, 0, 0), "Festplatte");
}

// Whatever the interface language, every language's type names, and NT
// discovery's fixed English ones, name their kind; no name of one kind
// names another kind in another language.
TEST(SlotKinds, EveryLanguagesNamesUnderEveryInterfaceLanguage) {
    const struct {
        int id;
        SlotKind kind;
    } kNames[] = {{50010, SlotKind::NoDevice},    {50011, SlotKind::HostAdapter}, {50026, SlotKind::HardDisk},
                  {50027, SlotKind::CdRom},       {50028, SlotKind::Tape},        {50029, SlotKind::Removable},
                  {50030, SlotKind::HostAdapter}, {50031, SlotKind::Worm},        {50032, SlotKind::Scanner},
                  {50033, SlotKind::NoDevice},    {50034, SlotKind::Unknown},     {50071, SlotKind::Printer}};
    const char* const kFolders[] = {"de", "en", "es", "fr", "it"};
    for (const char* interface : kFolders) {
        test::ScriptedMessages messages(interface);
        SharedTexts texts{};
        ASSERT_TRUE(LoadSharedTexts(messages, texts)) << interface;
        for (const char* written : kFolders) {
            for (const auto& name : kNames) {
                const std::string text = test::LoadStringTable(written).at(name.id);
                EXPECT_EQ(KindOfTypeName(texts, text.c_str()), name.kind)
                    << interface << " interface, " << written << " " << text;
            }
        }
        EXPECT_EQ(KindOfTypeName(texts, kFixedHostAdapterType), SlotKind::HostAdapter) << interface;
        EXPECT_EQ(KindOfTypeName(texts, kFixedNoDeviceType), SlotKind::NoDevice) << interface;
        const DeviceTypeRow* empty_id = FindDeviceTypeRow(texts, kFixedNoDeviceType);
        ASSERT_NE(empty_id, nullptr) << interface;
        EXPECT_EQ(empty_id->image_index, 10) << interface;
        for (const char* stranger : {"", "no device", "Festplatte ", "Hard Disk2"})
            EXPECT_EQ(KindOfTypeName(texts, stranger), SlotKind::Unrecognised) << interface << " '" << stranger << "'";
    }
}

// A type field that lost its terminator is read no further than its width.
TEST(SlotKinds, AFieldWithoutTerminatorIsReadWithinItsWidth) {
    DeviceSlot slot{};
    std::memset(slot.type_name, 'A', sizeof slot.type_name);
    EXPECT_EQ(KindOfSlot(test::EnglishSharedTexts(), slot), SlotKind::Unrecognised);
    CopyText(slot.type_name, "Hostadapter");
    EXPECT_EQ(KindOfSlot(test::EnglishSharedTexts(), slot), SlotKind::HostAdapter);
}

}  // namespace
}  // namespace td
