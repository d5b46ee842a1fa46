#include "hlp_topics.h"

#include <algorithm>

#include "hlp_system.h"

namespace td::hlp {
namespace {

constexpr std::size_t kBlockHeader = 12;  // last topic link, first topic link, last topic header
constexpr std::uint32_t kFirstRecord = 0x0C;
constexpr std::size_t kRecordHeader = 21;  // block size, data length 2, previous, next, data length 1, type
constexpr std::uint8_t kTopicHeader = 0x02;
constexpr std::uint8_t kText = 0x20;
constexpr std::uint8_t kTable = 0x23;

// The decompressed |TOPIC blocks, one after another, and where each begins.
struct TopicStream {
    Bytes data;
    std::vector<std::size_t> block_start;
};

// LZ77 as the help compiler uses it: a flag byte for each eight items, a
// clear bit for a literal byte, a set bit for a 16-bit code that copies
// 3 + (code >> 12) bytes from (code & 0xFFF) + 1 bytes back.
void Unpack(const Bytes& packed, std::size_t at, std::size_t end, Bytes& out, std::size_t block_begin) {
    while (at < end) {
        const std::uint8_t flags = packed[at++];
        for (int bit = 0; bit < 8 && at < end; ++bit) {
            if (flags & (1 << bit)) {
                const std::uint16_t code = U16(packed, at);
                at += 2;
                const std::size_t back = (code & 0xFFFu) + 1;
                if (back > out.size() - block_begin) throw FormatError("LZ77 refers before the block");
                for (int n = 3 + (code >> 12); n > 0; --n) out.push_back(out[out.size() - back]);
            } else {
                out.push_back(packed[at++]);
            }
        }
    }
}

TopicStream Decompress(const Bytes& topic, const SystemHeader& system) {
    // The viewer's rule: flags 0 and 4 mean 4 kB blocks, other flags 2 kB.
    const bool compressed = system.minor > 16 && system.flags != 0;
    const std::size_t block_size = system.minor > 16 && (system.flags == 0 || system.flags == 4) ? 0x1000 : 0x800;
    TopicStream stream;
    for (std::size_t block = 0; block < topic.size(); block += block_size) {
        const std::size_t end = std::min(topic.size(), block + block_size);
        if (block + kBlockHeader > end) break;
        stream.block_start.push_back(stream.data.size());
        if (compressed) {
            Unpack(topic, block + kBlockHeader, end, stream.data, stream.data.size());
        } else {
            stream.data.insert(stream.data.end(), topic.begin() + static_cast<std::ptrdiff_t>(block + kBlockHeader),
                               topic.begin() + static_cast<std::ptrdiff_t>(end));
        }
    }
    return stream;
}

// The help compiler's compressed integers: the low bit of the first byte
// says whether the short form (two bytes, or one for the unsigned short)
// or the long one is used.
std::int32_t CompressedLong(const Bytes& data, std::size_t& at) {
    Need(data, at, 1, "a compressed number");
    if (data[at] & 1) {
        const std::int32_t value = (static_cast<std::int32_t>(U32(data, at) - 0x80000000u)) / 2;
        at += 4;
        return value;
    }
    const std::int32_t value = (static_cast<std::int32_t>(U16(data, at)) - 0x8000) / 2;
    at += 2;
    return value;
}

std::uint32_t CompressedUnsignedShort(const Bytes& data, std::size_t& at) {
    Need(data, at, 1, "a compressed number");
    if (data[at] & 1) {
        const std::uint32_t value = U16(data, at) / 2u;
        at += 2;
        return value;
    }
    return data[at++] / 2u;
}

std::string WithoutSeparators(const Bytes& data, std::size_t at, std::size_t end) {
    std::string text;
    for (std::size_t i = at; i < end; ++i) {
        if (data[i] != 0) text += static_cast<char>(data[i]);
    }
    return text;
}

}  // namespace

std::string Topic::ScrollingText() const {
    std::string text;
    for (const Paragraph& paragraph : paragraphs) {
        if (scroll_start == kNoTopic || paragraph.position < scroll_start) continue;
        if (!text.empty()) text += '\n';
        text += paragraph.text;
    }
    return text;
}

std::vector<Topic> ReadTopics(const HelpFile& file) {
    const Bytes* system = file.Find("|SYSTEM");
    const Bytes* topic_file = file.Find("|TOPIC");
    if (system == nullptr || topic_file == nullptr) throw FormatError("no |SYSTEM or no |TOPIC");
    const SystemHeader header = ReadSystemHeader(*system);
    if (header.minor <= 16) throw FormatError("help format 3.0 is not read");
    const TopicStream stream = Decompress(*topic_file, header);

    std::vector<Topic> topics;
    std::uint32_t position = kFirstRecord;
    std::size_t current_block = SIZE_MAX;
    std::uint32_t characters = 0;  // text characters since the block's start
    std::size_t records = 0;
    while (position != kNoTopic) {
        if (++records > stream.data.size()) throw FormatError("the topic records form a loop");
        const std::size_t block = (position - kFirstRecord) >> 14;
        const std::size_t offset = (position - kFirstRecord) & 0x3FFF;
        if (block >= stream.block_start.size()) throw FormatError("a topic record in a block that is not there");
        const std::size_t at = stream.block_start[block] + offset;
        Need(stream.data, at, kRecordHeader, "a topic record header");
        const std::uint32_t record_size = U32(stream.data, at);
        const std::uint32_t text_size = U32(stream.data, at + 4);
        const std::uint32_t next = U32(stream.data, at + 12);
        const std::uint32_t data1_size = U32(stream.data, at + 16);
        const std::uint8_t type = stream.data[at + 20];
        if (data1_size < kRecordHeader || data1_size > record_size) throw FormatError("a topic record of bad size");
        Need(stream.data, at, record_size, "a topic record");
        const std::size_t text_at = at + data1_size;
        const std::size_t text_end = at + record_size;
        if (text_size > record_size - data1_size) throw FormatError("topic text compressed with phrases");
        if (block != current_block) {
            current_block = block;
            characters = 0;
        }

        if (type == kTopicHeader) {
            Topic topic;
            topic.offset = static_cast<std::uint32_t>(block * 0x8000 + characters);
            const std::size_t fields = at + kRecordHeader;
            topic.browse_back = U32(stream.data, fields + 4);
            topic.browse_forward = U32(stream.data, fields + 8);
            topic.scroll_start = U32(stream.data, fields + 20);
            const std::size_t title_end = std::min(text_end, text_at + text_size);
            const auto nul = std::find(stream.data.begin() + static_cast<std::ptrdiff_t>(text_at),
                                       stream.data.begin() + static_cast<std::ptrdiff_t>(title_end), 0);
            topic.title.assign(stream.data.begin() + static_cast<std::ptrdiff_t>(text_at), nul);
            topics.push_back(std::move(topic));
        } else if (type == kText || type == kTable) {
            if (topics.empty()) throw FormatError("text before the first topic");
            std::size_t field = at + kRecordHeader;
            CompressedLong(stream.data, field);  // the paragraph's size, not needed here
            characters += CompressedUnsignedShort(stream.data, field);
            topics.back().paragraphs.push_back({position, WithoutSeparators(stream.data, text_at, text_end)});
        } else {
            throw FormatError("a topic record of unknown type");
        }
        position = next;
    }
    // The chain ends with a topic header that only closes the last topic.
    if (!topics.empty() && topics.back().title.empty() && topics.back().paragraphs.empty()) topics.pop_back();
    return topics;
}

}  // namespace td::hlp
