// The unchanged device link, linked with the real hidapi (vkbd-probe), reaches a keywright-vkbd
// process through libhidsim.so preloaded: the run script's set-up.
#include <gtest/gtest.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

extern char** environ;

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

std::string ProgramDir() { return fs::read_symlink("/proc/self/exe").parent_path().string(); }

// A child process with its stdout on a pipe; killed and reaped when it goes out of scope.
class Child {
 public:
  Child(std::vector<std::string> argv, std::vector<std::string> extraEnv) {
    int fds[2];
    if (pipe(fds) != 0) return;
    std::vector<std::string> env(extraEnv);
    for (char** e = environ; *e; ++e) env.emplace_back(*e);
    std::vector<char*> cargv, cenv;
    for (auto& a : argv) cargv.push_back(a.data());
    cargv.push_back(nullptr);
    for (auto& e : env) cenv.push_back(e.data());
    cenv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, fds[0]);
    if (posix_spawn(&pid_, cargv[0], &actions, nullptr, cargv.data(), cenv.data()) != 0) pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    out_ = fds[0];
  }
  ~Child() {
    if (pid_ > 0) {
      kill(pid_, SIGTERM);
      Wait();
    }
    if (out_ >= 0) close(out_);
  }
  bool Started() const { return pid_ > 0; }
  // Reads until `text` appears in the output or the time is up; true when it appeared.
  bool WaitForText(const std::string& text, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (output_.find(text) == std::string::npos) {
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
      if (left.count() <= 0) return false;
      pollfd p{out_, POLLIN, 0};
      if (poll(&p, 1, static_cast<int>(left.count())) <= 0) return false;
      char buf[512];
      const ssize_t n = read(out_, buf, sizeof buf);
      if (n <= 0) return output_.find(text) != std::string::npos;
      output_.append(buf, static_cast<size_t>(n));
    }
    return true;
  }
  int Wait() {
    int status = 0;
    if (pid_ > 0 && waitpid(pid_, &status, 0) == pid_) pid_ = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  const std::string& Output() const { return output_; }

 private:
  pid_t pid_ = -1;
  int out_ = -1;
  std::string output_;
};

class HidSimEndToEnd : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("kw-hidsim-" + std::to_string(getpid()));
    fs::create_directories(dir_);
    socket_ = (dir_ / "vkbd.sock").string();
  }
  void TearDown() override { fs::remove_all(dir_); }

  std::string Vkbd() const { return ProgramDir() + "/keywright-vkbd"; }
  // Runs a keywright-vkbd client command; returns its output.
  std::string Control(std::vector<std::string> args) const {
    args.insert(args.begin(), {Vkbd(), "--socket", socket_});
    Child c(args, {});
    c.WaitForText("\x01", 5s);  // read to the end
    c.Wait();
    return c.Output();
  }

  fs::path dir_;
  std::string socket_;
};

TEST_F(HidSimEndToEnd, TheUnchangedLinkTalksToTheVirtualKeyboardProcess) {
  Child server({Vkbd(), "--socket", socket_, "serve", "--keyboard", "24ae:4076", "--version", "0107"}, {});
  ASSERT_TRUE(server.Started());
  ASSERT_TRUE(server.WaitForText("serving", 10s)) << server.Output();

  const std::string preload = "LD_PRELOAD=" + ProgramDir() + "/libhidsim.so";
  Child probe({ProgramDir() + "/vkbd-probe", "--wait-event", "10000"},
              {preload, "KW_VKBD_SOCKET=" + socket_, "ASAN_OPTIONS=verify_asan_link_order=0"});
  ASSERT_TRUE(probe.Started());
  ASSERT_TRUE(probe.WaitForText("reading\n", 20s)) << probe.Output();
  EXPECT_NE(probe.Output().find("records 1\n"), std::string::npos) << probe.Output();
  EXPECT_NE(probe.Output().find("identity HID\\VID_24AE&PID_4076&MI_01\\"), std::string::npos);
  EXPECT_NE(probe.Output().find("version 0107\n"), std::string::npos) << probe.Output();

  Control({"emit", "0", "04", "00", "30", "00"});  // not an event report
  Control({"event", "0", "2a"});
  ASSERT_TRUE(probe.WaitForText("event ", 20s)) << probe.Output();
  EXPECT_TRUE(probe.WaitForText("event 2a\n", 5s)) << probe.Output();
  EXPECT_EQ(probe.Wait(), 0);

  const std::string state = Control({"state", "0"});
  EXPECT_NE(state.find("lighting mode=4 brightness=4 speed=2 slot=2 commands=1"), std::string::npos) << state;
  Control({"quit"});
  EXPECT_EQ(server.Wait(), 0);
  EXPECT_FALSE(fs::exists(socket_));
}

TEST_F(HidSimEndToEnd, WithoutAServerThePreloadedLinkSeesNoDevices) {
  Child probe({ProgramDir() + "/vkbd-probe"},
              {"LD_PRELOAD=" + ProgramDir() + "/libhidsim.so", "KW_VKBD_SOCKET=" + socket_,
               "ASAN_OPTIONS=verify_asan_link_order=0"});
  ASSERT_TRUE(probe.Started());
  EXPECT_EQ(probe.Wait(), 0);
  probe.WaitForText("version", 5s);
  EXPECT_NE(probe.Output().find("records 0\nversion none\n"), std::string::npos) << probe.Output();
}

// A long run reads the log in parts: from a chosen entry on, the rest, or nothing past its end.
TEST_F(HidSimEndToEnd, TheLogIsGivenFromAChosenEntryOn) {
  Child server({Vkbd(), "--socket", socket_, "serve", "--keyboard", "24ae:4076"}, {});
  ASSERT_TRUE(server.Started());
  ASSERT_TRUE(server.WaitForText("serving", 10s)) << server.Output();
  for (const char* level : {"01", "02", "03"}) Control({"emit", "0", "05", level});
  const auto lines = [](const std::string& text) {
    std::vector<std::string> out;
    for (std::size_t at = 0, end; (end = text.find('\n', at)) != std::string::npos; at = end + 1)
      out.push_back(text.substr(at, end - at));
    return out;
  };
  const std::vector<std::string> all = lines(Control({"log", "0"}));
  ASSERT_EQ(all.size(), 3u);
  EXPECT_EQ(lines(Control({"log", "0", "0"})), all);
  EXPECT_EQ(lines(Control({"log", "0", "2"})), std::vector<std::string>{all[2]});
  EXPECT_TRUE(lines(Control({"log", "0", "3"})).empty());
  EXPECT_TRUE(lines(Control({"log", "0", "99"})).empty());
  EXPECT_TRUE(lines(Control({"log", "0", "-1"})).empty()) << "refused, not read as all";
  Control({"quit"});
  EXPECT_EQ(server.Wait(), 0);
}

}  // namespace
