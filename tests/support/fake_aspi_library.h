// An ASPI for Win32 library for tests, keeping the published contract:
// SendASPI32Command returns at once; an execute request reads SS_PENDING
// until it completes; on completion the received data, SRB_HaStat,
// SRB_TargStat and (after CHECK CONDITION) up to SRB_SenseLen bytes of
// sense data are stored before the final SRB_Status. Time is the fake
// clock's: a request due after n ms completes when the clock has moved on
// that far, so tests decide exactly when things happen.
#pragma once

#include <cstdint>
#include <deque>
#include <vector>

#include "scsi/aspi_layout.h"
#include "scsi/aspi_library.h"
#include "support/fake_clock.h"

namespace td::test {

// A delay for requests that never complete on their own.
constexpr std::uint32_t kNeverCompletes = 0xFFFFFFFFu;

// How one execute request is answered.
struct AspiAnswer {
    // 0: already final when SendCommand returns; kNeverCompletes: never.
    std::uint32_t completes_after_ms = 0;
    std::uint8_t status = aspi::kSsComp;
    std::uint8_t ha_stat = aspi::kHaStatOk;
    std::uint8_t targ_stat = aspi::kStatusGood;
    // Stored in SenseArea (cut to SRB_SenseLen) with the final status. A
    // device reports it with CHECK CONDITION; a script may also leave it
    // behind other statuses to see whether it is looked at.
    std::vector<std::uint8_t> sense;
    std::vector<std::uint8_t> data;  // stored into SRB_BufPointer, cut to SRB_BufLen
    // Refused as it is sent: SendCommand answers `status` itself, and the
    // block is written (`status` stored) or, untouched, left as sent.
    enum class Refusal { None, Written, Untouched } refusal = Refusal::None;
};

// A request as the library received it.
struct SentExec {
    aspi::SrbExecScsiCmd block;      // copy taken at SendCommand
    const void* address;             // the block the program handed over
    std::vector<std::uint8_t> data;  // SRB_BufLen bytes at SRB_BufPointer when sent
    std::uint32_t sent_at;
};

struct SentAbort {
    aspi::SrbAbort block;
    const void* address;
    std::uint32_t sent_at;
};

class FakeAspiLibrary final : public AspiLibrary {
public:
    // Takes over the clock's on_advance hook.
    explicit FakeAspiLibrary(FakeClock& clock);

    std::uint32_t GetSupportInfo() override;
    std::uint32_t SendCommand(void* srb) override;

    // Answers for the next execute requests, in order; once they are used
    // up, `default_answer` serves.
    void Queue(const AspiAnswer& answer) { answers_.push_back(answer); }
    AspiAnswer default_answer;

    // How an abort is answered. SS_COMP ends the request it names with
    // SS_ABORTED; any other outcome leaves it running on its own schedule.
    std::uint32_t abort_completes_after_ms = 0;
    std::uint8_t abort_status = aspi::kSsComp;

    const std::vector<SentExec>& execs() const { return execs_; }
    const std::vector<SentAbort>& aborts() const { return aborts_; }
    // Tick at which each completed execute request stored its status.
    const std::vector<std::uint32_t>& completions() const { return completions_; }
    // Execute requests still outstanding.
    std::size_t outstanding() const { return running_.size(); }

private:
    struct Running {
        aspi::SrbExecScsiCmd* srb;
        AspiAnswer answer;
        std::uint32_t sent_at;
    };
    struct RunningAbort {
        aspi::SrbAbort* srb;
        std::uint32_t sent_at;
    };

    void Complete(const Running& request);
    void FinishAbort(aspi::SrbAbort* srb);
    void OnTick(std::uint32_t now);

    FakeClock& clock_;
    std::deque<AspiAnswer> answers_;
    std::vector<Running> running_;
    std::vector<RunningAbort> running_aborts_;
    std::vector<SentExec> execs_;
    std::vector<SentAbort> aborts_;
    std::vector<std::uint32_t> completions_;
};

}  // namespace td::test
