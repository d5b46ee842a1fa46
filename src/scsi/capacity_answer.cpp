#include "scsi/capacity_answer.h"

namespace td {
namespace {

std::uint64_t BigEndian(const std::uint8_t* bytes, std::size_t width) {
    std::uint64_t value = 0;
    for (std::size_t i = 0; i < width; ++i) value = value << 8 | bytes[i];
    return value;
}

constexpr std::uint32_t kAddressTooLarge = 0xFFFFFFFFu;

}  // namespace

CapacityReading ReadCapacity10Answer(const std::uint8_t* data, std::size_t transferred, CapacityAnswer& capacity) {
    if (data == nullptr || transferred < kCapacity10Length) return CapacityReading::NotReported;
    const auto last = static_cast<std::uint32_t>(BigEndian(data, 4));
    const auto length = static_cast<std::uint32_t>(BigEndian(data + 4, 4));
    if (last == kAddressTooLarge) return CapacityReading::AskLongForm;
    if (length == 0) return CapacityReading::NotReported;
    capacity.last_block = last;
    capacity.block_length = length;
    return CapacityReading::Read;
}

CapacityReading ReadCapacity16Answer(const std::uint8_t* data, std::size_t transferred, CapacityAnswer& capacity) {
    if (data == nullptr || transferred < kCapacity16Length) return CapacityReading::NotReported;
    const auto length = static_cast<std::uint32_t>(BigEndian(data + 8, 4));
    if (length == 0) return CapacityReading::NotReported;
    capacity.last_block = BigEndian(data, 8);
    capacity.block_length = length;
    return CapacityReading::Read;
}

}  // namespace td
