#include "TrayHosts.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <poll.h>

#include <chrono>
#include <condition_variable>

namespace {

constexpr const char* kWatcherXml = R"xml(
<node>
  <interface name="org.kde.StatusNotifierWatcher">
    <method name="RegisterStatusNotifierItem"><arg type="s" direction="in"/></method>
    <method name="RegisterStatusNotifierHost"><arg type="s" direction="in"/></method>
    <property name="RegisteredStatusNotifierItems" type="as" access="read"/>
    <property name="IsStatusNotifierHostRegistered" type="b" access="read"/>
    <property name="ProtocolVersion" type="i" access="read"/>
  </interface>
</node>)xml";

constexpr int kCallTimeoutMs = 3000;

template <typename Done>
bool WaitFor(Done done, int ms) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  while (!done()) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return true;
}

GDBusConnection* OwnSessionConnection() {
  gchar* address = g_dbus_address_get_for_bus_sync(G_BUS_TYPE_SESSION, nullptr, nullptr);
  if (address == nullptr) return nullptr;
  GDBusConnection* c = g_dbus_connection_new_for_address_sync(
      address,
      static_cast<GDBusConnectionFlags>(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                                        G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION),
      nullptr, nullptr, nullptr);
  g_free(address);
  if (c != nullptr) g_dbus_connection_set_exit_on_close(c, FALSE);
  return c;
}

int IgnoreErrors(Display*, XErrorEvent*) { return 0; }

}  // namespace

bool SessionBusAvailable() {
  GDBusConnection* c = OwnSessionConnection();
  if (c == nullptr) return false;
  g_dbus_connection_close_sync(c, nullptr, nullptr);
  g_object_unref(c);
  return true;
}

bool DisplayAvailable() {
  Display* d = XOpenDisplay(nullptr);
  if (d == nullptr) return false;
  XCloseDisplay(d);
  return true;
}

// ---- watcher ----------------------------------------------------------------------------------

TestWatcher::TestWatcher() {
  context_ = g_main_context_new();
  loop_ = g_main_loop_new(context_, FALSE);
  thread_ = std::thread([this] { Run(); });
  WaitFor([this] { return owned_.load(); }, kCallTimeoutMs);
}

