// Fuzzing the header of a vital product data page and the list of pages.
//
// Input, in this order:
//   1 byte     the page code asked for
//   1 byte     a page code looked for in the list
//   the rest   the bytes the device sent
//
// Checked on every input:
// - the answer is read only within the bytes sent (a block of exactly that
//   size);
// - it is taken as the page only with a whole header, peripheral qualifier
//   0, the page code asked for and a stated length within the bytes sent;
//   the page then is exactly the bytes after the header up to that length;
// - the list names a page exactly when one of its bytes is that code.
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "fuzz_checks.h"
#include "fuzz_input.h"
#include "scsi/vpd_pages.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace td;
    using fuzz::Require;
    fuzz::InputReader input(data, size);
    const std::uint8_t asked = input.Byte();
    const std::uint8_t looked_for = input.Byte();
    const std::vector<std::uint8_t> rest = input.Rest();
    const fuzz::ExactBlock answer(rest);

    VpdPage page{nullptr, 0};
    const bool taken = TakeVpdPage(answer.data(), answer.size(), asked, page);
    const bool whole = rest.size() >= 4 && (rest[0] & 0xE0) == 0 && rest[1] == asked &&
                       static_cast<std::size_t>(rest[2] << 8 | rest[3]) <= rest.size() - 4;
    Require(taken == whole, "an answer was taken as the page, or refused, against the rules");
    if (!taken) return 0;
    Require(page.bytes == answer.data() + 4 && page.length == static_cast<std::size_t>(rest[2] << 8 | rest[3]),
            "the page is not the bytes after its header");
    const bool named = page.length > 0 && std::memchr(page.bytes, looked_for, page.length) != nullptr;
    Require(PageListNames(page, looked_for) == named, "the list names a page it does not hold, or misses one");
    return 0;
}
