// Reading the answer of IOCTL_SCSI_GET_INQUIRY_DATA without trusting it.
//
// The port driver answers a SCSI_ADAPTER_BUS_INFO: the number of buses, one
// SCSI_BUS_DATA per bus (units, the adapter's own ID on it, the offset of
// its first unit), and SCSI_INQUIRY_DATA entries chained per bus by
// NextInquiryDataOffset, every offset counted from the start of the answer.
// Those offsets and counts come from a driver; the walk reads only bytes
// inside the answer, ends every chain, and yields a bounded number of units:
//   - a bus whose SCSI_BUS_DATA lies past the answer is not there;
//   - an entry that starts or ends past the answer ends its bus's chain;
//     where the caller cleared its whole buffer before the call, the
//     entries may lie anywhere inside that buffer, past the byte count the
//     driver reported: Wine's pass-through over Linux writes the bus data
//     and an entry (12 + 12 + 36 bytes) but reports 36 returned. Bytes it
//     did not write read as the 0 the caller left there, which ends a
//     chain; nothing past the buffer is ever read;
//   - an entry seen before on the same chain (a loop) ends that chain;
//   - a bus yields at most its NumberOfLogicalUnits entries;
//   - the walk yields at most `max_units` entries in all;
//   - INQUIRY bytes past the entry's InquiryDataLength read as 0.
#pragma once

#include <cstddef>
#include <cstdint>

#include "discovery/inquiry_fields.h"

namespace td {

// What the answer says about the port's buses.
struct PortBuses {
    int reported_buses;       // NumberOfBuses as answered
    int buses;                // those whose SCSI_BUS_DATA lies within the answer
    int first_bus_units;      // bus 0: NumberOfLogicalUnits
    int first_bus_initiator;  // bus 0: InitiatorBusId, the adapter's own SCSI ID
};

// False when the answer is too short to hold bus 0's SCSI_BUS_DATA: the
// port's inquiry data are then as good as unreadable.
bool ReadPortBuses(const std::uint8_t* answer, std::uint32_t length, PortBuses& buses);

// One logical unit as the answer lists it.
struct InquiryUnit {
    int bus;  // index of its bus in the answer's list (0 for the first)
    int target_id;
    int lun;
    bool claimed;                                  // DeviceClaimed: a class driver owns the unit
    std::uint8_t inquiry[kInquiryIdentityLength];  // 0 past inquiry_length
    std::size_t inquiry_length;
};

// Yields the units of every bus in order: bus 0's chain, then bus 1's ...
class InquiryDataWalk {
public:
    static constexpr int kMaxUnits = 128;

    // `length`: the bytes the driver reported; the bus data must lie within
    // them. `cleared`: the size of the buffer the caller gave and cleared
    // before the call (0 when it did not); the entries may lie within it.
    InquiryDataWalk(const std::uint8_t* answer, std::uint32_t length, int max_units = kMaxUnits,
                    std::uint32_t cleared = 0);

    // The next unit; false when there is none left.
    bool Next(InquiryUnit& unit);

private:
    bool StartBus(int bus);

    const std::uint8_t* answer_;
    std::uint32_t length_;   // the bytes reported: the bus data lie within them
    std::uint32_t entries_;  // the bytes the entries may lie within
    int max_units_;
    int buses_ = 0;
    int bus_ = -1;                        // the bus being walked
    int bus_units_ = 0;                   // its NumberOfLogicalUnits
    std::uint32_t offset_ = 0;            // its next entry; 0 when its chain has ended
    int yielded_ = 0;                     // units yielded in all
    int bus_yielded_ = 0;                 // units yielded from this bus
    std::uint32_t seen_[kMaxUnits] = {};  // this bus's entries so far, to stop a loop
};

}  // namespace td
