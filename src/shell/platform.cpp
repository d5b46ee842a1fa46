#include "shell/platform.h"

namespace td {

PlatformDecision DecidePlatform(std::uint32_t version) {
    if ((version & 0x80000000u) == 0) return PlatformDecision::WindowsNt;
    return (version & 0xFFu) >= 4 ? PlatformDecision::Windows95 : PlatformDecision::Win32s;
}

HelpViewerKind DecideHelpViewer(std::uint32_t version) {
    return (version & 0xFFu) < 6 ? HelpViewerKind::WinHelp : HelpViewerKind::HtmlHelp;
}

}  // namespace td
