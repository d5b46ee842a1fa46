// Reading a fuzz input from its front, field after field, so that a seed
// is written in the same order as the target reads it. Past the end every
// field reads as zeros, so any input, even an empty one, is a whole case.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace td::fuzz {

class InputReader {
public:
    InputReader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    std::uint8_t Byte() { return at_ < size_ ? data_[at_++] : 0; }

    // Little-endian, as the seeds are written.
    std::uint32_t Word32() {
        std::uint32_t value = 0;
        for (int i = 0; i < 4; ++i) value |= static_cast<std::uint32_t>(Byte()) << (8 * i);
        return value;
    }

    // Up to `count` bytes, fewer at the end of the input.
    std::vector<std::uint8_t> Bytes(std::size_t count) {
        const std::size_t n = count < size_ - at_ ? count : size_ - at_;
        std::vector<std::uint8_t> bytes(data_ + at_, data_ + at_ + n);
        at_ += n;
        return bytes;
    }

    // A run of bytes whose length comes first, in one byte.
    std::vector<std::uint8_t> Counted() { return Bytes(Byte()); }

    std::string CountedText() {
        const std::vector<std::uint8_t> bytes = Counted();
        return std::string(bytes.begin(), bytes.end());
    }

    std::vector<std::uint8_t> Rest() { return Bytes(size_ - at_); }

    bool empty() const { return at_ >= size_; }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t at_ = 0;
};

// Bytes copied into a heap block exactly as long as they are, so that
// AddressSanitizer stops a read one byte past them. data() is null when
// there are none, as a caller that got nothing would pass it.
class ExactBlock {
public:
    ExactBlock(const std::uint8_t* bytes, std::size_t size)
        : block_(std::make_unique<std::uint8_t[]>(size == 0 ? 1 : size)), size_(size) {
        if (size > 0) std::memcpy(block_.get(), bytes, size);
    }
    explicit ExactBlock(const std::vector<std::uint8_t>& bytes) : ExactBlock(bytes.data(), bytes.size()) {}

    const std::uint8_t* data() const { return size_ == 0 ? nullptr : block_.get(); }
    std::size_t size() const { return size_; }

private:
    std::unique_ptr<std::uint8_t[]> block_;
    std::size_t size_;
};

}  // namespace td::fuzz
