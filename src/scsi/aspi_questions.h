// The Details page's questions through ASPI for Win32 (Windows 95).
//
// The program's one execute block, `exec_srb`, belongs to the device scan
// and the diagnostic commands; the questions never touch it. They go in
// blocks of their own, which, with their data and the abort that may
// follow, live for the whole run: a request the page gave up on (a device
// that never answered, a sheet closed while the request was out) may still
// be written by the manager later, long after the page has gone. A block is
// taken again only once the manager has ended the request sent in it.
//
// A question is sent without posting and looked at from the page's timer:
// it gets kQuestionWaitMs; a request still pending then is aborted and the
// question fails as the diagnostics tell an abort. Before the first
// question the host adapter inquiry (answered at once, nothing reaches the
// bus) tells whether the manager reports how many bytes moved; where it
// does, an answer is read within them, elsewhere within the buffer, which
// is zeroed before each question.
#pragma once

#include <cstdint>

#include "common/clock.h"
#include "scsi/aspi_layout.h"
#include "scsi/aspi_library.h"
#include "scsi/question_transport.h"

namespace td {

constexpr std::uint32_t kQuestionWaitMs = 10000;
// Requests that may be out at once: a page asks one question at a time, so
// more are out only when earlier pages gave up on devices that never
// answered.
constexpr int kQuestionBlocks = 4;

struct AspiQuestionBlock {
    aspi::SrbExecScsiCmd srb;
    aspi::SrbAbort abort_srb;
    std::uint8_t data[kQuestionDataSize];
    bool held;  // a page's transport is using it
    bool sent;  // a request went out in it; its SRB_Status tells when it ended
};

// The program holds one, beside exec_srb, for the whole run.
struct AspiQuestionArea {
    AspiQuestionBlock blocks[kQuestionBlocks];
};

class AspiQuestionTransport final : public QuestionTransport {
public:
    // `aspi` null: no library is loaded and every question fails so.
    AspiQuestionTransport(AspiLibrary* aspi, AspiQuestionArea& area, Clock& clock, std::int32_t adapter_number,
                          std::int32_t target_id);
    ~AspiQuestionTransport() override;
    AspiQuestionTransport(const AspiQuestionTransport&) = delete;
    AspiQuestionTransport& operator=(const AspiQuestionTransport&) = delete;

    void Send(const Question& question) override;
    bool Answered(QuestionAnswer& answer) override;
    void Abandon() override;

private:
    AspiQuestionBlock* FreeBlock();
    bool ManagerReportsResidual();
    void Judge(QuestionAnswer& answer);

    AspiLibrary* aspi_;
    AspiQuestionArea& area_;
    Clock& clock_;
    std::uint8_t adapter_;
    std::uint8_t target_;
    AspiQuestionBlock* block_ = nullptr;
    std::uint32_t allocation_ = 0;
    std::uint32_t sent_at_ = 0;
    bool ended_at_send_ = false;
    bool residual_asked_ = false;
    bool residual_ = false;
    // A question that could not be sent at all: answered at once with this.
    bool refused_ = false;
    FailureRecords refusal_{};
};

}  // namespace td
