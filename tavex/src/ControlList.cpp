#include "tavex/ControlList.h"

#include "tavex/MControl.h"

namespace Tavex {

ControlList::~ControlList() { Clear(); }

void ControlList::Add(MControl* control) {
  if (control == nullptr) return;
  std::lock_guard guard(m_lock);
  m_items.push_back(control);
}

bool ControlList::Detach(MControl* control) {
  std::lock_guard guard(m_lock);
  const auto it = std::find(m_items.begin(), m_items.end(), control);
  if (it == m_items.end()) return false;
  m_items.erase(it);
  return true;
}

bool ControlList::Remove(MControl* control) {
  std::lock_guard guard(m_lock);
  if (!Contains(control)) return false;
  control->PrepareDelete();
  Detach(control);
  delete control;
  return true;
}

void ControlList::Clear() {
  std::lock_guard guard(m_lock);
  for (MControl* c : m_items) c->PrepareDelete();
  std::vector<MControl*> items;
  items.swap(m_items);
  for (MControl* c : items) delete c;
}

bool ControlList::Contains(const MControl* control) const {
  std::lock_guard guard(m_lock);
  return std::find(m_items.begin(), m_items.end(), control) != m_items.end();
}

std::vector<MControl*> ControlList::Snapshot() const {
  std::lock_guard guard(m_lock);
  return m_items;
}

std::size_t ControlList::Size() const {
  std::lock_guard guard(m_lock);
  return m_items.size();
}

}  // namespace Tavex
