#include "common/win32_seams.h"

namespace td {

std::uint32_t Win32Clock::Ticks() { return GetTickCount(); }

void Win32Clock::Sleep(std::uint32_t milliseconds) { SleepEx(milliseconds, FALSE); }

// A millisecond's sleep lets the tick counter move on without keeping a
// core busy; the window thread stays blocked as before.
void Win32Clock::Idle() { SleepEx(1, FALSE); }

}  // namespace td
