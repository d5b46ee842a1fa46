// td-layout-check: whether every dialog, page, menu, status pane and
// message box of Tessaline Diagnostics is whole in every language the
// program carries, at this screen's dpi. It holds the program's own
// resources and builds each window as the system builds it; it prints each
// text that does not fit, each overlap, each access key used twice and each
// field out of its label's tab order, and exits with 1 when it found any.
//
//   td-layout-check [--dpi N] [--screen WxH] [--box-screen WxH]
//     --dpi N           fail unless the screen is at N dpi (so a run meant
//                       for 120 dpi cannot pass at 96 unnoticed)
//     --screen WxH      the smallest screen: the main window's first size
//                       on it holds the menu bar and the status panes
//                       (640x480)
//     --box-screen WxH  the screen every message box must fit (800x600:
//                       the warning before the tests, fixed in its wording
//                       and lines, is taller than 480 pixels)
//
// Under Wine the dpi is the prefix's HKCU\Control Panel\Desktop "LogPixels"
// (scripts/wine-env.sh: td_prepare_dpi_prefix).
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "layout_check_win32.h"

namespace td::layout {

namespace {
int g_problems = 0;
}

std::wstring StringIn(LANGID language, int id) {
    HMODULE module = GetModuleHandleA(nullptr);
    HRSRC block = FindResourceExA(module, RT_STRING, MAKEINTRESOURCEA((id >> 4) + 1), language);
    if (block == nullptr) return L"";
    const WCHAR* p = static_cast<const WCHAR*>(LockResource(LoadResource(module, block)));
    for (int i = 0; i < (id & 15); ++i) p += 1 + *p;
    return std::wstring(p + 1, p + 1 + *p);
}

std::string Utf8(const std::wstring& text) {
    if (text.empty()) return std::string();
    std::string out(text.size() * 3 + 1, '\0');
    const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(),
                                      static_cast<int>(out.size()), nullptr, nullptr);
    out.resize(n > 0 ? n : 0);
    return out;
}

SIZE Needed(HWND window, const std::wstring& text, UINT format, int width, HFONT font) {
    HDC dc = GetDC(window);
    if (font == nullptr) font = reinterpret_cast<HFONT>(SendMessageA(window, WM_GETFONT, 0, 0));
    HGDIOBJ old = font != nullptr ? SelectObject(dc, font) : nullptr;
    RECT need = {0, 0, width, 0};
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &need, format | DT_CALCRECT);
    if (old != nullptr) SelectObject(dc, old);
    ReleaseDC(window, dc);
    return SIZE{need.right - need.left, need.bottom - need.top};
}

void Report(const std::string& where, const std::string& what) {
    ++g_problems;
    std::printf("NOT WHOLE: %s: %s\n", where.c_str(), what.c_str());
}

int ProblemCount() { return g_problems; }

// With GTEST_OUTPUT=xml:FOLDER\ (as the test scripts set it for every
// test program), one report with a case per part, so that the run's tally
// counts this check's parts as it counts the other tests' cases.
void WriteReport(const std::vector<std::pair<std::string, int>>& parts, const std::string& suite) {
    const char* output = std::getenv("GTEST_OUTPUT");
    if (output == nullptr || std::strncmp(output, "xml:", 4) != 0) return;
    std::string path = output + 4;
    if (path.empty() || path.back() == '\\' || path.back() == '/') path += "td-layout-check-" + suite + ".xml";
    FILE* file = std::fopen(path.c_str(), "w");
    if (file == nullptr) return;
    std::fprintf(file, "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<testsuites>\n  <testsuite name=\"%s\">\n",
                 suite.c_str());
    for (const auto& [name, problems] : parts) {
        std::fprintf(file, "    <testcase name=\"%s\" classname=\"%s\">\n", name.c_str(), suite.c_str());
        if (problems > 0) std::fprintf(file, "      <failure message=\"%d things not whole\"/>\n", problems);
        std::fprintf(file, "    </testcase>\n");
    }
    std::fprintf(file, "  </testsuite>\n</testsuites>\n");
    std::fclose(file);
}

}  // namespace td::layout

int main(int argc, char** argv) {
    using namespace td::layout;
    int want_dpi = 0, screen_width = 640, screen_height = 480, box_width = 800, box_height = 600;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string option = argv[i];
        if (option == "--dpi") {
            want_dpi = std::atoi(argv[i + 1]);
        } else if (option == "--screen" && std::sscanf(argv[i + 1], "%dx%d", &screen_width, &screen_height) == 2) {
        } else if (option == "--box-screen" && std::sscanf(argv[i + 1], "%dx%d", &box_width, &box_height) == 2) {
        } else {
            std::fprintf(stderr, "usage: td-layout-check [--dpi N] [--screen WxH] [--box-screen WxH]\n");
            return 2;
        }
    }
    InitCommonControls();
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    std::printf("td-layout-check at %d dpi, for a %d x %d screen (message boxes %d x %d); languages:", dpi,
                screen_width, screen_height, box_width, box_height);
    for (const Language& language : LanguagesOfDialogs()) std::printf(" %s", language.code.c_str());
    std::printf("\n");
    if (want_dpi != 0 && dpi != want_dpi) {
        std::printf("FAILED: the screen is at %d dpi, not %d\n", dpi, want_dpi);
        return 1;
    }
    const std::string suffix = " at " + std::to_string(dpi) + " dpi";
    std::vector<std::pair<std::string, int>> parts;  // each part's name and what it found
    auto part = [&](const char* name, auto check) {
        const int before = ProblemCount();
        check();
        parts.emplace_back(name + suffix, ProblemCount() - before);
    };
    part("Dialogs and pages", [&] { CheckDialogs(dpi); });
    part("Menus", [&] { CheckMenus(screen_width, screen_height); });
    part("Status bar", [&] { CheckStatusBar(screen_width, screen_height); });
    part("Message boxes", [&] { CheckMessageBoxes(box_width, box_height); });
    WriteReport(parts, "LayoutCheck" + std::to_string(dpi));
    std::printf("%d thing%s not whole\n", ProblemCount(), ProblemCount() == 1 ? "" : "s");
    std::fflush(stdout);
    return ProblemCount() == 0 ? 0 : 1;
}
