// Writing the inventory as a listing.
//
// The listing is the plain text copy of the inventory that Save writes and
// Open reads back. Every line ends with a single line feed:
//
//   adapter_count                                "%d\n"
//   one adapter identifier per line, in order    "%s\n"
//   slot_count                                   "%d\n"
//   one device line per slot, in order           "%d,%s,%s,%s,%s,%s,%d\n"
//
// with the device fields target_id, type_name, vendor, product, revision,
// adapter_identifier and scsi_version. The format has no quoting, and other
// programs read it as plain comma-separated text, so the texts go out as
// they are held except for the two characters that would break a line
// apart: a comma is written as a semicolon, and a line feed or any other
// control character (0x00 to 0x1F, 0x7F) that a device may send in its
// INQUIRY texts as a blank. Every other character, the apostrophe
// included, is written as it is, and an empty text as an empty field; the
// reader takes each back as written. An adapter's identifier is written the
// same way on its own line and in its devices' lines, so the two still
// match when they are read back.
#pragma once

#include <cstddef>

#include "common/messages.h"
#include "inventory/inventory.h"

namespace td {

// Where the text's memory comes from: the process heap in the program, an
// allocator that runs dry on purpose in tests.
class TextMemory {
public:
    virtual ~TextMemory() = default;
    // A block of `size` bytes, or nullptr when there is no memory.
    virtual char* Allocate(std::size_t size) = 0;
    virtual void Release(char* block) = 0;
};

// new (std::nothrow) and delete[].
TextMemory& HeapTextMemory();

// The formatted listing: owns its block and gives it back when it goes.
// Empty (false, length 0) when it could not be made.
class ListingText {
public:
    ListingText() = default;
    ListingText(TextMemory& memory, char* block, std::size_t length)
        : memory_(&memory), block_(block), length_(length) {}
    ListingText(ListingText&& other) noexcept { Take(other); }
    ListingText& operator=(ListingText&& other) noexcept {
        if (this != &other) {
            Free();
            Take(other);
        }
        return *this;
    }
    ListingText(const ListingText&) = delete;
    ListingText& operator=(const ListingText&) = delete;
    ~ListingText() { Free(); }

    explicit operator bool() const { return block_ != nullptr; }
    // The text, without a terminating NUL; write length() bytes of it.
    const char* data() const { return block_; }
    std::size_t length() const { return length_; }

private:
    void Free() {
        if (block_ != nullptr) memory_->Release(block_);
        block_ = nullptr;
        length_ = 0;
    }
    void Take(ListingText& other) {
        memory_ = other.memory_;
        block_ = other.block_;
        length_ = other.length_;
        other.block_ = nullptr;
        other.length_ = 0;
    }

    TextMemory* memory_ = nullptr;
    char* block_ = nullptr;
    std::size_t length_ = 0;
};

// The most bytes the listing of `inventory` can take: its counts times the
// widest adapter line and the widest device line, every number at its
// longest and every text field full.
std::size_t ListingCapacity(const Inventory& inventory);

// Writes the listing into `buffer` and answers its length, or 0 when it
// does not fit in `size` bytes (it always fits in ListingCapacity bytes).
// No terminating NUL is written.
std::size_t WriteListing(const Inventory& inventory, char* buffer, std::size_t size);

// The listing of `inventory` in a block of its own. When the block cannot
// be had, shows 50022 "Program Error:  Could not allocate global memory !"
// (no owner, OK, no icon) and yields nothing.
ListingText FormatListing(const Inventory& inventory, Messages& messages, TextMemory& memory = HeapTextMemory());

}  // namespace td
