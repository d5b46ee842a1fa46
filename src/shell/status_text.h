// The two panes of the status bar: the adapter shown and its device count.
#pragma once

namespace td {

struct Inventory;

struct StatusPanes {
    char adapter[128];  // "Currently selected: " + " " + name
    char devices[128];  // "Number of devices connected: " + " " + count
};

// `selected_label` and `count_label` are strings 10 and 11 (empty when they
// could not be loaded); `none_text` is the shared text "None". For adapter
// -1 the name is "None" and the count 0; otherwise the adapter's
// description cut to 30 characters and its device count.
StatusPanes FormatStatusPanes(const Inventory& inventory, int adapter_index, const char* selected_label,
                              const char* count_label, const char* none_text);

}  // namespace td
