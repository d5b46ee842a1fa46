// A device's capacity written as Windows' Explorer writes sizes.
//
// Explorer's convention: a kilobyte is 1024 bytes (KB, MB, GB, TB, PB, EB
// each 1024 of the one before); a size under 1024 bytes is written in
// bytes; any other in the smallest unit that keeps it under 1000, with
// three significant digits, cut rather than rounded ("4.00 GB", "12.3 GB",
// "931 GB", and "0.97 MB" for 1000 KB). The exact number of bytes follows
// in parentheses, then, on a line of its own, the logical blocks and their
// length: "4.00 GB (4,294,967,296 bytes)" / "8,388,608 blocks of 512
// bytes". Every number is in the user's format.
//
// A device may have up to 2^64 blocks of up to 2^32 - 1 bytes: more than
// 64 bits hold, so the arithmetic here is done on 128-bit numbers made of
// 32-bit parts (the 32-bit program has no wider integers).
#pragma once

#include <cstddef>

#include "common/messages.h"
#include "common/number_format.h"
#include "scsi/capacity_answer.h"

namespace td {

// The numbers of a capacity as decimal text, as NumberFormat takes them.
struct CapacityNumbers {
    char bytes[48];         // the whole size in bytes
    char blocks[24];        // the number of logical blocks (the last address + 1)
    char block_length[12];  // bytes per block
    char size[48];          // the size in `unit`, with `decimals` digits after a '.'
    int decimals;
    int unit;  // 0 bytes, 1 KB, 2 MB, 3 GB, 4 TB, 5 PB, 6 EB
};

CapacityNumbers CountCapacity(const CapacityAnswer& capacity);

// The two lines, separated by CR LF, from the string table's sentences
// (IDS_CAPACITY_SIZE, IDS_CAPACITY_BLOCKS and the unit of IDS_SIZE_BYTES +
// unit), cut to `size` - 1 characters.
void WriteCapacity(const CapacityAnswer& capacity, Messages& messages, NumberFormat& format, char* text,
                   std::size_t size);

}  // namespace td
