// The questions the Details page asks a device, one after another, and
// what it learns from the answers: the capacity, the unit serial number and
// the world-wide identifier.
//
// An inventory must never upset an old device, so each question is asked
// only of a device that can answer it:
//   1. the standard INQUIRY, afresh (36 bytes): is a unit there, of which
//      type, claiming which version of the standard;
//   2. READ CAPACITY (10) only for the types that define it (direct access,
//      write-once, CD-ROM, optical memory, simplified direct access), and
//      READ CAPACITY (16) only when the 10-byte answer's last block is
//      FFFFFFFFh;
//   3. INQUIRY with EVPD only of a device that claims ANSI version 2 or
//      later: first the list of its pages (00h), then the serial number
//      (80h) and the identification (83h) only when the list names them.
// A question answered UNIT ATTENTION is asked once more; after a question
// the device did not answer at all, nothing more is asked (each would
// wait as long again) and every open fact says so. A failure answers
// the fact it was asked for (every fact still open, for the standard
// INQUIRY and the page list) in words: "No medium" for NOT READY, MEDIUM
// NOT PRESENT, "Not reported" for ILLEGAL REQUEST, otherwise the reason the
// transport recorded, told as the diagnostics tell theirs.
#pragma once

#include <cstddef>
#include <cstdint>

#include "scsi/capacity_answer.h"
#include "scsi/failure_records.h"

namespace td {

// The largest answer a question asks for (the identification page of a
// device of SPC-3 and later).
constexpr std::uint32_t kQuestionDataSize = 1024;

struct Question {
    std::uint8_t cdb[16];
    std::uint8_t cdb_length;
    std::uint32_t allocation;  // bytes asked for, at most kQuestionDataSize
};

// Why a question failed, in the records the explanation is built from.
struct FailureRecords {
    SenseReport sense_report;
    LastError last_error;
};

struct QuestionAnswer {
    bool answered;              // the device answered GOOD with `transferred` bytes
    bool no_answer;             // the device did not answer within the question's wait
    const std::uint8_t* data;   // valid until the next question is sent
    std::uint32_t transferred;  // at most the question's allocation
    FailureRecords why;         // when not answered
};

enum class FactState : std::uint8_t {
    Asking,         // not known yet
    Known,          // the device told it
    NoMedium,       // NOT READY, MEDIUM NOT PRESENT
    NotReported,    // ILLEGAL REQUEST, a page not listed, an answer that is not the page
    NotApplicable,  // the capacity of a type that has none
    Failed,         // `why` tells
};

struct Fact {
    FactState state;
    FailureRecords why;
};

constexpr std::size_t kFactTextSize = 256;

struct DeviceFacts {
    Fact capacity, serial, identifier;
    CapacityAnswer capacity_answer;       // Known capacity
    char serial_text[kFactTextSize];      // Known serial number
    char identifier_text[kFactTextSize];  // Known identifier
};

// The types of device that define READ CAPACITY.
bool TypeHasCapacity(std::uint8_t device_type);

class DeviceQuestions {
public:
    DeviceQuestions();

    // The question to send now; false when every fact is settled.
    bool Next(Question& question) const;
    // The answer to the question Next gave.
    void Take(const QuestionAnswer& answer);
    // Settles every fact still open with this failure: the device cannot
    // be asked at all, or did not answer and is not asked again.
    void GiveUp(const FailureRecords& why);

    bool Done() const { return step_ == Step::Done; }
    const DeviceFacts& facts() const { return facts_; }

private:
    enum class Step : std::uint8_t { StandardInquiry, Capacity10, Capacity16, PageList, Serial, Identification, Done };

    void TakeData(const std::uint8_t* data, std::uint32_t transferred);
    void TakeFailure(const FailureRecords& why);
    void AfterInquiry(const std::uint8_t* data, std::uint32_t transferred);
    void AfterCapacity();  // the step that follows the capacity
    void AfterPageList(bool serial_listed, bool identification_listed);
    void AfterSerial();
    void Settle(Fact& fact, FactState state, const FailureRecords* why = nullptr);
    void SettleOpen(FactState state, const FailureRecords* why = nullptr);

    Step step_;
    bool retried_;  // the current question was asked again after UNIT ATTENTION
    std::uint8_t ansi_version_;
    bool identification_listed_;
    DeviceFacts facts_;
};

}  // namespace td
