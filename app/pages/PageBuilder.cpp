#include "app/pages/PageBuilder.h"

#include "app/pages/Pages.h"

#include "docs/LangSettings.h"
#include "tavex/Buttons.h"
#include "tavex/CArea.h"
#include "tavex/CheckButtons.h"
#include "tavex/DListBox.h"
#include "tavex/KeyboardCtrl.h"
#include "tavex/Edits.h"
#include "tavex/MComboBox.h"
#include "tavex/MDialog.h"
#include "tavex/MPanel.h"
#include "tavex/MText.h"
#include "tavex/Pictures.h"
#include "tavex/Sliders.h"

using Tavex::CRect;

namespace {
constexpr int kButtonStates = 4;
constexpr int kCheckStates = 4;
constexpr int kControlFontSize = 14;
constexpr const char* kApplyImage = "btn_apply.png";
constexpr const char* kEditImage = "img_edit.png";
constexpr const char* kComboImage = "img_combobox.png";
constexpr const char* kCheckImage = "btn_checkbox.png";
constexpr const char* kRadioImage = "btn_radiobox.png";
constexpr const char* kTrackImage = "img_slider_back.png";
constexpr const char* kThumbImage = "img_thumb.png";
constexpr const char* kRowIcon = "icon/icon_circle.png";
constexpr int kRowIconStates = 2;
}  // namespace

PageBuilder::PageBuilder(Tavex::MDialog& dialog, Tavex::MPanel* panel, WindowTexts& texts)
    : dialog_(dialog), panel_(panel), texts_(texts) {}

Tavex::MControl* PageBuilder::Make(const char* className, unsigned id, CRect rect,
                                   const char* title, int visible, int enabled) {
  if (panel_ != nullptr) return panel_->CreateControl(className, id, rect, title, visible, enabled);
  return dialog_.CreateControl(className, id, rect, title, visible, enabled);
}

Tavex::CArea* PageBuilder::Area(unsigned id, CRect rect, unsigned colour, int transparency) {
  // Areas go to the draw list: they never take the mouse.
  Tavex::MControl* made = panel_ != nullptr
                              ? panel_->CreateArea("CArea", id, rect, nullptr, 1, 1)
                              : dialog_.CreateArea("CArea", id, rect, nullptr, 1, 1);
  auto* area = static_cast<Tavex::CArea*>(made);
  if (area != nullptr) area->SetTransparent(transparency, transparency, colour);
  return area;
}

Tavex::MPicture* PageBuilder::Picture(unsigned id, CRect rect, const char* image) {
  auto* picture = static_cast<Tavex::MPicture*>(Make("MPicture", id, rect));
  if (picture != nullptr && image != nullptr) picture->SetPicture(image);
  return picture;
}

Tavex::MText* PageBuilder::Label(unsigned id, CRect rect, int textNumber, int fontSize,
                                 unsigned colour) {
  auto* label = static_cast<Tavex::MText*>(Make("MText", id, rect, "", 1, 0));
  if (label == nullptr) return nullptr;
  label->SetTextColor(colour);
  label->SetFontWidth(fontSize);
  if (textNumber != 0) texts_.Caption(label, textNumber);
  return label;
}

Tavex::MButton* PageBuilder::Button(unsigned id, CRect rect, int textNumber) {
  auto* button = static_cast<Tavex::MButton*>(Make("MButton", id, rect, ""));
  if (button == nullptr) return nullptr;
  button->SetImage(kApplyImage, kButtonStates);
  button->SetFontWidth(kControlFontSize);
  if (textNumber != 0) texts_.Caption(button, textNumber);
  return button;
}

Tavex::MButton* PageBuilder::ImageButton(unsigned id, CRect rect, const char* image,
                                         int tooltipNumber) {
  auto* button = static_cast<Tavex::MButton*>(Make("CImageButton", id, rect));
  if (button == nullptr) return nullptr;
  button->SetImage(image, kButtonStates);
  if (tooltipNumber != 0) texts_.Tooltip(button, tooltipNumber);
  return button;
}

Tavex::CRadioButton* PageBuilder::Radio(unsigned id, CRect rect, int textNumber,
                                        const char* group) {
  auto* radio = static_cast<Tavex::CRadioButton*>(Make("CRadioButton", id, rect, ""));
  if (radio == nullptr) return nullptr;
  radio->SetImage(kRadioImage, kCheckStates);
  radio->SetGroupName(group);
  radio->SetFontWidth(kControlFontSize);
  texts_.Caption(radio, textNumber);
  return radio;
}

Tavex::CCheckButton* PageBuilder::Check(unsigned id, CRect rect, int textNumber) {
  auto* check = static_cast<Tavex::CCheckButton*>(Make("CCheckButton", id, rect, ""));
  if (check == nullptr) return nullptr;
  check->SetImage(kCheckImage, kCheckStates);
  check->SetFontWidth(kControlFontSize);
  texts_.Caption(check, textNumber);
  return check;
}

Tavex::MComboBox* PageBuilder::Combo(unsigned id, CRect rect) {
  auto* combo = static_cast<Tavex::MComboBox*>(Make("MComboBox", id, rect, ""));
  if (combo == nullptr) return nullptr;
  combo->SetImage(kComboImage, kButtonStates);
  combo->SetFontWidth(kControlFontSize);
  return combo;
}

Tavex::MComboBox* PageBuilder::TextCombo(unsigned id, CRect rect, int firstText, int count) {
  Tavex::MComboBox* combo = Combo(id, rect);
  if (combo == nullptr) return nullptr;
  texts_.Custom([combo, firstText, count] {
    const int selected = combo->GetCurSel();
    combo->DelAllItems();
    for (int i = 0; i < count; ++i) combo->AddItem(GetLangText(firstText + i).c_str(), i);
    combo->SetCurSel(selected < 0 ? 0 : selected);
  });
  return combo;
}

Tavex::MEdit* PageBuilder::Edit(unsigned id, CRect rect, const char* text) {
  auto* edit = static_cast<Tavex::MEdit*>(Make("MEdit", id, rect, text));
  if (edit == nullptr) return nullptr;
  edit->SetImage(kEditImage, kButtonStates);
  edit->SetFontWidth(kControlFontSize);
  return edit;
}

Tavex::MSlider* PageBuilder::Slider(unsigned id, CRect rect, int maximum) {
  auto* slider = static_cast<Tavex::MSlider*>(Make("MSlider", id, rect));
  if (slider == nullptr) return nullptr;
  slider->SetImage(kTrackImage, 2);
  slider->SetThumbImage(kThumbImage);
  slider->SetMinProgress(0);
  slider->SetMaxProgress(maximum);
  return slider;
}

Tavex::KeyboardCtrl* PageBuilder::Keyboard(unsigned id, int mode) {
  auto* keyboard = static_cast<Tavex::KeyboardCtrl*>(Make("KeyboardCtrl", id, DefaultKeyboardRect()));
  if (keyboard != nullptr) keyboard->SetKeyboardCtrlMode(mode);
  return keyboard;
}

Tavex::DListBox* PageBuilder::List(unsigned id, CRect rect, bool renamable) {
  auto* list = static_cast<Tavex::DListBox*>(Make("DListBox", id, rect));
  if (list == nullptr) return nullptr;
  list->SetImage(kRowIcon, kRowIconStates);
  list->SetFontWidth(kControlFontSize);
  if (renamable) {
    list->SetEditImage(kEditImage, kButtonStates);
    list->EnableShowEdit(1);
  }
  return list;
}
