// A text as the program file's resources hold it: little-endian UTF-16 code
// units, without terminator, at whatever alignment the resource gives them.
#pragma once

#include <cstdint>

namespace td {

struct ResourceText {
    const std::uint8_t* text;  // null when there is no text
    int length;                // in code units; 0 for an absent or empty text
};

}  // namespace td
