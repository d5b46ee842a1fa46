// The NT SCSI port driver's pass-through side for tests: device objects by
// name, IOCTL_SCSI_PASS_THROUGH and IOCTL_SCSI_PASS_THROUGH_DIRECT checked
// against the published block layout (a malformed block fails the call
// with ERROR_INVALID_PARAMETER, as the driver does), answered with a status
// byte, sense data at SenseInfoOffset and the DataTransferLength moved.
// Also the system's message texts, and a heap that counts its blocks.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "common/device_io.h"
#include "scsi/buffer_heap.h"

namespace td::test {

constexpr std::uint32_t kErrorInvalidParameter = 87;

// How a device answers every pass-through request sent to it.
struct PassThroughAnswer {
    bool call_fails = false;       // DeviceIoControl answers FALSE
    std::uint32_t last_error = 0;  // what GetLastError reports after the call
    std::uint8_t scsi_status = 0;
    std::vector<std::uint8_t> sense;    // stored on CHECK CONDITION, cut to SenseInfoLength
    std::vector<std::uint8_t> data_in;  // what a data-in request receives, cut to its length
    // DataTransferLength handed back; by default the bytes actually moved.
    std::optional<std::uint32_t> transferred;
};

struct OpenCall {
    std::string name;
    std::uint32_t access;
    std::uint32_t share;
    DeviceHandle handle;  // 0 when it failed
};

struct ControlCall {
    std::string device;  // the name the handle was opened with
    std::uint32_t code;
    std::uint32_t in_size;
    std::uint32_t out_size;
    bool in_is_out;                      // one block as input and output
    std::vector<std::uint8_t> in;        // the input bytes when sent
    const void* data_buffer;             // the direct block's DataBuffer
    std::vector<std::uint8_t> data_out;  // the bytes a data-out request carried
};

class FakePassThroughIo final : public DeviceIo {
public:
    // A device object named as CreateFileA sees it, e.g. "\\\\.\\C:".
    void AddDevice(const std::string& name, const PassThroughAnswer& answer = {});
    PassThroughAnswer& answer(const std::string& name) { return devices_.at(name); }
    void SetSystemMessage(std::uint32_t code, const std::string& text) { messages_[code] = text; }

    const std::vector<OpenCall>& opens() const { return opens_; }
    const std::vector<ControlCall>& controls() const { return controls_; }
    int closes() const { return closes_; }
    int open_handles() const { return static_cast<int>(handles_.size()); }

    DeviceHandle Open(const char* name, std::uint32_t access, std::uint32_t share) override;
    bool Control(DeviceHandle device, std::uint32_t code, void* in, std::uint32_t in_size, void* out,
                 std::uint32_t out_size, std::uint32_t* returned) override;
    void Close(DeviceHandle device) override;
    std::uint32_t LogicalDrives() override { return 0; }
    std::uint32_t DriveType(const char*) override { return 1; }
    std::uint32_t LastError() override { return last_error_; }
    std::uint32_t SystemMessage(std::uint32_t code, char* buffer, std::uint32_t size) override;

private:
    bool Fail(std::uint32_t error) {
        last_error_ = error;
        return false;
    }
    bool PassThrough(const PassThroughAnswer& answer, ControlCall& call, void* in, std::uint32_t in_size, void* out,
                     std::uint32_t out_size);
    bool PassThroughDirect(const PassThroughAnswer& answer, ControlCall& call, void* in, std::uint32_t in_size,
                           void* out, std::uint32_t out_size);

    std::map<std::string, PassThroughAnswer> devices_;
    std::map<DeviceHandle, std::string> handles_;
    std::map<std::uint32_t, std::string> messages_;
    std::vector<OpenCall> opens_;
    std::vector<ControlCall> controls_;
    int closes_ = 0;
    DeviceHandle next_handle_ = 0x40;
    std::uint32_t last_error_ = 0;
};

// A heap that can refuse and that keeps count, so a test sees every block
// given back.
class CountingHeap final : public BufferHeap {
public:
    void* Allocate(std::size_t size) override;
    void Free(void* block) override;

    bool fail = false;
    std::vector<std::size_t> sizes;  // of every block handed out
    int outstanding() const { return static_cast<int>(live_.size()); }
    int freed_unknown = 0;  // frees of blocks this heap never gave

private:
    std::map<void*, std::vector<std::uint8_t>> live_;
};

}  // namespace td::test
