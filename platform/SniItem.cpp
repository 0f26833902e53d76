#include "platform/SniItem.h"

#include <unistd.h>

#include <atomic>
#include <memory>

namespace platform {
namespace {

constexpr const char* kItemInterface = "org.kde.StatusNotifierItem";
constexpr const char* kWatcherPath = "/StatusNotifierWatcher";
constexpr const char* kWatcherInterface = "org.kde.StatusNotifierWatcher";
constexpr guint32 kNameFlagDoNotQueue = 4;
constexpr guint32 kNameReplyPrimaryOwner = 1;
constexpr int kRequestNameTimeoutMs = 2000;

constexpr const char* kIntrospection = R"xml(
<node>
  <interface name="org.kde.StatusNotifierItem">
    <method name="ContextMenu"><arg type="i" direction="in"/><arg type="i" direction="in"/></method>
    <method name="Activate"><arg type="i" direction="in"/><arg type="i" direction="in"/></method>
    <method name="SecondaryActivate">
      <arg type="i" direction="in"/><arg type="i" direction="in"/>
    </method>
    <method name="Scroll"><arg type="i" direction="in"/><arg type="s" direction="in"/></method>
    <signal name="NewTitle"/>
    <signal name="NewIcon"/>
    <signal name="NewAttentionIcon"/>
    <signal name="NewOverlayIcon"/>
    <signal name="NewToolTip"/>
    <signal name="NewStatus"><arg type="s"/></signal>
    <property name="Category" type="s" access="read"/>
    <property name="Id" type="s" access="read"/>
    <property name="Title" type="s" access="read"/>
    <property name="Status" type="s" access="read"/>
    <property name="WindowId" type="i" access="read"/>
    <property name="IconName" type="s" access="read"/>
    <property name="IconPixmap" type="a(iiay)" access="read"/>
    <property name="OverlayIconName" type="s" access="read"/>
    <property name="OverlayIconPixmap" type="a(iiay)" access="read"/>
    <property name="AttentionIconName" type="s" access="read"/>
    <property name="AttentionIconPixmap" type="a(iiay)" access="read"/>
    <property name="AttentionMovieName" type="s" access="read"/>
    <property name="ToolTip" type="(sa(iiay)ss)" access="read"/>
    <property name="ItemIsMenu" type="b" access="read"/>
    <property name="Menu" type="o" access="read"/>
    <property name="IconThemePath" type="s" access="read"/>
  </interface>
</node>)xml";

GVariant* EmptyPixmaps() { return g_variant_new_array(G_VARIANT_TYPE("(iiay)"), nullptr, 0); }

// Each item of the process gets its own name.
std::string NextBusName() {
  static std::atomic<int> counter{0};
  return "org.kde.StatusNotifierItem-" + std::to_string(getpid()) + "-" +
         std::to_string(++counter);
}

}  // namespace

SniItem::SniItem(std::string id, std::string title, std::string tooltip,
                 std::vector<IconImage> pixmaps, SniItemCallbacks callbacks)
    : DbusObject(kIntrospection, kItemInterface),
      id_(std::move(id)),
      title_(std::move(title)),
      tooltip_(std::move(tooltip)),
      pixmaps_(std::move(pixmaps)),
      callbacks_(std::move(callbacks)) {}

SniItem::~SniItem() {
  if (Connection() == nullptr || busName_.empty()) return;
  // Releasing the name is what makes the watcher drop the item.
  g_dbus_connection_call(Connection(), "org.freedesktop.DBus", "/org/freedesktop/DBus",
                         "org.freedesktop.DBus", "ReleaseName",
                         g_variant_new("(s)", busName_.c_str()), nullptr,
                         G_DBUS_CALL_FLAGS_NONE, -1, nullptr, nullptr, nullptr);
}

bool SniItem::ExportItem(GDBusConnection* connection) {
  if (Connection() != nullptr || !Export(connection, kItemPath)) return false;
  busName_ = NextBusName();
  GVariant* reply = g_dbus_connection_call_sync(
      Connection(), "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus",
      "RequestName", g_variant_new("(su)", busName_.c_str(), kNameFlagDoNotQueue),
      G_VARIANT_TYPE("(u)"), G_DBUS_CALL_FLAGS_NONE, kRequestNameTimeoutMs, nullptr, nullptr);
  if (reply == nullptr) return false;
  guint32 result = 0;
  g_variant_get(reply, "(u)", &result);
  g_variant_unref(reply);
  return result == kNameReplyPrimaryOwner;
}

