#include "aspi/aspi_service.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>

namespace td::sim {
namespace {

using namespace td::aspi;

// Time is kept in microseconds, so that a delay never ends early by the
// rounding of a millisecond clock.
std::uint64_t SteadyUs() {
    return static_cast<std::uint64_t>(
        std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now().time_since_epoch())
            .count());
}

// SRB_Status is the one field callers poll while another thread writes the
// block, so it is always written atomically; the final status with release
// ordering, so that everything stored before it is seen with it.
void StoreStatus(void* block, std::uint8_t status, std::memory_order order = std::memory_order_release) {
    std::atomic_ref<std::uint8_t>(static_cast<SrbHeader*>(block)->SRB_Status).store(status, order);
}

template <typename Block>
std::vector<std::uint8_t> BytesOf(const Block* block) {
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(block);
    return std::vector<std::uint8_t>(bytes, bytes + sizeof(Block));
}

// The record of a request, started from the fields every block has.
template <typename Block>
AspiCall CallOf(AspiCall::Kind kind, const Block* block) {
    AspiCall call;
    call.kind = kind;
    call.block = block;
    call.bytes = BytesOf(block);
    call.command = block->SRB_Cmd;
    call.ha_id = block->SRB_HaId;
    return call;
}

void CopyField(std::uint8_t (&field)[16], const std::string& text) {
    std::memset(field, 0, sizeof field);
    std::memcpy(field, text.data(), std::min<std::size_t>(text.size(), sizeof field));
}

DataDirection DirectionOfFlags(std::uint8_t flags) {
    switch (flags & (kSrbDirIn | kSrbDirOut)) {
        case kSrbDirIn:
            return DataDirection::In;
        case kSrbDirOut:
            return DataDirection::Out;
        case kSrbDirIn | kSrbDirOut:
            return DataDirection::None;
        default:
            return DataDirection::Unspecified;
    }
}

}  // namespace

AspiService::AspiService(Scenario scenario, TimeMode mode)
    : bus_(std::move(scenario)), mode_(mode), start_us_(SteadyUs()) {
    worker_ = std::thread([this] { Worker(); });
}

AspiService::~AspiService() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    worker_.join();
}

std::uint64_t AspiService::NowLocked() const {
    return mode_ == TimeMode::Manual ? manual_now_us_ : SteadyUs() - start_us_;
}

std::uint64_t AspiService::Now() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return NowLocked() / 1000;
}

void AspiService::Record(AspiCall call) {
    std::lock_guard<std::mutex> lock(mutex_);
    LogLocked(std::move(call));
}

void AspiService::LogLocked(AspiCall call) {
    if (keep_log_) calls_.push_back(std::move(call));
}

std::uint32_t AspiService::FinishAtOnce(AspiCall call, void* block, std::uint8_t status) {
    call.returned = status;
    Record(std::move(call));
    StoreStatus(block, status);
    return status;
}

std::uint32_t AspiService::Refuse(AspiCall call, void* block, const AspiRefusal& refusal) {
    if (!refusal.untouched) return FinishAtOnce(std::move(call), block, refusal.status);
    call.returned = refusal.status;
    Record(std::move(call));
    return refusal.status;
}

std::uint32_t AspiService::GetSupportInfo() {
    const Scenario& scenario = bus_.scenario();
    const std::uint32_t value = static_cast<std::uint32_t>(scenario.aspi_status) << 8 |
                                (static_cast<std::uint32_t>(scenario.aspi_count) & 0xFF);
    AspiCall call;
    call.kind = AspiCall::Kind::SupportInfo;
    call.returned = value;
    Record(std::move(call));
    return value;
}

std::uint32_t AspiService::SendCommand(void* block) {
    if (block == nullptr) {
        AspiCall call;
        call.returned = kSsInvalidSrb;
        Record(std::move(call));
        return kSsInvalidSrb;
    }
    auto* header = static_cast<SrbHeader*>(block);
    if (bus_.scenario().aspi_refusal.active()) {
        AspiCall call;
        call.block = block;
        call.command = header->SRB_Cmd;
        call.ha_id = header->SRB_HaId;
        return Refuse(std::move(call), block, bus_.scenario().aspi_refusal);
    }
    const std::uint8_t support = bus_.scenario().aspi_status;
    if (support != kSsComp) {
        AspiCall call;
        call.block = block;
        call.command = header->SRB_Cmd;
        call.ha_id = header->SRB_HaId;
        call.returned = support;
        Record(std::move(call));
        StoreStatus(block, support);
        return support;
    }
    switch (header->SRB_Cmd) {
        case kScHaInquiry:
            return HaInquiry(static_cast<SrbHaInquiry*>(block));
        case kScGetDevType:
            return GetDevType(static_cast<SrbGetDevType*>(block));
        case kScExecScsiCmd:
            return Exec(static_cast<SrbExecScsiCmd*>(block));
        case kScAbortSrb:
            return Abort(static_cast<SrbAbort*>(block));
        default: {
            AspiCall call;
            call.block = block;
            call.command = header->SRB_Cmd;
            call.ha_id = header->SRB_HaId;
            call.returned = kSsInvalidCmd;
            Record(std::move(call));
            StoreStatus(block, kSsInvalidCmd);
            return kSsInvalidCmd;
        }
    }
}

