// td-soak.exe: the program under Wine through hundreds of a user's
// commands, with what it holds counted before, between and after, so that
// anything it keeps taking and never gives back shows as growth per round.
// It prints figures; it does not pass or fail on them. It ends with exit
// code 1 only when a command did not do what it should (then the figures
// would not mean what they say) or a count could not be taken.
//
//   td-soak.exe [--rounds=N] [--nt] [--by-command]
//
// A round, on the built-in machine whose disk answers at once
// (scenarios/soak_disk_answers_at_once.txt):
//   2 x Save As and 2 x Open of a listing file,
//   10 re-scans (the live inventory is back),
//   10 x the properties sheet with both pages shown,
//   10 x the About box,
//   10 x the diagnostics dialog opened and closed,
//   1 full diagnostic run on the disk.
// Ten rounds (the default) make 100 re-scans, sheets, About boxes and
// dialogs, 10 runs and 20 of each file command. --nt runs the NT-sim
// build on Windows NT instead of the shipped program on Windows 95;
// --by-command prints the figures after each kind of command as well, to
// tell which one a growth comes with.
#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "resource_meter.h"
#include "resources/resource_ids.h"
#include "soak_steps.h"
#include "support/paths.h"
#include "support/user_steps.h"

namespace td::soak {
namespace {

constexpr size_t kRows = 16;  // IDs 0 to 15 per adapter: the wide-bus option is on at start

struct Plan {
    int rounds = 10;
    int listings = 2;  // Save As, then Open, of this many files per round
    int rescans = 10;
    int sheets = 10;
    int about_boxes = 10;
    int dialogs = 10;
    int runs = 1;
    bool nt = false;
    bool by_command = false;  // figures after each kind of command, too
};

struct Sample {
    std::string label;
    Figures figures;
    double seconds = 0;
};

double Seconds(DWORD since) { return (GetTickCount() - since) / 1000.0; }

std::uint64_t KiB(std::uint64_t bytes) { return (bytes + 512) / 1024; }

void PrintHeader() {
    std::printf("%-22s %6s %6s %4s %4s %4s %8s %12s %12s %8s %12s %8s\n", "", "GDI", "USER", "win", "menu", "icon",
                "handles", "private KiB", "heap KiB", "blocks", "working KiB", "time s");
}

void PrintRow(const Sample& sample) {
    const Figures& f = sample.figures;
    std::printf("%-22s %6u %6u %4u %4u %4u %8u %12llu %12llu %8u %12llu %8.1f\n", sample.label.c_str(),
                f.inside.gdi_objects, f.user_objects(), f.inside.windows, f.inside.menus, f.inside.cursors_icons,
                f.kernel_handles, static_cast<unsigned long long>(KiB(f.inside.private_bytes)),
                static_cast<unsigned long long>(KiB(f.inside.heap_bytes)), f.inside.heap_blocks,
                static_cast<unsigned long long>(KiB(f.working_set)), sample.seconds);
}

// Growth per round after the first, which also takes what is loaded or
// cached once (the file dialog's libraries, the first sheet's and box's
// resources); with one round, from the start.
void PrintGrowth(const std::vector<Sample>& samples) {
    const Sample& last = samples.back();
    const bool several = samples.size() > 2;
    const Sample& from = several ? samples[1] : samples[0];
    const double rounds = several ? static_cast<double>(samples.size() - 2) : 1.0;
    auto per_round = [&](double end, double start) { return (end - start) / rounds; };
    const Figures& a = from.figures;
    const Figures& b = last.figures;
    std::printf("\nGrowth per round, from the end of %s to the end (%g rounds):\n", from.label.c_str(), rounds);
    std::printf("  GDI objects     %+8.1f\n", per_round(b.inside.gdi_objects, a.inside.gdi_objects));
    std::printf(
        "  USER objects    %+8.1f   (windows %+.1f, menus %+.1f, cursors and icons %+.1f, accelerators %+.1f)\n",
        per_round(b.user_objects(), a.user_objects()), per_round(b.inside.windows, a.inside.windows),
        per_round(b.inside.menus, a.inside.menus), per_round(b.inside.cursors_icons, a.inside.cursors_icons),
        per_round(b.inside.accelerator_tables, a.inside.accelerator_tables));
    std::printf("  kernel handles  %+8.1f\n", per_round(b.kernel_handles, a.kernel_handles));
    std::printf("  private bytes   %+8.1f KiB\n",
                per_round(static_cast<double>(b.inside.private_bytes), static_cast<double>(a.inside.private_bytes)) /
                    1024.0);
    std::printf("  heap in use     %+8.1f KiB in %+.1f blocks\n",
                per_round(static_cast<double>(b.inside.heap_bytes), static_cast<double>(a.inside.heap_bytes)) / 1024.0,
                per_round(b.inside.heap_blocks, a.inside.heap_blocks));
    std::printf("  working set     %+8.1f KiB\n",
                per_round(static_cast<double>(b.working_set), static_cast<double>(a.working_set)) / 1024.0);

    std::printf("\nGDI objects by kind (start, end of %s, end):\n", from.label.c_str());
    const Figures& start = samples.front().figures;
    for (int kind = 1; kind < 16; ++kind) {
        if (start.inside.gdi_by_kind[kind] == 0 && b.inside.gdi_by_kind[kind] == 0) continue;
        std::printf("  %-22s %6u %6u %6u\n", GdiKindName(kind), start.inside.gdi_by_kind[kind],
                    a.inside.gdi_by_kind[kind], b.inside.gdi_by_kind[kind]);
    }
}

// The kernel handles held at the end that were not held at the start, by
// kind and name: what they are tells whose they are.
void PrintHandlesGained(const std::vector<KernelHandle>& start, const std::vector<KernelHandle>& end) {
    std::map<std::string, int> gained;
    for (const KernelHandle& handle : end) {
        bool held_before = false;
        for (const KernelHandle& before : start)
            if (before.value == handle.value && before.kind == handle.kind && before.name == handle.name)
                held_before = true;
        if (!held_before) ++gained[handle.kind + (handle.name.empty() ? "" : " " + handle.name)];
    }
    std::printf("\nKernel handles held at the end and not at the start (%d at the start, %d at the end):\n",
                static_cast<int>(start.size()), static_cast<int>(end.size()));
    if (gained.empty()) std::printf("  none\n");
    for (const auto& [what, count] : gained) std::printf("  %4d  %s\n", count, what.c_str());
}

class Soak {
public:
    explicit Soak(const Plan& plan) : plan_(plan) {}

