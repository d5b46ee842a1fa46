// The start of the 32-bit program and the little of the C++ runtime it uses.
//
// The 32-bit program is built for Windows 95 and NT 4.0 on a Pentium. The
// start-up code, exception support and printf engine that MinGW-w64 links
// by default were compiled for the Pentium Pro (CMOV, FCOMI) and bring in
// thread support that imports kernel32 functions those systems lack. The
// program needs none of it: it reads no command line, throws no exceptions,
// uses no run-time type information and formats only integers of its own.
// So it starts here instead, and the program is linked without libstdc++;
// this file gives it the few pieces of the C++ runtime its code refers to.
#include <windows.h>

#include <cstdlib>
#include <new>

// Runs the static constructors once and has the destructors run at exit
// (MinGW's libmingw32).
extern "C" void __main();  // NOLINT(bugprone-reserved-identifier): the runtime's own name

namespace {

// How the program's window is to be shown, as its starter asked for it.
int ShowCommand() {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    GetStartupInfoA(&startup);
    return (startup.dwFlags & STARTF_USESHOWWINDOW) != 0 ? startup.wShowWindow : SW_SHOWDEFAULT;
}

// The command line after the program's own name, as WinMain receives it.
char* ArgumentsOf(char* line) {
    if (line == nullptr) return const_cast<char*>("");
    if (*line == '"') {
        ++line;
        while (*line != '\0' && *line != '"') ++line;
        if (*line == '"') ++line;
    } else {
        while (*line > ' ') ++line;
    }
    while (*line != '\0' && *line <= ' ') ++line;
    return line;
}

}  // namespace

// The entry point the linker gives a GUI program.
extern "C" void WinMainCRTStartup() {
    __main();
    const int code = WinMain(GetModuleHandleA(nullptr), nullptr, ArgumentsOf(GetCommandLineA()), ShowCommand());
    std::exit(code);
}

// The destructors of the program's static objects are handed to the C
// library's exit list, which exit() runs; for a program (not a DLL) that is
// what atexit means.
extern "C" int atexit(void (*function)()) { return _onexit(reinterpret_cast<_onexit_t>(function)) != nullptr ? 0 : -1; }

// Allocations go to the C library's heap. Without exceptions, running out
// of memory in a plain new ends the program, as an uncaught bad_alloc
// would; the program's buffers use new (std::nothrow), which answers null.
namespace std {
const nothrow_t nothrow{};
}

namespace {
void* Allocate(std::size_t size) noexcept { return std::malloc(size != 0 ? size : 1); }
void* AllocateOrEnd(std::size_t size) noexcept {
    void* block = Allocate(size);
    if (block == nullptr) std::abort();
    return block;
}
}  // namespace

void* operator new(std::size_t size) { return AllocateOrEnd(size); }
void* operator new[](std::size_t size) { return AllocateOrEnd(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }
void operator delete(void* block) noexcept { std::free(block); }
void operator delete[](void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }
void operator delete[](void* block, std::size_t) noexcept { std::free(block); }

// Called only if a pure virtual function were ever called: a program fault.
// NOLINTNEXTLINE(bugprone-reserved-identifier): the name the compiler calls
extern "C" void __cxa_pure_virtual() { std::abort(); }
