#include "listing/listing_format.h"

#include <charconv>
#include <cstring>
#include <new>

#include "common/win_codes.h"
#include "resources/resource_ids.h"

namespace td {
namespace {

class HeapMemory final : public TextMemory {
public:
    char* Allocate(std::size_t size) override { return new (std::nothrow) char[size]; }
    void Release(char* block) override { delete[] block; }
};

// "-2147483648": the longest an int32 prints with "%d".
constexpr std::size_t kNumberWidth = 11;

// A field prints at most its width less the terminator.
template <std::size_t N>
constexpr std::size_t FieldWidth(const char (&)[N]) {
    return N - 1;
}

// How a character of a text goes out: the comma separates the fields and
// the line feed ends the line, so a comma becomes a semicolon and every
// control character a blank.
char ListingCharacter(char c) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == ',') return ';';
    if (byte < 0x20 || byte == 0x7F) return ' ';
    return c;
}

// The counts as written: what the tables can hold. The inventory never
// holds anything else; a damaged count must not make the writer walk past
// the tables.
int WrittenCount(std::int32_t count, int capacity) {
    if (count < 0) return 0;
    return count > capacity ? capacity : count;
}

// Appends to a buffer of fixed size; remembers when something did not fit.
class Writer {
public:
    Writer(char* buffer, std::size_t size) : buffer_(buffer), size_(buffer == nullptr ? 0 : size) {}

    void Char(char c) {
        if (used_ < size_) {
            buffer_[used_++] = c;
        } else {
            full_ = true;
        }
    }

    void Number(std::int32_t value) {
        char digits[kNumberWidth];
        const auto result = std::to_chars(digits, digits + sizeof digits, value);
        Bytes(digits, static_cast<std::size_t>(result.ptr - digits));
    }

    // A fixed field up to its terminator, never past its width, with the
    // characters that would split its line replaced.
    template <std::size_t N>
    void Field(const char (&field)[N]) {
        for (std::size_t i = 0; i < N - 1 && field[i] != '\0'; ++i) Char(ListingCharacter(field[i]));
    }

    bool full() const { return full_; }
    std::size_t used() const { return used_; }

private:
    void Bytes(const char* bytes, std::size_t length) {
        if (length > size_ - used_) {
            full_ = true;
            return;
        }
        std::memcpy(buffer_ + used_, bytes, length);
        used_ += length;
    }

    char* buffer_;
    std::size_t size_;
    std::size_t used_ = 0;
    bool full_ = false;
};

}  // namespace

TextMemory& HeapTextMemory() {
    static HeapMemory memory;
    return memory;
}

std::size_t ListingCapacity(const Inventory& inventory) {
    const HostAdapterRecord& record = inventory.adapters[0];
    const DeviceSlot& slot = inventory.slots[0];
    const std::size_t count_line = kNumberWidth + 1;
    const std::size_t adapter_line = FieldWidth(record.identifier) + 1;
    const std::size_t device_line = kNumberWidth + FieldWidth(slot.type_name) + FieldWidth(slot.vendor) +
                                    FieldWidth(slot.product) + FieldWidth(slot.revision) +
                                    FieldWidth(slot.adapter_identifier) + kNumberWidth + 6 /* commas */ +
                                    1 /* line feed */;
    const std::size_t adapters = static_cast<std::size_t>(WrittenCount(inventory.adapter_count, kMaxAdapters));
    const std::size_t slots = static_cast<std::size_t>(WrittenCount(inventory.slot_count, kMaxSlots));
    return 2 * count_line + adapters * adapter_line + slots * device_line;
}

std::size_t WriteListing(const Inventory& inventory, char* buffer, std::size_t size) {
    const int adapters = WrittenCount(inventory.adapter_count, kMaxAdapters);
    const int slots = WrittenCount(inventory.slot_count, kMaxSlots);
    Writer out(buffer, size);
    out.Number(adapters);
    out.Char('\n');
    for (int i = 0; i < adapters; ++i) {
        out.Field(inventory.adapters[i].identifier);
        out.Char('\n');
    }
    out.Number(slots);
    out.Char('\n');
    for (int j = 0; j < slots; ++j) {
        const DeviceSlot& slot = inventory.slots[j];
        out.Number(slot.target_id);
        out.Char(',');
        out.Field(slot.type_name);
        out.Char(',');
        out.Field(slot.vendor);
        out.Char(',');
        out.Field(slot.product);
        out.Char(',');
        out.Field(slot.revision);
        out.Char(',');
        out.Field(slot.adapter_identifier);
        out.Char(',');
        out.Number(slot.scsi_version);
        out.Char('\n');
    }
    return out.full() ? 0 : out.used();
}

ListingText FormatListing(const Inventory& inventory, Messages& messages, TextMemory& memory) {
    const std::size_t capacity = ListingCapacity(inventory);
    char* block = memory.Allocate(capacity);
    if (block == nullptr) {
        ShowMessage(messages, 0, IDS_NO_MEMORY, win::kMbOk);
        return {};
    }
    const std::size_t length = WriteListing(inventory, block, capacity);
    if (length == 0) {  // cannot happen with a block of the full capacity; never yield half a text
        memory.Release(block);
        return {};
    }
    return ListingText(memory, block, length);
}

}  // namespace td
