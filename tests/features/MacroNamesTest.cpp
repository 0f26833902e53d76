// Display names by language and the unique names of new and copied macros.
#include <gtest/gtest.h>

#include "docs/LangSettings.h"
#include "features/MacroNames.h"

namespace {

using macro_names::DisplayName;
using macro_names::UniqueName;

TEST(MacroNames, DisplayNameSwapsTheWordOfTheOtherLanguage) {
  const std::string chineseWord = "\xE5\xAE\x8F";
  EXPECT_EQ(DisplayName("Macro 3", kLangChinese, chineseWord), chineseWord + " 3");
  EXPECT_EQ(DisplayName(chineseWord + " 2", kLangEnglish, "Macro"), "Macro 2");
  EXPECT_EQ(DisplayName("Macro 3", kLangEnglish, "Macro"), "Macro 3");
  EXPECT_EQ(DisplayName("Combo", kLangChinese, chineseWord), "Combo");
}

TEST(MacroNames, UniqueNameTakesTheFirstFreeNumber) {
  EXPECT_EQ(UniqueName("Macro", {}), "Macro 1");
  EXPECT_EQ(UniqueName("Macro", {"Macro 1", "Macro 3"}), "Macro 2");
  EXPECT_EQ(UniqueName("Macro 1 -", {"Macro 1", "Macro 1 - 1"}), "Macro 1 - 2");
  EXPECT_EQ(UniqueName("macro", {"Macro 1"}), "macro 1") << "case-sensitive";
}

}  // namespace
