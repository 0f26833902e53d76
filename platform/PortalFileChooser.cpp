#include "platform/PortalFileChooser.h"

#include <gio/gio.h>
#include <unistd.h>

#include <atomic>
#include <memory>
#include <string>

namespace platform {
namespace {

// The portal answers OpenFile/SaveFile at once (the dialog runs behind the Request object); a
// bus that takes longer has no working portal.
constexpr int kCallTimeoutMs = 30000;
constexpr int kCloseTimeoutMs = 2000;
// Response codes of org.freedesktop.portal.Request.
constexpr guint32 kResponseSuccess = 0;
// Filter pattern kind 0 is a glob (1 would be a MIME type).
constexpr guint32 kGlobPattern = 0;

struct ObjectUnref {
  void operator()(gpointer object) const { g_object_unref(object); }
};
using ConnectionPtr = std::unique_ptr<GDBusConnection, ObjectUnref>;

struct VariantUnref {
  void operator()(GVariant* value) const { g_variant_unref(value); }
};
using VariantPtr = std::unique_ptr<GVariant, VariantUnref>;

// Makes a fresh context the thread's default for the life of the object, so that the
// connection's signals are dispatched only by our own iterations.
class ThreadContext {
 public:
  ThreadContext() : context_(g_main_context_new()) { g_main_context_push_thread_default(context_); }
  ~ThreadContext() {
    g_main_context_pop_thread_default(context_);
    while (g_main_context_iteration(context_, FALSE)) {
    }
    g_main_context_unref(context_);
  }
  ThreadContext(const ThreadContext&) = delete;
  ThreadContext& operator=(const ThreadContext&) = delete;
  GMainContext* Get() const { return context_; }

 private:
  GMainContext* context_;
};

ConnectionPtr OpenSessionConnection() {
  gchar* address = g_dbus_address_get_for_bus_sync(G_BUS_TYPE_SESSION, nullptr, nullptr);
  if (address == nullptr) return nullptr;
  GDBusConnection* connection = g_dbus_connection_new_for_address_sync(
      address,
      static_cast<GDBusConnectionFlags>(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                                        G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION),
      nullptr, nullptr, nullptr);
  g_free(address);
  if (connection != nullptr) g_dbus_connection_set_exit_on_close(connection, FALSE);
  return ConnectionPtr(connection);
}

// The Request path the portal will use for our token: the unique name without ':' and with
// '.' as '_'. Subscribing before the call means a fast answer cannot be missed.
std::string ExpectedRequestPath(GDBusConnection* connection, const std::string& token) {
  std::string sender = g_dbus_connection_get_unique_name(connection);
  if (!sender.empty() && sender[0] == ':') sender.erase(0, 1);
  for (char& c : sender) {
    if (c == '.') c = '_';
  }
  return std::string(PortalFileChooser::kObjectPath) + "/request/" + sender + "/" + token;
}

std::string NextToken() {
  static std::atomic<unsigned> counter{0};
  return "keywright_" + std::to_string(::getpid()) + "_" + std::to_string(++counter);
}

GVariant* FilterValue(const FileFilter& filter) {
  GVariantBuilder patterns;
  g_variant_builder_init(&patterns, G_VARIANT_TYPE("a(us)"));
  for (const std::string& pattern : filter.patterns) {
    g_variant_builder_add(&patterns, "(us)", kGlobPattern, pattern.c_str());
  }
  return g_variant_new("(sa(us))", filter.name.c_str(), &patterns);
}

GVariant* Options(const FileChooserRequest& request, const std::string& token) {
  GVariantBuilder options;
  g_variant_builder_init(&options, G_VARIANT_TYPE_VARDICT);
  g_variant_builder_add(&options, "{sv}", "handle_token", g_variant_new_string(token.c_str()));
  g_variant_builder_add(&options, "{sv}", "modal", g_variant_new_boolean(TRUE));
  if (!request.filters.empty()) {
    GVariantBuilder filters;
    g_variant_builder_init(&filters, G_VARIANT_TYPE("a(sa(us))"));
    for (const FileFilter& filter : request.filters) {
      g_variant_builder_add_value(&filters, FilterValue(filter));
    }
    g_variant_builder_add(&options, "{sv}", "filters", g_variant_builder_end(&filters));
    g_variant_builder_add(&options, "{sv}", "current_filter", FilterValue(request.filters[0]));
  }
  if (request.mode == FileChooserRequest::Mode::Save && !request.suggestedName.empty()) {
    g_variant_builder_add(&options, "{sv}", "current_name",
                          g_variant_new_string(request.suggestedName.c_str()));
  }
  return g_variant_builder_end(&options);
}

std::string ParentWindowText(std::uint64_t xid) {
  if (xid == 0) return {};
  char text[32];
  g_snprintf(text, sizeof text, "x11:%" G_GINT64_MODIFIER "x", static_cast<guint64>(xid));
  return text;
}

// The first URI of a successful answer as a local path; Unavailable when there is none that
// names a local file.
FileChooserResult ResultOf(guint32 response, GVariant* results) {
  FileChooserResult result;
  if (response != kResponseSuccess) {
    result.choice = FileChoice::Cancelled;
    return result;
  }
  const gchar** uris = nullptr;
  if (results == nullptr || !g_variant_lookup(results, "uris", "^a&s", &uris)) return result;
  if (uris != nullptr && uris[0] != nullptr) {
    gchar* path = g_filename_from_uri(uris[0], nullptr, nullptr);
    if (path != nullptr && path[0] != '\0') {
      result.choice = FileChoice::Chosen;
      result.path = path;
    }
    g_free(path);
  }
  g_free(uris);
  return result;
}

// What the Response signal and the name watch report back to the waiting loop.
struct Waiting {
  bool answered = false;
  bool portalGone = false;
  FileChooserResult result;
};

void OnResponse(GDBusConnection*, const gchar*, const gchar*, const gchar*, const gchar*,
                GVariant* parameters, gpointer data) {
  auto* waiting = static_cast<Waiting*>(data);
  if (waiting->answered || !g_variant_is_of_type(parameters, G_VARIANT_TYPE("(ua{sv})"))) return;
  guint32 response = 0;
  GVariant* results = nullptr;
  g_variant_get(parameters, "(u@a{sv})", &response, &results);
  waiting->result = ResultOf(response, results);
  waiting->answered = true;
  if (results != nullptr) g_variant_unref(results);
}

// A Response subscription on one Request path, dropped with the object.
class ResponseSubscription {
 public:
  ResponseSubscription(GDBusConnection* connection, const std::string& path, Waiting& waiting)
      : connection_(connection),
        id_(g_dbus_connection_signal_subscribe(
            connection, PortalFileChooser::kBusName, PortalFileChooser::kRequestInterface,
            "Response", path.c_str(), nullptr, G_DBUS_SIGNAL_FLAGS_NONE, &OnResponse, &waiting,
            nullptr)),
        path_(path) {}
  ~ResponseSubscription() { g_dbus_connection_signal_unsubscribe(connection_, id_); }
  ResponseSubscription(const ResponseSubscription&) = delete;
  ResponseSubscription& operator=(const ResponseSubscription&) = delete;
  const std::string& Path() const { return path_; }

