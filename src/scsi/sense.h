// Judging a finished request: request status and sense data.
//
// An ASPI request is first classified from its three status bytes; only a
// request that is not clean has its sense data looked at. Sense data of
// either transport that the interpreter can read fills the `sense_report`
// with its key, ASC and ASCQ, and with an explanation: the program's own
// advice where its table of sense keys and additional sense codes has one
// (the ASPI and the NT column differ slightly), otherwise IDS_SENSE_REPORTED,
// the standard's names of the key and the codes. Data it cannot read
// leaves the earlier explanation in place.
#pragma once

#include <cstddef>
#include <cstdint>

#include "scsi/aspi_layout.h"
#include "scsi/failure_records.h"
#include "scsi/nt_layout.h"

namespace td {

enum class SenseTransport { Aspi, Nt };

// Bytes of fixed-format sense data the interpreters read (up to the ASCQ
// in byte 13). Shorter data is never read past its end and records nothing.
constexpr std::size_t kFixedSenseLength = 14;

// 1 when the finished block is clean: SRB_HaStat 0x00, SRB_Status SS_COMP,
// SS_ABORTED or SS_ERR, and SRB_TargStat GOOD, CONDITION MET or
// INTERMEDIATE-CONDITION MET. 0 for every other combination.
int request_is_clean(const aspi::SrbExecScsiCmd& srb);

// A target status that reports no failure: GOOD, CONDITION MET or
// INTERMEDIATE-CONDITION MET.
bool TargetStatusIsGood(std::uint8_t status);

// Interprets `length` bytes of sense data as the given transport does.
// Answers 1 when the data was read and `sense_report` now explains it; 0
// when it cannot be read (too short, or a response code the transport does
// not take: NT takes current errors only) and nothing was recorded.
int InterpretSenseData(const std::uint8_t* sense, std::size_t length, SenseTransport transport,
                       SenseReport& sense_report);

// The SenseArea of a finished execute block, as many bytes as SRB_SenseLen
// asked for (never more than the area holds).
int interpret_aspi_sense(const aspi::SrbExecScsiCmd& srb, SenseReport& sense_report);

// The sense buffer of a pass-through block.
int interpret_nt_sense(const nt::PassThroughBlock& block, SenseReport& sense_report);
int interpret_nt_sense(const nt::PassThroughDirectBlock& block, SenseReport& sense_report);

}  // namespace td
