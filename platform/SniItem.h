// The status icon as a StatusNotifierItem object on the session bus, registered with the
// desktop's StatusNotifierWatcher. Icon thread only (the thread whose main context was the
// default when Export was called); its callbacks run there.
#pragma once

#include <gio/gio.h>

#include <functional>
#include <string>

#include "platform/IconImage.h"

namespace platform {

struct SniItemCallbacks {
  std::function<void(int x, int y)> onActivate;
  std::function<void(int x, int y)> onContextMenu;
};

class SniItem {
 public:
  static constexpr const char* kWatcherName = "org.kde.StatusNotifierWatcher";
  static constexpr const char* kItemPath = "/StatusNotifierItem";
  static constexpr const char* kMenuPath = "/MenuBar";

  SniItem(std::string id, std::string title, std::string tooltip,
          std::vector<IconImage> pixmaps, SniItemCallbacks callbacks);
  ~SniItem();
  SniItem(const SniItem&) = delete;
  SniItem& operator=(const SniItem&) = delete;

  // Exports the item and takes a bus name of its own. False when the bus refuses either.
  bool Export(GDBusConnection* connection);

  // Asks the watcher to show the item, waiting at most `timeoutMs`. True once it accepted.
  bool RegisterSync(int timeoutMs);
  // As RegisterSync without waiting; `done` runs on the icon thread with the outcome.
  void RegisterAsync(std::function<void(bool)> done);

  void SetTooltip(const std::string& tooltip);

  const std::string& BusName() const { return busName_; }

 private:
  static void OnMethodCall(GDBusConnection* connection, const gchar* sender,
                           const gchar* objectPath, const gchar* interfaceName,
                           const gchar* methodName, GVariant* parameters,
                           GDBusMethodInvocation* invocation, gpointer self);
  static GVariant* OnGetProperty(GDBusConnection* connection, const gchar* sender,
                                 const gchar* objectPath, const gchar* interfaceName,
                                 const gchar* propertyName, GError** error, gpointer self);
  GVariant* Pixmaps() const;  // floating a(iiay)
  GVariant* ToolTip() const;  // floating (sa(iiay)ss)
  void Emit(const char* signal, GVariant* parameters) const;

  std::string id_;
  std::string title_;
  std::string tooltip_;
  std::vector<IconImage> pixmaps_;
  SniItemCallbacks callbacks_;
  GDBusConnection* connection_ = nullptr;
  guint registration_ = 0;
  std::string busName_;
};

}  // namespace platform
