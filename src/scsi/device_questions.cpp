#include "scsi/device_questions.h"

#include <cstring>

#include "scsi/scsi_opcodes.h"
#include "scsi/vpd_pages.h"

namespace td {
namespace {

constexpr std::uint8_t kStandardInquiryLength = 36;
// A page asked of a SCSI-2 device: its INQUIRY has a one-byte allocation
// length (byte 3 is reserved there).
constexpr std::uint32_t kShortPageAllocation = 255;
// From SPC-3 (ANSI version 5) on, the allocation length has two bytes.
constexpr std::uint8_t kTwoByteAllocationVersion = 5;
constexpr std::uint8_t kFirstVersionWithPages = 2;

constexpr std::uint8_t kKeyNotReady = 0x02;
constexpr std::uint8_t kKeyIllegalRequest = 0x05;
constexpr std::uint8_t kKeyUnitAttention = 0x06;
constexpr std::uint8_t kAscMediumNotPresent = 0x3A;

Question Inquiry(std::uint8_t evpd, std::uint8_t page, std::uint32_t allocation) {
    Question question{};
    question.cdb[0] = kOpInquiry;
    question.cdb[1] = evpd;
    question.cdb[2] = page;
    question.cdb[3] = static_cast<std::uint8_t>(allocation >> 8);
    question.cdb[4] = static_cast<std::uint8_t>(allocation);
    question.cdb_length = kCdb6;
    question.allocation = allocation;
    return question;
}

Question ReadCapacity10() {
    Question question{};
    question.cdb[0] = kOpReadCapacity10;
    question.cdb_length = kCdb10;
    question.allocation = kCapacity10Length;
    return question;
}

Question ReadCapacity16() {
    Question question{};
    question.cdb[0] = kOpServiceActionIn16;
    question.cdb[1] = kServiceReadCapacity16;
    question.cdb[13] = static_cast<std::uint8_t>(kCapacity16Allocation);  // bytes 10-13, most significant first
    question.cdb_length = kCdb16;
    question.allocation = kCapacity16Allocation;
    return question;
}

bool SenseSays(const FailureRecords& why, std::uint8_t key) {
    return why.sense_report.message_id != 0 && why.sense_report.sense_key == key;
}

}  // namespace

bool TypeHasCapacity(std::uint8_t device_type) {
    switch (device_type) {
        case 0x00:  // direct access
        case 0x04:  // write-once
        case 0x05:  // CD-ROM
        case 0x07:  // optical memory
        case 0x0E:  // simplified direct access
            return true;
        default:
            return false;
    }
}

DeviceQuestions::DeviceQuestions()
    : step_(Step::StandardInquiry), retried_(false), ansi_version_(0), identification_listed_(false), facts_{} {}

bool DeviceQuestions::Next(Question& question) const {
    switch (step_) {
        case Step::StandardInquiry:
            question = Inquiry(0, 0, kStandardInquiryLength);
            return true;
        case Step::Capacity10:
            question = ReadCapacity10();
            return true;
        case Step::Capacity16:
            question = ReadCapacity16();
            return true;
        case Step::PageList:
            question = Inquiry(kInquiryEvpd, kVpdSupportedPages, kShortPageAllocation);
            return true;
        case Step::Serial:
            question = Inquiry(kInquiryEvpd, kVpdUnitSerialNumber, kShortPageAllocation);
            return true;
        case Step::Identification:
            question = Inquiry(kInquiryEvpd, kVpdDeviceIdentification,
                               ansi_version_ >= kTwoByteAllocationVersion ? kQuestionDataSize : kShortPageAllocation);
            return true;
        case Step::Done:
            return false;
    }
    return false;
}

void DeviceQuestions::Take(const QuestionAnswer& answer) {
    if (step_ == Step::Done) return;
    if (answer.answered) {
        retried_ = false;
        TakeData(answer.data, answer.data != nullptr ? answer.transferred : 0);
        return;
    }
    if (answer.no_answer) {
        GiveUp(answer.why);
        return;
    }
    // A reset or a medium change is told once to the first command after
    // it; the question itself was not looked at.
    if (SenseSays(answer.why, kKeyUnitAttention) && !retried_) {
        retried_ = true;
        return;
    }
    retried_ = false;
    TakeFailure(answer.why);
}

void DeviceQuestions::GiveUp(const FailureRecords& why) {
    SettleOpen(FactState::Failed, &why);
    step_ = Step::Done;
}

void DeviceQuestions::TakeData(const std::uint8_t* data, std::uint32_t transferred) {
    switch (step_) {
        case Step::StandardInquiry:
            AfterInquiry(data, transferred);
            return;
        case Step::Capacity10:
        case Step::Capacity16: {
            const CapacityReading reading = step_ == Step::Capacity10
                                                ? ReadCapacity10Answer(data, transferred, facts_.capacity_answer)
                                                : ReadCapacity16Answer(data, transferred, facts_.capacity_answer);
            if (reading == CapacityReading::AskLongForm) {
                step_ = Step::Capacity16;
                return;
            }
            Settle(facts_.capacity, reading == CapacityReading::Read ? FactState::Known : FactState::NotReported);
            AfterCapacity();
            return;
        }
        case Step::PageList: {
            VpdPage list{};
            // An answer that is not the list (an old device sends its
            // standard data) lists nothing.
            const bool is_list = TakeVpdPage(data, transferred, kVpdSupportedPages, list);
            AfterPageList(is_list && PageListNames(list, kVpdUnitSerialNumber),
                          is_list && PageListNames(list, kVpdDeviceIdentification));
            return;
        }
        case Step::Serial: {
            VpdPage page{};
            const bool read = TakeVpdPage(data, transferred, kVpdUnitSerialNumber, page) &&
                              ReadSerialNumber(page, facts_.serial_text, sizeof facts_.serial_text);
            Settle(facts_.serial, read ? FactState::Known : FactState::NotReported);
            AfterSerial();
            return;
        }
        case Step::Identification: {
            VpdPage page{};
            if (TakeVpdPage(data, transferred, kVpdDeviceIdentification, page)) {
                WriteIdentifier(ChooseIdentifier(page), facts_.identifier_text, sizeof facts_.identifier_text);
            }
            Settle(facts_.identifier, facts_.identifier_text[0] != '\0' ? FactState::Known : FactState::NotReported);
            step_ = Step::Done;
            return;
        }
        case Step::Done:
            return;
    }
}

void DeviceQuestions::TakeFailure(const FailureRecords& why) {
    FactState state = FactState::Failed;
    if (SenseSays(why, kKeyNotReady) && why.sense_report.sense_code == kAscMediumNotPresent) {
        state = FactState::NoMedium;
    } else if (SenseSays(why, kKeyIllegalRequest)) {
        state = FactState::NotReported;
    }
    switch (step_) {
        case Step::StandardInquiry:
            SettleOpen(state, &why);
            step_ = Step::Done;
            return;
        case Step::Capacity10:
        case Step::Capacity16:
            Settle(facts_.capacity, state, &why);
            AfterCapacity();
            return;
        case Step::PageList:
            Settle(facts_.serial, state, &why);
            Settle(facts_.identifier, state, &why);
            step_ = Step::Done;
            return;
        case Step::Serial:
            Settle(facts_.serial, state, &why);
            AfterSerial();
            return;
        case Step::Identification:
            Settle(facts_.identifier, state, &why);
            step_ = Step::Done;
            return;
        case Step::Done:
            return;
    }
}

void DeviceQuestions::AfterInquiry(const std::uint8_t* data, std::uint32_t transferred) {
    // Byte 0: peripheral qualifier and type; byte 2: the ANSI version.
    if (transferred < 3 || (data[0] & 0xE0) != 0) {
        SettleOpen(FactState::NotReported);
        step_ = Step::Done;
        return;
    }
    ansi_version_ = data[2] & 0x07;
    if (TypeHasCapacity(data[0] & 0x1F)) {
        step_ = Step::Capacity10;
        return;
    }
    Settle(facts_.capacity, FactState::NotApplicable);
    AfterCapacity();
}

void DeviceQuestions::AfterCapacity() {
    if (ansi_version_ >= kFirstVersionWithPages) {
        step_ = Step::PageList;
        return;
    }
    SettleOpen(FactState::NotReported);
    step_ = Step::Done;
}

void DeviceQuestions::AfterPageList(bool serial_listed, bool identification_listed) {
    identification_listed_ = identification_listed;
    if (serial_listed) {
        step_ = Step::Serial;
        return;
    }
    Settle(facts_.serial, FactState::NotReported);
    AfterSerial();
}

void DeviceQuestions::AfterSerial() {
    if (identification_listed_) {
        step_ = Step::Identification;
        return;
    }
    Settle(facts_.identifier, FactState::NotReported);
    step_ = Step::Done;
}

void DeviceQuestions::Settle(Fact& fact, FactState state, const FailureRecords* why) {
    fact.state = state;
    if (why != nullptr) fact.why = *why;
}

void DeviceQuestions::SettleOpen(FactState state, const FailureRecords* why) {
    Fact* const facts[] = {&facts_.capacity, &facts_.serial, &facts_.identifier};
    for (Fact* fact : facts) {
        if (fact->state == FactState::Asking) Settle(*fact, state, why);
    }
}

}  // namespace td
