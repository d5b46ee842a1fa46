#include "support/diagnostics_rig.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "common/win_codes.h"
#include "scsi/nt_layout.h"
#include "support/scenario_inventory.h"

namespace td::test {

// The ASPI service and the NT simulator with every command noted as sent.
class DiagnosticsRig::SendLog final : public AspiLibrary {
public:
    SendLog(DiagnosticsRig& rig) : rig_(rig) {}
    std::uint32_t GetSupportInfo() override { return rig_.aspi->GetSupportInfo(); }
    std::uint32_t SendCommand(void* srb) override {
        const auto* header = static_cast<const aspi::SrbHeader*>(srb);
        if (header->SRB_Cmd == aspi::kScExecScsiCmd)
            rig_.Note(static_cast<const aspi::SrbExecScsiCmd*>(srb)->CDBByte[0]);
        return rig_.aspi->SendCommand(srb);
    }

private:
    DiagnosticsRig& rig_;
};

namespace {

class NtSendLog final : public DeviceIo {
public:
    NtSendLog(DeviceIo& inner, std::function<void(std::uint8_t)> note) : inner_(inner), note_(std::move(note)) {}
    DeviceHandle Open(const char* name, std::uint32_t access, std::uint32_t share) override {
        return inner_.Open(name, access, share);
    }
    bool Control(DeviceHandle device, std::uint32_t code, void* in, std::uint32_t in_size, void* out,
                 std::uint32_t out_size, std::uint32_t* returned) override {
        if (code == nt::kIoctlScsiPassThrough && in_size >= sizeof(nt::ScsiPassThrough))
            note_(static_cast<const nt::ScsiPassThrough*>(in)->Cdb[0]);
        if (code == nt::kIoctlScsiPassThroughDirect && in_size >= sizeof(nt::ScsiPassThroughDirect))
            note_(static_cast<const nt::ScsiPassThroughDirect*>(in)->Cdb[0]);
        return inner_.Control(device, code, in, in_size, out, out_size, returned);
    }
    void Close(DeviceHandle device) override { inner_.Close(device); }
    std::uint32_t LogicalDrives() override { return inner_.LogicalDrives(); }
    std::uint32_t DriveType(const char* root) override { return inner_.DriveType(root); }
    std::uint32_t LastError() override { return inner_.LastError(); }
    std::uint32_t SystemMessage(std::uint32_t code, char* buffer, std::uint32_t size) override {
        return inner_.SystemMessage(code, buffer, size);
    }

private:
    DeviceIo& inner_;
    std::function<void(std::uint8_t)> note_;
};

sim::Scenario Parse(const std::string& text) {
    sim::Scenario scenario;
    std::string error;
    EXPECT_TRUE(sim::ParseScenario(text, scenario, error)) << error;
    return scenario;
}

}  // namespace

int DiagnosticsRig::OverridingMessages::LoadText(int id, char* buffer, int size) {
    const auto found = texts.find(id);
    if (found == texts.end()) return inner_.LoadText(id, buffer, size);
    if (size <= 0) return 0;
    int n = 0;
    for (; n + 1 < size && n < static_cast<int>(found->second.size()); ++n) buffer[n] = found->second[n];
    buffer[n] = '\0';
    return n;
}

DiagnosticsRig::DiagnosticsRig(const std::string& scenario_text, int platform)
    : scenario(Parse(scenario_text)),
      scsi{inventory, clock, overrides, sense_report, last_error, exec_srb, area, nullptr, nullptr, ProcessHeap()},
      context{scsi, texts, selected_slot, -1, 0xA11, nullptr},
      sequence(context, face) {
    EXPECT_TRUE(LoadSharedTexts(messages, texts));
    inventory = ScenarioInventory(scenario, texts, platform);
    face.sequence = &sequence;
    if (platform == kPlatformWin95) {
        aspi = std::make_unique<sim::AspiService>(scenario, sim::AspiService::TimeMode::Manual);
        log_aspi_ = std::make_unique<SendLog>(*this);
        scsi.aspi = log_aspi_.get();
        // The service's time follows the program's clock.
        service_time_ = clock.now();
        clock.on_advance = [this](std::uint32_t now) {
            aspi->AdvanceTime(now - service_time_);
            service_time_ = now;
        };
    } else {
        nt = std::make_unique<sim::NtPortSimulator>(scenario, &clock);
        log_nt_ = std::make_unique<NtSendLog>(*nt, [this](std::uint8_t opcode) { Note(opcode); });
        scsi.device_io = log_nt_.get();
    }
}

DiagnosticsRig::~DiagnosticsRig() { clock.on_advance = nullptr; }

void DiagnosticsRig::Note(std::uint8_t opcode) {
    char text[16];
    std::snprintf(text, sizeof text, "send %02x", opcode);
    face.events.push_back(text);
    if (on_send) on_send(opcode);
}

bool DiagnosticsRig::Open(int adapter, int target_id) {
    context.selected_adapter = adapter;
    selected_slot = target_id;
    return sequence.Open();
}

void DiagnosticsRig::Begin() {
    const int posted = face.runs_posted;
    sequence.OnCommand(win::kIdOk);
    if (face.runs_posted > posted) sequence.Run();
}

std::vector<std::uint8_t> DiagnosticsRig::Opcodes() const {
    std::vector<std::uint8_t> opcodes;
    const auto requests = aspi ? aspi->bus().Requests() : nt->bus().Requests();
    for (const sim::BusRequest& request : requests) {
        if (!request.cdb.empty()) opcodes.push_back(request.cdb[0]);
    }
    return opcodes;
}

}  // namespace td::test
