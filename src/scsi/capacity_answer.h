// The answers of READ CAPACITY (10) and READ CAPACITY (16).
//
// Both tell the address of the device's last logical block and the length
// of a block in bytes, most significant byte first. The 10-byte form has
// four bytes for the address: a device larger than that says FFFFFFFFh
// there, and only then is the 16-byte form asked. Each answer is read only
// within the bytes the device actually sent.
#pragma once

#include <cstddef>
#include <cstdint>

namespace td {

// Bytes each answer must hold to be read: the address and the length.
constexpr std::size_t kCapacity10Length = 8;
constexpr std::size_t kCapacity16Length = 12;
// What the program asks the 16-byte form for (the whole parameter data).
constexpr std::uint32_t kCapacity16Allocation = 32;

struct CapacityAnswer {
    std::uint64_t last_block;    // address of the last logical block
    std::uint32_t block_length;  // bytes per block, never 0 once read
};

enum class CapacityReading {
    Read,         // `capacity` holds the answer
    AskLongForm,  // the 10-byte answer's address is FFFFFFFFh: ask READ CAPACITY (16)
    NotReported,  // too short, or a block length of 0: the device did not tell
};

CapacityReading ReadCapacity10Answer(const std::uint8_t* data, std::size_t transferred, CapacityAnswer& capacity);
CapacityReading ReadCapacity16Answer(const std::uint8_t* data, std::size_t transferred, CapacityAnswer& capacity);

}  // namespace td