    int Run() {
        program_.ForgetUserSettings();
        if (plan_.nt) {
            program_.UseEdition(e2e::Edition::NtSimulator);
            program_.OnPlatform(e2e::Platform::WindowsNt);
        }
        program_.UseScenario("soak_disk_answers_at_once.txt");
        std::printf(
            "Soak of %s on %s, %d-bit, %d round%s of: %d Save As and %d Open, %d re-scans, %d properties "
            "sheets (both pages), %d About boxes, %d diagnostics dialogs opened and closed, %d full "
            "diagnostic run%s\n",
            program_.exe_name().c_str(), plan_.nt ? "Windows NT 4.0" : "Windows 95",
            static_cast<int>(sizeof(void*) * 8), plan_.rounds, plan_.rounds == 1 ? "" : "s", plan_.listings,
            plan_.listings, plan_.rescans, plan_.sheets, plan_.about_boxes, plan_.dialogs, plan_.runs,
            plan_.runs == 1 ? "" : "s");
        const DWORD started = GetTickCount();
        if (!Check(e2e::user::StartAndWaitForTheScan(program_, kRows), "start-up")) return 1;
        folder_ = e2e::ProgramFolder() + "soak-listings";
        CreateDirectoryA(folder_.c_str(), nullptr);
        folder_ += "\\";

        if (!TakeSample("start", started)) return 1;
        const Figures& first = samples_.front().figures;
        std::printf("GetGuiResources answers %u GDI and %u USER objects%s\n", first.inside.gui_gdi_objects,
                    first.inside.gui_user_objects,
                    first.inside.gui_gdi_objects == 0 ? " (not implemented here): the counts below are the probe's"
                                                      : "");
        handles_at_start_ = KernelHandles(program_.process_id());
        PrintHeader();
        PrintRow(samples_.back());
        for (int round = 1; round <= plan_.rounds; ++round) {
            const DWORD round_started = GetTickCount();
            if (!RunRound(round)) return 1;
            if (!TakeSample("round " + std::to_string(round), round_started)) return 1;
            PrintRow(samples_.back());
        }
        PrintGrowth(samples_);
        PrintHandlesGained(handles_at_start_, KernelHandles(program_.process_id()));
        if (!run_times_.empty()) {
            DWORD longest = 0, total = 0;
            for (DWORD ms : run_times_) {
                total += ms;
                longest = std::max(longest, ms);
            }
            std::printf("\nFull diagnostic runs: %zu, %lu ms on average, %lu ms the longest (Yes to the verdict)\n",
                        run_times_.size(), static_cast<unsigned long>(total / run_times_.size()),
                        static_cast<unsigned long>(longest));
        }
        if (!Check(program_.Choose(IDM_FILE_EXIT), "File > Exit")) return 1;
        const std::optional<DWORD> code = program_.WaitForExit(10000);
        std::printf("File > Exit: the program %s after %.0f s\n",
                    code ? ("ended with code " + std::to_string(*code)).c_str() : "did not end", Seconds(started));
        return code && *code == 0 ? 0 : 1;
    }

private:
    bool Check(const testing::AssertionResult& result, const std::string& step) {
        if (result) return true;
        std::printf("\nThe soak stopped at %s: %s\n", step.c_str(), result.message());
        const std::string picture = e2e::FailureFolder() + "soak.bmp";
        if (program_.SaveScreenshot(picture)) std::printf("The screen: %s\n", picture.c_str());
        return false;
    }

