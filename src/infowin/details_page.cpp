#include "infowin/details_page.h"

#include <new>

#include "common/fixed_text.h"
#include "common/text_template.h"
#include "infowin/capacity_text.h"
#include "inventory/slot_kind.h"
#include "resources/resource_ids.h"
#include "scsi/explanation.h"
#include "scsi/nt_questions.h"

namespace td {
namespace {

void LoadInto(Messages& messages, int id, char (&text)[kDetailsTextSize]) {
    text[0] = '\0';
    if (messages.LoadText(id, text, static_cast<int>(sizeof text)) <= 0) text[0] = '\0';
}

// An edit control breaks lines at CR LF only.
void CopyLines(const char* source, char (&text)[kDetailsTextSize]) {
    std::size_t used = 0;
    for (; *source != '\0' && used + 2 < sizeof text; ++source) {
        if (*source == '\n' && (used == 0 || text[used - 1] != '\r')) text[used++] = '\r';
        text[used++] = *source;
    }
    text[used] = '\0';
}

// A fact that is not known says why; never nothing.
void DescribeUnknown(const Fact& fact, Messages& messages, char (&text)[kDetailsTextSize]) {
    switch (fact.state) {
        case FactState::Asking:
            LoadInto(messages, IDS_DETAILS_ASKING, text);
            return;
        case FactState::NoMedium:
            LoadInto(messages, IDS_DETAILS_NO_MEDIUM, text);
            return;
        case FactState::NotApplicable:
            LoadInto(messages, IDS_DETAILS_INAPPLICABLE, text);
            return;
        case FactState::Failed: {
            FailureExplanation explanation;
            ExplainFailure(messages, fact.why.sense_report, fact.why.last_error, explanation);
            CopyLines(explanation.text, text);
            // The system's texts end their line themselves.
            std::size_t length = 0;
            while (text[length] != '\0') ++length;
            while (length > 0 && (text[length - 1] == '\r' || text[length - 1] == '\n' || text[length - 1] == ' '))
                text[--length] = '\0';
            if (text[0] != '\0') return;
            break;
        }
        case FactState::Known:
        case FactState::NotReported:
            break;
    }
    LoadInto(messages, IDS_DETAILS_NOT_REPORTED, text);
}

}  // namespace

bool SlotHasDetails(const Inventory& inventory, int slot, const SharedTexts& texts) {
    if (slot < 0 || slot >= kMaxSlots) return false;
    const DeviceSlot& device = inventory.slots[slot];
    if (IsEmpty(device.type_name)) return false;  // a slot a re-scan cleared
    const SlotKind kind = KindOfSlot(texts, device);
    return kind != SlotKind::HostAdapter && kind != SlotKind::NoDevice;
}

DetailsPageContent DescribeDetailsPage(const DeviceFacts& facts, Messages& messages, NumberFormat& format) {
    DetailsPageContent page{};
    page.fields[0].control = IDC_DETAILS_CAPACITY;
    page.fields[1].control = IDC_DETAILS_SERIAL;
    page.fields[2].control = IDC_DETAILS_IDENTIFIER;
    if (facts.capacity.state == FactState::Known) {
        WriteCapacity(facts.capacity_answer, messages, format, page.fields[0].text, sizeof page.fields[0].text);
    } else {
        DescribeUnknown(facts.capacity, messages, page.fields[0].text);
    }
    if (facts.serial.state == FactState::Known) {
        CopyText(page.fields[1].text, facts.serial_text);
    } else {
        DescribeUnknown(facts.serial, messages, page.fields[1].text);
    }
    if (facts.identifier.state == FactState::Known) {
        CopyText(page.fields[2].text, facts.identifier_text);
    } else {
        DescribeUnknown(facts.identifier, messages, page.fields[2].text);
    }
    return page;
}

const std::uint32_t kDetailsPageHelpIds[8] = {
    IDC_DETAILS_CAPACITY,
    IDH_DETAILS_CAPACITY,
    IDC_DETAILS_SERIAL,
    IDH_DETAILS_SERIAL,
    IDC_DETAILS_IDENTIFIER,
    IDH_DETAILS_IDENTIFIER,
    0,
    0,
};

DetailsAsking::DetailsAsking(const DetailsSources& sources, int slot) : sources_(sources) {
    FailureRecords why{};
    if (slot < 0 || slot >= kMaxSlots) {
        RecordFailure(why.last_error, IDS_DETAILS_NOT_REPORTED);
        questions_.GiveUp(why);
        return;
    }
    if (sources.from_listing) {
        RecordFailure(why.last_error, IDS_DETAILS_FROM_LISTING);
        questions_.GiveUp(why);
        return;
    }
    const DeviceSlot& device = sources.inventory.slots[slot];
    if (sources.inventory.platform == kPlatformWin95) {
        transport_.reset(new (std::nothrow) AspiQuestionTransport(sources.aspi, sources.aspi_area, sources.clock,
                                                                  device.adapter_number, device.target_id));
    } else {
        transport_.reset(new (std::nothrow)
                             NtQuestionTransport(sources.device_io, sources.worker, sources.clock, device));
    }
    if (transport_ == nullptr) {
        RecordFailure(why.last_error, IDS_NO_MEMORY);
        questions_.GiveUp(why);
    }
}

bool DetailsAsking::ScanRunning() const {
    return sources_.inventory.platform == kPlatformWin95 &&
           (sources_.inventory.scan_complete == 0 || sources_.chain.scan_busy != 0);
}

bool DetailsAsking::Step() {
    if (questions_.Done() || transport_ == nullptr) return false;
    if (!started_) {
        if (ScanRunning()) {
            const std::uint32_t now = sources_.clock.Ticks();
            if (!waiting_for_scan_) {
                waiting_for_scan_ = true;
                waiting_since_ = now;
            }
            if (static_cast<std::uint32_t>(now - waiting_since_) < kQuestionWaitMs) return false;
            FailureRecords why{};
            RecordFailure(why.last_error, IDS_SCAN_HOLDS_BLOCK);
            questions_.GiveUp(why);
            return true;
        }
        started_ = true;
    }
    return StepQuestions(questions_, *transport_, question_out_);
}

}  // namespace td
