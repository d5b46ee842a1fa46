#include "common/win32_seams.h"

namespace td {

DeviceHandle Kernel32DeviceIo::Open(const char* name, std::uint32_t access, std::uint32_t share) {
    HANDLE handle = CreateFileA(name, access, share, nullptr, OPEN_EXISTING, 0, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return 0;
    return reinterpret_cast<DeviceHandle>(handle);
}

bool Kernel32DeviceIo::Control(DeviceHandle device, std::uint32_t code, void* in, std::uint32_t in_size, void* out,
                               std::uint32_t out_size, std::uint32_t* returned) {
    DWORD count = 0;
    const BOOL ok = DeviceIoControl(reinterpret_cast<HANDLE>(device), code, in, in_size, out, out_size, &count,
                                    nullptr);
    if (returned != nullptr) *returned = count;
    return ok != FALSE;
}

void Kernel32DeviceIo::Close(DeviceHandle device) {
    if (device != 0) CloseHandle(reinterpret_cast<HANDLE>(device));
}

std::uint32_t Kernel32DeviceIo::LogicalDrives() { return GetLogicalDrives(); }

std::uint32_t Kernel32DeviceIo::DriveType(const char* root) { return GetDriveTypeA(root); }

std::uint32_t Kernel32DeviceIo::LastError() { return GetLastError(); }

std::uint32_t Kernel32DeviceIo::SystemMessage(std::uint32_t code, char* buffer, std::uint32_t size) {
    return FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM, nullptr, code, 0, buffer, size, nullptr);
}

}  // namespace td
