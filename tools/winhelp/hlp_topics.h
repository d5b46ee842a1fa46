// The topics of a WinHelp file as the viewer reads them from |TOPIC.
//
// |TOPIC is a chain of records: a topic header (type 2) starts each topic
// and the text records (types 0x20 and 0x23) that follow it are its
// paragraphs. A record's place in the chain is its TOPICPOS (block number
// times 0x4000 plus the position in the block's decompressed data, plus the
// 12-byte block header); a topic's TOPICOFFSET, the number |CONTEXT,
// |CTXOMAP and the browse links hold, is its block number times 0x8000 plus
// the count of text characters from the block's start up to the topic. This
// reader computes both exactly as the viewer does.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "hlp_container.h"

namespace td::hlp {

constexpr std::uint32_t kNoTopic = 0xFFFFFFFF;

struct Paragraph {
    std::uint32_t position = 0;  // TOPICPOS of the record
    std::string text;            // the shown characters, 8-bit as stored
};

struct Topic {
    std::uint32_t offset = 0;  // TOPICOFFSET
    std::string title;
    std::uint32_t browse_back = kNoTopic;     // TOPICOFFSET of the previous topic in the browse sequence
    std::uint32_t browse_forward = kNoTopic;  // and of the next one
    std::uint32_t scroll_start = kNoTopic;    // TOPICPOS where the scrolling region begins
    std::vector<Paragraph> paragraphs;

    // The paragraphs of the scrolling region (below the title area), one per line.
    std::string ScrollingText() const;
};

// Throws FormatError for a damaged |TOPIC and for text compressed with
// phrase tables, which this reader does not decode.
std::vector<Topic> ReadTopics(const HelpFile& file);

}  // namespace td::hlp
