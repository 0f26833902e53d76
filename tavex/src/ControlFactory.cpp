#include "tavex/ControlFactory.h"

#include <cstring>

#include "tavex/CArea.h"
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

struct Entry {
  const char* name;
  ControlFactory::Maker make;  // null: the class arrives with a later build
};

// In test order. Classes that are not built yet keep their place with a null maker.
const Entry kDialogTable[] = {
    {"CArea", &MakeUntitled<CArea>},
    {"MText", nullptr},
    {"MPicture", nullptr},
    {"CPhotoFrame", nullptr},
    {"CSliderPicture", nullptr},
    {"CGifPicture", nullptr},
    {"MProgress", nullptr},
    {"MSlider", nullptr},
    {"MLevelCtrl", nullptr},
    {"MButton", nullptr},
    {"CImageButton", nullptr},
    {"CTextButton", nullptr},
    {"CCheckButton", nullptr},
    {"CRadioButton", nullptr},
    {"CColorButton", nullptr},
    {"MSpinButton", nullptr},
    {"CSpinButton", nullptr},
    {"CSwitchButton", nullptr},
    {"CIconButton", nullptr},
    {"CTimerButton", nullptr},
    {"CHelpButton", nullptr},
    {"MEdit", nullptr},
    {"MRichEdit", nullptr},
    {"MEditEx", nullptr},
    {"MComboBox", &MakeTitled<MComboBox>},
    {"MTabCtrl", &MakeTitled<MTabCtrl>},
    {"MTabLayout", &MakePanel<MTabLayout>},
    {"MListBox", &MakePanel<MListBox>},
    {"MPalette", nullptr},
    {"CColorPalette", nullptr},
    {"CColorSelect", nullptr},
    {"CirclePalette", nullptr},
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
    {"UpgradeButton", nullptr},
    {"DownloadButton", nullptr},
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
