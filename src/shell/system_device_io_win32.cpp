// The shipped program reaches the SCSI port driver through kernel32.
#include "shell/program_win32.h"

namespace td {

DeviceIo& SystemDeviceIo() {
    static Kernel32DeviceIo device_io;
    return device_io;
}

}  // namespace td
