// The data the buffer commands write and expect back: 0xAA at every even
// offset and 0x55 at every odd one, starting with 0xAA. Alternating bits in
// every byte and between neighbouring bytes show stuck and crossed data
// lines on the bus.
#pragma once

#include <cstddef>
#include <cstdint>

namespace td {

constexpr std::uint8_t kPatternEven = 0xAA;
constexpr std::uint8_t kPatternOdd = 0x55;

void FillDataPattern(std::uint8_t* buffer, std::size_t size);

// True when bytes `from` to `to` - 1 of `data` carry the pattern, checked a
// pair at a time from the even offset `from`.
bool MatchesDataPattern(const std::uint8_t* data, std::size_t from, std::size_t to);

// Stores a transfer length in CDB bytes 6 to 8 of WRITE BUFFER and READ
// BUFFER, most significant byte first.
void PutBufferLength(std::uint8_t* cdb, std::uint32_t length);

}  // namespace td
