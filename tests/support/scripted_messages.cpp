#include "support/scripted_messages.h"

#include <algorithm>
#include <cstdlib>

#include "common/fixed_text.h"
#include "common/win_codes.h"

namespace td::test {

ScriptedMessages::ScriptedMessages(const std::string& language) : table_(LoadStringTable(language)) {}

namespace {

int CopyFromTable(const StringTable& table, int id, char* buffer, int size) {
    const auto found = table.find(id);
    if (found == table.end() || size <= 0) {
        if (size > 0) buffer[0] = '\0';
        return 0;
    }
    CopyTextTo(buffer, static_cast<std::size_t>(size), found->second.c_str());
    return static_cast<int>(std::string(buffer).size());
}

}  // namespace

int ScriptedMessages::LoadText(int id, char* buffer, int size) {
    if (std::find(removed_.begin(), removed_.end(), id) != removed_.end()) {
        if (size > 0) buffer[0] = '\0';
        return 0;
    }
    return CopyFromTable(table_, id, buffer, size);
}

int ScriptedMessages::LoadTextOf(InterfaceLanguage language, int id, char* buffer, int size) {
    static const char* const kFolders[kInterfaceLanguageCount] = {"de", "en", "es", "fr", "it"};
    return CopyFromTable(LoadStringTable(kFolders[static_cast<int>(language)]), id, buffer, size);
}

int ScriptedMessages::Box(WindowRef owner, const char* text, const char* caption, unsigned flags) {
    boxes_.push_back({owner, text ? text : "", caption ? caption : "", flags});
    if (!answers_.empty()) {
        const int answer = answers_.front();
        answers_.pop_front();
        return answer;
    }
    switch (flags & 0x0F) {
        case win::kMbYesNo:
            return win::kIdYes;
        case win::kMbRetryCancel:
            return win::kIdRetry;
        default:
            return win::kIdOk;
    }
}

std::string ScriptedMessages::Text(int id) const {
    const auto found = table_.find(id);
    return found == table_.end() ? std::string() : found->second;
}

bool ScriptedMessages::Showed(int id) const {
    const std::string text = Text(id);
    return std::any_of(boxes_.begin(), boxes_.end(), [&](const ShownBox& box) { return box.text == text; });
}

const SharedTexts& EnglishSharedTexts() {
    static const SharedTexts texts = [] {
        ScriptedMessages messages;
        SharedTexts loaded{};
        if (!LoadSharedTexts(messages, loaded)) std::abort();
        return loaded;
    }();
    return texts;
}

}  // namespace td::test
