#include "TestPortal.h"

#include <chrono>

namespace {

constexpr const char* kPortalXml = R"xml(
<node>
  <interface name="org.freedesktop.portal.FileChooser">
    <method name="OpenFile">
      <arg type="s" direction="in"/><arg type="s" direction="in"/>
      <arg type="a{sv}" direction="in"/><arg type="o" direction="out"/>
    </method>
    <method name="SaveFile">
      <arg type="s" direction="in"/><arg type="s" direction="in"/>
      <arg type="a{sv}" direction="in"/><arg type="o" direction="out"/>
    </method>
  </interface>
</node>)xml";

constexpr const char* kRequestXml = R"xml(
<node>
  <interface name="org.freedesktop.portal.Request">
    <method name="Close"/>
    <signal name="Response"><arg type="u"/><arg type="a{sv}"/></signal>
  </interface>
</node>)xml";

constexpr guint32 kResponseSuccess = 0;
constexpr guint32 kResponseCancelled = 1;
constexpr int kStartTimeoutMs = 3000;

GDBusInterfaceInfo* Interface(const char* xml, const char* name) {
  GDBusNodeInfo* node = g_dbus_node_info_new_for_xml(xml, nullptr);
  GDBusInterfaceInfo* info = g_dbus_interface_info_ref(g_dbus_node_info_lookup_interface(node, name));
  g_dbus_node_info_unref(node);
  return info;
}

std::string RequestPath(std::string sender, const std::string& token) {
  if (!sender.empty() && sender[0] == ':') sender.erase(0, 1);
  for (char& c : sender) {
    if (c == '.') c = '_';
  }
  return "/org/freedesktop/portal/desktop/request/" + sender + "/" + token;
}

std::pair<std::string, std::vector<std::string>> FilterOf(GVariant* filter) {
  const gchar* name = nullptr;
  GVariantIter* patterns = nullptr;
  g_variant_get(filter, "(&sa(us))", &name, &patterns);
  std::pair<std::string, std::vector<std::string>> out{name, {}};
  guint32 kind = 0;
  const gchar* pattern = nullptr;
  while (g_variant_iter_loop(patterns, "(u&s)", &kind, &pattern)) {
    out.second.push_back(std::to_string(kind) + ":" + pattern);
  }
  g_variant_iter_free(patterns);
  return out;
}

struct PendingResponse {
  GDBusConnection* connection;
  std::string destination;
  std::string path;
  guint32 code;
  std::string uri;
};

}  // namespace

TestPortal::TestPortal() {
  context_ = g_main_context_new();
  loop_ = g_main_loop_new(context_, FALSE);
  thread_ = std::thread([this] { Run(); });
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(kStartTimeoutMs);
  while (!owned_.load() && std::chrono::steady_clock::now() < end) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}

TestPortal::~TestPortal() {
  GSource* quit = g_idle_source_new();
  g_source_set_callback(
      quit,
      [](gpointer loop) -> gboolean {
        g_main_loop_quit(static_cast<GMainLoop*>(loop));
        return G_SOURCE_REMOVE;
      },
      loop_, nullptr);
  g_source_attach(quit, context_);
  g_source_unref(quit);
  thread_.join();
  g_main_loop_unref(loop_);
  g_main_context_unref(context_);
}

void TestPortal::SetAnswer(Answer answer, const std::string& uri) {
  std::lock_guard lock(mutex_);
  answer_ = answer;
  uri_ = uri;
}

std::vector<TestPortal::Call> TestPortal::Calls() const {
  std::lock_guard lock(mutex_);
  return calls_;
}

std::vector<std::string> TestPortal::Closed() const {
  std::lock_guard lock(mutex_);
  return closed_;
}

void TestPortal::Run() {
  g_main_context_push_thread_default(context_);
  gchar* address = g_dbus_address_get_for_bus_sync(G_BUS_TYPE_SESSION, nullptr, nullptr);
  if (address != nullptr) {
    connection_ = g_dbus_connection_new_for_address_sync(
        address,
        static_cast<GDBusConnectionFlags>(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                                          G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION),
        nullptr, nullptr, nullptr);
    g_free(address);
  }
  GDBusInterfaceInfo* info = Interface(kPortalXml, "org.freedesktop.portal.FileChooser");
  if (connection_ != nullptr) {
    g_dbus_connection_set_exit_on_close(connection_, FALSE);
    static const GDBusInterfaceVTable vtable = {
        [](GDBusConnection*, const gchar* sender, const gchar*, const gchar*, const gchar* method,
           GVariant* parameters, GDBusMethodInvocation* invocation, gpointer self) {
          static_cast<TestPortal*>(self)->OnCall(method, sender, parameters, invocation);
        },
        nullptr, nullptr, {}};
    registration_ = g_dbus_connection_register_object(
        connection_, "/org/freedesktop/portal/desktop", info, &vtable, this, nullptr, nullptr);
    ownerId_ = g_bus_own_name_on_connection(
        connection_, "org.freedesktop.portal.Desktop", G_BUS_NAME_OWNER_FLAGS_DO_NOT_QUEUE,
        [](GDBusConnection*, const gchar*, gpointer self) {
          static_cast<TestPortal*>(self)->owned_ = true;
        },
        nullptr, this, nullptr);
  }
  g_main_loop_run(loop_);
  if (connection_ != nullptr) {
    g_bus_unown_name(ownerId_);
    for (const guint id : requestRegistrations_) g_dbus_connection_unregister_object(connection_, id);
    g_dbus_connection_unregister_object(connection_, registration_);
    g_dbus_connection_close_sync(connection_, nullptr, nullptr);
    g_object_unref(connection_);
  }
  g_dbus_interface_info_unref(info);
  while (g_main_context_iteration(context_, FALSE)) {
  }
  g_main_context_pop_thread_default(context_);
}

