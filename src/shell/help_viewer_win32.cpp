#include "shell/help_viewer_win32.h"

#include <htmlhelp.h>

#include "common/file_exists_win32.h"
#include "shell/platform.h"
#include "shell/program_win32.h"

namespace td {

namespace {

bool LoadHtmlHelp(HtmlHelpLibrary& library) {
    if (library.html_help != nullptr) return true;
    if (library.module == nullptr) library.module = LoadLibraryA("hhctrl.ocx");
    if (library.module == nullptr) return false;
    library.html_help = reinterpret_cast<HtmlHelpLibrary::Entry>(
        reinterpret_cast<void*>(GetProcAddress(library.module, "HtmlHelpA")));
    return library.html_help != nullptr;
}

// The contents tab beside the file's first page, which is its contents.
bool ShowHtmlHelpContents(Program& program, HWND window) {
    const char* file = program.help.html_help_file;
    if (!FileExists(file) || !LoadHtmlHelp(program.html_help)) return false;
    return program.html_help.html_help(window, file, HH_DISPLAY_TOC, 0) != nullptr;
}

}  // namespace

void ShowHelpContents(Program& program, HWND window) {
    if (program.help_viewer == HelpViewerKind::HtmlHelp && ShowHtmlHelpContents(program, window)) return;
    program.winhelp_use.manual = true;
    WinHelpA(window, program.help.help_file, HELP_CONTENTS, 0);
}

void CloseHelpViewers(Program& program) {
    WinHelpUse& use = program.winhelp_use;
    if (use.manual) WinHelpA(program.app.main_window, program.help.help_file, HELP_QUIT, 0);
    if (use.context_help) WinHelpA(program.app.main_window, program.help.context_help_file, HELP_QUIT, 0);
    use = WinHelpUse{};
    // hhctrl.ocx stays loaded: the process ends right after, and a library
    // released under its own windows' last messages could be called again.
    if (program.html_help.html_help != nullptr) program.html_help.html_help(nullptr, nullptr, HH_CLOSE_ALL, 0);
}

}  // namespace td
