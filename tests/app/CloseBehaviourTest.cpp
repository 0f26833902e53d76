#include <gtest/gtest.h>

#include "app/CloseBehaviour.h"
#include "app/WindowIds.h"
#include "docs/LangSettings.h"
#include "support/ScopedEnv.h"
#include "support/TempFolder.h"

namespace {

class CloseBehaviour : public ::testing::Test {
 protected:
  void SetUp() override { home.Write("Tarnwick/settings.ini", ""); }
  TempFolder home;
  ScopedEnv config{"XDG_CONFIG_HOME", home.Path().c_str()};
};

TEST_F(CloseBehaviour, TheStoredChoiceDecidesAndHidingNeedsATray) {
  EXPECT_EQ(ReadExitMode(), ExitMode::Ask);
  EXPECT_EQ(CloseActionFor(ExitMode::Ask, true), CloseAction::Nothing);
  EXPECT_EQ(CloseActionFor(ExitMode::Hide, true), CloseAction::Hide);
  // Without any status area a hidden window could never come back.
  EXPECT_EQ(CloseActionFor(ExitMode::Hide, false), CloseAction::Minimize);
  EXPECT_EQ(CloseActionFor(ExitMode::Exit, false), CloseAction::Exit);

  ASSERT_TRUE(StoreExitMode(ExitMode::Hide));
  EXPECT_EQ(ReadExitMode(), ExitMode::Hide);
  EXPECT_EQ(home.Read("Tarnwick/settings.ini"), "exit_mode=1\n");
  ASSERT_TRUE(StoreExitMode(ExitMode::Exit));
  EXPECT_EQ(ReadExitMode(), ExitMode::Exit);
  EXPECT_FALSE(StoreExitMode(ExitMode::Ask));
  EXPECT_EQ(ReadExitMode(), ExitMode::Exit);
}

TEST_F(CloseBehaviour, UnknownOrGarbledValuesAsk) {
  for (const char* text : {"exit_mode=abc\n", "exit_mode=7\n", "exit_mode=-1\n", "\xFF\xFE=\n"}) {
    home.Write("Tarnwick/settings.ini", text);
    EXPECT_EQ(ReadExitMode(), ExitMode::Ask) << text;
  }
}

TEST_F(CloseBehaviour, TheTooltipNamesWhatThePressWillDo) {
  EXPECT_EQ(CloseTooltipText(ExitMode::Exit), ids::text::kExitTooltip);
  EXPECT_EQ(CloseTooltipText(ExitMode::Hide), ids::text::kHideToTray);
  EXPECT_EQ(CloseTooltipText(ExitMode::Ask), ids::text::kHideToTray);
}

}  // namespace
