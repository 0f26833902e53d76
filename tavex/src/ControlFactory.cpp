#include "tavex/ControlFactory.h"

#include <cstring>

#include "tavex/Buttons.h"
#include "tavex/CArea.h"
#include "tavex/CheckButtons.h"
#include "tavex/Edits.h"
#include "tavex/MText.h"
#include "tavex/Palettes.h"
#include "tavex/Pictures.h"
#include "tavex/Sliders.h"
#include "tavex/SpinButtons.h"
#include "tavex/CComboBoxList.h"
#include "tavex/CDeviceCtrl.h"
#include "tavex/CRecordList.h"
#include "tavex/DListBox.h"
#include "tavex/KeyFuncControl.h"
#include "tavex/MListBox.h"
#include "tavex/MComboBox.h"
#include "tavex/MTabCtrl.h"
#include "tavex/MTabLayout.h"
#include "tavex/MenuItem.h"
#include "tavex/KeyboardCtrl.h"

namespace Tavex {

namespace {

template <typename T>
MControl* MakeUntitled(MObject* parent, unsigned id, CRect rect, const char*, int a, int b) {
  return new T(parent, id, rect, a, b);
}

template <typename T>
MControl* MakeTitled(MObject* parent, unsigned id, CRect rect, const char* title, int a, int b) {
  return new T(parent, id, rect, title, a, b);
}

// Panels and panel-derived controls take only the visible flag and start enabled.
template <typename T>
MControl* MakePanel(MObject* parent, unsigned id, CRect rect, const char*, int a, int) {
  return new T(parent, id, rect, a);
}

// Classes whose constructor takes one trailing integer (visible) fix the enabled flag.
template <typename T>
MControl* MakeVisible(MObject* parent, unsigned id, CRect rect, const char*, int a, int) {
  return new T(parent, id, rect, a);
}

template <typename T>
MControl* MakeTitledVisible(MObject* parent, unsigned id, CRect rect, const char* title, int a,
                            int) {
  return new T(parent, id, rect, title, a);
}

struct Entry {
  const char* name;
  ControlFactory::Maker make;  // null: the class arrives with a later build
};

// In test order. Classes that are not built yet keep their place with a null maker.
const Entry kDialogTable[] = {
    {"CArea", &MakeUntitled<CArea>},
    {"MText", &MakeTitledVisible<MText>},
    {"MPicture", &MakeUntitled<MPicture>},
    {"CPhotoFrame", &MakeUntitled<CPhotoFrame>},
    {"CSliderPicture", &MakeUntitled<CSliderPicture>},
    {"CGifPicture", &MakeUntitled<CGifPicture>},
    {"MProgress", &MakeUntitled<MProgress>},
    {"MSlider", &MakeUntitled<MSlider>},
    {"MLevelCtrl", &MakeUntitled<MLevelCtrl>},
    {"MButton", &MakeTitled<MButton>},
    {"CImageButton", &MakeUntitled<CImageButton>},
    {"CTextButton", &MakeTitled<CTextButton>},
    {"CCheckButton", &MakeTitled<CCheckButton>},
    {"CRadioButton", &MakeTitled<CRadioButton>},
    {"CColorButton", &MakeTitled<CColorButton>},
    {"MSpinButton", &MakeVisible<MSpinButton>},
    {"CSpinButton", &MakeVisible<CSpinButton>},
    {"CSwitchButton", &MakeTitled<CSwitchButton>},
    {"CIconButton", &MakeTitled<CIconButton>},
    {"CTimerButton", &MakeTitled<CTimerButton>},
    {"CHelpButton", &MakeTitled<CHelpButton>},
    {"MEdit", &MakeTitled<MEdit>},
    {"MRichEdit", &MakeTitledVisible<MRichEdit>},
    {"MEditEx", &MakeTitled<MEditEx>},
    {"MComboBox", &MakeTitled<MComboBox>},
    {"MTabCtrl", &MakeTitled<MTabCtrl>},
    {"MTabLayout", &MakePanel<MTabLayout>},
    {"MListBox", &MakePanel<MListBox>},
    {"MPalette", &MakeUntitled<MPalette>},
    {"CColorPalette", &MakeVisible<CColorPalette>},
    {"CColorSelect", &MakeVisible<CColorSelect>},
    {"CirclePalette", &MakeUntitled<CirclePalette>},
    {"CComboBoxList", &MakePanel<CComboBoxList>},
    {"MenuItem", &MakeTitled<MenuItem>},
    {"KeyboardCtrl", &MakePanel<KeyboardCtrl>},
    {"CDeviceCtrl", &MakeTitled<CDeviceCtrl>},
};

// The panel takes the dialog's names except the combo box's popup list, plus its own five.
const Entry kPanelExtra[] = {
    {"KeyFuncControl", &MakePanel<KeyFuncControl>},
    {"DListBox", &MakePanel<DListBox>},
    {"CRecordList", &MakePanel<CRecordList>},
    {"UpgradeButton", &MakeTitled<UpgradeButton>},
    {"DownloadButton", &MakeTitled<DownloadButton>},
};

const Entry* Find(ControlFactory::Table table, const char* name) {
  if (name == nullptr || *name == '\0') return nullptr;
  for (const Entry& e : kDialogTable) {
    if (std::strcmp(e.name, name) != 0) continue;
    if (table == ControlFactory::Table::Panel && std::strcmp(name, "CComboBoxList") == 0) {
      return nullptr;
    }
    return &e;
  }
  if (table == ControlFactory::Table::Panel) {
    for (const Entry& e : kPanelExtra) {
      if (std::strcmp(e.name, name) == 0) return &e;
    }
  }
  return nullptr;
}

}  // namespace

MControl* ControlFactory::Create(Table table, const char* name, MObject* parent, unsigned id,
                                 CRect rect, const char* title, int a, int b) {
  const Entry* e = Find(table, name);
  if (e == nullptr || e->make == nullptr) return nullptr;
  return e->make(parent, id, rect, title, a, b);
}

bool ControlFactory::IsListed(Table table, const char* name) { return Find(table, name) != nullptr; }

bool ControlFactory::IsAvailable(Table table, const char* name) {
  const Entry* e = Find(table, name);
  return e != nullptr && e->make != nullptr;
}

std::vector<const char*> ControlFactory::Names(Table table) {
  std::vector<const char*> names;
  for (const Entry& e : kDialogTable) {
    if (table == Table::Panel && std::strcmp(e.name, "CComboBoxList") == 0) continue;
    names.push_back(e.name);
  }
  if (table == Table::Panel) {
    for (const Entry& e : kPanelExtra) names.push_back(e.name);
  }
  return names;
}

}  // namespace Tavex
