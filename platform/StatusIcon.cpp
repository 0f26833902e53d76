#include "platform/StatusIcon.h"

#include <gio/gio.h>
#include <glib-unix.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>

#include "platform/DbusMenu.h"
#include "platform/FileSystem.h"
#include "platform/IconImage.h"
#include "platform/SniItem.h"
#include "platform/UserFolders.h"
#include "platform/XEmbedIcon.h"

namespace platform {
namespace {

constexpr int kWatcherQueryTimeoutMs = 1000;
constexpr int kRegisterTimeoutMs = 1500;
// Longest Create waits for the first attempt: the bus calls above, each bounded, and slack.
constexpr auto kStartTimeout = std::chrono::seconds(6);
constexpr int kPixmapSides[] = {16, 22, 32, 48, 64};
constexpr int kMaxPixmapSide = 256;

std::vector<IconImage> PixmapsOf(const std::optional<IconImage>& image) {
  std::vector<IconImage> pixmaps;
  if (!image) return pixmaps;
  const int side = std::max(image->width, image->height);
  for (const int s : kPixmapSides)
    if (s < side) pixmaps.push_back(image->Fitted(s));
  pixmaps.push_back(image->Fitted(kMaxPixmapSide));
  return pixmaps;
}

// The session bus of the desktop, without ever starting one (as the library's own lookup may,
// through X11 autolaunch): the announced address, else the per-user socket.
std::string SessionBusAddress() {
  const std::string announced = GetEnvString("DBUS_SESSION_BUS_ADDRESS");
  if (!announced.empty()) return announced;
  const std::string runtime = GetEnvString("XDG_RUNTIME_DIR");
  if (runtime.empty() || !PathExists(runtime + "/bus")) return {};
  gchar* escaped = g_dbus_address_escape_value((runtime + "/bus").c_str());
  std::string address = std::string("unix:path=") + escaped;
  g_free(escaped);
  return address;
}

// Unique name of the owner of `name`; empty when nobody owns it.
std::string NameOwner(GDBusConnection* connection, const char* name) {
  GVariant* reply = g_dbus_connection_call_sync(
      connection, "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus",
      "GetNameOwner", g_variant_new("(s)", name), G_VARIANT_TYPE("(s)"), G_DBUS_CALL_FLAGS_NONE,
      kWatcherQueryTimeoutMs, nullptr, nullptr);
  if (reply == nullptr) return {};
  const gchar* owner = nullptr;
  g_variant_get(reply, "(&s)", &owner);
  std::string result = owner != nullptr ? owner : "";
  g_variant_unref(reply);
  return result;
}

}  // namespace

class StatusIcon::Impl {
 public:
  explicit Impl(StatusIconSpec spec) : spec_(std::move(spec)) {}

  ~Impl() {
    if (thread_.joinable()) {
      Post([this] { g_main_loop_quit(loop_); });
      thread_.join();
    }
    if (loop_ != nullptr) g_main_loop_unref(loop_);
    if (context_ != nullptr) g_main_context_unref(context_);
  }

  bool Start() {
    context_ = g_main_context_new();
    loop_ = g_main_loop_new(context_, FALSE);
    try {
      thread_ = std::thread([this] { Run(); });
    } catch (const std::system_error&) {
      return false;  // no thread to spare: no icon
    }
    std::unique_lock lock(readyMutex_);
    readyChanged_.wait_for(lock, kStartTimeout, [this] { return ready_; });
    return true;
  }

  void SetTooltip(const std::string& tooltip) {
    Post([this, tooltip] {
      spec_.tooltip = tooltip;
      if (sni_) sni_->SetTooltip(tooltip);
    });
  }

  void SetMenu(const std::vector<TrayMenuEntry>& entries) {
    Post([this, entries] {
      spec_.menu = entries;
      if (menu_) menu_->SetEntries(entries);
    });
  }

  std::atomic<StatusIconKind> kind{StatusIconKind::None};
  std::atomic<bool> visible{false};

 private:
  // Runs `work` on the icon thread.
  void Post(std::function<void()> work) {
    GSource* source = g_idle_source_new();
    g_source_set_callback(
        source,
        [](gpointer data) -> gboolean {
          (*static_cast<std::function<void()>*>(data))();
          return G_SOURCE_REMOVE;
        },
        new std::function<void()>(std::move(work)),
        [](gpointer data) { delete static_cast<std::function<void()>*>(data); });
    g_source_attach(source, context_);
    g_source_unref(source);
  }

