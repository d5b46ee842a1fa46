// The information windows' decisions: what each page of the properties
// sheet shows for a slot, the About box's texts, the splash's place.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "common/fixed_text.h"
#include "infowin/about_text.h"
#include "infowin/property_pages.h"
#include "infowin/splash_state.h"
#include "inventory/device_selection.h"
#include "resources/resource_ids.h"
#include "support/sample_inventory.h"
#include "support/scripted_messages.h"

namespace td {
namespace {

std::string TextOf(const DevicePageContent& page, int control) {
    for (const PageText& text : page.texts)
        if (text.control == control) return text.text;
    return "<no control " + std::to_string(control) + ">";
}

std::string TextOf(const AdapterPageContent& page, int control) {
    for (const PageText& text : page.texts)
        if (text.control == control) return text.text;
    return "<no control " + std::to_string(control) + ">";
}

// The controls of the marked boxes, in the page's order.
std::string Marked(const DevicePageContent& page) {
    std::string marked;
    for (const PageBox& box : page.boxes)
        if (box.marked) marked += (marked.empty() ? "" : " ") + std::to_string(box.control);
    return marked;
}

class PropertyPages : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(LoadSharedTexts(messages, texts)); }

    DevicePageContent Device(const Inventory& inventory, int slot) const {
        return DescribeDevicePage(inventory, slot, texts);
    }

    test::ScriptedMessages messages;
    SharedTexts texts{};
};

TEST_F(PropertyPages, NoDeviceSlotShowsItsIdentityButNoProductAndNoWidth) {
    Inventory inventory = test::TwoAdapterScan(texts, kPlatformNt);
    inventory.slots[1].bitmap = 0x5a;
    const DevicePageContent page = Device(inventory, 1);
    EXPECT_EQ(TextOf(page, IDC_SCSI_ID), "1");
    EXPECT_EQ(TextOf(page, IDC_MANUFACTURER), " ");
    EXPECT_EQ(TextOf(page, IDC_VERSION), " ");
    EXPECT_EQ(TextOf(page, IDC_DEVICE_TYPE), "No Device");
    EXPECT_EQ(TextOf(page, IDC_PRODUCT), "") << "the slot's product field reads \"No Device\"";
    EXPECT_EQ(Marked(page), "");
    EXPECT_EQ(page.picture, 0x5au);
}

TEST_F(PropertyPages, AdaptersOwnSlotOpensOnTheAdapterPageAndShowsNoDeviceTexts) {
    EXPECT_EQ(StartPage(1), kAdapterPage);
    EXPECT_EQ(StartPage(0), kDevicePage);

    Inventory inventory = test::TwoAdapterScan(texts, kPlatformWin95);
    DeviceSlot& own = inventory.slots[7];
    ASSERT_STREQ(own.type_name, "Host Adapter");
    own.bitmap = 0x99;
    own.synchronous = 1;
    const DevicePageContent device = Device(inventory, 7);
    for (const PageText& text : device.texts) EXPECT_STREQ(text.text, "") << text.control;
    EXPECT_EQ(device.picture, 0u);
    // Its boxes follow its values, except that it is never "narrow".
    EXPECT_EQ(Marked(device), "1010");

    const AdapterPageContent adapter = DescribeAdapterPage(inventory, 7);
    ASSERT_TRUE(adapter.filled);
    EXPECT_EQ(TextOf(adapter, IDC_HA_NAME), "AHA-2940UW");
    EXPECT_EQ(TextOf(adapter, IDC_HA_NUMBER), "0");
    EXPECT_EQ(TextOf(adapter, IDC_HA_SCSI_ID), "7");
    EXPECT_EQ(TextOf(adapter, IDC_HA_MANAGER), "ASPI for WIN32");
    EXPECT_EQ(TextOf(adapter, IDC_HA_DESCRIPTION), "Adaptec AHA-2940UW PCI SCSI Controller");

    inventory.adapters[0].own_scsi_id = kNoOwnScsiId;  // its host adapter inquiry failed
    EXPECT_EQ(TextOf(DescribeAdapterPage(inventory, 7), IDC_HA_SCSI_ID), "N/A");
}

TEST_F(PropertyPages, BusWidthBoxes) {
    Inventory inventory = test::TwoAdapterScan(texts, kPlatformWin95);
    DeviceSlot& disk = inventory.slots[0];
    disk.synchronous = 0;
    disk.scsi_version = 0;
    struct {
        int wide16, wide32;
        const char* marked;
    } const cases[] = {
        {0, 0, "1014"}, {1, 0, "1012"}, {0, 1, "1015"}, {1, 1, ""},  // both widths reported: none of the three
    };
    for (const auto& c : cases) {
        disk.wide16 = c.wide16;
        disk.wide32 = c.wide32;
        EXPECT_EQ(Marked(Device(inventory, 0)), c.marked) << c.wide16 << "/" << c.wide32;
    }
}

