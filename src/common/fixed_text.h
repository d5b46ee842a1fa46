// Fixed-width, NUL-terminated text fields.
//
// Every record of the program keeps its texts in char arrays of a fixed size
// (a vendor field of 8 bytes holds at most 7 characters and the NUL). All
// copies into such a field go through these helpers, which deduce the field
// size from its type, so that no copy can ever run past the end of a field.
#pragma once

#include <cstddef>
#include <cstring>

namespace td {

// Copies at most min(N - 1, max_chars) characters of the NUL-terminated
// `source` into `field` and terminates it. A null source empties the field.
template <std::size_t N>
void CopyText(char (&field)[N], const char* source, std::size_t max_chars = N - 1) {
    static_assert(N > 0, "a text field holds at least its terminator");
    if (max_chars > N - 1) max_chars = N - 1;
    std::size_t n = 0;
    if (source != nullptr) {
        while (n < max_chars && source[n] != '\0') ++n;
        std::memcpy(field, source, n);
    }
    field[n] = '\0';
}

// Copies a run of bytes that need not be NUL-terminated (a slice of an
// INQUIRY answer, a registry value, a line of a file): at most `length`
// bytes, stopping at the first NUL, cut to the field.
template <std::size_t N>
void CopyBytes(char (&field)[N], const void* source, std::size_t length) {
    static_assert(N > 0, "a text field holds at least its terminator");
    const char* bytes = static_cast<const char*>(source);
    std::size_t n = 0;
    if (bytes != nullptr) {
        while (n < length && n < N - 1 && bytes[n] != '\0') ++n;
        std::memcpy(field, bytes, n);
    }
    field[n] = '\0';
}

// Appends `source` to the text already in `field`, cut to the field.
template <std::size_t N>
void AppendText(char (&field)[N], const char* source) {
    std::size_t used = 0;
    while (used < N - 1 && field[used] != '\0') ++used;
    std::size_t n = 0;
    if (source != nullptr) {
        while (used + n < N - 1 && source[n] != '\0') {
            field[used + n] = source[n];
            ++n;
        }
    }
    field[used + n] = '\0';
}

// Same as above for buffers that arrive as pointer and size (a caller's
// buffer, never a field of our own records).
inline void CopyTextTo(char* buffer, std::size_t size, const char* source) {
    if (buffer == nullptr || size == 0) return;
    std::size_t n = 0;
    if (source != nullptr) {
        while (n + 1 < size && source[n] != '\0') ++n;
        std::memcpy(buffer, source, n);
    }
    buffer[n] = '\0';
}

inline void AppendTextTo(char* buffer, std::size_t size, const char* source) {
    if (buffer == nullptr || size == 0) return;
    std::size_t used = 0;
    while (used + 1 < size && buffer[used] != '\0') ++used;
    CopyTextTo(buffer + used, size - used, source);
}

template <std::size_t N>
bool TextEquals(const char (&field)[N], const char* other) {
    return other != nullptr && std::strncmp(field, other, N) == 0 && std::strlen(other) < N;
}

template <std::size_t N>
bool IsEmpty(const char (&field)[N]) {
    return field[0] == '\0';
}

}  // namespace td
