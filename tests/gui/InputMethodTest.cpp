// Typed text through the X input method into the gallery's edit boxes: the local composer of
// libX11 (Compose sequences) and a pinyin XIM server started here for the test's display,
// including that server dying and coming back while the gallery runs. Keys go through XTest
// (xdotool); the gallery reports the text of an edit after every change.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "GalleryProcess.h"
#include "tavex/Native.h"

using namespace GuiTest;
namespace fs = std::filesystem;

namespace {

// The standard page starts with edit 43 focused and "Focused" (of "Focused, selected")
// selected, so the first typed text replaces that word.
constexpr const char* kEditText = "text id=43 ";

bool Shell(const std::string& command) { return std::system(command.c_str()) == 0; }

bool HaveProgram(const std::string& name) {
  return Shell("command -v " + name + " >/dev/null 2>&1");
}

// Sets environment variables for the processes the test starts, and restores them.
class ScopedEnv {
 public:
  void Set(const char* name, const std::string& value) {
    const char* old = std::getenv(name);
    m_saved.push_back({name, old != nullptr, old != nullptr ? old : ""});
    setenv(name, value.c_str(), 1);
  }
  ~ScopedEnv() {
    for (auto it = m_saved.rbegin(); it != m_saved.rend(); ++it) {
      if (it->had) {
        setenv(it->name.c_str(), it->value.c_str(), 1);
      } else {
        unsetenv(it->name.c_str());
      }
    }
  }

 private:
  struct Saved {
    std::string name;
    bool had;
    std::string value;
  };
  std::vector<Saved> m_saved;
};

// A process in a group of its own (the server starts helpers), ended with its group.
class ServerProcess {
 public:
  explicit ServerProcess(const std::vector<std::string>& argv) {
    m_pid = fork();
    if (m_pid == 0) {
      setpgid(0, 0);
      // Its complaints about core fonts for its own preedit window are not the test's output.
      const int null = open("/dev/null", O_WRONLY);
      if (null >= 0) {
        dup2(null, STDOUT_FILENO);
        dup2(null, STDERR_FILENO);
      }
      std::vector<char*> args;
      for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
      args.push_back(nullptr);
      execvp(args[0], args.data());
      _exit(127);
    }
    if (m_pid > 0) setpgid(m_pid, m_pid);
  }
  ~ServerProcess() { Kill(); }
  bool Started() const { return m_pid > 0; }
  void Kill() {
    if (m_pid <= 0) return;
    kill(-m_pid, SIGKILL);
    waitpid(m_pid, nullptr, 0);
    m_pid = -1;
  }

 private:
  pid_t m_pid = -1;
};

// zh_CN.UTF-8 compiled into a folder of our own (LOCPATH), since the machine may have no
// Chinese locale generated: the pinyin server serves only the locales it finds.
std::string ChineseLocaleFolder() {
  const fs::path folder = fs::temp_directory_path() / ("tavex-ime-locales-" + std::to_string(getuid()));
  if (fs::exists(folder / "zh_CN.UTF-8" / "LC_CTYPE")) return folder.string();
  std::error_code ec;
  fs::create_directories(folder, ec);
  if (!Shell("localedef -i zh_CN -f UTF-8 '" + (folder / "zh_CN.UTF-8").string() +
           "' >/dev/null 2>&1") &&
      !fs::exists(folder / "zh_CN.UTF-8" / "LC_CTYPE")) {
    return {};
  }
  return folder.string();
}

class InputMethod : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!Tavex::Native::DisplayAvailable()) GTEST_SKIP() << "no display";
    if (!HaveXDoTool()) GTEST_SKIP() << "xdotool missing";
    XDoTool("mousemove 0 0");
  }
  void TearDown() override {
    if (HasFailure() && gallery) {
      for (const std::string& line : gallery->Lines()) std::printf("gallery: %s\n", line.c_str());
    }
    gallery.reset();
  }

  // Starts the standard page (or the layered lists page) and waits until its window has the
  // keyboard focus.
  void StartGallery(bool layeredLists = false) {
    gallery = std::make_unique<GalleryProcess>(
        layeredLists ? std::vector<std::string>{"--page", "lists", "--layered"}
                     : std::vector<std::string>{"--page", "standard"});
    ASSERT_TRUE(gallery->Started());
    ASSERT_GE(gallery->WaitFor(layeredLists ? "ready page=lists" : "ready standard"), 0)
        << "the gallery did not start";
    const std::string title = layeredLists ? "gallery: lists" : "standard controls";
    ASSERT_TRUE(XDoTool("search --sync --onlyvisible --name '" + title + "' windowfocus --sync"));
  }
  int Mark() const { return static_cast<int>(gallery->Lines().size()); }
  // Waits for the edit to report exactly `text`.
  bool EditShows(const std::string& text, int from,
                 std::chrono::milliseconds timeout = std::chrono::seconds(5)) {
    const std::string line = kEditText + text;
    for (auto end = std::chrono::steady_clock::now() + timeout;;) {
      const int at = gallery->WaitFor(line, from, std::chrono::milliseconds(200));
      if (at >= 0 && gallery->Lines()[static_cast<std::size_t>(at)] == line) return true;
      if (at >= 0) from = at + 1;
      if (std::chrono::steady_clock::now() >= end) return false;
    }
  }

  ScopedEnv env;
  std::unique_ptr<GalleryProcess> gallery;
};

}  // namespace

