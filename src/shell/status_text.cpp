#include "shell/status_text.h"

#include "common/fixed_text.h"
#include "common/number_text.h"
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
    CopyText(panes.adapter, selected_label);
    AppendText(panes.adapter, " ");
    AppendText(panes.adapter, name);
    CopyText(panes.devices, count_label);
    AppendText(panes.devices, " ");
    AppendDecimal(panes.devices, count);
    return panes;
}

}  // namespace td
