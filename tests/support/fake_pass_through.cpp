#include "support/fake_pass_through.h"

#include <algorithm>
#include <cstring>

#include "common/win_codes.h"
#include "scsi/nt_layout.h"

namespace td::test {
namespace {

constexpr std::uint8_t kCheckCondition = 0x02;

// The driver stores sense data only where the caller's output buffer has
// room for SenseInfoLength bytes at SenseInfoOffset.
bool SenseFits(std::uint32_t offset, std::uint8_t length, std::uint32_t out_size) {
    return length == 0 || (offset >= 1 && offset + length <= out_size);
}

template <typename Block>
void StoreStatusAndSense(const PassThroughAnswer& answer, Block& block, void* out) {
    block.ScsiStatus = answer.scsi_status;
    std::uint8_t stored = 0;
    if (answer.scsi_status == kCheckCondition && block.SenseInfoLength > 0) {
        stored = static_cast<std::uint8_t>(std::min<std::size_t>(answer.sense.size(), block.SenseInfoLength));
        if (stored > 0)
            std::memcpy(static_cast<std::uint8_t*>(out) + block.SenseInfoOffset, answer.sense.data(), stored);
    }
    block.SenseInfoLength = stored;
}

}  // namespace

void FakePassThroughIo::AddDevice(const std::string& name, const PassThroughAnswer& answer) { devices_[name] = answer; }

DeviceHandle FakePassThroughIo::Open(const char* name, std::uint32_t access, std::uint32_t share) {
    const std::string text = name == nullptr ? "" : name;
    if (devices_.count(text) == 0) {
        opens_.push_back({text, access, share, 0});
        last_error_ = win::kErrorFileNotFound;
        return 0;
    }
    const DeviceHandle handle = next_handle_++;
    handles_[handle] = text;
    opens_.push_back({text, access, share, handle});
    last_error_ = 0;
    return handle;
}

void FakePassThroughIo::Close(DeviceHandle device) {
    ++closes_;
    handles_.erase(device);
}

bool FakePassThroughIo::Control(DeviceHandle device, std::uint32_t code, void* in, std::uint32_t in_size, void* out,
                                std::uint32_t out_size, std::uint32_t* returned) {
    if (returned != nullptr) *returned = 0;
    const auto handle = handles_.find(device);
    if (handle == handles_.end()) return Fail(win::kErrorInvalidHandle);

    ControlCall call{handle->second, code, in_size, out_size, in == out, {}, nullptr, {}};
    if (in != nullptr) {
        const auto* bytes = static_cast<const std::uint8_t*>(in);
        call.in.assign(bytes, bytes + in_size);
    }
    const PassThroughAnswer& answer = devices_.at(handle->second);
    bool ok = false;
    if (code == nt::kIoctlScsiPassThrough) {
        ok = PassThrough(answer, call, in, in_size, out, out_size);
    } else if (code == nt::kIoctlScsiPassThroughDirect) {
        ok = PassThroughDirect(answer, call, in, in_size, out, out_size);
    } else {
        ok = Fail(win::kErrorInvalidFunction);
    }
    controls_.push_back(call);
    if (ok && returned != nullptr) *returned = out_size;
    return ok;
}

bool FakePassThroughIo::PassThrough(const PassThroughAnswer& answer, ControlCall&, void* in, std::uint32_t in_size,
                                    void* out, std::uint32_t out_size) {
    if (in == nullptr || out == nullptr || in_size < sizeof(nt::ScsiPassThrough) ||
        out_size < sizeof(nt::ScsiPassThrough))
        return Fail(kErrorInvalidParameter);
    nt::ScsiPassThrough request;
    std::memcpy(&request, in, sizeof request);
    if (request.Length != sizeof(nt::ScsiPassThrough) || request.CdbLength > 16 ||
        !SenseFits(request.SenseInfoOffset, request.SenseInfoLength, out_size))
        return Fail(kErrorInvalidParameter);
    // Data moves within the caller's buffers, after the structure.
    if (request.DataTransferLength > 0 && (request.DataBufferOffset < sizeof(nt::ScsiPassThrough) ||
                                           request.DataBufferOffset + request.DataTransferLength >
                                               (request.DataIn == nt::kScsiIoctlDataIn ? out_size : in_size)))
        return Fail(kErrorInvalidParameter);
    if (answer.call_fails) return Fail(answer.last_error);

    std::uint32_t moved = 0;
    if (request.DataIn == nt::kScsiIoctlDataIn && request.DataTransferLength > 0) {
        moved = static_cast<std::uint32_t>(std::min<std::size_t>(answer.data_in.size(), request.DataTransferLength));
        if (moved > 0)
            std::memcpy(static_cast<std::uint8_t*>(out) + request.DataBufferOffset, answer.data_in.data(), moved);
    } else {
        moved = request.DataTransferLength;
    }
    StoreStatusAndSense(answer, request, out);
    request.DataTransferLength = answer.transferred.value_or(moved);
    std::memcpy(out, &request, sizeof request);
    last_error_ = answer.last_error;
    return true;
}

bool FakePassThroughIo::PassThroughDirect(const PassThroughAnswer& answer, ControlCall& call, void* in,
                                          std::uint32_t in_size, void* out, std::uint32_t out_size) {
    if (in == nullptr || out == nullptr || in_size < sizeof(nt::ScsiPassThroughDirect) ||
        out_size < sizeof(nt::ScsiPassThroughDirect))
        return Fail(kErrorInvalidParameter);
    nt::ScsiPassThroughDirect request;
    std::memcpy(&request, in, sizeof request);
    if (request.Length != sizeof(nt::ScsiPassThroughDirect) || request.CdbLength > 16 ||
        !SenseFits(request.SenseInfoOffset, request.SenseInfoLength, out_size) ||
        (request.DataTransferLength > 0 && request.DataBuffer == nullptr))
        return Fail(kErrorInvalidParameter);
    call.data_buffer = request.DataBuffer;
    auto* data = static_cast<std::uint8_t*>(request.DataBuffer);
    if (request.DataIn == nt::kScsiIoctlDataOut && data != nullptr)
        call.data_out.assign(data, data + request.DataTransferLength);
    if (answer.call_fails) return Fail(answer.last_error);

    std::uint32_t moved = request.DataTransferLength;
    if (request.DataIn == nt::kScsiIoctlDataIn && data != nullptr) {
        moved = static_cast<std::uint32_t>(std::min<std::size_t>(answer.data_in.size(), request.DataTransferLength));
        if (moved > 0) std::memcpy(data, answer.data_in.data(), moved);
    }
    StoreStatusAndSense(answer, request, out);
    request.DataTransferLength = answer.transferred.value_or(moved);
    std::memcpy(out, &request, sizeof request);
    last_error_ = answer.last_error;
    return true;
}

std::uint32_t FakePassThroughIo::SystemMessage(std::uint32_t code, char* buffer, std::uint32_t size) {
    const auto found = messages_.find(code);
    // Like FormatMessageA: no text for an unknown code, and none at all
    // when the text and its terminator do not fit the buffer.
    if (found == messages_.end() || found->second.size() + 1 > size) return 0;
    std::memcpy(buffer, found->second.c_str(), found->second.size() + 1);
    return static_cast<std::uint32_t>(found->second.size());
}

void* CountingHeap::Allocate(std::size_t size) {
    if (fail) return nullptr;
    sizes.push_back(size);
    std::vector<std::uint8_t> block(size, 0xCD);  // not zero: callers must fill what they use
    void* address = block.data();
    live_.emplace(address, std::move(block));
    return address;
}

void CountingHeap::Free(void* block) {
    if (live_.erase(block) == 0) ++freed_unknown;
}

}  // namespace td::test
