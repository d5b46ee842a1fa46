#include "hlp_container.h"

#include <algorithm>

namespace td::hlp {
namespace {

constexpr std::uint32_t kHelpFileMagic = 0x00035F3F;
constexpr std::size_t kHeaderSize = 16;
constexpr std::size_t kFileHeaderSize = 9;  // reserved space, used space, flags

struct RawFile {
    std::uint8_t flags = 0;
    Bytes data;
};

// The internal file at `offset`: its 9-byte header, then the used space.
RawFile ReadInternalFile(const Bytes& image, std::size_t offset) {
    const std::uint32_t used = U32(image, offset + 4);
    Need(image, offset + kFileHeaderSize, used, "an internal file");
    RawFile file;
    file.flags = image[offset + 8];
    file.data.assign(image.begin() + static_cast<std::ptrdiff_t>(offset + kFileHeaderSize),
                     image.begin() + static_cast<std::ptrdiff_t>(offset + kFileHeaderSize + used));
    return file;
}

}  // namespace

BTreeHeader ReadBTreeHeader(const Bytes& tree) {
    if (U16(tree, 0) != kBTreeMagic) throw FormatError("a B-tree without its magic number");
    BTreeHeader header;
    header.flags = U16(tree, 2);
    header.page_size = U16(tree, 4);
    header.structure = CString(tree, 6).substr(0, 16);
    header.root_page = S16(tree, 26);
    header.total_pages = S16(tree, 30);
    header.levels = S16(tree, 32);
    header.entries = S32(tree, 34);
    if (header.page_size < 16 || header.levels < 1 || header.total_pages < 1)
        throw FormatError("a B-tree header that describes no pages");
    Need(tree, kBTreeHeaderSize, static_cast<std::size_t>(header.total_pages) * header.page_size, "a B-tree page");
    return header;
}

std::size_t PageStart(const BTreeHeader& header, int page) {
    if (page < 0 || page >= header.total_pages) throw FormatError("a B-tree page number out of range");
    return kBTreeHeaderSize + static_cast<std::size_t>(page) * header.page_size;
}

int FirstLeafPage(const Bytes& tree, const BTreeHeader& header) {
    int page = header.root_page;
    for (int level = header.levels; level > 1; --level) page = S16(tree, PageStart(header, page) + 4);
    return page;
}

HelpFile HelpFile::Parse(const Bytes& image) {
    if (U32(image, 0) != kHelpFileMagic) throw FormatError("not a WinHelp file");
    const std::size_t directory_offset = U32(image, 4);

    HelpFile file;
    Block directory;
    RawFile raw = ReadInternalFile(image, directory_offset);
    directory.flags = raw.flags;
    directory.data = std::move(raw.data);

    // Every leaf entry: a NUL-terminated name, then the file's offset.
    struct Entry {
        std::string name;
        std::size_t offset;
        std::size_t offset_field;
    };
    std::vector<Entry> entries;
    ForEachLeafEntry(directory.data, [&](std::size_t at) {
        const std::string name = CString(directory.data, at);
        const std::size_t field = at + name.size() + 1;
        entries.push_back({name, U32(directory.data, field), field});
        return name.size() + 1 + 4;
    });

    std::vector<std::pair<std::size_t, Block>> by_offset;
    by_offset.emplace_back(directory_offset, std::move(directory));
    for (const Entry& entry : entries) {
        if (entry.offset == directory_offset) throw FormatError("an internal file lies on the directory");
        RawFile contents = ReadInternalFile(image, entry.offset);
        Block block;
        block.name = entry.name;
        block.flags = contents.flags;
        block.data = std::move(contents.data);
        block.offset_field = entry.offset_field;
        by_offset.emplace_back(entry.offset, std::move(block));
    }
    std::sort(by_offset.begin(), by_offset.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    for (std::size_t i = 0; i < by_offset.size(); ++i) {
        if (i > 0 && by_offset[i].first == by_offset[i - 1].first)
            throw FormatError("two internal files share an offset");
        if (by_offset[i].second.name.empty()) file.directory_ = i;
        file.blocks_.push_back(std::move(by_offset[i].second));
    }
    return file;
}

Bytes HelpFile::Serialize() const {
    // Lay the blocks out one after another, then tell the directory where
    // each file now starts.
    std::vector<std::size_t> offsets;
    std::size_t offset = kHeaderSize;
    for (const Block& block : blocks_) {
        offsets.push_back(offset);
        offset += kFileHeaderSize + block.data.size();
    }
    Bytes directory = blocks_[directory_].data;
    for (std::size_t i = 0; i < blocks_.size(); ++i) {
        if (i != directory_) PutU32(directory, blocks_[i].offset_field, static_cast<std::uint32_t>(offsets[i]));
    }

    Bytes image;
    AppendU32(image, kHelpFileMagic);
    AppendU32(image, static_cast<std::uint32_t>(offsets[directory_]));
    AppendU32(image, 0xFFFFFFFF);  // no free blocks
    AppendU32(image, static_cast<std::uint32_t>(offset));
    for (std::size_t i = 0; i < blocks_.size(); ++i) {
        const Bytes& data = i == directory_ ? directory : blocks_[i].data;
        AppendU32(image, static_cast<std::uint32_t>(data.size() + kFileHeaderSize));
        AppendU32(image, static_cast<std::uint32_t>(data.size()));
        image.push_back(blocks_[i].flags);
        image.insert(image.end(), data.begin(), data.end());
    }
    return image;
}

const Bytes* HelpFile::Find(const std::string& name) const {
    for (const Block& block : blocks_) {
        if (!block.name.empty() && block.name == name) return &block.data;
    }
    return nullptr;
}

Bytes* HelpFile::Find(const std::string& name) {
    return const_cast<Bytes*>(static_cast<const HelpFile*>(this)->Find(name));
}

}  // namespace td::hlp
