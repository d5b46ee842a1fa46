// The bounded scanner under the listing reader: numbers, words, lines, and
// the device-line scan measured against the C library's own sscanf.
#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "listing/listing_scanner.h"

namespace td {
namespace {

// The run of a string that outlives it.
TextRun RunOf(const std::string& text) { return {text.data(), text.size()}; }
std::string Str(TextRun run) { return std::string(run.begin, run.length); }

// The bytes in a block of exactly their size, so that the sanitizer build
// catches any look past them.
struct ExactBytes {
    explicit ExactBytes(const std::string& text) : size(text.size()), bytes(new char[text.size()]) {
        std::copy(text.begin(), text.end(), bytes.get());
    }
    std::size_t size;
    std::unique_ptr<char[]> bytes;
};

TEST(ListingNumbers, ReadLikeAtoi) {
    for (const char* text : {"0", "7", "-1", "+12", "  42", "\n\t3", "3x", "12,5", "abc", "", "-", "+-3", " - 3",
                             "0009", "2147483647", "-2147483648"}) {
        EXPECT_EQ(RunToInt(RunOf(text)), std::atoi(text)) << '"' << text << '"';
    }
}

TEST(ListingNumbers, BeyondIntStopAtTheLimitInsteadOfWrapping) {
    // Wrapping would turn 2^32 + 2 into an adapter count of 2.
    EXPECT_EQ(RunToInt(RunOf("4294967298")), INT_MAX);
    EXPECT_EQ(RunToInt(RunOf("2147483648")), INT_MAX);
    EXPECT_EQ(RunToInt(RunOf("-2147483649")), INT_MIN);
    EXPECT_EQ(RunToInt(RunOf(std::string(100000, '9'))), INT_MAX);
    EXPECT_EQ(RunToInt(RunOf("000000000000000000000000000005")), 5) << "leading zeros are no overflow";
}

TEST(ListingLines, WordsStayInTheirLine) {
    const ExactBytes text("  3  rest\n\nscsi adapter\r\naic78xx\r\nlast");
    ListingCursor cursor(text.bytes.get(), text.size);
    EXPECT_EQ(Str(cursor.LineWord()), "3");
    cursor.NextLine();
    EXPECT_EQ(Str(cursor.LineWord()), "") << "a blank line has no word; the next line's is not taken";
    cursor.NextLine();
    EXPECT_EQ(Str(cursor.LineWord()), "scsi");
    cursor.NextLine();
    EXPECT_EQ(Str(cursor.LineWord()), "aic78xx") << "a carriage return ends a word, not a line";
    cursor.NextLine();
    EXPECT_EQ(Str(cursor.LineWord()), "last") << "a last line without its line feed";
    cursor.NextLine();
    EXPECT_TRUE(cursor.AtEnd());
    EXPECT_EQ(Str(cursor.LineWord()), "") << "lines after the end read as empty";
    cursor.NextLine();
    EXPECT_EQ(cursor.position(), text.size);
}

TEST(ListingLines, NulEndsTheTextOfALineButNotTheLines) {
    const std::string text("2\0junk\nab\0cd\n3,x", 16);
    const ExactBytes bytes(text);
    ListingCursor cursor(bytes.bytes.get(), bytes.size);
    EXPECT_EQ(Str(cursor.LineWord()), "2");
    cursor.NextLine();
    EXPECT_EQ(Str(cursor.LineWord()), "ab");
    EXPECT_EQ(Str(cursor.Rest()), "ab");
    cursor.NextLine();
    EXPECT_EQ(Str(cursor.Rest()), "3,x");
}

TEST(ListingLines, NoDataAtAll) {
    ListingCursor cursor(nullptr, 5);
    EXPECT_TRUE(cursor.AtEnd());
    EXPECT_TRUE(cursor.LineWord().empty());
    EXPECT_TRUE(cursor.Rest().empty());
    EXPECT_EQ(ScanDeviceLine(cursor.Rest()).matched, 0);
}

// What sscanf makes of the same text: the number of fields it filled and
// their texts.
struct LibraryScan {
    int matched;
    std::vector<std::string> fields;
};

LibraryScan ScanWithLibrary(const std::string& text) {
    const std::size_t size = text.size() + 1;
    std::vector<std::vector<char>> field(7, std::vector<char>(size, '\0'));
    int matched = std::sscanf(text.c_str(), "%[^','],%[^','],%[^','],%[^','],%[^','],%[^','],%s", field[0].data(),
                              field[1].data(), field[2].data(), field[3].data(), field[4].data(), field[5].data(),
                              field[6].data());
    if (matched < 0) matched = 0;  // EOF before the first field
    LibraryScan scan{matched, {}};
    for (int i = 0; i < matched; ++i) scan.fields.emplace_back(field[i].data());
    return scan;
}

TEST(DeviceLineScan, MatchesSscanfOnTheRestOfTheFile) {
    const char* const cases[] = {
        "0,Hard Disk,IBM,DDRS-34560W,S97B,AHA-2940UW,2\n1,No Device,,No Device,,AHA-2940UW,0\n",
        "7,Host Adapter,Adaptec,AHA-2940UW,03,AHA-2940UW,0",  // no final line feed
        "1,No Device,,No Device,,AHA-2940UW,0\n",             // empty vendor stops at field 3
        "3,CD-ROM,TOSHIBA,CD-ROM, 4x,3136,aha,2\n",           // a comma in the product shifts the rest
        "3,CD-ROM,O'Neil,Drive,1.0,aha,2\n",                  // an apostrophe ends the field and the scan
        "3,CD-ROM\n4,Tape,HP,C1537A,L708,aha,2\n",            // a short line runs on into the next
        "1,Tape,HP,C1537A,L708,aha,\n5,xx\n",                 // field 7 begins on the next line
        "1,Tape,HP,C1537A,L708,aha,   \n\n",                  // field 7 missing altogether
        "1,Tape,HP,C1537A,L708,aha",                          // the text ends where field 7's comma would be
        ",Tape,HP\n",                                         // empty first field
        "",
        "\n",
        "   5 , Tape , HP , X , Y , Z ,  9  trailing\n",
        "1,2,3,4,5,6,7,8,9\n",
        "'quoted',x\n",
        "a,b,c,d,e,f,\tg\th\n",
    };
    for (const char* text : cases) {
        const std::string input(text);
        const ExactBytes bytes(input);
        const DeviceLineFields ours = ScanDeviceLine({bytes.bytes.get(), bytes.size});
        const LibraryScan library = ScanWithLibrary(input);
        ASSERT_EQ(ours.matched, library.matched) << '"' << input << '"';
        for (int i = 0; i < ours.matched; ++i)
            EXPECT_EQ(Str(ours.field[i]), library.fields[i]) << '"' << input << "\" field " << i + 1;
    }
}

TEST(DeviceLineScan, ARunHandedInWithANulEndsThere) {
    const std::string text("3,CD\0ROM,x,y,z,w,1", 18);
    const DeviceLineFields fields = ScanDeviceLine(RunOf(text));
    EXPECT_EQ(fields.matched, 2);
    EXPECT_EQ(Str(fields.field[1]), "CD");
}

}  // namespace
}  // namespace td
