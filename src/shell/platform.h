// What the system's version decides: which way the program reaches the SCSI
// bus, and which help viewer shows its help.
#pragma once

#include <cstdint>

namespace td {

enum class PlatformDecision { Windows95, WindowsNt, Win32s };

// GetVersion's value: the top bit clear is Windows NT (any version); the top
// bit set with a major version (low byte) of 4 or more is Windows 95; the
// top bit set with a lower major version is Win32s, which is refused.
PlatformDecision DecidePlatform(std::uint32_t version);

enum class HelpViewerKind {
    WinHelp,   // the manual KDX.hlp; the viewer's popups for the properties pages
    HtmlHelp,  // the manual KDX.chm; the program's own popups for the pages
};

// GetVersion's value: a major version (low byte) below 6 is Windows 95, 98,
// Me, NT 4.0, 2000 or XP, which have the WinHelp viewer. Windows Vista and
// later have none (from Windows 10 on only a stub that says so) but have
// HTML Help.
HelpViewerKind DecideHelpViewer(std::uint32_t version);

}  // namespace td
