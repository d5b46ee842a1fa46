// What every fuzz target asserts with: a failed check names itself on
// standard error and aborts, so libFuzzer keeps the input as a crash.
#pragma once

#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace td::fuzz {

inline void Require(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "fuzz check failed: %s\n", what);
        std::abort();
    }
}

// A fixed-width text field holds its terminator within its width.
template <std::size_t N>
void RequireTerminated(const char (&field)[N], const char* what = "a text field lost its terminator") {
    Require(std::memchr(field, 0, N) != nullptr, what);
}

// The text of a field is at most `max_chars` characters long.
template <std::size_t N>
void RequireAtMost(const char (&field)[N], std::size_t max_chars, const char* what) {
    RequireTerminated(field, what);
    Require(std::strlen(field) <= max_chars, what);
}

}  // namespace td::fuzz
