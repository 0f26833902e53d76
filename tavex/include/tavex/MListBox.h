#pragma once
// MListBox: the list box made by the dialog factory: a DListBox whose double click on a row
// also sends notification 3 with that row (after the press's notification 1).
// Threads: as DListBox.
#include "tavex/DListBox.h"

namespace Tavex {

class TAVEX_API MListBox : public DListBox {
 public:
  MListBox(MObject* parent, unsigned id, CRect rect, int visible = 1);

  const char* GetClassNameW() const override;
  // Notes a double click before the manager routes it here as a press.
  int OnWindowMessage(unsigned msg, unsigned wParam, long lParam) override;
  int OnControlLButtonDown(unsigned keys, CPoint pt) override;

 private:
  bool m_doubleClick = false;
};

}  // namespace Tavex
