#include "platform/HotPlugMonitor.h"

#include <libudev.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <array>
#include <cstdint>
#include <memory>

#include "platform/HotPlugRelay.h"

namespace platform {

namespace {

// A running udev daemon owns this socket; without it only the kernel's uevents arrive.
constexpr const char* kUdevControl = "/run/udev/control";
constexpr const char* kSubsystem = "hidraw";
// How often a missing relay is looked for again.
constexpr int kRelayRetryMs = 250;
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

}  // namespace

bool HotPlugMonitor::Start(Callback callback) {
  Stop();
  callback_ = std::move(callback);
  wake_ = UniqueFd(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK));
  if (!wake_.Valid()) return false;
  // Probe the system source here so that the caller learns whether one exists.
  source_ = OpenSystemWatch().source;
  run_ = true;
  thread_ = std::thread(&HotPlugMonitor::Loop, this);
  return source_ != Source::None || ConnectHotPlugRelay().Valid();
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

void HotPlugMonitor::Loop() {
  const SystemWatch watch = OpenSystemWatch();
  const int systemFd = watch.monitor ? udev_monitor_get_fd(watch.monitor.get()) : -1;
  const bool relayBuilt = !HotPlugRelayPath().empty();
  UniqueFd relay = ConnectHotPlugRelay();
  std::array<char, kDatagramSize> datagram{};

  while (run_) {
    std::array<pollfd, 3> fds{{{wake_.Get(), POLLIN, 0}, {systemFd, POLLIN, 0}, {relay.Get(), POLLIN, 0}}};
    const int timeout = relayBuilt && !relay.Valid() ? kRelayRetryMs : -1;
    const int ready = poll(fds.data(), fds.size(), timeout);
    if (!run_) break;
    if (ready < 0) continue;  // EINTR
    if (relayBuilt && !relay.Valid()) relay = ConnectHotPlugRelay();

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
        relay.Reset();  // the server went away; look for the next one
        continue;
      }
      const auto notice = ParseKernelUevent(datagram.data(), static_cast<size_t>(length));
      if (notice && callback_) callback_(*notice);
    }
  }
}

}  // namespace platform
