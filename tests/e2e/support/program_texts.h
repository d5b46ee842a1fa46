// The program's own texts, read from the string table of its executable,
// so that tests compare what the user sees with what the program means to
// show, in whatever language the table holds.
#pragma once

#include <windows.h>

#include <string>

namespace td::e2e {

class ProgramTexts {
public:
    explicit ProgramTexts(const std::string& exe_path);
    ~ProgramTexts();
    ProgramTexts(const ProgramTexts&) = delete;
    ProgramTexts& operator=(const ProgramTexts&) = delete;

    // The text of string `id`; a marker naming the id when the table lacks
    // it, so that a comparison with it fails visibly.
    std::string operator()(int id) const;

private:
    HMODULE module_ = nullptr;
    std::string exe_path_;
};

}  // namespace td::e2e
