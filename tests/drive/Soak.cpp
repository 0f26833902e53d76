#include "Soak.h"

#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <numbers>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "ProgramDriver.h"
#include "SoakFigures.h"

namespace drive {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr auto kPeriod = 10s;
constexpr auto kMusicAfter = 5s;  // in each period: preview first, then music
constexpr int kWarmUpSeconds = 60;
constexpr int kLightingTab = 3;
constexpr int kProgressEvery = 6;  // periods between progress lines
// Resident memory may move by allocator and cache noise (font and glyph caches, malloc arenas
// trimming late), which stayed under 50 KiB after the first minute in quiet runs; a leak of
// 40 bytes per music level (about 27,000 in 30 minutes), or of one paint buffer, exceeds it.
constexpr long kToleranceKib = 1024;
// Rows of the lighting mode list: 0-6 preview modes with brightness and speed, 8 the music mode.
constexpr int kPreviewModes = 7;
constexpr int kMusicRow = 8;
constexpr auto kTransferWait = 3s;
// The tone: a 440 Hz sine at a quarter of full scale, stereo S16LE, as long as the music half.
constexpr int kRate = 48000;
constexpr int kChannels = 2;
constexpr double kToneHz = 440.0;
constexpr double kToneAmplitude = 8192.0;
constexpr int kToneSeconds = 5;

long ReadRssKib(pid_t pid) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/status");
  return ParseVmRssKib(std::string(std::istreambuf_iterator<char>(in), {}));
}

// User plus system CPU of `pid` in clock ticks; -1 when it cannot be read.
long long CpuTicks(pid_t pid) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
  return ParseCpuTicks(std::string(std::istreambuf_iterator<char>(in), {}));
}

bool WriteTone(const std::string& path) {
  std::ofstream out(path, std::ios::binary);
  for (long frame = 0; frame < static_cast<long>(kRate) * kToneSeconds; ++frame) {
    const auto sample = static_cast<std::int16_t>(
        kToneAmplitude * std::sin(2.0 * std::numbers::pi * kToneHz * frame / kRate));
    for (int c = 0; c < kChannels; ++c) out.write(reinterpret_cast<const char*>(&sample), sizeof sample);
  }
  return static_cast<bool>(out);
}

std::unique_ptr<GuiTest::Spawned> PlayTone(const std::string& path) {
  return std::make_unique<GuiTest::Spawned>(
      std::vector<std::string>{"/usr/bin/env", "pacat", "--playback", "--format=s16le",
                               "--rate=" + std::to_string(kRate),
                               "--channels=" + std::to_string(kChannels), path},
      std::vector<std::string>{});
}

}  // namespace

