#pragma once
// The gallery's page of list controls (--page lists): a tab strip with its pages, a drop-down
// list, an editable list box renaming a row and a popup menu. With a screenshot path it saves
// the dialog and, beside it, the open drop-down list and menu (NAME-combo.png, NAME-menu.png).
// Layered (--layered), the in-place boxes are popups and none is open at the start. F2 renames
// the list's selected row, F3 edits the record list's delay; both results are logged with their
// text ("renamed row=R text=T", "delay row=R value=V").
#include <string>

#include "tavex/Codes.h"
#include "tavex/MDialog.h"

namespace Tavex {
class CRecordList;
class DListBox;
class MComboBox;
class MenuWnd;
}  // namespace Tavex

namespace Gallery {

class ListsPage : public Tavex::MDialog {
 public:
  static constexpr unsigned kTabs = 200;
  static constexpr unsigned kCombo = 210;
  static constexpr unsigned kList = 220;
  static constexpr unsigned kMenuButton = 230;
  static constexpr unsigned kRecords = 261;
  static constexpr unsigned kMenuMessage = Tavex::WM_KEYMENU;
  static constexpr unsigned kScreenshotTimer = 1;
  static constexpr unsigned kCaptureTimer = 2;
  static constexpr unsigned kMenuTimer = 3;

  ListsPage(std::string screenshotPath, bool layered);

  void InitUI(Tavex::CRect client) override;
  int OnMessage(unsigned id, unsigned code, unsigned wParam, long lParam) override;
  int OnTimer(unsigned id) override;
  int OnInitDialog() override;
  LRESULT OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

 private:
  void OpenMenu();

  std::string m_screenshot;
  bool m_layered = false;
  Tavex::MComboBox* m_combo = nullptr;
  Tavex::DListBox* m_list = nullptr;
  Tavex::CRecordList* m_records = nullptr;
  HWND m_menuWindow = nullptr;
};

}  // namespace Gallery