  void Run() {
    g_main_context_push_thread_default(context_);
    const std::optional<IconImage> image = IconImage::Load(spec_.iconPath);
    ConnectBus(PixmapsOf(image));
    OpenTray(image ? image->Fitted(kMaxPixmapSide) : IconImage{});

    // The first attempt, synchronously, so that Create can tell the kind.
    const std::string watcher =
        sni_ ? NameOwner(connection_, SniItem::kWatcherName) : std::string();
    if (!watcher.empty() && sni_->RegisterSync(kRegisterTimeoutMs)) {
      registeredWith_ = watcher;
      SetKind(StatusIconKind::Sni, true);
    } else {
      FallBack();
    }
    if (connection_ != nullptr)
      watch_ = g_bus_watch_name_on_connection(connection_, SniItem::kWatcherName,
                                              G_BUS_NAME_WATCHER_FLAGS_NONE, &OnWatcherAppeared,
                                              &OnWatcherVanished, this, nullptr);
    {
      std::lock_guard lock(readyMutex_);
      ready_ = true;
    }
    readyChanged_.notify_all();

    g_main_loop_run(loop_);
    stopping_ = true;

    if (watch_ != 0) g_bus_unwatch_name(watch_);
    if (trayWatch_ != nullptr) {
      g_source_destroy(trayWatch_);
      g_source_unref(trayWatch_);
    }
    sni_.reset();
    menu_.reset();
    tray_.reset();
    if (connection_ != nullptr) {
      g_dbus_connection_close_sync(connection_, nullptr, nullptr);
      g_object_unref(connection_);
    }
    // Sources still queued (late setters) are dropped with the context.
    while (g_main_context_iteration(context_, FALSE)) {
    }
    g_main_context_pop_thread_default(context_);
  }

  void ConnectBus(std::vector<IconImage> pixmaps) {
    const std::string address = SessionBusAddress();
    if (address.empty()) return;
    // A connection of our own: its messages are dispatched on this thread, and closing it at
    // the end takes the item off the bus at once.
    connection_ = g_dbus_connection_new_for_address_sync(
        address.c_str(),
        static_cast<GDBusConnectionFlags>(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                                          G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION),
        nullptr, nullptr, nullptr);
    if (connection_ == nullptr) return;
    g_dbus_connection_set_exit_on_close(connection_, FALSE);
    menu_ = std::make_unique<DbusMenu>([this](int command) {
      if (spec_.onMenuCommand) spec_.onMenuCommand(command);
    });
    menu_->SetEntries(spec_.menu);
    SniItemCallbacks callbacks;
    callbacks.onActivate = [this](int, int) {
      if (spec_.onActivate) spec_.onActivate();
    };
    callbacks.onContextMenu = [this](int x, int y) {
      if (spec_.onContextMenu) spec_.onContextMenu(x, y);
    };
    sni_ = std::make_unique<SniItem>(spec_.id, spec_.title, spec_.tooltip, std::move(pixmaps),
                                     std::move(callbacks));
    if (!menu_->Export(connection_, SniItem::kMenuPath) || !sni_->ExportItem(connection_)) {
      sni_.reset();
      menu_.reset();
    }
  }

  void OpenTray(IconImage image) {
    XEmbedCallbacks callbacks;
    callbacks.onActivate = [this] {
      if (spec_.onActivate) spec_.onActivate();
    };
    callbacks.onContextMenu = [this](int x, int y) {
      if (spec_.onContextMenu) spec_.onContextMenu(x, y);
    };
    callbacks.onManagerChanged = [this](bool present) { OnTrayManagerChanged(present); };
    tray_ = std::make_unique<XEmbedIcon>(spec_.title, std::move(image), std::move(callbacks));
    if (!tray_->Open()) {
      tray_.reset();
      return;
    }
    trayWatch_ = g_unix_fd_source_new(tray_->Fd(), G_IO_IN);
    const GUnixFDSourceFunc ready = [](gint, GIOCondition, gpointer self) -> gboolean {
      static_cast<Impl*>(self)->DispatchTray();
      return G_SOURCE_CONTINUE;
    };
    // The descriptor source calls back with its own signature, through the generic slot.
    g_source_set_callback(trayWatch_,
                          reinterpret_cast<GSourceFunc>(reinterpret_cast<void (*)()>(ready)), this,
                          nullptr);
    g_source_attach(trayWatch_, context_);
  }

