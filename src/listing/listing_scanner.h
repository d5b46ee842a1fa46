// Reading a listing's bytes without ever leaving them.
//
// The listing reader gets a file image as bytes and a length. Nothing
// promises a terminating NUL, a final line feed, or lines and fields of any
// particular length, so every look at the text goes through these helpers,
// and none of them touches a byte outside [data, data + size).
//
// Two kinds of "end" meet here:
// - Going from line to line looks for line feeds among all the bytes; a NUL
//   byte is an ordinary byte there, so a stray NUL never hides the lines
//   after it.
// - The scans inside a line read the text the way the C library's string
//   functions do: a NUL byte ends the text exactly like the end of the data.
#pragma once

#include <cstddef>

namespace td {

// A run of bytes inside the listing. Never NUL-terminated and never holding
// a NUL byte; copy it into a field with CopyBytes (common/fixed_text.h),
// which cuts it to the field.
struct TextRun {
    const char* begin = nullptr;
    std::size_t length = 0;

    bool empty() const { return length == 0; }
};

// White space as the C library's isspace sees it in the "C" locale: blank,
// tab, line feed, vertical tab, form feed, carriage return.
bool IsListingSpace(char c);

// atoi on a run: leading white space, an optional sign, then decimal
// digits; anything else ends the number, and no digits give 0. A number
// beyond the range of int stops at INT_MAX or INT_MIN instead of
// overflowing.
int RunToInt(TextRun run);

// A read position that always stands at the start of a line.
class ListingCursor {
public:
    ListingCursor(const char* data, std::size_t size);

    // The first white-space-delimited word of the line: blanks at the start
    // of the line are skipped and the word ends at white space, at the end
    // of the line or at the end of the text. The word never reaches into
    // the next line, so a blank line gives an empty word.
    TextRun LineWord() const;

    // The text of the line: up to its line feed, the first NUL byte or the
    // end of the data, without a carriage return just before its line feed
    // (a file saved by a Windows editor). Never reaches into the next line.
    TextRun Line() const;

    // Moves past the first line feed at or after the cursor. Without one the
    // cursor goes to the end of the data, so every line that a short file
    // lacks reads as an empty line.
    void NextLine();

    std::size_t position() const { return position_; }
    bool AtEnd() const { return position_ >= size_; }

private:
    const char* data_;
    std::size_t size_;
    std::size_t position_ = 0;
};

// The seven fields of a device line.
constexpr int kDeviceLineFields = 7;

struct DeviceLineFields {
    TextRun field[kDeviceLineFields];
    int matched = 0;  // fields 0 to matched - 1 were found; the rest were not looked at
};

// Splits the text of one device line (a Line()) into its seven fields:
// - fields 1 to 6 each end at the next comma; the texts (fields 2 to 6) may
//   be empty and hold any other character, the apostrophe included;
// - field 1, the SCSI ID, must be a number: an optional sign and decimal
//   digits, blanks around them allowed;
// - field 7, the SCSI version, is the first white-space-delimited word after
//   the sixth comma and must be an optional sign and decimal digits; the
//   rest of the line is not looked at.
// The scan stops at the first field that is missing or is not a number;
// `matched` counts the fields before it. The last field of a line that has
// too few commas still counts as found when it is a text, so "3,CD-ROM"
// gives the SCSI ID and the type. A NUL in the text ends it.
DeviceLineFields ScanDeviceLine(TextRun text);

}  // namespace td