    // Counts once the program has settled: Wine frees some things a moment
    // after a window has gone.
    bool TakeSample(const std::string& label, DWORD since) {
        Sleep(500);
        std::string error;
        const std::optional<Figures> figures = Measure(program_, error);
        if (!figures) {
            std::printf("\nNo figures at %s: %s\n", label.c_str(), error.c_str());
            return false;
        }
        samples_.push_back({label, *figures, Seconds(since)});
        return true;
    }

    bool Repeat(int times, const std::string& step, const std::function<testing::AssertionResult()>& once) {
        const DWORD started = GetTickCount();
        for (int i = 1; i <= times; ++i)
            if (!Check(once(), step + " " + std::to_string(i) + " of round " + std::to_string(round_))) return false;
        if (!plan_.by_command || times == 0) return true;
        // Which command a round's growth comes with, on rows of its own.
        std::string error;
        Sleep(500);
        const std::optional<Figures> figures = Measure(program_, error);
        if (!figures) {
            std::printf("\nNo figures after %s: %s\n", step.c_str(), error.c_str());
            return false;
        }
        PrintRow({" " + std::to_string(times) + " " + step, *figures, Seconds(started)});
        return true;
    }

    bool RunRound(int round) {
        round_ = round;
        // Files named in turn, so that each command changes the title.
        std::vector<std::string> files;
        for (int i = 0; i < plan_.listings; ++i) files.push_back(folder_ + "soak-" + char('a' + i % 26) + ".LOG");
        int next = 0;
        if (!Repeat(plan_.listings, "Save As", [&] { return SaveListingAs(program_, files[next++ % files.size()]); }))
            return false;
        if (!Repeat(plan_.listings, "Open", [&] { return OpenListing(program_, files[next++ % files.size()]); }))
            return false;
        if (!Repeat(plan_.rescans, "re-scan", [&] { return Rescan(program_, kRows); })) return false;
        if (!Check(ChooseTheDisk(program_), "choosing the disk in round " + std::to_string(round))) return false;
        if (!Repeat(plan_.sheets, "properties sheet", [&] { return ShowBothPropertyPages(program_); })) return false;
        if (!Repeat(plan_.about_boxes, "About box", [&] { return ShowTheAboutBox(program_); })) return false;
        if (!Repeat(plan_.dialogs, "diagnostics dialog", [&] { return OpenAndCloseDiagnostics(program_); }))
            return false;
        return Repeat(plan_.runs, "diagnostic run", [&] {
            DWORD took = 0;
            testing::AssertionResult ran = RunTheDiagnostics(program_, took);
            if (ran) run_times_.push_back(took);
            return ran;
        });
    }

    const Plan plan_;
    e2e::ProgramSession program_;
    std::string folder_;
    std::vector<Sample> samples_;
    std::vector<DWORD> run_times_;
    std::vector<KernelHandle> handles_at_start_;
    int round_ = 0;
};

bool ReadOptions(int argc, char** argv, Plan& plan) {
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        if (option.rfind("--rounds=", 0) == 0) {
            plan.rounds = std::atoi(option.c_str() + 9);
            if (plan.rounds < 1) return false;
        } else if (option == "--nt") {
            plan.nt = true;
        } else if (option == "--by-command") {
            plan.by_command = true;
        } else {
            return false;
        }
    }
    return true;
}

}  // namespace
}  // namespace td::soak

int main(int argc, char** argv) {
    // Plain line ends and no buffering: the figures come as they are taken.
    _setmode(_fileno(stdout), _O_BINARY);
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    td::soak::Plan plan;
    if (!td::soak::ReadOptions(argc, argv, plan)) {
        std::fprintf(stderr, "usage: td-soak.exe [--rounds=N] [--nt] [--by-command]\n");
        return 2;
    }
    return td::soak::Soak(plan).Run();
}
