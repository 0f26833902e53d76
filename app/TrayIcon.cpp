#include "app/TrayIcon.h"

#include <cstdint>
#include <vector>

#include "app/WindowIds.h"
#include "docs/LangSettings.h"
#include "platform/StatusIcon.h"
#include "tavex/Codes.h"
#include "tavex/Native.h"

namespace {

constexpr unsigned kCoordinateBits = 16;
constexpr uint32_t kCoordinateMask = 0xFFFF;

std::vector<platform::TrayMenuEntry> MenuEntries() {
  return {{ids::kTrayCloseOptions, GetLangText(ids::text::kCloseOptions)},
          {ids::kTrayExit, GetLangText(ids::text::kExit)}};
}

}  // namespace

std::unique_ptr<TrayIcon> TrayIcon::Add(HWND window, const std::string& tooltip,
                                        const std::string& iconPath) {
  platform::StatusIconSpec spec;
  spec.id = ids::kInstanceName;
  spec.title = ids::kInstanceName;
  spec.iconPath = iconPath;
  spec.tooltip = tooltip;
  spec.menu = MenuEntries();
  spec.onActivate = [window] {
    Tavex::Native::PostMessage(window, Tavex::WM_TRAYNOTIFY, 0, WM_LBUTTONDOWN);
  };
  spec.onContextMenu = [window](int x, int y) {
    Tavex::Native::PostMessage(window, Tavex::WM_TRAYNOTIFY, PackPoint(x, y), WM_RBUTTONUP);
  };
  spec.onMenuCommand = [window](int command) {
    Tavex::Native::PostMessage(window, WM_COMMAND, 0, command);
  };
  std::unique_ptr<platform::StatusIcon> icon = platform::StatusIcon::Create(spec);
  if (!icon) return nullptr;
  return std::unique_ptr<TrayIcon>(new TrayIcon(std::move(icon)));
}

TrayIcon::TrayIcon(std::unique_ptr<platform::StatusIcon> icon) : icon_(std::move(icon)) {}

TrayIcon::~TrayIcon() = default;

bool TrayIcon::Available() const {
  return icon_->Kind() != platform::StatusIconKind::None;
}

void TrayIcon::SetTexts() { icon_->SetMenu(MenuEntries()); }

WPARAM TrayIcon::PackPoint(int x, int y) {
  return static_cast<WPARAM>((static_cast<uint32_t>(x) & kCoordinateMask) |
                             ((static_cast<uint32_t>(y) & kCoordinateMask) << kCoordinateBits));
}

POINT TrayIcon::PointOfTrayMessage(WPARAM wParam) {
  const auto bits = static_cast<uint32_t>(wParam);
  return POINT{static_cast<int16_t>(bits & kCoordinateMask),
               static_cast<int16_t>((bits >> kCoordinateBits) & kCoordinateMask)};
}
