#include "scsi/explanation.h"

#include <cstdint>

#include "common/fixed_text.h"
#include "common/number_text.h"
#include "common/text_template.h"
#include "resources/resource_ids.h"
#include "scsi/asc_names.h"
#include "scsi/status_names.h"

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

// A value as a place of a sentence shows it.
struct Place {
    char text[16] = "";
};

Place Decimal(std::uint32_t value) {
    Place place;
    AppendUnsigned(place.text, value);
    return place;
}

Place HexByte(std::uint32_t value) {
    Place place;
    AppendHexByte(place.text, value);
    return place;
}

// Loads sentence `id` and fills its places with `values`.
template <std::size_t N, std::size_t M>
void Sentence(Messages& messages, int id, const char* const (&values)[M], char (&out)[N]) {
    char pattern[kExplanationSize];
    LoadInto(messages, id, pattern);
    FillText(out, pattern, values);
}

// The sense data the table has no advice for: the key's name in the
// user's language, the standard's name of the ASC/ASCQ pair and the codes.
void ExplainFromStandard(Messages& messages, const SenseReport& sense_report, char (&out)[kExplanationSize]) {
    char key_name[64];
    LoadInto(messages, IDS_KEY_NO_SENSE + (sense_report.sense_key & 0x0F), key_name);
    const auto asc = static_cast<std::uint8_t>(sense_report.sense_code);
    const auto ascq = static_cast<std::uint8_t>(sense_report.sense_qualifier);
    const Place asc_text = HexByte(asc), ascq_text = HexByte(ascq);
    if (const char* name = AscAscqName(asc, ascq)) {
        const char* const values[] = {key_name, name, asc_text.text, ascq_text.text};
        Sentence(messages, IDS_SENSE_REPORTED, values, out);
    } else {
        const char* const values[] = {key_name, asc_text.text, ascq_text.text};
        Sentence(messages, IDS_SENSE_UNNAMED_CODE, values, out);
    }
}

// The system's text for its error code; the code itself when the system
// had no text for it.
void ExplainSystemError(Messages& messages, const LastError& last_error, char (&out)[kExplanationSize]) {
    // Bounded by the record's own size: the text is used even if it
    // somehow lost its terminator.
    CopyBytes(out, last_error.system_text, sizeof last_error.system_text);
    if (out[0] != '\0' || last_error.values[0] == 0) return;
    const Place code = Decimal(last_error.values[0]);
    const char* const values[] = {code.text};
    Sentence(messages, IDS_SYSTEM_ERROR_CODE, values, out);
}

// Sentences that name a status byte: its published name, then its value.
struct StatusSentence {
    int text_id;
    const char* (*name_of)(std::uint8_t);
};
constexpr StatusSentence kStatusSentences[] = {
    {IDS_ASPI_REQUEST_STATUS, AspiRequestStatusName},
    {IDS_ASPI_REQUEST_REFUSED, AspiRequestStatusName},
    {IDS_ADAPTER_STATUS, HostAdapterStatusName},
    {IDS_TARGET_STATUS, ScsiStatusName},
};

// The last_error's own sentence. The READ BUFFER mismatch keeps its advice
// first in the box; the information block gets the bytes that differ.
void ExplainLastError(Messages& messages, const LastError& last_error, FailureExplanation& explanation) {
    const std::uint32_t* v = last_error.values;
    for (const StatusSentence& sentence : kStatusSentences) {
        if (sentence.text_id != last_error.text_id) continue;
        const auto status = static_cast<std::uint8_t>(v[0]);
        char unknown[64];
        const char* name = sentence.name_of(status);
        if (name == nullptr) {
            LoadInto(messages, IDS_UNKNOWN_STATUS, unknown);
            name = unknown;
        }
        const Place value = HexByte(status);
        const char* const values[] = {name, value.text};
        Sentence(messages, sentence.text_id, values, explanation.text);
        return;
    }
    switch (last_error.text_id) {
        case IDS_REQUEST_ABORTED:
        case IDS_DETAILS_NO_ANSWER: {
            const Place seconds = Decimal(v[0]);
            const char* const values[] = {seconds.text};
            Sentence(messages, last_error.text_id, values, explanation.text);
            return;
        }
        case IDS_OPEN_FAILED: {
            char reason[kExplanationSize];
            ExplainSystemError(messages, last_error, reason);
            LoadInto(messages, IDS_OPEN_FAILED, explanation.text);
            if (reason[0] != '\0') {
                AppendText(explanation.text, "\n");
                AppendText(explanation.text, reason);
            }
            return;
        }
        case IDS_READ_BUFFER_MISMATCH: {
            LoadInto(messages, IDS_READ_BUFFER_MISMATCH, explanation.text);
            if (v[0] == 0) return;
            const Place count = Decimal(v[0]), offset = Decimal(v[1]), written = HexByte(v[2]), read = HexByte(v[3]);
            const char* const values[] = {count.text, offset.text, written.text, read.text};
            Sentence(messages, IDS_READ_BUFFER_DIFFERS, values, explanation.information);
            AppendText(explanation.text, "\n\n");
            AppendText(explanation.text, explanation.information);
            return;
        }
        default:
            LoadInto(messages, last_error.text_id, explanation.text);
            return;
    }
}

}  // namespace

void ExplainFailure(Messages& messages, const SenseReport& sense_report, const LastError& last_error,
                    FailureExplanation& explanation) {
    explanation.text[0] = '\0';
    explanation.sense_display[0] = '\0';
    explanation.information[0] = '\0';

    if (sense_report.message_id != 0) {
        if (sense_report.message_id == IDS_SENSE_REPORTED) {
            ExplainFromStandard(messages, sense_report, explanation.text);
        } else {
            LoadInto(messages, sense_report.message_id, explanation.text);
        }
        LoadInto(messages, IDS_SENSE_HEADING, explanation.sense_display);
        AppendLabelled(messages, IDS_SENSE_KEY_LABEL, sense_report.sense_key, explanation.sense_display);
        AppendLabelled(messages, IDS_SENSE_CODE_LABEL, sense_report.sense_code, explanation.sense_display);
        AppendLabelled(messages, IDS_SENSE_QUALIFIER_LABEL, sense_report.sense_qualifier, explanation.sense_display);
        CopyText(explanation.information, explanation.sense_display);
    } else if (last_error.text_id == kUseSystemText) {
        ExplainSystemError(messages, last_error, explanation.text);
    } else if (last_error.text_id != 0) {
        ExplainLastError(messages, last_error, explanation);
    }
    if (explanation.information[0] == '\0') CopyText(explanation.information, explanation.text);
}

}  // namespace td
