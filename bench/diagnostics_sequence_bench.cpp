// What a full diagnostic sequence costs over ASPI: the wall time and the
// processor time of TEST UNIT READY, WRITE BUFFER and READ BUFFER on a
// device whose requests are still pending when SendASPI32Command returns.
//
// The ASPI commands wait their full 2 s, 8 s and 8 s whenever the request
// was pending after the send, and a passed TEST UNIT READY is followed by a
// 1000 ms pause, so the wall time should be 19 s plus a little. The window
// thread sleeps through all of it: the processor time should be a small
// fraction. The clock is the program's (tick count, plain sleeps, and a
// 1 ms sleep between two looks at the ticks); the bus is the virtual one in
// real time, every command taking a few milliseconds.
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <ctime>
#include <string>
#include <thread>

#include "aspi/aspi_service.h"
#include "bus/scenario.h"
#include "common/win_codes.h"
#include "diagnostics/diagnostics_sequence.h"
#include "support/recording_diagnostics_face.h"
#include "support/scenario_inventory.h"
#include "support/scripted_messages.h"

namespace {

// GetTickCount and SleepEx, as the program's own clock has them.
class ProgramClock final : public td::Clock {
public:
    std::uint32_t Ticks() override {
        const auto now = std::chrono::steady_clock::now().time_since_epoch();
        return static_cast<std::uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
    }
    void Sleep(std::uint32_t milliseconds) override {
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
    }
    void Idle() override { std::this_thread::sleep_for(std::chrono::milliseconds(1)); }
};

double ProcessorSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

const char* RowText(td::RowState state) {
    switch (state) {
        case td::RowState::Passed:
            return "passed";
        case td::RowState::Failed:
            return "FAILED";
        case td::RowState::Testing:
            return "testing";
        case td::RowState::NotTested:
            break;
    }
    return "not tested";
}

}  // namespace

int main() {
    constexpr std::uint32_t kCommandDelayMs = 20;
    const std::string scenario_text =
        "adapter\n device 0\n  type disk\n  vendor KESTRAL\n  product KD-2100S\n"
        "  on any delay " +
        std::to_string(kCommandDelayMs) + "\n";
    td::sim::Scenario scenario;
    std::string error;
    if (!td::sim::ParseScenario(scenario_text, scenario, error)) {
        std::fprintf(stderr, "scenario: %s\n", error.c_str());
        return 1;
    }

    td::sim::AspiService service(scenario, td::sim::AspiService::TimeMode::Real);
    ProgramClock clock;
    td::test::ScriptedMessages messages;
    td::SharedTexts texts{};
    if (!td::LoadSharedTexts(messages, texts)) {
        std::fprintf(stderr, "the string table did not load\n");
        return 1;
    }
    td::Inventory inventory = td::test::ScenarioInventory(scenario, texts, td::kPlatformWin95);
    td::SenseReport sense_report{};
    td::LastError last_error{};
    td::aspi::SrbExecScsiCmd exec_srb{};
    td::AspiCommandArea area{};
    td::ScsiCommandContext scsi{inventory, clock, messages, sense_report, last_error,
                                exec_srb,  area,  &service, nullptr,      td::ProcessHeap()};
    std::int32_t selected_slot = 0;
    td::DiagnosticsContext context{scsi, texts, selected_slot, 0, 0, nullptr};
    td::test::RecordingDiagnosticsFace face;
    td::DiagnosticsSequence sequence(context, face);
    face.sequence = &sequence;
    if (!sequence.Open()) {
        std::fprintf(stderr, "the dialog refused the disk\n");
        return 1;
    }

    std::printf("Diagnostic sequence over ASPI, requests pending after the send (%u ms each)\n", kCommandDelayMs);
    const auto wall_start = std::chrono::steady_clock::now();
    const std::clock_t clock_start = std::clock();
    const double cpu_start = ProcessorSeconds();
    sequence.OnCommand(td::win::kIdOk);  // "Begin Tests"; the warning is answered Yes
    sequence.Run();
    const double cpu = ProcessorSeconds() - cpu_start;
    const double clock_cpu = static_cast<double>(std::clock() - clock_start) / CLOCKS_PER_SEC;
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - wall_start).count();

    const double expected = (2000 + 1000 + 8000 + 8000) / 1000.0;
    std::printf("  rows: TEST UNIT READY %s, WRITE BUFFER %s, READ BUFFER %s\n",
                RowText(sequence.row(td::kRowTestUnitReady)), RowText(sequence.row(td::kRowWriteBuffer)),
                RowText(sequence.row(td::kRowReadBuffer)));
    std::printf("  wall time        %8.3f s   (waits 2 + 8 + 8 s and the 1 s pause: %.3f s; over by %.0f ms)\n", wall,
                expected, (wall - expected) * 1000.0);
    std::printf("  processor time   %8.3f s   (getrusage, all threads: %.2f %% of the wall time)\n", cpu,
                100.0 * cpu / wall);
    std::printf("  processor time   %8.3f s   (std::clock)\n", clock_cpu);
    std::printf("  requests sent    %8zu\n", service.Calls().size());
    return 0;
}
