#include "inventory/views_win32.h"

#include "common/number_text.h"
#include "common/program_resources_win32.h"
#include "common/win_codes.h"
#include "inventory/device_selection.h"
#include "inventory/device_type_table.h"
#include "resources/resource_ids.h"
#include "shell/frame_layout.h"
#include "shell/frame_win32.h"
#include "shell/program_win32.h"

namespace td {
namespace {

// The tree keeps showing its selection while the list has the focus, so the
// user always sees which adapter the list shows.
constexpr DWORD kTreeStyles = TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | TVS_TRACKSELECT | TVS_SHOWSELALWAYS;
constexpr DWORD kListStyles = LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_EDITLABELS;
constexpr int kColumnCount = 5;

void Report(Program& program, int id, unsigned flags) { ShowMessage(program.messages, 0, id, flags); }

int AddTreeBitmap(HINSTANCE instance, HIMAGELIST images, int bitmap_id) {
    HBITMAP bitmap = LoadBitmapA(instance, MAKEINTRESOURCEA(bitmap_id));
    const int index = ImageList_Add(images, bitmap, nullptr);
    if (bitmap != nullptr) DeleteObject(bitmap);
    return index;
}

HICON LoadIconSized(HINSTANCE instance, int id, int size) {
    return static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(id), IMAGE_ICON, size, size, 0));
}

int CALLBACK CompareListItems(LPARAM a, LPARAM b, LPARAM column) {
    return CompareDeviceItems(reinterpret_cast<const DeviceSlot*>(a), reinterpret_cast<const DeviceSlot*>(b),
                              static_cast<int>(column));
}

}  // namespace

// ---- Tree -------------------------------------------------------------------

HWND CreateAdapterTree(Program& program, HWND parent, HINSTANCE instance) {
    RECT client{};
    GetClientRect(parent, &client);
    const ControlRect rect = InitialTreeRect(client.right, client.bottom);
    HWND tree = CreateWindowExA(0, WC_TREEVIEWA, "", WS_CHILD | WS_VISIBLE | WS_BORDER | kTreeStyles, rect.x, rect.y,
                                rect.width, rect.height, parent,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_ADAPTER_TREE)), instance, nullptr);
    if (tree == nullptr) {
        Report(program, IDS_TREE_CREATE_FAILED, win::kMbIconError);
        return nullptr;
    }
    HIMAGELIST images = ImageList_Create(16, 16, ILC_COLOR8, 2, 10);
    if (images == nullptr) {
        Report(program, IDS_TREE_IMAGELIST_FAILED, win::kMbIconError);
        return nullptr;
    }
    program.app.tree_icons = images;
    TreeState& state = program.app.tree;
    state.root_image = AddTreeBitmap(instance, images, IDB_TREE_ROOT);
    state.adapter_image = AddTreeBitmap(instance, images, IDB_TREE_ADAPTER);
    state.selected_image = AddTreeBitmap(instance, images, IDB_TREE_SELECTED);
    if (ImageList_GetImageCount(images) != 3) {
        Report(program, IDS_TREE_IMAGES_MISSING, win::kMbIconError);
        return nullptr;
    }
    SendMessageA(tree, TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(images));
    InsertRootItem(program, tree);
    return tree;
}

