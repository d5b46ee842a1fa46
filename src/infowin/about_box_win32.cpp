#include "infowin/about_box_win32.h"

#include "common/fixed_text.h"
#include "infowin/about_text.h"
#include "infowin/dialog_helpers_win32.h"
#include "resources/resource_ids.h"
#include "shell/program_win32.h"

namespace td {

namespace {

HFONT CreateAboutFont(int height) {
    return CreateFontA(height, 0, 0, 0, FW_DONTCARE, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, VARIABLE_PITCH | FF_SWISS, nullptr);
}

AboutFonts* FontsOf(HWND dialog) { return reinterpret_cast<AboutFonts*>(GetWindowLongPtrA(dialog, DWLP_USER)); }

void DeleteFonts(HWND dialog) {
    AboutFonts* fonts = FontsOf(dialog);
    if (fonts == nullptr) return;
    // Control 506 lets go of the large font before it goes.
    if (fonts->large != nullptr) SendDlgItemMessageA(dialog, IDC_ABOUT_RUNNING_ON, WM_SETFONT, 0, FALSE);
    if (fonts->large != nullptr) DeleteObject(fonts->large);
    if (fonts->small != nullptr) DeleteObject(fonts->small);
    fonts->large = nullptr;
    fonts->small = nullptr;
}

// The value of one key of the version block, or null.
const char* QueryVersionKey(void* block, const char* key) {
    char path[kAboutTextSize + sizeof kVersionStringBlock];
    VersionQueryPath(key, path, sizeof path);
    void* value = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(block, path, &value, &length) || value == nullptr || length == 0) return nullptr;
    return static_cast<const char*>(value);
}

// Title and controls 500 to 505 from the program file's version
// information; without one they keep their template texts.
void FillFromVersionInfo(HWND dialog) {
    char file_name[256] = "";
    // A path that fills the buffer was cut and may lack its terminator.
    const DWORD length = GetModuleFileNameA(nullptr, file_name, sizeof file_name);
    if (length == 0 || length >= sizeof file_name) return;
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeA(file_name, &handle);
    if (size == 0) return;
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size);
    if (memory == nullptr) return;
    void* block = GlobalLock(memory);
    if (block != nullptr && GetFileVersionInfoA(file_name, 0, size, block)) {
        if (const char* product = QueryVersionKey(block, "ProductName")) {
            char title[kAboutTextSize] = "About ";
            AppendText(title, product);
            SetWindowTextA(dialog, title);
        }
        // The controls' template texts are the key names.
        for (int id = IDC_ABOUT_COMPANY; id <= IDC_ABOUT_TRADEMARKS; ++id) {
            char key[kAboutTextSize] = "";
            GetDlgItemTextA(dialog, id, key, sizeof key);
            const char* value = QueryVersionKey(block, key);
            char text[kAboutTextSize];
            FormatVersionValue(value != nullptr, value, GetLastError(), text, sizeof text);
            SetDlgItemTextA(dialog, id, text);
        }
    }
    if (block != nullptr) GlobalUnlock(memory);
    GlobalFree(memory);
}

// The fonts belong to the dialog from here on: its window data holds them
// and WM_DESTROY deletes them, which the analyser cannot follow through the
// integer the data is kept in.
// NOLINTBEGIN(clang-analyzer-cplusplus.NewDeleteLeaks)
void OnInitDialog(HWND dialog) {
    // Filled while hidden, so the key names are never seen.
    ShowWindow(dialog, SW_HIDE);
    auto* fonts = new AboutFonts{CreateAboutFont(14), CreateAboutFont(11)};
    SetWindowLongPtrA(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(fonts));
    CenterWindow(dialog, GetWindow(dialog, GW_OWNER));

    FillFromVersionInfo(dialog);

    SendDlgItemMessageA(dialog, IDC_ABOUT_RUNNING_ON, WM_SETFONT, reinterpret_cast<WPARAM>(fonts->large), TRUE);
    char line[kAboutTextSize];
    FormatOsLine(GetVersion(), line, sizeof line);
    SetDlgItemTextA(dialog, IDC_ABOUT_OS, line);
    ShowWindow(dialog, SW_SHOW);
}
// NOLINTEND(clang-analyzer-cplusplus.NewDeleteLeaks)

}  // namespace

INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wparam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG:
            OnInitDialog(dialog);
            return TRUE;
        case WM_COMMAND:
            if (LOWORD(wparam) != IDOK && LOWORD(wparam) != IDCANCEL) return FALSE;
            EndDialog(dialog, 1);
            DeleteFonts(dialog);
            return TRUE;
        case WM_DESTROY:
            ReleaseTemplatePictures(dialog);
            // A box destroyed without OK (its owner went first) keeps no font.
            DeleteFonts(dialog);
            delete FontsOf(dialog);
            SetWindowLongPtrA(dialog, DWLP_USER, 0);
            return FALSE;
        default:
            return FALSE;
    }
}

AboutFonts AboutBoxFonts(HWND dialog) {
    const AboutFonts* fonts = FontsOf(dialog);
    return fonts != nullptr ? *fonts : AboutFonts{nullptr, nullptr};
}

INT_PTR ShowAboutBox(Program& program, HWND owner) {
    HINSTANCE instance = program.app.instance != nullptr ? program.app.instance : GetModuleHandleA(nullptr);
    return DialogBoxParamA(instance, "ABOUTBOX", owner, AboutDialogProc, reinterpret_cast<LPARAM>(&program));
}

}  // namespace td
