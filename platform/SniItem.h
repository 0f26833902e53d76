// The status icon as a StatusNotifierItem object on the session bus, registered with the
// desktop's StatusNotifierWatcher. Icon thread only (the thread whose main context was the
// default when it was exported); its callbacks run there.
#pragma once

#include <gio/gio.h>

#include <functional>
#include <string>

#include "platform/DbusObject.h"
#include "platform/IconImage.h"

namespace platform {

struct SniItemCallbacks {
  std::function<void(int x, int y)> onActivate;
  std::function<void(int x, int y)> onContextMenu;
};

class SniItem : public DbusObject {
 public:
  static constexpr const char* kWatcherName = "org.kde.StatusNotifierWatcher";
  static constexpr const char* kItemPath = "/StatusNotifierItem";
  static constexpr const char* kMenuPath = "/MenuBar";

  SniItem(std::string id, std::string title, std::string tooltip,
          std::vector<IconImage> pixmaps, SniItemCallbacks callbacks);
  ~SniItem() override;

  // Exports the item and takes a bus name of its own. False when the bus refuses either.
  bool ExportItem(GDBusConnection* connection);

  // Asks the watcher to show the item, waiting at most `timeoutMs`. True once it accepted.
  bool RegisterSync(int timeoutMs);
  // As RegisterSync without waiting; `done` runs on the icon thread with the outcome.
  void RegisterAsync(std::function<void(bool)> done);

  void SetTooltip(const std::string& tooltip);

  const std::string& BusName() const { return busName_; }

 private:
  void OnMethodCall(const std::string& method, GVariant* parameters,
                    GDBusMethodInvocation* invocation) override;
  GVariant* OnGetProperty(const std::string& name) override;
  GVariant* Pixmaps() const;  // floating a(iiay)
  GVariant* ToolTip() const;  // floating (sa(iiay)ss)

  std::string id_;
  std::string title_;
  std::string tooltip_;
  std::vector<IconImage> pixmaps_;
  SniItemCallbacks callbacks_;
  std::string busName_;
};

}  // namespace platform
