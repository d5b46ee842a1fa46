// The diagnostics dialog's sequence wired to the virtual bus, as the program
// wires it: ASPI through the bus's ASPI service, NT through its port
// driver simulator, both on one fake clock (the ASPI service's time moves
// with it), the English texts, scripted message boxes and a recording face.
//
// Texts can be replaced for one test (a 255-character explanation, say):
// the sequence loads them through `overrides` before the string table.
//
// Every command that leaves for the device is also written to the face's
// event log ("send 00", "send 3b", "send 3c"), so a test sees what the
// dialog showed when it went out.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "aspi/aspi_service.h"
#include "bus/scenario.h"
#include "diagnostics/diagnostics_sequence.h"
#include "nt/nt_port_simulator.h"
#include "support/fake_clock.h"
#include "support/recording_diagnostics_face.h"
#include "support/scripted_messages.h"

namespace td::test {

class DiagnosticsRig {
public:
    // `platform` kPlatformWin95 or kPlatformNt; the scenario is parsed (a
    // bad one fails the test).
    DiagnosticsRig(const std::string& scenario_text, int platform);
    ~DiagnosticsRig();

    // WM_INITDIALOG for SCSI ID `target_id` chosen under adapter `adapter`:
    // the position the main window leaves is the ID's place in the block.
    bool Open(int adapter, int target_id);
    // "Begin Tests": IDOK, then the posted run, as the dialog's loop would.
    void Begin();

    // Opcodes of the commands that reached the bus, in order.
    std::vector<std::uint8_t> Opcodes() const;
    // Called at each command sent, before the device sees it.
    std::function<void(std::uint8_t opcode)> on_send;

    // The string table with some texts replaced; boxes go to `messages`.
    class OverridingMessages final : public Messages {
    public:
        explicit OverridingMessages(ScriptedMessages& inner) : inner_(inner) {}
        int LoadText(int id, char* buffer, int size) override;
        int Box(WindowRef owner, const char* text, const char* caption, unsigned flags) override {
            return inner_.Box(owner, text, caption, flags);
        }
        std::map<int, std::string> texts;

    private:
        ScriptedMessages& inner_;
    };

    FakeClock clock;
    ScriptedMessages messages;
    OverridingMessages overrides{messages};
    SharedTexts texts{};
    sim::Scenario scenario;
    Inventory inventory{};
    SenseReport sense_report{};
    LastError last_error{};
    aspi::SrbExecScsiCmd exec_srb{};
    AspiCommandArea area{};
    std::unique_ptr<sim::AspiService> aspi;
    std::unique_ptr<sim::NtPortSimulator> nt;
    ScsiCommandContext scsi;
    std::int32_t selected_slot = -1;
    RecordingDiagnosticsFace face;
    DiagnosticsContext context;
    DiagnosticsSequence sequence;

private:
    class SendLog;
    void Note(std::uint8_t opcode);
    std::unique_ptr<SendLog> log_aspi_;
    std::unique_ptr<DeviceIo> log_nt_;
    std::uint32_t service_time_ = 0;
};

}  // namespace td::test
