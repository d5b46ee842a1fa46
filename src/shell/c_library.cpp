// The C library's byte and string functions (c_library.h says why).
//
// Plain byte loops: the program moves a few hundred bytes at a time (text
// fields, listing lines, SCSI buffers of a few KB), where a loop is as good
// as anything cleverer. In the 32-bit program these loops are what memcpy,
// memset and strlen are, so its build compiles this file with loop-to-call
// rewriting off: GCC would otherwise turn the loop of TextLength into a call
// of strlen, which calls TextLength again, for ever.
#include "shell/c_library.h"

namespace td::clib {

void* CopyBytes(void* target, const void* source, std::size_t count) {
    auto* to = static_cast<unsigned char*>(target);
    const auto* from = static_cast<const unsigned char*>(source);
    for (std::size_t i = 0; i < count; ++i) to[i] = from[i];
    return target;
}

// Copies front to back when the target lies before the source and back to
// front otherwise, so overlapping ranges come out as the source was.
void* MoveBytes(void* target, const void* source, std::size_t count) {
    auto* to = static_cast<unsigned char*>(target);
    const auto* from = static_cast<const unsigned char*>(source);
    if (to < from) {
        for (std::size_t i = 0; i < count; ++i) to[i] = from[i];
    } else if (to > from) {
        for (std::size_t i = count; i > 0; --i) to[i - 1] = from[i - 1];
    }
    return target;
}

void* FillBytes(void* target, int value, std::size_t count) {
    auto* to = static_cast<unsigned char*>(target);
    for (std::size_t i = 0; i < count; ++i) to[i] = static_cast<unsigned char>(value);
    return target;
}

// Bytes compare as unsigned char, as the standard says, so 0x80 and above
// sort after the letters.
int CompareBytes(const void* a, const void* b, std::size_t count) {
    const auto* x = static_cast<const unsigned char*>(a);
    const auto* y = static_cast<const unsigned char*>(b);
    for (std::size_t i = 0; i < count; ++i) {
        if (x[i] != y[i]) return x[i] < y[i] ? -1 : 1;
    }
    return 0;
}

const void* FindByte(const void* bytes, int value, std::size_t count) {
    const auto* at = static_cast<const unsigned char*>(bytes);
    const auto wanted = static_cast<unsigned char>(value);
    for (std::size_t i = 0; i < count; ++i) {
        if (at[i] == wanted) return at + i;
    }
    return nullptr;
}

std::size_t TextLength(const char* text) {
    std::size_t length = 0;
    while (text[length] != '\0') ++length;
    return length;
}

// The terminator counts as part of the text: looking for '\0' finds it.
const char* FindChar(const char* text, int value) {
    const char wanted = static_cast<char>(value);
    for (;; ++text) {
        if (*text == wanted) return text;
        if (*text == '\0') return nullptr;
    }
}

int CompareText(const char* a, const char* b) {
    for (;; ++a, ++b) {
        const auto x = static_cast<unsigned char>(*a);
        const auto y = static_cast<unsigned char>(*b);
        if (x != y) return x < y ? -1 : 1;
        if (x == 0) return 0;
    }
}

int CompareTextUpTo(const char* a, const char* b, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        const auto x = static_cast<unsigned char>(a[i]);
        const auto y = static_cast<unsigned char>(b[i]);
        if (x != y) return x < y ? -1 : 1;
        if (x == 0) return 0;
    }
    return 0;
}

// Tries the part at every position of the text; an empty part is found at
// the start.
const char* FindInText(const char* text, const char* part) {
    for (;; ++text) {
        std::size_t i = 0;
        while (part[i] != '\0' && text[i] == part[i]) ++i;
        if (part[i] == '\0') return text;
        if (*text == '\0') return nullptr;
    }
}

int LowerCase(int value) { return value >= 'A' && value <= 'Z' ? value - 'A' + 'a' : value; }

}  // namespace td::clib
