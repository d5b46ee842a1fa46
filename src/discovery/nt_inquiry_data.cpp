#include "discovery/nt_inquiry_data.h"

#include <cstring>

#include "scsi/nt_layout.h"

namespace td {
namespace {

constexpr std::uint32_t kBusDataAt = offsetof(nt::ScsiAdapterBusInfo, BusData);
constexpr std::uint32_t kBusDataSize = sizeof(nt::ScsiBusData);
constexpr std::uint32_t kEntryHeader = offsetof(nt::ScsiInquiryData, InquiryData);

template <typename T>
T Read(const std::uint8_t* answer, std::uint32_t at) {
    T value;
    std::memcpy(&value, answer + at, sizeof value);
    return value;
}

// Buses whose SCSI_BUS_DATA lies wholly within the answer.
int BusesWithin(std::uint32_t length) {
    if (length < kBusDataAt) return 0;
    return static_cast<int>((length - kBusDataAt) / kBusDataSize);
}

std::uint32_t BusAt(int bus) { return kBusDataAt + static_cast<std::uint32_t>(bus) * kBusDataSize; }

}  // namespace

bool ReadPortBuses(const std::uint8_t* answer, std::uint32_t length, PortBuses& buses) {
    if (answer == nullptr || BusesWithin(length) < 1) return false;
    buses.reported_buses = answer[offsetof(nt::ScsiAdapterBusInfo, NumberOfBuses)];
    const int within = BusesWithin(length);
    buses.buses = buses.reported_buses < within ? buses.reported_buses : within;
    buses.first_bus_units = answer[BusAt(0) + offsetof(nt::ScsiBusData, NumberOfLogicalUnits)];
    buses.first_bus_initiator = answer[BusAt(0) + offsetof(nt::ScsiBusData, InitiatorBusId)];
    return true;
}

InquiryDataWalk::InquiryDataWalk(const std::uint8_t* answer, std::uint32_t length, int max_units, std::uint32_t cleared)
    : answer_(answer),
      length_(answer != nullptr ? length : 0),
      entries_(cleared > length_ && answer != nullptr ? cleared : length_),
      max_units_(max_units < 0 ? 0 : (max_units > kMaxUnits ? kMaxUnits : max_units)) {
    PortBuses buses{};
    if (ReadPortBuses(answer_, length_, buses)) buses_ = buses.buses;
}

bool InquiryDataWalk::StartBus(int bus) {
    bus_ = bus;
    bus_yielded_ = 0;
    bus_units_ = answer_[BusAt(bus) + offsetof(nt::ScsiBusData, NumberOfLogicalUnits)];
    offset_ = Read<std::uint32_t>(answer_, BusAt(bus) + offsetof(nt::ScsiBusData, InquiryDataOffset));
    return offset_ != 0;
}

bool InquiryDataWalk::Next(InquiryUnit& unit) {
    for (;;) {
        if (yielded_ >= max_units_) return false;
        if (offset_ == 0 || bus_yielded_ >= bus_units_) {
            if (bus_ + 1 >= buses_) return false;
            StartBus(bus_ + 1);
            continue;
        }
        const std::uint32_t at = offset_;
        offset_ = 0;  // unless this entry proves sound and names a next one
        if (at > entries_ || entries_ - at < kEntryHeader) continue;
        bool looped = false;
        for (int i = 0; i < bus_yielded_; ++i) looped = looped || seen_[i] == at;
        if (looped) continue;
        const std::uint32_t declared = Read<std::uint32_t>(answer_,
                                                           at + offsetof(nt::ScsiInquiryData, InquiryDataLength));
        const std::uint32_t wanted = declared < kInquiryIdentityLength
                                         ? declared
                                         : static_cast<std::uint32_t>(kInquiryIdentityLength);
        if (entries_ - at - kEntryHeader < wanted) continue;  // the entry ends past the answer

        unit.bus = bus_;
        unit.target_id = answer_[at + offsetof(nt::ScsiInquiryData, TargetId)];
        unit.lun = answer_[at + offsetof(nt::ScsiInquiryData, Lun)];
        unit.claimed = answer_[at + offsetof(nt::ScsiInquiryData, DeviceClaimed)] != 0;
        std::memset(unit.inquiry, 0, sizeof unit.inquiry);
        std::memcpy(unit.inquiry, answer_ + at + kEntryHeader, wanted);
        unit.inquiry_length = wanted;

        seen_[bus_yielded_] = at;
        ++bus_yielded_;
        ++yielded_;
        offset_ = Read<std::uint32_t>(answer_, at + offsetof(nt::ScsiInquiryData, NextInquiryDataOffset));
        return true;
    }
}

}  // namespace td
