// The status icon's menu exported on the session bus as a com.canonical.dbusmenu object: a
// root item whose children are the entries, each reporting its command when clicked.
// Icon thread only (the thread whose main context was the default when it was exported).
#pragma once

#include <gio/gio.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/DbusObject.h"
#include "platform/StatusIcon.h"

namespace platform {

class DbusMenu : public DbusObject {
 public:
  explicit DbusMenu(std::function<void(int command)> onCommand);

  // Replaces the entries and tells hosts the layout changed.
  void SetEntries(const std::vector<TrayMenuEntry>& entries);

 private:
  void OnMethodCall(const std::string& method, GVariant* parameters,
                    GDBusMethodInvocation* invocation) override;
  GVariant* OnGetProperty(const std::string& name) override;

  GVariant* Layout(int parentId, int depth) const;  // floating (ia{sv}av)
  GVariant* ItemProperties(int id) const;           // floating a{sv}
  bool IsItem(int id) const;
  void HandleEvent(int id, const char* eventId);

  std::function<void(int)> onCommand_;
  std::vector<TrayMenuEntry> entries_;  // item id = index + 1; the root is 0
  unsigned revision_ = 1;
};

}  // namespace platform
