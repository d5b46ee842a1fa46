// An ASPI for Win32 service over the virtual bus.
//
// It keeps the library's contract as callers rely on it:
// - GetSupportInfo answers status << 8 | adapter count.
// - SC_HA_INQUIRY and SC_GET_DEV_TYPE complete before SendCommand returns.
// - SC_EXEC_SCSI_CMD returns SS_PENDING at once; the block's SRB_Status
//   reads SS_PENDING until a worker thread has run the command (after its
//   scripted delay) and stored SRB_HaStat, SRB_TargStat, the data and, after
//   a CHECK CONDITION, up to SRB_SenseLen bytes of sense data in SenseArea;
//   the final SRB_Status is stored last, with release ordering. A posted
//   request (SRB_POSTING) then has its SRB_PostProc called exactly once,
//   on the worker thread, with no lock of the service held, so the post
//   routine may send the next request at once. A request without posting
//   that a device's `at-once` rule answers is complete before SendCommand
//   returns, with its final status as the answer.
// - SC_ABORT_SRB removes an outstanding request: it never completes and the
//   service never writes its block again, except its SRB_Status, which
//   becomes SS_ABORTED before the abort returns SS_COMP. A posted request
//   that is aborted still gets its one post routine call (with SS_ABORTED).
//   A request the worker is completing at that moment cannot be stopped
//   (SS_ABORT_FAIL); one the service does not hold answers SS_ABORT_FAIL,
//   a null SRB_ToAbort SS_INVALID_SRB.
// - Any support status other than SS_COMP makes every command answer that
//   status at once.
// - Refusals (scenario `aspi-refuses`, an adapter's `inquiry-refused`, a
//   device's `refuse` rule) answer their status at once, without a post
//   routine call; an `untouched` refusal does not write the block at all.
//
// The command itself runs on the bus when it is sent (so the log shows it
// in send order); its answer is delivered when the request completes.
// Destruction stops the worker and joins it; requests still outstanding
// then are abandoned and keep SS_PENDING.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <list>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "bus/virtual_bus.h"
#include "scsi/aspi_layout.h"
#include "scsi/aspi_library.h"

namespace td::sim {

#pragma pack(push, 1)
// SC_GET_DEV_TYPE's block (the program itself never sends it).
struct SrbGetDevType {
    std::uint8_t SRB_Cmd;
    std::uint8_t SRB_Status;
    std::uint8_t SRB_HaId;
    std::uint8_t SRB_Flags;
    std::uint32_t SRB_Hdr_Rsvd;
    std::uint8_t SRB_Target;
    std::uint8_t SRB_Lun;
    std::uint8_t SRB_DeviceType;
    std::uint8_t SRB_Rsvd1;
};
#pragma pack(pop)
static_assert(sizeof(SrbGetDevType) == 12);

// SS_NO_ASPI: the status a library answers when it cannot work at all.
constexpr std::uint8_t kSsNoAspi = 0xE3;

// One call of the service as the caller made it.
struct AspiCall {
    enum class Kind : std::uint8_t { SupportInfo, HaInquiry, GetDevType, Exec, Abort, Other };
    Kind kind = Kind::Other;
    const void* block = nullptr;      // the caller's block
    std::vector<std::uint8_t> bytes;  // its bytes as sent (execute, abort, inquiry blocks)
    std::uint8_t command = 0;         // SRB_Cmd
    std::uint8_t ha_id = 0;
    std::uint8_t flags = 0;
    std::uint8_t target = 0;  // execute and device type blocks
    std::uint8_t lun = 0;
    std::vector<std::uint8_t> cdb;  // execute: SRB_CDBLen bytes
    std::uint32_t buf_len = 0;
    std::uint8_t sense_len = 0;
    bool has_post_proc = false;
    const void* to_abort = nullptr;  // abort: SRB_ToAbort
    std::uint32_t returned = 0;      // SendCommand's / GetSupportInfo's value
};

class AspiService final : public AspiLibrary {
public:
    enum class TimeMode {
        Real,    // delays pass on the steady clock
        Manual,  // time stands still until AdvanceTime moves it
    };

