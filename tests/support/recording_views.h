// The views as a test sees them: every call recorded, the tree kept as a
// list of items with the newest first (each adapter goes in as the first
// child of the root), pictures assigned from the device type table the way
// the program does, with the picture's resource number as its handle.
#pragma once

#include <string>
#include <vector>

#include "inventory/device_type_table.h"
#include "inventory/inventory_views.h"

namespace td::test {

class RecordingViews final : public InventoryViews {
public:
    struct TreeItem {
        std::string text;
        int index;
        UiHandle handle;
    };

    // With texts, AssignDeviceImage applies the device type table of that
    // language; without, it only records the call.
    explicit RecordingViews(const SharedTexts* texts = nullptr) : texts_(texts) {}

    void Reset() override {
        ++resets;
        tree.clear();
        calls.push_back("Reset");
    }

    UiHandle InsertAdapterItem(const char* text, int index) override {
        calls.push_back("InsertAdapterItem");
        if (fail_insert_index == index) return 0;
        const UiHandle handle = next_handle_++;
        tree.insert(tree.begin(), TreeItem{text, index, handle});
        return handle;
    }

    void AssignDeviceImage(DeviceSlot& slot) override {
        calls.push_back("AssignDeviceImage");
        assigned_types.push_back(slot.type_name);
        if (texts_ == nullptr) return;
        if (const DeviceTypeRow* row = FindDeviceTypeRow(*texts_, slot.type_name)) {
            slot.image_index = row->image_index;
            slot.bitmap = static_cast<UiHandle>(row->bitmap_id);
            ++pictures_found;
        }
    }

    void ShowFirstAdapter() override {
        calls.push_back("ShowFirstAdapter");
        ++first_adapter_shown;
    }

    // What the views went through.
    int resets = 0;
    int first_adapter_shown = 0;
    int pictures_found = 0;
    std::vector<TreeItem> tree;               // top item first
    std::vector<std::string> assigned_types;  // type name of each AssignDeviceImage, in order
    std::vector<std::string> calls;           // every call, in order

    // An adapter whose tree item cannot be inserted (-1: none).
    int fail_insert_index = -1;

private:
    const SharedTexts* texts_;
    UiHandle next_handle_ = 0x5000;
};

}  // namespace td::test
