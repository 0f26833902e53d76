#include "platform/ShellOpen.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <vector>

#include "platform/FileSystem.h"
#include "platform/UserFolders.h"

namespace platform {
namespace {

constexpr const char* kOpener = "xdg-open";
constexpr const char* kLogVariable = "KW_SHELL_OPEN_LOG";
constexpr int kExecFailedStatus = 127;

bool IsExecutableFile(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
         ::access(path.c_str(), X_OK) == 0;
}

bool StartsWithNoCase(const std::string& text, const char* prefix) {
  size_t i = 0;
  for (; prefix[i] != '\0'; ++i) {
    if (i >= text.size()) return false;
    char c = text[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + ('a' - 'A'));
    if (c != prefix[i]) return false;
  }
  return true;
}

// "scheme:rest" with a scheme of two or more letters, digits, '+', '-' or '.' that starts
// with a letter, and something after the colon.
bool HasScheme(const std::string& text) {
  const auto colon = text.find(':');
  if (colon == std::string::npos || colon < 2 || colon + 1 >= text.size()) return false;
  const auto isAlpha = [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); };
  if (!isAlpha(text[0])) return false;
  for (size_t i = 1; i < colon; ++i) {
    const char c = text[i];
    if (!isAlpha(c) && !(c >= '0' && c <= '9') && c != '+' && c != '-' && c != '.') return false;
  }
  return true;
}

std::string Absolute(const std::string& path) {
  if (path.front() == '/') return path;
  char cwd[PATH_MAX];
  if (::getcwd(cwd, sizeof cwd) == nullptr) return {};
  return std::string(cwd) + "/" + path;
}

// Full path of `program` along $PATH; empty when it is not there.
std::string FindInPath(const std::string& program) {
  std::string path = GetEnvString("PATH");
  if (path.empty()) path = "/usr/local/bin:/usr/bin:/bin";
  size_t start = 0;
  while (start <= path.size()) {
    size_t end = path.find(':', start);
    if (end == std::string::npos) end = path.size();
    const std::string folder = path.substr(start, end - start);
    const std::string candidate = (folder.empty() ? "." : folder) + "/" + program;
    if (IsExecutableFile(candidate)) return candidate;
    start = end + 1;
  }
  return {};
}

// One end of a pipe, closed with the object.
struct PipeEnd {
  explicit PipeEnd(int end) : fd(end) {}
  PipeEnd(const PipeEnd&) = delete;
  PipeEnd& operator=(const PipeEnd&) = delete;
  ~PipeEnd() { Close(); }
  void Close() {
    if (fd >= 0) ::close(fd);
    fd = -1;
  }
  int fd;
};

// Starts `program` with `args` in a new session through a short-lived intermediate child, so
// that the program is never our child (no zombie, no signal from its end). True when the exec
// succeeded.
bool SpawnDetached(const std::string& program, const std::vector<std::string>& args) {
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(program.c_str()));
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);

  int pipeFds[2];
  if (::pipe2(pipeFds, O_CLOEXEC) != 0) return false;
  PipeEnd readEnd{pipeFds[0]};
  PipeEnd writeEnd{pipeFds[1]};

  const pid_t child = ::fork();
  if (child < 0) return false;
  if (child == 0) {
    // Only async-signal-safe calls from here on: the parent may have other threads.
    ::setsid();
    const pid_t grandchild = ::fork();
    if (grandchild != 0) ::_exit(grandchild < 0 ? kExecFailedStatus : 0);
    sigset_t none;
    sigemptyset(&none);
    ::sigprocmask(SIG_SETMASK, &none, nullptr);
    ::signal(SIGPIPE, SIG_DFL);
    const int devNull = ::open("/dev/null", O_RDONLY);
    if (devNull >= 0) {
      ::dup2(devNull, STDIN_FILENO);
      if (devNull != STDIN_FILENO) ::close(devNull);
    }
    ::execv(program.c_str(), argv.data());
    const int error = errno;
    [[maybe_unused]] const ssize_t ignored = ::write(pipeFds[1], &error, sizeof error);
    ::_exit(kExecFailedStatus);
  }
  writeEnd.Close();
  int status = 0;
  while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return false;
  // The pipe closes on a successful exec; an error number arrives when it failed.
  int error = 0;
  ssize_t got;
  do {
    got = ::read(readEnd.fd, &error, sizeof error);
  } while (got < 0 && errno == EINTR);
  return got == 0;
}

bool OpenWithDesktop(const std::string& argument) {
  const std::string log = GetEnvString(kLogVariable);
  if (!log.empty()) {
    std::FILE* file = std::fopen(log.c_str(), "ae");
    if (file == nullptr) return false;
    const std::string line = std::string(kOpener) + " " + argument + "\n";
    const bool written = std::fwrite(line.data(), 1, line.size(), file) == line.size();
    return std::fclose(file) == 0 && written;
  }
  const std::string opener = FindInPath(kOpener);
  return !opener.empty() && SpawnDetached(opener, {argument});
}

}  // namespace

bool ShellOpen(const std::string& target) {
  if (target.empty() || HasControlCharacters(target)) return false;
  const std::string path = Absolute(target);
  struct stat info {};
  if (!path.empty() && ::stat(path.c_str(), &info) == 0) {
    if (IsExecutableFile(path)) return SpawnDetached(path, {});
    return OpenWithDesktop(path);
  }
  if (StartsWithNoCase(target, "www.")) return OpenWithDesktop("http://" + target);
  if (HasScheme(target)) return OpenWithDesktop(target);
  return false;
}

}  // namespace platform
