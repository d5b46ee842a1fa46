#include "scsi/aspi_questions.h"

#include <cstring>

#include "resources/resource_ids.h"
#include "scsi/aspi_commands.h"
#include "scsi/aspi_request.h"
#include "scsi/sense.h"

namespace td {
namespace {

// HA_Unique byte 2, bit 1: the manager reports the residual byte count of
// a request sent with SRB_ENABLE_RESIDUAL_COUNT.
constexpr std::size_t kUniqueFlagsByte = 2;
constexpr std::uint8_t kResidualReported = 0x02;

bool Pending(const std::uint8_t& status) { return ReadRequestStatus(status) == aspi::kSsPending; }

}  // namespace

AspiQuestionTransport::AspiQuestionTransport(AspiLibrary* aspi, AspiQuestionArea& area, Clock& clock,
                                             std::int32_t adapter_number, std::int32_t target_id)
    : aspi_(aspi),
      area_(area),
      clock_(clock),
      adapter_(static_cast<std::uint8_t>(adapter_number)),
      target_(static_cast<std::uint8_t>(target_id)) {}

AspiQuestionTransport::~AspiQuestionTransport() { Abandon(); }

AspiQuestionBlock* AspiQuestionTransport::FreeBlock() {
    for (AspiQuestionBlock& block : area_.blocks) {
        if (block.held) continue;
        if (block.sent && (Pending(block.srb.SRB_Status) || Pending(block.abort_srb.SRB_Status))) continue;
        return &block;
    }
    return nullptr;
}

bool AspiQuestionTransport::ManagerReportsResidual() {
    if (!residual_asked_) {
        residual_asked_ = true;
        aspi::SrbHaInquiry inquiry{};
        inquiry.SRB_Cmd = aspi::kScHaInquiry;
        inquiry.SRB_HaId = adapter_;
        EndedAtSend(inquiry.SRB_Status, aspi_->SendCommand(&inquiry));
        residual_ = inquiry.SRB_Status == aspi::kSsComp &&
                    (inquiry.HA_Unique[kUniqueFlagsByte] & kResidualReported) != 0;
    }
    return residual_;
}

void AspiQuestionTransport::Send(const Question& question) {
    refused_ = false;
    refusal_ = FailureRecords{};
    if (aspi_ == nullptr) {
        refused_ = true;
        RecordFailure(refusal_.last_error, IDS_ASPI_NOT_AVAILABLE);
        return;
    }
    if (block_ == nullptr) block_ = FreeBlock();
    if (block_ == nullptr) {
        refused_ = true;
        RecordFailure(refusal_.last_error, IDS_DETAILS_BUSY);
        return;
    }
    block_->held = true;
    const bool residual = ManagerReportsResidual();

    aspi::SrbExecScsiCmd& srb = block_->srb;
    allocation_ = question.allocation <= kQuestionDataSize ? question.allocation : kQuestionDataSize;
    std::memset(block_->data, 0, sizeof block_->data);
    ResetExecSrb(srb);
    srb.SRB_Cmd = aspi::kScExecScsiCmd;
    srb.SRB_HaId = adapter_;
    srb.SRB_Flags = static_cast<std::uint8_t>(aspi::kSrbDirIn | (residual ? aspi::kSrbEnableResidualCount : 0));
    srb.SRB_Target = target_;
    srb.SRB_Lun = 0;
    srb.SRB_BufLen = allocation_;
    srb.SRB_BufPointer = block_->data;
    srb.SRB_SenseLen = aspi::kSenseLength;
    srb.SRB_CDBLen = question.cdb_length <= sizeof srb.CDBByte ? question.cdb_length : sizeof srb.CDBByte;
    std::memcpy(srb.CDBByte, question.cdb, srb.SRB_CDBLen);
    block_->abort_srb.SRB_Status = aspi::kSsComp;  // no abort outstanding
    block_->sent = true;
    sent_at_ = clock_.Ticks();
    ended_at_send_ = EndedAtSend(srb.SRB_Status, aspi_->SendCommand(&srb));
}

bool AspiQuestionTransport::Answered(QuestionAnswer& answer) {
    answer = QuestionAnswer{};
    if (refused_) {
        refused_ = false;
        answer.why = refusal_;
        return true;
    }
    if (block_ == nullptr) return false;
    if (Pending(block_->srb.SRB_Status)) {
        if (static_cast<std::uint32_t>(clock_.Ticks() - sent_at_) < kQuestionWaitMs) return false;
        // The device never answered: the request is aborted and its block
        // kept from further use until the manager has ended it.
        Abandon();
        answer.no_answer = true;
        RecordFailure(answer.why.last_error, IDS_REQUEST_ABORTED, kQuestionWaitMs / 1000);
        return true;
    }
    Judge(answer);
    return true;
}

void AspiQuestionTransport::Judge(QuestionAnswer& answer) {
    const aspi::SrbExecScsiCmd& srb = block_->srb;
    if (srb.SRB_Status == aspi::kSsComp) {
        answer.answered = true;
        answer.data = block_->data;
        // With residual counts SRB_BufLen holds the bytes that did not move.
        const std::uint32_t missing = (srb.SRB_Flags & aspi::kSrbEnableResidualCount) != 0 ? srb.SRB_BufLen : 0;
        answer.transferred = missing < allocation_ ? allocation_ - missing : 0;
        return;
    }
    const bool explained_by_sense = !request_is_clean(srb) && interpret_aspi_sense(srb, answer.why.sense_report) != 0;
    if (!explained_by_sense) RecordRequestStatus(answer.why.last_error, srb, ended_at_send_);
}

void AspiQuestionTransport::Abandon() {
    if (block_ == nullptr) return;
    if (aspi_ != nullptr && block_->sent && Pending(block_->srb.SRB_Status)) {
        aspi::SrbAbort& abort_srb = block_->abort_srb;
        std::memset(&abort_srb, 0, sizeof abort_srb);
        abort_srb.SRB_Cmd = aspi::kScAbortSrb;
        abort_srb.SRB_HaId = adapter_;
        abort_srb.SRB_ToAbort = &block_->srb;
        EndedAtSend(abort_srb.SRB_Status, aspi_->SendCommand(&abort_srb));
    }
    block_->held = false;
    block_ = nullptr;
}

}  // namespace td
