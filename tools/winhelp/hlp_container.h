// The file system inside a WinHelp (.hlp) file.
//
// A help file is a small file system: a 16-byte header, then internal files
// ("|SYSTEM", "|TOPIC", "|CONTEXT", ...), each behind a 9-byte header (space
// reserved, space used, flags), and a directory: a B-tree of file names and
// their offsets in the help file. HelpFile reads that structure, lets the
// contents of internal files be changed, and writes it back with the files
// in their original order: a file that grows moves every later file, and
// the directory's offsets follow.
#pragma once

#include <string>
#include <vector>

#include "hlp_bytes.h"

namespace td::hlp {

class HelpFile {
public:
    // Throws FormatError when `image` is not a help file.
    static HelpFile Parse(const Bytes& image);

    Bytes Serialize() const;

    // The contents of an internal file (without its 9-byte header), or
    // nullptr when there is none of that name.
    const Bytes* Find(const std::string& name) const;
    Bytes* Find(const std::string& name);

private:
    struct Block {
        std::string name;  // empty for the directory itself
        std::uint8_t flags = 0;
        Bytes data;
        std::size_t offset_field = 0;  // where the directory holds this file's offset
    };

    std::vector<Block> blocks_;  // every internal file and the directory, in file order
    std::size_t directory_ = 0;  // index of the directory in blocks_
};

// The header of a B-tree, the structure of the directory and of internal
// files such as |CONTEXT and |KWBTREE: fixed-size pages after a 38-byte
// header, leaf pages chained in key order, index pages above them.
struct BTreeHeader {
    std::uint16_t flags = 0;
    std::uint16_t page_size = 0;
    std::string structure;
    std::int16_t root_page = 0;
    std::int16_t total_pages = 0;
    std::int16_t levels = 0;
    std::int32_t entries = 0;
};

constexpr std::size_t kBTreeHeaderSize = 38;
constexpr std::uint16_t kBTreeMagic = 0x293B;

BTreeHeader ReadBTreeHeader(const Bytes& tree);

// The position of page `page` in `tree`.
std::size_t PageStart(const BTreeHeader& header, int page);

// The first leaf page: down from the root through each index page's first child.
int FirstLeafPage(const Bytes& tree, const BTreeHeader& header);

// Calls `visit`(position) for every leaf entry, in key order as the leaf
// pages chain them; `visit` answers the size of the entry at that position.
template <typename Visit>
void ForEachLeafEntry(const Bytes& tree, Visit visit);

template <typename Visit>
void ForEachLeafEntry(const Bytes& tree, Visit visit) {
    const BTreeHeader header = ReadBTreeHeader(tree);
    int page = FirstLeafPage(tree, header);
    int pages_seen = 0;
    while (page != -1) {
        if (++pages_seen > header.total_pages) throw FormatError("the leaf pages form a loop");
        const std::size_t start = PageStart(header, page);
        const int count = S16(tree, start + 2);
        std::size_t at = start + 8;
        for (int i = 0; i < count; ++i) {
            const std::size_t size = visit(at);
            if (size == 0 || at + size > start + header.page_size) throw FormatError("a leaf entry leaves its page");
            at += size;
        }
        page = S16(tree, start + 6);
    }
}

}  // namespace td::hlp
