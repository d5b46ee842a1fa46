#include "listing/listing_scanner.h"

#include <climits>
#include <cstring>

namespace td {

bool IsListingSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

int RunToInt(TextRun run) {
    std::size_t at = 0;
    while (at < run.length && IsListingSpace(run.begin[at])) ++at;
    bool negative = false;
    if (at < run.length && (run.begin[at] == '+' || run.begin[at] == '-')) {
        negative = run.begin[at] == '-';
        ++at;
    }
    // Accumulated as a negative number, whose range reaches INT_MIN.
    long long value = 0;
    const long long limit = negative ? static_cast<long long>(INT_MIN) : -static_cast<long long>(INT_MAX);
    for (; at < run.length && run.begin[at] >= '0' && run.begin[at] <= '9'; ++at) {
        value = value * 10 - (run.begin[at] - '0');
        if (value < limit) {
            value = limit;
            break;
        }
    }
    return static_cast<int>(negative ? value : -value);
}

ListingCursor::ListingCursor(const char* data, std::size_t size) : data_(data), size_(data == nullptr ? 0 : size) {}

TextRun ListingCursor::LineWord() const {
    std::size_t at = position_;
    while (at < size_ && data_[at] != '\n' && IsListingSpace(data_[at])) ++at;
    std::size_t end = at;
    while (end < size_ && data_[end] != '\0' && !IsListingSpace(data_[end])) ++end;
    return {data_ + at, end - at};
}

TextRun ListingCursor::Line() const {
    if (AtEnd()) return {data_ + size_, 0};
    std::size_t end = position_;
    while (end < size_ && data_[end] != '\n' && data_[end] != '\0') ++end;
    if (end > position_ && end < size_ && data_[end] == '\n' && data_[end - 1] == '\r') --end;
    return {data_ + position_, end - position_};
}

void ListingCursor::NextLine() {
    if (AtEnd()) return;
    const void* feed = std::memchr(data_ + position_, '\n', size_ - position_);
    position_ = feed != nullptr ? static_cast<std::size_t>(static_cast<const char*>(feed) - data_) + 1 : size_;
}

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// An optional sign and at least one decimal digit, and nothing else.
bool IsWholeNumber(const char* begin, const char* end) {
    if (begin < end && (*begin == '+' || *begin == '-')) ++begin;
    if (begin == end) return false;
    for (; begin < end; ++begin) {
        if (!IsDigit(*begin)) return false;
    }
    return true;
}

// The same with blanks around it.
bool IsPaddedNumber(const char* begin, const char* end) {
    while (begin < end && IsBlank(*begin)) ++begin;
    while (end > begin && IsBlank(end[-1])) --end;
    return IsWholeNumber(begin, end);
}

}  // namespace

DeviceLineFields ScanDeviceLine(TextRun text) {
    DeviceLineFields fields;
    if (text.begin == nullptr) return fields;
    // A run handed in from elsewhere may hold a NUL: the text ends there.
    const void* nul = std::memchr(text.begin, '\0', text.length);
    const char* const end = nul != nullptr ? static_cast<const char*>(nul) : text.begin + text.length;
    const char* at = text.begin;
    for (int i = 0; i < kDeviceLineFields - 1; ++i) {
        const char* field_end = at;
        while (field_end < end && *field_end != ',') ++field_end;
        if (i == 0 && !IsPaddedNumber(at, field_end)) return fields;
        fields.field[i] = {at, static_cast<std::size_t>(field_end - at)};
        fields.matched = i + 1;
        if (field_end == end) return fields;  // the line ends without this field's comma
        at = field_end + 1;
    }
    while (at < end && IsListingSpace(*at)) ++at;
    const char* word_end = at;
    while (word_end < end && !IsListingSpace(*word_end)) ++word_end;
    if (!IsWholeNumber(at, word_end)) return fields;
    fields.field[kDeviceLineFields - 1] = {at, static_cast<std::size_t>(word_end - at)};
    fields.matched = kDeviceLineFields;
    return fields;
}

}  // namespace td
