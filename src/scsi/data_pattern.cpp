#include "scsi/data_pattern.h"

#include "resources/resource_ids.h"

namespace td {

void FillDataPattern(std::uint8_t* buffer, std::size_t size) {
    for (std::size_t i = 0; i < size; ++i) buffer[i] = PatternByteAt(i);
}

PatternMismatch CompareWithDataPattern(const std::uint8_t* data, std::size_t from, std::size_t to) {
    PatternMismatch mismatch{0, 0, 0, 0};
    for (std::size_t i = from; i < to; ++i) {
        const std::uint8_t expected = PatternByteAt(i);
        if (data[i] == expected) continue;
        if (mismatch.count++ == 0) {
            mismatch.first = static_cast<std::uint32_t>(i);
            mismatch.written = expected;
            mismatch.read = data[i];
        }
    }
    return mismatch;
}

bool MatchesDataPattern(const std::uint8_t* data, std::size_t from, std::size_t to) {
    return CompareWithDataPattern(data, from, to).count == 0;
}

bool ReadBackMatches(const std::uint8_t* data, std::size_t from, std::size_t to, LastError& last_error) {
    const PatternMismatch mismatch = CompareWithDataPattern(data, from, to);
    if (mismatch.count == 0) return true;
    RecordFailure(last_error, IDS_READ_BUFFER_MISMATCH, mismatch.count, mismatch.first, mismatch.written,
                  mismatch.read);
    return false;
}

void PutBufferLength(std::uint8_t* cdb, std::uint32_t length) {
    cdb[6] = static_cast<std::uint8_t>(length >> 16);
    cdb[7] = static_cast<std::uint8_t>(length >> 8);
    cdb[8] = static_cast<std::uint8_t>(length);
}

}  // namespace td
