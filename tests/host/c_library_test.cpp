// The 32-bit program's own byte and string functions answer as the host's C
// library does, on the cases where such functions usually go wrong: bytes
// above 0x7F, prefixes, partial matches, overlapping moves.
#include <gtest/gtest.h>

#include <cctype>
#include <cstring>

#include "shell/c_library.h"

namespace td {
namespace {

int Sign(int value) { return (value > 0) - (value < 0); }

const char* const kTexts[] = {"", "a", "ab", "abc", "abd", "ABC", "b", "\xE4pfel", "zebra", "aab", "aaab", "HP C1533A"};

TEST(CLibrary, TextFunctionsAnswerAsTheHostsCLibrary) {
    for (const char* a : kTexts) {
        EXPECT_EQ(clib::TextLength(a), std::strlen(a)) << a;
        for (const char c : {'a', 'b', 'C', '\0', '\xE4'}) EXPECT_EQ(clib::FindChar(a, c), std::strchr(a, c)) << a;
        for (const char* b : kTexts) {
            EXPECT_EQ(Sign(clib::CompareText(a, b)), Sign(std::strcmp(a, b))) << a << " / " << b;
            for (std::size_t n : {0u, 1u, 2u, 3u, 8u}) {
                EXPECT_EQ(Sign(clib::CompareTextUpTo(a, b, n)), Sign(std::strncmp(a, b, n)))
                    << a << " / " << b << " " << n;
            }
            EXPECT_EQ(clib::FindInText(a, b), std::strstr(a, b)) << a << " / " << b;
        }
    }
    for (int c = 0; c < 256; ++c) EXPECT_EQ(clib::LowerCase(c), std::tolower(c)) << c;  // the "C" locale
}

TEST(CLibrary, ByteFunctionsAnswerAsTheHostsCLibrary) {
    const unsigned char low[] = {1, 2, 0x7F, 0};
    const unsigned char high[] = {1, 2, 0x80, 0};
    EXPECT_EQ(Sign(clib::CompareBytes(low, high, 4)), Sign(std::memcmp(low, high, 4)));
    EXPECT_EQ(clib::CompareBytes(low, high, 2), 0);
    EXPECT_EQ(clib::FindByte(high, 0x80, 4), high + 2);
    EXPECT_EQ(clib::FindByte(high, 0x80, 2), nullptr);
    EXPECT_EQ(clib::FindByte(high, 0x180, 4), high + 2);  // the value is taken as an unsigned char

    char copy[8] = "xxxxxxx";
    EXPECT_EQ(clib::CopyBytes(copy, "abc", 3), copy);
    EXPECT_STREQ(copy, "abcxxxx");
    EXPECT_EQ(clib::FillBytes(copy + 1, 0x100 + 'z', 2), copy + 1);
    EXPECT_STREQ(copy, "azzxxxx");

    // Overlapping moves, both ways, come out as the source was.
    char forward[] = "0123456789";
    char backward[] = "0123456789";
    EXPECT_EQ(clib::MoveBytes(forward + 2, forward, 6), forward + 2);
    EXPECT_STREQ(forward, "0101234589");
    clib::MoveBytes(backward, backward + 2, 6);
    EXPECT_STREQ(backward, "2345676789");
}

}  // namespace
}  // namespace td
