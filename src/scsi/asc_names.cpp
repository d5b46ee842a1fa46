#include "scsi/asc_names.h"

namespace td {

const char* AscAscqName(std::uint8_t asc, std::uint8_t ascq) {
    const char* in_range = nullptr;
    for (std::size_t i = 0; i < kAscNameCount; ++i) {
        const AscName& entry = kAscNames[i];
        if (entry.asc != asc || ascq < entry.ascq_first || ascq > entry.ascq_last) continue;
        // A pair listed on its own is named better than the range around it
        // (40h/00h RAM FAILURE beside 40h/NNh).
        if (entry.ascq_first == entry.ascq_last) return entry.name;
        if (in_range == nullptr) in_range = entry.name;
    }
    return in_range;
}

}  // namespace td
