// Fuzzing the judges of a finished request: the ASPI request block's status
// bytes, sense data of any length and content on both transports, and the
// explanation built from whatever the two failure records hold.
//
// Input, in this order (32-bit values little-endian):
//   1 byte     settings; bit 0: the bare sense data is read as NT's (else ASPI's)
//   4 x 4      the sense report an earlier command left: key, ASC, ASCQ, message id
//   4 bytes    the ASPI block's SRB_Status, SRB_HaStat, SRB_TargStat, SRB_SenseLen
//   4          the last_error's text id
//   64 bytes   its system text (any bytes, no terminator needed)
//   the rest   the sense data
//
// Checked on every input:
// - sense data is read only within its length (it lies in a block of
//   exactly that size: the address sanitizer stops any read past it), and
//   reading all of it answers the same as reading its first 14 bytes;
// - data shorter than 14 bytes, or with a response code the transport does
//   not accept, changes nothing;
// - any other data records exactly the device's key (byte 2, bits 0-3),
//   ASC and ASCQ, and an explanation: one of the table, or the standard's
//   names of the key and codes; the FILEMARK/EOM/ILI bits change nothing;
// - the ASPI block's sense area is read within SRB_SenseLen and the area,
//   whatever SRB_SenseLen says (the block ends where the area ends); a
//   block with CHECK CONDITION, an adapter status or a pending status is
//   never clean;
// - both pass-through blocks give the NT reading of their sense buffer;
// - the explanation, the sense display and the information block's text
//   stay terminated within their 256 bytes, whatever the records hold, and
//   sense data that was read is always explained in words.
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "fuzz_checks.h"
#include "fuzz_input.h"
#include "resources/resource_ids.h"
#include "scsi/explanation.h"
#include "scsi/sense.h"
#include "support/scripted_messages.h"

