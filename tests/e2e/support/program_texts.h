// The program's own texts, read from the resources of its executable, so
// that tests compare what the user sees with what the program means to
// show, in the language set the test expects it to choose.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace td::e2e {

class ProgramTexts {
public:
    // `language`: the LANGID of the language set whose resources are read
    // (1033 English unless the test expects another).
    ProgramTexts(const std::string& exe_path, LANGID language);
    ~ProgramTexts();
    ProgramTexts(const ProgramTexts&) = delete;
    ProgramTexts& operator=(const ProgramTexts&) = delete;

    // The text of string `id` in the ANSI code page, as the program loads
    // it; a marker naming the id when that set lacks it, so that a
    // comparison with it fails visibly.
    std::string operator()(int id) const;

    // The titles of the menu bar of menu resource `name`.
    std::vector<std::string> MenuTitles(const char* name) const;
    // The caption of dialog template `name`.
    std::string DialogCaption(const char* name) const;

    LANGID language() const { return language_; }

private:
    const void* Find(const char* type, const char* name, DWORD* size) const;

    HMODULE module_ = nullptr;
    std::string exe_path_;
    LANGID language_;
};

// A sentence of the string table with its places %1 to %9 filled in.
std::string Filled(std::string pattern, const std::vector<std::string>& values);

}  // namespace td::e2e
