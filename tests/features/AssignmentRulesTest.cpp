// The rules behind key assignments and profiles: limits, tip titles, combination descriptions,
// web-address targets, profile names and the name check, and the host-side function rows run
// against a real store.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "docs/LangSettings.h"
#include "features/AssignmentKinds.h"
#include "features/HostFunctions.h"
#include "features/ProfileNames.h"
#include "store/ProfileStore.h"
#include "support/TempFolder.h"

namespace {

KeyAssignmentRecord OfKind(int32_t kind) {
  KeyAssignmentRecord r;
  r.macro_type = kind;
  return r;
}

TEST(AssignmentKinds, TheLimitsCountOnlyTheirOwnKinds) {
  std::vector<KeyAssignmentRecord> list;
  for (int32_t kind : {0, 1, 2, 2, 3, 5, 6, 7, 7, 8, 9, 10, 11, 12}) list.push_back(OfKind(kind));
  EXPECT_EQ(assign::CountFunctionKeys(list), 3);          // 2, 2, 12
  EXPECT_EQ(assign::CountMacroAndShortcutKeys(list), 3);  // 3, 7, 7
  EXPECT_EQ(assign::FunctionKind(499), assign::kKeyOrFunction);
  EXPECT_EQ(assign::FunctionKind(500), assign::kHighFunction);
}

TEST(AssignmentKinds, TipTitlesAndChoiceTextsByKind) {
  EXPECT_EQ(assign::TipTitleText(1), 202);
  EXPECT_EQ(assign::TipTitleText(2), 205);
  EXPECT_EQ(assign::TipTitleText(12), 205);
  EXPECT_EQ(assign::TipTitleText(3), 206);
  EXPECT_EQ(assign::TipTitleText(7), 209);
  EXPECT_EQ(assign::TipTitleText(10), 212);
  EXPECT_EQ(assign::TipTitleText(11), 0);
  EXPECT_EQ(assign::TipTitleText(0), 0);
  EXPECT_EQ(assign::FirstChoiceText(1), 220);
  EXPECT_EQ(assign::FirstChoiceText(2), 222);
  EXPECT_EQ(assign::FirstChoiceText(8), 228);
  EXPECT_EQ(assign::FirstChoiceText(9), 0);
  EXPECT_EQ(assign::SecondChoiceText(1), 230);
  EXPECT_EQ(assign::SecondChoiceText(7), 236);
  EXPECT_EQ(assign::ShortcutText(15), 715);
  EXPECT_EQ(assign::ShortcutText(0), 0);
}

TEST(AssignmentKinds, CombinationsNameTheirModifiersInFixedOrder) {
  assign::Modifiers all{true, true, true, true};
  EXPECT_EQ(assign::CombinationDescription(all, "=+"), "Shift + Ctrl + Win + Alt + =+");
  EXPECT_EQ(assign::ModifierMask(all), 15);
  assign::Modifiers ctrlAlt;
  ctrlAlt.alt = true;
  ctrlAlt.ctrl = true;
  EXPECT_EQ(assign::CombinationDescription(ctrlAlt, "F13"), "Ctrl + Alt + F13");
  EXPECT_EQ(assign::ModifierMask(ctrlAlt), 1 | 4);
  EXPECT_EQ(assign::CombinationDescription(ctrlAlt, ""), "Ctrl + Alt");
  EXPECT_EQ(assign::CombinationDescription({}, "A"), "A");
}

TEST(AssignmentKinds, WebAddressesKeepTheirSchemeAndGainWwwOnlyWithoutOne) {
  EXPECT_EQ(assign::WebAddressTarget("https://example.com"), "https://example.com");
  EXPECT_EQ(assign::WebAddressTarget("ftp://files.example.com/a"), "ftp://files.example.com/a");
  EXPECT_EQ(assign::WebAddressTarget("www.example.com"), "http://www.example.com");
  EXPECT_EQ(assign::WebAddressTarget("example.com"), "http://www.example.com");
  EXPECT_EQ(assign::WebAddressTarget("shop.www.example.com"), "http://shop.www.example.com");
  EXPECT_EQ(assign::WebAddressTarget("example.com:8080/x"), "http://www.example.com:8080/x");
  EXPECT_EQ(assign::WebAddressTarget(""), "");
}

TEST(ProfileNames, DefaultNamesOfTheOtherLanguageAreShownInTheCurrentOne) {
  EXPECT_EQ(profiles::DisplayName("Profile 2", kLangChinese, "配置方案"), "配置方案 2");
  EXPECT_EQ(profiles::DisplayName("配置方案 3", kLangEnglish, "Profile"), "Profile 3");
  EXPECT_EQ(profiles::DisplayName("Profile 2", kLangEnglish, "Profile"), "Profile 2");
  EXPECT_EQ(profiles::DisplayName("Gaming", kLangChinese, "配置方案"), "Gaming");
}

TEST(ProfileNames, TheFirstFreeNumberIsTaken) {
  EXPECT_EQ(profiles::FirstFreeName("Profile", {"Profile 1", "Profile 2"}), "Profile 3");
  EXPECT_EQ(profiles::FirstFreeName("Profile", {"Profile 1", "Profile 3"}), "Profile 2");
  EXPECT_EQ(profiles::FirstFreeName("Profile", {"profile 1"}), "Profile 1");  // exact comparison
}

TEST(ProfileNames, TheNameCheckFindsBlockedWordsInAnyCase) {
  ASSERT_EQ(profiles::BlockedWords().size(), 15u);
  EXPECT_TRUE(profiles::HasBlockedWord("my ADMIN set"));
  EXPECT_TRUE(profiles::HasBlockedWord("游戏外挂"));
  EXPECT_FALSE(profiles::HasBlockedWord("Gaming 配置"));
  EXPECT_FALSE(profiles::HasBlockedWord(""));
}

class HostFunctionsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(folder.MakeFolder("db"));
    ASSERT_TRUE(store.OpenForDevice(folder.Slashed(), "Tarnwick_V3"));
    std::vector<ProfileRecord> list;
    store.ListProfilesWithDefaults("Profile", list);
    actions.open = [this](const std::string& t) {
      opened.push_back(t);
      return openResult;
    };
    actions.paste = [this](const std::string& t) {
      pasted.push_back(t);
      return true;
    };
    actions.showProfile = [this](int32_t p) { shown.push_back(p); };
  }

  TempFolder folder;
  ProfileStore store;
  HostActions actions;
  bool openResult = true;
  std::vector<std::string> opened, pasted;
  std::vector<int32_t> shown;
};

