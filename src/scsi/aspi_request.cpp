#include "scsi/aspi_request.h"

#include <atomic>

#include "resources/resource_ids.h"
#include "scsi/sense.h"

namespace td {
namespace {

constexpr std::uint8_t kQualifierMask = 0xE0;
constexpr std::uint8_t kNoUnitQualifier = 0x60;  // peripheral qualifier 3

}  // namespace

std::uint8_t ReadRequestStatus(const std::uint8_t& status) {
    const std::uint8_t value = *static_cast<const volatile std::uint8_t*>(&status);
    if (value != aspi::kSsPending) std::atomic_thread_fence(std::memory_order_acquire);
    return value;
}

bool EndedAtSend(std::uint8_t& status, std::uint32_t answer) {
    const auto answered = static_cast<std::uint8_t>(answer & 0xFF);
    if (answered == aspi::kSsPending) return false;
    if (ReadRequestStatus(status) == aspi::kSsPending) status = answered;
    return true;
}

bool RefusedByManager(const aspi::SrbExecScsiCmd& srb) {
    return srb.SRB_Status != aspi::kSsComp && srb.SRB_HaStat == aspi::kHaStatOk &&
           srb.SRB_TargStat == aspi::kStatusGood;
}

void RecordRequestStatus(LastError& last_error, const aspi::SrbExecScsiCmd& srb, bool ended_at_send) {
    if (ended_at_send && RefusedByManager(srb)) {
        RecordFailure(last_error, IDS_ASPI_REQUEST_REFUSED, srb.SRB_Status);
    } else if (srb.SRB_HaStat != aspi::kHaStatOk) {
        RecordFailure(last_error, IDS_ADAPTER_STATUS, srb.SRB_HaStat);
    } else if (!TargetStatusIsGood(srb.SRB_TargStat)) {
        RecordFailure(last_error, IDS_TARGET_STATUS, srb.SRB_TargStat);
    } else {
        RecordFailure(last_error, IDS_ASPI_REQUEST_STATUS, srb.SRB_Status);
    }
}

bool InquiryFoundUnit(const aspi::SrbExecScsiCmd& srb, const std::uint8_t* data) {
    return srb.SRB_Status == aspi::kSsComp && (data[0] & kQualifierMask) != kNoUnitQualifier;
}

}  // namespace td
