// The words shown for a failed diagnostic command.
//
// Built from the `sense_report` and the `last_error` only when the
// diagnostics dialog shows a failure: the explanation itself, and, when the
// device's sense data was read, the sense values behind it.
#pragma once

#include "common/messages.h"
#include "scsi/failure_records.h"

namespace td {

constexpr int kExplanationSize = 256;

struct FailureExplanation {
    // The explanation for the failure box; empty only when neither record
    // holds a failure.
    char text[kExplanationSize];
    // "Last Error Reported Sense Data:\nSense Key: 2\nSense Code: 3a\n
    // Sense Code Qualifier: 0"; empty unless sense data was read.
    char sense_display[kExplanationSize];
    // What the dialog's information block shows: the sense display when
    // there is one, otherwise what was reported in a few lines (the
    // explanation without the advice that goes before it in the box).
    char information[kExplanationSize];
};

// In order of precedence: the sense data (the table's advice, or else the
// standard's names of its key and codes, with the sense display text), the
// system's text for its error code (or the code, when it has no text), the
// sentence of text_id with the values it names, nothing.
void ExplainFailure(Messages& messages, const SenseReport& sense_report, const LastError& last_error,
                    FailureExplanation& explanation);

}  // namespace td
