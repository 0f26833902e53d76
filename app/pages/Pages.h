// The builders of the main window: its frame (title bar, tab strip, page header) and its five
// pages. Each places its controls with their skins and binds their texts; the pointers the
// window's routes need come back in WindowControls. UI thread, from KeyboardDlg::InitUI.
#pragma once

#include "app/pages/PageBuilder.h"

namespace Tavex {
class CCheckButton;
class CDeviceCtrl;
class KeyboardCtrl;
class MComboBox;
class MPicture;
class MTabCtrl;
class MText;
class UpgradeButton;
}  // namespace Tavex

// Controls the main window reads or changes after it is built (null when the library could not
// make one).
struct WindowControls {
  Tavex::MTabCtrl* tabs = nullptr;
  // Pages by tab item: home, keys, macros, lighting, settings.
  Tavex::MPanel* pages[5] = {};
  Tavex::MText* caption = nullptr;
  Tavex::MText* version = nullptr;
  Tavex::MText* pageTitle = nullptr;
  Tavex::MPicture* headerIcon = nullptr;
  Tavex::MText* status = nullptr;
  Tavex::MButton* grantAccess = nullptr;  // hidden unless a keyboard may not be opened
  Tavex::MButton* closeButton = nullptr;
  Tavex::CDeviceCtrl* devices = nullptr;
  Tavex::KeyboardCtrl* keyboards[3] = {};  // key page, lighting page, settings page
  Tavex::MComboBox* language = nullptr;
  Tavex::CCheckButton* autostart = nullptr;
};

// Where the keyboard views sit until a layout file places them.
Tavex::CRect DefaultKeyboardRect();

// Position in WindowControls::pages of a tab item id; -1 for an unknown id.
int PageIndexOfItem(int item);

// Background, title bar, system buttons, tab strip, page header and the five page panels.
void BuildFrame(Tavex::MDialog& dialog, WindowTexts& texts, WindowControls& out);
void BuildHomePage(PageBuilder& page, WindowControls& out);
void BuildKeyPage(PageBuilder& page, WindowControls& out);
void BuildMacroPage(PageBuilder& page);
void BuildLightingPage(PageBuilder& page, WindowControls& out);
void BuildSettingsPage(PageBuilder& page, WindowControls& out);
