#pragma once
// The tooltip window of a PaintManager: a topmost popup that never takes the focus, white,
// at most 256 pixels wide, showing one text near the pointer. UI thread only.
#include "tavex/MWindow.h"

namespace Tavex {

class TooltipWnd : public MWindow {
 public:
  static constexpr int kMaxWidth = 256;

  const char* GetWindowClassName() const override;
  LRESULT OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

  // Shows `text` with its top-left near the screen point; an empty text hides it.
  void ShowText(const CString& text, CPoint screenPt);
  void Hide();
  const CString& GetText() const { return m_text; }
  bool IsShown() const { return m_shown; }

 private:
  void Paint();
  CString m_text;
  bool m_shown = false;
};

}  // namespace Tavex
