#pragma once
// The gallery's page of auxiliary windows (--page windows): buttons that open a popup window
// with its own controls, the busy indicator (alone or with a text) and balloon messages of
// every kind on the side chosen with the radio buttons. With a screenshot path it opens all
// three and saves one picture of the dialog with the windows over it, as the screen shows them.
#include <string>

#include "tavex/LoadingWnd.h"
#include "tavex/MDialog.h"

namespace Tavex {
class MPopupWnd;
}

namespace Gallery {

class WindowsPage : public Tavex::MDialog {
 public:
  static constexpr unsigned kClose = 900;
  static constexpr unsigned kOpenPopup = 10;
  static constexpr unsigned kLoading = 11;
  static constexpr unsigned kLoadingText = 12;
  static constexpr unsigned kFirstBalloon = 20;  // one button per balloon kind, 20..25
  static constexpr unsigned kEdgeBalloon = 26;
  static constexpr unsigned kHideBalloon = 27;
  static constexpr unsigned kFirstMode = 30;     // radio buttons 30..33
  static constexpr unsigned kPopupOk = 50;
  static constexpr unsigned kPopupCancel = 51;
  static constexpr unsigned kScreenshotTimer = 1;
  static constexpr unsigned kCaptureTimer = 2;
  static constexpr unsigned kLoadingTimer = 3;

  WindowsPage(std::string screenshotPath, bool chinese);
  ~WindowsPage() override;

  void InitUI(Tavex::CRect client) override;
  int OnMessage(unsigned id, unsigned code, unsigned wParam, long lParam) override;
  int OnTimer(unsigned id) override;
  int OnInitDialog() override;

 private:
  const char* T(const char* english, const char* chinese) const {
    return m_chinese ? chinese : english;
  }
  Tavex::MControl* Button(unsigned id, Tavex::CRect rect, const char* title);
  void Label(Tavex::CRect rect, const char* text);
  void OpenPopup();
  void ShowLoading(bool withText);
  // Balloon kind `index` (0..5) pointing at the control `anchorId`.
  void ShowBalloon(unsigned index, unsigned anchorId);
  void SaveComposite();

  std::string m_screenshot;
  bool m_chinese;
  unsigned m_nextLabel = 800;
  Tavex::MPopupWnd* m_popup = nullptr;
  Tavex::LoadingWnd m_loading;
  Tavex::AIRBLADDER_MODE m_mode = Tavex::AIRBLADDER_MODE_TOP;
};

}  // namespace Gallery
