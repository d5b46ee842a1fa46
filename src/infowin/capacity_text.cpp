#include "infowin/capacity_text.h"

#include <cstdint>

#include "common/fixed_text.h"
#include "common/text_template.h"
#include "resources/resource_ids.h"

namespace td {
namespace {

constexpr int kLastUnit = 6;  // EB

// An unsigned 128-bit number in four 32-bit parts, least significant first.
struct Wide {
    std::uint32_t part[4];
};

Wide FromU64(std::uint64_t value) {
    return {{static_cast<std::uint32_t>(value), static_cast<std::uint32_t>(value >> 32), 0, 0}};
}

Wide Plus1(Wide value) {
    for (std::uint32_t& part : value.part) {
        if (++part != 0) break;
    }
    return value;
}

Wide Times(Wide value, std::uint32_t factor) {
    std::uint64_t carry = 0;
    for (std::uint32_t& part : value.part) {
        const std::uint64_t product = static_cast<std::uint64_t>(part) * factor + carry;
        part = static_cast<std::uint32_t>(product);
        carry = product >> 32;
    }
    return value;
}

// Divides in place; answers the remainder.
std::uint32_t DivideBy(Wide& value, std::uint32_t divisor) {
    std::uint64_t remainder = 0;
    for (int i = 3; i >= 0; --i) {
        const std::uint64_t current = remainder << 32 | value.part[i];
        value.part[i] = static_cast<std::uint32_t>(current / divisor);
        remainder = current % divisor;
    }
    return static_cast<std::uint32_t>(remainder);
}

Wide ShiftedRight(Wide value, int bits) {
    while (bits >= 32) {
        for (int i = 0; i < 3; ++i) value.part[i] = value.part[i + 1];
        value.part[3] = 0;
        bits -= 32;
    }
    if (bits > 0) {
        for (int i = 0; i < 3; ++i) value.part[i] = value.part[i] >> bits | value.part[i + 1] << (32 - bits);
        value.part[3] >>= bits;
    }
    return value;
}

bool IsZero(const Wide& value) { return (value.part[0] | value.part[1] | value.part[2] | value.part[3]) == 0; }

// Whether the value is below `limit`, a number of 32 bits.
bool Below(const Wide& value, std::uint32_t limit) {
    return value.part[1] == 0 && value.part[2] == 0 && value.part[3] == 0 && value.part[0] < limit;
}

// Writes the value in decimal; `point` digits from the right get a '.'
// before them (with zeros in front where the value has fewer digits).
template <std::size_t N>
void WriteDecimal(Wide value, int point, char (&text)[N]) {
    char reversed[48];
    int count = 0;
    do {
        reversed[count++] = static_cast<char>('0' + DivideBy(value, 10));
    } while (!IsZero(value) && count < 40);
    while (count <= point) reversed[count++] = '0';
    std::size_t used = 0;
    for (int i = count - 1; i >= 0 && used + 2 < N; --i) {
        text[used++] = reversed[i];
        if (i == point && point > 0) text[used++] = '.';
    }
    text[used] = '\0';
}

}  // namespace

CapacityNumbers CountCapacity(const CapacityAnswer& capacity) {
    CapacityNumbers numbers{};
    const Wide blocks = Plus1(FromU64(capacity.last_block));
    const Wide bytes = Times(blocks, capacity.block_length);
    WriteDecimal(bytes, 0, numbers.bytes);
    WriteDecimal(blocks, 0, numbers.blocks);
    WriteDecimal(FromU64(capacity.block_length), 0, numbers.block_length);

    if (Below(bytes, 1024)) {
        WriteDecimal(bytes, 0, numbers.size);
        return numbers;
    }
    // The smallest unit that keeps the size under 1000, EB at most.
    int unit = 1;
    while (unit < kLastUnit && !Below(ShiftedRight(bytes, 10 * unit), 1000)) ++unit;
    numbers.unit = unit;
    // Hundredths of the unit, cut; then as many decimals as keep three
    // significant digits.
    Wide hundredths = ShiftedRight(Times(bytes, 100), 10 * unit);
    if (Below(hundredths, 1000)) {
        numbers.decimals = 2;
        WriteDecimal(hundredths, 2, numbers.size);
    } else if (Below(hundredths, 10000)) {
        DivideBy(hundredths, 10);
        numbers.decimals = 1;
        WriteDecimal(hundredths, 1, numbers.size);
    } else {
        DivideBy(hundredths, 100);
        WriteDecimal(hundredths, 0, numbers.size);
    }
    return numbers;
}

void WriteCapacity(const CapacityAnswer& capacity, Messages& messages, NumberFormat& format, char* text,
                   std::size_t size) {
    if (text == nullptr || size == 0) return;
    text[0] = '\0';
    const CapacityNumbers numbers = CountCapacity(capacity);
    char bytes[64], blocks[48], length[32], amount[64];
    format.Format(numbers.bytes, 0, bytes, sizeof bytes);
    format.Format(numbers.blocks, 0, blocks, sizeof blocks);
    format.Format(numbers.block_length, 0, length, sizeof length);
    format.Format(numbers.size, numbers.decimals, amount, sizeof amount);

    char pattern[128] = "";
    const auto load = [&](int id) {
        pattern[0] = '\0';
        if (messages.LoadText(id, pattern, sizeof pattern) <= 0) pattern[0] = '\0';
    };
    char in_unit[128] = "";
    char line[256] = "";
    load(IDS_SIZE_BYTES + numbers.unit);
    const char* const unit_values[] = {amount};
    FillText(in_unit, pattern, unit_values);
    load(IDS_CAPACITY_SIZE);
    const char* const size_values[] = {in_unit, bytes};
    FillText(line, pattern, size_values);
    CopyTextTo(text, size, line);
    AppendTextTo(text, size, "\r\n");
    load(IDS_CAPACITY_BLOCKS);
    const char* const block_values[] = {blocks, length};
    FillText(line, pattern, block_values);
    AppendTextTo(text, size, line);
}

}  // namespace td