TEST_F(PropertyPages, OnlyVersionsOneToThreeMarkAVersionBox) {
    Inventory inventory = test::TwoAdapterScan(texts, kPlatformWin95);
    DeviceSlot& disk = inventory.slots[0];
    disk.synchronous = 0;
    disk.wide16 = 1;  // no width box either, so only the version box is left
    disk.wide32 = 1;
    const char* expected[8] = {"", "1008", "1009", "1016", "", "", "", ""};
    for (int version = 0; version < 8; ++version) {
        disk.scsi_version = version;
        EXPECT_EQ(Marked(Device(inventory, 0)), expected[version]) << "version " << version;
    }
}

TEST_F(PropertyPages, SecondAdapterWideBusIdThreeIsSlotNineteen) {
    Inventory inventory = test::TwoAdapterScan(texts, kPlatformWin95, /*wide_bus=*/true);
    DeviceSlot& slot = inventory.slots[19];
    CopyText(slot.type_name, texts.hard_disk);
    CopyText(slot.vendor, "SEAGATE");
    CopyText(slot.product, "ST32550W");
    // The list shows "3"; the first slot with that ID is adapter 0's.
    const int position = FindSlotPosition(inventory, "3");
    EXPECT_EQ(position, 3);
    const int shown = SheetSlot(inventory, 1, position);
    ASSERT_EQ(shown, 19);

    const DevicePageContent device = Device(inventory, shown);
    EXPECT_EQ(TextOf(device, IDC_SCSI_ID), "3");
    EXPECT_EQ(TextOf(device, IDC_MANUFACTURER), "SEAGATE");
    EXPECT_EQ(TextOf(device, IDC_PRODUCT), "ST32550W");
    EXPECT_EQ(TextOf(device, IDC_DEVICE_TYPE), "Hard Disk");
    const AdapterPageContent adapter = DescribeAdapterPage(inventory, shown);
    EXPECT_EQ(TextOf(adapter, IDC_HA_NAME), "BT-958");
    EXPECT_EQ(TextOf(adapter, IDC_HA_NUMBER), "1");
}

TEST_F(PropertyPages, PositionsThatNameNoSlotGiveEmptyPages) {
    const Inventory narrow = test::TwoAdapterScan(texts, kPlatformWin95);
    EXPECT_EQ(SheetSlot(narrow, 0, -1), -1);
    EXPECT_EQ(SheetSlot(narrow, -1, 3), -1) << "no adapter selected";
    EXPECT_EQ(SheetSlot(narrow, 0, 8), -1) << "past an adapter's block of 8";
    EXPECT_EQ(SheetSlot(narrow, 7, 7), 63);
    const Inventory wide = test::TwoAdapterScan(texts, kPlatformWin95, true);
    EXPECT_EQ(SheetSlot(wide, 4, 0), -1) << "adapter 4's block would start at slot 64";

    for (int slot : {-1, kMaxSlots}) {
        const DevicePageContent device = Device(narrow, slot);
        for (const PageText& text : device.texts) EXPECT_STREQ(text.text, "");
        EXPECT_EQ(Marked(device), "");
        EXPECT_EQ(device.picture, 0u);
        EXPECT_FALSE(DescribeAdapterPage(narrow, slot).filled);
    }
}

TEST_F(PropertyPages, SlotWithoutAnAdapterNeverReachesTheAdapterTable) {
    Inventory inventory = test::TwoAdapterScan(texts, kPlatformNt);
    ResetForRescan(inventory);  // NT: every slot now carries adapter number 8
    ASSERT_EQ(inventory.slots[3].adapter_number, kNoAdapterNumber);
    EXPECT_FALSE(DescribeAdapterPage(inventory, 3).filled);
    for (int number : {-1, kMaxAdapters, 255}) {
        inventory.slots[3].adapter_number = number;
        EXPECT_FALSE(DescribeAdapterPage(inventory, 3).filled) << number;
    }
    inventory.slots[3].adapter_number = kMaxAdapters - 1;
    EXPECT_TRUE(DescribeAdapterPage(inventory, 3).filled);
}

