// The adapter tree and the device list: the two views of the inventory.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "inventory/inventory_views.h"

namespace td {

struct Program;

HWND CreateAdapterTree(Program& program, HWND parent, HINSTANCE instance);
HTREEITEM InsertRootItem(Program& program, HWND tree);
HTREEITEM InsertAdapterItem(Program& program, const char* text, HWND tree, LPARAM data);
void ClearAdapterTree(HWND tree);

// Empties the inventory's counts and selections, both views, and inserts a
// fresh root item.
void ResetViews(Program& program);

HWND CreateDeviceList(Program& program, HWND parent, HINSTANCE instance, DWORD view_style);
bool InsertDeviceItem(HWND list, int position, DeviceSlot* slot);
void ClearDeviceList(HWND list);
// Shows the devices of adapter `adapter_index` (-1: none, the list stays empty).
void FillDeviceList(Program& program, HWND list, int adapter_index);

// Gives the slot its list image and its 32 x 32 picture from its type name.
void AssignDeviceImage(Program& program, DeviceSlot& slot);

// Commands 120 to 123: large icons, small icons, list, details.
void SetListViewMode(HWND list, int command);

// TVN_SELCHANGED of the tree: answers whether the selected adapter changed.
bool OnAdapterTreeNotify(Program& program, const NMHDR* header);
// The list's requests for display text and its column clicks.
LRESULT OnDeviceListNotify(Program& program, NMHDR* header);

// Expands the root, selects adapter 0, shows its devices and its status.
void ShowFirstAdapter(Program& program);

// The views as the portable discovery and listing code sees them.
class Win32InventoryViews final : public InventoryViews {
public:
    explicit Win32InventoryViews(Program& program) : program_(program) {}
    void Reset() override;
    UiHandle InsertAdapterItem(const char* text, int index) override;
    void AssignDeviceImage(DeviceSlot& slot) override;
    void ShowFirstAdapter() override;

private:
    Program& program_;
};

}  // namespace td
