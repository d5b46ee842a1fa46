// The data the buffer commands write and expect back: 0xAA at every even
// offset and 0x55 at every odd one, starting with 0xAA. Alternating bits in
// every byte and between neighbouring bytes show stuck and crossed data
// lines on the bus.
#pragma once

#include <cstddef>
#include <cstdint>

#include "scsi/failure_records.h"

namespace td {

constexpr std::uint8_t kPatternEven = 0xAA;
constexpr std::uint8_t kPatternOdd = 0x55;

constexpr std::uint8_t PatternByteAt(std::size_t offset) { return offset % 2 == 0 ? kPatternEven : kPatternOdd; }

void FillDataPattern(std::uint8_t* buffer, std::size_t size);

// How the data read back differs from the pattern.
struct PatternMismatch {
    std::uint32_t count;  // bytes that differ; 0 when the data carries the pattern
    std::uint32_t first;  // offset of the first that differs
    std::uint8_t written;
    std::uint8_t read;
};

// Compares bytes `from` to `to` - 1 of `data` with the pattern.
PatternMismatch CompareWithDataPattern(const std::uint8_t* data, std::size_t from, std::size_t to);

// True when bytes `from` to `to` - 1 of `data` carry the pattern.
bool MatchesDataPattern(const std::uint8_t* data, std::size_t from, std::size_t to);

// READ BUFFER's judge on both transports: true when bytes `from` to `to` - 1
// of the data read back carry the pattern; otherwise the difference is
// recorded in `last_error` (6200, with how many bytes differ and the first
// of them, as written and as read).
bool ReadBackMatches(const std::uint8_t* data, std::size_t from, std::size_t to, LastError& last_error);

// Stores a transfer length in CDB bytes 6 to 8 of WRITE BUFFER and READ
// BUFFER, most significant byte first.
void PutBufferLength(std::uint8_t* cdb, std::uint32_t length);

}  // namespace td