std::uint32_t AspiService::HaInquiry(SrbHaInquiry* srb) {
    AspiCall call = CallOf(AspiCall::Kind::HaInquiry, srb);
    call.flags = srb->SRB_Flags;

    const Scenario& scenario = bus_.scenario();
    std::uint8_t status = kSsInvalidHa;
    if (srb->SRB_HaId < scenario.adapters.size()) {
        const ScenarioAdapter& adapter = scenario.adapters[srb->SRB_HaId];
        if (adapter.inquiry_refusal.active()) return Refuse(std::move(call), srb, adapter.inquiry_refusal);
        srb->HA_Count = static_cast<std::uint8_t>(scenario.aspi_count);
        srb->HA_SCSI_ID = static_cast<std::uint8_t>(adapter.scsi_id);
        CopyField(srb->HA_ManagerId, adapter.manager);
        CopyField(srb->HA_Identifier, adapter.identifier);
        std::memcpy(srb->HA_Unique, adapter.unique.data(), sizeof srb->HA_Unique);
        status = kSsComp;
    }
    return FinishAtOnce(std::move(call), srb, status);
}

std::uint32_t AspiService::GetDevType(SrbGetDevType* srb) {
    AspiCall call = CallOf(AspiCall::Kind::GetDevType, srb);
    call.target = srb->SRB_Target;
    call.lun = srb->SRB_Lun;

    std::uint8_t status = kSsInvalidHa;
    if (srb->SRB_HaId < bus_.scenario().adapters.size()) {
        const ScenarioDevice* device = bus_.FindDevice(srb->SRB_HaId, 0, srb->SRB_Target, srb->SRB_Lun);
        if (device == nullptr) {
            status = kSsNoDevice;
        } else {
            srb->SRB_DeviceType = static_cast<std::uint8_t>(device->InquiryData()[0] & 0x1F);
            status = kSsComp;
        }
    }
    return FinishAtOnce(std::move(call), srb, status);
}

