// Streams music levels from the default output's monitor to an in-process virtual keyboard for
// a few seconds of silence, then plays a constant tone into the default sink with pacat and
// prints: how far the gaps between received levels are from the 33 ms interval (median and
// p99), how long the tone took to give its first non-zero level, and the capture thread's CPU
// as a share of one core. The interval is measured twice: alone, and while a paced transfer (as
// the worker sends a key or lighting transfer) shares the keyboard. Needs an audio server
// (scripts/bench.sh starts one with a null sink).
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <time.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "bench/BenchTiming.h"
#include "device/CommandBuilders.h"
#include "device/HidDeviceList.h"
#include "features/KeyboardCommands.h"
#include "features/MusicLevelStream.h"
#include "platform/AudioCapture.h"
#include "store/ProfileStore.h"
#include "tools/vkbd/VirtualBus.h"

extern char** environ;

namespace {

using namespace std::chrono_literals;

constexpr int kIntervalMs = 33;
constexpr auto kSilence = 5s;
constexpr auto kToneLimit = 3s;
constexpr int16_t kToneSample = 0x3000;
constexpr int kToneRate = 48000;
constexpr int kToneSeconds = 4;

long long ThreadCpuNs() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<long long>(t.tv_sec) * 1000000000LL + t.tv_nsec;
}

// Forwards packets to the stream and remembers the capture thread's own CPU time.
class Receiver : public platform::AudioCapture::IProxy {
 public:
  explicit Receiver(MusicLevelStream& stream) : stream_(stream) {}
  void Stopped() override {}
  void OnFormat(const platform::AudioCapture::Format&) override {}
  void Data(const int16_t* units, std::size_t count, int, int, int) override {
    stream_.OnPacket(units, count);
    cpuNs.store(ThreadCpuNs());
  }
  std::atomic<long long> cpuNs{0};

 private:
  MusicLevelStream& stream_;
};

bool IsMusicLevel(const std::vector<uint8_t>& bytes) {
  const std::vector<uint8_t> prefix = {0x07, 0x23, 0x45, 0x67, 0x89};
  return bytes.size() > prefix.size() && std::equal(prefix.begin(), prefix.end(), bytes.begin());
}

// How far each gap between two received music levels is from the interval, in ms.
std::vector<double> Deviations(const std::vector<vkbd::LoggedReport>& log) {
  std::vector<double> deviations;
  int64_t last = -1;
  for (const auto& r : log) {
    if (!IsMusicLevel(r.bytes)) continue;
    if (last >= 0)
      deviations.push_back(std::fabs(static_cast<double>(r.monotonicNs - last) / 1e6 - kIntervalMs));
    last = r.monotonicNs;
  }
  return deviations;
}

// Sends paced custom-light key commands until told to stop, as a worker transfer would.
class Transfer {
 public:
  explicit Transfer(HidDeviceList& list)
      : thread_([this, &list] {
          int key = 0;
          while (!stop_.load()) {
            list.SendFeaturePaced(CustomLightKeyCommand(key, true), 0);
            key = (key + 1) % kKeys;
          }
        }) {}
  ~Transfer() {
    stop_.store(true);
    thread_.join();
  }

 private:
  static constexpr int kKeys = 87;
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

double Percentile(std::vector<double> values, double p) {
  std::sort(values.begin(), values.end());
  const auto at = static_cast<std::size_t>(std::ceil(p * static_cast<double>(values.size()))) - 1;
  return values[std::min(at, values.size() - 1)];
}

pid_t PlayTone(const std::string& file) {
  std::vector<std::string> args = {"pacat", "--playback", "--format=s16le",
                                   "--rate=" + std::to_string(kToneRate), "--channels=2", file};
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  pid_t pid = -1;
  if (posix_spawnp(&pid, "pacat", nullptr, nullptr, argv.data(), environ) != 0) return -1;
  return pid;
}

}  // namespace

