// Texts and message boxes for tests: the English string table of the
// program, boxes recorded instead of shown, answers given from a script.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "common/messages.h"
#include "common/shared_texts.h"
#include "support/rc_strings.h"

namespace td::test {

struct ShownBox {
    WindowRef owner;
    std::string text;
    std::string caption;
    unsigned flags;
};

class ScriptedMessages final : public Messages {
public:
    explicit ScriptedMessages(const std::string& language = "en");

    int LoadText(int id, char* buffer, int size) override;
    // From the string table of that language's folder.
    int LoadTextOf(InterfaceLanguage language, int id, char* buffer, int size) override;
    int Box(WindowRef owner, const char* text, const char* caption, unsigned flags) override;

    // The text of string `id` as the program would load it.
    std::string Text(int id) const;

    // Answers for the next boxes, in order; a box without a scripted answer
    // is answered with its first button (OK, Yes or Retry).
    void Answer(int button) { answers_.push_back(button); }

    // Makes string `id` unloadable.
    void Remove(int id) { removed_.push_back(id); }

    const std::vector<ShownBox>& boxes() const { return boxes_; }
    // True when a box showed exactly the text of string `id`.
    bool Showed(int id) const;
    void Clear() { boxes_.clear(); }

private:
    const StringTable& table_;
    std::deque<int> answers_;
    std::vector<int> removed_;
    std::vector<ShownBox> boxes_;
};

// The shared texts as the program loads them from its English string
// table, loaded once; aborts when they cannot be loaded. For programs
// without a test framework around them (fuzz targets).
const SharedTexts& EnglishSharedTexts();

}  // namespace td::test
