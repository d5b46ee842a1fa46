#include "hlp_context.h"

#include <algorithm>

#include "hlp_container.h"

namespace td::hlp {
namespace {

constexpr std::size_t kLeafHeader = 8;   // free bytes, entry count, previous page, next page
constexpr std::size_t kIndexHeader = 6;  // free bytes, entry count, first child page
constexpr std::size_t kLeafEntry = 8;    // hash, topic offset
constexpr std::size_t kIndexEntry = 6;   // hash, child page

int CharacterCode(char c) {
    if (c >= 'A' && c <= 'Z') return c - 'A' + 17;
    if (c >= 'a' && c <= 'z') return c - 'a' + 17;
    if (c >= '1' && c <= '9') return c - '0';
    if (c == '0') return 10;
    if (c == '.') return 12;
    if (c == '_') return 13;
    return 0;
}

struct PageRef {
    std::int32_t first_hash;
    int page;
};

void AppendPage(Bytes& tree, const Bytes& page, std::size_t page_size) {
    tree.insert(tree.end(), page.begin(), page.end());
    tree.resize(tree.size() + (page_size - page.size()), 0);
}

}  // namespace

std::int32_t ContextHash(std::string_view name) {
    // Unsigned arithmetic wraps as the viewer's 32-bit arithmetic does.
    std::uint32_t hash = 0;
    for (char c : name) {
        const int code = CharacterCode(c);
        if (code != 0) hash = hash * 43 + static_cast<std::uint32_t>(code);
    }
    return static_cast<std::int32_t>(hash);
}

std::vector<ContextEntry> ReadContextEntries(const Bytes& context) {
    std::vector<ContextEntry> entries;
    ForEachLeafEntry(context, [&](std::size_t at) {
        entries.push_back({S32(context, at), U32(context, at + 4)});
        return kLeafEntry;
    });
    return entries;
}

Bytes BuildContextTree(std::vector<ContextEntry> entries, const Bytes& model) {
    const BTreeHeader header = ReadBTreeHeader(model);
    const std::size_t page_size = header.page_size;
    std::sort(entries.begin(), entries.end(),
              [](const ContextEntry& a, const ContextEntry& b) { return a.hash < b.hash; });
    for (std::size_t i = 1; i < entries.size(); ++i) {
        if (entries[i].hash == entries[i - 1].hash) throw FormatError("two context names share one hash");
    }

    Bytes tree(model.begin(), model.begin() + kBTreeHeaderSize);
    int pages = 0;

    // Leaf pages, chained in hash order; an empty tree still has one leaf.
    const std::size_t per_leaf = (page_size - kLeafHeader) / kLeafEntry;
    const std::size_t leaf_count = std::max<std::size_t>(1, (entries.size() + per_leaf - 1) / per_leaf);
    std::vector<PageRef> level;
    for (std::size_t leaf = 0; leaf < leaf_count; ++leaf) {
        const std::size_t first = leaf * per_leaf;
        const std::size_t count = std::min(per_leaf, entries.size() - std::min(first, entries.size()));
        Bytes page;
        AppendU16(page, static_cast<std::uint16_t>(page_size - kLeafHeader - count * kLeafEntry));
        AppendU16(page, static_cast<std::uint16_t>(count));
        AppendU16(page, static_cast<std::uint16_t>(leaf == 0 ? -1 : pages - 1));
        AppendU16(page, static_cast<std::uint16_t>(leaf + 1 == leaf_count ? -1 : pages + 1));
        for (std::size_t i = first; i < first + count; ++i) {
            AppendU32(page, static_cast<std::uint32_t>(entries[i].hash));
            AppendU32(page, entries[i].topic_offset);
        }
        AppendPage(tree, page, page_size);
        level.push_back({count > 0 ? entries[first].hash : 0, pages++});
    }

    // Index pages above them until one page, the root, is left. An index
    // page names its first child, then (first hash, page) of each further
    // child: the viewer descends into the child before the first larger hash.
    int levels = 1;
    const std::size_t children_per_index = (page_size - kIndexHeader) / kIndexEntry + 1;
    while (level.size() > 1) {
        std::vector<PageRef> upper;
        for (std::size_t first = 0; first < level.size(); first += children_per_index) {
            const std::size_t count = std::min(children_per_index, level.size() - first);
            Bytes page;
            AppendU16(page, static_cast<std::uint16_t>(page_size - kIndexHeader - (count - 1) * kIndexEntry));
            AppendU16(page, static_cast<std::uint16_t>(count - 1));
            AppendU16(page, static_cast<std::uint16_t>(level[first].page));
            for (std::size_t i = first + 1; i < first + count; ++i) {
                AppendU32(page, static_cast<std::uint32_t>(level[i].first_hash));
                AppendU16(page, static_cast<std::uint16_t>(level[i].page));
            }
            AppendPage(tree, page, page_size);
            upper.push_back({level[first].first_hash, pages++});
        }
        level = std::move(upper);
        ++levels;
    }

    PutU16(tree, 26, static_cast<std::uint16_t>(level.front().page));  // root page
    PutU16(tree, 30, static_cast<std::uint16_t>(pages));
    PutU16(tree, 32, static_cast<std::uint16_t>(levels));
    PutU32(tree, 34, static_cast<std::uint32_t>(entries.size()));
    return tree;
}

std::optional<std::uint32_t> FindContext(const Bytes& context, std::int32_t hash) {
    const BTreeHeader header = ReadBTreeHeader(context);
    int page = header.root_page;
    for (int level = header.levels; level > 1; --level) {
        const std::size_t start = PageStart(header, page);
        const int count = S16(context, start + 2);
        int child = S16(context, start + 4);
        for (int i = 0; i < count; ++i) {
            const std::size_t at = start + kIndexHeader + static_cast<std::size_t>(i) * kIndexEntry;
            if (S32(context, at) > hash) break;
            child = S16(context, at + 4);
        }
        page = child;
    }
    const std::size_t start = PageStart(header, page);
    const int count = S16(context, start + 2);
    for (int i = 0; i < count; ++i) {
        const std::size_t at = start + kLeafHeader + static_cast<std::size_t>(i) * kLeafEntry;
        const std::int32_t key = S32(context, at);
        if (key == hash) return U32(context, at + 4);
        if (key > hash) return std::nullopt;
    }
    return std::nullopt;
}

Bytes BuildContextMap(std::vector<MapEntry> entries) {
    if (entries.size() > 0xFFFF) throw FormatError("more map entries than a 16-bit count holds");
    std::sort(entries.begin(), entries.end(), [](const MapEntry& a, const MapEntry& b) { return a.id < b.id; });
    for (std::size_t i = 1; i < entries.size(); ++i) {
        if (entries[i].id == entries[i - 1].id) throw FormatError("a map id is given twice");
    }
    Bytes map;
    AppendU16(map, static_cast<std::uint16_t>(entries.size()));
    for (const MapEntry& entry : entries) {
        AppendU32(map, static_cast<std::uint32_t>(entry.id));
        AppendU32(map, entry.topic_offset);
    }
    return map;
}

std::vector<MapEntry> ReadContextMap(const Bytes& map) {
    const std::size_t count = U16(map, 0);
    Need(map, 2, count * 8, "the map entries");
    std::vector<MapEntry> entries;
    for (std::size_t i = 0; i < count; ++i) entries.push_back({S32(map, 2 + 8 * i), U32(map, 6 + 8 * i)});
    return entries;
}

}  // namespace td::hlp
