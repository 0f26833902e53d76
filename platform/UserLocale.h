// The user's interface language, as a Windows language identifier. Callable from any thread.
#pragma once

#include <string>

namespace platform {

// The locale name that decides the UI language: the first non-empty of LANGUAGE (its first
// entry), LC_ALL, LC_MESSAGES, LANG. Empty when none is set.
std::string UserUiLocaleName();

// Language identifier of a locale name: 2052 for Simplified Chinese (zh_CN, zh_SG, zh_Hans, with
// any codeset or modifier, '_' or '-'), 1033 for everything else.
int LanguageIdOfLocale(const std::string& locale);

// LanguageIdOfLocale(UserUiLocaleName()).
int UserDefaultUILanguage();

}  // namespace platform
