#include "scsi/sense.h"

#include "resources/resource_ids.h"

namespace td {
namespace {

// SCSI-2 fixed-format sense data.
constexpr std::uint8_t kResponseCurrent = 0x70;
constexpr std::uint8_t kResponseDeferred = 0x71;
constexpr std::size_t kResponseCodeByte = 0;
constexpr std::size_t kSenseKeyByte = 2;
constexpr std::size_t kAscByte = 12;
constexpr std::size_t kAscqByte = 13;

// Byte 2 holds the sense key in bits 0-3; bits 5, 6 and 7 are the ILI,
// EOM and FILEMARK flags, which a tape or a short read sets beside any key.
constexpr std::uint8_t kSenseKeyMask = 0x0F;

constexpr int kAny = -1;

struct SenseRow {
    std::uint8_t sense_key;
    int asc;   // kAny matches every ASC
    int ascq;  // kAny matches every ASCQ
    int aspi_message;
    int nt_message;
};

// The program's own advice for the answers it knows best. The first row
// whose key, ASC and ASCQ match wins; every other answer is explained from
// the standard's names of its key and codes.
constexpr SenseRow kSenseTable[] = {
    {0x02, 0x04, 0x00, IDS_SENSE_NOT_REPORTABLE, IDS_SENSE_NOT_REPORTABLE},
    {0x02, 0x04, 0x01, IDS_SENSE_MEDIA_CHANGED, IDS_SENSE_MEDIA_CHANGED},
    {0x02, 0x04, 0x02, IDS_SENSE_START_UNIT, IDS_SENSE_START_UNIT},
    {0x02, 0x04, 0x03, IDS_SENSE_LOCK_MEDIA, IDS_SENSE_LOCK_MEDIA},
    {0x02, 0x04, 0x04, IDS_SENSE_FORMATTING, IDS_SENSE_FORMATTING},
    {0x02, 0x3A, kAny, IDS_SENSE_NO_MEDIA, IDS_SENSE_NO_MEDIA},
    {0x04, 0x40, kAny, IDS_SENSE_SELF_TEST, IDS_SENSE_SELF_TEST},
    {0x04, 0x41, kAny, IDS_SENSE_HARDWARE, IDS_SENSE_SELF_TEST},
    {0x04, 0x42, kAny, IDS_SENSE_HARDWARE, IDS_SENSE_SELF_TEST},
    {0x04, kAny, kAny, IDS_SENSE_HARDWARE, IDS_SENSE_HARDWARE},
    // A command the device does not have, or a field of it it does not
    // take: WRITE BUFFER and READ BUFFER are optional for most device types.
    {0x05, 0x20, kAny, IDS_SENSE_NOT_SUPPORTED, IDS_SENSE_NOT_SUPPORTED},
    {0x05, 0x22, kAny, IDS_SENSE_NOT_SUPPORTED, IDS_SENSE_NOT_SUPPORTED},
    {0x05, 0x24, kAny, IDS_SENSE_NOT_SUPPORTED, IDS_SENSE_NOT_SUPPORTED},
    {0x05, 0x26, kAny, IDS_SENSE_NOT_SUPPORTED, IDS_SENSE_NOT_SUPPORTED},
    {0x06, 0x28, kAny, IDS_SENSE_MEDIA_CHANGED, IDS_SENSE_MEDIA_CHANGED},
    {0x06, 0x29, kAny, IDS_SENSE_RESET, IDS_SENSE_RESET},
    {0x07, kAny, kAny, IDS_SENSE_WRITE_PROTECTED, IDS_SENSE_WRITE_PROTECTED},
};

int TableMessage(std::uint8_t key, std::uint8_t asc, std::uint8_t ascq, SenseTransport transport) {
    for (const SenseRow& row : kSenseTable) {
        if (row.sense_key != key) continue;
        if (row.asc != kAny && row.asc != asc) continue;
        if (row.ascq != kAny && row.ascq != ascq) continue;
        return transport == SenseTransport::Aspi ? row.aspi_message : row.nt_message;
    }
    return 0;
}

bool ResponseCodeAccepted(std::uint8_t code, SenseTransport transport) {
    if (transport == SenseTransport::Nt) {
        // Deferred errors (bit 0 set) are turned away before anything else.
        if ((code & 0x01) != 0) return false;
        return code == kResponseCurrent;
    }
    return code == kResponseCurrent || code == kResponseDeferred;
}

}  // namespace

int request_is_clean(const aspi::SrbExecScsiCmd& srb) {
    if (srb.SRB_HaStat != aspi::kHaStatOk) return 0;
    if (srb.SRB_Status != aspi::kSsComp && srb.SRB_Status != aspi::kSsAborted && srb.SRB_Status != aspi::kSsErr)
        return 0;
    return TargetStatusIsGood(srb.SRB_TargStat) ? 1 : 0;
}

bool TargetStatusIsGood(std::uint8_t status) {
    return status == aspi::kStatusGood || status == aspi::kStatusConditionMet ||
           status == aspi::kStatusIntermediateConditionMet;
}

int InterpretSenseData(const std::uint8_t* sense, std::size_t length, SenseTransport transport,
                       SenseReport& sense_report) {
    if (sense == nullptr || length < kFixedSenseLength) return 0;
    if (!ResponseCodeAccepted(sense[kResponseCodeByte], transport)) return 0;

    const std::uint8_t key = sense[kSenseKeyByte] & kSenseKeyMask;
    const std::uint8_t asc = sense[kAscByte];
    const std::uint8_t ascq = sense[kAscqByte];
    sense_report.sense_key = key;
    sense_report.sense_code = asc;
    sense_report.sense_qualifier = ascq;
    const int message = TableMessage(key, asc, ascq, transport);
    sense_report.message_id = message != 0 ? message : IDS_SENSE_REPORTED;
    return 1;
}

int interpret_aspi_sense(const aspi::SrbExecScsiCmd& srb, SenseReport& sense_report) {
    std::size_t length = srb.SRB_SenseLen;
    if (length > sizeof srb.SenseArea) length = sizeof srb.SenseArea;
    return InterpretSenseData(srb.SenseArea, length, SenseTransport::Aspi, sense_report);
}

int interpret_nt_sense(const nt::PassThroughBlock& block, SenseReport& sense_report) {
    static_assert(sizeof block.sense >= nt::kPassThroughSenseLength);
    return InterpretSenseData(block.sense, nt::kPassThroughSenseLength, SenseTransport::Nt, sense_report);
}

int interpret_nt_sense(const nt::PassThroughDirectBlock& block, SenseReport& sense_report) {
    static_assert(sizeof block.sense >= nt::kPassThroughSenseLength);
    return InterpretSenseData(block.sense, nt::kPassThroughSenseLength, SenseTransport::Nt, sense_report);
}

}  // namespace td
