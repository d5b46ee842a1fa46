#include "infowin/about_text.h"

#include "common/fixed_text.h"
#include "common/number_text.h"

namespace td {

void VersionQueryPath(const char* key, char* path, std::size_t size) {
    CopyTextTo(path, size, kVersionStringBlock);
    AppendTextTo(path, size, key);
}

// Windows 95, 98 and Me are all version 4 and told apart by the minor
// version: 0 for Windows 95, 10 for 98, 90 for Me.
static const char* WindowsFamilyName(unsigned minor) {
    if (minor >= 90) return "Microsoft Windows Me  Version: ";
    if (minor >= 10) return "Microsoft Windows 98  Version: ";
    return "Microsoft Windows 95  Version: ";
}

void FormatOsLine(std::uint32_t version, char* line, std::size_t size) {
    if (line == nullptr || size == 0) return;
    const unsigned major = version & 0xFFu;
    const unsigned minor = (version >> 8) & 0xFFu;
    const unsigned build = version >> 16;
    // "<system> <major>.<minor>", then the build where the system has one.
    const auto name_and_version = [&](const char* system) {
        CopyTextTo(line, size, system);
        AppendUnsignedTo(line, size, major);
        AppendTextTo(line, size, ".");
        AppendUnsignedTo(line, size, minor);
    };
    const auto build_number = [&](unsigned number) {
        AppendTextTo(line, size, " Build: ");
        AppendUnsignedTo(line, size, number);
    };
    if ((version & 0x80000000u) == 0) {
        name_and_version("Microsoft Windows NT ");
        build_number(build);
    } else if (major < 4) {
        name_and_version("Microsoft Win32s ");
        build_number(build & 0x7FFFu);
    } else {
        name_and_version(WindowsFamilyName(minor));
    }
}

void FormatVersionValue(bool found, const char* value, std::uint32_t last_error, char* text, std::size_t size) {
    if (found && value != nullptr && value[0] != '\0') {
        CopyTextTo(text, size, value);
    } else if (text != nullptr && size > 0) {
        CopyTextTo(text, size, "Error ");
        AppendUnsignedTo(text, size, last_error);
    }
}

}  // namespace td
