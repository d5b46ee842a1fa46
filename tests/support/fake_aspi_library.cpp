#include "support/fake_aspi_library.h"

#include <algorithm>
#include <cstring>

namespace td::test {
namespace {

bool Due(std::uint32_t sent_at, std::uint32_t after, std::uint32_t now) {
    return after != kNeverCompletes && static_cast<std::uint32_t>(now - sent_at) >= after;
}

}  // namespace

FakeAspiLibrary::FakeAspiLibrary(FakeClock& clock) : clock_(clock) {
    clock_.on_advance = [this](std::uint32_t now) { OnTick(now); };
}

std::uint32_t FakeAspiLibrary::GetSupportInfo() { return (aspi::kSsComp << 8) | 1; }

std::uint32_t FakeAspiLibrary::SendCommand(void* srb) {
    const std::uint32_t now = clock_.now();
    auto* header = static_cast<aspi::SrbHeader*>(srb);
    if (header->SRB_Cmd == aspi::kScExecScsiCmd) {
        auto* exec = static_cast<aspi::SrbExecScsiCmd*>(srb);
        SentExec sent{*exec, srb, {}, now};
        if (exec->SRB_BufPointer != nullptr)
            sent.data.assign(exec->SRB_BufPointer, exec->SRB_BufPointer + exec->SRB_BufLen);
        execs_.push_back(sent);

        Running request{exec, default_answer, now};
        if (!answers_.empty()) {
            request.answer = answers_.front();
            answers_.pop_front();
        }
        if (request.answer.refusal != AspiAnswer::Refusal::None) {
            if (request.answer.refusal == AspiAnswer::Refusal::Written) exec->SRB_Status = request.answer.status;
            return request.answer.status;
        }
        exec->SRB_Status = aspi::kSsPending;
        if (request.answer.completes_after_ms == 0) {
            Complete(request);
        } else {
            running_.push_back(request);
        }
        return aspi::kSsPending;
    }
    if (header->SRB_Cmd == aspi::kScAbortSrb) {
        auto* abort = static_cast<aspi::SrbAbort*>(srb);
        aborts_.push_back({*abort, srb, now});
        abort->SRB_Status = aspi::kSsPending;
        if (abort_completes_after_ms == 0) {
            FinishAbort(abort);
        } else {
            running_aborts_.push_back({abort, now});
        }
        return abort->SRB_Status;
    }
    header->SRB_Status = aspi::kSsInvalidCmd;
    return aspi::kSsInvalidCmd;
}

void FakeAspiLibrary::Complete(const Running& request) {
    aspi::SrbExecScsiCmd* srb = request.srb;
    const AspiAnswer& answer = request.answer;
    if (srb->SRB_BufPointer != nullptr && !answer.data.empty()) {
        const std::size_t n = std::min<std::size_t>(answer.data.size(), srb->SRB_BufLen);
        std::memcpy(srb->SRB_BufPointer, answer.data.data(), n);
    }
    srb->SRB_HaStat = answer.ha_stat;
    srb->SRB_TargStat = answer.targ_stat;
    if (!answer.sense.empty()) {
        std::size_t n = std::min<std::size_t>(answer.sense.size(), srb->SRB_SenseLen);
        n = std::min(n, sizeof srb->SenseArea);
        std::memcpy(srb->SenseArea, answer.sense.data(), n);
    }
    srb->SRB_Status = answer.status;  // last: the caller may act as soon as it changes
    completions_.push_back(clock_.now());
}

void FakeAspiLibrary::FinishAbort(aspi::SrbAbort* abort) {
    if (abort_status == aspi::kSsComp) {
        auto found = std::find_if(running_.begin(), running_.end(),
                                  [&](const Running& r) { return r.srb == abort->SRB_ToAbort; });
        if (found != running_.end()) {
            found->srb->SRB_Status = aspi::kSsAborted;
            running_.erase(found);
        }
    }
    abort->SRB_Status = abort_status;
}

void FakeAspiLibrary::OnTick(std::uint32_t now) {
    for (std::size_t i = 0; i < running_.size();) {
        if (Due(running_[i].sent_at, running_[i].answer.completes_after_ms, now)) {
            const Running request = running_[i];
            running_.erase(running_.begin() + static_cast<std::ptrdiff_t>(i));
            Complete(request);
        } else {
            ++i;
        }
    }
    for (std::size_t i = 0; i < running_aborts_.size();) {
        if (Due(running_aborts_[i].sent_at, abort_completes_after_ms, now)) {
            aspi::SrbAbort* abort = running_aborts_[i].srb;
            running_aborts_.erase(running_aborts_.begin() + static_cast<std::ptrdiff_t>(i));
            FinishAbort(abort);
        } else {
            ++i;
        }
    }
}

}  // namespace td::test