 private:
  GDBusConnection* connection_;
  guint id_;
  std::string path_;
};

}  // namespace

PortalFileChooser::Outcome PortalFileChooser::Run(const FileChooserRequest& request,
                                                  FileChooserResult& result) {
  ThreadContext context;
  const ConnectionPtr connection = OpenSessionConnection();
  if (!connection) return Outcome::NoPortal;
  {
    std::lock_guard lock(contextMutex_);
    context_ = context.Get();
  }
  struct ForgetContext {
    PortalFileChooser& self;
    ~ForgetContext() {
      std::lock_guard lock(self.contextMutex_);
      self.context_ = nullptr;
    }
  } forget{*this};

  const std::string token = NextToken();
  Waiting waiting;
  auto subscription = std::make_unique<ResponseSubscription>(
      connection.get(), ExpectedRequestPath(connection.get(), token), waiting);

  const bool save = request.mode == FileChooserRequest::Mode::Save;
  GError* error = nullptr;
  const VariantPtr reply(g_dbus_connection_call_sync(
      connection.get(), kBusName, kObjectPath, kInterface, save ? "SaveFile" : "OpenFile",
      g_variant_new("(ss@a{sv})", ParentWindowText(request.parentWindow).c_str(),
                    request.title.c_str(), Options(request, token)),
      G_VARIANT_TYPE("(o)"), G_DBUS_CALL_FLAGS_NONE, kCallTimeoutMs, nullptr, &error));
  if (!reply) {
    g_clear_error(&error);
    return Outcome::NoPortal;
  }
  const gchar* handle = nullptr;
  g_variant_get(reply.get(), "(&o)", &handle);
  // Portals older than handle_token choose their own path.
  if (!waiting.answered && subscription->Path() != handle) {
    subscription =
        std::make_unique<ResponseSubscription>(connection.get(), std::string(handle), waiting);
  }

  const guint watch = g_bus_watch_name_on_connection(
      connection.get(), kBusName, G_BUS_NAME_WATCHER_FLAGS_NONE, nullptr,
      [](GDBusConnection*, const gchar*, gpointer data) {
        static_cast<Waiting*>(data)->portalGone = true;
      },
      &waiting, nullptr);
  while (!waiting.answered && !waiting.portalGone && !cancelled_.load()) {
    g_main_context_iteration(context.Get(), TRUE);
  }
  g_bus_unwatch_name(watch);

  if (waiting.answered) {
    result = waiting.result;
    return Outcome::Answered;
  }
  if (waiting.portalGone) return Outcome::NoPortal;
  // Cancelled: close the dialog the portal shows.
  const VariantPtr closed(g_dbus_connection_call_sync(
      connection.get(), kBusName, subscription->Path().c_str(), kRequestInterface, "Close",
      nullptr, nullptr, G_DBUS_CALL_FLAGS_NONE, kCloseTimeoutMs, nullptr, nullptr));
  result = FileChooserResult{FileChoice::Cancelled, {}};
  return Outcome::Answered;
}

void PortalFileChooser::Cancel() {
  std::lock_guard lock(contextMutex_);
  cancelled_.store(true);
  if (context_ != nullptr) g_main_context_wakeup(context_);
}

}  // namespace platform
