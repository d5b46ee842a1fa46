// Sentences with numbered places, filled in.
//
// A text that names values the program only knows at run time (a status,
// an error code, a byte offset) is kept in the string table as a whole
// sentence with places "%1" to "%9", so that each language puts the values
// where its grammar wants them. The places are filled here, cut to the
// buffer like every copy of fixed_text.h. "%%" is a percent sign; a place
// without a value is left empty; any other '%' is copied as it is.
#pragma once

#include <cstddef>

namespace td {

void FillTextTo(char* buffer, std::size_t size, const char* pattern, const char* const* values, std::size_t count);

template <std::size_t N, std::size_t M>
void FillText(char (&field)[N], const char* pattern, const char* const (&values)[M]) {
    FillTextTo(field, N, pattern, values, M);
}

}  // namespace td