bool SniItem::RegisterSync(int timeoutMs) {
  if (Connection() == nullptr) return false;
  GVariant* reply = g_dbus_connection_call_sync(
      Connection(), kWatcherName, kWatcherPath, kWatcherInterface, "RegisterStatusNotifierItem",
      g_variant_new("(s)", busName_.c_str()), nullptr, G_DBUS_CALL_FLAGS_NO_AUTO_START, timeoutMs,
      nullptr, nullptr);
  if (reply == nullptr) return false;
  g_variant_unref(reply);
  return true;
}

void SniItem::RegisterAsync(std::function<void(bool)> done) {
  if (Connection() == nullptr) return done(false);
  auto* pending = new std::function<void(bool)>(std::move(done));
  g_dbus_connection_call(
      Connection(), kWatcherName, kWatcherPath, kWatcherInterface, "RegisterStatusNotifierItem",
      g_variant_new("(s)", busName_.c_str()), nullptr, G_DBUS_CALL_FLAGS_NO_AUTO_START, -1,
      nullptr,
      [](GObject* source, GAsyncResult* result, gpointer data) {
        std::unique_ptr<std::function<void(bool)>> callback(
            static_cast<std::function<void(bool)>*>(data));
        GVariant* reply =
            g_dbus_connection_call_finish(G_DBUS_CONNECTION(source), result, nullptr);
        if (reply != nullptr) g_variant_unref(reply);
        (*callback)(reply != nullptr);
      },
      pending);
}

void SniItem::SetTooltip(const std::string& tooltip) {
  if (tooltip == tooltip_) return;
  tooltip_ = tooltip;
  EmitSignal("NewToolTip", nullptr);
}

GVariant* SniItem::Pixmaps() const {
  GVariantBuilder builder;
  g_variant_builder_init(&builder, G_VARIANT_TYPE("a(iiay)"));
  for (const IconImage& image : pixmaps_) {
    // ARGB32 in network byte order.
    std::vector<guint8> bytes;
    bytes.reserve(image.argb.size() * 4);
    for (const std::uint32_t p : image.argb) {
      bytes.push_back(static_cast<guint8>(p >> 24));
      bytes.push_back(static_cast<guint8>(p >> 16));
      bytes.push_back(static_cast<guint8>(p >> 8));
      bytes.push_back(static_cast<guint8>(p));
    }
    GVariant* data =
        g_variant_new_fixed_array(G_VARIANT_TYPE_BYTE, bytes.data(), bytes.size(), 1);
    g_variant_builder_add(&builder, "(ii@ay)", image.width, image.height, data);
  }
  return g_variant_builder_end(&builder);
}

GVariant* SniItem::ToolTip() const {
  return g_variant_new("(s@a(iiay)ss)", "", EmptyPixmaps(), title_.c_str(), tooltip_.c_str());
}

void SniItem::OnMethodCall(const std::string& method, GVariant* parameters,
                           GDBusMethodInvocation* invocation) {
  gint32 x = 0, y = 0;
  if (method == "Activate" || method == "ContextMenu") g_variant_get(parameters, "(ii)", &x, &y);
  // Answer first: the host must not wait on what the window does next.
  g_dbus_method_invocation_return_value(invocation, nullptr);
  if (method == "Activate" && callbacks_.onActivate) callbacks_.onActivate(x, y);
  if (method == "ContextMenu" && callbacks_.onContextMenu)
    callbacks_.onContextMenu(x, y);
}

GVariant* SniItem::OnGetProperty(const std::string& name) {
  if (name == "Category") return g_variant_new_string("ApplicationStatus");
  if (name == "Id") return g_variant_new_string(id_.c_str());
  if (name == "Title") return g_variant_new_string(title_.c_str());
  if (name == "Status") return g_variant_new_string("Active");
  if (name == "WindowId") return g_variant_new_int32(0);
  if (name == "IconPixmap") return Pixmaps();
  if (name == "OverlayIconPixmap" || name == "AttentionIconPixmap") return EmptyPixmaps();
  if (name == "IconName" || name == "OverlayIconName" || name == "AttentionIconName" ||
      name == "AttentionMovieName" || name == "IconThemePath")
    return g_variant_new_string("");
  if (name == "ToolTip") return ToolTip();
  if (name == "ItemIsMenu") return g_variant_new_boolean(FALSE);
  if (name == "Menu") return g_variant_new_object_path(kMenuPath);
  return nullptr;
}

}  // namespace platform
