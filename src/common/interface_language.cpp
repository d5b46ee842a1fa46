#include "common/interface_language.h"

namespace td {

namespace {

// Primary language (the low ten bits of a LANGID) of each set, and the
// sub-language of the country its resources are tagged with.
struct LanguageSet {
    InterfaceLanguage language;
    std::uint16_t primary;
    std::uint16_t tag;
};

constexpr LanguageSet kSets[kInterfaceLanguageCount] = {
    {InterfaceLanguage::German, 0x07, 0x0407},   // Germany
    {InterfaceLanguage::English, 0x09, 0x0409},  // United States
    {InterfaceLanguage::Spanish, 0x0A, 0x040A},  // Spain, traditional sort
    {InterfaceLanguage::French, 0x0C, 0x040C},   // France
    {InterfaceLanguage::Italian, 0x10, 0x0410},  // Italy
};

constexpr std::uint16_t kPrimaryLanguageMask = 0x03FF;

}  // namespace

std::uint16_t ResourceLanguageId(InterfaceLanguage language) {
    for (const LanguageSet& set : kSets) {
        if (set.language == language) return set.tag;
    }
    return 0x0409;
}

InterfaceLanguage ChooseInterfaceLanguage(std::uint16_t user_language) {
    const std::uint16_t primary = user_language & kPrimaryLanguageMask;
    for (const LanguageSet& set : kSets) {
        if (set.primary == primary) return set.language;
    }
    return InterfaceLanguage::English;
}

UserLanguageSource DecideUserLanguageSource(std::uint32_t version) {
    if ((version & 0x80000000u) != 0) return UserLanguageSource::SystemLocale;
    if ((version & 0xFFu) < 5) return UserLanguageSource::UserLocale;
    return UserLanguageSource::UserInterfaceLanguage;
}

}  // namespace td
