// The status icon as a small X window docked in the screen's system tray (the
// _NET_SYSTEM_TRAY_S<screen> manager protocol with XEmbed), drawing the icon itself. Left
// button: activate; right button: context menu at the pointer. It keeps watching for a tray
// manager, so that one started later or restarted gets the icon again.
// Icon thread only: the thread that polls Fd() and calls Dispatch(). Uses its own connection.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "platform/IconImage.h"

struct xcb_connection_t;

namespace platform {

struct XEmbedCallbacks {
  std::function<void()> onActivate;
  std::function<void(int x, int y)> onContextMenu;
  // A tray manager appeared (true) or went away (false).
  std::function<void(bool present)> onManagerChanged;
};

class XEmbedIcon {
 public:
  XEmbedIcon(std::string title, IconImage image, XEmbedCallbacks callbacks);
  ~XEmbedIcon();
  XEmbedIcon(const XEmbedIcon&) = delete;
  XEmbedIcon& operator=(const XEmbedIcon&) = delete;

  // Connects to the display. False when there is none.
  bool Open();
  // Descriptor to poll for input; -1 before Open.
  int Fd() const;

  // Creates the icon window and asks the manager to embed it. False when no manager runs.
  bool Dock();
  // Takes the icon out of the tray (destroys its window).
  void Undock();
  // Whether the manager has embedded the window.
  bool Embedded() const { return embedded_; }

  // Handles every queued event. False when the connection broke.
  bool Dispatch();

 private:
  std::uint32_t Intern(const char* name);
  std::uint32_t ManagerWindow();
  void HandleEvent(const void* event);
  void Draw();

  std::string title_;
  IconImage image_;
  XEmbedCallbacks callbacks_;
  xcb_connection_t* connection_ = nullptr;
  int screen_ = 0;
  std::uint32_t root_ = 0;
  std::uint32_t rootVisual_ = 0;
  std::uint8_t rootDepth_ = 0;
  std::uint32_t selection_ = 0;     // _NET_SYSTEM_TRAY_S<screen>
  std::uint32_t manager_ = 0;       // the tray's window we docked into, 0 for none
  std::uint32_t window_ = 0;        // our icon window
  std::uint32_t colormap_ = 0;      // own colormap for a 32-bit visual, 0 otherwise
  std::uint8_t depth_ = 0;
  bool embedded_ = false;
  int width_ = 0;
  int height_ = 0;
  std::uint32_t managerAtom_ = 0;   // MANAGER
  std::uint32_t opcodeAtom_ = 0;    // _NET_SYSTEM_TRAY_OPCODE
  std::uint32_t visualAtom_ = 0;    // _NET_SYSTEM_TRAY_VISUAL
  std::uint32_t xembedInfoAtom_ = 0;
  std::uint32_t netWmNameAtom_ = 0;
  std::uint32_t utf8Atom_ = 0;
};

}  // namespace platform
