// The words shown for a failed diagnostic command.
//
// Built from the `sense_report` and the `last_error` only when the
// diagnostics dialog shows a failure: the explanation itself, and, when the
// device's sense data was recognised, the sense values behind it.
#pragma once

#include "common/messages.h"
#include "scsi/failure_records.h"

namespace td {

constexpr int kExplanationSize = 256;

struct FailureExplanation {
    // The explanation; empty when neither record holds one.
    char text[kExplanationSize];
    // "Last Error Reported Sense Data:\nSense Key: 2\nSense Code: 3a\n
    // Sense Code Qualifier: 0"; empty unless the sense data was recognised.
    char sense_display[kExplanationSize];
};

// In order of precedence: the recognised sense data's message (with the
// sense display text), the system text, the string of text_id, nothing.
void ExplainFailure(Messages& messages, const SenseReport& sense_report, const LastError& last_error,
                    FailureExplanation& explanation);

}  // namespace td
