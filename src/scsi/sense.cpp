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

constexpr std::uint8_t kKeyNotReady = 0x02;
constexpr std::uint8_t kAscLogicalUnitNotReady = 0x04;

constexpr int kAny = -1;

struct SenseRow {
    std::uint8_t sense_key;
    int asc;           // kAny matches every ASC
    int ascq;          // kAny matches every ASCQ
    int aspi_message;  // 0: the ASPI side has no explanation for this row
    int nt_message;
};

// The first row whose key, ASC and ASCQ match and that has an explanation
// on the transport in question wins. The sense key byte is compared whole:
// a FILEMARK, EOM or ILI bit makes it match no key at all.
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
    {0x05, 0x20, kAny, 0, IDS_SENSE_NOT_SUPPORTED},
    {0x05, 0x22, kAny, 0, IDS_SENSE_NOT_SUPPORTED},
    {0x05, 0x24, kAny, 0, IDS_SENSE_NOT_SUPPORTED},
    {0x05, 0x26, kAny, 0, IDS_SENSE_NOT_SUPPORTED},
    {0x06, 0x28, kAny, IDS_SENSE_MEDIA_CHANGED, IDS_SENSE_MEDIA_CHANGED},
    {0x06, 0x29, kAny, IDS_SENSE_RESET, IDS_SENSE_RESET},
    {0x07, kAny, kAny, IDS_SENSE_WRITE_PROTECTED, IDS_SENSE_WRITE_PROTECTED},
};

int MessageOf(const SenseRow& row, SenseTransport transport) {
    return transport == SenseTransport::Aspi ? row.aspi_message : row.nt_message;
}

// A sense key is known to a transport when its column explains at least
// one row of that key: ILLEGAL REQUEST is known on NT only, so on ASPI it
// records nothing at all, not even the key.
bool KeyIsKnown(std::uint8_t key, SenseTransport transport) {
    for (const SenseRow& row : kSenseTable) {
        if (row.sense_key == key && MessageOf(row, transport) != 0) return true;
    }
    return false;
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
    if (srb.SRB_TargStat != aspi::kStatusGood && srb.SRB_TargStat != aspi::kStatusConditionMet &&
        srb.SRB_TargStat != aspi::kStatusIntermediateConditionMet)
        return 0;
    return 1;
}

int InterpretSenseData(const std::uint8_t* sense, std::size_t length, SenseTransport transport,
                       SenseReport& sense_report) {
    if (sense == nullptr || length < kFixedSenseLength) return 0;
    if (!ResponseCodeAccepted(sense[kResponseCodeByte], transport)) return 0;

    const std::uint8_t key = sense[kSenseKeyByte];
    const std::uint8_t asc = sense[kAscByte];
    const std::uint8_t ascq = sense[kAscqByte];
    if (!KeyIsKnown(key, transport)) return 0;

    sense_report.sense_key = key;
    // A unit that is becoming ready keeps its ASC even when the ASCQ is one
    // the table does not explain.
    if (key == kKeyNotReady && asc == kAscLogicalUnitNotReady) {
        sense_report.sense_code = kAscLogicalUnitNotReady;
    }

    for (const SenseRow& row : kSenseTable) {
        const int message = MessageOf(row, transport);
        if (row.sense_key != key || message == 0) continue;
        if (row.asc != kAny && row.asc != asc) continue;
        if (row.ascq != kAny && row.ascq != ascq) continue;
        sense_report.sense_code = asc;
        sense_report.sense_qualifier = ascq;
        sense_report.message_id = message;
        return 1;
    }
    return 0;
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
