#include "platform/DbusMenu.h"

#include <memory>

namespace platform {
namespace {

constexpr const char* kInterface = "com.canonical.dbusmenu";
constexpr int kRootId = 0;
constexpr guint kProtocolVersion = 3;

constexpr const char* kIntrospection = R"xml(
<node>
  <interface name="com.canonical.dbusmenu">
    <method name="GetLayout">
      <arg type="i" name="parentId" direction="in"/>
      <arg type="i" name="recursionDepth" direction="in"/>
      <arg type="as" name="propertyNames" direction="in"/>
      <arg type="u" name="revision" direction="out"/>
      <arg type="(ia{sv}av)" name="layout" direction="out"/>
    </method>
    <method name="GetGroupProperties">
      <arg type="ai" name="ids" direction="in"/>
      <arg type="as" name="propertyNames" direction="in"/>
      <arg type="a(ia{sv})" name="properties" direction="out"/>
    </method>
    <method name="GetProperty">
      <arg type="i" name="id" direction="in"/>
      <arg type="s" name="name" direction="in"/>
      <arg type="v" name="value" direction="out"/>
    </method>
    <method name="Event">
      <arg type="i" name="id" direction="in"/>
      <arg type="s" name="eventId" direction="in"/>
      <arg type="v" name="data" direction="in"/>
      <arg type="u" name="timestamp" direction="in"/>
    </method>
    <method name="EventGroup">
      <arg type="a(isvu)" name="events" direction="in"/>
      <arg type="ai" name="idErrors" direction="out"/>
    </method>
    <method name="AboutToShow">
      <arg type="i" name="id" direction="in"/>
      <arg type="b" name="needUpdate" direction="out"/>
    </method>
    <method name="AboutToShowGroup">
      <arg type="ai" name="ids" direction="in"/>
      <arg type="ai" name="updatesNeeded" direction="out"/>
      <arg type="ai" name="idErrors" direction="out"/>
    </method>
    <signal name="ItemsPropertiesUpdated">
      <arg type="a(ia{sv})" name="updatedProps"/>
      <arg type="a(ias)" name="removedProps"/>
    </signal>
    <signal name="LayoutUpdated">
      <arg type="u" name="revision"/>
      <arg type="i" name="parent"/>
    </signal>
    <signal name="ItemActivationRequested">
      <arg type="i" name="id"/>
      <arg type="u" name="timestamp"/>
    </signal>
    <property name="Version" type="u" access="read"/>
    <property name="TextDirection" type="s" access="read"/>
    <property name="Status" type="s" access="read"/>
    <property name="IconThemePath" type="as" access="read"/>
  </interface>
</node>)xml";

void ReturnUnknownItem(GDBusMethodInvocation* invocation, int id) {
  g_dbus_method_invocation_return_error(invocation, G_DBUS_ERROR, G_DBUS_ERROR_INVALID_ARGS,
                                        "no menu item %d", id);
}

}  // namespace

DbusMenu::DbusMenu(std::function<void(int command)> onCommand)
    : DbusObject(kIntrospection, kInterface), onCommand_(std::move(onCommand)) {}

void DbusMenu::SetEntries(const std::vector<TrayMenuEntry>& entries) {
  entries_ = entries;
  ++revision_;
  EmitSignal("LayoutUpdated", g_variant_new("(ui)", revision_, kRootId));
}

bool DbusMenu::IsItem(int id) const {
  return id == kRootId || (id > 0 && static_cast<size_t>(id) <= entries_.size());
}

GVariant* DbusMenu::ItemProperties(int id) const {
  GVariantBuilder props;
  g_variant_builder_init(&props, G_VARIANT_TYPE("a{sv}"));
  if (id == kRootId) {
    g_variant_builder_add(&props, "{sv}", "children-display", g_variant_new_string("submenu"));
  } else {
    const TrayMenuEntry& entry = entries_[static_cast<size_t>(id - 1)];
    g_variant_builder_add(&props, "{sv}", "label", g_variant_new_string(entry.label.c_str()));
    g_variant_builder_add(&props, "{sv}", "enabled", g_variant_new_boolean(TRUE));
    g_variant_builder_add(&props, "{sv}", "visible", g_variant_new_boolean(TRUE));
  }
  return g_variant_builder_end(&props);
}

GVariant* DbusMenu::Layout(int parentId, int depth) const {
  GVariantBuilder children;
  g_variant_builder_init(&children, G_VARIANT_TYPE("av"));
  if (parentId == kRootId && depth != 0) {
    for (size_t i = 0; i < entries_.size(); ++i)
      g_variant_builder_add(&children, "v", Layout(static_cast<int>(i + 1), depth - 1));
  }
  return g_variant_new("(i@a{sv}av)", parentId, ItemProperties(parentId), &children);
}

