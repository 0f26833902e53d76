#pragma once
// The gallery's keyboard page (--keyboard-mode N): the shipped 87-key layout in one
// KeyboardCtrl mode, captioned in the chosen language. Mode 102 animates the shipped preview
// frames of the layout's default lighting mode; 104 pulses the music brightness. Buttons in the
// header switch the mode ("mode N" on stdout); the control's notifications are printed, and after
// a frame selection (code 24) the codes of the checked keys, after a click in mode 103 the
// clicked key's colour.
#include <string>

#include "docs/LangFile.h"
#include "docs/LayoutFile.h"
#include "tavex/KeyboardCtrl.h"
#include "tavex/MDialog.h"

namespace Gallery {

class KeyboardPage : public Tavex::MDialog {
 public:
  static constexpr unsigned kKeyboard = 69;
  static constexpr unsigned kCaption = 70;
  static constexpr unsigned kScreenshotTimer = 1;
  static constexpr unsigned kMusicTimer = 2;
  // Mode buttons 100 to 104: ids kFirstModeButton to kFirstModeButton + 4.
  static constexpr unsigned kFirstModeButton = 80;
  static constexpr UINT kMsgReady = WM_APP + 1;
  static constexpr int kWidth = 1260;
  static constexpr int kHeight = 500;

  // lcid 1033 or 2052 picks the language file; screenshotPath empty: stay open.
  KeyboardPage(int mode, int lcid, std::string screenshotPath);

  void InitUI(Tavex::CRect client) override;
  int OnInitDialog() override;
  int OnMessage(unsigned id, unsigned code, unsigned wParam, long lParam) override;
  int OnTimer(unsigned id) override;
  int OnPaint() override;
  LRESULT OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

 private:
  std::string Text(int number) const;
  void LoadPreviewFrames();
  void Decorate();
  void SwitchMode(int mode);
  std::string CaptionText() const;

  int m_mode;
  std::string m_screenshot;
  LangFile m_lang;
  LayoutFile m_layout;
  Tavex::KeyboardCtrl* m_keyboard = nullptr;
  int m_musicStep = 0;
  bool m_readyPending = false;
};

}  // namespace Gallery
