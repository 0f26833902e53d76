#include <gtest/gtest.h>

#include <filesystem>

#include "docs/LangSettings.h"
#include "support/ScopedEnv.h"
#include "support/TempFolder.h"

namespace {

TEST(Folders, ProgramFolderIsTheExecutablesFolderWithATrailingSlash) {
  const std::string folder = GetProgramFolder();
  ASSERT_FALSE(folder.empty());
  EXPECT_EQ(folder.back(), '/');
  EXPECT_EQ(std::filesystem::canonical("/proc/self/exe").parent_path().string() + "/", folder);
}

TEST(Folders, DataFolderFollowsXdgDataHome) {
  ScopedEnv data{"XDG_DATA_HOME", "/srv/user-data"};
  EXPECT_EQ(GetDataFolder(), "/srv/user-data/Tarnwick Files/");
}

TEST(Folders, DataFolderFallsBackToTheHomeWhenXdgDataHomeIsUnsetOrRelative) {
  ScopedEnv home{"HOME", "/home/someone"};
  {
    ScopedEnv data{"XDG_DATA_HOME", nullptr};
    EXPECT_EQ(GetDataFolder(), "/home/someone/.local/share/Tarnwick Files/");
  }
  ScopedEnv data{"XDG_DATA_HOME", "relative/share"};
  EXPECT_EQ(GetDataFolder(), "/home/someone/.local/share/Tarnwick Files/");
}

TEST(Folders, CreateFolderPathCreatesEveryMissingParent) {
  TempFolder temp;
  const std::string path = temp / "one/two words/three/db";
  EXPECT_TRUE(CreateFolderPath(path));
  EXPECT_TRUE(std::filesystem::is_directory(path));
  EXPECT_TRUE(CreateFolderPath(path));  // already there
  EXPECT_TRUE(CreateFolderPath(temp / "one/four/"));
  EXPECT_TRUE(std::filesystem::is_directory(temp / "one/four"));
}

TEST(Folders, CreateFolderPathFailsWhereAFileBlocksThePath) {
  TempFolder temp;
  temp.Write("blocker", "x");
  EXPECT_FALSE(CreateFolderPath(temp / "blocker/db"));
  EXPECT_FALSE(CreateFolderPath(temp / "blocker"));
  EXPECT_FALSE(CreateFolderPath(""));
}

TEST(Folders, StartUpDataFolderWithSeveralMissingParents) {
  TempFolder temp;
  ScopedEnv data{"XDG_DATA_HOME", (temp.Path() + "/a/b/c").c_str()};
  EXPECT_TRUE(CreateFolderPath(GetDataFolder() + "db"));
  EXPECT_TRUE(std::filesystem::is_directory(temp / "a/b/c/Tarnwick Files/db"));
}

}  // namespace