  void DispatchTray() {
    if (!tray_) return;
    if (!tray_->Dispatch()) {  // the display went away: no tray from now on
      g_source_destroy(trayWatch_);
      g_source_unref(trayWatch_);
      trayWatch_ = nullptr;
      tray_.reset();
      if (kind.load() == StatusIconKind::XEmbed) SetKind(StatusIconKind::None, false);
      return;
    }
    if (kind.load() == StatusIconKind::XEmbed) visible.store(tray_->Embedded());
  }

  // No watcher: the X tray if there is one, else nothing.
  void FallBack() {
    if (tray_ && tray_->Dock()) {
      SetKind(StatusIconKind::XEmbed, tray_->Embedded());
      // Waiting for replies may have queued events that the descriptor no longer announces.
      Post([this] { DispatchTray(); });
    } else {
      SetKind(StatusIconKind::None, false);
    }
  }

  void OnTrayManagerChanged(bool present) {
    if (kind.load() == StatusIconKind::Sni) return;
    if (present) {
      FallBack();
    } else if (kind.load() == StatusIconKind::XEmbed) {
      SetKind(StatusIconKind::None, false);
    }
  }

  static void OnWatcherAppeared(GDBusConnection*, const gchar*, const gchar* owner,
                                gpointer self) {
    auto* impl = static_cast<Impl*>(self);
    if (!impl->sni_ || impl->registeredWith_ == owner) return;
    impl->sni_->RegisterAsync([impl, watcher = std::string(owner)](bool ok) {
      if (!ok || impl->stopping_) return;
      impl->registeredWith_ = watcher;
      if (impl->tray_) impl->tray_->Undock();
      impl->SetKind(StatusIconKind::Sni, true);
    });
  }

  static void OnWatcherVanished(GDBusConnection*, const gchar*, gpointer self) {
    auto* impl = static_cast<Impl*>(self);
    impl->registeredWith_.clear();
    if (impl->kind.load() == StatusIconKind::Sni) impl->FallBack();
  }

  void SetKind(StatusIconKind newKind, bool shown) {
    if (stopping_) return;
    visible.store(shown);
    const StatusIconKind old = kind.exchange(newKind);
    if (old != newKind && ready_ && spec_.onKindChanged) spec_.onKindChanged(newKind);
  }

  StatusIconSpec spec_;  // icon thread, once started
  GMainContext* context_ = nullptr;
  GMainLoop* loop_ = nullptr;
  std::thread thread_;
  std::mutex readyMutex_;
  std::condition_variable readyChanged_;
  bool ready_ = false;  // written under readyMutex_, read on the icon thread afterwards

  GDBusConnection* connection_ = nullptr;
  guint watch_ = 0;
  std::string registeredWith_;  // unique name of the watcher holding our registration
  bool stopping_ = false;
  std::unique_ptr<SniItem> sni_;
  std::unique_ptr<DbusMenu> menu_;
  std::unique_ptr<XEmbedIcon> tray_;
  GSource* trayWatch_ = nullptr;
};

std::unique_ptr<StatusIcon> StatusIcon::Create(const StatusIconSpec& spec) {
  auto impl = std::make_unique<Impl>(spec);
  if (!impl->Start()) return nullptr;
  return std::unique_ptr<StatusIcon>(new StatusIcon(std::move(impl)));
}

StatusIcon::StatusIcon(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}

StatusIcon::~StatusIcon() = default;

void StatusIcon::SetTooltip(const std::string& tooltip) { impl_->SetTooltip(tooltip); }

void StatusIcon::SetMenu(const std::vector<TrayMenuEntry>& entries) { impl_->SetMenu(entries); }

StatusIconKind StatusIcon::Kind() const { return impl_->kind.load(); }

bool StatusIcon::IsVisible() const { return impl_->visible.load(); }

}  // namespace platform