    explicit AspiService(Scenario scenario, TimeMode mode = TimeMode::Real);
    ~AspiService() override;
    AspiService(const AspiService&) = delete;
    AspiService& operator=(const AspiService&) = delete;

    std::uint32_t GetSupportInfo() override;
    std::uint32_t SendCommand(void* srb) override;

    VirtualBus& bus() { return bus_; }

    // The service's time in ms: since construction (Real), or as moved by
    // AdvanceTime (Manual, starting at 0).
    std::uint64_t Now() const;

    // Manual time only: moves time on by `milliseconds` and, unless called
    // from the worker thread (from a post routine), returns only when every
    // request due by the new time has completed and had its post routine
    // called, including requests those routines sent meanwhile.
    void AdvanceTime(std::uint32_t milliseconds);

    // Waits until no request is waiting for completion other than those
    // that never complete, or until `limit_ms` real milliseconds passed.
    // True when idle.
    bool WaitIdle(std::uint32_t limit_ms);

    // Requests sent and not yet completed or aborted (never-completing ones
    // included).
    int Outstanding() const;

    std::vector<AspiCall> Calls() const;
    void ClearCalls();
    // Whether calls (and the bus's requests) are kept for Calls() and
    // bus().Requests(): on for tests, off in the library a running program
    // uses, where the log would only grow.
    void KeepLog(bool keep);

    // Misuses of the contract the service noticed, such as a block sent
    // again while it is still outstanding; each with a short explanation.
    std::vector<std::string> Violations() const;

private:
    struct Pending {
        aspi::SrbExecScsiCmd* srb = nullptr;
        std::uint8_t ha_id = 0;
        std::uint8_t flags = 0;  // as sent: the block may be reused after completion
        std::uint32_t buf_len = 0;
        std::uint8_t* buffer = nullptr;
        std::uint8_t sense_len = 0;
        aspi::PostProc post = nullptr;
        std::uint64_t due = 0;  // microseconds
        std::uint64_t sequence = 0;
        bool hang = false;
        bool aborted = false;     // status already SS_ABORTED; only the post call is left
        std::uint8_t status = 0;  // final SRB_Status
        BusOutcome outcome;
    };

    std::uint32_t HaInquiry(aspi::SrbHaInquiry* srb);
    std::uint32_t GetDevType(SrbGetDevType* srb);
    std::uint32_t Exec(aspi::SrbExecScsiCmd* srb);
    std::uint32_t Abort(aspi::SrbAbort* srb);
    void Record(AspiCall call);
    void LogLocked(AspiCall call);  // mutex_ held
    // Records the call with `status` as its answer and stores that status in
    // the block: for requests that end as they are sent.
    std::uint32_t FinishAtOnce(AspiCall call, void* block, std::uint8_t status);
    // Records the call as refused and answers the refusal's status; the
    // block gets it unless the refusal leaves it untouched.
    std::uint32_t Refuse(AspiCall call, void* block, const AspiRefusal& refusal);
    void Worker();
    std::uint64_t NowLocked() const;  // microseconds
    bool DueWorkLocked() const;       // a request due now, or one being completed
    void Deliver(Pending& pending);

    VirtualBus bus_;
    const TimeMode mode_;
    const std::uint64_t start_us_;
    std::uint64_t manual_now_us_ = 0;

    mutable std::mutex mutex_;
    std::condition_variable wake_;  // the worker: new work, time moved, stop
    std::condition_variable idle_;  // waiters: something completed
    std::list<Pending> queue_;
    const void* completing_ = nullptr;
    bool delivering_ = false;  // the worker is completing or posting
    std::uint64_t next_sequence_ = 0;
    bool stopping_ = false;
    std::vector<AspiCall> calls_;
    bool keep_log_ = true;
    std::vector<std::string> violations_;
    std::thread worker_;  // last: started once everything above exists
};

}  // namespace td::sim
