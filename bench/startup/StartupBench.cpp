// Start-up figures of the program beside xterm's, in one run on the same display: time from
// exec to the main window mapped, resident memory 2 s after the start and again 6 s after it
// (once the delayed software check has run), and CPU over 10 s idle on the device list page,
// from 2 s to 12 s. Each program runs in private user folders.
// With "peers", also beside the other input-device configuration programs found on the PATH,
// with the program's ratios to the fastest start and the smallest memory among them.
#include <pwd.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "bench/BenchProcess.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

constexpr auto kSettle = 2s;
// Inside the idle window: the program's software check starts 2 s after its window exists.
constexpr auto kLateResident = 6s;
constexpr auto kIdle = 10s;
constexpr auto kMapTimeout = 30s;
constexpr auto kPoll = 2ms;
constexpr auto kStopGrace = 5s;

std::string Capture(const std::string& command) {
  std::string out;
  if (FILE* pipe = popen(command.c_str(), "r")) {
    std::array<char, 512> buffer{};
    while (fgets(buffer.data(), static_cast<int>(buffer.size()), pipe) != nullptr)
      out += buffer.data();
    pclose(pipe);
  }
  return out;
}

// Whether a viewable top-level window of process `pid` exists (_NET_WM_PID).
bool HasMappedWindow(pid_t pid) {
  const std::string ids = Capture("xdotool search --onlyvisible --pid " + std::to_string(pid) +
                                  " 2>/dev/null");
  return !ids.empty();
}

long ResidentKiB(pid_t pid) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind("VmRSS:", 0) == 0) return std::atol(line.c_str() + 6);
  return -1;
}

// User plus system CPU time of the process, in clock ticks.
long long CpuTicks(pid_t pid) {
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
  const size_t close = text.rfind(')');
  if (close == std::string::npos) return -1;
  std::istringstream fields(text.substr(close + 2));
  std::string field;
  long long utime = 0;
  long long stime = 0;
  for (int i = 3; i <= 15 && fields >> field; ++i) {
    if (i == 14) utime = std::atoll(field.c_str());
    if (i == 15) stime = std::atoll(field.c_str());
  }
  return utime + stime;
}

struct Figures {
  double startMs = -1;
  double residentMiB = -1;
  double lateResidentMiB = -1;
  double idleCpuPercent = -1;
};

// Asks the program to end, and ends it when it has not after kStopGrace (a peer may catch the
// request and stay, as ckb-next does).
void Stop(pid_t pid) {
  kill(pid, SIGTERM);
  const Clock::time_point asked = Clock::now();
  while (waitpid(pid, nullptr, WNOHANG) == 0) {
    if (Clock::now() - asked > kStopGrace) {
      kill(pid, SIGKILL);
      waitpid(pid, nullptr, 0);
      return;
    }
    std::this_thread::sleep_for(kPoll);
  }
}

Figures Measure(const std::vector<std::string>& argv, const std::vector<std::string>& extraEnv) {
  Figures figures;
  const Clock::time_point start = Clock::now();
  const pid_t pid = kw::bench::Spawn(argv, extraEnv);
  if (pid <= 0) {
    std::fprintf(stderr, "bench-startup: cannot start %s\n", argv[0].c_str());
    return figures;
  }
  while (Clock::now() - start < kMapTimeout) {
    if (HasMappedWindow(pid)) {
      figures.startMs = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
      break;
    }
    std::this_thread::sleep_for(kPoll);
  }
  std::this_thread::sleep_until(start + kSettle);
  figures.residentMiB = static_cast<double>(ResidentKiB(pid)) / 1024.0;
  const Clock::time_point idleStart = Clock::now();
  const long long before = CpuTicks(pid);
  std::this_thread::sleep_until(start + kLateResident);
  figures.lateResidentMiB = static_cast<double>(ResidentKiB(pid)) / 1024.0;
  std::this_thread::sleep_until(idleStart + kIdle);
  const long long after = CpuTicks(pid);
  const double seconds = std::chrono::duration<double>(kIdle).count();
  figures.idleCpuPercent =
      100.0 * static_cast<double>(after - before) / static_cast<double>(sysconf(_SC_CLK_TCK)) /
      seconds;
  Stop(pid);
  return figures;
}

bool OnPath(const std::string& name) {
  const char* path = std::getenv("PATH");
  std::istringstream folders(path != nullptr ? path : "");
  std::string folder;
  while (std::getline(folders, folder, ':'))
    if (!folder.empty() && access((folder + "/" + name).c_str(), X_OK) == 0) return true;
  return false;
}

