// The bounded scanner under the listing reader: numbers, words, lines, and
// the fields of a device line.
#include <gtest/gtest.h>

#include <climits>
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

TEST(ListingLines, ALineEndsAtItsLineFeedWithoutACarriageReturnBeforeIt) {
    const ExactBytes text("BL2940U\r\nHBA  ALPHA \n\r\r\nlast\r");
    ListingCursor cursor(text.bytes.get(), text.size);
    EXPECT_EQ(Str(cursor.Line()), "BL2940U");
    cursor.NextLine();
    EXPECT_EQ(Str(cursor.Line()), "HBA  ALPHA ") << "blanks are part of the line";
    cursor.NextLine();
    EXPECT_EQ(Str(cursor.Line()), "\r") << "only the one carriage return before the line feed goes";
    cursor.NextLine();
    EXPECT_EQ(Str(cursor.Line()), "last\r") << "no line feed: nothing goes";
    cursor.NextLine();
    EXPECT_TRUE(cursor.Line().empty());
}

TEST(ListingLines, NulEndsTheTextOfALineButNotTheLines) {
    const std::string text("2\0junk\nab\0cd\n3,x", 16);
    const ExactBytes bytes(text);
    ListingCursor cursor(bytes.bytes.get(), bytes.size);
    EXPECT_EQ(Str(cursor.LineWord()), "2");
    cursor.NextLine();
    EXPECT_EQ(Str(cursor.LineWord()), "ab");
    EXPECT_EQ(Str(cursor.Line()), "ab");
    cursor.NextLine();
    EXPECT_EQ(Str(cursor.Line()), "3,x");
}

TEST(ListingLines, NoDataAtAll) {
    ListingCursor cursor(nullptr, 5);
    EXPECT_TRUE(cursor.AtEnd());
    EXPECT_TRUE(cursor.LineWord().empty());
    EXPECT_TRUE(cursor.Line().empty());
    EXPECT_EQ(ScanDeviceLine(cursor.Line()).matched, 0);
}

// The fields the scan found, as texts.
std::vector<std::string> Found(const std::string& line) {
    const ExactBytes bytes(line);
    const DeviceLineFields fields = ScanDeviceLine({bytes.bytes.get(), bytes.size});
    std::vector<std::string> found;
    for (int i = 0; i < fields.matched; ++i) found.push_back(Str(fields.field[i]));
    return found;
}

using Fields = std::vector<std::string>;

TEST(DeviceLineScan, EmptyTextsAndApostrophesAreFields) {
    EXPECT_EQ(Found("1,No Device,,No Device,,HBA-ALPHA,0"),
              (Fields{"1", "No Device", "", "No Device", "", "HBA-ALPHA", "0"}));
    EXPECT_EQ(Found("0,,,,,,2"), (Fields{"0", "", "", "", "", "", "2"}));
    EXPECT_EQ(Found("3,Hard Disk,O'RBITAL,'quoted',1.0',aha,2"),
              (Fields{"3", "Hard Disk", "O'RBITAL", "'quoted'", "1.0'", "aha", "2"}));
    EXPECT_EQ(Found("   5 , Tape , HP , X , Y , Z ,  9  trailing"),
              (Fields{"   5 ", " Tape ", " HP ", " X ", " Y ", " Z ", "9"}))
        << "blanks belong to the texts; the version is the first word";
    EXPECT_EQ(Found("-4,T,V,P,R,A,+2"), (Fields{"-4", "T", "V", "P", "R", "A", "+2"}));
}

TEST(DeviceLineScan, AMalformedLineStopsAtItsFirstBadField) {
    EXPECT_EQ(Found(""), Fields{});
    EXPECT_EQ(Found(",Tape,HP,X,Y,Z,2"), Fields{}) << "an empty SCSI ID";
    EXPECT_EQ(Found("x3,Tape,HP,X,Y,Z,2"), Fields{}) << "a SCSI ID that is no number";
    EXPECT_EQ(Found("3 4,Tape,HP,X,Y,Z,2"), Fields{});
    EXPECT_EQ(Found("3,CD-ROM"), (Fields{"3", "CD-ROM"})) << "the last field there counts";
    EXPECT_EQ(Found("3,CD-ROM,TOSHIBA,"), (Fields{"3", "CD-ROM", "TOSHIBA", ""}));
    EXPECT_EQ(Found("1,Tape,HP,C1537A,L708,aha"), (Fields{"1", "Tape", "HP", "C1537A", "L708", "aha"}));
    EXPECT_EQ(Found("1,Tape,HP,C1537A,L708,aha,"), (Fields{"1", "Tape", "HP", "C1537A", "L708", "aha"}))
        << "an empty SCSI version";
    EXPECT_EQ(Found("1,Tape,HP,C1537A,L708,aha,   "), (Fields{"1", "Tape", "HP", "C1537A", "L708", "aha"}));
    EXPECT_EQ(Found("1,Tape,HP,C1537A,L708,aha,2x"), (Fields{"1", "Tape", "HP", "C1537A", "L708", "aha"}));
    EXPECT_EQ(Found("1,2,3,4,5,6,7,8,9"), (Fields{"1", "2", "3", "4", "5", "6"})) << "\"7,8,9\" is no SCSI version";
}

TEST(DeviceLineScan, ARunHandedInWithANulEndsThere) {
    const std::string text("3,CD\0ROM,x,y,z,w,1", 18);
    const DeviceLineFields fields = ScanDeviceLine(RunOf(text));
    EXPECT_EQ(fields.matched, 2);
    EXPECT_EQ(Str(fields.field[1]), "CD");
}

}  // namespace
}  // namespace td
