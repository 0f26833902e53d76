#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include <sys/wait.h>
#include <unistd.h>

#include "support/ScopedEnv.h"
#include "support/TempFolder.h"
#include "platform/InstanceLock.h"

namespace {

using platform::InstanceLock;

// Tries the lock in a child process; its exit code says what it got.
enum ChildResult { kGotLock = 0, kHeldElsewhere = 1, kNoProtection = 2 };

int AcquireInChild(const std::string& name) {
  const pid_t child = fork();
  if (child == 0) {
    const auto lock = InstanceLock::Acquire(name);
    _exit(!lock ? kHeldElsewhere : lock->HoldsLock() ? kGotLock : kNoProtection);
  }
  int status = 0;
  waitpid(child, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

class InstanceLockTest : public ::testing::Test {
 protected:
  TempFolder runtime;
  ScopedEnv env{"XDG_RUNTIME_DIR", runtime.Path().c_str()};
};

TEST_F(InstanceLockTest, OneProcessHoldsTheLockUntilItsObjectEnds) {
  EXPECT_EQ(InstanceLock::LockPath("Tarnwick"), runtime / "Tarnwick.lock");
  {
    auto first = InstanceLock::Acquire("Tarnwick");
    ASSERT_TRUE(first);
    EXPECT_TRUE(first->HoldsLock());
    EXPECT_EQ(AcquireInChild("Tarnwick"), kHeldElsewhere);
    EXPECT_FALSE(InstanceLock::Acquire("Tarnwick")) << "a second object of the same process";
    EXPECT_EQ(AcquireInChild("Other"), kGotLock) << "names lock independently";

    InstanceLock moved = std::move(*first);
    first.reset();
    EXPECT_TRUE(moved.HoldsLock());
    EXPECT_EQ(AcquireInChild("Tarnwick"), kHeldElsewhere) << "the moved-from object let go";
  }
  EXPECT_EQ(AcquireInChild("Tarnwick"), kGotLock);
}

TEST_F(InstanceLockTest, WithoutARuntimeFolderTheLockLivesInTmpUnderTheUserId) {
  ScopedEnv unset{"XDG_RUNTIME_DIR", nullptr};
  const std::string name = "kw-lock-test-" + std::to_string(getpid());
  const std::string expected = "/tmp/" + name + "-" + std::to_string(getuid()) + ".lock";
  EXPECT_EQ(InstanceLock::LockPath(name), expected);
  {
    auto lock = InstanceLock::Acquire(name);
    ASSERT_TRUE(lock && lock->HoldsLock());
    EXPECT_EQ(AcquireInChild(name), kHeldElsewhere);
  }
  unlink(expected.c_str());
}

TEST_F(InstanceLockTest, AnUnusableLockFileGivesNoProtectionRatherThanARefusal) {
  // A symlink planted where the lock belongs is not followed.
  ASSERT_EQ(symlink((runtime / "elsewhere").c_str(), (runtime / "Planted.lock").c_str()), 0);
  auto planted = InstanceLock::Acquire("Planted");
  ASSERT_TRUE(planted);
  EXPECT_FALSE(planted->HoldsLock());
  EXPECT_FALSE(std::filesystem::exists(runtime / "elsewhere"));

  for (const char* bad : {"", "..", "a/b"}) {
    EXPECT_EQ(InstanceLock::LockPath(bad), "") << bad;
    auto lock = InstanceLock::Acquire(bad);
    ASSERT_TRUE(lock) << bad;
    EXPECT_FALSE(lock->HoldsLock()) << bad;
  }
}

}  // namespace
