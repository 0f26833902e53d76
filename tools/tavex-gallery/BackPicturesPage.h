#pragma once
// The gallery's page of back pictures (--page backs): a drop-down list whose popup draws a
// nine-part back picture, a menu with a back picture, two key tips (natural size and nine-part)
// and a panel scrolled both ways with the library's scroll bar pictures; English or Chinese
// texts. With a screenshot path it saves the dialog and, beside it, the open drop-down list
// and menu (NAME-combo.png, NAME-menu.png).
#include <string>

#include "tavex/Codes.h"
#include "tavex/MDialog.h"

namespace Tavex {
class MComboBox;
}  // namespace Tavex

namespace Gallery {

class BackPicturesPage : public Tavex::MDialog {
 public:
  static constexpr unsigned kCombo = 210;
  static constexpr unsigned kMenuButton = 230;
  static constexpr unsigned kPanel = 240;
  static constexpr unsigned kMenuMessage = Tavex::WM_KEYMENU;
  static constexpr unsigned kScreenshotTimer = 1;
  static constexpr unsigned kMenuTimer = 2;
  static constexpr unsigned kCaptureTimer = 3;

  BackPicturesPage(std::string screenshotPath, bool chinese);

  void InitUI(Tavex::CRect client) override;
  int OnMessage(unsigned id, unsigned code, unsigned wParam, long lParam) override;
  int OnTimer(unsigned id) override;
  int OnInitDialog() override;
  LRESULT OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

 private:
  const char* T(const char* english, const char* chinese) const {
    return m_chinese ? chinese : english;
  }
  void Label(unsigned id, Tavex::CRect rect, const char* text);
  // A key tip drawn off-screen and shown as a picture on the page.
  void TipPicture(unsigned id, Tavex::CRect rect, bool ninePart);
  void OpenMenu();

  std::string m_screenshot;
  bool m_chinese;
  Tavex::MComboBox* m_combo = nullptr;
  HWND m_menuWindow = nullptr;
};

}  // namespace Gallery