std::uint32_t AspiService::Exec(SrbExecScsiCmd* srb) {
    AspiCall call = CallOf(AspiCall::Kind::Exec, srb);
    call.flags = srb->SRB_Flags;
    call.target = srb->SRB_Target;
    call.lun = srb->SRB_Lun;
    call.buf_len = srb->SRB_BufLen;
    call.sense_len = srb->SRB_SenseLen;
    call.has_post_proc = srb->SRB_PostProc != nullptr;
    const std::uint8_t cdb_length = srb->SRB_CDBLen;
    call.cdb.assign(srb->CDBByte, srb->CDBByte + std::min<std::uint8_t>(cdb_length, 16));

    if (cdb_length == 0 || cdb_length > 16) return FinishAtOnce(std::move(call), srb, kSsInvalidSrb);
    if (srb->SRB_BufLen > 0 && srb->SRB_BufPointer == nullptr) return FinishAtOnce(std::move(call), srb, kSsInvalidSrb);

    {
        std::lock_guard<std::mutex> lock(mutex_);
        const bool outstanding = completing_ == srb || std::any_of(queue_.begin(), queue_.end(), [&](const Pending& p) {
                                     return p.srb == srb && !p.aborted;
                                 });
        if (outstanding) {
            // The block is still the service's: leave it alone.
            violations_.push_back("execute block sent again while it is still outstanding");
            call.returned = kSsInvalidSrb;
            LogLocked(std::move(call));
            return kSsInvalidSrb;
        }
    }

    Pending pending;
    pending.srb = srb;
    pending.ha_id = srb->SRB_HaId;
    pending.flags = srb->SRB_Flags;
    pending.buf_len = srb->SRB_BufLen;
    pending.buffer = srb->SRB_BufPointer;
    pending.sense_len = srb->SRB_SenseLen;
    pending.post = reinterpret_cast<PostProc>(srb->SRB_PostProc);

    BusRequest request;
    request.transport = Transport::Aspi;
    request.adapter = srb->SRB_HaId;
    request.target = srb->SRB_Target;
    request.lun = srb->SRB_Lun;
    request.cdb = call.cdb;
    request.direction = DirectionOfFlags(srb->SRB_Flags);
    request.data_length = srb->SRB_BufLen;
    request.aspi_flags = srb->SRB_Flags;
    request.sense_length = srb->SRB_SenseLen;
    request.srb = call.bytes;
    const bool data_out = request.direction == DataDirection::Out ||
                          (request.direction == DataDirection::Unspecified &&
                           CommandDirection(request.cdb[0]) == DataDirection::Out);
    if (data_out && srb->SRB_BufPointer != nullptr) {
        request.data_out.assign(srb->SRB_BufPointer, srb->SRB_BufPointer + srb->SRB_BufLen);
    }
    pending.outcome = bus_.Execute(std::move(request));

    const Completion completion = pending.outcome.completion;
    if (completion == Completion::Refused) return Refuse(std::move(call), srb, pending.outcome.refusal);
    if (bus_.scenario().aspi_immediate_errors &&
        (completion == Completion::InvalidAdapter || completion == Completion::NoDevice)) {
        srb->SRB_HaStat = 0;
        srb->SRB_TargStat = 0;
        const std::uint8_t status = completion == Completion::InvalidAdapter ? kSsInvalidHa : kSsNoDevice;
        return FinishAtOnce(std::move(call), srb, status);
    }

    // A quick request the caller does not wait to be told about is finished
    // on the caller's thread; a posted one still completes on the worker,
    // which makes its post call.
    if (pending.outcome.at_once && (pending.flags & kSrbPosting) == 0) {
        Deliver(pending);
        return FinishAtOnce(std::move(call), srb, pending.status);
    }

    // Pending before the worker can see the request, so that its final
    // status can never be overwritten by this one.
    StoreStatus(srb, kSsPending, std::memory_order_relaxed);
    {
        std::lock_guard<std::mutex> lock(mutex_);
        pending.hang = completion == Completion::Hang;
        pending.due = NowLocked() + std::uint64_t{pending.outcome.delay_ms} * 1000;
        pending.sequence = next_sequence_++;
        queue_.push_back(std::move(pending));
        call.returned = kSsPending;
        LogLocked(std::move(call));
    }
    wake_.notify_all();
    return kSsPending;
}

std::uint32_t AspiService::Abort(SrbAbort* srb) {
    AspiCall call = CallOf(AspiCall::Kind::Abort, srb);
    call.flags = srb->SRB_Flags;
    call.to_abort = srb->SRB_ToAbort;

    std::uint8_t status = kSsAbortFail;
    if (srb->SRB_ToAbort == nullptr) {
        status = kSsInvalidSrb;
    } else if (srb->SRB_HaId >= bus_.scenario().adapters.size()) {
        status = kSsInvalidHa;
    } else {
        std::lock_guard<std::mutex> lock(mutex_);
        const auto found = std::find_if(queue_.begin(), queue_.end(), [&](const Pending& p) {
            return p.srb == srb->SRB_ToAbort && !p.aborted && p.ha_id == srb->SRB_HaId;
        });
        if (found != queue_.end()) {
            StoreStatus(found->srb, kSsAborted);
            if ((found->flags & kSrbPosting) != 0 && found->post != nullptr) {
                // Its post routine is still owed one call; the worker makes it.
                found->aborted = true;
                found->hang = false;
                found->due = 0;
                wake_.notify_all();
            } else {
                queue_.erase(found);
                idle_.notify_all();
            }
            status = kSsComp;
        }
    }
    return FinishAtOnce(std::move(call), srb, status);
}

