#include "tavex/MTabLayout.h"

#include <vector>

namespace Tavex {

namespace {
// The panel's own scroll bars live in the child list too; they are not pages.
std::vector<MControl*> Pages(ControlList& list, MControl* v, MControl* h) {
  std::vector<MControl*> pages;
  for (MControl* c : list.Snapshot()) {
    if (c != v && c != h) pages.push_back(c);
  }
  return pages;
}
}  // namespace

MTabLayout::MTabLayout(MObject* parent, unsigned id, CRect rect, int visible)
    : MPanel(parent, id, rect, visible) {}

const char* MTabLayout::GetClassNameW() const { return "MTabLayout"; }

bool MTabLayout::SelectItem(int index) {
  const std::vector<MControl*> pages = Pages(m_childList, m_vScroll, m_hScroll);
  if (index < 0 || index >= static_cast<int>(pages.size())) return false;
  {
    std::lock_guard guard(m_dataLock);
    m_current = index;
  }
  for (int i = 0; i < static_cast<int>(pages.size()); ++i) {
    if (i != index) pages[i]->SetVisible(0);
  }
  pages[index]->SetVisible(1);
  return true;
}

bool MTabLayout::SelectItem(MControl* page) {
  const std::vector<MControl*> pages = Pages(m_childList, m_vScroll, m_hScroll);
  for (int i = 0; i < static_cast<int>(pages.size()); ++i) {
    if (pages[i] == page) return SelectItem(i);
  }
  return false;
}

int MTabLayout::GetCurSel() const {
  std::lock_guard guard(m_dataLock);
  return m_current;
}

int MTabLayout::GetPageCount() {
  return static_cast<int>(Pages(m_childList, m_vScroll, m_hScroll).size());
}

MControl* MTabLayout::GetPage(int index) {
  const std::vector<MControl*> pages = Pages(m_childList, m_vScroll, m_hScroll);
  if (index < 0 || index >= static_cast<int>(pages.size())) return nullptr;
  return pages[index];
}

}  // namespace Tavex
