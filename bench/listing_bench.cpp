// How fast a listing file is written and read back: the largest inventory
// the tables hold (8 adapters, 64 slots with every field at its widest).
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "common/fixed_text.h"
#include "common/shared_texts.h"
#include "inventory/inventory.h"
#include "listing/listing_format.h"
#include "listing/listing_parse.h"
#include "support/recording_views.h"
#include "support/scripted_messages.h"

namespace {

template <class Work>
double MedianMicroseconds(Work work, int runs) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        const auto start = std::chrono::steady_clock::now();
        work();
        times.push_back(std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count());
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

td::Inventory WidestInventory(const td::SharedTexts& texts) {
    td::Inventory inventory{};
    inventory.max_target_id = td::kMaxTargetIdNarrow;
    inventory.adapter_count = 8;
    inventory.slot_count = 64;
    for (int a = 0; a < 8; ++a) {
        td::CopyText(inventory.adapters[a].identifier,
                     (std::string("ADAPTER") + char('A' + a) + std::string(24, 'x')).c_str());
        inventory.adapters[a].adapter_number = a;
    }
    for (int s = 0; s < 64; ++s) {
        td::DeviceSlot& slot = inventory.slots[s];
        slot.target_id = s % 8;
        slot.adapter_number = s / 8;
        td::CopyText(slot.type_name, texts.hard_disk);
        td::CopyText(slot.vendor, "VENDORX");
        td::CopyText(slot.product, std::string(31, 'P').c_str());
        td::CopyText(slot.revision, "1.00");
        td::CopyText(slot.adapter_identifier, inventory.adapters[s / 8].identifier);
        slot.scsi_version = 2;
    }
    return inventory;
}

}  // namespace

int main() {
    td::test::ScriptedMessages messages;
    td::SharedTexts texts{};
    if (!td::LoadSharedTexts(messages, texts)) return 1;
    const td::Inventory inventory = WidestInventory(texts);

    std::size_t length = 0;
    const double write_us = MedianMicroseconds(
        [&] {
            const td::ListingText text = td::FormatListing(inventory, messages);
            length = text.length();
        },
        201);
    const td::ListingText text = td::FormatListing(inventory, messages);
    const std::string bytes(text.data(), text.length());
    const double read_us = MedianMicroseconds(
        [&] {
            td::Inventory loaded{};
            loaded.max_target_id = td::kMaxTargetIdNarrow;
            td::test::RecordingViews views{&texts};
            td::ParseListing(bytes.data(), bytes.size(), loaded, texts, messages, views);
        },
        201);
    std::printf("Listing of 8 adapters and 64 slots (%zu bytes)\n", length);
    std::printf("  write: median %.1f us\n", write_us);
    std::printf("  read:  median %.1f us (into the tables and a recording view)\n", read_us);
    return 0;
}
