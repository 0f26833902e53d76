// Both factories create every standard control they list, each of its own class.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "StdControlsSupport.h"
#include "tavex/ControlFactory.h"

namespace {

using Tavex::ControlFactory;
using TavexTest::RecordingParent;

const char* const kStandard[] = {
    "MText",        "MPicture",      "CPhotoFrame",  "CSliderPicture", "CGifPicture",
    "MProgress",    "MSlider",       "MLevelCtrl",   "MButton",        "CImageButton",
    "CTextButton",  "CCheckButton",  "CRadioButton", "CColorButton",   "MSpinButton",
    "CSpinButton",  "CSwitchButton", "CIconButton",  "CTimerButton",   "CHelpButton",
    "MEdit",        "MRichEdit",     "MEditEx",      "MPalette",       "CColorPalette",
    "CColorSelect", "CirclePalette"};

TEST(StandardControlFactory, CreatesEveryStandardNameAsThatClassInBothTables) {
  RecordingParent parent;
  for (auto table : {ControlFactory::Table::Dialog, ControlFactory::Table::Panel}) {
    for (const char* name : kStandard) {
      std::unique_ptr<Tavex::MControl> c(ControlFactory::Create(
          table, name, &parent, 40, TavexTest::CRect(0, 0, 100, 30), "Title", 1, 1));
      ASSERT_NE(c, nullptr) << name;
      EXPECT_STREQ(c->GetClassNameW(), name);
      EXPECT_EQ(c->GetControlID(), 40u);
    }
  }
}

TEST(StandardControlFactory, PanelOnlyButtonsComeFromThePanelTableAlone) {
  RecordingParent parent;
  for (const char* name : {"UpgradeButton", "DownloadButton"}) {
    EXPECT_EQ(ControlFactory::Create(ControlFactory::Table::Dialog, name, &parent, 1,
                                     TavexTest::CRect(), nullptr, 1, 1),
              nullptr);
    std::unique_ptr<Tavex::MControl> c(ControlFactory::Create(
        ControlFactory::Table::Panel, name, &parent, 1, TavexTest::CRect(), nullptr, 1, 1));
    ASSERT_NE(c, nullptr);
    EXPECT_STREQ(c->GetClassNameW(), name);
  }
}

TEST(StandardControlFactory, PassesVisibleAndEnabledAndTextStartsDisabled) {
  RecordingParent parent;
  std::unique_ptr<Tavex::MControl> button(ControlFactory::Create(
      ControlFactory::Table::Dialog, "MButton", &parent, 1, TavexTest::CRect(), "x", 0, 0));
  EXPECT_FALSE(button->IsVisible());
  EXPECT_FALSE(button->IsEnabled());
  std::unique_ptr<Tavex::MControl> text(ControlFactory::Create(
      ControlFactory::Table::Dialog, "MText", &parent, 2, TavexTest::CRect(), "x", 1, 1));
  EXPECT_TRUE(text->IsVisible());
  EXPECT_FALSE(text->IsEnabled());
  std::unique_ptr<Tavex::MControl> spin(ControlFactory::Create(
      ControlFactory::Table::Dialog, "MSpinButton", &parent, 3, TavexTest::CRect(), "x", 1, 0));
  EXPECT_TRUE(spin->IsEnabled());
}

}  // namespace
