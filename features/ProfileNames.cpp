#include "features/ProfileNames.h"

#include <algorithm>
#include <cctype>

#include "docs/LangSettings.h"

namespace profiles {

namespace {

constexpr const char* kEnglishWord = "Profile";
constexpr const char* kChineseWord = "配置方案";

bool StartsWith(const std::string& text, const std::string& prefix) {
  return text.compare(0, prefix.size(), prefix) == 0;
}

// Lower case for ASCII letters; other bytes (any other script) stay as they are.
std::string Lowered(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

}  // namespace

std::string DisplayName(const std::string& stored, int lcid, const std::string& profileWord) {
  const std::string other = lcid == kLangChinese   ? kEnglishWord
                            : lcid == kLangEnglish ? kChineseWord
                                                   : "";
  if (other.empty() || !StartsWith(stored, other)) return stored;
  return profileWord + stored.substr(other.size());
}

std::string FirstFreeName(const std::string& profileWord, const std::vector<std::string>& taken) {
  for (int n = 1; n <= kMaxDefaultNumber; ++n) {
    std::string name = profileWord + " " + std::to_string(n);
    if (std::find(taken.begin(), taken.end(), name) == taken.end()) return name;
  }
  return {};
}

const std::vector<std::string>& BlockedWords() {
  static const std::vector<std::string> words = {
      "admin", "root",  "sudo",  "null", "nil",  "undefined", "system", "virus",
      "hack",  "crack", "cheat", "spam", "病毒", "外挂",      "木马",
  };
  return words;
}

bool HasBlockedWord(const std::string& name) {
  const std::string lowered = Lowered(name);
  return std::any_of(BlockedWords().begin(), BlockedWords().end(), [&](const std::string& word) {
    return lowered.find(word) != std::string::npos;
  });
}

}  // namespace profiles
