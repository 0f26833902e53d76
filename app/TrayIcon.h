// The main window's icon in the desktop's status area, with its two menu entries (close options,
// exit). What the icon reports arrives at the window as posted messages: WM_TRAYNOTIFY with
// lParam WM_LBUTTONDOWN (activate) or WM_RBUTTONUP (context menu; wParam packs the screen point,
// see PointOfTrayMessage), and WM_COMMAND with the chosen command in lParam.
//
// Ownership: belongs to the main window; destruction removes the icon. Threads: UI thread; the
// icon's own thread only posts.
#pragma once

#include <memory>
#include <string>

#include "tavex/WinTypes.h"

namespace platform {
class StatusIcon;
}

class TrayIcon {
 public:
  // Adds the icon for `window`, tooltip `tooltip`, picture from `iconPath`. Null when the icon
  // service could not start at all.
  static std::unique_ptr<TrayIcon> Add(HWND window, const std::string& tooltip,
                                       const std::string& iconPath);
  ~TrayIcon();
  TrayIcon(const TrayIcon&) = delete;
  TrayIcon& operator=(const TrayIcon&) = delete;

  // Whether some status area shows the icon (else hiding the window would lose it).
  bool Available() const;
  // Sets the menu entries' texts again from the current language.
  void SetTexts();

  static WPARAM PackPoint(int x, int y);
  static POINT PointOfTrayMessage(WPARAM wParam);

 private:
  explicit TrayIcon(std::unique_ptr<platform::StatusIcon> icon);
  std::unique_ptr<platform::StatusIcon> icon_;
};