// Stores a completed request's results in its block, all but SRB_Status.
void AspiService::Deliver(Pending& pending) {
    SrbExecScsiCmd* srb = pending.srb;
    const BusOutcome& outcome = pending.outcome;
    srb->SRB_HaStat = 0;
    srb->SRB_TargStat = 0;
    switch (outcome.completion) {
        case Completion::Done: {
            const std::size_t moved = std::min<std::size_t>(outcome.data_in.size(), pending.buf_len);
            if (moved > 0 && pending.buffer != nullptr) {
                std::memcpy(pending.buffer, outcome.data_in.data(), moved);
            }
            srb->SRB_TargStat = outcome.scsi_status;
            if (outcome.scsi_status == kStatusCheckCondition && !outcome.sense.empty()) {
                // Automatic request sense, cut to what the caller asked for.
                const std::size_t length = std::min<std::size_t>(pending.sense_len, outcome.sense.size());
                std::memcpy(srb->SenseArea, outcome.sense.data(), length);
            }
            if ((pending.flags & kSrbEnableResidualCount) != 0) {
                srb->SRB_BufLen = pending.buf_len - std::min(pending.buf_len, outcome.transferred);
            }
            pending.status = outcome.scsi_status == kStatusGood ? kSsComp : kSsErr;
            break;
        }
        case Completion::NoDevice:
            pending.status = kSsNoDevice;
            break;
        case Completion::SelectionTimeout:
            srb->SRB_HaStat = kHaStatSelectionTimeout;
            pending.status = kSsErr;
            break;
        case Completion::InvalidAdapter:
            pending.status = kSsInvalidHa;
            break;
        case Completion::AdapterError:
            srb->SRB_HaStat = outcome.ha_stat;
            pending.status = outcome.has_aspi_status ? outcome.aspi_status : kSsErr;
            break;
        case Completion::SystemError:
        case Completion::Hang:
        case Completion::Refused:  // answered at the send; never delivered
            pending.status = kSsErr;
            break;
    }
}

void AspiService::Worker() {
    std::unique_lock<std::mutex> lock(mutex_);
    while (!stopping_) {
        auto next = queue_.end();
        for (auto it = queue_.begin(); it != queue_.end(); ++it) {
            if (it->hang) continue;
            if (next == queue_.end() || it->due < next->due ||
                (it->due == next->due && it->sequence < next->sequence)) {
                next = it;
            }
        }
        if (next == queue_.end()) {
            idle_.notify_all();
            wake_.wait(lock);
            continue;
        }
        const std::uint64_t now = NowLocked();
        if (next->due > now) {
            idle_.notify_all();
            if (mode_ == TimeMode::Real) {
                wake_.wait_for(lock, std::chrono::microseconds(next->due - now));
            } else {
                wake_.wait(lock);
            }
            continue;
        }
        Pending pending = std::move(*next);
        queue_.erase(next);
        delivering_ = true;
        if (!pending.aborted) {
            completing_ = pending.srb;
            lock.unlock();
            Deliver(pending);
            lock.lock();
            StoreStatus(pending.srb, pending.status);
            completing_ = nullptr;
        }
        lock.unlock();
        if ((pending.flags & kSrbPosting) != 0 && pending.post != nullptr) {
            pending.post(pending.srb);
        }
        lock.lock();
        delivering_ = false;
        idle_.notify_all();
    }
}

bool AspiService::DueWorkLocked() const {
    if (delivering_) return true;
    const std::uint64_t now = NowLocked();
    return std::any_of(queue_.begin(), queue_.end(), [&](const Pending& p) { return !p.hang && p.due <= now; });
}

void AspiService::AdvanceTime(std::uint32_t milliseconds) {
    std::unique_lock<std::mutex> lock(mutex_);
    if (mode_ != TimeMode::Manual) return;
    manual_now_us_ += std::uint64_t{milliseconds} * 1000;
    wake_.notify_all();
    if (std::this_thread::get_id() == worker_.get_id()) return;
    idle_.wait(lock, [&] { return !DueWorkLocked(); });
}

bool AspiService::WaitIdle(std::uint32_t limit_ms) {
    std::unique_lock<std::mutex> lock(mutex_);
    return idle_.wait_for(lock, std::chrono::milliseconds(limit_ms), [&] {
        return !delivering_ && std::none_of(queue_.begin(), queue_.end(), [](const Pending& p) { return !p.hang; });
    });
}

int AspiService::Outstanding() const {
    std::lock_guard<std::mutex> lock(mutex_);
    int count = completing_ != nullptr ? 1 : 0;
    for (const Pending& p : queue_) count += p.aborted ? 0 : 1;
    return count;
}

std::vector<AspiCall> AspiService::Calls() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return calls_;
}

void AspiService::ClearCalls() {
    std::lock_guard<std::mutex> lock(mutex_);
    calls_.clear();
}

void AspiService::KeepLog(bool keep) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        keep_log_ = keep;
        if (!keep) calls_.clear();
    }
    bus_.KeepLog(keep);
}

std::vector<std::string> AspiService::Violations() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return violations_;
}

}  // namespace td::sim
