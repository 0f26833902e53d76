// An object exported on a D-Bus connection with one interface, described by introspection XML;
// a subclass answers the interface's method calls and property reads. Calls arrive on the
// thread whose main context was the default when Export was called; use it from that thread.
#pragma once

#include <gio/gio.h>

#include <string>

namespace platform {

class DbusObject {
 public:
  virtual ~DbusObject();
  DbusObject(const DbusObject&) = delete;
  DbusObject& operator=(const DbusObject&) = delete;

  // Exports the object at `path` on `connection` (kept referenced until Unexport).
  bool Export(GDBusConnection* connection, const char* path);
  void Unexport();

 protected:
  DbusObject(const char* introspectionXml, const char* interfaceName);

  // Every call must be answered through `invocation`.
  virtual void OnMethodCall(const std::string& method, GVariant* parameters,
                            GDBusMethodInvocation* invocation) = 0;
  // A floating value, or null for a property the interface does not have.
  virtual GVariant* OnGetProperty(const std::string& name) = 0;

  // Emits a signal of the interface (parameters: a floating tuple or null); nothing when not
  // exported.
  void EmitSignal(const char* name, GVariant* parameters) const;
  GDBusConnection* Connection() const { return connection_; }

 private:
  GDBusNodeInfo* node_ = nullptr;  // parsed introspection, owned
  std::string interfaceName_;
  GDBusConnection* connection_ = nullptr;
  guint registration_ = 0;
  std::string path_;
};

}  // namespace platform
