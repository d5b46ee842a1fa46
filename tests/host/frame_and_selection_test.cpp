// The frame's arithmetic, the status bar panes, the title, and finding the
// slot behind a chosen list item.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "common/fixed_text.h"
#include "infowin/placement_math.h"
#include "inventory/device_selection.h"
#include "inventory/inventory.h"
#include "shell/frame_layout.h"
#include "shell/status_text.h"
#include "shell/window_title.h"

namespace td {
namespace {

TEST(FrameLayout, QuarterForTheTreeThreeQuartersForTheList) {
    const FrameLayout layout = ComputeFrameLayout(800, 600);
    EXPECT_EQ(layout.tree.width, 200);
    EXPECT_EQ(layout.tree.height, 554);
    EXPECT_EQ(layout.list.x, 200);
    EXPECT_EQ(layout.list.y, 27);
    EXPECT_EQ(layout.list.width, 600);
    EXPECT_EQ(layout.list.height, 554);
    EXPECT_EQ(layout.status_bar.width, 800);
    EXPECT_EQ(layout.status_bar.height, 20);
    EXPECT_EQ(layout.toolbar.height, 20);

    const FrameLayout odd = ComputeFrameLayout(803, 100);
    EXPECT_EQ(odd.tree.width, 200);
    EXPECT_EQ(odd.list.x, 200);
    EXPECT_EQ(odd.list.width, 603);
}

TEST(FrameLayout, TinyClientAreaNeverGivesNegativeSizes) {
    const FrameLayout layout = ComputeFrameLayout(0, 10);
    EXPECT_EQ(layout.tree.height, 0);
    EXPECT_EQ(layout.list.height, 0);
    EXPECT_EQ(layout.list.width, 0);
}

TEST(FrameLayout, CreationSizesDifferFromTheResizedOnes) {
    EXPECT_EQ(InitialTreeRect(800, 600).height, 555);
    EXPECT_EQ(InitialListRect(800, 600).height, 558);
    EXPECT_EQ(InitialListRect(800, 600).x, 200);
    EXPECT_EQ(ListColumnWidth(800), 121);
}

TEST(StatusPanes, NoneBeforeAnyAdapterAndDescriptionCutTo30) {
    Inventory inventory{};
    StatusPanes none = FormatStatusPanes(inventory, -1,
                                         "Currently selected: ", "Number of devices connected: ", "None");
    EXPECT_STREQ(none.adapter, "Currently selected:  None");
    EXPECT_STREQ(none.devices, "Number of devices connected:  0");

    CopyText(inventory.adapters[1].description, "Harrowgate Brightlane BL-2940UW PCI SCSI Host Adapter");
    inventory.adapters[1].device_count = 3;
    StatusPanes one = FormatStatusPanes(inventory, 1, "Currently selected: ", "Number of devices connected: ", "None");
    EXPECT_STREQ(one.adapter, "Currently selected:  Harrowgate Brightlane BL-2940U");
    EXPECT_STREQ(one.devices, "Number of devices connected:  3");

    StatusPanes unlabelled = FormatStatusPanes(inventory, 1, "", "", "None");
    EXPECT_STREQ(unlabelled.devices, " 3");
}

TEST(ListingTitle, FitsTheBufferAndClosesTheBracket) {
    char title[kTitleBufferSize];
    FormatListingTitle("Tessaline Diagnostics", "SCSI.LOG", title);
    EXPECT_STREQ(title, "Tessaline Diagnostics - [SCSI.LOG]");

    const std::string long_name(400, 'n');
    FormatListingTitle("Tessaline Diagnostics", long_name.c_str(), title);
    const std::string text(title);
    EXPECT_EQ(text.size(), kTitleBufferSize - 1);
    EXPECT_EQ(text.substr(text.size() - 4), "...]");
    EXPECT_EQ(text.substr(0, 25), "Tessaline Diagnostics - [");
}

Inventory TwoAdaptersNarrow() {
    Inventory inventory{};
    inventory.max_target_id = kMaxTargetIdNarrow;
    inventory.adapter_count = 2;
    inventory.slot_count = 16;
    for (int i = 0; i < 16; ++i) {
        inventory.slots[i].adapter_number = i / 8;
        inventory.slots[i].target_id = i % 8;
    }
    return inventory;
}

TEST(DeviceSelection, IdUnderTheSecondAdapterMapsToItsSlot) {
    Inventory inventory = TwoAdaptersNarrow();
    const int position = FindSlotPosition(inventory, "3");
    EXPECT_EQ(position, 3) << "the first slot with ID 3 is in the first adapter's block";
    EXPECT_EQ(SelectedAdapterSlot(inventory, 1, position), 11);
    inventory.max_target_id = kMaxTargetIdWide;
    EXPECT_EQ(SelectedAdapterSlot(inventory, 1, 3), 19);
}

TEST(DeviceSelection, NoMatchOrNoAdapterNeverIndexesOutsideTheTable) {
    Inventory inventory = TwoAdaptersNarrow();
    EXPECT_EQ(FindSlotPosition(inventory, "12"), 16) << "no slot: slot_count";
    EXPECT_EQ(FindSlotPosition(inventory, "03"), 16) << "the text must be the decimal form";
    EXPECT_EQ(SelectedAdapterSlot(inventory, 1, 16), -1);
    EXPECT_EQ(SelectedAdapterSlot(inventory, -1, 3), -1);
    EXPECT_EQ(SelectedAdapterSlot(inventory, 7, 7), 63);
    EXPECT_EQ(SelectedAdapterSlot(inventory, 8, 0), -1);
    inventory.max_target_id = kMaxTargetIdWide;
    EXPECT_EQ(SelectedAdapterSlot(inventory, 4, 0), -1);
}

TEST(DeviceSort, NumericIdsCaseInsensitiveTexts) {
    DeviceSlot a{}, b{};
    a.target_id = 2;
    b.target_id = 10;
    EXPECT_LT(CompareDeviceItems(&a, &b, 0), 0) << "2 before 10";
    CopyText(a.type_name, "cd-rom");
    CopyText(b.type_name, "CD-ROM");
    EXPECT_EQ(CompareDeviceItems(&a, &b, 1), 0);
    CopyText(a.vendor, "ACME");
    CopyText(b.vendor, "zeta");
    EXPECT_LT(CompareDeviceItems(&a, &b, 2), 0);
    CopyText(a.product, "A");
    CopyText(b.product, "B");
    EXPECT_EQ(CompareDeviceItems(&a, &b, 3), 0);
    EXPECT_EQ(CompareDeviceItems(&a, &b, 4), 0);
    EXPECT_EQ(CompareDeviceItems(nullptr, &b, 0), 0);
}

TEST(CenterWindow, CentredOverTheOwnerAndPushedBackInside) {
    const ScreenRect work{0, 0, 1024, 738};
    ScreenPoint p = CenterOverOwner(200, 100, {100, 100, 500, 400}, work);
    EXPECT_EQ(p.x, 200);
    EXPECT_EQ(p.y, 200);
    // Centred it would pass the right edge: its right edge lands on it.
    p = CenterOverOwner(400, 100, {800, 100, 1000, 400}, work);
    EXPECT_EQ(p.x, 1024 - 400);
    // Centred it would start above the work area: it starts at its top.
    p = CenterOverOwner(200, 400, {100, 20, 500, 120}, {0, 30, 1024, 738});
    EXPECT_EQ(p.y, 30);
    // Odd differences are truncated toward zero.
    p = CenterOverOwner(201, 101, {100, 100, 500, 400}, work);
    EXPECT_EQ(p.x, 100 + 199 / 2);
    EXPECT_EQ(p.y, 100 + 199 / 2);
}

TEST(CenterBitmap, OddPixelDroppedAndLargePicturesOverhang) {
    ScreenPoint p = CenteredBitmapOrigin({10, 20, 46, 53}, 32, 32);
    EXPECT_EQ(p.x, 12);
    EXPECT_EQ(p.y, 20);
    p = CenteredBitmapOrigin({10, 20, 30, 40}, 40, 40);
    EXPECT_EQ(p.x, 0);
    EXPECT_EQ(p.y, 10);
}

TEST(FitToPage, AControlReachingPastThePageKeepsItsLeftMarginOnTheRight) {
    EXPECT_EQ(WidthWithinPage(15, 300, 400), 300) << "fits: kept";
    EXPECT_EQ(WidthWithinPage(23, 414, 378), 332) << "the same margin on the right";
    EXPECT_EQ(WidthWithinPage(200, 50, 300), 1) << "no room at all";
}

}  // namespace
}  // namespace td