// Some peers refuse to run as root (the benchmark runs as root in CI). Those run as the
// unprivileged user `nobody`, in private folders it owns; the others run as we do.
bool RefusesRoot(const std::string& name) { return name == "ckb-next"; }

std::vector<std::string> UnprivilegedFolders(const std::string& home) {
  const passwd* nobody = getpwnam("nobody");
  if (nobody == nullptr) return {};
  const std::string own = home + "/nobody";
  // The benchmark's own folder is private; nobody may only pass through it.
  fs::permissions(home, fs::perms::others_exec | fs::perms::group_exec, fs::perm_options::add);
  for (const char* sub : {"", "/config", "/data", "/run"}) {
    fs::create_directories(own + sub);
    if (chown((own + sub).c_str(), nobody->pw_uid, nobody->pw_gid) != 0) return {};
  }
  fs::permissions(own + "/run", fs::perms::owner_all, fs::perm_options::replace);
  return {"HOME=" + own, "XDG_CONFIG_HOME=" + own + "/config", "XDG_DATA_HOME=" + own + "/data",
          "XDG_RUNTIME_DIR=" + own + "/run"};
}

void Print(const char* who, const Figures& f) {
  std::printf("startup_%s_start %.1f ms\n", who, f.startMs);
  std::printf("startup_%s_rss %.1f MiB\n", who, f.residentMiB);
  std::printf("startup_%s_rss_6s %.1f MiB\n", who, f.lateResidentMiB);
  std::printf("startup_%s_idle_cpu %.3f %%\n", who, f.idleCpuPercent);
}

}  // namespace

// The program's ratios to the best of its peers (fastest start, smallest memory); a peer that
// showed no window counts for memory only, one that ended at once (no memory) not at all.
void PrintPeerRatios(const char* prefix, const Figures& program,
                     const std::vector<std::pair<std::string, Figures>>& peers) {
  double fastest = -1;
  double smallest = -1;
  for (const auto& peer : peers) {
    const Figures& f = peer.second;
    if (f.startMs > 0 && (fastest < 0 || f.startMs < fastest)) fastest = f.startMs;
    if (f.residentMiB > 0 && (smallest < 0 || f.residentMiB < smallest)) smallest = f.residentMiB;
  }
  if (program.startMs > 0 && fastest > 0)
    std::printf("%s_start_ratio %.2f x\n", prefix, program.startMs / fastest);
  if (program.residentMiB > 0 && smallest > 0)
    std::printf("%s_rss_ratio %.2f x\n", prefix, program.residentMiB / smallest);
}

int main(int argc, char** argv) {
  const bool peers = argc > 1 && std::string(argv[1]) == "peers";
  const std::string folder = fs::read_symlink("/proc/self/exe").parent_path().string() + "/";
  std::string home = (fs::temp_directory_path() / "kw-bench-startup-XXXXXX").string();
  if (mkdtemp(home.data()) == nullptr) return 1;
  fs::create_directories(home + "/run");
  fs::permissions(home + "/run", fs::perms::owner_all, fs::perm_options::replace);
  const std::vector<std::string> env = {"XDG_CONFIG_HOME=" + home + "/config",
                                        "XDG_DATA_HOME=" + home + "/data",
                                        "XDG_RUNTIME_DIR=" + home + "/run"};
  const Figures program = Measure({folder + "keywright"}, env);
  const Figures xterm = Measure({"xterm"}, env);
  Print("keywright", program);
  Print("xterm", xterm);
  if (program.startMs > 0 && xterm.startMs > 0)
    std::printf("startup_start_ratio %.2f x\n", program.startMs / xterm.startMs);
  if (peers) {
    std::vector<std::pair<std::string, Figures>> others = {{"xterm", xterm}};
    for (const char* name : {"ckb-next", "piper", "solaar"}) {
      if (!OnPath(name)) {
        std::printf("startup_%s not installed\n", name);
        continue;
      }
      std::vector<std::string> argv = {name};
      std::vector<std::string> peerEnv = env;
      if (geteuid() == 0 && RefusesRoot(name)) {
        peerEnv = UnprivilegedFolders(home);
        argv = {"setpriv", "--reuid=nobody", "--regid=nogroup", "--clear-groups", name};
      }
      others.emplace_back(name, Measure(argv, peerEnv));
      Print(name, others.back().second);
    }
    // Beside every peer, and beside the configuration programs alone (xterm is no such program).
    PrintPeerRatios("peers", program, others);
    PrintPeerRatios("peers_config", program, {others.begin() + 1, others.end()});
  }
  std::error_code ignored;
  fs::remove_all(home, ignored);
  return program.startMs > 0 ? 0 : 1;
}
