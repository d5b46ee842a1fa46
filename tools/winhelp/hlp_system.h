// The |SYSTEM file of a WinHelp file: a 12-byte header (magic 0x036C,
// format version, date, flags) and, from help format 3.1 on, a list of
// records (16-bit type, 16-bit size, data): title, copyright, contents
// topic, macros, windows, character set and so on.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "hlp_bytes.h"

namespace td::hlp {

struct SystemHeader {
    std::uint16_t minor = 0;  // 15 for help format 3.0, 21 and up for 3.1 and 4.0
    std::uint16_t flags = 0;  // 0: |TOPIC not compressed; 4 or 8: LZ77 in 4 kB or 2 kB blocks
};

SystemHeader ReadSystemHeader(const Bytes& system);

// The help file's title (record 1), empty when there is none.
std::string SystemTitle(const Bytes& system);

// The character set record (type 11), or -1 when the file has none.
int SystemCharset(const Bytes& system);

// `system` with its character set record set to `charset` (a Windows
// character set number, 0 for ANSI): the viewer then takes the topics'
// 8-bit text in that character set instead of the reader's default one.
Bytes WithCharset(const Bytes& system, std::uint8_t charset);

// The macros the viewer runs when it opens the file (records of type 4),
// in order.
std::vector<std::string> SystemMacros(const Bytes& system);

// `system` with every `from` in its macros replaced by `to`: Halibut names
// the viewer's buttons in English ("&About", "&Up") in every language.
Bytes WithMacroText(const Bytes& system, const std::string& from, const std::string& to);

}  // namespace td::hlp