TEST_F(InputMethod, ComposeSequenceOfTheLocalMethodTypesOneAccentedLetter) {
  env.Set("XMODIFIERS", "@im=none");
  env.Set("LC_ALL", "C.UTF-8");
  // A spare keycode becomes the Compose key for the test.
  ASSERT_TRUE(Shell("xmodmap -e 'keycode 93 = Multi_key' >/dev/null 2>&1"));
  StartGallery();
  const int from = Mark();
  ASSERT_TRUE(XDoTool("key --delay 40 Multi_key apostrophe e"));
  EXPECT_TRUE(EditShows("é, selected", from)) << "the sequence did not compose into é";
  ASSERT_TRUE(XDoTool("key --delay 40 Multi_key o slash x"));
  EXPECT_TRUE(EditShows("éøx, selected", from));
  // The keys that built the sequences typed nothing of their own.
  EXPECT_EQ(gallery->CountContaining("text id=43 '"), 0);
  Shell("xmodmap -e 'keycode 93 =' >/dev/null 2>&1");
}

class ChineseInputMethod : public InputMethod {
 protected:
  void SetUp() override {
    InputMethod::SetUp();
    if (IsSkipped()) return;
    if (!HaveProgram("uim-xim")) GTEST_SKIP() << "uim-xim missing (scripts/setup.sh installs it)";
    locales = ChineseLocaleFolder();
    if (locales.empty()) GTEST_SKIP() << "cannot build the zh_CN.UTF-8 locale (package locales)";
    home = fs::temp_directory_path() / ("tavex-ime-home-" + std::to_string(getpid()));
    fs::create_directories(home);
    env.Set("LOCPATH", locales);
    env.Set("LC_ALL", "zh_CN.UTF-8");
    env.Set("XMODIFIERS", "@im=uim");
    env.Set("HOME", home.string());  // uim keeps its settings there
  }
  void TearDown() override {
    InputMethod::TearDown();
    server.reset();
    std::error_code ec;
    if (!home.empty()) fs::remove_all(home, ec);
  }
  void StartServer() {
    // A server killed earlier leaves its name on the root window; clear it so that its
    // appearance below means this one serves.
    Shell("xprop -root -remove XIM_SERVERS >/dev/null 2>&1");
    server = std::make_unique<ServerProcess>(std::vector<std::string>{"uim-xim", "--engine=py"});
    ASSERT_TRUE(server->Started());
    // The server announces itself on the root window once it serves.
    for (int i = 0; i < 50; ++i) {
      if (Shell("xprop -root XIM_SERVERS 2>/dev/null | grep -q '@server=uim'")) break;
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
  }
  // Pinyin on (Shift+Space), "ni", first candidate.
  bool TypeNi(int from, const std::string& expected) {
    return XDoTool("key --delay 60 shift+space n i 1") && EditShows(expected, from);
  }

  std::string locales;
  fs::path home;
  std::unique_ptr<ServerProcess> server;
};

TEST_F(ChineseInputMethod, PinyinSyllableCommitsItsFirstCandidate) {
  StartServer();
  StartGallery();
  const int from = Mark();
  EXPECT_TRUE(TypeNi(from, "你, selected"));
  // While the method composes, the letters are not typed into the box.
  EXPECT_EQ(gallery->CountContaining("text id=43 n"), 0);
}

TEST_F(ChineseInputMethod, ServerThatDiesLeavesTypingWorkingAndIsPickedUpWhenItReturns) {
  // Started before any server runs: plain typing, then the server is found when it appears.
  StartGallery();
  int from = Mark();
  ASSERT_TRUE(XDoTool("type --delay 40 ab"));
  ASSERT_TRUE(EditShows("ab, selected", from));
  StartServer();
  from = Mark();
  EXPECT_TRUE(TypeNi(from, "ab你, selected")) << "a server started later was not used";

  server->Kill();
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  from = Mark();
  ASSERT_TRUE(XDoTool("type --delay 40 cd"));
  EXPECT_TRUE(EditShows("ab你cd, selected", from)) << "typing stopped with the server";

  StartServer();
  from = Mark();
  EXPECT_TRUE(TypeNi(from, "ab你cd你, selected")) << "the restarted server was not used";
}

// In a layered window the lists' in-place boxes are popup windows of their own: the method
// follows the focus into the rename popup, and the delay popup still takes plain digits.
TEST_F(ChineseInputMethod, PinyinRenamesARowOfALayeredListAndTheDelayBoxStaysPlain) {
  StartServer();
  StartGallery(true);
  int from = Mark();
  ASSERT_TRUE(XDoTool("key F2"));
  ASSERT_GE(gallery->WaitFor("editing list row=1", from), 0);
  ASSERT_TRUE(XDoTool("key --delay 60 shift+space n i 1 Return"));
  EXPECT_GE(gallery->WaitFor("renamed row=1 text=Profile 2你", from), 0);
  EXPECT_EQ(gallery->CountContaining("text=Profile 2n"), 0) << "letters reached the box";

  // Ending the rename hands the keyboard back to the page: F3 reaches it without a click.
  from = Mark();
  ASSERT_TRUE(XDoTool("key F3"));
  ASSERT_GE(gallery->WaitFor("editing records row=1", from), 0) << "the page lost the keyboard";
  ASSERT_TRUE(XDoTool("key --delay 60 4 5 Return"));
  EXPECT_GE(gallery->WaitFor("delay row=1 value=3545", from), 0);
}
