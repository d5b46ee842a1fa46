// Device input and output on Windows NT.
//
// NT discovery and the pass-through commands open the SCSI port driver's
// device objects (\\.\SCSI0:, \\.\C:, \\.\Tape0 ...) and send them device
// control requests. This interface carries those calls with the kernel32
// semantics; the shipped program uses kernel32, the NT simulator build and
// the tests use the virtual bus behind it.
#pragma once

#include <cstdint>

namespace td {

// An open device; 0 is none (INVALID_HANDLE_VALUE maps to 0).
using DeviceHandle = std::uintptr_t;

class DeviceIo {
public:
    virtual ~DeviceIo() = default;

    // CreateFileA(name, access, share, no security, OPEN_EXISTING, 0, 0).
    virtual DeviceHandle Open(const char* name, std::uint32_t access, std::uint32_t share) = 0;

    // DeviceIoControl without an overlapped structure; `returned` receives
    // the number of output bytes. False when the request failed (the reason
    // is then in LastError).
    virtual bool Control(DeviceHandle device, std::uint32_t code, void* in, std::uint32_t in_size, void* out,
                         std::uint32_t out_size, std::uint32_t* returned) = 0;

    virtual void Close(DeviceHandle device) = 0;

    // GetLogicalDrives: bit 0 for A:, bit 2 for C: ...
    virtual std::uint32_t LogicalDrives() = 0;

    // GetDriveTypeA of a root such as "C:\".
    virtual std::uint32_t DriveType(const char* root) = 0;

    // GetLastError of the latest call.
    virtual std::uint32_t LastError() = 0;

    // FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM, no source, code, language
    // 0, buffer, size, no inserts): the number of characters stored, 0 when
    // the system has no text for the code or it does not fit.
    virtual std::uint32_t SystemMessage(std::uint32_t code, char* buffer, std::uint32_t size) = 0;
};

}  // namespace td
