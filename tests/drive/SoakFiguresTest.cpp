// The soak's verdicts: memory growth judged after the warm-up only, the keyboard log read into
// lighting modes and music levels, driven transfers matched one to one against the logged ones.
#include "SoakFigures.h"

#include <gtest/gtest.h>

namespace drive {
namespace {

constexpr int kWarmUp = 60;
constexpr long kTolerance = 1024;

TEST(SoakMemory, GrowthCountsFromTheWarmUpSampleAndAPeakFailsEvenWhenTheEndIsLower) {
  // Start-up growth before the warm-up is not judged; noise within the tolerance passes.
  MemoryFigures f = JudgeMemory({{0, 20000}, {30, 40000}, {60, 50000}, {70, 50900}, {80, 50100}},
                                kWarmUp, kTolerance);
  EXPECT_EQ(f.atWarmUpKib, 50000);
  EXPECT_EQ(f.atEndKib, 50100);
  EXPECT_EQ(f.maxGrowthKib, 900);
  EXPECT_FALSE(f.grew);

  f = JudgeMemory({{60, 50000}, {70, 52000}, {80, 50500}}, kWarmUp, kTolerance);
  EXPECT_EQ(f.maxGrowthKib, 2000);
  EXPECT_TRUE(f.grew);

  // Shrinking is no growth.
  f = JudgeMemory({{60, 50000}, {70, 45000}}, kWarmUp, kTolerance);
  EXPECT_EQ(f.maxGrowthKib, 0);
  EXPECT_FALSE(f.grew);
}

TEST(SoakMemory, ARunTooShortToJudgeNeverPasses) {
  EXPECT_TRUE(JudgeMemory({}, kWarmUp, kTolerance).grew);
  EXPECT_TRUE(JudgeMemory({{0, 100}, {50, 100}}, kWarmUp, kTolerance).grew);
  const MemoryFigures one = JudgeMemory({{0, 100}, {60, 100}}, kWarmUp, kTolerance);
  EXPECT_TRUE(one.grew) << "a single sample after the warm-up shows no trend";
  EXPECT_EQ(one.atWarmUpKib, 100);
}

TEST(SoakMemory, VmRssIsReadFromTheStatusTextAndItsAbsenceSaidSo) {
  EXPECT_EQ(ParseVmRssKib("Name:\tkeywright\nVmPeak:\t  90000 kB\nVmRSS:\t   48216 kB\nRssAnon: 1 kB\n"),
            48216);
  EXPECT_EQ(ParseVmRssKib("Name:\tkeywright\nState:\tZ (zombie)\n"), -1);
  EXPECT_EQ(ParseVmRssKib("VmRSS:\t kB\n"), -1);
}

TEST(SoakCpu, TicksAreReadAfterTheCommandNameWhateverItHolds) {
  // utime 1200 and stime 34 are the 14th and 15th fields.
  const std::string fields = " S 1 2 3 0 -1 4194560 900 0 0 0 1200 34 0 0 20 0 9 0 100 0 0\n";
  EXPECT_EQ(ParseCpuTicks("4242 (keywright)" + fields), 1234);
  EXPECT_EQ(ParseCpuTicks("4242 (a) b (c)" + fields), 1234) << "a name with spaces and parentheses";
  EXPECT_EQ(ParseCpuTicks("4242 keywright S 1 2"), -1);
  EXPECT_EQ(ParseCpuTicks("4242 (keywright) S 1 2 3"), -1) << "cut short";
  EXPECT_EQ(ParseCpuTicks(""), -1);
}

TEST(SoakLog, LightingModesInOrderAndMusicLevelsAreReadOtherReportsAndBadLinesAreNot) {
  const std::string log =
      "100 feature-set 1 ok 07 ff ff 03 04 02 00 00\n"
      "200 output 1 ok 07 23 45 67 89 01 00\n"
      "300 output 1 ok 07 23 45 67 89 01 60\n"
      "400 feature-set 1 ok 07 12 34 56 78 29 01\n"  // a custom light edit
      "500 feature-set 1 ok 07 ff ff 05 04 02 00 01\n"
      "600 feature-set 1 ok 07 ff ff\n"  // too short to hold a mode
      "700 feature-set 1 ok 07 zz ff\n"
      "garbage\n"
      "\n";
  const LoggedTraffic t = ReadTraffic(log);
  EXPECT_EQ(t.lightingModes, (std::vector<int>{3, 5}));
  EXPECT_EQ(t.musicLevels, 2);
  EXPECT_EQ(t.musicLevelsAboveZero, 1);
  EXPECT_EQ(t.unreadLines, 2);
  EXPECT_EQ(t.lines, 9u) << "every line, the empty one too, is a position in the log";

  // Read in two parts, the log adds up to the same.
  const std::size_t cut = log.find("500 ");
  LoggedTraffic parts = ReadTraffic(log.substr(0, cut));
  EXPECT_EQ(parts.lines, 4u) << "the next part starts at entry 4";
  parts.Add(ReadTraffic(log.substr(cut)));
  EXPECT_EQ(parts.lightingModes, t.lightingModes);
  EXPECT_EQ(parts.musicLevels, t.musicLevels);
  EXPECT_EQ(parts.musicLevelsAboveZero, t.musicLevelsAboveZero);
  EXPECT_EQ(parts.unreadLines, t.unreadLines);
  EXPECT_EQ(parts.lines, t.lines);
}

TEST(SoakTransfers, EachDrivenModeMustArriveOnceInOrderAfterTheEarlierCommands) {
  const std::vector<int> driven = {0, 1, 2};
  // The command sent when the keyboard was chosen comes first and is skipped.
  EXPECT_TRUE(CheckTransfers(driven, {3, 0, 1, 2}, 1).Clean());

  TransferCheck c = CheckTransfers(driven, {3, 0, 2}, 1);
  EXPECT_EQ(c.received, 2);
  EXPECT_EQ(c.lost, 1);
  EXPECT_EQ(c.wrongMode, 1) << "the third driven mode's place holds another";
  EXPECT_FALSE(c.Clean());

  c = CheckTransfers(driven, {3, 0, 1, 2, 2}, 1);
  EXPECT_EQ(c.extra, 1);
  EXPECT_FALSE(c.Clean());

  c = CheckTransfers(driven, {3}, 5);  // the log lost its start
  EXPECT_EQ(c.received, 0);
  EXPECT_EQ(c.lost, 3);
}

}  // namespace
}  // namespace drive
