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
#include "shell/pane_keys.h"
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

// Each column sorts by its own text, without regard to case (accented
// capitals of code page 1252 too); equal texts and unknown columns go by
// SCSI ID, so a second click on a header gives the same order.
TEST(DeviceSort, EveryColumnSortsAndTiesKeepScsiIdOrder) {
    struct Row {
        int column;
        const char* a;
        const char* b;
        int order;  // sign of a against b, with a at ID 2 and b at ID 10
    } const rows[] = {
        {0, "", "", -1},              // 2 before 10: numeric
        {1, "cd-rom", "CD-ROM", -1},  // equal type: by ID
        {1, "Tape", "disk", 1},
        {2, "ACME", "zeta", -1},
        {2, "ZETA", "acme", 1},
        {3, "Scanner 2", "scanner 10", 1},  // texts compare as texts
        {3, "MODEL", "model", -1},          // equal model: by ID
        {3, "", "A", -1},                   // an empty text first
        {4, "1.10", "1.0", 1},
        {4, "a", "A", -1},
        {1, "\xC9tiquette", "\xE9tiquette", -1},  // accented capital folds
        {5, "B", "A", -1},                        // no such column: by ID
    };
    for (const Row& row : rows) {
        DeviceSlot a{}, b{};
        a.target_id = 2;
        b.target_id = 10;
        char* const fields[][2] = {{nullptr, nullptr},     {a.type_name, b.type_name}, {a.vendor, b.vendor},
                                   {a.product, b.product}, {a.revision, b.revision},   {a.product, b.product}};
        if (row.column > 0) {
            std::strcpy(fields[row.column][0], row.a);
            std::strcpy(fields[row.column][1], row.b);
        }
        const int sign = (CompareDeviceItems(&a, &b, row.column) > 0) - (CompareDeviceItems(&a, &b, row.column) < 0);
        EXPECT_EQ(sign, row.order) << "column " << row.column << ": " << row.a << " / " << row.b;
        EXPECT_EQ(-sign, (CompareDeviceItems(&b, &a, row.column) > 0) - (CompareDeviceItems(&b, &a, row.column) < 0))
            << "column " << row.column << ": the order must not depend on which item comes first";
    }
    DeviceSlot b{};
    EXPECT_EQ(CompareDeviceItems(nullptr, &b, 0), 0);
}

// The panes' keys: Tab and F6 either way to the other pane, Enter in the
// list opens the device; what the system or the pane keeps goes on.
TEST(PaneKeys, TabAndF6MoveBetweenPanesEnterOpensTheListsDevice) {
    constexpr int kTab = 0x09, kReturn = 0x0D, kF6 = 0x75, kF10 = 0x79, kDown = 0x28;
    const PaneKeyAction move = PaneKeyAction::FocusOtherPane, open = PaneKeyAction::OpenProperties,
                        none = PaneKeyAction::None;
    struct Row {
        Pane pane;
        KeyPress key;
        PaneKeyAction action;
    } const rows[] = {
        {Pane::Tree, {kTab, false, false, false}, move},    {Pane::Tree, {kTab, true, false, false}, move},
        {Pane::List, {kTab, false, false, false}, move},    {Pane::List, {kTab, true, false, false}, move},
        {Pane::Tree, {kF6, false, false, false}, move},     {Pane::List, {kF6, true, false, false}, move},
        {Pane::List, {kReturn, false, false, false}, open},  // as a double click
        {Pane::Tree, {kReturn, false, false, false}, none},  // the tree opens nothing
        {Pane::List, {kReturn, false, false, true}, none},   // Alt+Enter: the menu's key
        {Pane::List, {kTab, false, true, false}, none},      // Ctrl+Tab
        {Pane::List, {kTab, false, false, true}, none},      // Alt+Tab: the system's
        {Pane::Tree, {kF6, false, false, true}, none},       // Alt+F6: the system's
        {Pane::List, {kF10, true, false, false}, none},      // Shift+F10: the list asks for its menu
        {Pane::List, {kDown, false, false, false}, none},    // arrows stay with the pane
        {Pane::None, {kTab, false, false, false}, none},     // not in a pane (a label being edited)
    };
    for (const Row& row : rows) {
        EXPECT_EQ(DecidePaneKey(row.pane, row.key), row.action)
            << "pane " << static_cast<int>(row.pane) << " key " << row.key.virtual_key << " shift " << row.key.shift
            << " ctrl " << row.key.control << " alt " << row.key.alt;
    }
}

// The device menu asked for from the keyboard opens under the focused
// item's label, inside the list even when the item is partly hidden.
TEST(PaneKeys, KeyboardMenuOpensUnderTheItemWithinTheList) {
    const PaneBox list{0, 0, 300, 200};
    struct Row {
        PaneBox label;
        int x, y;
    } const rows[] = {
        {{20, 40, 80, 56}, 20, 56},     // under the label, at its left edge
        {{-30, 190, 40, 210}, 0, 199},  // scrolled partly out: kept inside
        {{0, 0, 0, 0}, 0, 0},           // no item: the list's corner
    };
    for (const Row& row : rows) {
        const PanePoint at = KeyboardMenuPoint(row.label, list);
        EXPECT_EQ(at.x, row.x) << row.label.left << "," << row.label.top;
        EXPECT_EQ(at.y, row.y) << row.label.left << "," << row.label.top;
    }
    const PanePoint empty = KeyboardMenuPoint({5, 5, 9, 9}, {0, 0, 0, 0});
    EXPECT_EQ(empty.x, 0);
    EXPECT_EQ(empty.y, 0);
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
