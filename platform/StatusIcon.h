// The program's icon in the desktop's status area (tray). A StatusNotifierItem on the session
// bus, with its menu also exported as a D-Bus menu; when no StatusNotifierWatcher runs, an
// XEmbed icon docked in the system tray of the X screen; otherwise no icon (Kind() None) until
// a watcher or tray appears, when the icon registers itself.
//
// Threads: the icon runs its own thread. Its callbacks run on that thread and must not block:
// post what they report to the owning window. The other members may be called from any thread.
// Destruction removes the icon and stops the thread within a bounded time (about a second).
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace platform {

struct TrayMenuEntry {
  int command = 0;    // reported to onMenuCommand when the entry is chosen
  std::string label;  // UTF-8
};

enum class StatusIconKind { None, Sni, XEmbed };

struct StatusIconSpec {
  std::string id;        // the item's identity, e.g. "Tarnwick"
  std::string title;
  std::string iconPath;  // an .ico or .png file; the largest image of an .ico is used
  std::string tooltip;
  std::vector<TrayMenuEntry> menu;
  std::function<void()> onActivate;                // left click
  std::function<void(int x, int y)> onContextMenu;  // right click, screen coordinates
  std::function<void(int command)> onMenuCommand;   // an entry of the exported menu chosen
  // Optional: the kind changed after Create returned (a tray appeared or went away). With None
  // the icon is gone, so a window hidden in it must be shown again.
  std::function<void(StatusIconKind kind)> onKindChanged;
};

class StatusIcon {
 public:
  // Starts the icon and returns once its first registration attempt has ended (bounded), so
  // that Kind() already tells whether an icon exists. Null only when the thread cannot start.
  static std::unique_ptr<StatusIcon> Create(const StatusIconSpec& spec);

  ~StatusIcon();
  StatusIcon(const StatusIcon&) = delete;
  StatusIcon& operator=(const StatusIcon&) = delete;

  void SetTooltip(const std::string& tooltip);
  void SetMenu(const std::vector<TrayMenuEntry>& entries);

  StatusIconKind Kind() const;
  // Whether a host shows the icon now: registered with the watcher, or embedded in the tray.
  bool IsVisible() const;

  class Impl;

 private:
  explicit StatusIcon(std::unique_ptr<Impl> impl);
  std::unique_ptr<Impl> impl_;
};

}  // namespace platform
