#include "platform/DbusObject.h"

namespace platform {

DbusObject::DbusObject(const char* introspectionXml, const char* interfaceName)
    : node_(g_dbus_node_info_new_for_xml(introspectionXml, nullptr)),
      interfaceName_(interfaceName) {}

DbusObject::~DbusObject() {
  Unexport();
  if (node_ != nullptr) g_dbus_node_info_unref(node_);
}

bool DbusObject::Export(GDBusConnection* connection, const char* path) {
  Unexport();
  GDBusInterfaceInfo* info =
      node_ != nullptr ? g_dbus_node_info_lookup_interface(node_, interfaceName_.c_str()) : nullptr;
  if (info == nullptr || connection == nullptr) return false;
  static const GDBusInterfaceVTable vtable = {
      [](GDBusConnection*, const gchar*, const gchar*, const gchar*, const gchar* method,
         GVariant* parameters, GDBusMethodInvocation* invocation, gpointer self) {
        static_cast<DbusObject*>(self)->OnMethodCall(method, parameters, invocation);
      },
      [](GDBusConnection*, const gchar*, const gchar*, const gchar*, const gchar* name,
         GError** error, gpointer self) -> GVariant* {
        GVariant* value = static_cast<DbusObject*>(self)->OnGetProperty(name);
        if (value == nullptr)
          g_set_error(error, G_DBUS_ERROR, G_DBUS_ERROR_UNKNOWN_PROPERTY, "no property %s", name);
        return value;
      },
      nullptr,
      {}};
  registration_ =
      g_dbus_connection_register_object(connection, path, info, &vtable, this, nullptr, nullptr);
  if (registration_ == 0) return false;
  connection_ = G_DBUS_CONNECTION(g_object_ref(connection));
  path_ = path;
  return true;
}

void DbusObject::Unexport() {
  if (connection_ == nullptr) return;
  g_dbus_connection_unregister_object(connection_, registration_);
  g_object_unref(connection_);
  connection_ = nullptr;
  registration_ = 0;
}

void DbusObject::EmitSignal(const char* name, GVariant* parameters) const {
  if (connection_ == nullptr) {
    if (parameters != nullptr) g_variant_unref(g_variant_ref_sink(parameters));
    return;
  }
  g_dbus_connection_emit_signal(connection_, nullptr, path_.c_str(), interfaceName_.c_str(),
                                name, parameters, nullptr);
}

}  // namespace platform
