// A stand-in for the desktop portal's file chooser on the session bus: owns
// org.freedesktop.portal.Desktop on a connection and thread of its own, records each OpenFile and
// SaveFile call, and answers through a Request object the way it is told: with a file, as a user
// who cancelled, or not at all until the caller closes the request.
#pragma once

#include <gio/gio.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

class TestPortal {
 public:
  enum class Answer { File, UserCancel, Hold };

  struct Call {
    std::string method;  // "OpenFile" or "SaveFile"
    std::string parentWindow;
    std::string title;
    std::string handleToken;
    std::string currentName;
    bool modal = false;
    // Each filter's name and its patterns as "kind:pattern".
    std::vector<std::pair<std::string, std::vector<std::string>>> filters;
    std::string currentFilter;
    std::string requestPath;  // the handle returned
  };

  TestPortal();
  ~TestPortal();
  TestPortal(const TestPortal&) = delete;
  TestPortal& operator=(const TestPortal&) = delete;

  bool Ready() const { return owned_.load(); }
  // How the next calls are answered; `uri` is sent for Answer::File.
  void SetAnswer(Answer answer, const std::string& uri = {});

  std::vector<Call> Calls() const;
  // Request paths whose Close was called.
  std::vector<std::string> Closed() const;

 private:
  void Run();
  void OnCall(const std::string& method, const std::string& sender, GVariant* parameters,
              GDBusMethodInvocation* invocation);

  GMainContext* context_ = nullptr;
  GMainLoop* loop_ = nullptr;
  GDBusConnection* connection_ = nullptr;
  std::thread thread_;
  std::atomic<bool> owned_{false};
  guint registration_ = 0;
  guint ownerId_ = 0;
  std::vector<guint> requestRegistrations_;

  mutable std::mutex mutex_;
  Answer answer_ = Answer::UserCancel;
  std::string uri_;
  std::vector<Call> calls_;
  std::vector<std::string> closed_;
};
