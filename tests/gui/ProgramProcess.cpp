#include "ProgramProcess.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

#include "GalleryProcess.h"
#include "support/TimeScale.h"
#include "tavex/Native.h"

extern char** environ;

#if defined(__SANITIZE_ADDRESS__)
#include <dlfcn.h>
extern "C" void __asan_init();
#endif

namespace GuiTest {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {
constexpr const char* kWindowMark = "Tarnwick";
constexpr auto kPoll = 50ms;

// What a program preloads to reach the virtual keyboard: the HID shim. Under AddressSanitizer its
// runtime must come first among the libraries a program loads, ahead of the shim that links it.
std::string ShimPreload() {
  std::string preload = ProgramFolder() + "libhidsim.so";
#if defined(__SANITIZE_ADDRESS__)
  Dl_info info{};
  if (dladdr(reinterpret_cast<void*>(&__asan_init), &info) != 0 && info.dli_fname != nullptr)
    preload = std::string(info.dli_fname) + ":" + preload;
#endif
  return preload;
}

}  // namespace

std::string Capture(const std::string& command, int* status) {
  std::string out;
  if (status != nullptr) *status = -1;
  if (FILE* pipe = popen(command.c_str(), "r")) {
    std::array<char, 256> buffer{};
    while (fgets(buffer.data(), static_cast<int>(buffer.size()), pipe) != nullptr)
      out += buffer.data();
    const int ended = pclose(pipe);
    if (status != nullptr) *status = ended;
  }
  return out;
}

Spawned::Spawned(const std::vector<std::string>& argv, const std::vector<std::string>& extraEnv) {
  std::vector<std::string> env(extraEnv);
  for (char** e = environ; *e != nullptr; ++e) {
    const std::string entry(*e);
    const std::string name = entry.substr(0, entry.find('='));
    bool replaced = false;
    for (const std::string& extra : extraEnv)
      replaced = replaced || extra.compare(0, name.size() + 1, name + "=") == 0;
    if (!replaced) env.push_back(entry);
  }
  std::vector<char*> cargv;
  std::vector<char*> cenv;
  std::vector<std::string> args(argv);
  for (std::string& a : args) cargv.push_back(a.data());
  cargv.push_back(nullptr);
  for (std::string& e : env) cenv.push_back(e.data());
  cenv.push_back(nullptr);
  // The child dies with the test process: a test that ends abruptly (a sanitizer halting it)
  // must not leave a server holding the runner's output open. A pipe closed on exec tells
  // whether the program started at all.
  int execFailed[2] = {-1, -1};
  if (pipe2(execFailed, O_CLOEXEC) != 0) return;
  const pid_t parent = getpid();
  pid_ = fork();
  if (pid_ == 0) {
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    if (getppid() == parent) execve(cargv[0], cargv.data(), cenv.data());
    const int error = errno;
    (void)!write(execFailed[1], &error, sizeof error);
    _exit(127);
  }
  close(execFailed[1]);
  int error = 0;
  ssize_t got = -1;
  do {
    got = read(execFailed[0], &error, sizeof error);
  } while (got < 0 && errno == EINTR);
  close(execFailed[0]);
  if (pid_ > 0 && got > 0) {
    waitpid(pid_, nullptr, 0);
    pid_ = -1;
  }
}

Spawned::~Spawned() {
  if (pid_ > 0 && Wait(0ms) < 0) {
    kill(pid_, SIGTERM);
    if (Wait(5s) < 0) {
      kill(pid_, SIGKILL);
      Wait(5s);
    }
  }
}

int Spawned::Wait(std::chrono::milliseconds timeout) {
  if (pid_ <= 0) return -1;
  if (exit_ >= 0) return exit_;
  const auto deadline = std::chrono::steady_clock::now() + TestSupport::Scaled(timeout);
  for (;;) {
    int status = 0;
    if (waitpid(pid_, &status, WNOHANG) == pid_) {
      exit_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
      return exit_;
    }
    if (std::chrono::steady_clock::now() >= deadline) return -1;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
}

ProgramHome::ProgramHome() {
  std::string pattern = (fs::temp_directory_path() / "kw-program-XXXXXX").string();
  if (mkdtemp(pattern.data()) != nullptr) path_ = pattern;
  fs::create_directories(path_ + "/run");
  fs::permissions(path_ + "/run", fs::perms::owner_all, fs::perm_options::replace);
}

ProgramHome::~ProgramHome() {
  delete keyboard_;
  std::error_code ignored;
  fs::remove_all(path_, ignored);
}

void ProgramHome::WriteSettings(const std::string& text) const {
  fs::create_directories(fs::path(SettingsFile()).parent_path());
  std::ofstream(SettingsFile(), std::ios::binary) << text;
}

std::string ProgramHome::ReadFile(const std::string& path) const {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<std::string> ProgramHome::Environment(const std::string& lang) const {
  std::vector<std::string> env = {
      "XDG_CONFIG_HOME=" + ConfigFolder(), "XDG_DATA_HOME=" + path_ + "/data",
      "XDG_RUNTIME_DIR=" + path_ + "/run", "HOME=" + path_,
      "KW_SHELL_OPEN_LOG=" + ShellLog(),   "LANG=" + lang,
      "KW_PRIVILEGED_RUN_LOG=" + PrivilegedLog(),
      "LANGUAGE=",                         "LC_ALL=",
      "LC_MESSAGES=",                      "KW_DEVICE_TRACE=" + DeviceTraceFile(),
  };
  if (!socket_.empty()) {
    env.push_back("LD_PRELOAD=" + ShimPreload());
    env.push_back("KW_VKBD_SOCKET=" + socket_);
  }
  return env;
}

bool ProgramHome::StartVirtualKeyboard(const std::vector<std::string>& models) {
  socket_ = path_ + "/vkbd.sock";
  const std::string vkbd = ProgramFolder() + "keywright-vkbd";
  std::vector<std::string> argv = {vkbd, "--socket", socket_, "serve"};
  for (const std::string& model : models.empty() ? std::vector<std::string>{"24ae:4076"} : models) {
    argv.push_back("--keyboard");
    argv.push_back(model);
  }
  keyboard_ = new Spawned(argv, {});
  const auto deadline = std::chrono::steady_clock::now() + 10s;
  const std::string ping = vkbd + " --socket '" + socket_ + "' ping >/dev/null 2>&1";
  while (std::chrono::steady_clock::now() < deadline) {
    if (std::system(ping.c_str()) == 0) return true;
    std::this_thread::sleep_for(kPoll);
  }
  return false;
}

ProgramCopy::ProgramCopy(std::string folder) : folder_(std::move(folder)) {
  std::filesystem::create_directories(folder_);
  const std::string from = ProgramFolder();
  std::filesystem::copy_file(from + "keywright", Executable());
  for (const std::filesystem::directory_entry& entry : std::filesystem::directory_iterator(from)) {
    const std::string name = entry.path().filename().string();
    if (name.rfind("lib", 0) == 0 && name.find(".so") != std::string::npos) Keep(name);
  }
}

void ProgramCopy::Keep(const std::string& name) const {
  std::filesystem::create_symlink(ProgramFolder() + name, folder_ + name);
}

void ProgramCopy::KeepAllBut(const std::vector<std::string>& names) const {
  for (const std::filesystem::directory_entry& entry :
       std::filesystem::directory_iterator(ProgramFolder())) {
    const std::string name = entry.path().filename().string();
    std::error_code ignored;
    if (std::find(names.begin(), names.end(), name) == names.end() &&
        !std::filesystem::exists(folder_ + name, ignored)) {
      Keep(name);
    }
  }
}

void ProgramCopy::Write(const std::string& name, const std::string& bytes) const {
  std::ofstream(folder_ + name, std::ios::binary) << bytes;
}

std::optional<std::string> ProgramHome::Vkbd(const std::string& command) const {
  if (socket_.empty()) return std::nullopt;
  int status = -1;
  std::string out = Capture(
      ProgramFolder() + "keywright-vkbd --socket '" + socket_ + "' " + command + " 2>/dev/null",
      &status);
  if (status == -1 || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return std::nullopt;
  return out;
}

std::vector<std::string> ProgramCommand(const std::string& executable) {
  return {executable.empty() ? ProgramFolder() + "keywright" : executable};
}

std::vector<std::string> WithVariable(std::vector<std::string> env,
                                      const std::pair<std::string, std::string>& variable) {
  env.push_back(variable.first + "=" + variable.second);
  return env;
}

std::uint64_t FindMainWindow() { return Tavex::Native::FindExternalWindow(kWindowMark); }

bool IsViewable(std::uint64_t window) {
  return Capture("xwininfo -id " + std::to_string(window) + " 2>/dev/null")
             .find("IsViewable") != std::string::npos;
}

std::uint64_t WaitForMainWindow(std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + TestSupport::Scaled(timeout);
  while (std::chrono::steady_clock::now() < deadline) {
    const std::uint64_t window = FindMainWindow();
    if (window != 0 && IsViewable(window)) return window;
    std::this_thread::sleep_for(kPoll);
  }
  return 0;
}

int SendRequest(long lparam) {
  const std::string command =
      ProgramFolder() + "keywright-request " + std::to_string(lparam) + " >/dev/null 2>&1";
  const int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool SaveScreen(const std::string& path) {
  return std::system(("import -window root '" + path + "' >/dev/null 2>&1").c_str()) == 0;
}

}  // namespace GuiTest
