#include "platform/PrivilegedRun.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <memory>

extern char** environ;

namespace platform {
namespace {

constexpr const char* kLauncher = "pkexec";
constexpr const char* kLogVariable = "KW_PRIVILEGED_RUN_LOG";
constexpr int kNotAuthorized = 126;
constexpr int kDismissed = 127;

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

bool AppendToLog(const char* path, const std::vector<std::string>& command) {
  const std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path, "a"));
  if (!file) return false;
  for (const std::string& argument : command) std::fprintf(file.get(), "%s\n", argument.c_str());
  std::fputc('\n', file.get());
  return true;
}

}  // namespace

PrivilegedResult RunPrivileged(const std::vector<std::string>& argv) {
  if (argv.empty()) return PrivilegedResult::Failed;
  std::vector<std::string> command{kLauncher};
  command.insert(command.end(), argv.begin(), argv.end());
  if (const char* log = std::getenv(kLogVariable); log != nullptr && *log != '\0')
    return AppendToLog(log, command) ? PrivilegedResult::Done : PrivilegedResult::Failed;

  std::vector<char*> args;
  for (std::string& argument : command) args.push_back(argument.data());
  args.push_back(nullptr);
  pid_t child = -1;
  if (::posix_spawnp(&child, kLauncher, nullptr, nullptr, args.data(), environ) != 0)
    return PrivilegedResult::Failed;
  int status = 0;
  while (::waitpid(child, &status, 0) < 0) {
    if (errno != EINTR) return PrivilegedResult::Failed;
  }
  if (!WIFEXITED(status)) return PrivilegedResult::Failed;
  const int code = WEXITSTATUS(status);
  if (code == 0) return PrivilegedResult::Done;
  return code == kNotAuthorized || code == kDismissed ? PrivilegedResult::Refused
                                                      : PrivilegedResult::Failed;
}

}  // namespace platform
