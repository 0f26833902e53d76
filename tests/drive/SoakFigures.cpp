#include "SoakFigures.h"

#include <algorithm>
#include <cstdlib>
#include <sstream>

namespace drive {
namespace {

// Report bytes after the report id that mark a lighting command and a music level report.
constexpr int kLightingMark[] = {0xFF, 0xFF};
constexpr int kMusicMark[] = {0x23, 0x45, 0x67, 0x89};
constexpr std::size_t kLightingModeByte = 3;
constexpr std::size_t kMusicLevelByte = 6;
constexpr const char* kRssTag = "VmRSS:";
// Fields of /proc/PID/stat after the command name: state is the first, utime the 12th.
constexpr int kFieldsBeforeUserTime = 11;

template <std::size_t N>
bool Marked(const std::vector<int>& bytes, const int (&mark)[N]) {
  return bytes.size() > N && std::equal(mark, mark + N, bytes.begin() + 1);
}

}  // namespace

MemoryFigures JudgeMemory(const std::vector<RssSample>& samples, int warmUpSecond,
                          long toleranceKib) {
  MemoryFigures f;
  const auto warm = std::find_if(samples.begin(), samples.end(),
                                 [&](const RssSample& s) { return s.second >= warmUpSecond; });
  if (warm == samples.end()) {
    f.grew = true;  // nothing to judge by: never a pass
    return f;
  }
  f.atWarmUpKib = warm->kib;
  f.atEndKib = samples.back().kib;
  for (auto s = warm; s != samples.end(); ++s)
    f.maxGrowthKib = std::max(f.maxGrowthKib, s->kib - warm->kib);
  f.grew = f.maxGrowthKib > toleranceKib || std::next(warm) == samples.end();
  return f;
}

long ParseVmRssKib(const std::string& statusText) {
  const std::size_t at = statusText.find(kRssTag);
  if (at == std::string::npos) return -1;
  char* end = nullptr;
  const char* number = statusText.c_str() + at + std::char_traits<char>::length(kRssTag);
  const long kib = std::strtol(number, &end, 10);
  return end == number || kib < 0 ? -1 : kib;
}

long long ParseCpuTicks(const std::string& statText) {
  const std::size_t close = statText.rfind(')');
  if (close == std::string::npos) return -1;
  std::istringstream fields(statText.substr(close + 1));
  std::string skip;
  for (int i = 0; i < kFieldsBeforeUserTime; ++i) fields >> skip;
  long long user = -1, system = -1;
  if (!(fields >> user >> system) || user < 0 || system < 0) return -1;
  return user + system;
}

LoggedTraffic ReadTraffic(const std::string& logText) {
  LoggedTraffic t;
  std::istringstream lines(logText);
  std::string line;
  while (std::getline(lines, line)) {
    ++t.lines;
    std::istringstream in(line);
    long long ns = 0;
    std::string kind, interface, ok, byte;
    if (!(in >> ns >> kind >> interface >> ok)) {
      if (!line.empty()) ++t.unreadLines;
      continue;
    }
    std::vector<int> bytes;
    bool hex = true;
    while (hex && in >> byte) {
      char* end = nullptr;
      const long value = std::strtol(byte.c_str(), &end, 16);
      hex = *end == '\0' && value >= 0 && value <= 0xFF;
      bytes.push_back(static_cast<int>(value));
    }
    if (!hex) {
      ++t.unreadLines;
    } else if (Marked(bytes, kLightingMark) && bytes.size() > kLightingModeByte) {
      t.lightingModes.push_back(bytes[kLightingModeByte]);
    } else if (Marked(bytes, kMusicMark) && bytes.size() > kMusicLevelByte) {
      ++t.musicLevels;
      if (bytes[kMusicLevelByte] != 0) ++t.musicLevelsAboveZero;
    }
  }
  return t;
}

void LoggedTraffic::Add(const LoggedTraffic& later) {
  lightingModes.insert(lightingModes.end(), later.lightingModes.begin(), later.lightingModes.end());
  musicLevels += later.musicLevels;
  musicLevelsAboveZero += later.musicLevelsAboveZero;
  unreadLines += later.unreadLines;
  lines += later.lines;
}

TransferCheck CheckTransfers(const std::vector<int>& driven, const std::vector<int>& logged,
                             std::size_t from) {
  TransferCheck c;
  const std::size_t start = std::min(from, logged.size());
  c.received = static_cast<int>(logged.size() - start);
  const int drivenCount = static_cast<int>(driven.size());
  c.lost = std::max(0, drivenCount - c.received);
  c.extra = std::max(0, c.received - drivenCount);
  for (std::size_t i = 0; i < driven.size() && start + i < logged.size(); ++i)
    if (logged[start + i] != driven[i]) ++c.wrongMode;
  return c;
}

}  // namespace drive
