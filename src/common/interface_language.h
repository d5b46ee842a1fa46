// The five language sets the program carries, and which one a user gets.
//
// Every text, menu and dialog exists once per set, each tagged with one
// language of one country (German of Germany, English of the United States
// ...). Windows' own resource loader finds a resource only by that exact
// tag and otherwise falls back to English, which would show English to
// every Austrian, Mexican or Canadian user. So the program chooses its set
// by the primary language alone and asks for that set's tag itself.
#pragma once

#include <cstdint>

namespace td {

// In the order of the tags' values.
enum class InterfaceLanguage : int { German, English, Spanish, French, Italian };
constexpr int kInterfaceLanguageCount = 5;

// The LANGID the set's resources carry: 1031, 1033, 1034, 1036 or 1040.
std::uint16_t ResourceLanguageId(InterfaceLanguage language);

// The set for a user whose language is the LANGID `user_language`: the set
// of the same primary language (bits 0 to 9), whatever the country, sort or
// sub-language; English for every other language, LANG_NEUTRAL included.
InterfaceLanguage ChooseInterfaceLanguage(std::uint16_t user_language);

// Where the user's language is read, as each system's own resource loader
// reads it.
enum class UserLanguageSource {
    SystemLocale,           // Windows 95, 98 and Me: GetSystemDefaultLangID
    UserLocale,             // Windows NT 4.0 and earlier: GetUserDefaultLangID
    UserInterfaceLanguage,  // Windows 2000 and later: GetUserDefaultUILanguage
};

// From GetVersion's value: the top bit set is the Windows 95 family (and
// Win32s); otherwise NT, whose major version (low byte) 5 or more has a
// user interface language of its own.
UserLanguageSource DecideUserLanguageSource(std::uint32_t version);

}  // namespace td
