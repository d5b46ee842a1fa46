#include "scsi/data_pattern.h"

namespace td {

void FillDataPattern(std::uint8_t* buffer, std::size_t size) {
    for (std::size_t i = 0; i < size; ++i) buffer[i] = (i % 2 == 0) ? kPatternEven : kPatternOdd;
}

bool MatchesDataPattern(const std::uint8_t* data, std::size_t from, std::size_t to) {
    for (std::size_t i = from; i + 1 < to; i += 2) {
        if (data[i] != kPatternEven || data[i + 1] != kPatternOdd) return false;
    }
    return true;
}

void PutBufferLength(std::uint8_t* cdb, std::uint32_t length) {
    cdb[6] = static_cast<std::uint8_t>(length >> 16);
    cdb[7] = static_cast<std::uint8_t>(length >> 8);
    cdb[8] = static_cast<std::uint8_t>(length);
}

}  // namespace td
