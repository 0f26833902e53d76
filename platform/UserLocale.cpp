#include "platform/UserLocale.h"

#include "platform/UserFolders.h"

namespace platform {

std::string UserUiLocaleName() {
  // LANGUAGE is a priority list ("zh_CN:en_US"); its first entry is the preferred language.
  std::string language = GetEnvString("LANGUAGE");
  language = language.substr(0, language.find(':'));
  if (!language.empty()) return language;
  for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    std::string value = GetEnvString(name);
    if (!value.empty()) return value;
  }
  return {};
}

int LanguageIdOfLocale(const std::string& locale) {
  // Drop ".codeset" and "@modifier", then compare the language and its first qualifier.
  std::string name = locale.substr(0, locale.find_first_of(".@"));
  for (char& c : name)
    if (c == '-') c = '_';
  if (name.size() < 3 || name.compare(0, 3, "zh_") != 0) return 1033;
  const std::string qualifier = name.substr(3, name.find('_', 3) - 3);
  if (qualifier == "CN" || qualifier == "SG" || qualifier == "Hans") return 2052;
  return 1033;
}

int UserDefaultUILanguage() { return LanguageIdOfLocale(UserUiLocaleName()); }

}  // namespace platform
