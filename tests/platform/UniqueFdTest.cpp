#include "platform/UniqueFd.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <utility>

namespace {

bool IsOpen(int fd) { return ::fcntl(fd, F_GETFD) != -1; }

TEST(UniqueFd, ClosesOnceAndHandsOwnershipOnWithMovesAndRelease) {
  int raw = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
  ASSERT_GE(raw, 0);
  {
    platform::UniqueFd first(raw);
    platform::UniqueFd second(std::move(first));
    EXPECT_FALSE(first.Valid());
    EXPECT_EQ(second.Get(), raw);
    EXPECT_TRUE(IsOpen(raw));
  }
  EXPECT_FALSE(IsOpen(raw));

  raw = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
  ASSERT_GE(raw, 0);
  {
    platform::UniqueFd owner(raw);
    EXPECT_EQ(owner.Release(), raw);
  }
  EXPECT_TRUE(IsOpen(raw));
  ::close(raw);
}

TEST(UniqueFd, ResetReportsAFailedClose) {
  const int raw = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
  ASSERT_GE(raw, 0);
  platform::UniqueFd owner(raw);
  ASSERT_EQ(::close(raw), 0);  // closed behind the owner's back: its own close must fail
  EXPECT_FALSE(owner.Reset());
  EXPECT_FALSE(owner.Valid());
  EXPECT_TRUE(owner.Reset());  // nothing held: nothing to fail
}

}  // namespace
