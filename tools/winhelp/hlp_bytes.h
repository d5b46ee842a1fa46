// Little-endian fields of a WinHelp (.hlp) file, read with bounds checks.
//
// Every structure of the help file format is little-endian and packed; a
// read past the end of the data means the file is damaged and throws
// FormatError instead of reading memory that is not there.
#pragma once

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace td::hlp {

using Bytes = std::vector<std::uint8_t>;

struct FormatError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

inline void Need(const Bytes& data, std::size_t at, std::size_t size, const char* what) {
    if (at > data.size() || size > data.size() - at) throw FormatError(std::string(what) + " lies outside the data");
}

inline std::uint16_t U16(const Bytes& data, std::size_t at) {
    Need(data, at, 2, "a 16-bit field");
    return static_cast<std::uint16_t>(data[at] | data[at + 1] << 8);
}

inline std::int16_t S16(const Bytes& data, std::size_t at) { return static_cast<std::int16_t>(U16(data, at)); }

inline std::uint32_t U32(const Bytes& data, std::size_t at) {
    Need(data, at, 4, "a 32-bit field");
    return static_cast<std::uint32_t>(data[at]) | static_cast<std::uint32_t>(data[at + 1]) << 8 |
           static_cast<std::uint32_t>(data[at + 2]) << 16 | static_cast<std::uint32_t>(data[at + 3]) << 24;
}

inline std::int32_t S32(const Bytes& data, std::size_t at) { return static_cast<std::int32_t>(U32(data, at)); }

inline void PutU16(Bytes& data, std::size_t at, std::uint16_t value) {
    Need(data, at, 2, "a 16-bit field");
    data[at] = static_cast<std::uint8_t>(value);
    data[at + 1] = static_cast<std::uint8_t>(value >> 8);
}

inline void PutU32(Bytes& data, std::size_t at, std::uint32_t value) {
    Need(data, at, 4, "a 32-bit field");
    for (int i = 0; i < 4; ++i) data[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

inline void AppendU16(Bytes& data, std::uint16_t value) {
    data.push_back(static_cast<std::uint8_t>(value));
    data.push_back(static_cast<std::uint8_t>(value >> 8));
}

inline void AppendU32(Bytes& data, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) data.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

// A NUL-terminated string starting at `at`; throws when the NUL is missing.
inline std::string CString(const Bytes& data, std::size_t at) {
    std::string text;
    for (std::size_t i = at; i < data.size(); ++i) {
        if (data[i] == 0) return text;
        text += static_cast<char>(data[i]);
    }
    throw FormatError("a string runs past the end of the data");
}

}  // namespace td::hlp
