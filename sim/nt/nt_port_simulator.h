// The Windows NT SCSI port driver, simulated over the virtual bus.
//
// A td::DeviceIo serving the device objects the program opens on NT:
//   \\.\SCSI<n>:      one per adapter, n its port number;
//   \\.\C: ...        the scenario's drive letters (GetLogicalDrives and
//                     GetDriveTypeA answer from the same list);
//   \\.\Scanner<k>, \\.\Tape<k>   the numbered class devices.
// Names are compared without regard to case, as object names are on NT.
//
// Control answers, with the published layouts of nt_layout.h:
//   IOCTL_SCSI_GET_INQUIRY_DATA (ports): SCSI_ADAPTER_BUS_INFO, one
//     SCSI_BUS_DATA per bus, then the SCSI_INQUIRY_DATA entries of each bus
//     chained by NextInquiryDataOffset (0 ends a bus), ordered by target and
//     LUN, each with 36 bytes of INQUIRY data and aligned to 4 bytes; every
//     offset counts from the start of the output buffer. A buffer too small
//     fails with ERROR_INSUFFICIENT_BUFFER. The byte count returned is what
//     it wrote, or the adapter's `inquiry-data reports` count (a layer such
//     as Wine's that reports less than it wrote).
//   IOCTL_SCSI_GET_ADDRESS: SCSI_ADDRESS (8 bytes) of the drive's or class
//     device's unit; on a port, bus 0 and the adapter's own ID.
//   IOCTL_SCSI_PASS_THROUGH / _DIRECT: the CDB runs on the unit behind the
//     handle (a drive or class device: its unit, whatever the block says; a
//     port: PathId, TargetId and Lun of the block, or, with `port-is-unit`,
//     the port's one unit, claimed or not, as Wine's ports over Linux do). ScsiStatus is set, the
//     sense data copied to SenseInfoOffset (SenseInfoLength becomes the
//     bytes copied), DataTransferLength becomes the bytes moved. The data
//     of SCSI_PASS_THROUGH lies at DataBufferOffset within the caller's
//     block, that of the direct form at DataBuffer.
// As METHOD_BUFFERED requests do, the input is read whole before anything
// is written, and only the bytes the driver returns are copied to the
// output, so input and output may be the same block.
//
// Failures, with the system's error codes (LastError):
//   a name that does not exist: ERROR_FILE_NOT_FOUND (2); a scripted
//   open failure: its code; GENERIC_WRITE on a read-only drive:
//   ERROR_ACCESS_DENIED (5). A CD-ROM drive accepts read-only and
//   read-write opens alike, as NT does; the call log shows which was asked.
//   An open whose access or sharing conflicts with a handle still open on
//   the same object fails with ERROR_SHARING_VIOLATION (32), by the file
//   system's rule: each side's access must be within the other's sharing.
//   Unknown handle: ERROR_INVALID_HANDLE (6). A control code the object
//   does not serve, a pass-through through a port to a unit a class driver
//   has claimed, or to a drive that is not on SCSI: ERROR_INVALID_FUNCTION
//   (1). A malformed pass-through block: ERROR_INVALID_PARAMETER (87).
//   A port pass-through to an address without a unit: ERROR_DEVICE_NOT_
//   CONNECTED (1167). An adapter failure: ERROR_IO_DEVICE (1117) unless
//   the scenario names the code. A command that takes longer than its
//   TimeOutValue, or never completes: ERROR_SEM_TIMEOUT (121) after the
//   time-out has passed on the clock.
// A call that succeeds leaves LastError as it was, as kernel32 does.
//
// Threads: calls may come from several threads at once, as the program's
// window thread and a thread that waits for a device's answer do. LastError
// is kept per thread, as the system keeps it, and a command's delay or
// time-out holds only the thread that sent it.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "bus/virtual_bus.h"
#include "common/clock.h"
#include "common/device_io.h"

