// Never an empty failure box: every way a test can fail, on both
// transports through the virtual bus, ends in a box with words and leaves
// them in the dialog's information block.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/fixed_text.h"
#include "resources/resource_ids.h"
#include "support/diagnostics_rig.h"

namespace td {
namespace {

using test::DiagnosticsRig;

// A disk at ID 0 with one fault; every command takes a few milliseconds.
std::string DiskWith(const std::string& rules, const std::string& drive = "  drive C:\n") {
    return "adapter\n device 0\n  type disk\n  vendor KESTRAL\n" + drive + rules + "  on any delay 5\n";
}

// The failure boxes' explanations, without the line the sequence appends.
std::vector<std::string> Explanations(const DiagnosticsRig& rig) {
    const std::string appended[] = {rig.messages.Text(IDS_CONTINUE_QUESTION), rig.messages.Text(IDS_TESTING_COMPLETE)};
    std::vector<std::string> explanations;
    for (std::size_t i = 1; i < rig.messages.boxes().size(); ++i) {  // the first box is the warning
        std::string text = rig.messages.boxes()[i].text;
        for (const std::string& line : appended) {
            if (text.size() >= line.size() && text.compare(text.size() - line.size(), line.size(), line) == 0)
                text.resize(text.size() - line.size());
        }
        explanations.push_back(text);
    }
    return explanations;
}

bool HasWords(const std::string& text) { return text.find_first_not_of(" \r\n\t") != std::string::npos; }

// Runs the tests, going on after a failed TEST UNIT READY so that the
// buffer tests meet their faults too, and checks every failure said why.
void ExpectEveryFailureExplained(DiagnosticsRig& rig, const std::string& what) {
    SCOPED_TRACE(what);
    ASSERT_TRUE(rig.Open(0, 0));
    rig.Begin();
    const std::vector<std::string> explanations = Explanations(rig);
    ASSERT_FALSE(explanations.empty()) << "no test failed";
    int informed = 0;
    for (const std::string& event : rig.face.events) {
        const std::string prefix = "text " + std::to_string(IDC_INFO_BLOCK) + " ";
        if (event.rfind(prefix, 0) == 0 && HasWords(event.substr(prefix.size()))) ++informed;
    }
    for (const std::string& explanation : explanations) EXPECT_TRUE(HasWords(explanation)) << "an empty failure box";
    EXPECT_GE(informed, static_cast<int>(explanations.size())) << "a failure left the information block as it was";
}

TEST(DiagnosticsExplained, EveryFaultOfTheBusOnBothTransports) {
    const char* const faults[] = {
        // Sense data: the table's advice, the standard's names, flag bits,
        // data the interpreter cannot read (descriptor format, deferred).
        "  on tur check 02 3a 00\n",
        "  on tur check 02 04 07\n",
        "  on tur check 05 24 00\n",
        "  on write-buffer check 05 20 00\n",
        "  on read-buffer check 03 11 00\n",
        "  on tur check 0b 47 00\n",
        "  on tur sense 70 00 22 00 00 00 00 0a 00 00 00 00 3a 00\n",
        "  on tur sense 72 02 04 07\n",
        "  on tur sense 71 00 06 00 00 00 00 0a 00 00 00 00 29 00\n",
        // A status without sense data, an adapter failure, the library's
        // own status, system errors with and without a text.
        "  on tur status 08\n",
        "  on write-buffer status 18\n",
        "  on tur hastat 11\n",
        "  on read-buffer hastat 0f\n",
        "  on tur aspi-status 82\n",
        "  on tur error 1234\n",
        "  on write-buffer error 5\n",
        // Requests that never end, data that comes back otherwise or not at
        // all.
        "  on tur hang\n",
        "  on write-buffer hang\n",
        "  on read-buffer corrupt 511\n",
        "  on write-buffer zero-length\n",
        "  on read-buffer zero-length\n",
    };
    for (const char* fault : faults) {
        for (const int platform : {kPlatformWin95, kPlatformNt}) {
            const std::string what = std::string(platform == kPlatformWin95 ? "ASPI" : "NT") + ": " + fault;
            DiagnosticsRig rig(DiskWith(fault), platform);
            // Faults of one transport only (aspi-status, error) let the
            // other one pass.
            if (platform == kPlatformWin95 && std::string(fault).find(" error ") != std::string::npos) continue;
            if (platform == kPlatformNt && std::string(fault).find("aspi-status") != std::string::npos) continue;
            ExpectEveryFailureExplained(rig, what);
        }
    }
}

// The ways out that no answer of a device takes.
TEST(DiagnosticsExplained, DevicesThatCannotBeReached) {
    // NT: a drive that cannot be opened, a unit a class driver owns reached
    // through its port, a slot without a device name, no port driver.
    DiagnosticsRig locked(DiskWith("", "  drive C: open-fails 5\n"), kPlatformNt);
    ExpectEveryFailureExplained(locked, "NT: the drive cannot be opened");
    DiagnosticsRig claimed(DiskWith("", ""), kPlatformNt);
    ExpectEveryFailureExplained(claimed, "NT: a claimed unit through its port");
    DiagnosticsRig nameless(DiskWith(""), kPlatformNt);
    nameless.inventory.slots[0].device_path[0] = '\0';
    ExpectEveryFailureExplained(nameless, "NT: no device name");
    DiagnosticsRig no_driver(DiskWith(""), kPlatformNt);
    no_driver.scsi.device_io = nullptr;
    ExpectEveryFailureExplained(no_driver, "NT: no port driver");

    // ASPI: no library, and a device scan that never lets go of the block.
    DiagnosticsRig no_library(DiskWith(""), kPlatformWin95);
    no_library.scsi.aspi = nullptr;
    ExpectEveryFailureExplained(no_library, "ASPI: no library");
    class EndlessScan final : public ScanWatch {
    public:
        bool Busy() override { return true; }
        void LetScanRun() override {}
    } scan;
    DiagnosticsRig scanning(DiskWith(""), kPlatformWin95);
    scanning.context.scan = &scan;
    ExpectEveryFailureExplained(scanning, "ASPI: the scan holds the block");
}

}  // namespace
}  // namespace td
