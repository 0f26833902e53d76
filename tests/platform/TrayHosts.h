// Test stand-ins for the desktop's side of the status icon: a StatusNotifierWatcher on the
// session bus and an XEmbed system tray manager on the X display. Both run a thread of their own
// with their own connection, as a desktop would in another process.
#pragma once

#include <gio/gio.h>

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

// Owns org.kde.StatusNotifierWatcher and records the items that register.
class TestWatcher {
 public:
  TestWatcher();
  ~TestWatcher();
  bool Ready() const { return owned_.load(); }

  std::vector<std::string> Registered() const;
  // The connection to call the registered item with (thread-safe).
  GDBusConnection* Connection() const { return connection_; }
  // Calls `method` of `interface` at `path` of `service`; the reply (owned) or null.
  GVariant* Call(const std::string& service, const char* path, const char* interface,
                 const char* method, GVariant* parameters) const;
  // A property of the item, or null.
  GVariant* ItemProperty(const std::string& service, const char* name) const;
  // Ids and labels of the entries of the item's D-Bus menu; empty when it offers none.
  std::vector<std::pair<int, std::string>> MenuEntries(const std::string& service) const;
  // Clicks entry `id` of the item's D-Bus menu; false when the item has no menu.
  bool ClickMenuEntry(const std::string& service, int id) const;
  // Signals of the item interface seen so far, by name.
  int SignalCount(const std::string& name) const;

 private:
  void Run();

  GMainContext* context_ = nullptr;
  GMainLoop* loop_ = nullptr;
  GDBusConnection* connection_ = nullptr;
  std::thread thread_;
  std::atomic<bool> owned_{false};
  mutable std::mutex mutex_;
  std::vector<std::string> registered_;
  std::vector<std::string> signals_;
  guint registration_ = 0;
  guint ownerId_ = 0;
  guint signalSubscription_ = 0;
};

// Owns _NET_SYSTEM_TRAY_S<screen> with a mapped window and embeds docking icons.
class TestTrayManager {
 public:
  // `alphaVisual`: offer a 32-bit visual for icons (_NET_SYSTEM_TRAY_VISUAL).
  explicit TestTrayManager(bool alphaVisual = false);
  ~TestTrayManager();
  bool Ready() const { return ready_.load(); }
  std::uint64_t ManagerWindow() const { return window_.load(); }
  // Icon windows that asked to dock and were embedded.
  std::vector<std::uint64_t> Docked() const;

 private:
  void Run(bool alphaVisual);

  std::thread thread_;
  std::atomic<bool> stop_{false};
  std::atomic<bool> ready_{false};
  std::atomic<std::uint64_t> window_{0};
  mutable std::mutex mutex_;
  std::vector<std::uint64_t> docked_;
};

// A window as another client sees it.
struct DockedWindow {
  bool exists = false;
  bool viewable = false;
  std::uint64_t parent = 0;
  int depth = 0;
  int pixelsOffGreen = 0;  // pixels that differ from the test tray's green background
};
DockedWindow Inspect(std::uint64_t xid);

// Sends a press and a release of `button` to the window, as the server would deliver a click.
void SendClick(std::uint64_t xid, unsigned button, int rootX, int rootY);

// X errors of the test's own requests (a window that went away) fail checks instead of ending
// the test program.
void IgnoreXErrors();

// Whether the session bus and the display the tests need are there.
bool SessionBusAvailable();
bool DisplayAvailable();

// Ids and labels of the root's children in a com.canonical.dbusmenu GetLayout reply (which it
// takes over); empty for a null reply.
std::vector<std::pair<int, std::string>> MenuChildren(GVariant* reply);
