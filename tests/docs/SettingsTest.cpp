#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include "TempFolder.h"
#include "docs/LangSettings.h"

namespace {

using namespace std::string_literals;

class Settings : public ::testing::Test {
 protected:
  std::string StorePath() const { return home / "Tarnwick/settings.ini"; }

  TempFolder home;
  ScopedEnv config{"XDG_CONFIG_HOME", home.path().c_str()};
  ScopedEnv data{"XDG_DATA_HOME", (home.path() + "/data").c_str()};
  ScopedEnv language{"LANGUAGE", nullptr};
  ScopedEnv all{"LC_ALL", nullptr};
  ScopedEnv messages{"LC_MESSAGES", nullptr};
  ScopedEnv lang{"LANG", "de_DE.UTF-8"};
};

TEST_F(Settings, FirstStartCreatesTheStoreAndStoresEnglishForAnotherUiLanguage) {
  EXPECT_EQ(ReadLanguageSetting(), 0);
  EXPECT_EQ(ChooseStartupLanguage(), 1033);
  EXPECT_EQ(GetCurrentLanguage(), 1033);
  EXPECT_EQ(home.Read("Tarnwick/settings.ini"), "LCID=1033\n");
}

TEST_F(Settings, FirstStartOnASimplifiedChineseSystemStoresChinese) {
  ScopedEnv chinese{"LANG", "zh_CN.UTF-8"};
  EXPECT_EQ(ChooseStartupLanguage(), 2052);
  EXPECT_EQ(ReadLanguageSetting(), 2052);
}

TEST_F(Settings, AStoredLanguageWinsOverTheUiLanguage) {
  home.Write("Tarnwick/settings.ini", "LCID=2052\n");
  EXPECT_EQ(ChooseStartupLanguage(), 2052);
}

TEST_F(Settings, NonNumericOrUnofferedLanguageIsReplacedAsOnAFirstStart) {
  home.Write("Tarnwick/settings.ini", "exit_mode=1\nLCID=abc\n");
  EXPECT_EQ(ReadLanguageSetting(), 0);
  EXPECT_EQ(ChooseStartupLanguage(), 1033);
  EXPECT_EQ(home.Read("Tarnwick/settings.ini"), "exit_mode=1\nLCID=1033\n");

  home.Write("Tarnwick/settings.ini", "LCID=1031\n");
  EXPECT_EQ(ChooseStartupLanguage(), 1033);
  EXPECT_EQ(ReadLanguageSetting(), 1033);
}

TEST_F(Settings, UiLanguageFollowsTheVariablePrecedence) {
  {
    ScopedEnv first{"LANGUAGE", "zh_SG:en"};
    ScopedEnv second{"LC_ALL", "en_US.UTF-8"};
    EXPECT_EQ(DefaultLanguageFromUi(), 2052);
  }
  {
    ScopedEnv second{"LC_ALL", "en_US.UTF-8"};
    ScopedEnv third{"LC_MESSAGES", "zh_CN.UTF-8"};
    EXPECT_EQ(DefaultLanguageFromUi(), 1033);
  }
  {
    ScopedEnv third{"LC_MESSAGES", "zh_Hans"};
    EXPECT_EQ(DefaultLanguageFromUi(), 2052);
  }
  {
    ScopedEnv traditional{"LANG", "zh_TW.UTF-8"};
    EXPECT_EQ(DefaultLanguageFromUi(), 1033);
  }
}

TEST_F(Settings, NumbersReadWithADecimalConversion) {
  ASSERT_EQ(ReadIntSetting("exit_mode"), 0);  // creates the store folder
  ASSERT_TRUE(WriteSetting("exit_mode", "abc"));
  EXPECT_EQ(ReadIntSetting("exit_mode", 7), 0);
  ASSERT_TRUE(WriteSetting("exit_mode", " 2x"));
  EXPECT_EQ(ReadIntSetting("exit_mode"), 2);
  ASSERT_TRUE(WriteSetting("exit_mode", "-1"));
  EXPECT_EQ(ReadIntSetting("EXIT_MODE"), -1);
  EXPECT_EQ(ReadIntSetting("missing", 5), 5);
}

TEST_F(Settings, WritesNeedTheStoreFolderAndKeepOtherValues) {
  EXPECT_FALSE(WriteSetting("exit_mode", "1"));
  EXPECT_FALSE(WriteLanguageSetting(1033));
  EXPECT_FALSE(std::filesystem::exists(home / "Tarnwick"));
  ReadIntSetting("exit_mode");
  EXPECT_TRUE(WriteSetting("exit_mode", "1"));
  EXPECT_TRUE(WriteLanguageSetting(2052));
  EXPECT_TRUE(WriteSetting("exit_mode", "2"));
  EXPECT_EQ(home.Read("Tarnwick/settings.ini"), "exit_mode=2\nLCID=2052\n");
}

TEST_F(Settings, AnEditedFileKeepsItsOtherLinesByteForByte) {
  home.Write("Tarnwick/settings.ini", "LCID=2052\r\nexit_mode=1\r\n# note\r\r\nlast");
  EXPECT_EQ(ReadIntSetting("exit_mode"), 1);
  EXPECT_EQ(ReadLanguageSetting(), 2052);
  ASSERT_TRUE(WriteSetting("exit_mode", "2"));
  EXPECT_EQ(home.Read("Tarnwick/settings.ini"), "LCID=2052\r\nexit_mode=2\n# note\r\r\nlast\n");
}

TEST_F(Settings, TextsThatWouldBreakTheLineFormatAreRefused) {
  ReadIntSetting("exit_mode");
  EXPECT_FALSE(WriteSetting("exit_mode", "1\nLCID=9"));
  EXPECT_FALSE(WriteSetting("a=b", "1"));
  EXPECT_FALSE(WriteSetting("", "1"));
  EXPECT_FALSE(WriteSetting("x", "1\0" "2"s));
  EXPECT_EQ(ReadIntSetting("LCID", 9), 9);
}

TEST_F(Settings, ACorruptStoreGivesDefaultsAndSurvivesReadsAndWrites) {
  const std::string junk = "\x00\xff\xfe garbage\r\nno equals here\n=\n\x01"s;
  home.Write("Tarnwick/settings.ini", junk);
  EXPECT_EQ(ReadLanguageSetting(), 0);
  EXPECT_EQ(ReadIntSetting("exit_mode", 3), 3);
  EXPECT_EQ(home.Read("Tarnwick/settings.ini"), junk);

  ASSERT_TRUE(WriteSetting("exit_mode", "1"));
  const std::string after = home.Read("Tarnwick/settings.ini");
  EXPECT_NE(after.find("no equals here"), std::string::npos);
  EXPECT_EQ(ReadIntSetting("exit_mode"), 1);
}

TEST_F(Settings, AnUnreadableStoreGivesDefaultsAndIsNeverReplaced) {
  if (geteuid() == 0) GTEST_SKIP() << "root reads every file";
  home.Write("Tarnwick/settings.ini", "LCID=1033\nexit_mode=2\n");
  ASSERT_EQ(chmod(StorePath().c_str(), 0), 0);
  EXPECT_EQ(ReadLanguageSetting(), 2052);
  EXPECT_EQ(ReadIntSetting("exit_mode"), 0);
  EXPECT_FALSE(WriteSetting("exit_mode", "1"));
  ASSERT_EQ(chmod(StorePath().c_str(), 0600), 0);
  EXPECT_EQ(home.Read("Tarnwick/settings.ini"), "LCID=1033\nexit_mode=2\n");
}

TEST_F(Settings, AStoreThatIsNoFileGivesDefaultsAndIsLeftAlone) {
  // Unreadable even for root: a folder where the file belongs.
  home.Write("Tarnwick/settings.ini/keep", "x");
  EXPECT_EQ(ReadLanguageSetting(), 2052);
  EXPECT_EQ(ChooseStartupLanguage(), 2052);
  EXPECT_EQ(ReadIntSetting("exit_mode"), 0);
  EXPECT_FALSE(WriteSetting("exit_mode", "1"));
  EXPECT_FALSE(WriteLanguageSetting(1033));
  EXPECT_EQ(home.Read("Tarnwick/settings.ini/keep"), "x");
}

TEST_F(Settings, AnOversizedStoreIsTreatedAsUnreadableAndKept) {
  const std::string big = "LCID=1033\n" + std::string(2u << 20, '#');
  home.Write("Tarnwick/settings.ini", big);
  EXPECT_EQ(ReadLanguageSetting(), 2052);
  EXPECT_FALSE(WriteLanguageSetting(1033));
  EXPECT_EQ(home.Read("Tarnwick/settings.ini"), big);
}

TEST_F(Settings, AStoreFolderThatCannotBeCreatedReadsChineseForTheLanguage) {
  home.Write("Tarnwick", "a file where the folder belongs");
  EXPECT_EQ(ReadLanguageSetting(), 2052);
  EXPECT_EQ(ReadIntSetting("exit_mode", 4), 4);
  EXPECT_FALSE(WriteSetting("exit_mode", "1"));
}

TEST_F(Settings, WritesLeaveNoTemporaryFilesBehind) {
  ReadIntSetting("exit_mode");
  for (int i = 0; i < 5; ++i) ASSERT_TRUE(WriteSetting("exit_mode", std::to_string(i)));
  int files = 0;
  for ([[maybe_unused]] const auto& entry :
       std::filesystem::directory_iterator(home / "Tarnwick"))
    ++files;
  EXPECT_EQ(files, 1);
}

}  // namespace
