// Texts and message boxes.
//
// Every text the user sees comes from the string table by number, and every
// message is a message box whose answer the caller may act on. The core
// goes through this interface for both, so tests can script the answers and
// record which texts were shown.
#pragma once

#include <cstddef>
#include <cstdint>

#include "common/interface_language.h"

namespace td {

// A window given as owner of a box; 0 is no owner.
using WindowRef = std::uintptr_t;

class Messages {
public:
    virtual ~Messages() = default;

    // LoadStringA: copies the string `id` into `buffer` (cut to `size` - 1
    // characters and terminated) and answers the number of characters
    // copied, 0 when the string does not exist.
    virtual int LoadText(int id, char* buffer, int size) = 0;

    // String `id` of the language set `language`, whatever the interface's
    // language is, with LoadText's contract; 0 where that set lacks it (and
    // from a source that holds one language only).
    virtual int LoadTextOf(InterfaceLanguage language, int id, char* buffer, int size) {
        (void)language;
        (void)id;
        if (buffer != nullptr && size > 0) buffer[0] = '\0';
        return 0;
    }

    // MessageBoxA: shows `text` under `caption` (nullptr for the system's
    // default caption) and answers the button chosen (win::kIdOk ...).
    virtual int Box(WindowRef owner, const char* text, const char* caption, unsigned flags) = 0;
};

// The caption of every status message of the program: string 50000.
constexpr int kStatusCaptionId = 50000;

// Longest text a message may have, terminator included.
constexpr int kMessageTextSize = 2048;

// Loads text `id` and, only if it loads, shows it in a box with the status
// caption "Tessaline Diagnostics status:" (loaded afresh; an unloadable
// caption leaves the caption empty). Answers the button chosen, or 0 when
// the text did not load and nothing was shown.
int ShowMessage(Messages& messages, WindowRef owner, int id, unsigned flags);

}  // namespace td
