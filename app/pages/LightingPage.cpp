// The lighting page: the keyboard preview, the list of effects, brightness and speed, the
// custom colour slot and the music-lighting choices.
#include <string>
#include <utility>

#include "app/WindowIds.h"
#include "app/pages/Pages.h"
#include "docs/LangSettings.h"
#include "tavex/DListBox.h"
#include "tavex/KeyboardCtrl.h"
#include "tavex/MComboBox.h"
#include "tavex/MText.h"
#include "tavex/Sliders.h"

using Tavex::CRect;

namespace {

constexpr unsigned kPanelFill = 0x1E1A1A;  // COLORREF
constexpr int kModeRowHeight = 26;         // the shipped layout's nine modes fit unscrolled
constexpr int kLevelMaximum = 4;           // brightness and speed steps 0-4
constexpr int kGainMaximum = 200;          // position / 50 is the music gain (0.0 to 4.0)
constexpr int kGainDefault = 100;
constexpr int kColourSlots = 3;
constexpr int kEditText = 87;
// The keyboard's music effects: language text and effect number.
constexpr std::pair<int, long> kMusicEffects[] = {{101, 1}, {102, 2}};
constexpr int kIntervalsMs[] = {33, 66, 99};

}  // namespace

void BuildLightingPage(PageBuilder& page, WindowControls& out) {
  out.keyboards[1] = page.Keyboard(ids::kLightKeyboard, Tavex::KeyboardCtrl::kModePreview);

  page.Area(ids::kLightListPanel, CRect(70, 468, 290, 712), kPanelFill, 0);
  if (auto* modes = page.List(ids::kLightList, CRect(76, 474, 284, 708), false))
    modes->SetItemHeight(kModeRowHeight);

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
  page.Button(ids::kLightApply, CRect(1050, 650, 1170, 684), kEditText);

  // The music mode has no brightness, speed or slot: its controls take their place.
  page.Label(ids::kMusicLabel, CRect(316, 480, 440, 508), 74);
  if (auto* effects = page.Combo(ids::kMusicChoice, CRect(450, 480, 630, 510))) {
    page.Texts().Custom([effects] {
      const int selected = effects->GetCurSel();
      effects->DelAllItems();
      for (const auto& [text, effect] : kMusicEffects)
        effects->AddItem(GetLangText(text).c_str(), effect);
      effects->SetCurSel(selected < 0 ? 0 : selected);
    });
  }
  page.Label(ids::kGainLabel, CRect(740, 480, 860, 508), 75);
  if (auto* s = page.Slider(ids::kGainSlider, CRect(870, 484, 1120, 504), kGainMaximum))
    s->SetProgress(kGainDefault);
  page.Label(ids::kIntervalLabel, CRect(316, 540, 440, 568), 76);
  if (auto* interval = page.Combo(ids::kMusicInterval, CRect(450, 540, 630, 570))) {
    for (int ms : kIntervalsMs) interval->AddItem((std::to_string(ms) + "ms").c_str(), ms);
    interval->SetCurSel(0);
  }
}
