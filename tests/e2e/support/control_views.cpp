#include "support/control_views.h"

#include <cstring>

#include "remote_memory.h"

namespace td::e2e::controls {
namespace {

constexpr SIZE_T kTextMax = 256;

// The texts of a control's items, for the controls (headers, tabs) that
// fill an item structure with mask, pszText and cchTextMax: the structure
// and the text it points to must lie in the program's own memory.
template <typename Item>
std::vector<std::string> ItemTexts(HWND control, UINT count_message, UINT get_message, UINT text_mask) {
    std::vector<std::string> texts;
    autom::RemoteMemory memory(control, sizeof(Item) + kTextMax);
    if (!memory.ok()) return texts;
    const int count = static_cast<int>(SendMessageA(control, count_message, 0, 0));
    for (int i = 0; i < count; ++i) {
        Item item{};
        item.mask = text_mask;
        item.pszText = memory.at(sizeof item);
        item.cchTextMax = kTextMax;
        memory.Write(0, &item, sizeof item);
        const char zero = 0;
        memory.Write(sizeof item, &zero, 1);
        SendMessageA(control, get_message, static_cast<WPARAM>(i), memory.param());
        texts.push_back(memory.ReadText(sizeof item, kTextMax));
    }
    return texts;
}

}  // namespace

std::vector<std::string> ListColumnHeaders(HWND list) {
    HWND header = reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0));
    if (header == nullptr) return {};
    return ItemTexts<HDITEMA>(header, HDM_GETITEMCOUNT, HDM_GETITEMA, HDI_TEXT);
}

std::vector<std::string> TabTexts(HWND tabs) {
    return ItemTexts<TCITEMA>(tabs, TCM_GETITEMCOUNT, TCM_GETITEMA, TCIF_TEXT);
}

std::optional<RECT> TreeItemRect(HWND tree, HTREEITEM item) {
    autom::RemoteMemory memory(tree, sizeof(RECT));
    if (!memory.ok()) return std::nullopt;
    // TVM_GETITEMRECT takes the item in the rectangle's place.
    memory.Write(0, &item, sizeof item);
    if (!SendMessageA(tree, TVM_GETITEMRECT, TRUE, memory.param())) return std::nullopt;
    RECT rect{};
    memory.Read(0, &rect, sizeof rect);
    MapWindowPoints(tree, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

RECT ToolbarButtonRect(HWND toolbar, int index) {
    RECT rect{};
    autom::RemoteMemory memory(toolbar, sizeof(RECT));
    if (!memory.ok()) return rect;
    SendMessageA(toolbar, TB_GETITEMRECT, static_cast<WPARAM>(index), memory.param());
    memory.Read(0, &rect, sizeof rect);
    MapWindowPoints(toolbar, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

std::optional<std::string> ShownTooltip(DWORD process_id) {
    for (HWND window : autom::TopLevelWindows(process_id)) {
        if (autom::ClassOf(window) != TOOLTIPS_CLASSA) continue;
        // The tooltip control answers WM_GETTEXT with the text it shows.
        return autom::TextOf(window);
    }
    return std::nullopt;
}

RECT ScreenRectOf(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    return rect;
}

POINT MiddleOf(const RECT& rect) { return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2}; }

const autom::TreeItem* FindTreeItem(const std::vector<autom::TreeItem>& items, const std::string& text) {
    for (const autom::TreeItem& item : items)
        if (item.text == text) return &item;
    return nullptr;
}

std::vector<std::string> FirstColumn(const std::vector<std::vector<std::string>>& rows) {
    std::vector<std::string> ids;
    for (const auto& row : rows) ids.push_back(row.empty() ? std::string() : row[0]);
    return ids;
}

}  // namespace td::e2e::controls
