// The diagnostics dialog as a test sees it: control texts, check marks and
// enabling kept by control id, and every call written to one event log
// that other fakes (a transport, a clock) may write to as well, so a test
// can tell what was on the screen when a command went out.
//
// Sent commands come back into the sequence at once, as SendMessageA would
// deliver them; posted ones are kept until the test delivers them.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "diagnostics/diagnostics_sequence.h"

namespace td::test {

class RecordingDiagnosticsFace final : public DiagnosticsFace {
public:
    // Where sent commands go; set once the sequence exists.
    DiagnosticsSequence* sequence = nullptr;

    WindowRef Window() override { return kDialog; }

    void SetText(int control, const char* text) override {
        texts[control] = text;
        events.push_back("text " + std::to_string(control) + " " + text);
    }
    void GetText(int control, char* buffer, int size) override {
        const std::string& text = texts[control];
        int n = 0;
        for (; n + 1 < size && n < static_cast<int>(text.size()); ++n) buffer[n] = text[n];
        if (size > 0) buffer[n] = '\0';
    }
    void SetCheck(int control, bool checked) override {
        checks[control] = checked;
        events.push_back("check " + std::to_string(control) + (checked ? " on" : " off"));
    }
    void Enable(int control, bool enabled) override {
        enabled_[control] = enabled;
        events.push_back("enable " + std::to_string(control) + (enabled ? " on" : " off"));
    }
    void RowStateChanged(int state_control, RowState) override {
        events.push_back("row " + std::to_string(state_control));
    }
    void RepaintNow() override {
        ++repaints;
        events.push_back("repaint");
    }
    void CenterOverOwner() override { ++centred; }
    void Show() override { ++shown; }
    void PostCommand(int id) override { posted.push_back(id); }
    void SendCommand(int id) override {
        events.push_back("send command " + std::to_string(id));
        if (sequence != nullptr) sequence->OnCommand(id);
    }
    void PostRunTests() override { ++runs_posted; }
    void End() override { ++ended; }

    bool enabled(int control) const {
        const auto found = enabled_.find(control);
        return found != enabled_.end() && found->second;
    }
    bool checked(int control) const {
        const auto found = checks.find(control);
        return found != checks.end() && found->second;
    }

    // The dialog's window as the boxes' owner.
    static constexpr WindowRef kDialog = 0xD1A;

    std::map<int, std::string> texts;
    std::map<int, bool> checks;
    std::vector<std::string> events;
    std::vector<int> posted;
    int repaints = 0;
    int centred = 0;
    int shown = 0;
    int runs_posted = 0;
    int ended = 0;

private:
    std::map<int, bool> enabled_;
};

}  // namespace td::test
