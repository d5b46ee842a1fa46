// Reading a text of the program's version information straight from its
// version resource, so that the About box shows the resource of the user's
// language set rather than the one the system's version functions pick.
//
// The resource is a tree of nodes. Each node is a 16-bit total length, a
// 16-bit value length (in UTF-16 code units for a text value, type 1; in
// bytes for a binary one, type 0), the 16-bit type, its NUL-terminated
// UTF-16 key, padding to a multiple of four bytes from the resource's
// start, the value, padding again, then its children up to the total
// length. The root is "VS_VERSION_INFO"; its child "StringFileInfo" holds
// one table per translation ("040904E4"), which holds the keys.
#pragma once

#include <cstddef>

#include "common/resource_text.h"

namespace td {

// The text at `path` below the root, without its terminator, its components separated by
// backslashes ("\StringFileInfo\040904E4\CompanyName"; a leading backslash
// is allowed), keys compared without regard to the case of ASCII letters as
// the system's version functions compare them. Not found, also in a damaged
// block (a length past its parent's end): {nullptr, 0}.
ResourceText FindVersionText(const void* block, std::size_t size, const char* path);

}  // namespace td
