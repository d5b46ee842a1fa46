// Which of the five language sets a user gets, and where the user's
// language is read on each system.
#include <gtest/gtest.h>

#include <cstdint>
#include <map>

#include "common/interface_language.h"

namespace td {
namespace {

// Every country and sort Windows has defined for the five languages, and a
// few of other languages.
const std::map<std::uint16_t, InterfaceLanguage> kCountries = {
    {0x0407, InterfaceLanguage::German},  {0x0807, InterfaceLanguage::German},   // Germany, Switzerland
    {0x0C07, InterfaceLanguage::German},  {0x1007, InterfaceLanguage::German},   // Austria, Luxembourg
    {0x1407, InterfaceLanguage::German},                                         // Liechtenstein
    {0x040A, InterfaceLanguage::Spanish}, {0x0C0A, InterfaceLanguage::Spanish},  // Spain, both sorts
    {0x080A, InterfaceLanguage::Spanish}, {0x100A, InterfaceLanguage::Spanish},  // Mexico, Guatemala
    {0x140A, InterfaceLanguage::Spanish}, {0x180A, InterfaceLanguage::Spanish},  // Costa Rica, Panama
    {0x1C0A, InterfaceLanguage::Spanish}, {0x200A, InterfaceLanguage::Spanish},  // Dominican Rep., Venezuela
    {0x240A, InterfaceLanguage::Spanish}, {0x280A, InterfaceLanguage::Spanish},  // Colombia, Peru
    {0x2C0A, InterfaceLanguage::Spanish}, {0x300A, InterfaceLanguage::Spanish},  // Argentina, Ecuador
    {0x340A, InterfaceLanguage::Spanish}, {0x380A, InterfaceLanguage::Spanish},  // Chile, Uruguay
    {0x3C0A, InterfaceLanguage::Spanish}, {0x400A, InterfaceLanguage::Spanish},  // Paraguay, Bolivia
    {0x440A, InterfaceLanguage::Spanish}, {0x480A, InterfaceLanguage::Spanish},  // El Salvador, Honduras
    {0x4C0A, InterfaceLanguage::Spanish}, {0x500A, InterfaceLanguage::Spanish},  // Nicaragua, Puerto Rico
    {0x540A, InterfaceLanguage::Spanish}, {0x580A, InterfaceLanguage::Spanish},  // United States, Latin America
    {0x040C, InterfaceLanguage::French},  {0x080C, InterfaceLanguage::French},   // France, Belgium
    {0x0C0C, InterfaceLanguage::French},  {0x100C, InterfaceLanguage::French},   // Canada, Switzerland
    {0x140C, InterfaceLanguage::French},  {0x180C, InterfaceLanguage::French},   // Luxembourg, Monaco
    {0x0410, InterfaceLanguage::Italian}, {0x0810, InterfaceLanguage::Italian},  // Italy, Switzerland
    {0x0409, InterfaceLanguage::English}, {0x0809, InterfaceLanguage::English},  // United States, Britain
    {0x0411, InterfaceLanguage::English}, {0x0416, InterfaceLanguage::English},  // Japanese, Portuguese (Brazil)
    {0x0413, InterfaceLanguage::English}, {0x0000, InterfaceLanguage::English},  // Dutch, neutral
    {0x007F, InterfaceLanguage::English}, {0x0400, InterfaceLanguage::English},  // invariant, process default
};

TEST(InterfaceLanguage, EveryCountryOfTheFiveLanguagesGetsItsLanguage) {
    for (const auto& [langid, expected] : kCountries)
        EXPECT_EQ(ChooseInterfaceLanguage(langid), expected) << std::hex << langid;
}

// Over every LANGID: the five primary languages (whatever the sub-language
// bits, also ones no Windows has defined yet) get their set, all others
// English; and each set's own tag chooses that set.
TEST(InterfaceLanguage, EveryLangidChoosesByItsPrimaryLanguageAlone) {
    std::map<InterfaceLanguage, int> chosen;
    for (std::uint32_t langid = 0; langid <= 0xFFFF; ++langid) {
        const InterfaceLanguage language = ChooseInterfaceLanguage(static_cast<std::uint16_t>(langid));
        const std::uint16_t tag = ResourceLanguageId(language);
        if (language != InterfaceLanguage::English) {
            ASSERT_EQ(langid & 0x3FF, tag & 0x3FFu) << std::hex << langid;
        }
        ++chosen[language];
    }
    // 64 sub-language values for each of the four, the rest English.
    EXPECT_EQ(chosen[InterfaceLanguage::German], 64);
    EXPECT_EQ(chosen[InterfaceLanguage::Spanish], 64);
    EXPECT_EQ(chosen[InterfaceLanguage::French], 64);
    EXPECT_EQ(chosen[InterfaceLanguage::Italian], 64);
    EXPECT_EQ(chosen[InterfaceLanguage::English], 65536 - 4 * 64);
    for (std::uint16_t tag : {0x0407, 0x0409, 0x040A, 0x040C, 0x0410})
        EXPECT_EQ(ResourceLanguageId(ChooseInterfaceLanguage(tag)), tag);
}

TEST(InterfaceLanguage, EachSystemReadsTheLanguageItsLoaderUses) {
    EXPECT_EQ(DecideUserLanguageSource(0xC0000004u), UserLanguageSource::SystemLocale);           // 95
    EXPECT_EQ(DecideUserLanguageSource(0xC0000A04u), UserLanguageSource::SystemLocale);           // 98
    EXPECT_EQ(DecideUserLanguageSource(0xC0005A04u), UserLanguageSource::SystemLocale);           // Me
    EXPECT_EQ(DecideUserLanguageSource(0x05650004u), UserLanguageSource::UserLocale);             // NT 4.0
    EXPECT_EQ(DecideUserLanguageSource(0x08930005u), UserLanguageSource::UserInterfaceLanguage);  // 2000
    EXPECT_EQ(DecideUserLanguageSource(0x0A280105u), UserLanguageSource::UserInterfaceLanguage);  // XP
    EXPECT_EQ(DecideUserLanguageSource(0x4A61000Au), UserLanguageSource::UserInterfaceLanguage);  // 10
}

}  // namespace
}  // namespace td
