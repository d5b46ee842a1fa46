// The keyword index of a WinHelp file: |KWBTREE, a B-tree of keywords (a
// NUL-terminated keyword, the number of topics, the position of their list
// in |KWDATA), and |KWDATA, the lists of topic offsets.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "hlp_container.h"

namespace td::hlp {

struct Keyword {
    std::string text;                   // 8-bit as stored
    std::vector<std::uint32_t> topics;  // TOPICOFFSETs
};

// The keywords in index order; none when the file has no index.
std::vector<Keyword> ReadKeywords(const HelpFile& file);

}  // namespace td::hlp