int main() {
  const auto kb = vkbd::LocalBus().Plug(vkbd::KeyboardSpec::Model(0x24AE, 0x4076));
  HidDeviceList list;
  list.AddFilter(0x24AE, 0x4076, "", DeviceFilter::PathPattern(0x24AE, 0x4076));
  list.Refresh();
  list.SetOpen(true);
  ProfileStore store;  // the level command reads nothing from it
  KeyboardCommands commands(list, store);
  MusicLevelStream stream(commands);
  stream.SetDeviceIndex(0);
  stream.SetActive(true);
  Receiver receiver(stream);
  platform::AudioCapture capture(receiver);
  capture.SetInterval(kIntervalMs);
  capture.Start();
  for (int i = 0; i < 50 && !capture.Connected(); ++i) std::this_thread::sleep_for(100ms);
  if (!capture.Connected()) {
    std::fprintf(stderr, "bench-music: no audio server to record from\n");
    return 1;
  }

  kb->ClearLog();
  const long long cpuStart = receiver.cpuNs.load();
  const auto wallStart = std::chrono::steady_clock::now();
  std::this_thread::sleep_for(kSilence);
  const long long cpuEnd = receiver.cpuNs.load();
  const double wallNs = std::chrono::duration<double, std::nano>(std::chrono::steady_clock::now() - wallStart).count();
  const std::vector<double> deviationsMs = Deviations(kb->Log(vkbd::ReportKind::FeatureSet));
  if (deviationsMs.size() < 10) {
    std::fprintf(stderr, "bench-music: only %zu levels in %lld s\n", deviationsMs.size(),
                 static_cast<long long>(std::chrono::duration_cast<std::chrono::seconds>(kSilence).count()));
    return 1;
  }
  kb->ClearLog();
  {
    const Transfer transfer(list);
    std::this_thread::sleep_for(kSilence);
  }
  const std::vector<double> transferDeviationsMs = Deviations(kb->Log(vkbd::ReportKind::FeatureSet));

  // A constant tone: every sample kToneSample, level 0x30.
  const std::string file = "bench-music-tone.raw";
  {
    std::ofstream out(file, std::ios::binary);
    for (int i = 0; i < kToneRate * kToneSeconds * 2; ++i)
      out.write(reinterpret_cast<const char*>(&kToneSample), sizeof kToneSample);
  }
  kb->ClearLog();
  const auto toneStart = std::chrono::steady_clock::now();
  const long long toneStartNs = std::chrono::duration_cast<std::chrono::nanoseconds>(toneStart.time_since_epoch()).count();
  const pid_t player = PlayTone(file);
  double firstLevelMs = -1;
  while (firstLevelMs < 0 && std::chrono::steady_clock::now() - toneStart < kToneLimit) {
    for (const auto& r : kb->Log(vkbd::ReportKind::FeatureSet))
      if (IsMusicLevel(r.bytes) && r.bytes[6] != 0) {
        firstLevelMs = static_cast<double>(r.monotonicNs - toneStartNs) / 1e6;
        break;
      }
    std::this_thread::sleep_for(1ms);
  }
  if (player > 0) {
    kill(player, SIGTERM);
    waitpid(player, nullptr, 0);
  }
  std::remove(file.c_str());
  capture.Stop();

  std::printf("music_interval_deviation_median %.2f ms\n", kw::bench::Median(deviationsMs));
  std::printf("music_interval_deviation_p99 %.2f ms\n", Percentile(deviationsMs, 0.99));
  std::printf("music_levels_per_second %.1f\n", static_cast<double>(deviationsMs.size() + 1) / (wallNs / 1e9));
  if (!transferDeviationsMs.empty()) {
    std::printf("music_interval_during_transfer_median %.2f ms\n", kw::bench::Median(transferDeviationsMs));
    std::printf("music_interval_during_transfer_p99 %.2f ms\n", Percentile(transferDeviationsMs, 0.99));
  }
  if (firstLevelMs >= 0)
    std::printf("music_tone_to_first_level %.1f ms\n", firstLevelMs);
  else
    std::printf("music_tone_to_first_level none within %lld ms\n",
                static_cast<long long>(std::chrono::duration_cast<std::chrono::milliseconds>(kToneLimit).count()));
  std::printf("music_capture_cpu %.3f %%core\n", 100.0 * static_cast<double>(cpuEnd - cpuStart) / wallNs);
  return 0;
}
