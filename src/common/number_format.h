// Numbers written as the user writes them.
//
// Sizes and counts are shown in the user's own number format: the decimal
// separator, the digit grouping and its separator of the user's locale.
// The program reaches it through GetNumberFormatA, which every system from
// Windows 95 has; tests and a system that cannot format use the plain form
// of the "C" locale instead ("4,294,967,296" and "4.00").
#pragma once

#include <cstddef>

namespace td {

class NumberFormat {
public:
    virtual ~NumberFormat() = default;
    // Writes `value` (decimal digits, perhaps a '.' and `decimals` digits
    // after it, as GetNumberFormatA takes it) with exactly `decimals`
    // digits after the separator, cut to `size` - 1 characters.
    virtual void Format(const char* value, int decimals, char* text, std::size_t size) = 0;
};

// Groups of three digits with ',' and '.' before the decimals.
class PlainNumberFormat final : public NumberFormat {
public:
    void Format(const char* value, int decimals, char* text, std::size_t size) override;
};

}  // namespace td
