// The pages' file chooser wrapper: the owner window keeps running its messages, disabled, while
// the chooser is open, and a quit request closes the chooser and is passed on.
#include "app/FileDialogs.h"

#include <gtest/gtest.h>

#include <chrono>

#include "support/FakeDialogPrograms.h"
#include "tavex/MWindow.h"

namespace {

namespace Native = Tavex::Native;
using platform::FileChoice;

constexpr UINT_PTR kTickTimer = 7;
constexpr UINT kTickMs = 20;
const std::vector<platform::FileFilter> kXml{{"XML files", {"*.xml"}}};

// A shown window that counts its timer ticks and whether it was disabled at one of them; with
// `quitCode` set, its first tick asks the thread to quit.
class TickingOwner : public Tavex::MWindow {
 public:
  LRESULT OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam) override {
    if (msg == WM_TIMER && wParam == kTickTimer) {
      ++ticks;
      disabledAtTick = disabledAtTick || IsWindowEnabled() == 0;
      if (quitCode >= 0 && ticks == 1) Native::PostQuitMessage(quitCode);
      return 0;
    }
    return MWindow::OnWindowMessage(msg, wParam, lParam);
  }
  int ticks = 0;
  bool disabledAtTick = false;
  int quitCode = -1;
};

class FileDialogs : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!Native::DisplayAvailable()) GTEST_SKIP() << "no display";
    ASSERT_NE(owner_.Create(nullptr, "Owner", WS_POPUP | WS_VISIBLE, 0,
                            Tavex::CRect(100, 100, 400, 300)),
              nullptr);
    owner_.SetTimer(kTickTimer, kTickMs);
  }
  void TearDown() override { owner_.DestroyWindow(); }

  TickingOwner owner_;
  FakeDialogPrograms programs_;
};

TEST_F(FileDialogs, TheOwnerKeepsItsMessagesDisabledWhileTheChooserIsOpen) {
  programs_.Add("zenity", "/home/u/profile.xml\\n", 0, "0.5");
  const auto chosen = ChooseFileToOpen(owner_, "Import profile", kXml);
  EXPECT_EQ(chosen.choice, FileChoice::Chosen);
  EXPECT_EQ(chosen.path, "/home/u/profile.xml");
  EXPECT_GT(owner_.ticks, 5) << "the owner's loop stood still";
  EXPECT_TRUE(owner_.disabledAtTick);
  EXPECT_NE(owner_.IsWindowEnabled(), 0);
  EXPECT_NE(programs_.Args("zenity").find("--file-selection\n--title=Import profile\n"),
            std::string::npos);
}

TEST_F(FileDialogs, AQuitRequestClosesTheChooserAndIsPassedOn) {
  programs_.Add("zenity", "/late.xml\\n", 0, "30");
  owner_.quitCode = 3;
  const auto start = std::chrono::steady_clock::now();
  const auto result = ChooseFileToSave(owner_, "Export profile", "Game.xml", kXml);
  EXPECT_EQ(result.choice, FileChoice::Cancelled);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));

  owner_.KillTimer(kTickTimer);
  bool quitSeen = false;
  MSG msg{};
  while (Native::PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      quitSeen = true;
      EXPECT_EQ(msg.wParam, 3u);
    }
  }
  EXPECT_TRUE(quitSeen);
}

}  // namespace