HTREEITEM InsertRootItem(Program& program, HWND tree) {
    char text[17] = "";  // the root's label: at most 16 characters
    LoadProgramText(IDS_TREE_ROOT, text, sizeof text);
    TVINSERTSTRUCTA insert{};
    insert.hParent = TVI_ROOT;
    insert.hInsertAfter = TVI_FIRST;
    insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM;
    insert.item.pszText = text;
    insert.item.iImage = program.app.tree.root_image;
    insert.item.iSelectedImage = program.app.tree.root_image;
    insert.item.lParam = -1;
    program.app.tree.root = reinterpret_cast<HTREEITEM>(
        SendMessageA(tree, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
    return program.app.tree.root;
}

HTREEITEM InsertAdapterItem(Program& program, const char* text, HWND tree, LPARAM data) {
    TVINSERTSTRUCTA insert{};
    insert.hParent = program.app.tree.root;
    insert.hInsertAfter = TVI_FIRST;  // the last adapter inserted is shown on top
    insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM;
    insert.item.pszText = const_cast<char*>(text);
    insert.item.iImage = program.app.tree.adapter_image;
    insert.item.iSelectedImage = program.app.tree.selected_image;
    insert.item.lParam = data;
    HTREEITEM item = reinterpret_cast<HTREEITEM>(
        SendMessageA(tree, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
    if (item == nullptr) Report(program, IDS_TREE_INSERT_FAILED, win::kMbIconError);
    return item;
}

void ClearAdapterTree(HWND tree) { SendMessageA(tree, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT)); }

void ResetViews(Program& program) {
    program.inventory.adapter_count = 0;
    program.inventory.slot_count = 0;
    program.app.selected_adapter = -1;
    program.app.selected_slot = -1;
    if (program.app.adapter_tree != nullptr) {
        ClearAdapterTree(program.app.adapter_tree);
        InsertRootItem(program, program.app.adapter_tree);
    }
    if (program.app.device_list != nullptr) ClearDeviceList(program.app.device_list);
}

// ---- List -------------------------------------------------------------------

HWND CreateDeviceList(Program& program, HWND parent, HINSTANCE instance, DWORD view_style) {
    RECT client{};
    GetClientRect(parent, &client);
    const ControlRect rect = InitialListRect(client.right, client.bottom);
    HWND list = CreateWindowExA(0, WC_LISTVIEWA, "",
                                WS_CHILD | WS_VISIBLE | WS_BORDER | kListStyles | (view_style & LVS_TYPEMASK), rect.x,
                                rect.y, rect.width, rect.height, parent,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_DEVICE_LIST)), instance, nullptr);
    if (list == nullptr) return nullptr;

    HIMAGELIST small_icons = ImageList_Create(16, 16, ILC_MASK | ILC_COLOR8, 1, 0);
    HIMAGELIST large_icons = ImageList_Create(32, 32, ILC_MASK | ILC_COLOR8, 1, 0);
    program.app.small_icons = small_icons;
    program.app.large_icons = large_icons;
    for (int id : kListIconIds) {
        HICON small_icon = LoadIconSized(instance, id, 16);
        HICON large_icon = LoadIconSized(instance, id, 32);
        const bool added = ImageList_ReplaceIcon(small_icons, -1, small_icon) >= 0 &&
                           ImageList_ReplaceIcon(large_icons, -1, large_icon) >= 0;
        if (small_icon != nullptr) DestroyIcon(small_icon);
        if (large_icon != nullptr) DestroyIcon(large_icon);
        if (!added) {
            Report(program, IDS_ADDICON_FAILED, win::kMbIconError);
            return nullptr;
        }
    }
    SendMessageA(list, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(small_icons));
    SendMessageA(list, LVM_SETIMAGELIST, LVSIL_NORMAL, reinterpret_cast<LPARAM>(large_icons));

    for (int column = 0; column < kColumnCount; ++column) {
        char header[64] = "";
        LoadProgramText(IDS_COLUMN_SCSI_ID + column, header, sizeof header);
        LVCOLUMNA info{};
        info.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
        info.fmt = LVCFMT_LEFT;
        info.cx = ListColumnWidth(client.right);
        info.pszText = header;
        info.iSubItem = column;
        if (SendMessageA(list, LVM_INSERTCOLUMNA, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&info)) == -1) {
            return nullptr;
        }
    }
    return list;
}

bool InsertDeviceItem(HWND list, int position, DeviceSlot* slot) {
    LVITEMA item{};
    item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
    item.iItem = position;
    item.pszText = LPSTR_TEXTCALLBACKA;
    item.iImage = slot->image_index;
    item.lParam = reinterpret_cast<LPARAM>(slot);
    const int index = static_cast<int>(SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
    if (index < 0) return false;
    for (int column = 1; column < kColumnCount; ++column) {
        LVITEMA text{};
        text.iSubItem = column;
        text.pszText = LPSTR_TEXTCALLBACKA;
        SendMessageA(list, LVM_SETITEMTEXTA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&text));
    }
    return true;
}

void ClearDeviceList(HWND list) { SendMessageA(list, LVM_DELETEALLITEMS, 0, 0); }

void FillDeviceList(Program& program, HWND list, int adapter_index) {
    if (list == nullptr) return;
    ClearDeviceList(list);
    if (adapter_index < 0 || adapter_index >= kMaxAdapters) return;
    Inventory& inventory = program.inventory;
    const int adapter_number = inventory.adapters[adapter_index].adapter_number;
    int position = 0;
    for (int i = NextSlotOfAdapter(inventory, adapter_number, 0); i >= 0;
         i = NextSlotOfAdapter(inventory, adapter_number, i + 1)) {
        if (!InsertDeviceItem(list, position, &inventory.slots[i])) {
            ShowMessage(program.messages, 0, IDS_LIST_INSERT_FAILED, win::kMbOk);
        }
        ++position;  // a failed slot still takes its place in the count
    }
}

