#include "tavex/MListBox.h"

#include "tavex/Codes.h"

namespace Tavex {

MListBox::MListBox(MObject* parent, unsigned id, CRect rect, int visible)
    : DListBox(parent, id, rect, visible) {}

const char* MListBox::GetClassNameW() const { return "MListBox"; }

int MListBox::OnWindowMessage(unsigned msg, unsigned wParam, long lParam) {
  if (msg == WM_LBUTTONDBLCLK) {
    m_doubleClick = RowAt(CPoint(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam))) >= 0;
  } else if (msg == WM_LBUTTONDOWN) {
    m_doubleClick = false;
  }
  return DListBox::OnWindowMessage(msg, wParam, lParam);
}

int MListBox::OnControlLButtonDown(unsigned keys, CPoint pt) {
  const int r = DListBox::OnControlLButtonDown(keys, pt);
  if (m_doubleClick) {
    m_doubleClick = false;
    const int row = RowAt(pt);
    if (row >= 0) SendMessageW(Notify::DoubleClick, static_cast<unsigned>(row), 0);
  }
  return r;
}

}  // namespace Tavex
