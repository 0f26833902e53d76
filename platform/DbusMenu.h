// The status icon's menu exported on the session bus as a com.canonical.dbusmenu object: a
// root item whose children are the entries, each reporting its command when clicked.
// Icon thread only (the thread whose main context was the default when Export was called).
#pragma once

#include <gio/gio.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/StatusIcon.h"

namespace platform {

class DbusMenu {
 public:
  explicit DbusMenu(std::function<void(int command)> onCommand);
  ~DbusMenu();
  DbusMenu(const DbusMenu&) = delete;
  DbusMenu& operator=(const DbusMenu&) = delete;

  // Exports the menu at `path` on `connection` (kept referenced until Unexport).
  bool Export(GDBusConnection* connection, const char* path);
  void Unexport();

  // Replaces the entries and tells hosts the layout changed.
  void SetEntries(const std::vector<TrayMenuEntry>& entries);

 private:
  static void OnMethodCall(GDBusConnection* connection, const gchar* sender,
                           const gchar* objectPath, const gchar* interfaceName,
                           const gchar* methodName, GVariant* parameters,
                           GDBusMethodInvocation* invocation, gpointer self);
  static GVariant* OnGetProperty(GDBusConnection* connection, const gchar* sender,
                                 const gchar* objectPath, const gchar* interfaceName,
                                 const gchar* propertyName, GError** error, gpointer self);

  GVariant* Layout(int parentId, int depth) const;  // floating (ia{sv}av)
  GVariant* ItemProperties(int id) const;           // floating a{sv}
  bool IsItem(int id) const;
  void HandleEvent(int id, const char* eventId);

  std::function<void(int)> onCommand_;
  std::vector<TrayMenuEntry> entries_;  // item id = index + 1; the root is 0
  unsigned revision_ = 1;
  GDBusConnection* connection_ = nullptr;
  std::string path_;
  guint registration_ = 0;
};

}  // namespace platform
