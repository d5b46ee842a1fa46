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

TextRun ListingCursor::Rest() const {
    if (AtEnd()) return {data_ + size_, 0};
    const void* nul = std::memchr(data_ + position_, '\0', size_ - position_);
    const std::size_t end = nul != nullptr ? static_cast<std::size_t>(static_cast<const char*>(nul) - data_) : size_;
    return {data_ + position_, end - position_};
}

void ListingCursor::NextLine() {
    if (AtEnd()) return;
    const void* feed = std::memchr(data_ + position_, '\n', size_ - position_);
    position_ = feed != nullptr ? static_cast<std::size_t>(static_cast<const char*>(feed) - data_) + 1 : size_;
}

DeviceLineFields ScanDeviceLine(TextRun text) {
    DeviceLineFields fields;
    if (text.begin == nullptr) return fields;
    // A run handed in from elsewhere may hold a NUL: the string ends there.
    const void* nul = std::memchr(text.begin, '\0', text.length);
    const char* const end = nul != nullptr ? static_cast<const char*>(nul) : text.begin + text.length;
    const char* at = text.begin;
    for (int i = 0; i < kDeviceLineFields - 1; ++i) {
        const char* run_end = at;
        while (run_end < end && *run_end != ',' && *run_end != '\'') ++run_end;
        if (run_end == at) return fields;
        fields.field[i] = {at, static_cast<std::size_t>(run_end - at)};
        fields.matched = i + 1;
        // The literal comma after the field; an apostrophe or the end of
        // the text stops the scan here.
        if (run_end == end || *run_end != ',') return fields;
        at = run_end + 1;
    }
    while (at < end && IsListingSpace(*at)) ++at;
    const char* run_end = at;
    while (run_end < end && !IsListingSpace(*run_end)) ++run_end;
    if (run_end == at) return fields;
    fields.field[kDeviceLineFields - 1] = {at, static_cast<std::size_t>(run_end - at)};
    fields.matched = kDeviceLineFields;
    return fields;
}

}  // namespace td