void AssignDeviceImage(Program& program, DeviceSlot& slot) {
    const DeviceTypeRow* row = FindDeviceTypeRow(program.texts, slot.type_name);
    if (row == nullptr) row = FallbackDeviceTypeRow(program.texts, slot.type_name);
    if (row == nullptr) return;
    // Every discovery and every Open assigns the pictures again; the one
    // the slot held is released first so repeated re-scans do not pile up
    // bitmaps.
    if (slot.bitmap != 0) DeleteObject(reinterpret_cast<HBITMAP>(slot.bitmap));
    slot.bitmap = reinterpret_cast<UiHandle>(LoadBitmapA(program.app.instance, MAKEINTRESOURCEA(row->bitmap_id)));
    slot.image_index = row->image_index;
}

void SetListViewMode(HWND list, int command) {
    DWORD mode;
    switch (command) {
        case IDM_VIEW_LARGE_ICONS:
            mode = LVS_ICON;
            break;
        case IDM_VIEW_SMALL_ICONS:
            mode = LVS_SMALLICON;
            break;
        case IDM_VIEW_LIST:
            mode = LVS_LIST;
            break;
        case IDM_VIEW_DETAILS:
            mode = LVS_REPORT;
            break;
        default:
            return;
    }
    const DWORD style = static_cast<DWORD>(GetWindowLongA(list, GWL_STYLE));
    if ((style & LVS_TYPEMASK) != mode) {
        SetWindowLongA(list, GWL_STYLE, static_cast<LONG>((style & ~LVS_TYPEMASK) | mode));
        // The list lays its items out anew; make sure the screen follows.
        InvalidateRect(list, nullptr, TRUE);
    }
}

// ---- Notifications ----------------------------------------------------------

bool OnAdapterTreeNotify(Program& program, const NMHDR* header) {
    if (header->code != TVN_SELCHANGEDA && header->code != TVN_SELCHANGEDW) return false;
    const auto* change = reinterpret_cast<const NMTREEVIEWA*>(header);
    program.app.selected_adapter = static_cast<std::int32_t>(change->itemNew.lParam);
    return true;
}

LRESULT OnDeviceListNotify(Program& program, NMHDR* header) {
    if (header->idFrom != IDC_DEVICE_LIST) return 0;
    if (header->code == LVN_GETDISPINFOA) {
        auto* info = reinterpret_cast<NMLVDISPINFOA*>(header);
        const auto* slot = reinterpret_cast<const DeviceSlot*>(info->item.lParam);
        if (slot == nullptr || (info->item.mask & LVIF_TEXT) == 0) return 0;
        switch (info->item.iSubItem) {
            case 0:
                program.app.id_text[0] = '\0';
                AppendUnsigned(program.app.id_text, static_cast<unsigned>(slot->target_id));
                info->item.pszText = program.app.id_text;
                break;
            case 1:
                info->item.pszText = const_cast<char*>(slot->type_name);
                break;
            case 2:
                info->item.pszText = const_cast<char*>(slot->vendor);
                break;
            case 3:
                info->item.pszText = const_cast<char*>(slot->product);
                break;
            case 4:
                info->item.pszText = const_cast<char*>(slot->revision);
                break;
            default:
                break;
        }
    } else if (header->code == LVN_COLUMNCLICK) {
        const auto* click = reinterpret_cast<const NMLISTVIEW*>(header);
        SendMessageA(header->hwndFrom, LVM_SORTITEMS, static_cast<WPARAM>(click->iSubItem),
                     reinterpret_cast<LPARAM>(CompareListItems));
    }
    return 0;
}

void ShowFirstAdapter(Program& program) {
    AppState& app = program.app;
    if (app.adapter_tree != nullptr)
        SendMessageA(app.adapter_tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(app.tree.root));
    app.selected_adapter = 0;
    FillDeviceList(program, app.device_list, 0);
    UpdateStatusBar(program, 0);
    if (app.adapter_tree != nullptr)
        SendMessageA(app.adapter_tree, TVM_SELECTITEM, TVGN_CARET,
                     static_cast<LPARAM>(program.inventory.adapters[0].tree_item));
}

// ---- The views for the portable fillers --------------------------------------

void Win32InventoryViews::Reset() { ResetViews(program_); }

UiHandle Win32InventoryViews::InsertAdapterItem(const char* text, int index) {
    if (program_.app.adapter_tree == nullptr) return 0;
    return reinterpret_cast<UiHandle>(td::InsertAdapterItem(program_, text, program_.app.adapter_tree, index));
}

void Win32InventoryViews::AssignDeviceImage(DeviceSlot& slot) { td::AssignDeviceImage(program_, slot); }

void Win32InventoryViews::ShowFirstAdapter() { td::ShowFirstAdapter(program_); }

}  // namespace td
