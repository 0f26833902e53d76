// Hot-plug latency of the program against the virtual keyboard: from the command that unplugs
// (or plugs back) the keyboard to the device refresh that shows it so, as the program's device
// trace records it (the refresh sets the device list's state; painting follows on the next
// loop pass). Median and worst over 20 cycles. Needs a display (scripts/bench.sh starts one).
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "bench/BenchProcess.h"
#include "bench/BenchTiming.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

constexpr int kCycles = 20;
constexpr auto kTimeout = 10s;
constexpr auto kPoll = 1ms;
constexpr auto kBetween = 200ms;  // lets the event readers' restart settle between cycles
constexpr const char* kShownConnected = "24AE:4076=1";
constexpr const char* kShownAbsent = "24AE:4076=0";

// Microseconds of the steady clock, the clock of the trace's time stamps.
long long NowMicros() {
  return std::chrono::duration_cast<std::chrono::microseconds>(Clock::now().time_since_epoch())
      .count();
}

// Time stamp of the first refresh after `since` whose line holds `shown`; -1 on time-out.
long long WaitForRefresh(const std::string& trace, long long since, const std::string& shown) {
  const auto deadline = Clock::now() + kTimeout;
  while (Clock::now() < deadline) {
    std::ifstream in(trace);
    for (std::string line; std::getline(in, line);) {
      std::istringstream fields(line);
      std::string kind;
      long long at = 0;
      fields >> kind >> at;
      if (kind == "refresh" && at >= since && line.find(shown) != std::string::npos) return at;
    }
    std::this_thread::sleep_for(kPoll);
  }
  return -1;
}

void Print(const char* name, const std::vector<double>& values) {
  std::printf("hotplug_%s_median %.1f ms\n", name, values.empty() ? -1.0 : kw::bench::Median(values));
  std::printf("hotplug_%s_worst %.1f ms\n", name,
              values.empty() ? -1.0 : *std::max_element(values.begin(), values.end()));
  std::printf("hotplug_%s_cycles %zu of %d\n", name, values.size(), kCycles);
}

}  // namespace

int main() {
  const std::string folder = fs::read_symlink("/proc/self/exe").parent_path().string() + "/";
  std::string home = (fs::temp_directory_path() / "kw-bench-hotplug-XXXXXX").string();
  if (mkdtemp(home.data()) == nullptr) return 1;
  fs::create_directories(home + "/run");
  fs::permissions(home + "/run", fs::perms::owner_all, fs::perm_options::replace);
  const std::string socket = home + "/vkbd.sock";
  const std::string trace = home + "/device-trace.log";
  const std::string vkbd = folder + "keywright-vkbd --socket '" + socket + "' ";

  const pid_t server =
      kw::bench::Spawn({folder + "keywright-vkbd", "--socket", socket, "serve", "--keyboard", "24ae:4076"}, {});
  for (int i = 0; i < 200 && std::system((vkbd + "ping >/dev/null 2>&1").c_str()) != 0; ++i)
    std::this_thread::sleep_for(50ms);
  const pid_t program = kw::bench::Spawn(
      {folder + "keywright"},
      {"XDG_CONFIG_HOME=" + home + "/config", "XDG_DATA_HOME=" + home + "/data",
       "XDG_RUNTIME_DIR=" + home + "/run", "KW_VKBD_SOCKET=" + socket,
       "LD_PRELOAD=" + folder + "libhidsim.so", "KW_DEVICE_TRACE=" + trace});

  std::vector<double> unplug;
  std::vector<double> plug;
  if (server > 0 && program > 0 && WaitForRefresh(trace, 0, kShownConnected) >= 0) {
    for (int cycle = 0; cycle < kCycles; ++cycle) {
      std::this_thread::sleep_for(kBetween);
      long long from = NowMicros();
      if (std::system((vkbd + "unplug 0 >/dev/null").c_str()) != 0) break;
      long long shown = WaitForRefresh(trace, from, kShownAbsent);
      if (shown >= 0) unplug.push_back(static_cast<double>(shown - from) / 1000.0);
      std::this_thread::sleep_for(kBetween);
      from = NowMicros();
      if (std::system((vkbd + "replug 0 >/dev/null").c_str()) != 0) break;
      shown = WaitForRefresh(trace, from, kShownConnected);
      if (shown >= 0) plug.push_back(static_cast<double>(shown - from) / 1000.0);
    }
  } else {
    std::fprintf(stderr, "bench-hotplug: the program or the virtual keyboard did not start\n");
  }
  Print("unplug", unplug);
  Print("plug", plug);

  for (const pid_t pid : {program, server}) {
    if (pid <= 0) continue;
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
  }
  std::error_code ignored;
  fs::remove_all(home, ignored);
  return unplug.size() == kCycles && plug.size() == kCycles ? 0 : 1;
}
