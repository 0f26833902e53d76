#include <gtest/gtest.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "platform/HidrawUevent.h"
#include "platform/HotPlugMonitor.h"
#include "platform/HotPlugRelay.h"
#include "platform/UniqueFd.h"
#include "support/ScopedEnv.h"
#include "support/TempFolder.h"

namespace {

using namespace std::chrono_literals;
using platform::HotPlugKind;

constexpr const char* kUsbPath =
    "/devices/pci0000:00/0000:00:14.0/usb1/1-2/1-2:1.1/0003:24ae:4076.0009/hidraw/hidraw3";

std::string Datagram(const std::vector<std::string>& parts) {
  std::string out;
  for (const std::string& p : parts) {
    out += p;
    out.push_back('\0');
  }
  return out;
}

TEST(HidrawUevent, AUsbInterfaceGivesTheIdentityTheEnumerationBuilds) {
  const auto added = platform::HidrawNotice("add", "hidraw", kUsbPath, "/dev/hidraw3");
  ASSERT_TRUE(added.has_value());
  EXPECT_EQ(added->kind, HotPlugKind::Arrival);
  EXPECT_EQ(added->identity, "HID\\VID_24AE&PID_4076&MI_01\\/dev/hidraw3");
  // On removal the node is gone: its name comes from the path.
  const auto removed = platform::HidrawNotice("remove", "hidraw", kUsbPath, "");
  ASSERT_TRUE(removed.has_value());
  EXPECT_EQ(removed->kind, HotPlugKind::Removal);
  EXPECT_EQ(removed->identity, added->identity);
  // A HID device without a USB interface above it (Bluetooth, uhid) has no interface number.
  const auto virtualHid = platform::HidrawNotice(
      "add", "hidraw", "/devices/virtual/misc/uhid/0005:1A2C:7FFF.0001/hidraw/hidraw0", "");
  ASSERT_TRUE(virtualHid.has_value());
  EXPECT_EQ(virtualHid->identity, "HID\\VID_1A2C&PID_7FFF&MI_FF\\/dev/hidraw0");
}

TEST(HidrawUevent, OtherActionsSubsystemsAndGarbledPathsGiveNothing) {
  EXPECT_FALSE(platform::HidrawNotice("change", "hidraw", kUsbPath, "").has_value());
  EXPECT_FALSE(platform::HidrawNotice("add", "input", kUsbPath, "").has_value());
  const char* const garbled[] = {
      "",
      "/",
      "hidraw/hidraw3",
      "/devices/usb1/1-2/1-2:1.1/hidraw/hidraw3",                  // no HID device component
      "/devices/usb1/1-2:1.1/0003:24AE:407.0009/hidraw/hidraw3",   // three-digit product
      "/devices/usb1/1-2:1.1/0003:24AE:40G6.0009/hidraw/hidraw3",  // not hexadecimal
      "/devices/usb1/1-2:1.1/0003:24AE:4076/hidraw/hidraw3",       // no instance
      "/devices/usb1/1-2:1.1/0003:24AE:4076.0009/input/input3",    // not under hidraw
  };
  for (const char* path : garbled)
    EXPECT_FALSE(platform::HidrawNotice("add", "hidraw", path, "").has_value()) << path;
}

TEST(HidrawUevent, KernelDatagramsAreReadWithinTheirLength) {
  const std::string good = Datagram({std::string("add@") + kUsbPath, "ACTION=add",
                                     std::string("DEVPATH=") + kUsbPath, "SUBSYSTEM=hidraw",
                                     "DEVNAME=hidraw3", "SEQNUM=12"});
  const auto notice = platform::ParseKernelUevent(good.data(), good.size());
  ASSERT_TRUE(notice.has_value());
  EXPECT_EQ(notice->identity, "HID\\VID_24AE&PID_4076&MI_01\\/dev/hidraw3");

  // Cut inside the last field, no header, an empty header action, no data at all.
  EXPECT_FALSE(platform::ParseKernelUevent(good.data(), good.size() - 1).has_value());
  const std::string headless = good.substr(good.find('\0') + 1);
  EXPECT_FALSE(platform::ParseKernelUevent(headless.data(), headless.size()).has_value());
  const std::string bare = "@x" + good.substr(good.find('\0'));
  EXPECT_FALSE(platform::ParseKernelUevent(bare.data(), bare.size()).has_value());
  EXPECT_FALSE(platform::ParseKernelUevent(nullptr, 10).has_value());
  EXPECT_FALSE(platform::ParseKernelUevent(good.data(), 0).has_value());
}

// A stand-in for the virtual keyboard server's relay socket.
class RelayListener {
 public:
  explicit RelayListener(const std::string& path) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    listen_ = platform::UniqueFd(socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0));
    ok_ = listen_.Valid() &&
          bind(listen_.Get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0 &&
          listen(listen_.Get(), 1) == 0;
  }
  bool Ok() const { return ok_; }
  bool Accept(std::chrono::milliseconds limit = 5s) {
    pollfd incoming{listen_.Get(), POLLIN, 0};
    if (poll(&incoming, 1, static_cast<int>(limit.count())) != 1) return false;
    client_ = platform::UniqueFd(accept(listen_.Get(), nullptr, nullptr));
    return client_.Valid();
  }
  bool Send(const std::string& datagram) {
    return send(client_.Get(), datagram.data(), datagram.size(), MSG_NOSIGNAL) ==
           static_cast<ssize_t>(datagram.size());
  }

 private:
  platform::UniqueFd listen_;
  platform::UniqueFd client_;
  bool ok_ = false;
};