TEST(PropertyPageHelp, EveryValueControlHasItsTopicAndTheTablesEndWithZeros) {
    const int device_controls[] = {IDC_SCSI_ID,     IDC_MANUFACTURER, IDC_VERSION, IDC_DEVICE_TYPE, IDC_PRODUCT,
                                   IDC_SYNCHRONOUS, IDC_REMOVABLE,    IDC_NARROW,  IDC_WIDE16,      IDC_WIDE32,
                                   IDC_SCSI1,       IDC_SCSI2,        IDC_SCSI3};
    for (int i = 0; i < 13; ++i)
        EXPECT_EQ(HelpContextOf(kDevicePageHelpIds, device_controls[i]), 20000u + i) << device_controls[i];
    const int adapter_controls[] = {IDC_HA_NAME, IDC_HA_NUMBER, IDC_HA_SCSI_ID, IDC_HA_MANAGER, IDC_HA_DESCRIPTION};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(HelpContextOf(kAdapterPageHelpIds, adapter_controls[i]), 20100u + i) << adapter_controls[i];

    EXPECT_EQ(HelpContextOf(kDevicePageHelpIds, IDC_PICTURE), 0u);
    EXPECT_EQ(HelpContextOf(kDevicePageHelpIds, IDC_HA_NAME), 0u) << "the other page's control";
    EXPECT_EQ(HelpContextOf(kAdapterPageHelpIds, 0), 0u) << "the page itself, not a control";
    EXPECT_EQ(kDevicePageHelpIds[26], 0u);
    EXPECT_EQ(kDevicePageHelpIds[27], 0u);
    EXPECT_EQ(kAdapterPageHelpIds[10], 0u);
    EXPECT_EQ(kAdapterPageHelpIds[11], 0u);
}

TEST(AboutText, OperatingSystemLines) {
    char line[kAboutTextSize];
    FormatOsLine(0x05650004u, line, sizeof line);  // NT 4.0 build 1381
    EXPECT_STREQ(line, "Microsoft Windows NT 4.0 Build: 1381");
    FormatOsLine(0xC0000004u, line, sizeof line);  // Windows 95
    EXPECT_STREQ(line, "Microsoft Windows 95  Version: 4.0");
    FormatOsLine(0xC0000304u, line, sizeof line);  // any minor version below 10 is still Windows 95
    EXPECT_STREQ(line, "Microsoft Windows 95  Version: 4.3");
    FormatOsLine(0xC0000A04u, line, sizeof line);  // Windows 98, first edition and SE
    EXPECT_STREQ(line, "Microsoft Windows 98  Version: 4.10");
    FormatOsLine(0xC0005A04u, line, sizeof line);  // Windows Me
    EXPECT_STREQ(line, "Microsoft Windows Me  Version: 4.90");
    FormatOsLine(0x80A61E01u, line, sizeof line);  // Win32s 1.30: the build loses its top bit
    EXPECT_STREQ(line, "Microsoft Win32s 1.30 Build: 166");
    FormatOsLine(0x23F00206u, line, sizeof line);  // NT 6.2 build 9200
    EXPECT_STREQ(line, "Microsoft Windows NT 6.2 Build: 9200");

    char small[12];
    FormatOsLine(0x05650004u, small, sizeof small);
    EXPECT_STREQ(small, "Microsoft W");
}

TEST(AboutText, KeyPathsAndTheirValues) {
    char path[64];
    VersionQueryPath("LegalCopyRight", path, sizeof path);
    EXPECT_STREQ(path, "\\StringFileInfo\\040904E4\\LegalCopyRight");
    char short_path[30];
    VersionQueryPath("ProductVersion", short_path, sizeof short_path);
    EXPECT_STREQ(short_path, "\\StringFileInfo\\040904E4\\Prod");

    char text[kAboutTextSize];
    FormatVersionValue(true, "Tessaline Utilities", 0, text, sizeof text);
    EXPECT_STREQ(text, "Tessaline Utilities");
    FormatVersionValue(false, nullptr, 1813, text, sizeof text);
    EXPECT_STREQ(text, "Error 1813");
    FormatVersionValue(true, "", 0, text, sizeof text);
    EXPECT_STREQ(text, "Error 0") << "an empty value counts as missing";
}

TEST(SplashPlace, HalvesAreTruncatedBeforeTheyAreSubtracted) {
    const ScreenPoint centre = SplashOrigin(1024, 768, 256, 256);
    EXPECT_EQ(centre.x, 384);
    EXPECT_EQ(centre.y, 256);
    // (101 - 256) / 2 would give -77 and -78: each halving goes first.
    const ScreenPoint tiny = SplashOrigin(101, 99, 256, 256);
    EXPECT_EQ(tiny.x, -78);
    EXPECT_EQ(tiny.y, -79);
    const ScreenPoint odd = SplashOrigin(800, 600, 255, 101);
    EXPECT_EQ(odd.x, 273);
    EXPECT_EQ(odd.y, 250);
}

TEST(SplashPlace, UpOnlyWhenEveryFieldIsSetNoneOnlyWhenAllAreEmpty) {
    SplashState state{};
    EXPECT_FALSE(AnySplashField(state));
    EXPECT_FALSE(EverySplashField(state));
    state.origin = {-78, -79};
    EXPECT_FALSE(AnySplashField(state)) << "the place alone is no splash";
    state.memory_dc = 1;
    EXPECT_TRUE(AnySplashField(state));
    EXPECT_FALSE(EverySplashField(state));
    state = {1, 2, 3, 4, 256, 256, {0, 0}};
    EXPECT_TRUE(EverySplashField(state));
}

}  // namespace
}  // namespace td
