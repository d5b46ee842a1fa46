// The main window's title after a listing file was opened or saved.
#pragma once

#include <cstddef>

namespace td {

constexpr std::size_t kTitleBufferSize = 260;

// "<caption> - [<file title>]" in a buffer of 260 characters. A file title
// too long for it is shortened, its end replaced by "...", so the bracket
// still closes and nothing is written past the buffer.
void FormatListingTitle(const char* caption, const char* file_title, char (&title)[kTitleBufferSize]);

}  // namespace td
