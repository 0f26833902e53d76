// Creates the controls of one page (or of the window frame) by class name, each with its skin
// image and its language texts bound in WindowTexts. Controls go into `panel` when one is given,
// else straight into the dialog. A class the library cannot make gives null; the page goes on
// without that control.
//
// Ownership: the library owns what it creates. Threads: UI thread, while the window is built.
#pragma once

#include "app/WindowTexts.h"
#include "tavex/Geometry.h"

namespace Tavex {
class CArea;
class CCheckButton;
class CRadioButton;
class DListBox;
class KeyboardCtrl;
class MButton;
class MComboBox;
class MControl;
class MDialog;
class MEdit;
class MPanel;
class MPicture;
class MSlider;
class MText;
}  // namespace Tavex

class PageBuilder {
 public:
  // Text colours of the dark skin.
  static constexpr unsigned kTextColour = 0xFFE6E6E6;
  static constexpr unsigned kDimTextColour = 0xFF9A9AA0;
  static constexpr int kLabelFontSize = 13;

  PageBuilder(Tavex::MDialog& dialog, Tavex::MPanel* panel, WindowTexts& texts);

  Tavex::MControl* Make(const char* className, unsigned id, Tavex::CRect rect,
                        const char* title = nullptr, int visible = 1, int enabled = 1);
  // A filled rectangle; `transparency` in percent (0 = opaque).
  Tavex::CArea* Area(unsigned id, Tavex::CRect rect, unsigned colour, int transparency);
  Tavex::MPicture* Picture(unsigned id, Tavex::CRect rect, const char* image);
  // Static text with caption `textNumber` (0: none bound).
  Tavex::MText* Label(unsigned id, Tavex::CRect rect, int textNumber,
                      int fontSize = kLabelFontSize, unsigned colour = kTextColour);
  // A text button on "btn_apply.png".
  Tavex::MButton* Button(unsigned id, Tavex::CRect rect, int textNumber);
  // An image button of four states whose tooltip is `tooltipNumber` (0: none).
  Tavex::MButton* ImageButton(unsigned id, Tavex::CRect rect, const char* image,
                              int tooltipNumber);
  Tavex::CRadioButton* Radio(unsigned id, Tavex::CRect rect, int textNumber, const char* group);
  Tavex::CCheckButton* Check(unsigned id, Tavex::CRect rect, int textNumber);
  Tavex::MComboBox* Combo(unsigned id, Tavex::CRect rect);
  // A combo box whose items are texts firstText, firstText + 1 ... (item data 0, 1 ...), filled
  // again on every language change with the selection kept.
  Tavex::MComboBox* TextCombo(unsigned id, Tavex::CRect rect, int firstText, int count);
  Tavex::MEdit* Edit(unsigned id, Tavex::CRect rect, const char* text);
  Tavex::MSlider* Slider(unsigned id, Tavex::CRect rect, int maximum);
  // A keyboard view in `mode` (KeyboardCtrl::kMode...) where the layout file will place it.
  Tavex::KeyboardCtrl* Keyboard(unsigned id, int mode);
  // A list with the row icon of the skin; `renamable` lets rows be renamed in place.
  Tavex::DListBox* List(unsigned id, Tavex::CRect rect, bool renamable);

  WindowTexts& Texts() { return texts_; }

 private:
  Tavex::MDialog& dialog_;
  Tavex::MPanel* panel_;
  WindowTexts& texts_;
};
