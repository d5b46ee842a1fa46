// A clock for tests: time moves only when the code under test yields or
// sleeps, so waits of seconds cost nothing and are measured exactly.
#pragma once

#include <cstdint>
#include <functional>

#include "common/clock.h"

namespace td::test {

class FakeClock final : public Clock {
public:
    explicit FakeClock(std::uint32_t start = 1000) : now_(start) {}

    std::uint32_t Ticks() override { return now_; }
    void Sleep(std::uint32_t milliseconds) override {
        slept_ += milliseconds;
        Advance(milliseconds);
    }
    void Idle() override {
        ++idles_;
        Advance(1);
    }

    // Moves time on; `on_advance` lets a test make things happen meanwhile
    // (a request completing after so many milliseconds).
    void Advance(std::uint32_t milliseconds) {
        now_ += milliseconds;
        if (on_advance) on_advance(now_);
    }

    std::uint32_t now() const { return now_; }
    std::uint64_t slept() const { return slept_; }
    std::uint64_t idles() const { return idles_; }

    std::function<void(std::uint32_t)> on_advance;

private:
    std::uint32_t now_;
    std::uint64_t slept_ = 0;
    std::uint64_t idles_ = 0;
};

}  // namespace td::test
