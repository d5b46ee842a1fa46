// Work that may block, started on a thread of its own.
//
// On NT a pass-through request blocks the thread that sends it until the
// port driver ends it. The Details page's questions are sent from such a
// thread so that the window stays responsive; the program starts it with
// CreateThread (Windows 95 and NT 4.0 have it), the tests with a thread of
// the standard library or at once on the caller's.
#pragma once

namespace td {

class Worker {
public:
    virtual ~Worker() = default;
    // Runs `work(argument)` on a new thread and returns at once. False when
    // no thread could be started: nothing runs then.
    virtual bool Start(void (*work)(void*), void* argument) = 0;
};

}  // namespace td
