#include "common/shared_texts.h"

#include <cstddef>

#include "common/fixed_text.h"
#include "common/messages.h"

namespace td {
namespace {

// The load order is part of the start-up's behaviour: it stops at the first
// text that is missing.
struct Row {
    std::size_t offset;
    int id;
    int size;
};
#define TD_ROW(id, member) \
    Row { offsetof(SharedTexts, member), id, static_cast<int>(sizeof(SharedTexts::member)) }

const Row kRows[] = {
    TD_ROW(50000, status_caption),
    TD_ROW(50010, no_device),
    TD_ROW(50011, host_adapter),
    TD_ROW(50012, rescan_question),
    TD_ROW(50018, none),
    TD_ROW(50019, open_title),
    TD_ROW(50026, hard_disk),
    TD_ROW(50027, cd_rom),
    TD_ROW(50028, tape),
    TD_ROW(50029, removable),
    TD_ROW(50030, type_host_adapter),
    TD_ROW(50031, worm),
    TD_ROW(50032, scanner),
    TD_ROW(50071, printer),
    TD_ROW(50033, type_no_device),
    TD_ROW(50034, unknown),
    TD_ROW(50038, save_title),
    TD_ROW(50039, properties_caption),
    TD_ROW(50040, controller_refusal),
    TD_ROW(50041, ok),
    TD_ROW(50042, no_device_refusal),
    TD_ROW(50043, begin_tests),
    TD_ROW(50044, warning_shared),
    TD_ROW(50045, warning_destructive),
    TD_ROW(50046, warning_safe_devices),
    TD_ROW(50047, warning_proceed),
    TD_ROW(50048, tests_caption),
    TD_ROW(50049, in_progress),
    TD_ROW(50050, testing),
    TD_ROW(50051, passed),
    TD_ROW(50052, failed),
    TD_ROW(50053, sense_heading),
    TD_ROW(50054, sense_key_label),
    TD_ROW(50055, sense_code_label),
    TD_ROW(50056, sense_qualifier_label),
    TD_ROW(50057, continue_question),
    TD_ROW(50060, testing_complete),
    TD_ROW(50063, tests_successful),
    TD_ROW(50070, not_tested),
};
#undef TD_ROW

constexpr int kNumberedAdapterId = 50072;

static_assert(sizeof kRows / sizeof kRows[0] == 39, "the start-up loads 39 shared texts");

void LoadTypeNames(Messages& messages, TypeNameCatalog& catalog) {
    for (int language = 0; language < kInterfaceLanguageCount; ++language) {
        for (int i = 0; i < TypeNameCatalog::kIdCount; ++i) {
            char(&name)[32] = catalog.names[language][i];
            if (messages.LoadTextOf(static_cast<InterfaceLanguage>(language), TypeNameCatalog::kIds[i], name,
                                    sizeof name) == 0) {
                name[0] = '\0';
            }
        }
    }
}

}  // namespace

const char* SharedTextOf(const SharedTexts& texts, int id) {
    for (const Row& row : kRows) {
        if (row.id == id) return reinterpret_cast<const char*>(&texts) + row.offset;
    }
    return nullptr;
}

bool LoadSharedTexts(Messages& messages, SharedTexts& texts) {
    char* base = reinterpret_cast<char*>(&texts);
    for (const Row& row : kRows) {
        if (messages.LoadText(row.id, base + row.offset, row.size) == 0) return false;
    }
    LoadTypeNames(messages, texts.type_names);
    if (messages.LoadText(kNumberedAdapterId, texts.numbered_adapter, sizeof texts.numbered_adapter) == 0) {
        CopyText(texts.numbered_adapter, "Host Adapter %1");
    }
    return true;
}

}  // namespace td
