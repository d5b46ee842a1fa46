// The C library's byte and string functions, written out once.
//
// The 32-bit program imports no C runtime DLL (the first Windows 95 has
// none), so its own runtime gives it the memcpy, strlen, strstr and the
// like that its code and the compiler call: minimal_runtime_win32.cpp puts
// the C names on these. They are portable so that the host tests can hold
// them against the host's C library. Each does what the C standard says
// its C namesake does, in the "C" locale.
#pragma once

#include <cstddef>

namespace td::clib {

void* CopyBytes(void* target, const void* source, std::size_t count);   // memcpy
void* MoveBytes(void* target, const void* source, std::size_t count);   // memmove
void* FillBytes(void* target, int value, std::size_t count);            // memset
int CompareBytes(const void* a, const void* b, std::size_t count);      // memcmp
const void* FindByte(const void* bytes, int value, std::size_t count);  // memchr

std::size_t TextLength(const char* text);                              // strlen
const char* FindChar(const char* text, int value);                     // strchr
int CompareText(const char* a, const char* b);                         // strcmp
int CompareTextUpTo(const char* a, const char* b, std::size_t count);  // strncmp
const char* FindInText(const char* text, const char* part);            // strstr
int LowerCase(int value);                                              // tolower

}  // namespace td::clib
