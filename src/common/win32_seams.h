// The Win32 implementations of the core's seams, used by the program.
#pragma once

#include <windows.h>

#include "common/clock.h"
#include "common/device_io.h"
#include "common/messages.h"
#include "common/number_format.h"
#include "common/registry.h"
#include "common/worker.h"

namespace td {

// advapi32. Keys are opened with KEY_READ or KEY_ALL_ACCESS as asked.
class Win32Registry final : public Registry {
public:
    RegistryKey CreateKey(RegistryRoot root, const char* path, RegistryAccess access, bool* created) override;
    RegistryKey OpenKey(RegistryRoot root, const char* path, RegistryAccess access) override;
    void CloseKey(RegistryKey key) override;
    bool DeleteKey(RegistryRoot root, const char* path) override;
    bool QueryValue(RegistryKey key, const char* name, void* buffer, std::uint32_t* size) override;
    bool SetBinaryValue(RegistryKey key, const char* name, const void* data, std::uint32_t size) override;
    bool SetTextValue(RegistryKey key, const char* name, const char* text) override;
    bool EnumSubkey(RegistryKey key, std::uint32_t index, char* name, std::uint32_t size) override;
};

// The program's own string table in the language set chosen for the user
// (program_resources_win32.h), and MessageBoxA.
class Win32Messages final : public Messages {
public:
    int LoadText(int id, char* buffer, int size) override;
    int LoadTextOf(InterfaceLanguage language, int id, char* buffer, int size) override;
    int Box(WindowRef owner, const char* text, const char* caption, unsigned flags) override;
};

// GetTickCount and SleepEx.
class Win32Clock final : public Clock {
public:
    std::uint32_t Ticks() override;
    void Sleep(std::uint32_t milliseconds) override;
    void Idle() override;
};

// kernel32: CreateFileA, DeviceIoControl, GetLogicalDrives, GetDriveTypeA,
// GetLastError, FormatMessageA.
class Kernel32DeviceIo final : public DeviceIo {
public:
    DeviceHandle Open(const char* name, std::uint32_t access, std::uint32_t share) override;
    bool Control(DeviceHandle device, std::uint32_t code, void* in, std::uint32_t in_size, void* out,
                 std::uint32_t out_size, std::uint32_t* returned) override;
    void Close(DeviceHandle device) override;
    std::uint32_t LogicalDrives() override;
    std::uint32_t DriveType(const char* root) override;
    std::uint32_t LastError() override;
    std::uint32_t SystemMessage(std::uint32_t code, char* buffer, std::uint32_t size) override;
};

// CreateThread, the thread's handle closed at once: the work frees what it
// was given itself.
class Win32Worker final : public Worker {
public:
    bool Start(void (*work)(void*), void* argument) override;
};

// GetNumberFormatA with the user's separators and grouping
// (GetLocaleInfoA) and the number of decimals asked for; the plain format
// where the system cannot format.
class Win32NumberFormat final : public NumberFormat {
public:
    void Format(const char* value, int decimals, char* text, std::size_t size) override;
};

inline HWND ToWindow(WindowRef ref) { return reinterpret_cast<HWND>(ref); }
inline WindowRef ToRef(HWND window) { return reinterpret_cast<WindowRef>(window); }

}  // namespace td
