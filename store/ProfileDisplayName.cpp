#include "store/ProfileDisplayName.h"

#include <string_view>

#include "docs/LangSettings.h"

namespace {

// Both prefixes are compared as whole code points: "Profile" is 7 ASCII characters and the
// Chinese default word is 4 characters of 3 UTF-8 bytes each.
constexpr std::string_view kEnglishDefault = "Profile";
constexpr std::string_view kChineseDefault = "\xE9\x85\x8D\xE7\xBD\xAE\xE6\x96\xB9\xE6\xA1\x88";

}  // namespace

std::string ProfileDisplayName(const std::string& storedName, int languageId,
                               const std::string& profileWord) {
  std::string_view prefix;
  if (languageId == 2052) {
    prefix = kEnglishDefault;
  } else if (languageId == 1033) {
    prefix = kChineseDefault;
  } else {
    return storedName;
  }
  if (storedName.compare(0, prefix.size(), prefix) != 0) {
    return storedName;
  }
  return profileWord + storedName.substr(prefix.size());
}

std::string ProfileDisplayName(const std::string& storedName) {
  return ProfileDisplayName(storedName, GetCurrentLanguage(), GetLangText(65));
}
