#include "scsi/explanation.h"

#include "common/fixed_text.h"
#include "common/number_text.h"
#include "resources/resource_ids.h"

namespace td {
namespace {

// Loads string `id` into `buffer`; a string that does not load leaves the
// buffer empty.
template <std::size_t N>
void LoadInto(Messages& messages, int id, char (&buffer)[N]) {
    buffer[0] = '\0';
    if (messages.LoadText(id, buffer, static_cast<int>(N)) == 0) buffer[0] = '\0';
    buffer[N - 1] = '\0';
}

// Appends the label of string `label_id` and " %x" of `value`.
template <std::size_t N>
void AppendLabelled(Messages& messages, int label_id, std::int32_t value, char (&text)[N]) {
    char label[64];
    LoadInto(messages, label_id, label);
    AppendText(text, label);
    AppendText(text, " ");
    AppendHex(text, static_cast<unsigned>(value));
}

}  // namespace

void ExplainFailure(Messages& messages, const SenseReport& sense_report, const LastError& last_error,
                    FailureExplanation& explanation) {
    explanation.text[0] = '\0';
    explanation.sense_display[0] = '\0';

    if (sense_report.message_id != 0) {
        LoadInto(messages, sense_report.message_id, explanation.text);
        LoadInto(messages, IDS_SENSE_HEADING, explanation.sense_display);
        AppendLabelled(messages, IDS_SENSE_KEY_LABEL, sense_report.sense_key, explanation.sense_display);
        AppendLabelled(messages, IDS_SENSE_CODE_LABEL, sense_report.sense_code, explanation.sense_display);
        AppendLabelled(messages, IDS_SENSE_QUALIFIER_LABEL, sense_report.sense_qualifier, explanation.sense_display);
    } else if (last_error.text_id == kUseSystemText) {
        // Bounded by the record's own size: the text is used even if it
        // somehow lost its terminator.
        CopyBytes(explanation.text, last_error.system_text, sizeof last_error.system_text);
    } else if (last_error.text_id != 0) {
        LoadInto(messages, last_error.text_id, explanation.text);
    }
}

}  // namespace td
