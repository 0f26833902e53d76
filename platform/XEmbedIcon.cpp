#include "platform/XEmbedIcon.h"

#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

namespace platform {
namespace {

constexpr std::uint32_t kSystemTrayRequestDock = 0;
constexpr std::uint32_t kXEmbedVersion = 0;
constexpr std::uint32_t kXEmbedMapped = 1;
constexpr int kInitialSide = 22;
constexpr int kMaxDrawnSide = 256;
constexpr std::uint8_t kLeftButton = 1;
constexpr std::uint8_t kRightButton = 3;
constexpr std::uint8_t kEventTypeMask = 0x7F;  // strips the "sent by a client" bit

template <typename T>
using Reply = std::unique_ptr<T, decltype(&std::free)>;

template <typename T>
Reply<T> Own(T* reply) {
  return Reply<T>(reply, &std::free);
}

std::uint8_t DepthOfVisual(const xcb_screen_t* screen, xcb_visualid_t visual) {
  for (auto d = xcb_screen_allowed_depths_iterator(screen); d.rem; xcb_depth_next(&d)) {
    for (auto v = xcb_depth_visuals_iterator(d.data); v.rem; xcb_visualtype_next(&v)) {
      if (v.data->visual_id == visual) return d.data->depth;
    }
  }
  return 0;
}

// Source-over of an unpremultiplied ARGB pixel onto a background pixel (alpha ignored).
std::uint32_t Over(std::uint32_t src, std::uint32_t dst) {
  const std::uint32_t a = src >> 24;
  std::uint32_t out = 0xFF000000;
  for (int shift = 0; shift <= 16; shift += 8) {
    const std::uint32_t s = (src >> shift) & 0xFF, d = (dst >> shift) & 0xFF;
    out |= ((s * a + d * (255 - a) + 127) / 255) << shift;
  }
  return out;
}

std::uint32_t Premultiplied(std::uint32_t p) {
  const std::uint32_t a = p >> 24;
  std::uint32_t out = a << 24;
  for (int shift = 0; shift <= 16; shift += 8)
    out |= ((((p >> shift) & 0xFF) * a + 127) / 255) << shift;
  return out;
}

std::uint32_t ByteSwapped(std::uint32_t v) {
  return (v >> 24) | ((v >> 8) & 0xFF00) | ((v << 8) & 0xFF0000) | (v << 24);
}

bool HostIsLittleEndian() {
  const std::uint16_t probe = 1;
  return *reinterpret_cast<const std::uint8_t*>(&probe) == 1;
}

}  // namespace

XEmbedIcon::XEmbedIcon(std::string title, IconImage image, XEmbedCallbacks callbacks)
    : title_(std::move(title)), image_(std::move(image)), callbacks_(std::move(callbacks)) {}

XEmbedIcon::~XEmbedIcon() {
  if (connection_ == nullptr) return;
  Undock();
  xcb_flush(connection_);
  xcb_disconnect(connection_);
}

std::uint32_t XEmbedIcon::Intern(const char* name) {
  const auto cookie = xcb_intern_atom(connection_, 0, static_cast<std::uint16_t>(strlen(name)), name);
  const auto reply = Own(xcb_intern_atom_reply(connection_, cookie, nullptr));
  return reply ? reply->atom : 0;
}

bool XEmbedIcon::Open() {
  if (connection_ != nullptr) return true;
  xcb_connection_t* c = xcb_connect(nullptr, &screen_);
  if (xcb_connection_has_error(c)) {
    xcb_disconnect(c);
    return false;
  }
  connection_ = c;
  auto it = xcb_setup_roots_iterator(xcb_get_setup(c));
  for (int i = 0; i < screen_ && it.rem; ++i) xcb_screen_next(&it);
  if (!it.rem) return false;
  root_ = it.data->root;
  rootVisual_ = it.data->root_visual;
  rootDepth_ = it.data->root_depth;
  selection_ = Intern(("_NET_SYSTEM_TRAY_S" + std::to_string(screen_)).c_str());
  managerAtom_ = Intern("MANAGER");
  opcodeAtom_ = Intern("_NET_SYSTEM_TRAY_OPCODE");
  visualAtom_ = Intern("_NET_SYSTEM_TRAY_VISUAL");
  xembedInfoAtom_ = Intern("_XEMBED_INFO");
  netWmNameAtom_ = Intern("_NET_WM_NAME");
  utf8Atom_ = Intern("UTF8_STRING");
  // A new tray manager announces itself to the root window's structure listeners.
  const std::uint32_t mask = XCB_EVENT_MASK_STRUCTURE_NOTIFY;
  xcb_change_window_attributes(c, root_, XCB_CW_EVENT_MASK, &mask);
  xcb_flush(c);
  return true;
}

int XEmbedIcon::Fd() const {
  return connection_ != nullptr ? xcb_get_file_descriptor(connection_) : -1;
}

std::uint32_t XEmbedIcon::ManagerWindow() {
  if (connection_ == nullptr || selection_ == 0) return 0;
  const auto reply = Own(xcb_get_selection_owner_reply(
      connection_, xcb_get_selection_owner(connection_, selection_), nullptr));
  return reply ? reply->owner : 0;
}

bool XEmbedIcon::Dock() {
  const std::uint32_t manager = ManagerWindow();
  if (manager == 0) return false;
  if (window_ != 0 && manager == manager_) return true;
  Undock();
  manager_ = manager;
  // Hear of the manager's end, to take the icon back.
  const std::uint32_t managerMask = XCB_EVENT_MASK_STRUCTURE_NOTIFY;
  xcb_change_window_attributes(connection_, manager_, XCB_CW_EVENT_MASK, &managerMask);

  // The manager may name a visual with alpha for its icons.
  const xcb_screen_t* screen = nullptr;
  for (auto it = xcb_setup_roots_iterator(xcb_get_setup(connection_)); it.rem; xcb_screen_next(&it))
    if (it.data->root == root_) screen = it.data;
  xcb_visualid_t visual = rootVisual_;
  depth_ = rootDepth_;
  const auto prop = Own(xcb_get_property_reply(
      connection_,
      xcb_get_property(connection_, 0, manager_, visualAtom_, XCB_ATOM_VISUALID, 0, 1), nullptr));
  if (prop && prop->format == 32 && xcb_get_property_value_length(prop.get()) == 4 && screen) {
    const auto offered = *static_cast<const xcb_visualid_t*>(xcb_get_property_value(prop.get()));
    if (DepthOfVisual(screen, offered) == 32) {
      visual = offered;
      depth_ = 32;
    }
  }

  window_ = xcb_generate_id(connection_);
  width_ = height_ = kInitialSide;
  const std::uint32_t events = XCB_EVENT_MASK_EXPOSURE | XCB_EVENT_MASK_STRUCTURE_NOTIFY |
                               XCB_EVENT_MASK_BUTTON_PRESS | XCB_EVENT_MASK_BUTTON_RELEASE;
  if (depth_ == 32) {
    colormap_ = xcb_generate_id(connection_);
    xcb_create_colormap(connection_, XCB_COLORMAP_ALLOC_NONE, colormap_, root_, visual);
    const std::uint32_t values[] = {0, 0, events, colormap_};
    xcb_create_window(connection_, depth_, window_, root_, 0, 0, kInitialSide, kInitialSide, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, visual,
                      XCB_CW_BACK_PIXEL | XCB_CW_BORDER_PIXEL | XCB_CW_EVENT_MASK |
                          XCB_CW_COLORMAP,
                      values);
  } else {
    const std::uint32_t values[] = {XCB_BACK_PIXMAP_PARENT_RELATIVE, events};
    xcb_create_window(connection_, XCB_COPY_FROM_PARENT, window_, root_, 0, 0, kInitialSide,
                      kInitialSide, 0, XCB_WINDOW_CLASS_INPUT_OUTPUT, visual,
                      XCB_CW_BACK_PIXMAP | XCB_CW_EVENT_MASK, values);
  }
  const std::uint32_t info[] = {kXEmbedVersion, kXEmbedMapped};
  xcb_change_property(connection_, XCB_PROP_MODE_REPLACE, window_, xembedInfoAtom_,
                      xembedInfoAtom_, 32, 2, info);
  xcb_change_property(connection_, XCB_PROP_MODE_REPLACE, window_, netWmNameAtom_, utf8Atom_, 8,
                      static_cast<std::uint32_t>(title_.size()), title_.data());

  xcb_client_message_event_t dock{};
  dock.response_type = XCB_CLIENT_MESSAGE;
  dock.format = 32;
  dock.window = manager_;
  dock.type = opcodeAtom_;
  dock.data.data32[0] = XCB_CURRENT_TIME;
  dock.data.data32[1] = kSystemTrayRequestDock;
  dock.data.data32[2] = window_;
  xcb_send_event(connection_, 0, manager_, XCB_EVENT_MASK_NO_EVENT,
                 reinterpret_cast<const char*>(&dock));
  xcb_flush(connection_);
  return true;
}

void XEmbedIcon::Undock() {
  if (connection_ == nullptr) return;
  if (window_ != 0) xcb_destroy_window(connection_, window_);
  if (colormap_ != 0) xcb_free_colormap(connection_, colormap_);
  window_ = colormap_ = manager_ = 0;
  embedded_ = false;
  xcb_flush(connection_);
}

bool XEmbedIcon::Dispatch() {
  if (connection_ == nullptr) return false;
  while (xcb_generic_event_t* event = xcb_poll_for_event(connection_)) {
    HandleEvent(event);
    std::free(event);
  }
  xcb_flush(connection_);
  return !xcb_connection_has_error(connection_);
}

void XEmbedIcon::HandleEvent(const void* raw) {
  const auto* event = static_cast<const xcb_generic_event_t*>(raw);
  switch (event->response_type & kEventTypeMask) {
    case 0:  // an error: a request on a window that went away; nothing to do
      return;
    case XCB_CLIENT_MESSAGE: {
      const auto* e = reinterpret_cast<const xcb_client_message_event_t*>(event);
      if (e->window == root_ && e->type == managerAtom_ && e->data.data32[1] == selection_ &&
          callbacks_.onManagerChanged)
        callbacks_.onManagerChanged(true);
      return;
    }
    case XCB_DESTROY_NOTIFY: {
      const auto* e = reinterpret_cast<const xcb_destroy_notify_event_t*>(event);
      if (e->window == manager_ && manager_ != 0) {
        Undock();
        if (callbacks_.onManagerChanged) callbacks_.onManagerChanged(false);
      }
      return;
    }
    case XCB_REPARENT_NOTIFY: {
      const auto* e = reinterpret_cast<const xcb_reparent_notify_event_t*>(event);
      if (e->window == window_) embedded_ = e->parent != root_;
      return;
    }
    case XCB_CONFIGURE_NOTIFY: {
      const auto* e = reinterpret_cast<const xcb_configure_notify_event_t*>(event);
      if (e->window == window_ && (e->width != width_ || e->height != height_)) {
        width_ = e->width;
        height_ = e->height;
        Draw();
      }
      return;
    }
    case XCB_EXPOSE: {
      const auto* e = reinterpret_cast<const xcb_expose_event_t*>(event);
      if (e->window == window_ && e->count == 0) Draw();
      return;
    }
    case XCB_BUTTON_PRESS: {
      const auto* e = reinterpret_cast<const xcb_button_press_event_t*>(event);
      if (e->event == window_ && e->detail == kLeftButton && callbacks_.onActivate)
        callbacks_.onActivate();
      return;
    }
    case XCB_BUTTON_RELEASE: {
      const auto* e = reinterpret_cast<const xcb_button_release_event_t*>(event);
      if (e->event == window_ && e->detail == kRightButton && callbacks_.onContextMenu)
        callbacks_.onContextMenu(e->root_x, e->root_y);
      return;
    }
    default:
      return;
  }
}

void XEmbedIcon::Draw() {
  if (window_ == 0 || width_ <= 0 || height_ <= 0) return;
  const int w = std::min(width_, kMaxDrawnSide), h = std::min(height_, kMaxDrawnSide);
  const xcb_setup_t* setup = xcb_get_setup(connection_);
  bool bpp32 = false;
  for (auto f = xcb_setup_pixmap_formats_iterator(setup); f.rem; xcb_format_next(&f))
    if (f.data->depth == depth_) bpp32 = f.data->bits_per_pixel == 32;
  if (!bpp32) return;  // other pixel sizes are not drawn; the tray shows its background

  std::vector<std::uint32_t> pixels(static_cast<size_t>(w) * h, 0);
  const bool alpha = depth_ == 32;
  const bool swap = (setup->image_byte_order == XCB_IMAGE_ORDER_LSB_FIRST) != HostIsLittleEndian();
  if (!alpha) {
    // Blend over what the tray shows behind us: the parent-relative background, read back.
    xcb_clear_area(connection_, 0, window_, 0, 0, 0, 0);
    const auto image = Own(xcb_get_image_reply(
        connection_,
        xcb_get_image(connection_, XCB_IMAGE_FORMAT_Z_PIXMAP, window_, 0, 0,
                      static_cast<std::uint16_t>(w), static_cast<std::uint16_t>(h), ~0u),
        nullptr));
    if (image && xcb_get_image_data_length(image.get()) >= static_cast<int>(pixels.size() * 4)) {
      const auto* data = reinterpret_cast<const std::uint32_t*>(xcb_get_image_data(image.get()));
      for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = swap ? ByteSwapped(data[i]) : data[i];
    }
  }
  const IconImage fitted = image_.Fitted(std::min(w, h));
  const int left = (w - fitted.width) / 2, top = (h - fitted.height) / 2;
  for (int y = 0; y < fitted.height; ++y) {
    for (int x = 0; x < fitted.width; ++x) {
      const std::uint32_t src = fitted.argb[static_cast<size_t>(y) * fitted.width + x];
      std::uint32_t& dst = pixels[static_cast<size_t>(y + top) * w + x + left];
      dst = alpha ? Premultiplied(src) : Over(src, dst);
    }
  }
  if (swap)
    for (std::uint32_t& p : pixels) p = ByteSwapped(p);
  const xcb_gcontext_t gc = xcb_generate_id(connection_);
  xcb_create_gc(connection_, gc, window_, 0, nullptr);
  xcb_put_image(connection_, XCB_IMAGE_FORMAT_Z_PIXMAP, window_, gc, static_cast<std::uint16_t>(w),
                static_cast<std::uint16_t>(h), 0, 0, 0, depth_,
                static_cast<std::uint32_t>(pixels.size() * 4),
                reinterpret_cast<const std::uint8_t*>(pixels.data()));
  xcb_free_gc(connection_, gc);
  xcb_flush(connection_);
}

}  // namespace platform
