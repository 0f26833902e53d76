#pragma once
// MTabLayout: a panel that shows exactly one of its child pages, chosen by position in its
// child-control list (the panel's own scroll bars are not pages). Selecting repaints only when
// the selection changed. Owns its pages like any panel; setters may be called from any thread.
#include "tavex/MPanel.h"

namespace Tavex {

class TAVEX_API MTabLayout : public MPanel {
 public:
  MTabLayout(MObject* parent, unsigned id, CRect rect, int visible = 1);

  const char* GetClassNameW() const override;

  // Shows page `index` (0-based) and hides the others; false for an index out of range.
  bool SelectItem(int index);
  bool SelectItem(MControl* page);
  int GetCurSel() const;
  int GetPageCount();
  MControl* GetPage(int index);

 private:
  int m_current = -1;
};

}  // namespace Tavex
