#include "hlp_system.h"

#include <functional>

namespace td::hlp {
namespace {

constexpr std::uint16_t kSystemMagic = 0x036C;
constexpr std::size_t kSystemHeaderSize = 12;
constexpr std::uint16_t kTitleRecord = 1;
constexpr std::uint16_t kMacroRecord = 4;
constexpr std::uint16_t kCharsetRecord = 11;
constexpr std::uint16_t kFirstFormatWithRecords = 17;

// Calls `visit`(type, data position, data size) for every record.
void ForEachRecord(const Bytes& system, const std::function<void(std::uint16_t, std::size_t, std::size_t)>& visit) {
    if (ReadSystemHeader(system).minor < kFirstFormatWithRecords) return;
    std::size_t at = kSystemHeaderSize;
    while (at + 4 <= system.size()) {
        const std::uint16_t type = U16(system, at);
        const std::size_t size = U16(system, at + 2);
        Need(system, at + 4, size, "a |SYSTEM record");
        visit(type, at + 4, size);
        at += 4 + size;
    }
}

}  // namespace

SystemHeader ReadSystemHeader(const Bytes& system) {
    Need(system, 0, kSystemHeaderSize, "the |SYSTEM header");
    if (U16(system, 0) != kSystemMagic || U16(system, 4) != 1) throw FormatError("|SYSTEM has no valid header");
    return {U16(system, 2), U16(system, 10)};
}

std::string SystemTitle(const Bytes& system) {
    std::string title;
    ForEachRecord(system, [&](std::uint16_t type, std::size_t at, std::size_t) {
        if (type == kTitleRecord && title.empty()) title = CString(system, at);
    });
    return title;
}

int SystemCharset(const Bytes& system) {
    int charset = -1;
    ForEachRecord(system, [&](std::uint16_t type, std::size_t at, std::size_t size) {
        if (type == kCharsetRecord && size >= 1) charset = system[at];
    });
    return charset;
}

Bytes WithCharset(const Bytes& system, std::uint8_t charset) {
    if (ReadSystemHeader(system).minor < kFirstFormatWithRecords)
        throw FormatError("a help file of format 3.0 has no character set record");
    Bytes result(system.begin(), system.begin() + kSystemHeaderSize);
    ForEachRecord(system, [&](std::uint16_t type, std::size_t at, std::size_t size) {
        if (type == kCharsetRecord) return;
        result.insert(result.end(), system.begin() + static_cast<std::ptrdiff_t>(at - 4),
                      system.begin() + static_cast<std::ptrdiff_t>(at + size));
    });
    AppendU16(result, kCharsetRecord);
    AppendU16(result, 2);
    AppendU16(result, charset);
    return result;
}

std::vector<std::string> SystemMacros(const Bytes& system) {
    std::vector<std::string> macros;
    ForEachRecord(system, [&](std::uint16_t type, std::size_t at, std::size_t) {
        if (type == kMacroRecord) macros.push_back(CString(system, at));
    });
    return macros;
}

Bytes WithMacroText(const Bytes& system, const std::string& from, const std::string& to) {
    if (from.empty()) return system;
    Bytes result(system.begin(), system.begin() + kSystemHeaderSize);
    ForEachRecord(system, [&](std::uint16_t type, std::size_t at, std::size_t size) {
        Bytes data(system.begin() + static_cast<std::ptrdiff_t>(at),
                   system.begin() + static_cast<std::ptrdiff_t>(at + size));
        if (type == kMacroRecord) {
            std::string macro = CString(system, at);
            for (std::size_t found = macro.find(from); found != std::string::npos;
                 found = macro.find(from, found + to.size())) {
                macro.replace(found, from.size(), to);
            }
            data.assign(macro.begin(), macro.end());
            data.push_back(0);
            if (data.size() > 0xFFFF) throw FormatError("a |SYSTEM macro grew past 64 kB");
        }
        AppendU16(result, type);
        AppendU16(result, static_cast<std::uint16_t>(data.size()));
        result.insert(result.end(), data.begin(), data.end());
    });
    return result;
}

}  // namespace td::hlp
