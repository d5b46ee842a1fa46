// What the two pages of the device properties sheet show, decided without
// a window.
//
// The sheet shows one slot: the selected adapter's slot for the SCSI ID
// chosen in the list. The device page shows the slot's identity as five
// texts and its capabilities as eight three-state boxes; the host adapter
// page shows the record of the adapter the slot hangs on. The Win32 face
// only copies these contents into the controls.
#pragma once

#include <cstdint>

#include "common/shared_texts.h"
#include "inventory/inventory.h"

namespace td {

enum : int { kDevicePage = 0, kAdapterPage = 1 };

// The page the sheet opens on: the host adapter page when the adapter's own
// slot was chosen, the device page otherwise.
int StartPage(std::int32_t host_adapter_selected);

// The slot the sheet shows, from the position of the chosen SCSI ID within
// an adapter's block: selected_adapter x ids_per_adapter + position. The
// page the sheet opens on does this once; -1 when the result names no slot
// of the table (no adapter selected, a position outside the block, or a
// position that is already -1).
int SheetSlot(const Inventory& inventory, std::int32_t selected_adapter, std::int32_t position);

struct PageText {
    int control;
    char text[64];
};

struct PageBox {
    int control;
    bool marked;
};

// The device page for one slot. Boxes are listed in control order of the
// page's table; a marked box is also enabled, an unmarked one stays as the
// page left it (disabled).
struct DevicePageContent {
    PageText texts[5];
    PageBox boxes[8];
    UiHandle picture;  // the slot's bitmap; 0 paints nothing
};

// An empty ID and an adapter's own slot are recognised by their type text
// in any language (slot_kind.h). A slot of -1 or outside the table gives
// empty texts, no marks and no picture.
DevicePageContent DescribeDevicePage(const Inventory& inventory, int slot, const SharedTexts& texts);

// The host adapter page: `filled` is false when there is nothing to show,
// and the page then keeps the texts it has.
struct AdapterPageContent {
    bool filled;
    PageText texts[5];
};

// The adapter is the one whose index is the slot's adapter_number. A slot
// of -1 or outside the table, or an adapter number outside the table (a
// slot a re-scan cleared carries 8), leaves the page unfilled.
AdapterPageContent DescribeAdapterPage(const Inventory& inventory, int slot);

// Context help: pairs of control and help context id, ending with 0, 0, in
// the layout the help viewer takes for HELP_WM_HELP and HELP_CONTEXTMENU.
extern const std::uint32_t kDevicePageHelpIds[28];
extern const std::uint32_t kAdapterPageHelpIds[12];

// The help context of `control` in such a table; 0 when it has none.
std::uint32_t HelpContextOf(const std::uint32_t* table, int control);

}  // namespace td