int RunSoak(int minutes) {
  ProgramDriver program;
  if (!program.Start("en_US.UTF-8") || !program.ChooseKeyboard() ||
      !program.OpenPage(kLightingTab)) {
    std::fprintf(stderr, "soak: %s\n", program.Error().c_str());
    return 2;
  }
  const std::string tone =
      (std::filesystem::temp_directory_path() / ("soak-tone-" + std::to_string(getpid()) + ".raw"))
          .string();
  if (!WriteTone(tone)) {
    std::fprintf(stderr, "soak: could not write the tone\n");
    return 2;
  }
  const pid_t pid = program.Pid();
  // The log is read in parts, each period what came since the last, so that no reply grows
  // beyond what the keyboard's socket carries.
  LoggedTraffic traffic;
  int logReadFailures = 0;
  const auto readLog = [&] {
    const std::optional<std::string> part = program.KeyboardLog(traffic.lines);
    if (part) {
      traffic.Add(ReadTraffic(*part));
    } else {
      ++logReadFailures;
    }
  };
  readLog();
  const std::size_t before = traffic.lightingModes.size();
  std::vector<RssSample> samples;
  std::vector<int> driven;
  int unconfirmed = 0;
  const long ticksPerSecond = sysconf(_SC_CLK_TCK);
  long long ticksAtWarmUp = -1;
  Clock::time_point warmUpAt;
  const auto start = Clock::now();
  const int periods = minutes * 60 / static_cast<int>(kPeriod.count());
  std::printf("soak: %d minutes, %d periods of %lld s, program pid %d\n", minutes, periods,
              static_cast<long long>(kPeriod.count()), static_cast<int>(pid));
  std::fflush(stdout);
  for (int p = 0; p < periods && program.Running(); ++p) {
    const auto periodStart = start + p * kPeriod;
    std::this_thread::sleep_until(periodStart);
    const int second = static_cast<int>(p * kPeriod.count());
    samples.push_back({second, ReadRssKib(pid)});
    readLog();
    if (second >= kWarmUpSeconds && ticksAtWarmUp < 0) {
      ticksAtWarmUp = CpuTicks(pid);
      warmUpAt = Clock::now();
    }
    // Preview: a lighting transfer of the next mode.
    const int mode = p % kPreviewModes;
    const int sent = program.LightingCommands();
    if (!program.ClickModeRow(mode)) break;
    driven.push_back(mode);
    if (!WaitUntil([&] { return program.LightingCommands() > sent; }, kTransferWait)) ++unconfirmed;
    // Music: the level stream, with a tone to give it levels.
    std::this_thread::sleep_until(periodStart + kMusicAfter);
    if (!program.ClickModeRow(kMusicRow)) break;
    const auto player = PlayTone(tone);
    std::this_thread::sleep_until(periodStart + kPeriod - 200ms);
    if (p % kProgressEvery == kProgressEvery - 1) {
      std::printf("soak: %4d s rss %ld KiB, %zu transfers driven\n", second, samples.back().kib,
                  driven.size());
      std::fflush(stdout);
    }
  }
  const bool survived = program.Running();
  samples.push_back({static_cast<int>((Clock::now() - start) / 1s), ReadRssKib(pid)});
  const long long ticksAtEnd = CpuTicks(pid);
  const double cpuSeconds = (Clock::now() - warmUpAt) / 1.0s;
  readLog();
  const int quit = program.Quit();
  std::remove(tone.c_str());

  const MemoryFigures memory = JudgeMemory(samples, kWarmUpSeconds, kToleranceKib);
  const TransferCheck transfers = CheckTransfers(driven, traffic.lightingModes, before);
  const double cpu = ticksAtWarmUp >= 0 && ticksAtEnd >= ticksAtWarmUp && cpuSeconds > 0
                         ? 100.0 * static_cast<double>(ticksAtEnd - ticksAtWarmUp) /
                               static_cast<double>(ticksPerSecond) / cpuSeconds
                         : -1.0;
  std::printf("soak rss_at_1min %ld KiB\n", memory.atWarmUpKib);
  std::printf("soak rss_at_end %ld KiB\n", memory.atEndKib);
  std::printf("soak rss_max_growth_after_1min %ld KiB (tolerance %ld KiB)\n", memory.maxGrowthKib,
              kToleranceKib);
  std::printf("soak transfers_driven %zu\n", driven.size());
  std::printf("soak transfers_logged %d (lost %d, extra %d, wrong mode %d, unconfirmed within %lld s %d)\n",
              transfers.received, transfers.lost, transfers.extra, transfers.wrongMode,
              static_cast<long long>(kTransferWait.count()), unconfirmed);
  std::printf("soak music_levels %d (above zero %d)\n", traffic.musicLevels,
              traffic.musicLevelsAboveZero);
  std::printf("soak log_entries %zu (read in parts, %d reads failed)\n", traffic.lines,
              logReadFailures);
  std::printf("soak cpu_after_1min %.1f %%\n", cpu);
  std::printf("soak program_exit %d\n", quit);
  std::printf("soak rss_samples");
  for (const RssSample& s : samples) std::printf(" %d:%ld", s.second, s.kib);
  std::printf("\n");

  bool ok = true;
  const auto failure = [&](const char* what) {
    std::printf("soak FAIL: %s\n", what);
    ok = false;
  };
  if (!survived) failure("the program ended during the run");
  if (memory.grew) failure("resident memory grew after the first minute");
  if (logReadFailures > 0) failure("the keyboard's log could not be read");
  if (!transfers.Clean() || driven.empty()) failure("a transfer was lost or differs");
  if (traffic.musicLevelsAboveZero == 0) failure("no music level above zero arrived");
  if (quit != 0) failure("the program did not end cleanly on the quit request");
  if (ok) std::printf("soak: passed\n");
  return ok ? 0 : 1;
}

}  // namespace drive
