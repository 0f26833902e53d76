#include <gtest/gtest.h>

#include "app/WindowTexts.h"
#include "docs/LangSettings.h"
#include "support/TempFolder.h"
#include "tavex/Buttons.h"
#include "tavex/MText.h"

namespace {

class WindowTextsTest : public ::testing::Test {
 protected:
  WindowTextsTest() {
    root.Write("language/1033.lan", "[KB.DIALOG]\n50=Home\n51=Key Assignment\n");
    root.Write("language/2052.lan", "[KB.DIALOG]\n50=\xE4\xB8\xBB\xE9\xA1\xB5\n");
    SetLanguageRootForTesting(root.Path() + "/");
    SetCurrentLanguage(kLangEnglish);
  }
  ~WindowTextsTest() override {
    SetLanguageRootForTesting("");
    SetCurrentLanguage(0);
  }
  TempFolder root;
};

TEST_F(WindowTextsTest, ApplySetsEveryBoundTextInTheCurrentLanguage) {
  Tavex::MText title(nullptr, 1, Tavex::CRect(0, 0, 100, 20), "");
  Tavex::MButton button(nullptr, 2, Tavex::CRect(0, 0, 100, 20), "");
  int fills = 0;
  WindowTexts texts;
  texts.Caption(&title, 50);
  texts.Tooltip(&button, 51);
  texts.Custom([&fills] { ++fills; });
  texts.Caption(nullptr, 50);  // a control the library could not make is left out
  EXPECT_EQ(texts.Count(), 3u);
  EXPECT_EQ(title.GetTitle(), "Home");
  EXPECT_EQ(button.GetTooltip(), "Key Assignment");
  EXPECT_EQ(fills, 1);

  SetCurrentLanguage(kLangChinese);
  texts.Apply();
  EXPECT_EQ(title.GetTitle(), "\xE4\xB8\xBB\xE9\xA1\xB5");
  EXPECT_EQ(button.GetTooltip(), "") << "a text missing from the file is empty";
  EXPECT_EQ(fills, 2);
}

}  // namespace
