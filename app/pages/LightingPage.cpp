// The lighting page: the keyboard preview, the list of effects, brightness and speed, the
// custom colour slot and the music-lighting choices.
#include <string>

#include "app/WindowIds.h"
#include "app/pages/Pages.h"
#include "docs/LangSettings.h"
#include "tavex/KeyboardCtrl.h"
#include "tavex/MComboBox.h"
#include "tavex/MText.h"
#include "tavex/Sliders.h"

using Tavex::CRect;

namespace {

constexpr unsigned kPanelFill = 0x1E1A1A;  // COLORREF
constexpr int kLevelMaximum = 4;           // brightness and speed steps 0-4
constexpr int kGainMaximum = 100;          // position / 50 is the music gain
constexpr int kGainDefault = 50;
constexpr int kColourSlots = 3;
constexpr int kFirstMusicText = 101;
constexpr int kMusicChoices = 3;
constexpr int kIntervalsMs[] = {33, 66, 99};

}  // namespace

void BuildLightingPage(PageBuilder& page, WindowControls& out) {
  out.keyboards[1] = page.Keyboard(ids::kLightKeyboard, Tavex::KeyboardCtrl::kModePreview);

  page.Area(ids::kLightListPanel, CRect(70, 468, 290, 712), kPanelFill, 0);
  page.List(ids::kLightList, CRect(76, 474, 284, 708), false);

  page.Area(ids::kLightPanel, CRect(300, 468, 1190, 712), kPanelFill, 0);
  page.Label(ids::kBrightnessLabel, CRect(316, 480, 440, 508), 71);
  if (auto* s = page.Slider(ids::kBrightnessSlider, CRect(450, 484, 700, 504), kLevelMaximum))
    s->SetScale(kLevelMaximum + 1);
  page.Label(ids::kSpeedLabel, CRect(740, 480, 860, 508), 72);
  if (auto* s = page.Slider(ids::kSpeedSlider, CRect(870, 484, 1120, 504), kLevelMaximum))
    s->SetScale(kLevelMaximum + 1);

  if (auto* slot = page.Combo(ids::kColourSlot, CRect(316, 532, 496, 562))) {
    page.Texts().Custom([slot] {
      const int selected = slot->GetCurSel();
      slot->DelAllItems();
      const std::string custom = GetLangText(ids::text::kCustomSlot);
      for (int i = 1; i <= kColourSlots; ++i)
        slot->AddItem((custom + " " + std::to_string(i)).c_str(), i);
      slot->SetCurSel(selected < 0 ? 0 : selected);
    });
  }
  page.Button(ids::kLightApply, CRect(1050, 650, 1170, 684), 24);

  page.Label(ids::kMusicLabel, CRect(316, 590, 440, 618), 74);
  page.TextCombo(ids::kMusicChoice, CRect(450, 590, 630, 620), kFirstMusicText, kMusicChoices);
  page.Label(ids::kGainLabel, CRect(740, 590, 860, 618), 75);
  if (auto* s = page.Slider(ids::kGainSlider, CRect(870, 594, 1120, 614), kGainMaximum))
    s->SetProgress(kGainDefault);
  page.Label(ids::kIntervalLabel, CRect(316, 650, 440, 678), 76);
  if (auto* interval = page.Combo(ids::kMusicInterval, CRect(450, 650, 630, 680))) {
    for (int ms : kIntervalsMs) interval->AddItem((std::to_string(ms) + "ms").c_str(), ms);
    interval->SetCurSel(0);
  }
}
