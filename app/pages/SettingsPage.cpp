// The settings page: language, autostart, profile and factory resets, and the two updates.
#include "app/WindowIds.h"
#include "app/pages/Pages.h"
#include "docs/LangSettings.h"
#include "tavex/Buttons.h"
#include "tavex/CheckButtons.h"
#include "tavex/KeyboardCtrl.h"
#include "tavex/MComboBox.h"

using Tavex::CRect;

namespace {

constexpr unsigned kPanelFill = 0x1E1A1A;  // COLORREF
constexpr int kSectionFontSize = 15;
constexpr int kButtonFontSize = 14;

Tavex::UpgradeButton* Upgrade(PageBuilder& page, unsigned id, CRect rect, int text) {
  auto* button = static_cast<Tavex::UpgradeButton*>(page.Make("UpgradeButton", id, rect, ""));
  if (button == nullptr) return nullptr;
  button->SetImage("btn_apply.png", 4);
  button->SetFontWidth(kButtonFontSize);
  page.Texts().Caption(button, text);
  return button;
}

}  // namespace

void BuildSettingsPage(PageBuilder& page, WindowControls& out) {
  // The settings page shows the chosen keyboard as the other pages do, as a picture only: it
  // takes no clicks, so no key outline suggests that a key can be picked here.
  out.keyboards[2] = page.Keyboard(ids::kSettingsKeyboard, Tavex::KeyboardCtrl::kModeAssign);
  if (out.keyboards[2] != nullptr) out.keyboards[2]->SetRresponse(0);

  page.Area(ids::kSettingsPanel, CRect(70, 468, 1190, 712), kPanelFill, 0);
  page.Label(ids::kGeneralLabel, CRect(90, 478, 480, 506), 126, kSectionFontSize);
  page.Label(ids::kLanguageLabel, CRect(90, 516, 200, 546), 120);
  out.language = page.Combo(ids::kLanguageList, CRect(210, 516, 430, 546));
  if (out.language != nullptr) {
    // Each language names itself, so these two are not translated.
    out.language->AddItem("Chinese(简体中文)", kLangChinese);
    out.language->AddItem("English", kLangEnglish);
  }
  out.autostart = page.Check(ids::kAutostartCheck, CRect(90, 562, 480, 588), 121);

  page.Label(ids::kMaintenanceLabel, CRect(520, 478, 820, 506), 127, kSectionFontSize);
  page.Button(ids::kResetProfileButton, CRect(520, 514, 760, 548), 122);
  page.Button(ids::kFactoryResetButton, CRect(520, 560, 760, 594), 123);

  page.Label(ids::kUpdatesLabel, CRect(860, 478, 1180, 506), 128, kSectionFontSize);
  Upgrade(page, ids::kSoftwareUpdate, CRect(860, 514, 1080, 548), 124);
  Upgrade(page, ids::kFirmwareUpdate, CRect(860, 560, 1080, 594), 125);
}