namespace {

using namespace td;
using fuzz::Require;
using fuzz::RequireTerminated;

bool Same(const SenseReport& a, const SenseReport& b) {
    return a.sense_key == b.sense_key && a.sense_code == b.sense_code && a.sense_qualifier == b.sense_qualifier &&
           a.message_id == b.message_id;
}

bool IsExplanation(int id) {
    switch (id) {
        case IDS_SENSE_NOT_REPORTABLE:
        case IDS_SENSE_START_UNIT:
        case IDS_SENSE_LOCK_MEDIA:
        case IDS_SENSE_FORMATTING:
        case IDS_SENSE_SELF_TEST:
        case IDS_SENSE_HARDWARE:
        case IDS_SENSE_NO_MEDIA:
        case IDS_SENSE_MEDIA_CHANGED:
        case IDS_SENSE_RESET:
        case IDS_SENSE_WRITE_PROTECTED:
        case IDS_SENSE_NOT_SUPPORTED:
            return true;
        default:
            return false;
    }
}

// The sense data as one block of exactly its size.
SenseReport Interpret(const std::vector<std::uint8_t>& bytes, std::size_t length, SenseTransport transport,
                      const SenseReport& earlier, int& answer) {
    const fuzz::ExactBlock copy(bytes.data(), length);
    SenseReport report = earlier;
    answer = InterpretSenseData(copy.data(), length, transport, report);
    return report;
}

void CheckSense(const std::vector<std::uint8_t>& sense, SenseTransport transport, const SenseReport& earlier) {
    int answer = -1;
    const SenseReport report = Interpret(sense, sense.size(), transport, earlier, answer);
    Require(answer == 0 || answer == 1, "an interpreter answered other than 1 or 0");

    if (sense.size() >= kFixedSenseLength) {
        int short_answer = -1;
        const SenseReport first = Interpret(sense, kFixedSenseLength, transport, earlier, short_answer);
        Require(short_answer == answer && Same(first, report), "bytes past the ASCQ changed the reading");
    }

    const bool nt = transport == SenseTransport::Nt;
    const bool accepted = sense.size() >= kFixedSenseLength && (sense[0] == 0x70 || (!nt && sense[0] == 0x71));
    if (!accepted) {
        Require(answer == 0 && Same(report, earlier), "data that is not to be read changed the sense report");
        return;
    }
    Require(answer == 1, "sense data that can be read was not recorded");
    Require(report.sense_key == (sense[2] & 0x0F) && report.sense_code == sense[12] &&
                report.sense_qualifier == sense[13],
            "the record holds other values than the device's");
    Require(IsExplanation(report.message_id) || report.message_id == IDS_SENSE_REPORTED,
            "sense data was recorded without an explanation");
    std::vector<std::uint8_t> without_flags(sense);
    without_flags[2] &= 0x0F;
    int plain_answer = -1;
    const SenseReport plain = Interpret(without_flags, without_flags.size(), transport, earlier, plain_answer);
    Require(plain_answer == answer && Same(plain, report), "a FILEMARK, EOM or ILI bit changed the reading");
}

void CheckAspiBlock(const std::vector<std::uint8_t>& fields, const std::vector<std::uint8_t>& sense,
                    const SenseReport& earlier) {
    // The block as its own allocation: the sense area is its last member, so
    // a read past the area is a read past the block.
    auto srb = std::make_unique<aspi::SrbExecScsiCmd>();
    std::memset(srb.get(), 0, sizeof *srb);
    fuzz::InputReader input(fields.data(), fields.size());
    srb->SRB_Status = input.Byte();
    srb->SRB_HaStat = input.Byte();
    srb->SRB_TargStat = input.Byte();
    srb->SRB_SenseLen = input.Byte();
    if (!sense.empty()) {
        std::memcpy(srb->SenseArea, sense.data(),
                    sense.size() < sizeof srb->SenseArea ? sense.size() : sizeof srb->SenseArea);
    }

    const int clean = request_is_clean(*srb);
    Require(clean == 0 || clean == 1, "request_is_clean answered other than 1 or 0");
    if (clean == 1) {
        Require(srb->SRB_HaStat == aspi::kHaStatOk, "a request with an adapter status is clean");
        Require(srb->SRB_TargStat != aspi::kStatusCheckCondition && srb->SRB_TargStat != aspi::kStatusBusy,
                "a request with CHECK CONDITION or BUSY is clean");
        Require(srb->SRB_Status != aspi::kSsPending, "a pending request is clean");
    }

    SenseReport report = earlier;
    const int answer = interpret_aspi_sense(*srb, report);
    if (srb->SRB_SenseLen < kFixedSenseLength) {
        Require(answer == 0 && Same(report, earlier), "fewer sense bytes than asked for were read");
        return;
    }
    const std::vector<std::uint8_t> area(srb->SenseArea, srb->SenseArea + kFixedSenseLength);
    int expected = -1;
    const SenseReport direct = Interpret(area, area.size(), SenseTransport::Aspi, earlier, expected);
    Require(answer == expected && Same(report, direct), "the sense area read otherwise than its bytes");
}

void CheckNtBlocks(const std::vector<std::uint8_t>& sense, const SenseReport& earlier) {
    std::vector<std::uint8_t> buffer(nt::kPassThroughSenseLength, 0);
    if (!sense.empty()) {
        std::memcpy(buffer.data(), sense.data(), sense.size() < buffer.size() ? sense.size() : buffer.size());
    }
    int expected = -1;
    const SenseReport direct = Interpret(buffer, buffer.size(), SenseTransport::Nt, earlier, expected);

    auto block = std::make_unique<nt::PassThroughBlock>();
    std::memset(block.get(), 0xEE, sizeof *block);
    std::memcpy(block->sense, buffer.data(), buffer.size());
    SenseReport report = earlier;
    Require(interpret_nt_sense(*block, report) == expected && Same(report, direct),
            "the pass-through block read otherwise than its sense bytes");

    auto direct_block = std::make_unique<nt::PassThroughDirectBlock>();
    std::memset(direct_block.get(), 0xEE, sizeof *direct_block);
    std::memcpy(direct_block->sense, buffer.data(), buffer.size());
    report = earlier;
    Require(interpret_nt_sense(*direct_block, report) == expected && Same(report, direct),
            "the direct block read otherwise than its sense bytes");
}

void CheckExplanation(const SenseReport& report, const LastError& last_error) {
    static test::ScriptedMessages messages;
    FailureExplanation explanation;
    std::memset(&explanation, 'x', sizeof explanation);
    ExplainFailure(messages, report, last_error, explanation);
    RequireTerminated(explanation.text, "the explanation lost its terminator");
    RequireTerminated(explanation.sense_display, "the sense display lost its terminator");
    RequireTerminated(explanation.information, "the information block's text lost its terminator");
    Require((explanation.sense_display[0] != '\0') == (report.message_id != 0),
            "a sense display without recognised sense data, or none with it");
    if (report.message_id == IDS_SENSE_REPORTED || IsExplanation(report.message_id)) {
        Require(explanation.text[0] != '\0', "sense data was read and explained by nothing");
    }
    if (report.message_id == 0 && last_error.text_id == kUseSystemText) {
        const std::size_t length = std::strlen(explanation.text);
        Require(length <= sizeof last_error.system_text &&
                    std::memcmp(explanation.text, last_error.system_text, length) == 0,
                "the explanation is not the system text");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::InputReader input(data, size);
    const std::uint8_t settings = input.Byte();
    SenseReport earlier{};
    earlier.sense_key = static_cast<std::int32_t>(input.Word32());
    earlier.sense_code = static_cast<std::int32_t>(input.Word32());
    earlier.sense_qualifier = static_cast<std::int32_t>(input.Word32());
    earlier.message_id = static_cast<std::int32_t>(input.Word32());
    const std::vector<std::uint8_t> block_fields = input.Bytes(4);
    LastError last_error{};
    last_error.text_id = static_cast<std::int32_t>(input.Word32());
    const std::vector<std::uint8_t> system_text = input.Bytes(sizeof last_error.system_text);
    if (!system_text.empty()) std::memcpy(last_error.system_text, system_text.data(), system_text.size());
    const std::vector<std::uint8_t> sense = input.Rest();

    const SenseTransport transport = (settings & 0x01) != 0 ? SenseTransport::Nt : SenseTransport::Aspi;
    CheckSense(sense, transport, earlier);

    CheckAspiBlock(block_fields, sense, earlier);
    CheckNtBlocks(sense, earlier);

    int answer = 0;
    const SenseReport report = Interpret(sense, sense.size(), transport, earlier, answer);
    CheckExplanation(report, last_error);
    CheckExplanation(earlier, last_error);
    return 0;
}
