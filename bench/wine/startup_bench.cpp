// td-startup-bench.exe: how long the program takes under Wine from its
// process start to its main window on the screen, beyond the 2000 ms it
// pauses on purpose with the splash picture shown; and until the scanned
// buses fill the list. Runs the program N times (the first start after the
// wineserver came up is usually the slowest) and prints every run with the
// median and the best. For comparison, the time Wine takes to start and end
// a Windows program that does nothing (this one, started to end at once).
//
//   td-startup-bench.exe [--runs=N] [--nt]
//
// Times are taken on this side: from just before CreateProcess to the first
// look (every millisecond) that finds the main window visible, then to the
// list showing the built-in machine's 16 IDs. It prints figures; it fails
// only when the program does not start.
#include <fcntl.h>
#include <io.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "automation.h"
#include "resources/resource_ids.h"
#include "support/paths.h"
#include "support/program_session.h"
#include "support/user_steps.h"

namespace {

using td::e2e::ProgramSession;

constexpr double kStartupPauseMs = 2000.0;
constexpr size_t kRows = 16;

double NowMs() {
    static const double per_ms = [] {
        LARGE_INTEGER frequency;
        QueryPerformanceFrequency(&frequency);
        return static_cast<double>(frequency.QuadPart) / 1000.0;
    }();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) / per_ms;
}

struct Run {
    double window_ms = 0;  // process start to the main window visible
    double list_ms = 0;    // process start to the scanned list
};

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// Wine's cost of a process that does nothing: started, ended, waited for.
double EmptyProgramMs() {
    char self[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, self, sizeof self);
    const double started = NowMs();
    std::optional<td::autom::Launched> launched = td::autom::Launch(self, {"TD_BENCH_DO_NOTHING=1"});
    if (!launched) return -1;
    td::autom::WaitExit(*launched, 20000);
    const double took = NowMs() - started;
    CloseHandle(launched->process);
    return took;
}

bool StartOnce(ProgramSession& program, Run& run) {
    const double started = NowMs();
    if (!program.Start()) return false;
    HWND window = nullptr;
    while (window == nullptr) {
        window = program.FindWindowOfClass(ProgramSession::kMainWindowClass, true);
        if (window != nullptr) break;
        if (!program.running() || NowMs() - started > 30000) return false;
        Sleep(1);
    }
    run.window_ms = NowMs() - started;
    if (program.WaitForMainWindow(5000) == nullptr) return false;
    if (!td::e2e::user::WaitForTheScan(program, kRows, 20000)) return false;
    run.list_ms = NowMs() - started;
    if (!program.Choose(IDM_FILE_EXIT)) return false;
    return program.WaitForExit(10000).has_value();
}

}  // namespace

int main(int argc, char** argv) {
    // Started by EmptyProgramMs: end at once.
    if (GetEnvironmentVariableA("TD_BENCH_DO_NOTHING", nullptr, 0) != 0) return 0;
    _setmode(_fileno(stdout), _O_BINARY);
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    int runs = 10;
    bool nt = false;
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        if (option.rfind("--runs=", 0) == 0 && std::atoi(option.c_str() + 7) > 0) {
            runs = std::atoi(option.c_str() + 7);
        } else if (option == "--nt") {
            nt = true;
        } else {
            std::fprintf(stderr, "usage: td-startup-bench.exe [--runs=N] [--nt]\n");
            return 2;
        }
    }

    ProgramSession program;
    program.ForgetUserSettings();
    if (nt) {
        program.UseEdition(td::e2e::Edition::NtSimulator);
        program.OnPlatform(td::e2e::Platform::WindowsNt);
    }
    std::printf("Start-up of %s on %s under Wine, %d-bit, %d runs (the built-in machine)\n", program.exe_name().c_str(),
                nt ? "Windows NT 4.0" : "Windows 95", static_cast<int>(sizeof(void*) * 8), runs);
    std::printf("  %-5s %14s %16s %14s\n", "run", "window ms", "beyond 2000 ms", "list ms");
    std::vector<double> beyond, lists;
    for (int i = 1; i <= runs; ++i) {
        Run run;
        if (!StartOnce(program, run)) {
            std::printf("run %d: the program did not start, show its window and scan, or end\n", i);
            return 1;
        }
        beyond.push_back(run.window_ms - kStartupPauseMs);
        lists.push_back(run.list_ms);
        std::printf("  %-5d %14.1f %16.1f %14.1f\n", i, run.window_ms, run.window_ms - kStartupPauseMs, run.list_ms);
    }
    std::printf("  beyond the pause: median %.1f ms, best %.1f ms; list filled: median %.1f ms\n", Median(beyond),
                *std::min_element(beyond.begin(), beyond.end()), Median(lists));
    std::vector<double> empty;
    for (int i = 0; i < 5; ++i) empty.push_back(EmptyProgramMs());
    std::printf("  Wine starting and ending a program that does nothing: median %.1f ms (5 runs)\n", Median(empty));
    return 0;
}
