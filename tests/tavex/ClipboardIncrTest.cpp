// Large texts through the X CLIPBOARD in pieces (INCR), with xclip as the other program.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "NativeTestSupport.h"
#include "tavex/Clipboard.h"
#include "tavex/Edits.h"
#undef TAVEX_REQUIRE_DISPLAY
#include "TavexTestSupport.h"
#include "support/TempFolder.h"

extern char** environ;

namespace {

using Tavex::NativeTest::PumpUntil;

// Text of `bytes` bytes with multi-byte characters and no repeating period, so that a lost,
// doubled or reordered piece shows.
std::string BigText(std::size_t bytes) {
  std::string text;
  text.reserve(bytes + 32);
  for (int i = 0; text.size() < bytes; ++i) text += "行" + std::to_string(i) + " clipboard ✓\n";
  // Cut on a character boundary.
  while (text.size() > bytes) text.pop_back();
  while (!text.empty() && (static_cast<unsigned char>(text.back()) & 0xC0) == 0x80) text.pop_back();
  if (!text.empty() && static_cast<unsigned char>(text.back()) >= 0xC0) text.pop_back();
  return text;
}

bool HaveXclip() { return std::system("command -v xclip >/dev/null 2>&1") == 0; }

class TempDir : public TempFolder {
 public:
  TempDir() : TempFolder("tavex-clip") {}
  std::string File(const std::string& name) const { return *this / name; }
};

// Starts xclip with stdin and stdout redirected; returns its pid (0 on failure).
pid_t Xclip(const std::vector<std::string>& args, const std::string& in, const std::string& out) {
  posix_spawn_file_actions_t files;
  posix_spawn_file_actions_init(&files);
  posix_spawn_file_actions_addopen(&files, 0, in.c_str(), O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&files, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  std::vector<std::string> all{"xclip", "-selection", "clipboard"};
  all.insert(all.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& a : all) argv.push_back(a.data());
  argv.push_back(nullptr);
  pid_t pid = 0;
  const int rc = posix_spawnp(&pid, "xclip", &files, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&files);
  return rc == 0 ? pid : 0;
}

bool Exited(pid_t pid) {
  int status = 0;
  return waitpid(pid, &status, WNOHANG) == pid;
}

void Stop(pid_t pid) {
  if (pid <= 0) return;
  kill(pid, SIGKILL);
  int status = 0;
  waitpid(pid, &status, 0);
}

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream all;
  all << in.rdbuf();
  return all.str();
}

void WriteAll(const std::string& path, const std::string& data) {
  std::ofstream(path, std::ios::binary) << data;
}

class ClipboardIncr : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!Tavex::Native::DisplayAvailable()) GTEST_SKIP() << "no display";
    if (!HaveXclip()) GTEST_SKIP() << "xclip is not installed";
  }
  // Gives our CLIPBOARD to an xclip that serves `data` and waits until it holds it.
  pid_t HandOver(const std::string& data) {
    WriteAll(dir.File("in"), data);
    EXPECT_TRUE(Tavex::Native::SetClipboardText("ours"));
    const pid_t pid = Xclip({"-i", "-quiet"}, dir.File("in"), dir.File("xclip.log"));
    EXPECT_NE(pid, 0);
    EXPECT_TRUE(PumpUntil([] { return !Tavex::Native::OwnsClipboard(); }, 5000));
    return pid;
  }
  TempDir dir;
};

}  // namespace

TEST_F(ClipboardIncr, TwoMegabytesCopiedOutArriveByteForByte) {
  const std::string text = BigText(2 << 20);
  ASSERT_TRUE(Tavex::Native::SetClipboardText(text));
  const pid_t pid = Xclip({"-o"}, "/dev/null", dir.File("out"));
  ASSERT_NE(pid, 0);
  const bool done = PumpUntil([&] { return Exited(pid); }, 20000);
  if (!done) Stop(pid);
  ASSERT_TRUE(done) << "xclip did not get the whole text";
  const std::string got = ReadAll(dir.File("out"));
  EXPECT_EQ(got.size(), text.size());
  EXPECT_TRUE(got == text);
  EXPECT_EQ(Tavex::Native::ClipboardTransfersInFlight(), 0);
}

TEST_F(ClipboardIncr, TwoMegabytesFromAnotherProgramPasteIntoAnEditBox) {
  const std::string text = BigText(2 << 20);
  const pid_t pid = HandOver(text);
  std::string got;
  EXPECT_TRUE(Tavex::Native::GetClipboardText(&got, 3000));
  EXPECT_EQ(got.size(), text.size());
  EXPECT_TRUE(got == text);

  // The same through Ctrl+V in an edit box (single line: the line breaks are dropped).
  TavexTest::RecordingParent parent;
  Tavex::MEdit edit(&parent, 1, TavexTest::CRect(0, 0, 300, 30), "");
  edit.SetControlFocus(1);
  edit.OnKeyDown('V', 1, 17);
  std::string flat = text;
  std::erase(flat, '\n');
  EXPECT_EQ(edit.GetTitle().size(), flat.size());
  EXPECT_TRUE(edit.GetTitle() == flat);
  Stop(pid);
}

TEST_F(ClipboardIncr, ARequestorThatVanishesMidTransferIsDroppedAndServingGoesOn) {
  const std::string text = BigText(8 << 20);
  ASSERT_TRUE(Tavex::Native::SetClipboardText(text));
  const pid_t reader = Xclip({"-o"}, "/dev/null", dir.File("cut"));
  ASSERT_NE(reader, 0);
  // Not pumping further leaves the transfer between two pieces while the reader dies.
  const bool started = PumpUntil([] { return Tavex::Native::ClipboardTransfersInFlight() > 0; }, 5000);
  Stop(reader);
  ASSERT_TRUE(started);
  EXPECT_TRUE(PumpUntil([] { return Tavex::Native::ClipboardTransfersInFlight() == 0; }, 5000));

  const pid_t second = Xclip({"-o"}, "/dev/null", dir.File("whole"));
  ASSERT_NE(second, 0);
  const bool done = PumpUntil([&] { return Exited(second); }, 20000);
  if (!done) Stop(second);
  ASSERT_TRUE(done);
  EXPECT_TRUE(ReadAll(dir.File("whole")) == text);
}

TEST_F(ClipboardIncr, AnOwnerThatVanishesMidTransferEndsThePasteWithoutHanging) {
  const std::string text = BigText(32 << 20);
  const pid_t pid = HandOver(text);
  std::thread killer([pid] {
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    kill(pid, SIGKILL);
  });
  const auto start = std::chrono::steady_clock::now();
  std::string got;
  const bool ok = Tavex::Native::GetClipboardText(&got, 500);
  const auto took = std::chrono::steady_clock::now() - start;
  killer.join();
  int status = 0;
  waitpid(pid, &status, 0);
  // Either the text was complete before the owner died, or the paste gave up.
  if (ok) {
    EXPECT_EQ(got.size(), text.size());
  }
  EXPECT_LT(took, std::chrono::seconds(10));
  // With the owner gone there is nothing to paste, at once.
  EXPECT_TRUE(PumpUntil([] {
    std::string none;
    return !Tavex::Native::GetClipboardText(&none, 200);
  }, 3000));
}
