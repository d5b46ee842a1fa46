#include <new>

#include "common/win32_seams.h"

namespace td {
namespace {

struct Work {
    void (*work)(void*);
    void* argument;
};

DWORD WINAPI RunWork(LPVOID parameter) {
    const Work work = *static_cast<Work*>(parameter);
    delete static_cast<Work*>(parameter);
    work.work(work.argument);
    return 0;
}

}  // namespace

bool Win32Worker::Start(void (*work)(void*), void* argument) {
    auto* handed = new (std::nothrow) Work{work, argument};
    if (handed == nullptr) return false;
    DWORD id = 0;  // Windows 95 wants somewhere to put it
    HANDLE thread = CreateThread(nullptr, 0, RunWork, handed, 0, &id);
    if (thread == nullptr) {
        delete handed;
        return false;
    }
    CloseHandle(thread);
    return true;
}

}  // namespace td