TestWatcher::~TestWatcher() {
  GSource* quit = g_idle_source_new();
  g_source_set_callback(
      quit, [](gpointer loop) -> gboolean {
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

void TestWatcher::Run() {
  g_main_context_push_thread_default(context_);
  connection_ = OwnSessionConnection();
  if (connection_ != nullptr) {
    static GDBusNodeInfo* node = g_dbus_node_info_new_for_xml(kWatcherXml, nullptr);
    static const GDBusInterfaceVTable vtable = {
        [](GDBusConnection*, const gchar*, const gchar*, const gchar*, const gchar* method,
           GVariant* parameters, GDBusMethodInvocation* invocation, gpointer self) {
          auto* watcher = static_cast<TestWatcher*>(self);
          if (g_strcmp0(method, "RegisterStatusNotifierItem") == 0) {
            const gchar* service = nullptr;
            g_variant_get(parameters, "(&s)", &service);
            std::lock_guard lock(watcher->mutex_);
            watcher->registered_.emplace_back(service);
          }
          g_dbus_method_invocation_return_value(invocation, nullptr);
        },
        [](GDBusConnection*, const gchar*, const gchar*, const gchar*, const gchar* name,
           GError**, gpointer self) -> GVariant* {
          auto* watcher = static_cast<TestWatcher*>(self);
          if (g_strcmp0(name, "ProtocolVersion") == 0) return g_variant_new_int32(0);
          if (g_strcmp0(name, "IsStatusNotifierHostRegistered") == 0)
            return g_variant_new_boolean(TRUE);
          std::lock_guard lock(watcher->mutex_);
          std::vector<const gchar*> items;
          for (const auto& s : watcher->registered_) items.push_back(s.c_str());
          return g_variant_new_strv(items.data(), static_cast<gssize>(items.size()));
        },
        nullptr,
        {}};
    registration_ = g_dbus_connection_register_object(
        connection_, "/StatusNotifierWatcher", g_dbus_node_info_lookup_interface(
                                                   node, "org.kde.StatusNotifierWatcher"),
        &vtable, this, nullptr, nullptr);
    signalSubscription_ = g_dbus_connection_signal_subscribe(
        connection_, nullptr, "org.kde.StatusNotifierItem", nullptr, nullptr, nullptr,
        G_DBUS_SIGNAL_FLAGS_NONE,
        [](GDBusConnection*, const gchar*, const gchar*, const gchar*, const gchar* signal,
           GVariant*, gpointer self) {
          auto* watcher = static_cast<TestWatcher*>(self);
          std::lock_guard lock(watcher->mutex_);
          watcher->signals_.emplace_back(signal);
        },
        this, nullptr);
    ownerId_ = g_bus_own_name_on_connection(
        connection_, "org.kde.StatusNotifierWatcher", G_BUS_NAME_OWNER_FLAGS_DO_NOT_QUEUE,
        [](GDBusConnection*, const gchar*, gpointer self) {
          static_cast<TestWatcher*>(self)->owned_ = true;
        },
        nullptr, this, nullptr);
  }
  g_main_loop_run(loop_);
  if (connection_ != nullptr) {
    g_bus_unown_name(ownerId_);
    g_dbus_connection_signal_unsubscribe(connection_, signalSubscription_);
    g_dbus_connection_unregister_object(connection_, registration_);
    g_dbus_connection_close_sync(connection_, nullptr, nullptr);
    g_object_unref(connection_);
  }
  while (g_main_context_iteration(context_, FALSE)) {
  }
  g_main_context_pop_thread_default(context_);
}

std::vector<std::string> TestWatcher::Registered() const {
  std::lock_guard lock(mutex_);
  return registered_;
}

int TestWatcher::SignalCount(const std::string& name) const {
  std::lock_guard lock(mutex_);
  int n = 0;
  for (const auto& s : signals_) n += s == name ? 1 : 0;
  return n;
}

GVariant* TestWatcher::Call(const std::string& service, const char* path, const char* interface,
                            const char* method, GVariant* parameters) const {
  return g_dbus_connection_call_sync(connection_, service.c_str(), path, interface, method,
                                     parameters, nullptr, G_DBUS_CALL_FLAGS_NONE, kCallTimeoutMs,
                                     nullptr, nullptr);
}

GVariant* TestWatcher::ItemProperty(const std::string& service, const char* name) const {
  GVariant* reply = Call(service, "/StatusNotifierItem", "org.freedesktop.DBus.Properties", "Get",
                         g_variant_new("(ss)", "org.kde.StatusNotifierItem", name));
  if (reply == nullptr) return nullptr;
  GVariant* value = nullptr;
  g_variant_get(reply, "(v)", &value);
  g_variant_unref(reply);
  return value;
}

namespace {

// The object path of the item's D-Bus menu; empty when it has none.
std::string MenuPath(const TestWatcher& watcher, const std::string& service) {
  GVariant* path = watcher.ItemProperty(service, "Menu");
  if (path == nullptr) return {};
  std::string menu = g_variant_get_string(path, nullptr);
  g_variant_unref(path);
  return menu;
}

constexpr const char* kMenuInterface = "com.canonical.dbusmenu";

}  // namespace

std::vector<std::pair<int, std::string>> TestWatcher::MenuEntries(
    const std::string& service) const {
  const std::string menu = MenuPath(*this, service);
  if (menu.empty()) return {};
  return MenuChildren(Call(service, menu.c_str(), kMenuInterface, "GetLayout",
                           g_variant_new("(ii@as)", 0, -1, g_variant_new_strv(nullptr, 0))));
}

bool TestWatcher::ClickMenuEntry(const std::string& service, int id) const {
  const std::string menu = MenuPath(*this, service);
  if (menu.empty()) return false;
  GVariant* done = Call(service, menu.c_str(), kMenuInterface, "Event",
                        g_variant_new("(isvu)", id, "clicked", g_variant_new_int32(0), 0u));
  if (done != nullptr) g_variant_unref(done);
  return true;
}

// ---- tray manager -----------------------------------------------------------------------------

TestTrayManager::TestTrayManager(bool alphaVisual) {
  thread_ = std::thread([this, alphaVisual] { Run(alphaVisual); });
  WaitFor([this] { return ready_.load(); }, kCallTimeoutMs);
}

TestTrayManager::~TestTrayManager() {
  stop_ = true;
  thread_.join();
}

std::vector<std::uint64_t> TestTrayManager::Docked() const {
  std::lock_guard lock(mutex_);
  return docked_;
}

void TestTrayManager::Run(bool alphaVisual) {
  XSetErrorHandler(IgnoreErrors);
  Display* d = XOpenDisplay(nullptr);
  if (d == nullptr) return;
  const int screen = DefaultScreen(d);
  const Window root = RootWindow(d, screen);
  const Atom selection =
      XInternAtom(d, ("_NET_SYSTEM_TRAY_S" + std::to_string(screen)).c_str(), False);
  const Atom opcode = XInternAtom(d, "_NET_SYSTEM_TRAY_OPCODE", False);
  const Atom xembed = XInternAtom(d, "_XEMBED", False);
  XSetWindowAttributes attrs{};
  attrs.background_pixel = 0x00FF00;  // the tests look for the icon on this green
  attrs.event_mask = SubstructureNotifyMask;
  const Window w = XCreateWindow(d, root, 0, 0, 200, 40, 0, CopyFromParent, InputOutput,
                                 CopyFromParent, CWBackPixel | CWEventMask, &attrs);
  if (alphaVisual) {
    XVisualInfo info{};
    if (XMatchVisualInfo(d, screen, 32, TrueColor, &info)) {
      const long id = static_cast<long>(info.visualid);
      XChangeProperty(d, w, XInternAtom(d, "_NET_SYSTEM_TRAY_VISUAL", False), XA_VISUALID, 32,
                      PropModeReplace, reinterpret_cast<const unsigned char*>(&id), 1);
    }
  }
  XMapWindow(d, w);
  XSetSelectionOwner(d, selection, w, CurrentTime);
  XEvent announce{};
  announce.xclient.type = ClientMessage;
  announce.xclient.window = root;
  announce.xclient.message_type = XInternAtom(d, "MANAGER", False);
  announce.xclient.format = 32;
  announce.xclient.data.l[0] = CurrentTime;
  announce.xclient.data.l[1] = static_cast<long>(selection);
  announce.xclient.data.l[2] = static_cast<long>(w);
  XSendEvent(d, root, False, StructureNotifyMask, &announce);
  XSync(d, False);
  window_ = w;
  ready_ = XGetSelectionOwner(d, selection) == w;

  while (!stop_) {
    while (XPending(d) > 0) {
      XEvent ev;
      XNextEvent(d, &ev);
      if (ev.type != ClientMessage || ev.xclient.message_type != opcode ||
          ev.xclient.data.l[1] != 0)
        continue;
      const Window icon = static_cast<Window>(ev.xclient.data.l[2]);
      std::lock_guard lock(mutex_);
      const int slot = static_cast<int>(docked_.size());
      XReparentWindow(d, icon, w, 4 + 28 * slot, 4);
      XResizeWindow(d, icon, 24, 24);
      XMapWindow(d, icon);
      XEvent notify{};
      notify.xclient.type = ClientMessage;
      notify.xclient.window = icon;
      notify.xclient.message_type = xembed;
      notify.xclient.format = 32;
      notify.xclient.data.l[0] = CurrentTime;
      notify.xclient.data.l[1] = 0;  // XEMBED_EMBEDDED_NOTIFY
      notify.xclient.data.l[3] = static_cast<long>(w);
      XSendEvent(d, icon, False, NoEventMask, &notify);
      XSync(d, False);
      docked_.push_back(icon);
    }
    pollfd pfd{ConnectionNumber(d), POLLIN, 0};
    poll(&pfd, 1, 10);
  }
  XDestroyWindow(d, w);
  XCloseDisplay(d);
}

// ---- inspection -------------------------------------------------------------------------------

void IgnoreXErrors() { XSetErrorHandler(IgnoreErrors); }

DockedWindow Inspect(std::uint64_t xid) {
  DockedWindow result;
  Display* d = XOpenDisplay(nullptr);
  if (d == nullptr) return result;
  const Window w = static_cast<Window>(xid);
  XWindowAttributes attrs{};
  if (XGetWindowAttributes(d, w, &attrs)) {
    result.exists = true;
    result.viewable = attrs.map_state == IsViewable;
    result.depth = attrs.depth;
    Window root = 0, parent = 0, *children = nullptr;
    unsigned count = 0;
    if (XQueryTree(d, w, &root, &parent, &children, &count)) result.parent = parent;
    if (children != nullptr) XFree(children);
  }
  if (result.viewable) {
    if (XImage* image = XGetImage(d, w, 0, 0, attrs.width, attrs.height, AllPlanes, ZPixmap)) {
      for (int y = 0; y < attrs.height; ++y)
        for (int x = 0; x < attrs.width; ++x)
          result.pixelsOffGreen += (XGetPixel(image, x, y) & 0xFFFFFF) != 0x00FF00 ? 1 : 0;
      XDestroyImage(image);
    }
  }
  XCloseDisplay(d);
  return result;
}

void SendClick(std::uint64_t xid, unsigned button, int rootX, int rootY) {
  Display* d = XOpenDisplay(nullptr);
  if (d == nullptr) return;
  for (const int type : {ButtonPress, ButtonRelease}) {
    XEvent ev{};
    ev.xbutton.type = type;
    ev.xbutton.window = static_cast<Window>(xid);
    ev.xbutton.root = DefaultRootWindow(d);
    ev.xbutton.button = button;
    ev.xbutton.x = ev.xbutton.y = 10;
    ev.xbutton.x_root = rootX;
    ev.xbutton.y_root = rootY;
    ev.xbutton.same_screen = True;
    XSendEvent(d, static_cast<Window>(xid), False,
               type == ButtonPress ? ButtonPressMask : ButtonReleaseMask, &ev);
  }
  XSync(d, False);
  XCloseDisplay(d);
}

std::vector<std::pair<int, std::string>> MenuChildren(GVariant* reply) {
  std::vector<std::pair<int, std::string>> children;
  if (reply == nullptr) return children;
  GVariant* layout = g_variant_get_child_value(reply, 1);
  GVariant* items = g_variant_get_child_value(layout, 2);
  for (gsize i = 0; i < g_variant_n_children(items); ++i) {
    GVariant* boxed = g_variant_get_child_value(items, i);
    GVariant* item = g_variant_get_variant(boxed);
    gint32 id = 0;
    GVariant* props = nullptr;
    g_variant_get(item, "(i@a{sv}av)", &id, &props, nullptr);
    const gchar* label = "";
    g_variant_lookup(props, "label", "&s", &label);
    children.emplace_back(id, label);
    g_variant_unref(props);
    g_variant_unref(item);
    g_variant_unref(boxed);
  }
  g_variant_unref(items);
  g_variant_unref(layout);
  g_variant_unref(reply);
  return children;
}
