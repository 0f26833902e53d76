#include "platform/HotPlugMonitor.h"

#include <libudev.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/inotify.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

#include "platform/HotPlugRelay.h"

namespace platform {

namespace {

// A running udev daemon owns this socket; without it only the kernel's uevents arrive.
constexpr const char* kUdevControl = "/run/udev/control";
constexpr const char* kSubsystem = "hidraw";
// How often a missing relay is looked for again when its folder cannot be watched, and how soon
// after its socket appeared (it is bound before it listens).
constexpr int kRelayRetryMs = 250;
constexpr int kRelayRetriesAfterAppearance = 8;
// A kernel uevent is at most a page; the relay's are far smaller.
constexpr size_t kDatagramSize = 8192;

struct UdevDeleter {
  void operator()(udev* u) const { udev_unref(u); }
  void operator()(udev_monitor* m) const { udev_monitor_unref(m); }
  void operator()(udev_device* d) const { udev_device_unref(d); }
};
using UdevPtr = std::unique_ptr<udev, UdevDeleter>;
using UdevMonitorPtr = std::unique_ptr<udev_monitor, UdevDeleter>;
using UdevDevicePtr = std::unique_ptr<udev_device, UdevDeleter>;

std::string Text(const char* text) { return text != nullptr ? text : ""; }

// The system source for the loop; null monitor when none could be opened.
struct SystemWatch {
  UdevPtr context;
  UdevMonitorPtr monitor;
  HotPlugMonitor::Source source = HotPlugMonitor::Source::None;
};

SystemWatch OpenSystemWatch() {
  SystemWatch watch;
  watch.context.reset(udev_new());
  if (!watch.context) return watch;
  const bool daemon = access(kUdevControl, F_OK) == 0;
  watch.monitor.reset(udev_monitor_new_from_netlink(watch.context.get(), daemon ? "udev" : "kernel"));
  if (!watch.monitor ||
      udev_monitor_filter_add_match_subsystem_devtype(watch.monitor.get(), kSubsystem, nullptr) < 0 ||
      udev_monitor_enable_receiving(watch.monitor.get()) < 0) {
    watch.monitor.reset();
    return watch;
  }
  watch.source = daemon ? HotPlugMonitor::Source::Udev : HotPlugMonitor::Source::Kernel;
  return watch;
}

// Waits for the relay's socket to appear (its server started) without waking the thread until
// then: an inotify watch on the socket's folder.
class RelayAppearance {
 public:
  explicit RelayAppearance(const std::string& socketPath) {
    const size_t slash = socketPath.rfind('/');
    if (slash == std::string::npos) return;
    name_ = socketPath.substr(slash + 1);
    const std::string folder = slash == 0 ? "/" : socketPath.substr(0, slash);
    fd_ = UniqueFd(inotify_init1(IN_NONBLOCK | IN_CLOEXEC));
    if (fd_.Valid() && inotify_add_watch(fd_.Get(), folder.c_str(), IN_CREATE | IN_MOVED_TO) < 0)
      fd_.Reset();
  }
  bool Valid() const { return fd_.Valid(); }
  int Fd() const { return fd_.Get(); }

  // Reads the pending events; true when one names the socket.
  bool Appeared() {
    alignas(inotify_event) std::array<char, kDatagramSize> buffer{};
    bool named = false;
    ssize_t length = 0;
    while ((length = read(fd_.Get(), buffer.data(), buffer.size())) > 0) {
      for (ssize_t at = 0; at + static_cast<ssize_t>(sizeof(inotify_event)) <= length;) {
        inotify_event event{};
        std::memcpy(&event, buffer.data() + at, sizeof event);
        const char* name = buffer.data() + at + sizeof event;
        if (event.len > 0 && name_ == std::string(name, strnlen(name, event.len))) named = true;
        at += static_cast<ssize_t>(sizeof event + event.len);
      }
    }
    return named;
  }

