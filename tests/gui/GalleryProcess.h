#pragma once
// Runs tools' tavex-gallery beside the test executable and collects its stdout lines, so that
// GUI tests can drive it with xdotool and wait for what it reports.
#include <sys/types.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace GuiTest {

class GalleryProcess {
 public:
  // `env`: variables set for the gallery only (the control map, an input method ...).
  explicit GalleryProcess(const std::vector<std::string>& args = {},
                          const std::vector<std::pair<std::string, std::string>>& env = {});
  ~GalleryProcess();
  GalleryProcess(const GalleryProcess&) = delete;
  GalleryProcess& operator=(const GalleryProcess&) = delete;

  bool Started() const { return m_pid > 0; }
  // Waits until a line containing `text` arrives after line index `from`; returns its index or
  // -1 on time-out.
  int WaitFor(const std::string& text, int from = 0,
              std::chrono::milliseconds timeout = std::chrono::seconds(10));
  std::vector<std::string> Lines() const;
  int CountContaining(const std::string& text) const;
  // Waits for the process to end; its exit status or -1 on time-out.
  int Wait(std::chrono::milliseconds timeout = std::chrono::seconds(10));

 private:
  void Read(int fd);
  pid_t m_pid = -1;
  int m_exit = -1;
  std::thread m_reader;
  mutable std::mutex m_lock;
  std::condition_variable m_changed;
  std::vector<std::string> m_lines;
};

// The start of the gallery's log line for a notification: "notify id=<id> code=<code>".
std::string Notified(unsigned id, unsigned code);

// Runs `xdotool` with the arguments; true when it exited 0.
bool XDoTool(const std::string& args);
bool HaveXDoTool();
std::string ProgramFolder();

}  // namespace GuiTest