TEST_F(HostFunctionsTest, EachRowTypeRunsItsAction) {
  const int32_t program = store.AddKeyOtherData("run it", "/bin/tool", assign::kProgram);
  const int32_t web = store.AddKeyOtherData("example.com", "", assign::kWebAddress);
  const int32_t text = store.AddKeyOtherData("héllo 你好", "", assign::kText);
  const int32_t profile = store.AddKeyOtherData("Profile 2", "2", assign::kProfileSwitch);
  EXPECT_EQ(RunHostFunction(store, program, actions), HostOutcome::Opened);
  EXPECT_EQ(RunHostFunction(store, web, actions), HostOutcome::Opened);
  EXPECT_EQ(RunHostFunction(store, text, actions), HostOutcome::Pasted);
  EXPECT_EQ(RunHostFunction(store, profile, actions), HostOutcome::ProfileShown);
  EXPECT_EQ(opened, (std::vector<std::string>{"/bin/tool", "http://www.example.com"}));
  EXPECT_EQ(pasted, std::vector<std::string>{"héllo 你好"});
  EXPECT_EQ(shown, std::vector<int32_t>{2});
}

TEST_F(HostFunctionsTest, MissingRowsGoneProfilesAndUnknownTypesDoNothing) {
  const int32_t gone = store.AddKeyOtherData("Old", "77", assign::kProfileSwitch);
  const int32_t junk = store.AddKeyOtherData("Old", "2x", assign::kProfileSwitch);
  const int32_t unknown = store.AddKeyOtherData("x", "y", 4);
  const int32_t empty = store.AddKeyOtherData("", "", assign::kWebAddress);
  EXPECT_EQ(RunHostFunction(store, 9999, actions), HostOutcome::Nothing);
  EXPECT_EQ(RunHostFunction(store, gone, actions), HostOutcome::Nothing);
  EXPECT_EQ(RunHostFunction(store, junk, actions), HostOutcome::Nothing);
  EXPECT_EQ(RunHostFunction(store, unknown, actions), HostOutcome::Nothing);
  EXPECT_EQ(RunHostFunction(store, empty, actions), HostOutcome::Nothing);
  EXPECT_TRUE(opened.empty());
  EXPECT_TRUE(shown.empty());
}

TEST_F(HostFunctionsTest, AProgramThatCannotStartIsReportedAsSuch) {
  openResult = false;
  const int32_t program = store.AddKeyOtherData("x", "/no/such/program", assign::kProgram);
  EXPECT_EQ(RunHostFunction(store, program, actions), HostOutcome::OpenFailed);
}

}  // namespace
