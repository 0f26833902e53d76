#pragma once
// KeyboardTips (CKeyboardTips): the small popup that KeyboardCtrl shows above the key under the
// pointer: the key's description, then its tip title and tip text (or "Keyboard" and the
// description again). 190 × 100 pixels, its bottom centre 0 px above the anchor's row minus 100.
// The key control owns it; it hides itself when it loses the keyboard focus. UI thread only.
#include "tavex/MWindow.h"
#include "tavex/PaintManager.h"
#include "tavex/Painter.h"

namespace Tavex {

class TAVEX_API KeyboardTips : public MWindow {
 public:
  static constexpr int kWidth = 190;
  static constexpr int kHeight = 100;

  const char* GetWindowClassName() const override;
  LRESULT OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
  int ShowWindow(int cmd) override;

  // Stores the three lines and the anchor (screen coordinates). Identical values change
  // nothing; otherwise, with a non-empty first line, the window moves to (anchor.x − 95,
  // anchor.y − 100) and repaints. False (and nothing changes) for a null first or second line.
  bool SetAirBladderMsg(const char* line1, const char* line2, const char* line3, POINT anchor);
  // Background picture from the skin folder, or from a built-in resource; false (picture
  // unchanged) when it cannot be read. With a picture the tip draws it by the back mode
  // instead of its two colours: mode 0 at natural size at (0, 0), mode 1 as a nine-part frame
  // over the window with `corner`-pixel corners unscaled.
  bool LoadBKImage(const CString& file);
  bool LoadBKImage(unsigned resourceId, const CString& type);
  void SetBKImage(const Image& image);
  void SetBackMode(enumBackMode mode, int corner);
  enumBackMode GetBackMode() const { return m_backMode; }
  int GetBackCorner() const { return m_backCorner; }
  void CloseWindow();

  const CString& GetLine1() const { return m_line1; }
  const CString& GetLine2() const { return m_line2; }
  const CString& GetLine3() const { return m_line3; }
  POINT GetAnchor() const { return m_anchor; }
  bool IsShown() const { return m_shown; }
  bool HasBackground() const { return !m_background.IsNull(); }
  // How often the window was moved and asked to repaint by SetAirBladderMsg.
  int GetMoveCount() const { return m_moves; }

  // Composes the tip into `surface` (kWidth × kHeight or any size).
  void Compose(Surface& surface) const;

 private:
  void Paint();

  Image m_background;
  enumBackMode m_backMode = BackModeNormal;
  int m_backCorner = 4;
  CString m_line1;
  CString m_line2;
  CString m_line3;
  POINT m_anchor{0, 0};
  bool m_shown = false;
  int m_moves = 0;
};

// The name the key control's documentation uses.
using CKeyboardTips = KeyboardTips;

}  // namespace Tavex
