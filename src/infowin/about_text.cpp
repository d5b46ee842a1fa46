#include "infowin/about_text.h"

#include <cstdio>

#include "common/fixed_text.h"

namespace td {

void VersionQueryPath(const char* key, char* path, std::size_t size) {
    CopyTextTo(path, size, kVersionStringBlock);
    AppendTextTo(path, size, key);
}

void FormatOsLine(std::uint32_t version, char* line, std::size_t size) {
    if (line == nullptr || size == 0) return;
    const unsigned major = version & 0xFFu;
    const unsigned minor = (version >> 8) & 0xFFu;
    const unsigned build = version >> 16;
    if ((version & 0x80000000u) == 0) {
        std::snprintf(line, size, "Microsoft Windows NT %u.%u Build: %u", major, minor, build);
    } else if (major < 4) {
        std::snprintf(line, size, "Microsoft Win32s %u.%u Build: %u", major, minor, build & 0x7FFFu);
    } else {
        std::snprintf(line, size, "Microsoft Windows 95  Version: %u.%u", major, minor);
    }
}

void FormatVersionValue(bool found, const char* value, std::uint32_t last_error, char* text,
                        std::size_t size) {
    if (found && value != nullptr && value[0] != '\0') {
        CopyTextTo(text, size, value);
    } else if (text != nullptr && size > 0) {
        std::snprintf(text, size, "Error %lu", static_cast<unsigned long>(last_error));
    }
}

}  // namespace td
