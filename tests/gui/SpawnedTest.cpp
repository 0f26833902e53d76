// A started process does not outlive the test process that started it, and a program that
// cannot be started is reported as not started.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <string>
#include <thread>

#include "ProgramProcess.h"

namespace {

using namespace std::chrono_literals;

// Whether `pid` is a live process (neither gone nor a zombie awaiting its new parent).
bool Alive(pid_t pid) {
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  std::string pidField;
  std::string name;
  char state = 0;
  if (!(stat >> pidField >> name >> state)) return false;
  return state != 'Z' && state != 'X';
}

}  // namespace

TEST(Spawned, AChildDiesWhenTheProcessThatStartedItDiesAbruptly) {
  int pipeEnds[2];
  ASSERT_EQ(pipe(pipeEnds), 0);
  const pid_t middle = fork();
  ASSERT_GE(middle, 0);
  if (middle == 0) {
    // Stands for a test process halted by a sanitizer: no destructor runs.
    close(pipeEnds[0]);
    auto* child = new GuiTest::Spawned({"/bin/sleep", "60"}, {});
    const pid_t pid = child->Started() ? child->Pid() : -1;
    (void)!write(pipeEnds[1], &pid, sizeof pid);
    _exit(0);
  }
  close(pipeEnds[1]);
  pid_t grandchild = -1;
  ASSERT_EQ(read(pipeEnds[0], &grandchild, sizeof grandchild),
            static_cast<ssize_t>(sizeof grandchild));
  close(pipeEnds[0]);
  waitpid(middle, nullptr, 0);
  ASSERT_GT(grandchild, 0);
  const auto until = std::chrono::steady_clock::now() + 5s;
  while (Alive(grandchild) && std::chrono::steady_clock::now() < until)
    std::this_thread::sleep_for(20ms);
  const bool survived = Alive(grandchild);
  if (survived) kill(grandchild, SIGKILL);
  EXPECT_FALSE(survived);
}

TEST(Spawned, AMissingProgramIsNotStarted) {
  GuiTest::Spawned missing({"./no-such-program-here"}, {});
  EXPECT_FALSE(missing.Started());
  GuiTest::Spawned present({"/bin/true"}, {});
  ASSERT_TRUE(present.Started());
  EXPECT_EQ(present.Wait(5000ms), 0);
}
