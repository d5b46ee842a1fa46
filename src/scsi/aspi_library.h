// The ASPI for Win32 library as the program uses it: two entry points.
//
// The program loads "wnaspi32.dll" at run time on Windows 95 and calls
// GetASPI32SupportInfo and SendASPI32Command through this interface; tests
// put the virtual bus's ASPI service behind it instead.
#pragma once

#include <cstdint>

namespace td {

class AspiLibrary {
public:
    virtual ~AspiLibrary() = default;
    // GetASPI32SupportInfo: bits 8 to 15 the status, bits 0 to 7 the number
    // of host adapters.
    virtual std::uint32_t GetSupportInfo() = 0;
    // SendASPI32Command with one request block (aspi_layout.h). Returns at
    // once; an execute request completes later in the caller's block.
    virtual std::uint32_t SendCommand(void* srb) = 0;
};

}  // namespace td
