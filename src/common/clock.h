// Time as the program sees it: the tick counter and a plain pause.
//
// The diagnostic commands wait 2 s and 8 s and start-up pauses 2000 ms. The
// core asks this interface for the time, so that tests run those waits on a
// fake clock in no time at all.
#pragma once

#include <cstdint>

namespace td {

class Clock {
public:
    virtual ~Clock() = default;
    // GetTickCount: milliseconds, wrapping at 2^32.
    virtual std::uint32_t Ticks() = 0;
    // SleepEx(ms, FALSE): blocks the calling thread.
    virtual void Sleep(std::uint32_t milliseconds) = 0;
    // Gives the processor away for a moment between two looks at the ticks,
    // so a wait keeps the thread blocked without burning a core.
    virtual void Idle() = 0;
};

// Blocks until `milliseconds` have passed on `clock`, looking at the ticks
// between short yields. The comparison is unsigned, so a tick counter that
// wraps during the wait ends it at the right moment.
void WaitTicks(Clock& clock, std::uint32_t milliseconds);

}  // namespace td
