// Context names and numbers of a WinHelp file: the |CONTEXT B-tree and the
// |CTXOMAP map.
//
// A topic is found by name through |CONTEXT, a B-tree of (hash of the name,
// topic offset) keyed by the hash. The viewer compares hashes as signed
// 32-bit numbers while it walks down the tree and stops at the first larger
// key, so the entries must be in signed order or most names are not found.
// A program asks for a topic by number (HELP_CONTEXT, HELP_CONTEXTPOPUP)
// through |CTXOMAP: a 16-bit count, then (map id, topic offset) pairs of
// 32-bit numbers, sorted by id.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "hlp_bytes.h"

namespace td::hlp {

// The viewer's hash of a context name: h = h * 43 + code(c) over the
// characters, letters case-insensitive (A-Z 17 to 42), digits 1-9 as 1-9,
// 0 as 10, '.' as 12, '_' as 13, and every other character skipped.
std::int32_t ContextHash(std::string_view name);

struct ContextEntry {
    std::int32_t hash = 0;
    std::uint32_t topic_offset = 0;
};

// The leaf entries of a |CONTEXT file in the order the leaf pages hold them.
std::vector<ContextEntry> ReadContextEntries(const Bytes& context);

// A |CONTEXT file holding `entries` in signed hash order, with the page size,
// flags and structure of `model` (the |CONTEXT file being replaced). Throws
// FormatError when two entries share a hash: the viewer could reach only one.
Bytes BuildContextTree(std::vector<ContextEntry> entries, const Bytes& model);

// The topic offset the viewer finds for `hash` by walking down from the root
// as it does (signed comparisons, stop at the first larger leaf key).
std::optional<std::uint32_t> FindContext(const Bytes& context, std::int32_t hash);

struct MapEntry {
    std::int32_t id = 0;
    std::uint32_t topic_offset = 0;
};

// |CTXOMAP contents for `entries`, sorted by id; throws FormatError on an id
// given twice or more than 65535 entries.
Bytes BuildContextMap(std::vector<MapEntry> entries);

std::vector<MapEntry> ReadContextMap(const Bytes& map);

}  // namespace td::hlp
