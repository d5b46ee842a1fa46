// The start of the 32-bit program and the little of the C and C++ runtime
// it uses.
//
// The 32-bit program is built for Windows 95 and NT 4.0 on a Pentium. The
// start-up code, exception support and printf engine that MinGW-w64 links
// by default were compiled for the Pentium Pro (CMOV, FCOMI) and bring in
// thread support that imports kernel32 functions those systems lack; the C
// library they lean on, MSVCRT.DLL, is not on Windows 95 at all (neither the
// first release nor OSR2). The program needs none of it: it reads no
// command line, throws no exceptions, uses no run-time type information and
// formats only integers of its own. So it starts here instead, is linked
// without libstdc++ and without a C library, and this file gives it what
// its code and the compiler refer to, on kernel32 alone:
//   - the start, and the end through ExitProcess after the exit list;
//   - the exit list, which holds the destructors of static objects;
//   - memory from the process heap, for new and delete;
//   - the C library's byte and string functions, by their C names, on
//     the portable ones in c_library.cpp.
#include <windows.h>

#include <cstddef>
#include <new>

#include "shell/c_library.h"

// Runs the static constructors once and hands their destructors to atexit
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

// ---- The exit list ----------------------------------------------------------
// The functions to run at exit, newest first, so they run in the reverse
// order of their registration as the C library's exit does. Each entry
// lives on the process heap; the list has no fixed limit (static objects
// and the function-local statics made on first use each add one).
struct ExitEntry {
    void (*function)();
    ExitEntry* older;
};
ExitEntry* newest_exit_entry = nullptr;

void RunExitList() {
    while (newest_exit_entry != nullptr) {
        ExitEntry* entry = newest_exit_entry;
        newest_exit_entry = entry->older;  // a function that ends the program again runs no entry twice
        entry->function();
        HeapFree(GetProcessHeap(), 0, entry);
    }
}

// The end of the program: what the exit list holds, then the process.
[[noreturn]] void EndProgram(int code) {
    RunExitList();
    ExitProcess(static_cast<UINT>(code));
}

// The end after a fault of the program itself (out of memory in a plain
// new, a pure virtual call): at once, with the exit code 3 the C library's
// abort gives, and without running destructors on a program in a broken
// state.
[[noreturn]] void EndAfterFault() { ExitProcess(3); }

// ---- Memory -----------------------------------------------------------------
// Blocks come from the process heap, which every system the program runs on
// has. A request for nothing still gets a block of its own, as new requires.
void* Allocate(std::size_t size) noexcept { return HeapAlloc(GetProcessHeap(), 0, size != 0 ? size : 1); }

// Without exceptions, running out of memory in a plain new ends the program,
// as an uncaught bad_alloc would; the program's buffers use new
// (std::nothrow), which answers null.
void* AllocateOrEnd(std::size_t size) noexcept {
    void* block = Allocate(size);
    if (block == nullptr) EndAfterFault();
    return block;
}

void Release(void* block) noexcept {
    if (block != nullptr) HeapFree(GetProcessHeap(), 0, block);
}

}  // namespace

// The entry point the linker gives a GUI program.
extern "C" void WinMainCRTStartup() {
    __main();
    EndProgram(WinMain(GetModuleHandleA(nullptr), nullptr, ArgumentsOf(GetCommandLineA()), ShowCommand()));
}

// Adds a function to the exit list; 0 on success, as the C library answers.
extern "C" int atexit(void (*function)()) {
    auto* entry = static_cast<ExitEntry*>(HeapAlloc(GetProcessHeap(), 0, sizeof(ExitEntry)));
    if (entry == nullptr) return -1;
    entry->function = function;
    entry->older = newest_exit_entry;
    newest_exit_entry = entry;
    return 0;
}

namespace std {
const nothrow_t nothrow{};
}

void* operator new(std::size_t size) { return AllocateOrEnd(size); }
void* operator new[](std::size_t size) { return AllocateOrEnd(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }
void operator delete(void* block) noexcept { Release(block); }
void operator delete[](void* block) noexcept { Release(block); }
void operator delete(void* block, std::size_t) noexcept { Release(block); }
void operator delete[](void* block, std::size_t) noexcept { Release(block); }

// Called only if a pure virtual function were ever called: a program fault.
// NOLINTNEXTLINE(bugprone-reserved-identifier): the name the compiler calls
extern "C" void __cxa_pure_virtual() { EndAfterFault(); }

// ---- The C library's byte and string functions ---------------------------------
// The C names of the functions in c_library.cpp: the ones the program's code
// calls, and memcpy, memmove, memset and memcmp, which GCC may call on its
// own for any copy, fill or comparison of memory (it requires them of every
// program, even one without a C library).
extern "C" {
void* memcpy(void* target, const void* source, std::size_t count) { return td::clib::CopyBytes(target, source, count); }
void* memmove(void* target, const void* source, std::size_t count) {
    return td::clib::MoveBytes(target, source, count);
}
void* memset(void* target, int value, std::size_t count) { return td::clib::FillBytes(target, value, count); }
int memcmp(const void* a, const void* b, std::size_t count) { return td::clib::CompareBytes(a, b, count); }
void* memchr(const void* bytes, int value, std::size_t count) {
    return const_cast<void*>(td::clib::FindByte(bytes, value, count));
}
std::size_t strlen(const char* text) { return td::clib::TextLength(text); }
char* strchr(const char* text, int value) { return const_cast<char*>(td::clib::FindChar(text, value)); }
int strcmp(const char* a, const char* b) { return td::clib::CompareText(a, b); }
int strncmp(const char* a, const char* b, std::size_t count) { return td::clib::CompareTextUpTo(a, b, count); }
char* strstr(const char* text, const char* part) { return const_cast<char*>(td::clib::FindInText(text, part)); }
int tolower(int value) { return td::clib::LowerCase(value); }
}
