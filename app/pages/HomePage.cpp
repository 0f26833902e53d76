// The home page: the program logo, the list of keyboards, the connection status and the button
// that allows access to a keyboard this user may not open.
#include "app/WindowIds.h"
#include "app/pages/Pages.h"
#include "tavex/Buttons.h"
#include "tavex/CDeviceCtrl.h"
#include "tavex/MText.h"

using Tavex::CRect;

namespace {
constexpr int kListWidth = 260;
constexpr int kListTop = 290;
constexpr int kListRows = 6;
constexpr int kHintFontSize = 15;
constexpr int kGrantTop = 676;
constexpr int kGrantWidth = 240;
constexpr int kGrantHeight = 30;
}  // namespace

void BuildHomePage(PageBuilder& page, WindowControls& out) {
  const int middle = (ids::kWindowWidth + 60) / 2;
  page.Picture(ids::kHomeLogo, CRect(middle - 100, 160, middle + 100, 200), "logo/logo.png");
  if (auto* hint = page.Label(ids::kHomeHint, CRect(middle - 300, 225, middle + 300, 255),
                              ids::text::kChooseKeyboard, kHintFontSize)) {
    hint->SetAlignment(DT_CENTER);
  }
  out.devices = static_cast<Tavex::CDeviceCtrl*>(page.Make(
      "CDeviceCtrl", ids::kDeviceList,
      CRect(middle - kListWidth / 2, kListTop, middle + kListWidth / 2,
            kListTop + kListRows * Tavex::CDeviceCtrl::kRowPitch),
      ""));
  if (out.devices != nullptr) {
    out.devices->SetImage("img_device_state.png", 4);
    out.devices->SetFontWidth(14);
  }
  out.status = page.Label(ids::kStatusText, CRect(middle - 400, 640, middle + 400, 670),
                          ids::text::kNotConnected, 13, PageBuilder::kDimTextColour);
  if (out.status != nullptr) out.status->SetAlignment(DT_CENTER);
  out.grantAccess = page.Button(
      ids::kGrantAccessButton,
      CRect(middle - kGrantWidth / 2, kGrantTop, middle + kGrantWidth / 2,
            kGrantTop + kGrantHeight),
      ids::text::kGrantAccess);
  if (out.grantAccess != nullptr) out.grantAccess->SetVisible(0);
}
