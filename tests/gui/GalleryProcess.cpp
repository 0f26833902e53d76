#include "GalleryProcess.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

namespace GuiTest {

std::string ProgramFolder() {
  std::error_code ec;
  return std::filesystem::read_symlink("/proc/self/exe", ec).parent_path().string() + "/";
}

GalleryProcess::GalleryProcess(const std::vector<std::string>& args,
                               const std::vector<std::pair<std::string, std::string>>& env) {
  int fds[2];
  if (pipe(fds) != 0) return;
  const std::string exe = ProgramFolder() + "tavex-gallery";
  // The child's environment is built before fork: only exec-safe calls run after it.
  std::vector<std::string> variables;
  for (char** e = environ; *e != nullptr; ++e) {
    const std::string entry = *e;
    bool replaced = false;
    for (const auto& item : env) replaced = replaced || entry.rfind(item.first + "=", 0) == 0;
    if (!replaced) variables.push_back(entry);
  }
  for (const auto& [name, value] : env) variables.push_back(name + "=" + value);
  std::vector<char*> envp;
  for (std::string& v : variables) envp.push_back(v.data());
  envp.push_back(nullptr);
  m_pid = fork();
  if (m_pid == 0) {
    dup2(fds[1], STDOUT_FILENO);
    close(fds[0]);
    close(fds[1]);
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(exe.c_str()));
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execve(exe.c_str(), argv.data(), envp.data());
    _exit(127);
  }
  close(fds[1]);
  if (m_pid < 0) {
    close(fds[0]);
    return;
  }
  m_reader = std::thread([this, fd = fds[0]] { Read(fd); });
}

GalleryProcess::~GalleryProcess() {
  if (m_pid > 0 && Wait(std::chrono::milliseconds(0)) < 0) {
    kill(m_pid, SIGTERM);
    Wait(std::chrono::seconds(5));
  }
  if (m_reader.joinable()) m_reader.join();
}

void GalleryProcess::Read(int fd) {
  std::string pending;
  char buffer[512];
  for (;;) {
    const ssize_t n = read(fd, buffer, sizeof(buffer));
    if (n <= 0) break;
    pending.append(buffer, static_cast<std::size_t>(n));
    std::size_t eol;
    while ((eol = pending.find('\n')) != std::string::npos) {
      std::lock_guard guard(m_lock);
      m_lines.push_back(pending.substr(0, eol));
      pending.erase(0, eol + 1);
      m_changed.notify_all();
    }
  }
  close(fd);
}

int GalleryProcess::WaitFor(const std::string& text, int from, std::chrono::milliseconds timeout) {
  std::unique_lock guard(m_lock);
  int found = -1;
  m_changed.wait_for(guard, timeout, [&] {
    for (int i = from; i < static_cast<int>(m_lines.size()); ++i) {
      if (m_lines[static_cast<std::size_t>(i)].find(text) != std::string::npos) {
        found = i;
        return true;
      }
    }
    return false;
  });
  return found;
}

std::vector<std::string> GalleryProcess::Lines() const {
  std::lock_guard guard(m_lock);
  return m_lines;
}

int GalleryProcess::CountContaining(const std::string& text) const {
  std::lock_guard guard(m_lock);
  int n = 0;
  for (const std::string& line : m_lines) n += line.find(text) != std::string::npos ? 1 : 0;
  return n;
}

int GalleryProcess::Wait(std::chrono::milliseconds timeout) {
  if (m_pid <= 0) return -1;
  if (m_exit >= 0) return m_exit;
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    int status = 0;
    const pid_t r = waitpid(m_pid, &status, WNOHANG);
    if (r == m_pid) {
      m_exit = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
      return m_exit;
    }
    if (std::chrono::steady_clock::now() >= deadline) return -1;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
}

std::string Notified(unsigned id, unsigned code) {
  return "notify id=" + std::to_string(id) + " code=" + std::to_string(code);
}

bool XDoTool(const std::string& args) {
  const std::string cmd = "xdotool " + args + " >/dev/null 2>&1";
  return std::system(cmd.c_str()) == 0;
}

bool HaveXDoTool() { return std::system("command -v xdotool >/dev/null 2>&1") == 0; }

}  // namespace GuiTest
