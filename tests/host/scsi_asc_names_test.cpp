// The standard's names of additional sense codes, as the program looks
// them up, against T10's list read line by line here: every pair the list
// names resolves to its own name, ranges cover their qualifiers, and pairs
// the list leaves unnamed resolve to nothing.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <string>
#include <utility>

#include "scsi/asc_names.h"

namespace td {
namespace {

struct ListedPair {
    std::string name;  // empty: listed without a name (unassigned)
    bool range;        // "NNh": the qualifier stands for a range
};

// The list's lines "12h/34h  <device types>  <name>", the name from column 26.
std::map<std::pair<int, int>, ListedPair> ReadList() {
    std::ifstream in(std::string(TD_SOURCE_DIR) + "/src/scsi/asc-num.txt");
    EXPECT_TRUE(in) << "the list cannot be read";
    std::map<std::pair<int, int>, ListedPair> pairs;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.size() < 7 || line[2] != 'h' || line[3] != '/' || line[6] != 'h') continue;
        const int asc = std::stoi(line.substr(0, 2), nullptr, 16);
        const bool range = line.substr(4, 2) == "NN";
        const int ascq = range ? -1 : std::stoi(line.substr(4, 2), nullptr, 16);
        std::string name = line.size() > 25 ? line.substr(25) : "";
        while (!name.empty() && name.back() == ' ') name.pop_back();
        pairs[{asc, ascq}] = {name, range};
    }
    return pairs;
}

TEST(AscNames, EveryPairOfTheListResolvesToItsOwnName) {
    const auto pairs = ReadList();
    ASSERT_GT(pairs.size(), 700u);
    std::size_t named = 0;
    for (const auto& [pair, listed] : pairs) {
        if (listed.name.empty() || listed.range) continue;
        ++named;
        const char* found = AscAscqName(static_cast<std::uint8_t>(pair.first), static_cast<std::uint8_t>(pair.second));
        ASSERT_NE(found, nullptr) << std::hex << pair.first << "h/" << pair.second << "h " << listed.name;
        EXPECT_EQ(std::string(found), listed.name) << std::hex << pair.first << "h/" << pair.second << "h";
    }
    EXPECT_GT(named, 650u);
}

// 40h/NNh names the qualifiers 80h-FFh only (its name says so) and leaves
// 40h/00h its own name; 4Dh/NNh and 70h/NNh take every qualifier.
TEST(AscNames, RangesCoverTheirQualifiersAndGiveWayToPairsOfTheirOwn) {
    const std::string diagnostic = "DIAGNOSTIC FAILURE ON COMPONENT NN (80h-FFh)";
    for (int ascq = 0x80; ascq <= 0xFF; ++ascq) {
        const char* found = AscAscqName(0x40, static_cast<std::uint8_t>(ascq));
        ASSERT_NE(found, nullptr) << ascq;
        EXPECT_EQ(found, diagnostic) << ascq;
    }
    EXPECT_EQ(std::string(AscAscqName(0x40, 0x00)), "RAM FAILURE (SHOULD USE 40 NN)");
    EXPECT_EQ(AscAscqName(0x40, 0x01), nullptr);
    EXPECT_EQ(AscAscqName(0x40, 0x7F), nullptr);
    for (int ascq = 0; ascq <= 0xFF; ++ascq) {
        const auto q = static_cast<std::uint8_t>(ascq);
        ASSERT_NE(AscAscqName(0x4D, q), nullptr) << ascq;
        EXPECT_EQ(std::string(AscAscqName(0x4D, q)), "TAGGED OVERLAPPED COMMANDS (NN = TASK TAG)");
        ASSERT_NE(AscAscqName(0x70, q), nullptr) << ascq;
        EXPECT_EQ(std::string(AscAscqName(0x70, q)), "DECOMPRESSION EXCEPTION SHORT ALGORITHM ID OF NN");
    }
}

TEST(AscNames, PairsTheListDoesNotNameResolveToNothing) {
    const auto pairs = ReadList();
    // Listed without a name (unassigned), and not listed at all.
    for (const auto& [pair, listed] : pairs) {
        if (listed.name.empty())
            EXPECT_EQ(AscAscqName(static_cast<std::uint8_t>(pair.first), static_cast<std::uint8_t>(pair.second)),
                      nullptr)
                << std::hex << pair.first << "h/" << pair.second << "h";
    }
    EXPECT_EQ(AscAscqName(0x04, 0xFF), nullptr);
    EXPECT_EQ(AscAscqName(0x80, 0x00), nullptr) << "vendor specific";
    EXPECT_EQ(AscAscqName(0xFF, 0xFF), nullptr);
}

}  // namespace
}  // namespace td
