#pragma once
// MenuItem: one entry of a MenuWnd: a title, an optional four-state icon (normal, hover,
// pressed, disabled), a check state, or a separator line. A press sends notification 7
// (check state, 1), a click (release inside after a press inside) sends 2 (check state, 0).
// The highlight is the hover look: the pointer sets it, and so does the menu's keyboard.
// Threads: setters lock the data and may be called from any thread (see MControl); the
// highlight and Pick belong to the UI thread.
#include <cstdint>

#include "tavex/MControlFont.h"

namespace Tavex {

class TAVEX_API MenuItem : public MControlFont {
 public:
  MenuItem(MObject* parent, unsigned id, CRect rect, const char* title, int visible = 1,
           int enabled = 1);

  const char* GetClassNameW() const override;

  void SetCheck(int checked);
  int GetCheck() const;
  void SetSeparator(int on);
  int IsSeparator() const { return m_separator; }
  void SetIcon(const char* file);
  CString GetIcon() const;
  void SetIconMargin(int margin);
  void SetHighlightColor(std::uint32_t argb) { Assign(m_highlight, argb); }
  // Hovered (or pressed) look, for checks.
  bool IsHighlighted() const { return m_press.IsHover() || m_press.IsPressed(); }
  // Sets or clears the hover look without the pointer (a held press is dropped with it).
  void SetHighlight(bool on);
  // A separator, a hidden or a disabled entry can be neither highlighted by keys nor picked.
  bool IsSelectable() const;
  // Sends the click notification (2, check state, 0) as a click would.
  void Pick();

  void DrawControl(Painter& painter, CRect paint) override;
  int OnCheckMouseResponse(unsigned keys, CPoint pt) override;
  int OnControlMouseMove(unsigned keys, CPoint pt) override;
  int OnControlLButtonDown(unsigned keys, CPoint pt) override;
  int OnControlLButtonUp(unsigned keys, CPoint pt) override;
  void OnControlMouseLeave() override;

 private:
  int m_checked = 0;
  int m_separator = 0;
  CString m_icon;
  Image m_iconImage;
  bool m_iconLoaded = false;
  int m_iconMargin = 5;
  std::uint32_t m_highlight = 0xFFC95100;
  PressBehaviour m_press;
};

}  // namespace Tavex
