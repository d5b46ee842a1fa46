#include "shell/status_text.h"

#include <cstdio>

#include "common/fixed_text.h"
#include "inventory/inventory.h"

namespace td {

StatusPanes FormatStatusPanes(const Inventory& inventory, int adapter_index, const char* selected_label,
                              const char* count_label, const char* none_text) {
    char name[31];
    int count = 0;
    if (adapter_index >= 0 && adapter_index < kMaxAdapters) {
        const HostAdapterRecord& adapter = inventory.adapters[adapter_index];
        CopyText(name, adapter.description);
        count = adapter.device_count;
    } else {
        CopyText(name, none_text);
    }
    StatusPanes panes{};
    std::snprintf(panes.adapter, sizeof panes.adapter, "%s %s", selected_label ? selected_label : "", name);
    std::snprintf(panes.devices, sizeof panes.devices, "%s %d", count_label ? count_label : "", count);
    return panes;
}

}  // namespace td
