#include "features/MacroNames.h"

#include <algorithm>
#include <string_view>

#include "docs/LangSettings.h"

namespace macro_names {
namespace {

constexpr std::string_view kEnglishWord = "Macro";
constexpr std::string_view kChineseWord = "\xE5\xAE\x8F";  // U+5B8F

bool StartsWith(const std::string& text, std::string_view prefix) {
  return text.compare(0, prefix.size(), prefix) == 0;
}

}  // namespace

std::string DisplayName(const std::string& stored, int language, const std::string& word) {
  if (language == kLangChinese && StartsWith(stored, kEnglishWord))
    return word + stored.substr(kEnglishWord.size());
  if (language == kLangEnglish && StartsWith(stored, kChineseWord))
    return word + stored.substr(kChineseWord.size());
  return stored;
}

std::string UniqueName(const std::string& base, const std::vector<std::string>& taken) {
  std::string name;
  for (int n = 1; n <= kMaxSuffix; ++n) {
    name = base + " " + std::to_string(n);
    if (std::find(taken.begin(), taken.end(), name) == taken.end()) break;
  }
  return name;
}

}  // namespace macro_names
