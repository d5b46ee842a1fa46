// The Details page of the device properties sheet, decided without a
// window: which slots have it, what its three fields say, and the asking
// behind them.
//
// The page comes third, after the device and the host adapter pages, for a
// slot that holds a device (not an adapter's own slot nor an empty ID). It
// asks the device (device_questions.h) only when it is first shown, from
// the page's timer, one question at a time, and shows each fact as soon as
// it is known; every field says why where a fact cannot be had.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "common/clock.h"
#include "common/device_io.h"
#include "common/messages.h"
#include "common/number_format.h"
#include "common/shared_texts.h"
#include "common/worker.h"
#include "discovery/aspi_discovery.h"
#include "inventory/inventory.h"
#include "scsi/aspi_library.h"
#include "scsi/aspi_questions.h"
#include "scsi/device_questions.h"
#include "scsi/question_transport.h"

namespace td {

// Whether slot `slot` of the table gets a Details page.
bool SlotHasDetails(const Inventory& inventory, int slot, const SharedTexts& texts);

constexpr std::size_t kDetailsTextSize = 512;

struct DetailsField {
    int control;
    char text[kDetailsTextSize];  // lines separated by CR LF, as an edit control shows them
};

// Capacity, serial number and identifier, in the page's order.
struct DetailsPageContent {
    DetailsField fields[3];
};

DetailsPageContent DescribeDetailsPage(const DeviceFacts& facts, Messages& messages, NumberFormat& format);

// Context help: pairs of control and help context id, ending with 0, 0.
extern const std::uint32_t kDetailsPageHelpIds[8];

// What the asking works with: the running program's seams and records.
struct DetailsSources {
    const Inventory& inventory;  // the slot, `platform`, whether the scan has finished
    const ScanChain& chain;      // Windows 95: the device scan's hold on the bus
    bool from_listing;           // the inventory was read from a listing file
    AspiLibrary* aspi;           // Windows 95; null when no library is loaded
    AspiQuestionArea& aspi_area;
    DeviceIo* device_io;  // Windows NT
    Worker& worker;
    Clock& clock;
};

// The questions of one page, over the transport of the program's platform.
// A device read from a listing file is not asked: the device at that
// address today may be another. On Windows 95 the questions wait until
// the device scan has finished (the scan's timing stays its own), for the
// questions' wait at most.
class DetailsAsking {
public:
    DetailsAsking(const DetailsSources& sources, int slot);

    // One look, from the page's timer: sends or takes what is due. True
    // when the facts changed.
    bool Step();
    bool Finished() const { return questions_.Done(); }
    const DeviceFacts& facts() const { return questions_.facts(); }

private:
    bool ScanRunning() const;

    DetailsSources sources_;
    DeviceQuestions questions_;
    std::unique_ptr<QuestionTransport> transport_;
    bool started_ = false;
    bool question_out_ = false;
    bool waiting_for_scan_ = false;
    std::uint32_t waiting_since_ = 0;
};

}  // namespace td
