// The window frame: background, title bar with the system buttons, the vertical tab strip, the
// page header and the five page panels every page builder fills.
#include <iterator>

#include "app/WindowIds.h"
#include "app/pages/Pages.h"
#include "docs/LangSettings.h"
#include "tavex/Buttons.h"
#include "tavex/MDialog.h"
#include "tavex/MTabCtrl.h"
#include "tavex/MTabLayout.h"
#include "tavex/MText.h"
#include "tavex/Pictures.h"

using Tavex::CRect;

namespace {

constexpr unsigned kPanelColour = 0xC8C8C8;  // COLORREF
constexpr int kPanelTransparency = 50;
constexpr unsigned kFrameColour = 0x0051CA;  // COLORREF of the accent
constexpr int kTitleHeight = 50;
constexpr int kHeaderBottom = 100;
constexpr int kStripWidth = 60;
constexpr int kSysButtonWidth = 40;
constexpr int kSysButtonHeight = 32;
constexpr int kStripTop = 110;
constexpr int kTitleFontSize = 17;
constexpr int kHeaderFontSize = 18;

struct TabItem {
  int item;
  int text;
  const char* icon;
};
constexpr TabItem kTabItems[] = {
    {ids::kItemHome, ids::text::kTabHome, "icon/tab_home.png"},
    {ids::kItemKeys, ids::text::kTabKeys, "icon/tab_customkey.png"},
    {ids::kItemMacros, ids::text::kTabMacros, "icon/tab_macro.png"},
    {ids::kItemLighting, ids::text::kTabLighting, "icon/tab_light.png"},
    {ids::kItemSettings, ids::text::kTabSettings, "icon/tab_config.png"},
};
constexpr unsigned kPageIds[] = {ids::kHomePage, ids::kKeyPage, ids::kMacroPage,
                                 ids::kLightingPage, ids::kSettingsPage};

}  // namespace

CRect DefaultKeyboardRect() { return CRect(130, 110, 1130, 460); }

int PageIndexOfItem(int item) {
  for (int i = 0; i < static_cast<int>(std::size(kTabItems)); ++i)
    if (kTabItems[i].item == item) return i;
  return -1;
}

void BuildFrame(Tavex::MDialog& dialog, WindowTexts& texts, WindowControls& out) {
  PageBuilder frame(dialog, nullptr, texts);
  const int width = ids::kWindowWidth;
  const int height = ids::kWindowHeight;
  frame.Picture(ids::kBackground, CRect(0, 0, width, height), "main_bkg.png");
  frame.Area(ids::kTitlePanel, CRect(0, 0, width, kTitleHeight), kPanelColour, 90);
  frame.Area(ids::kStripPanel, CRect(0, kTitleHeight, kStripWidth, height), kPanelColour, 94);
  frame.Area(ids::kHeaderPanel, CRect(kStripWidth, kTitleHeight, width, kHeaderBottom),
             kPanelColour, 96);
  frame.Area(ids::kStatusPanel, CRect(kStripWidth, height - 2, width, height), kPanelColour,
             kPanelTransparency);
  frame.Area(ids::kTitleFrame, CRect(0, kTitleHeight - 1, width, kTitleHeight), kFrameColour, 0);
  frame.Area(ids::kHeaderFrame, CRect(kStripWidth, kHeaderBottom - 1, width, kHeaderBottom),
             0x3A3A3A, 0);
  frame.Picture(ids::kTitleLogo, CRect(12, 5, 212, 45), "logo/logo.png");
  out.caption = frame.Label(ids::kCaptionText, CRect(224, 10, 560, 40), 0, kTitleFontSize);
  out.version = frame.Label(ids::kVersionText, CRect(width - 300, 10, width - 140, 40), 0, 12,
                            PageBuilder::kDimTextColour);
  if (out.version != nullptr) out.version->SetAlignment(DT_RIGHT);

  const int right = width;
  frame.ImageButton(ids::kWebButton,
                    CRect(right - 3 * kSysButtonWidth, 0, right - 2 * kSysButtonWidth,
                          kSysButtonHeight),
                    "main_sysbtn_website.png", ids::text::kWebsite);
  frame.ImageButton(ids::kMinimizeButton,
                    CRect(right - 2 * kSysButtonWidth, 0, right - kSysButtonWidth,
                          kSysButtonHeight),
                    "main_sysbtn_min.png", ids::text::kMinimize);
  // Its tooltip follows the close choice; the window sets it.
  out.closeButton = frame.ImageButton(
      ids::kCloseButton, CRect(right - kSysButtonWidth, 0, right, kSysButtonHeight),
      "main_sysbtn_close.png", 0);

  // Page header: icon and title of the current page.
  out.headerIcon = frame.Picture(ids::kHeaderIcon, CRect(80, 63, 104, 87), nullptr);
  out.pageTitle = frame.Label(ids::kPageTitle, CRect(114, 55, 600, 95), 0, kHeaderFontSize);

  // Pages: panels over the whole area right of the strip; only the current one is visible.
  const CRect pageRect(kStripWidth, kTitleHeight, width, height);
  for (int i = 0; i < static_cast<int>(std::size(kPageIds)); ++i) {
    out.pages[i] = static_cast<Tavex::MPanel*>(
        dialog.CreateControl("MTabLayout", kPageIds[i], pageRect, nullptr, i == 0 ? 1 : 0, 1));
    if (out.pages[i] != nullptr) out.pages[i]->SetEnableScroll(0);
  }

  out.tabs = static_cast<Tavex::MTabCtrl*>(dialog.CreateControl(
      "MTabCtrl", ids::kTabStrip,
      CRect(0, kStripTop, kStripWidth, kStripTop + 5 * ids::kTabItemSize), "", 0, 1));
  if (out.tabs == nullptr) return;
  out.tabs->SetTabType(Tavex::TAB_VERTICAL);
  for (const TabItem& item : kTabItems) {
    const int index = out.tabs->InsertItem(static_cast<unsigned>(item.item), "", item.icon,
                                           nullptr);
    Tavex::MTabCtrl* tabs = out.tabs;
    const int text = item.text;
    texts.Custom([tabs, index, text] { tabs->SetTabTooltip(index, GetLangText(text).c_str()); });
  }
  // Item sizes apply to the items present.
  out.tabs->SetTabCtrlWidth(ids::kTabItemSize);
  out.tabs->SetItemWidth(ids::kTabItemSize, ids::kTabItemSize, 0);
  out.tabs->SetItemHeight(ids::kTabItemSize, ids::kTabItemSize, 1);
  out.tabs->SetSelectItem(0);
}
