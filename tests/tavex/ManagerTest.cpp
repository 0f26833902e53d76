#include <gtest/gtest.h>

#include "tavex/MDialog.h"
#include "tavex/Manager.h"

using Tavex::Manager;

TEST(Manager, StartsWithTheLibraryDefaults) {
  EXPECT_EQ(Manager::GetFontName(), "Open Sans Semibold");
  EXPECT_EQ(Manager::GetFontWidth(), 18);
  EXPECT_EQ(Manager::GetSelectColor(), 0xFFCA5100u);
}

TEST(Manager, GetThemeKeepsItsTrailingSeparator) {
  EXPECT_EQ(Manager::GetTheme(), "theme1/");
  const std::string skins = Manager::GetSkinFolder();
  EXPECT_EQ(skins, Manager::GetProgramFolder() + "skins/theme1/");
  EXPECT_EQ(Manager::GetProgramFolder().back(), '/');
}

TEST(Manager, SetFontChangesNameAndSizeAndSetFontNameOnlyTheName) {
  const std::string name = Manager::GetFontName();
  const int size = Manager::GetFontWidth();
  Manager::SetFont("Open Sans", 12);
  EXPECT_EQ(Manager::GetFontName(), "Open Sans");
  EXPECT_EQ(Manager::GetFontWidth(), 12);
  Manager::SetFontName("Open Sans Light");
  EXPECT_EQ(Manager::GetFontName(), "Open Sans Light");
  EXPECT_EQ(Manager::GetFontWidth(), 12);
  Manager::SetFont(name, size);
}

TEST(MObject, IsClassComparesTheWholeNameCaseSensitively) {
  Tavex::MDialog dialog;
  EXPECT_EQ(dialog.IsClass("MDialog"), 1);
  EXPECT_EQ(dialog.IsClass("mdialog"), 0);
  EXPECT_EQ(dialog.IsClass("MDialo"), 0);
  EXPECT_EQ(dialog.IsClass(nullptr), 0);
}
