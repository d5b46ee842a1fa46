// The program's string tables, read from the resource scripts.
//
// Host tests run the core against the very texts the program shows: this
// reader takes the #defines of resource_ids.h and the STRINGTABLE blocks of
// a language's strings.rc and answers id -> text, with the escapes (\n, \r,
// \t, \\, \", "") turned into their characters as the resource compiler does.
// The texts stay in UTF-8, the encoding the .rc files are written and
// compiled in (windres -c 65001); the compiled tables hold them as UTF-16.
#pragma once

#include <map>
#include <string>

namespace td::test {

using StringTable = std::map<int, std::string>;

// The string table of language folder `language` (en, de, es, fr, it).
// Aborts the test run when the files cannot be read or parsed.
const StringTable& LoadStringTable(const std::string& language = "en");

// The resource ids by name, from resource_ids.h.
const std::map<std::string, int>& ResourceIds();

}  // namespace td::test
