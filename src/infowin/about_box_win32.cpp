#include "infowin/about_box_win32.h"

#include "common/fixed_text.h"
#include "common/program_resources_win32.h"
#include "infowin/about_text.h"
#include "infowin/dialog_helpers_win32.h"
#include "infowin/version_resource.h"
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

// What the system's version functions answer for a key they do not find.
constexpr DWORD kKeyNotFound = ERROR_RESOURCE_TYPE_NOT_FOUND;

// The value of `key` in the version resource's string table, in the ANSI
// code page, cut to `size`; false when it is not there or empty.
bool ReadVersionKey(const void* block, DWORD block_size, const char* key, char* value, int size) {
    char path[kAboutTextSize + sizeof kVersionStringBlock];
    VersionQueryPath(key, path, sizeof path);
    return ResourceTextToAnsi(FindVersionText(block, block_size, path), value, size) > 0;
}

// Title and controls 500 to 505 from the version resource of the user's
// language set (the system's version functions would pick the resource by
// their own rules); without one they keep their template texts.
void FillFromVersionInfo(HWND dialog) {
    DWORD size = 0;
    const void* block = FindProgramResource(RT_VERSION, MAKEINTRESOURCEA(VS_VERSION_INFO), &size);
    if (block == nullptr) return;
    char product[kAboutTextSize];
    if (ReadVersionKey(block, size, "ProductName", product, sizeof product)) {
        // "About " in the interface language, then the product's name as it is.
        char title[kAboutTextSize] = "";
        LoadProgramText(IDS_ABOUT_TITLE, title, sizeof title);
        AppendText(title, product);
        SetWindowTextA(dialog, title);
    }
    // The controls' template texts are the key names.
    for (int id = IDC_ABOUT_COMPANY; id <= IDC_ABOUT_TRADEMARKS; ++id) {
        char key[kAboutTextSize] = "";
        GetDlgItemTextA(dialog, id, key, sizeof key);
        char value[kAboutTextSize];
        const bool found = ReadVersionKey(block, size, key, value, sizeof value);
        char text[kAboutTextSize];
        FormatVersionValue(found, value, kKeyNotFound, text, sizeof text);
        SetDlgItemTextA(dialog, id, text);
    }
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
    return ShowProgramDialog("ABOUTBOX", owner, AboutDialogProc, reinterpret_cast<LPARAM>(&program));
}

}  // namespace td
