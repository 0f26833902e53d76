// The XDG desktop portal's FileChooser (OpenFile, SaveFile) on the session bus, on a private
// connection with a main context of its own, so that the calling thread needs no running loop.
// Run blocks until the portal's Request answers; Cancel (any thread) closes that request.
#pragma once

#include <atomic>
#include <mutex>

#include "platform/FileChoice.h"

struct _GMainContext;

namespace platform {

class PortalFileChooser {
 public:
  static constexpr const char* kBusName = "org.freedesktop.portal.Desktop";
  static constexpr const char* kObjectPath = "/org/freedesktop/portal/desktop";
  static constexpr const char* kInterface = "org.freedesktop.portal.FileChooser";
  static constexpr const char* kRequestInterface = "org.freedesktop.portal.Request";

  enum class Outcome {
    Answered,  // `result` holds the portal's answer (or Cancelled after Cancel)
    NoPortal   // no session bus, no portal on it, or the portal left before it answered
  };

  PortalFileChooser() = default;
  PortalFileChooser(const PortalFileChooser&) = delete;
  PortalFileChooser& operator=(const PortalFileChooser&) = delete;

  // One Run at a time per object.
  Outcome Run(const FileChooserRequest& request, FileChooserResult& result);
  void Cancel();

 private:
  std::atomic<bool> cancelled_{false};
  std::mutex contextMutex_;
  _GMainContext* context_ = nullptr;  // the running Run's context, not owned here
};

}  // namespace platform