std::set<std::string> ThreadIds() {
  std::set<std::string> ids;
  for (const auto& entry : std::filesystem::directory_iterator("/proc/self/task"))
    ids.insert(entry.path().filename().string());
  return ids;
}

// How often thread `tid` of this process went to sleep voluntarily so far.
long VoluntarySwitches(const std::string& tid) {
  std::ifstream status("/proc/self/task/" + tid + "/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind("voluntary_ctxt_switches:", 0) == 0) return std::stol(line.substr(24));
  return -1;
}

TEST(HotPlugMonitor, WaitsForAMissingRelayWithoutWakingAndConnectsOnceItStarts) {
  TempFolder folder("kw-hotplug");
  const std::string socket = folder.Path() + "/vkbd.sock";
  ScopedEnv env("KW_VKBD_SOCKET", socket.c_str());
  if (platform::HotPlugRelayPath().empty()) GTEST_SKIP() << "built without the virtual keyboard";

  std::atomic<int> notices{0};
  platform::HotPlugMonitor monitor;
  const std::set<std::string> before = ThreadIds();
  monitor.Start([&](const platform::HotPlugNotice&) { notices.fetch_add(1); });
  std::string thread;
  for (const std::string& id : ThreadIds())
    if (before.count(id) == 0) thread = id;
  ASSERT_FALSE(thread.empty());
  std::this_thread::sleep_for(100ms);  // past its start
  const long settled = VoluntarySwitches(thread);
  std::this_thread::sleep_for(1s);
  EXPECT_LE(VoluntarySwitches(thread) - settled, 1) << "the monitor polls for the missing relay";

  RelayListener relay(platform::HotPlugRelayPath());
  ASSERT_TRUE(relay.Ok());
  ASSERT_TRUE(relay.Accept()) << "the relay that started later was not found";
  ASSERT_TRUE(relay.Send(Datagram({std::string("add@") + kUsbPath, "ACTION=add",
                                   std::string("DEVPATH=") + kUsbPath, "SUBSYSTEM=hidraw",
                                   "DEVNAME=hidraw3"})));
  for (int i = 0; i < 500 && notices.load() == 0; ++i) std::this_thread::sleep_for(10ms);
  monitor.Stop();
  EXPECT_EQ(notices.load(), 1);
}

// A monitor's tests with the relay already listening in a private folder.
class HotPlugMonitorRelayed : public ::testing::Test {
 protected:
  void SetUp() override {
    if (platform::HotPlugRelayPath().empty()) GTEST_SKIP() << "built without the virtual keyboard";
    relay_ = std::make_unique<RelayListener>(platform::HotPlugRelayPath());
    ASSERT_TRUE(relay_->Ok());
  }

  TempFolder folder_{"kw-hotplug"};
  const std::string socket_ = folder_.Path() + "/vkbd.sock";
  ScopedEnv env_{"KW_VKBD_SOCKET", socket_.c_str()};
  std::unique_ptr<RelayListener> relay_;
};

// The window lists the keyboards right after Start: an unplug at that moment must not fall
// between the listing and a thread that has not connected yet. (A thread that happens to connect
// quickly passes this too; the check is that the connection exists when Start returns.)
TEST_F(HotPlugMonitorRelayed, AnUnplugRightAfterStartReturnsIsDelivered) {
  RelayListener& relay = *relay_;
  std::atomic<int> removals{0};
  platform::HotPlugMonitor monitor;
  ASSERT_TRUE(monitor.Start([&](const platform::HotPlugNotice& notice) {
    if (notice.kind == HotPlugKind::Removal) removals.fetch_add(1);
  }));
  // Start's own connection, already waiting, is the one the thread reads.
  ASSERT_TRUE(relay.Accept(0ms)) << "Start returned before it connected to the relay";
  ASSERT_TRUE(relay.Send(Datagram({"remove@x", "ACTION=remove", std::string("DEVPATH=") + kUsbPath,
                                   "SUBSYSTEM=hidraw"})));
  for (int i = 0; i < 500 && removals.load() == 0; ++i) std::this_thread::sleep_for(10ms);
  monitor.Stop();
  EXPECT_EQ(removals.load(), 1);
}

TEST_F(HotPlugMonitorRelayed, RelayedUeventsReachTheCallbackAndGarbageDoesNot) {
  RelayListener& relay = *relay_;
  std::mutex mutex;
  std::condition_variable changed;
  std::vector<platform::HotPlugNotice> notices;
  platform::HotPlugMonitor monitor;
  EXPECT_TRUE(monitor.Start([&](const platform::HotPlugNotice& notice) {
    const std::lock_guard lock(mutex);
    notices.push_back(notice);
    changed.notify_all();
  }));
  ASSERT_TRUE(relay.Accept());
  ASSERT_TRUE(relay.Send("garbage"));
  ASSERT_TRUE(relay.Send(Datagram({"remove@x", "ACTION=remove", std::string("DEVPATH=") + kUsbPath,
                                   "SUBSYSTEM=hidraw"})));
  std::unique_lock lock(mutex);
  ASSERT_TRUE(changed.wait_for(lock, 5s, [&] { return !notices.empty(); }));
  lock.unlock();
  monitor.Stop();
  ASSERT_EQ(notices.size(), 1u);
  EXPECT_EQ(notices[0].kind, HotPlugKind::Removal);
  EXPECT_EQ(notices[0].identity, "HID\\VID_24AE&PID_4076&MI_01\\/dev/hidraw3");
}

}  // namespace