void DbusMenu::HandleEvent(int id, const char* eventId) {
  if (id == kRootId || !IsItem(id) || g_strcmp0(eventId, "clicked") != 0) return;
  if (onCommand_) onCommand_(entries_[static_cast<size_t>(id - 1)].command);
}

void DbusMenu::OnMethodCall(const std::string& method, GVariant* parameters,
                            GDBusMethodInvocation* invocation) {
  if (method == "GetLayout") {
    gint32 parentId = 0, depth = 0;
    g_variant_get(parameters, "(ii@as)", &parentId, &depth, nullptr);
    if (!IsItem(parentId)) return ReturnUnknownItem(invocation, parentId);
    g_dbus_method_invocation_return_value(
        invocation, g_variant_new("(u@(ia{sv}av))", revision_, Layout(parentId, depth)));
  } else if (method == "GetGroupProperties") {
    GVariantIter* ids = nullptr;
    g_variant_get(parameters, "(ai@as)", &ids, nullptr);
    GVariantBuilder result;
    g_variant_builder_init(&result, G_VARIANT_TYPE("a(ia{sv})"));
    gint32 id = 0;
    while (g_variant_iter_next(ids, "i", &id)) {
      if (IsItem(id))
        g_variant_builder_add(&result, "(i@a{sv})", id, ItemProperties(id));
    }
    g_variant_iter_free(ids);
    g_dbus_method_invocation_return_value(invocation, g_variant_new("(a(ia{sv}))", &result));
  } else if (method == "GetProperty") {
    gint32 id = 0;
    const gchar* name = nullptr;
    g_variant_get(parameters, "(i&s)", &id, &name);
    if (!IsItem(id)) return ReturnUnknownItem(invocation, id);
    GVariant* props = g_variant_ref_sink(ItemProperties(id));
    GVariant* value = g_variant_lookup_value(props, name, nullptr);
    g_variant_unref(props);
    if (value == nullptr) {
      g_dbus_method_invocation_return_error(invocation, G_DBUS_ERROR, G_DBUS_ERROR_INVALID_ARGS,
                                            "no property %s", name);
      return;
    }
    g_dbus_method_invocation_return_value(invocation, g_variant_new("(v)", value));
    g_variant_unref(value);
  } else if (method == "Event") {
    gint32 id = 0;
    const gchar* eventId = nullptr;
    g_variant_get(parameters, "(i&svu)", &id, &eventId, nullptr, nullptr);
    if (!IsItem(id)) return ReturnUnknownItem(invocation, id);
    // Answer first: the command may open a window, and the host waits for the reply.
    g_dbus_method_invocation_return_value(invocation, nullptr);
    HandleEvent(id, eventId);
  } else if (method == "EventGroup") {
    GVariantIter* events = nullptr;
    g_variant_get(parameters, "(a(isvu))", &events);
    GVariantBuilder errors;
    g_variant_builder_init(&errors, G_VARIANT_TYPE("ai"));
    std::vector<std::pair<int, std::string>> valid;
    gint32 id = 0;
    const gchar* eventId = nullptr;
    while (g_variant_iter_next(events, "(i&svu)", &id, &eventId, nullptr, nullptr)) {
      if (IsItem(id))
        valid.emplace_back(id, eventId);
      else
        g_variant_builder_add(&errors, "i", id);
    }
    g_variant_iter_free(events);
    g_dbus_method_invocation_return_value(invocation, g_variant_new("(ai)", &errors));
    for (const auto& [itemId, event] : valid) HandleEvent(itemId, event.c_str());
  } else if (method == "AboutToShow") {
    g_dbus_method_invocation_return_value(invocation, g_variant_new("(b)", FALSE));
  } else if (method == "AboutToShowGroup") {
    g_dbus_method_invocation_return_value(invocation, g_variant_new("(aiai)", nullptr, nullptr));
  } else {
    g_dbus_method_invocation_return_error(invocation, G_DBUS_ERROR, G_DBUS_ERROR_UNKNOWN_METHOD,
                                          "unknown method %s", method.c_str());
  }
}

GVariant* DbusMenu::OnGetProperty(const std::string& name) {
  if (name == "Version") return g_variant_new_uint32(kProtocolVersion);
  if (name == "TextDirection") return g_variant_new_string("ltr");
  if (name == "Status") return g_variant_new_string("normal");
  if (name == "IconThemePath") return g_variant_new_strv(nullptr, 0);
  return nullptr;
}

}  // namespace platform
