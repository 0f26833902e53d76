#pragma once
// The gallery's dialog: one of each control built so far, every notification logged.
#include <string>

#include "tavex/MDialog.h"

namespace Gallery {

class GalleryDialog : public Tavex::MDialog {
 public:
  // Identifiers used by scripts.
  static constexpr unsigned kHeader = 100;
  static constexpr unsigned kOk = 11;
  static constexpr unsigned kApply = 12;
  static constexpr unsigned kDisabled = 13;
  static constexpr unsigned kClose = 14;
  static constexpr unsigned kPanel = 20;
  static constexpr unsigned kFirstPanelButton = 21;
  static constexpr unsigned kPanelButtons = 8;
  static constexpr unsigned kScreenshotTimer = 1;

  explicit GalleryDialog(std::string screenshotPath);

  void InitUI(Tavex::CRect client) override;
  int OnMessage(unsigned id, unsigned code, unsigned wParam, long lParam) override;
  int OnTimer(unsigned id) override;
  int OnInitDialog() override;
  int OnPaint() override;
  LRESULT OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
  int OnWindowPosChanged(WINDOWPOS* pos) override;

  static void Log(const std::string& line);

 private:
  static constexpr UINT kMsgReady = WM_APP + 1;
  std::string m_screenshot;
  bool m_readyPending = false;
};

}  // namespace Gallery