namespace td::sim {

// Error codes the simulator answers with.
enum : std::uint32_t {
    kErrInvalidFunction = 1,
    kErrFileNotFound = 2,
    kErrAccessDenied = 5,
    kErrInvalidHandle = 6,
    kErrSharingViolation = 32,
    kErrInvalidParameter = 87,
    kErrSemTimeout = 121,
    kErrInsufficientBuffer = 122,
    kErrMrMidNotFound = 317,
    kErrIoDevice = 1117,
    kErrDeviceNotConnected = 1167,
};

// The system's English text for a few common error codes (FormatMessageA
// from the system), with its trailing CR LF; nullptr for other codes.
const char* SystemErrorText(std::uint32_t code);

// One call of the device I/O, as made.
struct NtCall {
    enum class Op : std::uint8_t { Open, Control, Close, LogicalDrives, DriveType, LastError, SystemMessage };
    Op op = Op::Open;
    std::string name;  // Open: the name; Control/Close: the name the handle was opened with; DriveType: the root
    std::uint32_t access = 0;  // Open
    std::uint32_t share = 0;   // Open
    DeviceHandle handle = 0;   // Open: the handle given (0 on failure); Control/Close: the handle used
    std::uint32_t code = 0;    // Control: the control code; SystemMessage: the error code
    std::uint32_t in_size = 0;
    std::uint32_t out_size = 0;  // Control; SystemMessage: the buffer size
    std::uint32_t returned = 0;  // Control: bytes returned; others: the value answered
    bool ok = false;
    std::uint32_t error = 0;  // the LastError a failure set
};

class NtPortSimulator final : public DeviceIo {
public:
    // `clock` runs the commands' delays and time-outs; nullptr uses the
    // machine's steady clock. The clock must outlive the simulator.
    explicit NtPortSimulator(Scenario scenario, Clock* clock = nullptr);
    ~NtPortSimulator() override;

    DeviceHandle Open(const char* name, std::uint32_t access, std::uint32_t share) override;
    bool Control(DeviceHandle device, std::uint32_t code, void* in, std::uint32_t in_size, void* out,
                 std::uint32_t out_size, std::uint32_t* returned) override;
    void Close(DeviceHandle device) override;
    std::uint32_t LogicalDrives() override;
    std::uint32_t DriveType(const char* root) override;
    std::uint32_t LastError() override;
    std::uint32_t SystemMessage(std::uint32_t code, char* buffer, std::uint32_t size) override;

    VirtualBus& bus() { return bus_; }

    std::vector<NtCall> Calls() const;
    void ClearCalls();
    // Whether calls (and the bus's requests) are kept for Calls() and
    // bus().Requests(): on for tests, off in the NT-sim program, where the
    // log would only grow.
    void KeepLog(bool keep);

    // Handles opened and not closed yet.
    int OpenHandles() const;

    // Sets the calling thread's LastError as SetLastError would (for tests
    // of stale codes).
    void SetLastError(std::uint32_t code);

private:
    enum class ObjectKind : std::uint8_t { Port, Drive, ClassDevice };
    struct Unit {
        int adapter = -1;  // -1: not on SCSI
        int device = -1;
    };
    struct Object {
        ObjectKind kind = ObjectKind::Port;
        std::string name;  // as opened, without the \\.\ prefix
        std::string key;   // the same object under any spelling
        std::uint32_t access = 0;
        std::uint32_t share = 0;
        int adapter = -1;
        Unit unit;
        const ScenarioDrive* drive = nullptr;
        const ScenarioClassDevice* class_device = nullptr;
    };

    // Every member below is used with mutex_ held.
    void Log(const NtCall& call);
    bool FindObject(const std::string& name, Object& object) const;
    bool Fail(NtCall& call, std::uint32_t error);
    bool InquiryData(const Object& object, void* out, std::uint32_t out_size, NtCall& call);
    bool Address(const Object& object, void* out, std::uint32_t out_size, NtCall& call);
    // Lets go of `lock` while the command's delay or time-out passes.
    bool PassThrough(const Object& object, bool direct, void* in, std::uint32_t in_size, void* out,
                     std::uint32_t out_size, NtCall& call, std::unique_lock<std::mutex>& lock);

    VirtualBus bus_;
    std::unique_ptr<Clock> own_clock_;
    Clock* clock_;
    mutable std::mutex mutex_;
    std::map<DeviceHandle, Object> handles_;
    DeviceHandle next_handle_ = 0x100;
    std::map<std::thread::id, std::uint32_t> last_errors_;
    std::vector<NtCall> calls_;
    bool keep_log_ = true;
};

}  // namespace td::sim
