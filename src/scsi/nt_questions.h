// The Details page's questions through the NT SCSI port driver.
//
// Each question opens the device object the diagnostics use for the slot
// (its drive, class device or port, with the slot's access and sharing),
// sends one IOCTL_SCSI_PASS_THROUGH with the data inside the block, and
// closes it again. DeviceIoControl does not return before the port driver
// has ended the request, which it does after the block's TimeOutValue at
// the latest; so the request is sent from a thread of its own and the
// window only looks, from its timer, whether it has come back. A request
// the driver ends for its time-out is told as a device that did not answer
// (not in the system's words for a time-out). Should the driver keep it
// longer than its time-out and a few seconds more, the page stops waiting
// and says so all the same; the request, the thread and their memory stay
// until the driver lets go and are freed by whichever of the page and the
// thread is done last.
#pragma once

#include <cstdint>

#include "common/clock.h"
#include "common/device_io.h"
#include "common/worker.h"
#include "inventory/inventory.h"
#include "scsi/question_transport.h"

namespace td {

constexpr std::uint32_t kQuestionTimeoutSeconds = 10;
// How long past the time-out the page still waits for the driver.
constexpr std::uint32_t kQuestionGraceMs = 5000;

struct NtQuestionJob;

class NtQuestionTransport final : public QuestionTransport {
public:
    // `device_io` null: no port driver can be reached and every question
    // fails so. The slot's device name, access, sharing and address are
    // copied; the slot may change while a question is out.
    NtQuestionTransport(DeviceIo* device_io, Worker& worker, Clock& clock, const DeviceSlot& slot);
    ~NtQuestionTransport() override;
    NtQuestionTransport(const NtQuestionTransport&) = delete;
    NtQuestionTransport& operator=(const NtQuestionTransport&) = delete;

    void Send(const Question& question) override;
    bool Answered(QuestionAnswer& answer) override;
    void Abandon() override;

private:
    void Judge(QuestionAnswer& answer);

    DeviceIo* device_io_;
    Worker& worker_;
    Clock& clock_;
    DeviceSlot slot_;
    NtQuestionJob* job_ = nullptr;
    // The answer's data, kept past the job: valid until the next Send.
    std::uint8_t data_[kQuestionDataSize] = {};
    std::uint32_t allocation_ = 0;
    std::uint32_t sent_at_ = 0;
    bool refused_ = false;
    FailureRecords refusal_{};
};

}  // namespace td
