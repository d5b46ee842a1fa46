// The standard's names of additional sense codes and qualifiers.
//
// The table is T10's numeric list of ASC/ASCQ assignments (asc-num.txt
// beside this file), turned into code by the build (tools/ascnames): the
// names stay the standard's own English words in every language. A line of
// the list that stands for a range of qualifiers ("40h/NNh") is one entry
// covering that range.
#pragma once

#include <cstddef>
#include <cstdint>

namespace td {

struct AscName {
    std::uint8_t asc;
    std::uint8_t ascq_first;  // the qualifiers this entry names, both ends included
    std::uint8_t ascq_last;
    const char* name;
};

// Made by the build from the list, in the list's order.
extern const AscName kAscNames[];
extern const std::size_t kAscNameCount;

// The name of a pair: the entry for exactly this qualifier, else the range
// that holds it; nullptr when the list names neither.
const char* AscAscqName(std::uint8_t asc, std::uint8_t ascq);

}  // namespace td
