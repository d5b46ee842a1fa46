#include "inventory/adapter_names.h"

#include "common/fixed_text.h"
#include "common/number_text.h"
#include "common/shared_texts.h"
#include "common/text_template.h"

namespace td {
namespace {

template <std::size_t N>
void NumberedName(char (&field)[N], const SharedTexts& texts, std::int32_t adapter_number) {
    char number[16] = "";
    AppendDecimal(number, adapter_number);
    const char* const values[] = {number};
    FillText(field, texts.numbered_adapter, values);
}

}  // namespace

void NameUnnamedAdapter(HostAdapterRecord& record, const SharedTexts& texts) {
    if (record.identifier[0] == '\0') NumberedName(record.identifier, texts, record.adapter_number);
}

void LabelAdapter(HostAdapterRecord& record, const SharedTexts& texts) {
    if (record.description[0] != '\0') return;
    if (record.identifier[0] != '\0') {
        CopyText(record.description, record.identifier);
    } else {
        NumberedName(record.description, texts, record.adapter_number);
    }
}

}  // namespace td
