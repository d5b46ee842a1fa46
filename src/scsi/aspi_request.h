// How the program tells that an ASPI request has ended, and how.
//
// A request ends by either of two roads. SendASPI32Command answers
// SS_PENDING when it took the request: the final SRB_Status is then stored
// in the block later, from the library's thread (and a posted request gets
// its post routine call). Any other answer means the request has already
// ended with that status, and no post routine call and no later store will
// come for it. A manager that refuses a request may say so only in that
// answer and leave the block as the caller left it, so the answer, not the
// block, is what tells.
#pragma once

#include <cstdint>

#include "scsi/aspi_layout.h"
#include "scsi/failure_records.h"

namespace td {

// SRB_Status as the library's thread last stored it. Read afresh every
// time; once it is final, everything the library stored before it (sense
// data, received bytes, SRB_HaStat) is seen as well.
std::uint8_t ReadRequestStatus(const std::uint8_t& status);

// Whether SendASPI32Command's `answer` says the request whose SRB_Status is
// `status` has already ended (anything but SS_PENDING). When it has, and
// the block's SRB_Status was left at SS_PENDING, the block takes the
// answer's status, so that everything afterwards reads one status from one
// place. Serves every kind of block: SRB_Status is at the same place in all.
bool EndedAtSend(std::uint8_t& status, std::uint32_t answer);

// A request the manager ended at send without reaching the bus: it has
// not completed, and neither the adapter nor the device reported anything.
bool RefusedByManager(const aspi::SrbExecScsiCmd& srb);

// Records why a finished request failed when it brought no sense data the
// interpreter could read: a request the manager refused as it was sent
// (`ended_at_send`) is told as such; else what the adapter saw on the bus
// comes first, then the status the device answered with, then the
// library's own status of the request.
void RecordRequestStatus(LastError& last_error, const aspi::SrbExecScsiCmd& srb, bool ended_at_send);

// Whether a completed INQUIRY found a logical unit: the request completed
// with SS_COMP and the peripheral qualifier (byte 0, bits 5-7) is not 3,
// "no logical unit here". A refused, aborted or failed INQUIRY found
// nothing, whatever its buffer holds.
bool InquiryFoundUnit(const aspi::SrbExecScsiCmd& srb, const std::uint8_t* data);

}  // namespace td
