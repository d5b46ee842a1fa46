// What the whole-dialog check shares between its parts: the program's
// resources in each language, text measurement with a window's own font,
// and the report of what does not fit.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace td::layout {

// The languages the program file holds dialogs in, as found in its
// resources (not a list of ours), with a short name for the report.
struct Language {
    LANGID id;
    std::string code;  // "en", "de" ... or the LANGID in hexadecimal
};
std::vector<Language> LanguagesOfDialogs();

// A string of the program's string table in one language, as compiled.
std::wstring StringIn(LANGID language, int id);

// UTF-8 for the report.
std::string Utf8(const std::wstring& text);

// The size `text` takes in `window`'s font (or `font` when given), laid
// out as DrawText lays it out with `format` (DT_WORDBREAK within `width`,
// else one line).
SIZE Needed(HWND window, const std::wstring& text, UINT format, int width, HFONT font = nullptr);

// Counts and prints a finding: "es dialog 900, control 1010 "Transferencia
// síncrona": ...".
void Report(const std::string& where, const std::string& what);
int ProblemCount();

// The checks, each over every language.
void CheckDialogs(int dpi);
void CheckMenus(int screen_width, int screen_height);
void CheckStatusBar(int screen_width, int screen_height);
void CheckMessageBoxes(int screen_width, int screen_height);

}  // namespace td::layout
