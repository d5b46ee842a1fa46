// A td::Clock on the machine's steady clock, for simulators that run
// without the program's own clock (the NT port simulator in a DLL or a
// program build, benchmarks).
#pragma once

#include "common/clock.h"

namespace td::sim {

class SteadyClock final : public Clock {
public:
    std::uint32_t Ticks() override;
    void Sleep(std::uint32_t milliseconds) override;
    void Idle() override;
};

}  // namespace td::sim
