// The key page: the keyboard picture, the profile list with its six buttons, and the palette
// of key functions.
#include <iterator>

#include "app/WindowIds.h"
#include "app/pages/Pages.h"
#include "docs/LangSettings.h"
#include "tavex/KeyFuncControl.h"
#include "tavex/KeyboardCtrl.h"

using Tavex::CRect;

namespace {

constexpr unsigned kPanelFill = 0x1E1A1A;  // COLORREF
constexpr int kButtonSize = 30;
constexpr int kButtonPitch = 34;
constexpr int kFirstFunctionCode = 232;  // media and web functions 232-249 ...
constexpr int kLastFunctionCode = 249;
constexpr int kFunctionTextOffset = 500;  // ... are named by texts 732-749

struct ProfileButton {
  unsigned id;
  const char* image;
  int tooltip;
};
constexpr ProfileButton kProfileButtons[] = {
    {ids::kProfileAdd, "imgbtn_add.png", 62},       {ids::kProfileDelete, "imgbtn_del.png", 63},
    {ids::kProfileRename, "imgbtn_edit.png", 64},   {ids::kProfileReset, "imgbtn_reset.png", 66},
    {ids::kProfileImport, "imgbtn_import.png", 67}, {ids::kProfileExport, "imgbtn_export.png", 68},
};

}  // namespace

void BuildKeyPage(PageBuilder& page, WindowControls& out) {
  out.keyboards[0] = page.Keyboard(ids::kKeyKeyboard, Tavex::KeyboardCtrl::kModeAssign);

  page.Area(ids::kKeyPanel, CRect(70, 468, 290, 712), kPanelFill, 0);
  page.Label(ids::kProfileTitle, CRect(80, 472, 280, 500), ids::text::kProfiles, 14);
  int left = 80;
  for (const ProfileButton& b : kProfileButtons) {
    page.ImageButton(b.id, CRect(left, 504, left + kButtonSize, 504 + kButtonSize), b.image,
                     b.tooltip);
    left += kButtonPitch;
  }
  page.List(ids::kProfileList, CRect(76, 542, 284, 708), true);

  auto* functions = static_cast<Tavex::KeyFuncControl*>(
      page.Make("KeyFuncControl", ids::kKeyFunctions, CRect(296, 468, 1199, 712)));
  if (functions != nullptr) {
    page.Texts().Custom([functions] {
      for (int code = kFirstFunctionCode; code <= kLastFunctionCode; ++code)
        functions->SetItemDesc(code, GetLangText(code + kFunctionTextOffset).c_str());
    });
  }
}
