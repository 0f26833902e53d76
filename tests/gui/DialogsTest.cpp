// The program's dialogs on their own (tools' keywright-dialogs): the message box's results for
// each button and for Escape, the close options storing the choice, the wait dialog ended from
// another thread, and screenshots of all of them in both languages.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <thread>
#include <tuple>

#include "GalleryProcess.h"
#include "ProgramProcess.h"
#include "support/ControlMap.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

constexpr unsigned kFirstButton = 33;
constexpr unsigned kSecondButton = 34;
constexpr unsigned kTipExit = 32;
constexpr unsigned kTipConfirm = 33;

// Runs keywright-dialogs `which` in `home` with the control map on.
class DialogRun {
 public:
  DialogRun(const std::string& which, const std::string& lcid, GuiTest::ProgramHome& home,
            TestSupport::ControlMap& map, const std::string& title)
      : map_(map) {
    std::vector<std::string> env = GuiTest::WithVariable(home.Environment(), map.Environment());
    // Output goes to a file the test reads: the dialog tool prints its result.
    out_ = map.Folder() + "/" + which + "-" + lcid + ".out";
    env.push_back("KW_DIALOG_OUT=" + out_);
    process_ = std::make_unique<GuiTest::Spawned>(
        std::vector<std::string>{"/bin/sh", "-c",
                                 "exec '" + GuiTest::ProgramFolder() + "keywright-dialogs' " +
                                     which + " --lang " + lcid + " > \"$KW_DIALOG_OUT\""},
        env);
    map_.SetWindow(title);
  }
  int Wait() { return process_->Wait(10s); }
  std::string Output(GuiTest::ProgramHome& home) { return home.ReadFile(out_); }

 private:
  TestSupport::ControlMap& map_;
  std::string out_;
  std::unique_ptr<GuiTest::Spawned> process_;
};

class Dialogs : public ::testing::Test {
 protected:
  void Shot(const std::string& name) {
    std::this_thread::sleep_for(400ms);  // the map is written before the first paint
    const char* dir = std::getenv("KW_SCREENSHOT_DIR");
    const std::string folder = dir != nullptr && *dir != '\0' ? dir : map_.Folder();
    fs::create_directories(folder);
    EXPECT_TRUE(GuiTest::SaveScreen(folder + "/" + name + ".png"));
  }
  GuiTest::ProgramHome home_;
  TestSupport::ControlMap map_;
};

TEST_F(Dialogs, TheMessageBoxAnswersWithItsButtonsAndEscape) {
  for (const auto& [which, button, result] :
       {std::tuple{"message1", kFirstButton, "result 1"},
        {"message2", kFirstButton, "result 1"}, {"message2", kSecondButton, "result 2"}}) {
    DialogRun run(which, "1033", home_, map_, "MessageBox");
    ASSERT_TRUE(map_.Click(button)) << which;
    EXPECT_EQ(run.Wait(), 0);
    EXPECT_NE(run.Output(home_).find(result), std::string::npos) << which << " " << button;
  }
  DialogRun single("message1", "1033", home_, map_, "MessageBox");
  ASSERT_TRUE(map_.WaitFor(kFirstButton).has_value());
  EXPECT_FALSE(map_.WaitFor(kSecondButton, 300ms).has_value()) << "style 0 has one button";
  ASSERT_TRUE(map_.MoveTo(kFirstButton));  // the pointer's window takes the keys
  ASSERT_TRUE(TestSupport::RunXDoTool("key Escape"));
  EXPECT_EQ(single.Wait(), 0);
  EXPECT_NE(single.Output(home_).find("result 2"), std::string::npos);
}

TEST_F(Dialogs, TheCloseOptionsStoreTheChoice) {
  home_.WriteSettings("exit_mode=2\n");
  DialogRun run("close", "1033", home_, map_, "CloseWindowTipDlg");
  ASSERT_TRUE(map_.Click(kTipConfirm));
  EXPECT_EQ(run.Wait(), 0);
  EXPECT_NE(run.Output(home_).find("result 1"), std::string::npos);
  EXPECT_NE(home_.ReadFile(home_.SettingsFile()).find("exit_mode=2"), std::string::npos)
      << "the stored exit choice was shown checked and kept";
}

TEST_F(Dialogs, TheWaitDialogEndsWhenAnotherThreadClosesIt) {
  DialogRun run("wait", "1033", home_, map_, "WaitDlg");
  EXPECT_TRUE(map_.WaitFor(30).has_value()) << "no animation";
  EXPECT_EQ(run.Wait(), 0);
  EXPECT_NE(run.Output(home_).find("result 1"), std::string::npos);
}

TEST_F(Dialogs, ScreenshotsInBothLanguages) {
  for (const char* lcid : {"1033", "2052"}) {
    {
      DialogRun run("message2", lcid, home_, map_, "MessageBox");
      ASSERT_TRUE(map_.WaitFor(kSecondButton).has_value());
      Shot(std::string("message-") + lcid);
      ASSERT_TRUE(map_.Click(kSecondButton));
      EXPECT_EQ(run.Wait(), 0);
    }
    {
      DialogRun run("close", lcid, home_, map_, "CloseWindowTipDlg");
      ASSERT_TRUE(map_.WaitFor(kTipExit).has_value());
      Shot(std::string("close-options-") + lcid);
      ASSERT_TRUE(map_.Click(kTipConfirm));
      EXPECT_EQ(run.Wait(), 0);
    }
    {
      DialogRun run("wait", lcid, home_, map_, "WaitDlg");
      ASSERT_TRUE(map_.WaitFor(30).has_value());
      Shot(std::string("wait-") + lcid);
      EXPECT_EQ(run.Wait(), 0);
    }
  }
}

}  // namespace
