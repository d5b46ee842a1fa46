// The hand-over of the ASPI scan as the program does it, with the test's
// thread as the window thread.
//
// The program's post routine sends WM_SCAN_STEP with SendMessageA: the
// library's thread waits until the window thread has handled the message.
// Here Deliver, called on the library's thread, queues the block and waits
// the same way; the test's thread takes it with HandleNext and runs the
// window thread's handling. Nothing happens on the test's thread that the
// test did not ask for, so a scan runs in the same order every time.
#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>

#include "discovery/aspi_discovery.h"

namespace td::test {

class WindowThreadHandOver final : public ScanHandOver {
public:
    void Deliver(aspi::SrbExecScsiCmd* block) override {
        std::unique_lock<std::mutex> lock(mutex_);
        sent_.wait(lock, [&] { return pending_ == nullptr; });
        pending_ = block;
        ++delivered_;
        arrived_.notify_all();
        const int ticket = delivered_;
        sent_.wait(lock, [&] { return handled_ >= ticket; });
    }

    // Waits up to `limit_ms` for a delivered block, runs `handle` with it on
    // the calling thread and lets the library's thread go on. False when
    // nothing arrived in time.
    bool HandleNext(const std::function<void(aspi::SrbExecScsiCmd*)>& handle, int limit_ms = 5000) {
        aspi::SrbExecScsiCmd* block = nullptr;
        {
            std::unique_lock<std::mutex> lock(mutex_);
            if (!arrived_.wait_for(lock, std::chrono::milliseconds(limit_ms), [&] { return pending_ != nullptr; })) {
                return false;
            }
            block = pending_;
        }
        handle(block);
        {
            std::lock_guard<std::mutex> lock(mutex_);
            pending_ = nullptr;
            ++handled_;
        }
        sent_.notify_all();
        return true;
    }

    int delivered() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return delivered_;
    }

private:
    mutable std::mutex mutex_;
    std::condition_variable arrived_;  // a block is waiting to be handled
    std::condition_variable sent_;     // the window thread handled one
    aspi::SrbExecScsiCmd* pending_ = nullptr;
    int delivered_ = 0;
    int handled_ = 0;
};

}  // namespace td::test
