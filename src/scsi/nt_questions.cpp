#include "scsi/nt_questions.h"

#include <atomic>
#include <cstddef>
#include <cstring>
#include <new>

#include "common/fixed_text.h"
#include "common/win_codes.h"
#include "resources/resource_ids.h"
#include "scsi/nt_layout.h"
#include "scsi/passthrough_commands.h"
#include "scsi/system_error.h"

namespace td {

// One question on its way: what the thread needs to send it and what it
// brings back. Two owners, the transport and the thread; the last one to
// let go frees it.
struct NtQuestionJob {
    // The block as the port driver takes it: the structure, room for the
    // sense data, and the data area the structure's offset points at.
    struct Block {
        nt::ScsiPassThrough spt;
        std::uint32_t filler;
        std::uint8_t sense[32];
        std::uint8_t data[kQuestionDataSize];
    };

    std::atomic<int> owners{2};
    std::atomic<bool> done{false};
    DeviceIo* device_io = nullptr;
    char path[4 + sizeof(DeviceSlot::device_path)] = "";
    std::uint32_t access = 0;
    std::uint32_t share = 0;
    Block block{};
    // Results, written by the thread before `done`.
    bool opened = false;
    bool call_ok = false;
    std::uint32_t error = 0;  // the thread's LastError of the call that failed
};

namespace {

static_assert(offsetof(NtQuestionJob::Block, sense) == offsetof(nt::PassThroughBlock, sense));

void LetGo(NtQuestionJob* job) {
    if (job->owners.fetch_sub(1, std::memory_order_acq_rel) == 1) delete job;
}

// The thread: open, send, close. Nothing here waits for the window.
void RunJob(void* argument) {
    auto* job = static_cast<NtQuestionJob*>(argument);
    DeviceIo& io = *job->device_io;
    const DeviceHandle device = io.Open(job->path, job->access, job->share);
    if (device == 0) {
        job->error = io.LastError();
    } else {
        job->opened = true;
        std::uint32_t returned = 0;
        const auto size = static_cast<std::uint32_t>(sizeof job->block);
        job->call_ok = io.Control(device, nt::kIoctlScsiPassThrough, &job->block, sizeof job->block.spt, &job->block,
                                  size, &returned);
        // GetLastError speaks of a call that failed only.
        if (!job->call_ok) job->error = io.LastError();
        io.Close(device);
    }
    job->done.store(true, std::memory_order_release);
    LetGo(job);
}

}  // namespace

NtQuestionTransport::NtQuestionTransport(DeviceIo* device_io, Worker& worker, Clock& clock, const DeviceSlot& slot)
    : device_io_(device_io), worker_(worker), clock_(clock), slot_(slot) {}

NtQuestionTransport::~NtQuestionTransport() { Abandon(); }

void NtQuestionTransport::Send(const Question& question) {
    Abandon();
    refused_ = false;
    refusal_ = FailureRecords{};
    if (device_io_ == nullptr) {
        refused_ = true;
        RecordFailure(refusal_.last_error, IDS_NO_PORT_DRIVER);
        return;
    }
    if (IsEmpty(slot_.device_path)) {
        refused_ = true;
        RecordFailure(refusal_.last_error, IDS_NO_DEVICE_PATH);
        return;
    }
    auto* job = new (std::nothrow) NtQuestionJob;
    if (job == nullptr) {
        refused_ = true;
        RecordFailure(refusal_.last_error, IDS_NO_MEMORY);
        return;
    }
    job->device_io = device_io_;
    CopyText(job->path, "\\\\.\\");
    char device_path[sizeof slot_.device_path];
    CopyBytes(device_path, slot_.device_path, sizeof slot_.device_path);  // terminated whatever the field holds
    AppendText(job->path, device_path);
    job->access = slot_.access_mode;
    job->share = slot_.share_mode;

    nt::ScsiPassThrough& spt = job->block.spt;
    const std::uint32_t allocation = question.allocation <= kQuestionDataSize ? question.allocation : kQuestionDataSize;
    spt.Length = sizeof spt;
    // Through a drive or class device the handle alone names the unit; a
    // port needs the address.
    spt.PathId = static_cast<std::uint8_t>(slot_.bus_number);
    spt.TargetId = static_cast<std::uint8_t>(slot_.target_id);
    spt.Lun = static_cast<std::uint8_t>(slot_.lun);
    spt.CdbLength = question.cdb_length <= sizeof spt.Cdb ? question.cdb_length : sizeof spt.Cdb;
    spt.SenseInfoLength = nt::kPassThroughSenseLength;
    spt.DataIn = nt::kScsiIoctlDataIn;
    spt.DataTransferLength = allocation;
    spt.TimeOutValue = kQuestionTimeoutSeconds;
    spt.DataBufferOffset = offsetof(NtQuestionJob::Block, data);
    spt.SenseInfoOffset = offsetof(NtQuestionJob::Block, sense);
    std::memcpy(spt.Cdb, question.cdb, spt.CdbLength);

    job_ = job;
    allocation_ = allocation;
    sent_at_ = clock_.Ticks();
    // Without a thread the request is sent from here: the window then
    // waits, as long as the port driver's time-out at most.
    if (!worker_.Start(RunJob, job)) RunJob(job);
}

bool NtQuestionTransport::Answered(QuestionAnswer& answer) {
    answer = QuestionAnswer{};
    if (refused_) {
        refused_ = false;
        answer.why = refusal_;
        return true;
    }
    if (job_ == nullptr) return false;
    if (!job_->done.load(std::memory_order_acquire)) {
        const std::uint32_t limit = kQuestionTimeoutSeconds * 1000 + kQuestionGraceMs;
        if (static_cast<std::uint32_t>(clock_.Ticks() - sent_at_) < limit) return false;
        Abandon();
        answer.no_answer = true;
        RecordFailure(answer.why.last_error, IDS_DETAILS_NO_ANSWER, limit / 1000);
        return true;
    }
    Judge(answer);
    Abandon();
    return true;
}

void NtQuestionTransport::Judge(QuestionAnswer& answer) {
    const NtQuestionJob& job = *job_;
    if (!job.opened) {
        // The system's reason (access denied, a sharing violation ...) goes
        // with it, or at least its error code.
        if (job.error != win::kErrorSuccess) format_system_error(*device_io_, job.error, answer.why.last_error);
        RecordFailure(answer.why.last_error, IDS_OPEN_FAILED, job.error);
        return;
    }
    const nt::ScsiPassThrough& spt = job.block.spt;
    if (job.call_ok && spt.ScsiStatus == 0) {
        const std::uint32_t moved = spt.DataTransferLength;
        answer.answered = true;
        answer.transferred = moved < allocation_ ? moved : allocation_;
        std::memcpy(data_, job.block.data, answer.transferred);
        answer.data = data_;
        return;
    }
    // The port driver ended a request the device did not answer in time:
    // told as such, rather than in the system's words for a time-out.
    if (!job.call_ok && job.error == win::kErrorSemTimeout) {
        answer.no_answer = true;
        RecordFailure(answer.why.last_error, IDS_DETAILS_NO_ANSWER, kQuestionTimeoutSeconds);
        return;
    }
    RecordPassThroughFailure(*device_io_, job.block.sense, nt::kPassThroughSenseLength,
                             job.call_ok ? win::kErrorSuccess : job.error, spt.ScsiStatus, answer.why.sense_report,
                             answer.why.last_error);
}

void NtQuestionTransport::Abandon() {
    if (job_ == nullptr) return;
    LetGo(job_);
    job_ = nullptr;
}

}  // namespace td
