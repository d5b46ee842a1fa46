// A block of memory inside another process. The common controls of that
// process fill the structures a message names (an item's text, a
// rectangle) only in their own address space, so a reader from outside
// hands them a block that lives there and copies it back afterwards.
#pragma once

#include <windows.h>

#include <cstring>
#include <string>

namespace td::autom {

class RemoteMemory {
public:
    // A block of `size` bytes in the process that owns `window`.
    RemoteMemory(HWND window, SIZE_T size) {
        DWORD pid = 0;
        GetWindowThreadProcessId(window, &pid);
        process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
        if (process_ != nullptr)
            address_ = static_cast<char*>(
                VirtualAllocEx(process_, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    }
    ~RemoteMemory() {
        if (address_ != nullptr) VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
        if (process_ != nullptr) CloseHandle(process_);
    }
    RemoteMemory(const RemoteMemory&) = delete;
    RemoteMemory& operator=(const RemoteMemory&) = delete;

    bool ok() const { return address_ != nullptr; }
    // The address, as the other process sees it, of the byte at `offset`.
    char* at(SIZE_T offset) const { return address_ + offset; }
    LPARAM param(SIZE_T offset = 0) const { return reinterpret_cast<LPARAM>(address_ + offset); }

    bool Write(SIZE_T offset, const void* data, SIZE_T size) {
        return WriteProcessMemory(process_, address_ + offset, data, size, nullptr) != FALSE;
    }
    bool Read(SIZE_T offset, void* data, SIZE_T size) const {
        return ReadProcessMemory(process_, address_ + offset, data, size, nullptr) != FALSE;
    }
    // A NUL-terminated text of at most `max` bytes at `offset`.
    std::string ReadText(SIZE_T offset, SIZE_T max) const {
        std::string text(max, '\0');
        if (!Read(offset, text.data(), max)) return {};
        text.resize(std::strlen(text.c_str()));
        return text;
    }

private:
    HANDLE process_ = nullptr;
    char* address_ = nullptr;
};

}  // namespace td::autom
