// The real program under Xvfb: one running copy, the quit request, the language chosen at the
// first start, and start-up with broken or missing files.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <thread>

#include "GalleryProcess.h"
#include "ProgramProcess.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using GuiTest::ProgramHome;
using GuiTest::Spawned;

constexpr long kQuit = 610;

// Ends a running program with the quit request; its exit status.
int Quit(Spawned& program) {
  EXPECT_EQ(GuiTest::SendRequest(kQuit), 0);
  return program.Wait(10s);
}

TEST(MainWindowStart, ASecondStartRaisesTheFirstAndEndsWithZero) {
  ProgramHome home;
  Spawned first(GuiTest::ProgramCommand(), home.Environment());
  const std::uint64_t window = GuiTest::WaitForMainWindow();
  ASSERT_NE(window, 0u) << "no main window";

  Spawned second(GuiTest::ProgramCommand(), home.Environment());
  EXPECT_EQ(second.Wait(10s), 0);
  EXPECT_TRUE(first.Running());
  EXPECT_EQ(GuiTest::FindMainWindow(), window);
  EXPECT_TRUE(GuiTest::IsViewable(window));
  EXPECT_EQ(Quit(first), 0);
  EXPECT_EQ(GuiTest::FindMainWindow(), 0u);
}

TEST(MainWindowStart, OnlyTheQuitRequestEndsTheProgram) {
  ProgramHome home;
  Spawned program(GuiTest::ProgramCommand(), home.Environment());
  ASSERT_NE(GuiTest::WaitForMainWindow(), 0u);
  EXPECT_EQ(GuiTest::SendRequest(611), 0);
  EXPECT_EQ(GuiTest::SendRequest(0), 0);
  EXPECT_EQ(program.Wait(1500ms), -1) << "a request other than 610 ended the program";
  EXPECT_EQ(Quit(program), 0);
}

TEST(MainWindowStart, TheFirstStartStoresTheLanguageOfTheLocale) {
  for (const auto& [lang, lcid] : {std::pair{"zh_CN.UTF-8", "2052"}, {"fr_FR.UTF-8", "1033"}}) {
    ProgramHome home;
    Spawned program(GuiTest::ProgramCommand(), home.Environment(lang));
    ASSERT_NE(GuiTest::WaitForMainWindow(), 0u);
    EXPECT_NE(home.ReadFile(home.SettingsFile()).find(std::string("LCID=") + lcid),
              std::string::npos)
        << lang;
    EXPECT_TRUE(fs::is_directory(home.Path() + "/data/Tarnwick Files/db"));
    EXPECT_EQ(Quit(program), 0);
  }
}

TEST(MainWindowStart, AGarbledSettingsFileReadsAsDefaultsAndKeepsItsLines) {
  ProgramHome home;
  const std::string garbled = "\x01\xFF\xFEgarbage without equals\nexit_mode=\x80\x81\nLCID=x\n";
  home.WriteSettings(garbled);
  Spawned program(GuiTest::ProgramCommand(), home.Environment());
  ASSERT_NE(GuiTest::WaitForMainWindow(), 0u);
  const std::string after = home.ReadFile(home.SettingsFile());
  EXPECT_NE(after.find("garbage without equals"), std::string::npos);
  EXPECT_NE(after.find("LCID=1033"), std::string::npos);
  EXPECT_EQ(Quit(program), 0);
}

// A copy of the program with only the shipped files a test keeps.
class BrokenInstall : public ::testing::Test {
 protected:
  void Keep(const std::string& name) { copy_.Keep(name); }
  void Write(const std::string& name, const std::string& bytes) { copy_.Write(name, bytes); }
  // Starts the copy, checks that its window shows, and ends it with the quit request.
  void RunsAndQuits() {
    Spawned program(GuiTest::ProgramCommand(copy_.Executable()), home_.Environment());
    ASSERT_NE(GuiTest::WaitForMainWindow(), 0u);
    std::this_thread::sleep_for(500ms);  // the first device refresh
    EXPECT_TRUE(program.Running());
    EXPECT_EQ(Quit(program), 0);
  }

  ProgramHome home_;
  GuiTest::ProgramCopy copy_{home_.Path() + "/install/"};
};

TEST_F(BrokenInstall, NoDeviceTableNoLanguageFilesNoSkins) {
  RunsAndQuits();
}

TEST_F(BrokenInstall, AMalformedDeviceTableAndGarbledLanguageFile) {
  Keep("skins");
  Write("config.xml", "<config><device.info><keyboard name=\"x\" vid=\"24ae\" pid=");
  fs::create_directories(copy_.Folder() + "language");
  Write("language/1033.lan", "\xFF\xFE[KB.DIA\x00\x00LOG]\n50=\xC3");
  RunsAndQuits();
}

}  // namespace
