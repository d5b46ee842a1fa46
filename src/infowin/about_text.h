// The About box's texts that need no window: the operating system line and
// the paths of the version keys it shows.
#pragma once

#include <cstddef>
#include <cstdint>

namespace td {

// The string table of the program's version information: U.S. English,
// Windows Latin-1.
constexpr char kVersionStringBlock[] = "\\StringFileInfo\\040904E4\\";

// Longest key name or value the About box reads from a control or shows,
// terminator included.
constexpr std::size_t kAboutTextSize = 256;

// "\StringFileInfo\040904E4\" followed by `key`, cut to `size` - 1
// characters.
void VersionQueryPath(const char* key, char* path, std::size_t size);

// The line naming the operating system, from GetVersion's value (low byte
// the major version, next byte the minor version, high word the build
// information; its top bit set on Windows 95 and Win32s):
//   "Microsoft Windows NT 4.0 Build: 1381"
//   "Microsoft Win32s 1.30 Build: 166"      (build without its top bit)
//   "Microsoft Windows 95  Version: 4.0"     (minor version below 10)
//   "Microsoft Windows 98  Version: 4.10"    (minor version 10 to 89)
//   "Microsoft Windows Me  Version: 4.90"    (minor version 90 and above)
void FormatOsLine(std::uint32_t version, char* line, std::size_t size);

// What a control of the About box shows for a version key: the value when
// the query found a non-empty one, else "Error <last error>".
void FormatVersionValue(bool found, const char* value, std::uint32_t last_error, char* text, std::size_t size);

}  // namespace td
