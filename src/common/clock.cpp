#include "common/clock.h"

namespace td {

void WaitTicks(Clock& clock, std::uint32_t milliseconds) {
    const std::uint32_t start = clock.Ticks();
    while (static_cast<std::uint32_t>(clock.Ticks() - start) < milliseconds) {
        clock.Idle();
    }
}

}  // namespace td