 private:
  std::string name_;
  UniqueFd fd_;
};

}  // namespace

// Everything the loop reads from, opened by Start on the caller's thread: a plug or unplug that
// happens once Start has returned waits in these sockets for the thread, however late it runs.
struct HotPlugMonitor::Sources {
  SystemWatch watch;
  std::string relayPath;
  // Watched before the first attempt, so that a relay starting in between is not missed.
  std::unique_ptr<RelayAppearance> appearance;
  UniqueFd relay;
};

bool HotPlugMonitor::Start(Callback callback) {
  Stop();
  callback_ = std::move(callback);
  wake_ = UniqueFd(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK));
  if (!wake_.Valid()) return false;
  auto sources = std::make_unique<Sources>();
  sources->watch = OpenSystemWatch();
  sources->relayPath = HotPlugRelayPath();
  if (!sources->relayPath.empty())
    sources->appearance = std::make_unique<RelayAppearance>(sources->relayPath);
  sources->relay = ConnectHotPlugRelay();
  source_ = sources->watch.source;
  const bool any = source_ != Source::None || sources->relay.Valid();
  run_ = true;
  thread_ = std::thread([this, owned = std::move(sources)] { Loop(*owned); });
  return any;
}

void HotPlugMonitor::Stop() {
  run_ = false;
  if (wake_.Valid()) {
    const uint64_t one = 1;
    [[maybe_unused]] const ssize_t written = write(wake_.Get(), &one, sizeof one);
  }
  if (thread_.joinable()) thread_.join();
  wake_.Reset();
}

void HotPlugMonitor::Loop(Sources& sources) {
  const SystemWatch& watch = sources.watch;
  const int systemFd = watch.monitor ? udev_monitor_get_fd(watch.monitor.get()) : -1;
  const bool relayBuilt = !sources.relayPath.empty();
  const std::unique_ptr<RelayAppearance>& appearance = sources.appearance;
  UniqueFd& relay = sources.relay;
  int retries = 0;  // attempts left on the retry timer
  std::array<char, kDatagramSize> datagram{};

  while (run_) {
    const bool waitingForRelay = relayBuilt && !relay.Valid();
    const bool watching = appearance && appearance->Valid();
    std::array<pollfd, 4> fds{{{wake_.Get(), POLLIN, 0},
                               {systemFd, POLLIN, 0},
                               {relay.Get(), POLLIN, 0},
                               {watching ? appearance->Fd() : -1, POLLIN, 0}}};
    // Idle until something arrives, unless a missing relay has to be looked for on a timer.
    const bool retrying = waitingForRelay && (!watching || retries > 0);
    const int ready = poll(fds.data(), fds.size(), retrying ? kRelayRetryMs : -1);
    if (!run_) break;
    if (ready < 0) continue;  // EINTR
    // Drained also while connected, so that a restarted server's socket is noticed at once.
    if (watching && (fds[3].revents & POLLIN) != 0 && appearance->Appeared() && waitingForRelay)
      retries = kRelayRetriesAfterAppearance;
    if (waitingForRelay && (retrying || retries > 0)) {
      relay = ConnectHotPlugRelay();
      retries = relay.Valid() ? 0 : std::max(retries - 1, 0);
    }

    if ((fds[1].revents & POLLIN) != 0) {
      const UdevDevicePtr device(udev_monitor_receive_device(watch.monitor.get()));
      if (device) {
        const auto notice = HidrawNotice(
            Text(udev_device_get_action(device.get())), Text(udev_device_get_subsystem(device.get())),
            Text(udev_device_get_devpath(device.get())), Text(udev_device_get_devnode(device.get())));
        if (notice && callback_) callback_(*notice);
      }
    }
    if (fds[2].fd >= 0 && fds[2].revents != 0) {
      const ssize_t length = recv(relay.Get(), datagram.data(), datagram.size(), 0);
      if (length <= 0) {
        // The server went away; look for the next one, which may have started already.
        relay.Reset();
        retries = kRelayRetriesAfterAppearance;
        continue;
      }
      const auto notice = ParseKernelUevent(datagram.data(), static_cast<size_t>(length));
      if (notice && callback_) callback_(*notice);
    }
  }
}

}  // namespace platform
