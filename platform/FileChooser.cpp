#include "platform/FileChooser.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

#include "platform/UniqueFd.h"

extern char** environ;

namespace platform {
namespace {

// Exit status of both dialog programs when the user closed them without a file.
constexpr int kDialogCancelled = 1;
// A path longer than this is no answer of a file chooser.
constexpr size_t kMaxAnswerBytes = 64 * 1024;

bool IsSave(const FileChooserRequest& request) {
  return request.mode == FileChooserRequest::Mode::Save;
}

std::string JoinPatterns(const FileFilter& filter) {
  std::string joined;
  for (const std::string& pattern : filter.patterns) {
    if (!joined.empty()) joined += ' ';
    joined += pattern;
  }
  return joined;
}

// The first line of the program's answer.
std::string FirstLine(const std::string& text) { return text.substr(0, text.find('\n')); }

}  // namespace

std::vector<std::string> FileChooser::ZenityArguments(const FileChooserRequest& request) {
  std::vector<std::string> argv{"zenity", "--file-selection", "--title=" + request.title};
  if (IsSave(request)) {
    argv.emplace_back("--save");
    if (!request.suggestedName.empty()) argv.push_back("--filename=" + request.suggestedName);
  }
  for (const FileFilter& filter : request.filters) {
    argv.push_back("--file-filter=" + filter.name + " | " + JoinPatterns(filter));
  }
  return argv;
}

std::vector<std::string> FileChooser::KdialogArguments(const FileChooserRequest& request) {
  std::vector<std::string> argv{"kdialog", "--title", request.title};
  argv.emplace_back(IsSave(request) ? "--getsavefilename" : "--getopenfilename");
  // The start place: the offered name when saving (kdialog fills it in), else the current folder.
  argv.push_back(IsSave(request) && !request.suggestedName.empty() ? request.suggestedName : ".");
  std::string filters;
  for (const FileFilter& filter : request.filters) {
    if (!filters.empty()) filters += '\n';
    filters += JoinPatterns(filter) + "|" + filter.name;
  }
  if (!filters.empty()) argv.push_back(filters);
  return argv;
}

FileChooserResult FileChooser::Run(const FileChooserRequest& request) {
  FileChooserResult result;
  if (cancelled_.load()) return FileChooserResult{FileChoice::Cancelled, {}};
  if (portal_.Run(request, result) == PortalFileChooser::Outcome::Answered) return result;
  for (const auto& argv : {ZenityArguments(request), KdialogArguments(request)}) {
    if (cancelled_.load()) return FileChooserResult{FileChoice::Cancelled, {}};
    if (RunProgram(argv, result) == ProgramOutcome::Answered) return result;
  }
  return FileChooserResult{};
}

void FileChooser::Cancel() {
  cancelled_.store(true);
  portal_.Cancel();
  std::lock_guard lock(childMutex_);
  if (child_ > 0) ::kill(-child_, SIGTERM);
}

FileChooser::ProgramOutcome FileChooser::RunProgram(const std::vector<std::string>& argv,
                                                    FileChooserResult& result) {
  int fds[2];
  if (::pipe2(fds, O_CLOEXEC) != 0) return ProgramOutcome::NotRun;
  UniqueFd readEnd(fds[0]);
  UniqueFd writeEnd(fds[1]);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, writeEnd.Get(), STDOUT_FILENO);
  // Its own process group, so that a cancel also ends whatever the program started.
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
  posix_spawnattr_setpgroup(&attributes, 0);
  std::vector<char*> args;
  for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
  args.push_back(nullptr);

  pid_t pid = 0;
  int spawned = 0;
  {
    // Spawned under the lock, so that a Cancel meanwhile finds the child to end.
    std::lock_guard lock(childMutex_);
    spawned = ::posix_spawnp(&pid, args[0], &actions, &attributes, args.data(), environ);
    if (spawned == 0) child_ = pid;
  }
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attributes);
  writeEnd.Reset();
  if (spawned != 0) return ProgramOutcome::NotRun;
  if (cancelled_.load()) ::kill(-pid, SIGTERM);

  std::string answer;
  char buffer[4096];
  for (;;) {
    const ssize_t got = ::read(readEnd.Get(), buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    if (answer.size() < kMaxAnswerBytes) answer.append(buffer, static_cast<size_t>(got));
  }
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  {
    std::lock_guard lock(childMutex_);
    child_ = 0;
  }

  if (cancelled_.load()) {
    result = FileChooserResult{FileChoice::Cancelled, {}};
    return ProgramOutcome::Answered;
  }
  if (!WIFEXITED(status)) return ProgramOutcome::NotRun;
  const std::string path = FirstLine(answer);
  if (WEXITSTATUS(status) == 0 && !path.empty()) {
    result = FileChooserResult{FileChoice::Chosen, path};
    return ProgramOutcome::Answered;
  }
  if (WEXITSTATUS(status) == kDialogCancelled) {
    result = FileChooserResult{FileChoice::Cancelled, {}};
    return ProgramOutcome::Answered;
  }
  // Any other end (no display, a bad option) leaves the next program to try.
  return ProgramOutcome::NotRun;
}

}  // namespace platform
