// The program's own resources, in the language set chosen for the user.
//
// Windows' loaders (LoadStringA, LoadMenuA, DialogBoxParamA, a window
// class's menu, property sheet page templates) look a resource up by one
// exact language and fall back to English; Windows 95 ignores the thread
// locale for this and Vista and later use the user's interface language.
// So every text, menu and dialog of the program is found here instead: with
// FindResourceExA in the chosen set's language, then in English, then
// wherever the system's own order finds it; menus and dialogs are then made
// from the template found (LoadMenuIndirectA, DialogBoxIndirectParamA,
// PSP_DLGINDIRECT). Pictures without text are language-neutral and keep
// their usual loaders.
#pragma once

#include <windows.h>

#include "common/interface_language.h"
#include "common/resource_text.h"

namespace td {

// The set of the user's language, read where this system's own loader reads
// it (the system locale on Windows 95, 98 and Me, the user's locale on NT
// 4.0, the user's interface language from Windows 2000 on).
InterfaceLanguage DetectInterfaceLanguage();

// The set in use: detected at the first use, or the one given here.
InterfaceLanguage ProgramLanguage();
void UseProgramLanguage(InterfaceLanguage language);

// LoadStringA's contract in the set in use: copies string `id` into
// `buffer`, cut to `size` - 1 characters in the ANSI code page, terminates
// it and answers the characters copied; 0 when the string exists nowhere.
int LoadProgramText(int id, char* buffer, int size);

// String `id` of `language`'s own table only, without falling back.
int LoadProgramTextOf(InterfaceLanguage language, int id, char* buffer, int size);

// `text` in the ANSI code page as LoadStringA converts it: cut to what fits
// in `size` - 1 bytes, never in the middle of a double-byte character, and
// terminated. Answers the bytes written before the terminator.
int ResourceTextToAnsi(const ResourceText& text, char* buffer, int size);

// The menu or dialog template `name` in the set in use; null when the
// program file has none.
HMENU LoadProgramMenu(const char* name);
const DLGTEMPLATE* ProgramDialogTemplate(const char* name);

// DialogBoxParamA with the template of the set in use; -1 without one.
INT_PTR ShowProgramDialog(const char* name, HWND owner, DLGPROC procedure, LPARAM parameter);

// The raw resource `name` of `type` in the set in use, or null.
const void* FindProgramResource(const char* type, const char* name, DWORD* size);

}  // namespace td
