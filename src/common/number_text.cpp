#include "common/number_text.h"

#include "common/fixed_text.h"

namespace td {
namespace {

// Enough for the digits of any unsigned long in base 10 or 16, a sign and the NUL.
constexpr std::size_t kDigitsMax = 3 * sizeof(unsigned long) + 2;

void AppendInBase(char* buffer, std::size_t size, unsigned long value, unsigned base, bool negative) {
    char digits[kDigitsMax];
    std::size_t at = sizeof digits;
    digits[--at] = '\0';
    do {
        digits[--at] = "0123456789abcdef"[value % base];
        value /= base;
    } while (value != 0);
    if (negative) digits[--at] = '-';
    AppendTextTo(buffer, size, digits + at);
}

}  // namespace

void AppendDecimalTo(char* buffer, std::size_t size, long value) {
    // The magnitude is taken in unsigned arithmetic so that the most
    // negative value needs no special case.
    const unsigned long magnitude = value < 0 ? 0ul - static_cast<unsigned long>(value)
                                              : static_cast<unsigned long>(value);
    AppendInBase(buffer, size, magnitude, 10, value < 0);
}

void AppendUnsignedTo(char* buffer, std::size_t size, unsigned long value) {
    AppendInBase(buffer, size, value, 10, false);
}

void AppendHexTo(char* buffer, std::size_t size, unsigned long value) { AppendInBase(buffer, size, value, 16, false); }

void AppendHexByteTo(char* buffer, std::size_t size, unsigned value) {
    const char digits[3] = {"0123456789ABCDEF"[(value >> 4) & 0x0F], "0123456789ABCDEF"[value & 0x0F], '\0'};
    AppendTextTo(buffer, size, digits);
}

}  // namespace td
