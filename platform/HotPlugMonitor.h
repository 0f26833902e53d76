#pragma once
// Watches hidraw nodes come and go and hands each arrival or removal to a callback as a hot-plug
// notice (see HidrawUevent.h). Sources, read on one thread of the monitor's own:
//  - udev's events when a udev daemon runs (its control socket exists), else the kernel's own
//    uevents, both through libudev; a machine that allows neither leaves this source out;
//  - in builds with the virtual keyboard, the uevents its server relays for plugs and unplugs
//    (see HotPlugRelay.h), so that simulated keyboards take the same path as real ones.
//
// Start opens every source before it returns, so a plug after it is never missed (the caller
// enumerates after Start).
//
// Ownership: owns the thread and every handle; the destructor stops it. Threads: Start and Stop
// from one thread (the UI thread); the callback runs on the monitor thread and must be
// thread-safe.
#include <atomic>
#include <functional>
#include <thread>

#include "platform/HidrawUevent.h"
#include "platform/UniqueFd.h"

namespace platform {

class HotPlugMonitor {
 public:
  using Callback = std::function<void(const HotPlugNotice&)>;

  HotPlugMonitor() = default;
  ~HotPlugMonitor() { Stop(); }
  HotPlugMonitor(const HotPlugMonitor&) = delete;
  HotPlugMonitor& operator=(const HotPlugMonitor&) = delete;

  // Starts watching (stopping an earlier watch first). False when no source could be opened now;
  // the relay is still looked for while the monitor runs.
  bool Start(Callback callback);
  // Ends the thread; no callback runs after it returns.
  void Stop();

  // Which system source Start chose; for the log and tests.
  enum class Source { None, Udev, Kernel };
  Source SystemSource() const { return source_; }

 private:
  struct Sources;
  void Loop(Sources& sources);

  Callback callback_;
  UniqueFd wake_;  // eventfd that ends the loop
  std::atomic<bool> run_{false};
  Source source_ = Source::None;
  std::thread thread_;
};

}  // namespace platform
