#include <gtest/gtest.h>

#include <signal.h>

#include <filesystem>
#include <fstream>
#include <thread>

#include "platform/FileSystem.h"
#include "platform/PreciseSleep.h"
#include "platform/TerminationSignals.h"
#include "platform/UserLocale.h"
#include "support/TempFolder.h"

namespace {

using namespace std::chrono_literals;

TEST(UserLocale, SimplifiedChineseLocalesGive2052AndEverythingElse1033) {
  for (const char* chinese : {"zh_CN", "zh_CN.UTF-8", "zh_CN.GB18030@stroke", "zh_SG", "zh-CN",
                              "zh_Hans", "zh_Hans_CN.UTF-8"})
    EXPECT_EQ(platform::LanguageIdOfLocale(chinese), 2052) << chinese;
  for (const char* other : {"", "C", "POSIX", "en_US.UTF-8", "de_DE", "zh", "zh_TW", "zh_HK",
                            "zh_Hant", "zh_CNX", "zh_", "ja_JP"})
    EXPECT_EQ(platform::LanguageIdOfLocale(other), 1033) << other;
}

TEST(PreciseSleep, SleepsUntilTheDeadlineAndNotBefore) {
  const auto deadline = platform::MonotonicNow() + 5ms;
  platform::SleepUntil(deadline);
  EXPECT_GE(platform::MonotonicNow(), deadline);
  const auto before = platform::MonotonicNow();
  platform::SleepUntil(before - 1s);  // a passed deadline returns at once
  platform::SleepUntil(std::chrono::nanoseconds(0));
  EXPECT_LT(platform::MonotonicNow() - before, 1s);
}

TEST(FileSystem, ReadReportsMissingUnreadableAndOversizedFiles) {
  const TempFolder folder("kw-platform");
  const std::string& path = folder.Path();
  ASSERT_FALSE(path.empty());
  const std::string file = path + "/f";
  EXPECT_EQ(platform::ReadWholeFile(file, 10).status, platform::ReadStatus::Missing);
  EXPECT_EQ(platform::ReadWholeFile(path + "/no/f", 10).status, platform::ReadStatus::Missing);
  EXPECT_EQ(platform::ReadWholeFile(path, 10).status, platform::ReadStatus::Unreadable);
  ASSERT_TRUE(platform::WriteFileAtomic(file, std::string("a\0b", 3)));
  const auto read = platform::ReadWholeFile(file, 3);
  EXPECT_EQ(read.status, platform::ReadStatus::Ok);
  EXPECT_EQ(read.bytes, std::string("a\0b", 3));
  EXPECT_EQ(platform::ReadWholeFile(file, 2).status, platform::ReadStatus::TooLarge);
  EXPECT_FALSE(platform::WriteFileAtomic(path + "/no/f", "x"));
}

TEST(TerminationSignals, WaitReceivesATerminationSentToTheProcess) {
  platform::TerminationSignals signals;
  std::thread sender([] { kill(getpid(), SIGTERM); });
  EXPECT_STREQ(signals.Wait(), "SIGTERM");
  sender.join();
}

}  // namespace
