#pragma once
// A scripted update server for the window's update tests: replies chosen by the end of the
// request path (404 for any other), a count of the requests per path end, a gate that holds the
// version replies until the test opens it, and the zip archives it serves. Header-only, as the
// loopback server it runs on.
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <map>
#include <mutex>
#include <string>
#include <thread>

#include "support/TempFolder.h"
#include "tests/platform/LoopbackServer.h"

class UpdateSite {
 public:
  static constexpr auto kGateLimit = std::chrono::seconds(20);

  // A test that runs longer than the server's default lifetime (a whole journey, slowed by a
  // sanitizer) gives its own; past it, fetches get no answer and stall.
  explicit UpdateSite(std::chrono::milliseconds lifetime = LoopbackServer::kLifetime)
      : server_([this](const std::string& head) { return Answer(head); }, lifetime) {}

  int Port() const { return server_.Port(); }
  std::string Url(const std::string& path) const { return server_.Url(path); }

  // What the server answers for a path ending in `tail`.
  void Serve(const std::string& tail, LoopbackServer::Reply reply) {
    std::lock_guard lock(mutex_);
    replies_[tail] = std::move(reply);
  }
  // Holds replies to ".../version" until OpenGate (at most kGateLimit).
  void CloseGate() { gateOpen_ = false; }
  void OpenGate() { gateOpen_ = true; }

  int Requests(const std::string& tail) const {
    int n = 0;
    for (const std::string& head : server_.Requests()) n += EndsWith(PathOf(head), tail) ? 1 : 0;
    return n;
  }
  bool WaitForRequests(const std::string& tail, int count, std::chrono::milliseconds timeout) const {
    const auto until = std::chrono::steady_clock::now() + timeout;
    while (Requests(tail) < count) {
      if (std::chrono::steady_clock::now() > until) return false;
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
  }

  // A zip archive made by Python's zipfile from `entries`, a Python list of (name, text, unix
  // mode) tuples; empty when Python failed.
  static std::string ZipOf(const TempFolder& folder, const std::string& entries) {
    const std::string script = "import zipfile\n"
                               "with zipfile.ZipFile('" + folder / "made.zip" + "', 'w') as z:\n"
                               "    for name, text, mode in " + entries + ":\n"
                               "        info = zipfile.ZipInfo(name)\n"
                               "        info.create_system = 3\n"
                               "        info.external_attr = mode << 16\n"
                               "        z.writestr(info, text)\n";
    folder.Write("make.py", script);
    if (std::system(("python3 '" + folder / "make.py" + "'").c_str()) != 0) return {};
    return folder.Read("made.zip");
  }
  // The Python text of an entry `name` that is a shell script writing "started" to `marker`.
  static std::string MarkerEntry(const std::string& name, const std::string& marker) {
    return "('" + name + "', '#!/bin/sh\\necho started > \"" + marker + "\"\\n', 0o100755)";
  }

 private:
  static std::string PathOf(const std::string& head) {
    const size_t start = head.find(' ') + 1;
    return head.substr(start, head.find(' ', start) - start);
  }
  static bool EndsWith(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() &&
           text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
  }
  LoopbackServer::Reply Answer(const std::string& head) {
    const std::string path = PathOf(head);
    if (EndsWith(path, "/version")) {
      const auto until = std::chrono::steady_clock::now() + kGateLimit;
      while (!gateOpen_.load() && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    std::lock_guard lock(mutex_);
    for (const auto& [tail, reply] : replies_)
      if (EndsWith(path, tail)) return reply;
    return LoopbackServer::Status(404, "Not Found");
  }

  std::mutex mutex_;
  std::map<std::string, LoopbackServer::Reply> replies_;
  std::atomic<bool> gateOpen_{true};
  LoopbackServer server_;
};
