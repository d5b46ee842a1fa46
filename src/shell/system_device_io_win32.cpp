// The shipped program reaches the SCSI port driver through kernel32.
#include <new>

#include "shell/program_win32.h"

namespace td {

// Made in place and never destroyed: a thread of the Details page may still
// be waiting in DeviceIoControl while the program ends, and comes back to
// it then.
DeviceIo& SystemDeviceIo() {
    alignas(Kernel32DeviceIo) static unsigned char storage[sizeof(Kernel32DeviceIo)];
    static Kernel32DeviceIo* const device_io = new (storage) Kernel32DeviceIo;
    return *device_io;
}

}  // namespace td
