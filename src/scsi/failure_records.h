// Why the last diagnostic command failed.
//
// A command answers only passed or failed; the reason travels in two
// program-wide records that the diagnostics dialog reads afterwards:
// `sense_report`, filled from the device's sense data on either transport,
// and `last_error`, filled from everything else a failed command met: a
// system error code, the status of a request that brought no sense data, a
// request that never finished, data read back that differs from the data
// written. The running program holds one of each and hands them to the
// commands by reference.
#pragma once

#include <cstdint>

namespace td {

struct SenseReport {
    std::int32_t sense_key;        // byte 2, bits 0-3, of the sense data read
    std::int32_t sense_code;       // additional sense code (ASC)
    std::int32_t sense_qualifier;  // additional sense code qualifier (ASCQ)
    std::int32_t message_id;       // string id of the explanation; 0 = no sense data read
};

// text_id of a last_error whose explanation is the system's own text.
constexpr std::int32_t kUseSystemText = -1;
constexpr int kSystemTextSize = 64;
constexpr int kReportedValues = 4;

struct LastError {
    std::int32_t text_id;               // 0 none, kUseSystemText, or a string id (6100, 6200, 7010 ...)
    char system_text[kSystemTextSize];  // NUL-terminated system message text
    // The values text_id's sentence names, in its order: a status byte, a
    // system error code (with kUseSystemText, the code system_text is the
    // text of), the wait in seconds, the bytes of a READ BUFFER mismatch.
    std::uint32_t values[kReportedValues];
};

// Records a failure that string `text_id` explains with `values`.
void RecordFailure(LastError& last_error, std::int32_t text_id, std::uint32_t first = 0, std::uint32_t second = 0,
                   std::uint32_t third = 0, std::uint32_t fourth = 0);

// Empties both records: the test sequence does so when it starts and when
// the user goes on after a failure, so that an explanation never outlives
// the test it belongs to.
void ClearFailureRecords(SenseReport& sense_report, LastError& last_error);

}  // namespace td
