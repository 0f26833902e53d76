// The shipped language files: both parse, define the same numbers, hold every number the program
// looks up, and read back identically through the program's own language file reader.
#include "DataFiles.h"
#include "docs/LangFile.h"

#include <gtest/gtest.h>

#include <map>
#include <regex>
#include <set>
#include <sstream>

namespace {

using kwtest::ProgramFolder;
using kwtest::ReadFile;

constexpr const char* kSection = "KB.DIALOG";

// number -> text of the one section of a language file; duplicate or malformed lines are
// reported through `problems`.
std::map<int, std::string> ParseLan(const std::string& bytes, std::vector<std::string>& problems) {
  std::string text = bytes;
  if (text.rfind("\xEF\xBB\xBF", 0) == 0) text.erase(0, 3);
  std::map<int, std::string> out;
  std::istringstream lines(text);
  std::string line, section;
  int lineNo = 0;
  while (std::getline(lines, line)) {
    ++lineNo;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty()) continue;
    if (line.front() == '[') {
      section = line.substr(1, line.find(']') - 1);
      if (section != kSection) problems.push_back("unexpected section " + section);
      continue;
    }
    const size_t eq = line.find('=');
    if (section != kSection || eq == std::string::npos || eq == 0 ||
        line.find_first_not_of("0123456789") != eq) {
      problems.push_back("line " + std::to_string(lineNo) + ": " + line);
      continue;
    }
    const int number = std::stoi(line.substr(0, eq));
    if (!out.emplace(number, line.substr(eq + 1)).second)
      problems.push_back("number " + std::to_string(number) + " defined twice");
  }
  return out;
}

size_t CodePoints(const std::string& s) {
  size_t n = 0;
  for (unsigned char c : s) n += (c & 0xC0) != 0x80;
  return n;
}

bool ValidUtf8(const std::string& s) {
  for (size_t i = 0; i < s.size();) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    const size_t len = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
    if (len == 0 || i + len > s.size()) return false;
    for (size_t k = 1; k < len; ++k)
      if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
    i += len;
  }
  return true;
}

// printf conversions of a text, in order ("%s", "%d" ...), so that a format keeps its shape.
std::vector<std::string> Conversions(const std::string& s) {
  static const std::regex conv("%[-+ #0]*[0-9]*(\\.[0-9]+)?[a-zA-Z]");
  std::vector<std::string> out;
  for (auto it = std::sregex_iterator(s.begin(), s.end(), conv); it != std::sregex_iterator(); ++it)
    out.push_back(it->str());
  return out;
}

class LanguageFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* lang : {"1033", "2052"}) {
      const std::string bytes = ReadFile(ProgramFolder() / "language" / (std::string(lang) + ".lan"));
      ASSERT_FALSE(bytes.empty()) << lang << ".lan is missing beside the program";
      std::vector<std::string> problems;
      texts_[lang] = ParseLan(bytes, problems);
      EXPECT_TRUE(problems.empty()) << lang << ".lan: " << ::testing::PrintToString(problems);
      files_.emplace(lang, LangFile::Parse(bytes));
    }
  }
  std::map<std::string, std::map<int, std::string>> texts_;
  std::map<std::string, LangFile> files_;
};

TEST_F(LanguageFiles, BothLanguagesDefineExactlyTheSameNumbers) {
  std::set<int> en, zh;
  for (const auto& [n, t] : texts_["1033"]) en.insert(n);
  for (const auto& [n, t] : texts_["2052"]) zh.insert(n);
  std::vector<int> onlyEn, onlyZh;
  std::set_difference(en.begin(), en.end(), zh.begin(), zh.end(), std::back_inserter(onlyEn));
  std::set_difference(zh.begin(), zh.end(), en.begin(), en.end(), std::back_inserter(onlyZh));
  EXPECT_TRUE(onlyEn.empty()) << "only in 1033.lan: " << ::testing::PrintToString(onlyEn);
  EXPECT_TRUE(onlyZh.empty()) << "only in 2052.lan: " << ::testing::PrintToString(onlyZh);
  EXPECT_GT(en.size(), 150u);
}