void TestPortal::OnCall(const std::string& method, const std::string& sender,
                        GVariant* parameters, GDBusMethodInvocation* invocation) {
  Call call;
  call.method = method;
  const gchar* parent = nullptr;
  const gchar* title = nullptr;
  GVariant* options = nullptr;
  g_variant_get(parameters, "(&s&s@a{sv})", &parent, &title, &options);
  call.parentWindow = parent;
  call.title = title;
  const gchar* text = nullptr;
  if (g_variant_lookup(options, "handle_token", "&s", &text)) call.handleToken = text;
  if (g_variant_lookup(options, "current_name", "&s", &text)) call.currentName = text;
  gboolean modal = FALSE;
  if (g_variant_lookup(options, "modal", "b", &modal)) call.modal = modal != FALSE;
  if (GVariant* filters = g_variant_lookup_value(options, "filters", G_VARIANT_TYPE("a(sa(us))"))) {
    for (gsize i = 0; i < g_variant_n_children(filters); ++i) {
      GVariant* filter = g_variant_get_child_value(filters, i);
      call.filters.push_back(FilterOf(filter));
      g_variant_unref(filter);
    }
    g_variant_unref(filters);
  }
  if (GVariant* current = g_variant_lookup_value(options, "current_filter", G_VARIANT_TYPE("(sa(us))"))) {
    call.currentFilter = FilterOf(current).first;
    g_variant_unref(current);
  }
  g_variant_unref(options);
  call.requestPath = RequestPath(sender, call.handleToken);

  static GDBusInterfaceInfo* requestInfo = Interface(kRequestXml, "org.freedesktop.portal.Request");
  static const GDBusInterfaceVTable requestVtable = {
      [](GDBusConnection*, const gchar*, const gchar* path, const gchar*, const gchar*, GVariant*,
         GDBusMethodInvocation* closeInvocation, gpointer self) {
        auto* portal = static_cast<TestPortal*>(self);
        {
          std::lock_guard lock(portal->mutex_);
          portal->closed_.emplace_back(path);
        }
        g_dbus_method_invocation_return_value(closeInvocation, nullptr);
      },
      nullptr, nullptr, {}};
  requestRegistrations_.push_back(g_dbus_connection_register_object(
      connection_, call.requestPath.c_str(), requestInfo, &requestVtable, this, nullptr, nullptr));

  Answer answer;
  std::string uri;
  {
    std::lock_guard lock(mutex_);
    calls_.push_back(call);
    answer = answer_;
    uri = uri_;
  }
  g_dbus_method_invocation_return_value(invocation,
                                        g_variant_new("(o)", call.requestPath.c_str()));
  if (answer == Answer::Hold) return;

  // The answer follows the method's reply, as the dialog would close after it opened.
  auto* pending = new PendingResponse{connection_, sender, call.requestPath,
                                      answer == Answer::File ? kResponseSuccess : kResponseCancelled,
                                      uri};
  GSource* idle = g_idle_source_new();
  g_source_set_callback(
      idle,
      [](gpointer data) -> gboolean {
        const auto* response = static_cast<PendingResponse*>(data);
        GVariantBuilder results;
        g_variant_builder_init(&results, G_VARIANT_TYPE_VARDICT);
        if (!response->uri.empty()) {
          const gchar* uris[] = {response->uri.c_str(), nullptr};
          g_variant_builder_add(&results, "{sv}", "uris", g_variant_new_strv(uris, -1));
        }
        g_dbus_connection_emit_signal(response->connection, response->destination.c_str(),
                                      response->path.c_str(), "org.freedesktop.portal.Request",
                                      "Response",
                                      g_variant_new("(ua{sv})", response->code, &results), nullptr);
        return G_SOURCE_REMOVE;
      },
      pending, [](gpointer data) { delete static_cast<PendingResponse*>(data); });
  g_source_attach(idle, context_);
  g_source_unref(idle);
}
