// Fuzzing the listing reader: any bytes at all, as Open would hand them
// over from a file.
//
// Checked on every input:
// - the counts stay within the tables, and the answer agrees with them and
//   with the message shown (1 and no message, or 0 and exactly one);
// - every text field of every record and slot is terminated within its
//   width, whatever the file held;
// - every slot in use is tied to an adapter in use or to none, and no more
//   devices are counted than slots were read;
// - the device-line scan keeps every field within its line, finds no comma
//   in a text and takes only numbers for the SCSI ID and version;
// - a listing that was read writes out, reads back and writes out again as
//   the same text, with the same counts.
// The bytes are libFuzzer's own block of exactly `size` bytes, so the
// address sanitizer stops any read past them.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "common/fixed_text.h"
#include "common/shared_texts.h"
#include "fuzz_checks.h"
#include "inventory/inventory_views.h"
#include "inventory_checks.h"
#include "listing/listing_format.h"
#include "listing/listing_parse.h"
#include "listing/listing_scanner.h"
#include "support/scripted_messages.h"

namespace {

using namespace td;
using fuzz::Require;
using fuzz::RequireInventoryTerminated;

// Every text loads (so every message is shown); boxes are only counted.
class CountingMessages final : public Messages {
public:
    int LoadText(int, char* buffer, int size) override {
        CopyTextTo(buffer, static_cast<std::size_t>(size), "text");
        return 4;
    }
    int Box(WindowRef, const char*, const char*, unsigned) override {
        ++boxes;
        return 1;
    }
    int boxes = 0;
};

class NullViews final : public InventoryViews {
public:
    void Reset() override {}
    UiHandle InsertAdapterItem(const char*, int index) override { return static_cast<UiHandle>(index + 1); }
    void AssignDeviceImage(DeviceSlot& slot) override {
        Require(std::memchr(slot.type_name, 0, sizeof slot.type_name) != nullptr,
                "a type name handed to the views unterminated");
    }
    void ShowFirstAdapter() override { Require(false, "Open selects no adapter"); }
};

// Texts of full width left from an earlier inventory, so that the fields a
// line does not reach are checked too.
void FillEarlier(Inventory& inventory) {
    for (HostAdapterRecord& record : inventory.adapters) {
        std::memset(&record, 'e', sizeof record);
        CopyText(record.identifier, "earlier-adapter-name-of-31-chars");
        CopyText(record.manager_name, "earlier manager");
        CopyText(record.manufacturer, "earlier maker");
        CopyText(record.description, "earlier description");
        CopyText(record.hw_revision, "1234567");
    }
    for (DeviceSlot& slot : inventory.slots) {
        std::memset(&slot, 's', sizeof slot);
        CopyText(slot.adapter_identifier, "earlier-adapter-name-of-31-chars");
        CopyText(slot.vendor, "VENDOR7");
        CopyText(slot.product, "earlier product");
        CopyText(slot.revision, "earlier revision");
        CopyText(slot.type_name, "Hard Disk");
        CopyText(slot.device_path, "C:");
    }
}

void CheckInventory(const Inventory& inventory, int result) {
    Require(inventory.adapter_count >= 0 && inventory.adapter_count <= kMaxAdapters, "adapter count out of bounds");
    Require(inventory.slot_count >= 0 && inventory.slot_count <= kMaxSlots, "slot count out of bounds");
    Require((result == 1) == (inventory.slot_count > 0), "answer and slot count disagree");
    RequireInventoryTerminated(inventory);
    long long devices = 0;
    for (int i = 0; i < inventory.adapter_count; ++i) {
        Require(inventory.adapters[i].adapter_number == i, "adapter number is not the record's index");
        Require(inventory.adapters[i].device_count >= 0, "negative device count");
        devices += inventory.adapters[i].device_count;
    }
    Require(devices <= inventory.slot_count, "more devices counted than slots read");
    for (int j = 0; j < inventory.slot_count; ++j) {
        const std::int32_t number = inventory.slots[j].adapter_number;
        Require(number == kNoAdapterNumber || (number >= 0 && number < inventory.adapter_count),
                "slot tied to an adapter not in use");
    }
}

// The scan of the input's first line as a device line: every field lies
// within the line, the texts hold no comma, and the two numbers are numbers.
void CheckScan(const char* data, std::size_t size) {
    const TextRun line = ListingCursor(data, size).Line();
    const DeviceLineFields fields = ScanDeviceLine(line);
    Require(fields.matched >= 0 && fields.matched <= kDeviceLineFields, "a field count outside the line's seven");
    for (int i = 0; i < fields.matched; ++i) {
        const TextRun field = fields.field[i];
        Require(field.begin >= line.begin && field.begin + field.length <= line.begin + line.length,
                "a field outside its line");
        Require(std::memchr(field.begin, ',', field.length) == nullptr, "a field with a comma in it");
        Require(std::memchr(field.begin, '\n', field.length) == nullptr, "a field across a line feed");
    }
    if (fields.matched > 0) Require(!fields.field[0].empty(), "a SCSI ID without digits");
    if (fields.matched == kDeviceLineFields) Require(!fields.field[6].empty(), "a SCSI version without digits");
}

std::string Written(const Inventory& inventory, Messages& messages) {
    const ListingText listing = FormatListing(inventory, messages);
    Require(static_cast<bool>(listing), "a listing that was read cannot be written");
    return std::string(listing.data(), listing.length());
}

// What the program writes reads back as it was written: a listing that was
// read, written out and read again writes out the same text.
void CheckReadBack(const Inventory& inventory) {
    CountingMessages messages;
    NullViews views;
    const std::string first = Written(inventory, messages);
    auto again = std::make_unique<Inventory>();
    const int result = ParseListing(first.data(), first.size(), *again, test::EnglishSharedTexts(), messages, views);
    Require(result == 1 && messages.boxes == 0, "a written listing does not read back");
    Require(again->adapter_count == inventory.adapter_count && again->slot_count == inventory.slot_count,
            "counts change on the way back");
    Require(Written(*again, messages) == first, "a written listing reads back as something else");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const char* bytes = reinterpret_cast<const char*>(data);
    auto inventory = std::make_unique<Inventory>();
    FillEarlier(*inventory);
    CountingMessages messages;
    NullViews views;
    const int result = ParseListing(bytes, size, *inventory, test::EnglishSharedTexts(), messages, views);
    Require(result == 0 || result == 1, "an answer other than 1 or 0");
    Require(messages.boxes == (result == 1 ? 0 : 1), "a rejected file without its message, or a message too many");
    CheckInventory(*inventory, result);
    CheckScan(bytes, size);
    if (result == 1) CheckReadBack(*inventory);
    return 0;
}
