// Which way the program reaches the SCSI bus, from the system's version.
#pragma once

#include <cstdint>

namespace td {

enum class PlatformDecision { Windows95, WindowsNt, Win32s };

// GetVersion's value: the top bit clear is Windows NT (any version); the top
// bit set with a major version (low byte) of 4 or more is Windows 95; the
// top bit set with a lower major version is Win32s, which is refused.
PlatformDecision DecidePlatform(std::uint32_t version);

}  // namespace td
