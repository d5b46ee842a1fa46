// The layout of a string-table resource, which the program reads itself to
// find a text in the language set of its choice.
//
// Strings are stored sixteen to a resource: string `id` is entry id % 16 of
// the block named id / 16 + 1. Each entry is a 16-bit count followed by that
// many UTF-16 code units, without terminator; an absent string has count 0.
#pragma once

#include <cstddef>

#include "common/resource_text.h"

namespace td {

constexpr int StringTableBlockName(int id) { return id / 16 + 1; }

// Entry id % 16 of the block of `size` bytes. An entry whose count runs past
// the block's end (a damaged block) is cut where the block ends.
ResourceText FindBlockString(const void* block, std::size_t size, int id);

}  // namespace td