TEST_F(LanguageFiles, EveryNumberTheProgramLooksUpHasATextInBothLanguages) {
  const auto numbers = kwtest::ReadTextNumbers();
  ASSERT_GT(numbers.size(), 150u);
  for (const auto& t : numbers)
    for (const char* lang : {"1033", "2052"}) {
      const std::string viaReader = files_.at(lang).Get(kSection, std::to_string(t.number));
      EXPECT_FALSE(viaReader.empty()) << lang << ".lan lacks text " << t.number << " (" << t.role << ")";
    }
}

TEST_F(LanguageFiles, EveryDefinedTextIsListedWithItsRole) {
  std::set<int> listed;
  for (const auto& t : kwtest::ReadTextNumbers()) listed.insert(t.number);
  for (const auto& [n, text] : texts_["1033"])
    EXPECT_TRUE(listed.count(n)) << "text " << n << " (" << text << ") is not in text_numbers.txt";
}

TEST_F(LanguageFiles, EveryLightingModeOfTheShippedLayoutsIsNamedInBothLanguages) {
  const auto layouts = kwtest::LayoutFiles();
  ASSERT_FALSE(layouts.empty());
  for (const auto& layout : layouts) {
    const auto modes = kwtest::LayoutModeNames(ReadFile(layout));
    EXPECT_FALSE(modes.empty()) << layout.filename();
    for (int n : modes)
      for (const char* lang : {"1033", "2052"})
        EXPECT_TRUE(texts_[lang].count(n)) << layout.filename() << ": mode name " << n << " missing in " << lang;
  }
}

TEST_F(LanguageFiles, TheProgramsReaderYieldsEveryTextAsWritten) {
  for (const auto& [lang, texts] : texts_)
    for (const auto& [n, text] : texts)
      EXPECT_EQ(files_.at(lang).Get(kSection, std::to_string(n)), text) << lang << " text " << n;
}

TEST_F(LanguageFiles, TextsAreNonEmptyValidUtf8AndFitTheLookupBuffer) {
  for (const auto& [lang, texts] : texts_)
    for (const auto& [n, text] : texts) {
      EXPECT_FALSE(text.empty()) << lang << " text " << n;
      EXPECT_TRUE(ValidUtf8(text)) << lang << " text " << n;
      EXPECT_LE(CodePoints(text), LangFile::kMaxTextLength) << lang << " text " << n;
      EXPECT_EQ(text.find_first_of("\t\r"), std::string::npos) << lang << " text " << n;
      EXPECT_TRUE(text.front() != ' ' && text.back() != ' ') << lang << " text " << n << " has outer blanks";
    }
}

TEST_F(LanguageFiles, ChineseTextsAreTranslatedAndKeepTheEnglishFormats) {
  for (const auto& [n, en] : texts_["1033"]) {
    const std::string& zh = texts_["2052"][n];
    EXPECT_NE(zh.find_first_of("\xE3\xE4\xE5\xE6\xE7\xE8\xE9\xEF"), std::string::npos)
        << "2052 text " << n << " has no Chinese character: " << zh;
    EXPECT_EQ(Conversions(en), Conversions(zh)) << "text " << n;
  }
}

// Default profile and macro names are stored in the language of their creation and recognised by
// these exact words when the language changes.
TEST_F(LanguageFiles, DefaultNameWordsMatchWhatTheProgramRecognises) {
  EXPECT_EQ(texts_["1033"][65], "Profile");
  EXPECT_EQ(texts_["2052"][65], "\xE9\x85\x8D\xE7\xBD\xAE\xE6\x96\xB9\xE6\xA1\x88");  // 配置方案
  EXPECT_EQ(texts_["1033"][331], "Macro");
  EXPECT_EQ(texts_["2052"][331], "\xE5\xAE\x8F");  // U+5B8F
}

TEST_F(LanguageFiles, ListedNumbersAreUniqueAndSorted) {
  const auto numbers = kwtest::ReadTextNumbers();
  for (size_t i = 1; i < numbers.size(); ++i)
    EXPECT_LT(numbers[i - 1].number, numbers[i].number) << "text_numbers.txt around " << numbers[i].number;
  for (const auto& t : numbers)
    EXPECT_TRUE(t.origin == "named" || t.origin == "extra" || t.origin == "layout" || t.origin == "gallery")
        << t.number;
}

}  // namespace
