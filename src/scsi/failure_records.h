// Why the last diagnostic command failed.
//
// A command answers only passed or failed; the reason travels in two
// program-wide records that the diagnostics dialog reads afterwards:
// `sense_report`, filled from the device's sense data on either transport,
// and `last_error`, filled from a system error code or a fixed message on
// NT. The running program holds one of each and hands them to the commands
// by reference.
#pragma once

#include <cstdint>

namespace td {

struct SenseReport {
    std::int32_t sense_key;        // 0 until a known sense key was seen
    std::int32_t sense_code;       // additional sense code (ASC)
    std::int32_t sense_qualifier;  // additional sense code qualifier (ASCQ)
    std::int32_t message_id;       // string id of the explanation; 0 = nothing recognised
};

// text_id of a last_error whose explanation is the system's own text.
constexpr std::int32_t kUseSystemText = -1;
constexpr int kSystemTextSize = 64;

struct LastError {
    std::int32_t text_id;               // 0 none, kUseSystemText, or a string id (6100, 6200)
    char system_text[kSystemTextSize];  // NUL-terminated system message text
};

// Empties both records: the test sequence does so when it starts and when
// the user goes on after a failure, so that an explanation never outlives
// the test it belongs to.
void ClearFailureRecords(SenseReport& sense_report, LastError& last_error);

}  // namespace td
