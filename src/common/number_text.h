// Numbers written into fixed-width text fields.
//
// The program shows SCSI IDs, port numbers, sense values and version numbers
// as text. These helpers append a number to the text already in a buffer,
// cut to the buffer like the copies of fixed_text.h. They stand in for the
// C library's formatted printing, which would bring a whole printf engine
// (and its floating-point code) into a program that only writes integers.
#pragma once

#include <cstddef>

namespace td {

// Appends `value` in decimal, with a leading '-' when negative.
void AppendDecimalTo(char* buffer, std::size_t size, long value);
// Appends `value` in decimal.
void AppendUnsignedTo(char* buffer, std::size_t size, unsigned long value);
// Appends `value` in lower-case hexadecimal digits, without a prefix.
void AppendHexTo(char* buffer, std::size_t size, unsigned long value);
// Appends the low byte of `value` as two upper-case hexadecimal digits, the
// way SCSI codes are written ("3A" of 3Ah).
void AppendHexByteTo(char* buffer, std::size_t size, unsigned value);

template <std::size_t N>
void AppendDecimal(char (&field)[N], long value) {
    AppendDecimalTo(field, N, value);
}

template <std::size_t N>
void AppendUnsigned(char (&field)[N], unsigned long value) {
    AppendUnsignedTo(field, N, value);
}

template <std::size_t N>
void AppendHex(char (&field)[N], unsigned long value) {
    AppendHexTo(field, N, value);
}

template <std::size_t N>
void AppendHexByte(char (&field)[N], unsigned value) {
    AppendHexByteTo(field, N, value);
}

}  // namespace td
