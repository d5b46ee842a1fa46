#include "scsi/aspi_commands.h"

#include <cstring>

#include "common/clock.h"
#include "resources/resource_ids.h"
#include "scsi/aspi_request.h"
#include "scsi/data_pattern.h"
#include "scsi/scsi_opcodes.h"
#include "scsi/sense.h"

namespace td {
namespace {

void SetAddress(aspi::SrbExecScsiCmd& srb, std::int32_t adapter_number, std::int32_t target_id) {
    srb.SRB_Cmd = aspi::kScExecScsiCmd;
    srb.SRB_HaId = static_cast<std::uint8_t>(adapter_number);
    srb.SRB_Flags = 0;  // no posting: the command waits for the block itself
    srb.SRB_Target = static_cast<std::uint8_t>(target_id);
    srb.SRB_Lun = 0;
    srb.SRB_SenseLen = aspi::kSenseLength;
}

void SetBufferCdb(aspi::SrbExecScsiCmd& srb, std::uint8_t opcode) {
    srb.SRB_CDBLen = kCdb10;
    srb.CDBByte[0] = opcode;
    srb.CDBByte[1] = kBufferModeData;  // buffer ID 0 in byte 2, offset 0 in bytes 3-5
    PutBufferLength(srb.CDBByte, kAspiBufferLength);
}

// Aborts the request in `exec_srb` and gives the abort its own short wait.
// Whether the abort succeeds changes nothing: the command has failed.
void AbortExecRequest(ScsiCommandContext& context) {
    aspi::SrbAbort& abort_srb = context.aspi_area.abort_srb;
    std::memset(&abort_srb, 0, sizeof abort_srb);
    abort_srb.SRB_Cmd = aspi::kScAbortSrb;
    abort_srb.SRB_HaId = context.exec_srb.SRB_HaId;
    abort_srb.SRB_Flags = 0;
    abort_srb.SRB_Hdr_Rsvd = 0;
    abort_srb.SRB_ToAbort = &context.exec_srb;
    EndedAtSend(abort_srb.SRB_Status, context.aspi->SendCommand(&abort_srb));
    if (ReadRequestStatus(abort_srb.SRB_Status) == aspi::kSsPending) WaitTicks(context.clock, kAbortWaitMs);
}

// Sends the request prepared in `exec_srb`, waits, and judges it: 1 when
// it completed with SS_COMP. A failure leaves its reason in the sense
// report (sense data) or in the last_error (everything else).
int RunExecRequest(ScsiCommandContext& context, std::uint32_t wait_ms) {
    aspi::SrbExecScsiCmd& srb = context.exec_srb;
    if (context.aspi == nullptr) {  // no library loaded: nothing can be sent
        RecordFailure(context.last_error, IDS_ASPI_NOT_AVAILABLE);
        return 0;
    }

    // A request the manager ended as it was sent has its status now, in
    // the answer if not in the block: no wait is due. Otherwise the wait
    // does not look at the status: a request pending now gets the whole
    // interval, one already finished gets none.
    const bool ended_at_send = EndedAtSend(srb.SRB_Status, context.aspi->SendCommand(&srb));
    if (ReadRequestStatus(srb.SRB_Status) == aspi::kSsPending) WaitTicks(context.clock, wait_ms);

    const std::uint8_t status = ReadRequestStatus(srb.SRB_Status);
    if (status == aspi::kSsPending) {
        AbortExecRequest(context);
        RecordFailure(context.last_error, IDS_REQUEST_ABORTED, wait_ms / 1000);
        return 0;
    }
    const bool explained_by_sense = !request_is_clean(srb) && interpret_aspi_sense(srb, context.sense_report) != 0;
    if (status == aspi::kSsComp) return 1;
    if (!explained_by_sense) RecordRequestStatus(context.last_error, srb, ended_at_send);
    return 0;
}

}  // namespace

void ResetExecSrb(aspi::SrbExecScsiCmd& exec_srb) {
    exec_srb.SRB_Cmd = 0;
    exec_srb.SRB_Status = 0;
    exec_srb.SRB_HaId = 0;
    exec_srb.SRB_Flags = 0;
    exec_srb.SRB_Target = 0;
    exec_srb.SRB_Lun = 0;
    exec_srb.SRB_BufLen = 0;
    exec_srb.SRB_BufPointer = nullptr;
    exec_srb.SRB_SenseLen = aspi::kSenseLength;
    exec_srb.SRB_CDBLen = 0;
    exec_srb.SRB_HaStat = 0;
    exec_srb.SRB_TargStat = 0;
    exec_srb.SRB_PostProc = nullptr;
    std::memset(exec_srb.CDBByte, 0, sizeof exec_srb.CDBByte);
    std::memset(exec_srb.SenseArea, 0, sizeof exec_srb.SenseArea);
}

int aspi_test_unit_ready(ScsiCommandContext& context, std::int32_t adapter_number, std::int32_t target_id) {
    aspi::SrbExecScsiCmd& srb = context.exec_srb;
    ResetExecSrb(srb);
    SetAddress(srb, adapter_number, target_id);
    srb.SRB_BufLen = kAspiScratchLength;
    srb.SRB_BufPointer = context.aspi_area.scratch;
    srb.SRB_CDBLen = kCdb6;
    srb.CDBByte[0] = kOpTestUnitReady;
    return RunExecRequest(context, kTestUnitReadyWaitMs);
}

int aspi_write_buffer(ScsiCommandContext& context, std::int32_t adapter_number, std::int32_t target_id) {
    aspi::SrbExecScsiCmd& srb = context.exec_srb;
    FillDataPattern(context.aspi_area.pattern, sizeof context.aspi_area.pattern);
    ResetExecSrb(srb);
    SetAddress(srb, adapter_number, target_id);
    srb.SRB_BufLen = kAspiBufferLength;
    srb.SRB_BufPointer = context.aspi_area.pattern;
    SetBufferCdb(srb, kOpWriteBuffer);
    return RunExecRequest(context, kBufferCommandWaitMs);
}

int aspi_read_buffer(ScsiCommandContext& context, std::int32_t adapter_number, std::int32_t target_id) {
    aspi::SrbExecScsiCmd& srb = context.exec_srb;
    // The receive buffer outlives every command, so an earlier read's
    // pattern must not be mistaken for this one's answer.
    std::memset(context.aspi_area.receive, 0, sizeof context.aspi_area.receive);
    ResetExecSrb(srb);
    SetAddress(srb, adapter_number, target_id);
    srb.SRB_BufLen = kAspiBufferLength;
    srb.SRB_BufPointer = context.aspi_area.receive;
    SetBufferCdb(srb, kOpReadBuffer);
    if (RunExecRequest(context, kBufferCommandWaitMs) == 0) return 0;
    return ReadBackMatches(context.aspi_area.receive, 0, kAspiBufferLength, context.last_error) ? 1 : 0;
}

}  // namespace td
