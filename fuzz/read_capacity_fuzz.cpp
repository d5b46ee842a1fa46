// Fuzzing the readers of READ CAPACITY (10) and (16) answers and the
// arithmetic that writes a capacity as Explorer writes sizes.
//
// Input, in this order:
//   1 byte     settings; bit 0: the answer is READ CAPACITY (16)'s
//   the rest   the bytes the device sent
//
// Checked on every input:
// - the answer is read only within the bytes sent (they lie in a block of
//   exactly that size: the address sanitizer stops any read past it);
// - an answer that is read holds the big-endian address and block length
//   of its bytes, never a block length of 0, and needs its 8 (12) bytes;
//   the 10-byte form asks for the 16-byte one exactly when its address is
//   FFFFFFFFh;
// - the capacity's numbers are right: the blocks are the address + 1, the
//   bytes the blocks times the length (checked in 128-bit arithmetic), and
//   the size in its unit is cut, not rounded, to its decimals, under 1000
//   of the unit (but for exabytes), 1024 or more bytes in a unit above
//   bytes, and with three significant digits;
// - the two lines written stay terminated within their buffer.
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "common/number_format.h"
#include "fuzz_checks.h"
#include "fuzz_input.h"
#include "infowin/capacity_text.h"
#include "scsi/capacity_answer.h"
#include "support/scripted_messages.h"

namespace {

using namespace td;
using fuzz::Require;
using Wide = unsigned __int128;

std::uint64_t BigEndian(const std::uint8_t* bytes, int width) {
    std::uint64_t value = 0;
    for (int i = 0; i < width; ++i) value = value << 8 | bytes[i];
    return value;
}

Wide Decimal(const char* digits, int& decimals) {
    Wide value = 0;
    decimals = -1;
    for (const char* c = digits; *c != '\0'; ++c) {
        if (*c == '.') {
            decimals = 0;
            continue;
        }
        Require(*c >= '0' && *c <= '9', "a number holds a character that is not a digit");
        value = value * 10 + static_cast<unsigned>(*c - '0');
        if (decimals >= 0) ++decimals;
    }
    if (decimals < 0) decimals = 0;
    return value;
}

Wide Power(Wide base, int exponent) {
    Wide value = 1;
    while (exponent-- > 0) value *= base;
    return value;
}

void CheckNumbers(const CapacityAnswer& capacity) {
    const CapacityNumbers numbers = CountCapacity(capacity);
    int decimals = 0;
    const Wide blocks = static_cast<Wide>(capacity.last_block) + 1;
    const Wide bytes = blocks * capacity.block_length;
    Require(Decimal(numbers.blocks, decimals) == blocks && decimals == 0, "the blocks are not the address + 1");
    Require(Decimal(numbers.bytes, decimals) == bytes && decimals == 0, "the bytes are not blocks times length");
    Require(Decimal(numbers.block_length, decimals) == capacity.block_length, "the block length is not the device's");
    const Wide size = Decimal(numbers.size, decimals);
    Require(decimals == numbers.decimals && decimals >= 0 && decimals <= 2, "the size has other decimals than said");
    Require(numbers.unit >= 0 && numbers.unit <= 6, "no such unit");
    const Wide unit = static_cast<Wide>(1) << (10 * numbers.unit);
    const Wide scale = Power(10, decimals);
    // size / scale units <= bytes < (size + 1) / scale units: cut, not rounded.
    Require(size * unit <= bytes * scale && bytes * scale < (size + 1) * unit, "the size is not the bytes cut");
    if (numbers.unit == 0) {
        Require(bytes < 1024, "1024 bytes or more are written in bytes");
    } else {
        Require(bytes >= 1024, "fewer than 1024 bytes are written in a larger unit");
        if (numbers.unit < 6) Require(size < 1000 * scale, "a size of 1000 or more of its unit");
        // Three significant digits: 0.97 to 9.99, 10.0 to 99.9, 100 and more.
        if (decimals == 2) Require(size < 1000, "two decimals on 10 or more");
        if (decimals == 1) Require(size >= 100 && size < 1000, "one decimal outside 10 to 99.9");
        if (decimals == 0) Require(size >= 100, "no decimals under 100");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::InputReader input(data, size);
    const bool long_form = (input.Byte() & 1) != 0;
    const std::vector<std::uint8_t> rest = input.Rest();
    const fuzz::ExactBlock answer(rest);
    const std::uint8_t* bytes = answer.data();

    CapacityAnswer capacity{0, 0};
    const CapacityReading reading = long_form ? ReadCapacity16Answer(bytes, rest.size(), capacity)
                                              : ReadCapacity10Answer(bytes, rest.size(), capacity);
    const std::size_t needed = long_form ? kCapacity16Length : kCapacity10Length;
    if (rest.size() < needed) {
        Require(reading == CapacityReading::NotReported, "a short answer was read");
        return 0;
    }
    const bool too_large = !long_form && BigEndian(bytes, 4) == 0xFFFFFFFFu;
    Require((reading == CapacityReading::AskLongForm) == too_large, "the long form is asked for the wrong answer");
    if (reading != CapacityReading::Read) return 0;
    Require(capacity.block_length != 0, "a block length of 0 was read");
    Require(capacity.block_length == BigEndian(bytes + (long_form ? 8 : 4), 4), "the block length is not the answer's");
    Require(capacity.last_block == BigEndian(bytes, long_form ? 8 : 4), "the address is not the answer's");

    CheckNumbers(capacity);
    static test::ScriptedMessages messages;
    PlainNumberFormat format;
    char text[160];
    std::memset(text, 'x', sizeof text);
    WriteCapacity(capacity, messages, format, text, sizeof text);
    Require(std::memchr(text, 0, sizeof text) != nullptr, "the capacity lost its terminator");
    Require(std::strstr(text, "\r\n") != nullptr || std::strlen(text) == sizeof text - 1,
            "the capacity's two lines are not two lines");
    return 0;
}
