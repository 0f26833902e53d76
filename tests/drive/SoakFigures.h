// The figures a soak run ends with, worked out from what it sampled and from the virtual
// keyboard's report log: memory growth after the warm-up, transfers driven against transfers
// received, music levels. Pure functions; any thread.
#pragma once

#include <string>
#include <vector>

namespace drive {

// Resident memory of the program at `second` of the run.
struct RssSample {
  int second = 0;
  long kib = 0;
};

struct MemoryFigures {
  long atWarmUpKib = -1;  // the first sample at or after the warm-up; -1 when there is none
  long atEndKib = -1;
  long maxGrowthKib = 0;  // the largest sample after the warm-up minus the warm-up sample
  bool grew = false;      // maxGrowthKib beyond the tolerance, or no sample after the warm-up
};

MemoryFigures JudgeMemory(const std::vector<RssSample>& samples, int warmUpSecond,
                          long toleranceKib);

// The VmRSS line of a /proc/PID/status text, in KiB; -1 when it has none.
long ParseVmRssKib(const std::string& statusText);

// User plus system CPU time in clock ticks from a /proc/PID/stat text (its 14th and 15th fields;
// the command name in parentheses may hold spaces and parentheses); -1 when unreadable.
long long ParseCpuTicks(const std::string& statText);

// What the keyboard's log shows: the mode of every lighting command in order, and the music
// level reports.
struct LoggedTraffic {
  std::vector<int> lightingModes;
  int musicLevels = 0;
  int musicLevelsAboveZero = 0;
  int unreadLines = 0;  // lines that were no report
  std::size_t lines = 0;  // every line read, so that the next part of the log starts after them

  // Adds what a later part of the same log shows.
  void Add(const LoggedTraffic& later);
};

// Parses the text of `keywright-vkbd log N` ("NS KIND INTERFACE OK BYTE..." per line, bytes in
// hex, the report id first).
LoggedTraffic ReadTraffic(const std::string& logText);

// Driven lighting transfers against the commands logged from position `from` on (earlier ones,
// such as the command sent when the keyboard was chosen, belong to no driven action). Each
// driven mode must arrive once, in order.
struct TransferCheck {
  int received = 0;   // logged commands from `from` on
  int lost = 0;       // driven but never logged
  int extra = 0;      // logged beyond what was driven
  int wrongMode = 0;  // logged in a driven one's place with another mode
  bool Clean() const { return lost == 0 && extra == 0 && wrongMode == 0; }
};

TransferCheck CheckTransfers(const std::vector<int>& driven, const std::vector<int>& logged,
                             std::size_t from);

}  // namespace drive
