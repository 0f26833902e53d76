#pragma once
// An ordered list of controls with its own lock. The list owns its controls: Remove and
// Clear delete them. Walks take a snapshot under the lock and keep the lock held, so that
// the animation thread and the UI thread never see a control being freed under them.
// Locks are recursive: a handler called during a walk may add to the same list.
// Input goes out through Dispatch instead, which holds no lock while it calls a control: an
// input handler may look up or change any list, in any order, without inverting the lock
// order against another thread's walk.
#include <algorithm>
#include <mutex>
#include <vector>

#include "tavex/Version.h"

namespace Tavex {

class MControl;

class TAVEX_API ControlList {
 public:
  ControlList() = default;
  ControlList(const ControlList&) = delete;
  ControlList& operator=(const ControlList&) = delete;
  ~ControlList();

  void Add(MControl* control);
  // Detaches without deleting; returns whether it was listed.
  bool Detach(MControl* control);
  // Detaches and deletes; returns whether it was listed.
  bool Remove(MControl* control);
  void Clear();
  bool Contains(const MControl* control) const;
  std::vector<MControl*> Snapshot() const;
  std::size_t Size() const;
  std::recursive_mutex& Lock() const { return m_lock; }

  // Calls fn(control) for each control in order while holding the lock; stops when fn
  // returns true and returns that control (else null).
  template <typename Fn>
  MControl* FindIf(Fn&& fn) const {
    std::lock_guard guard(m_lock);
    const std::vector<MControl*> items = m_items;
    for (MControl* c : items) {
      if (fn(c)) return c;
    }
    return nullptr;
  }
  template <typename Fn>
  MControl* FindLastIf(Fn&& fn) const {
    std::lock_guard guard(m_lock);
    const std::vector<MControl*> items = m_items;
    for (auto it = items.rbegin(); it != items.rend(); ++it) {
      if (fn(*it)) return *it;
    }
    return nullptr;
  }
  // Input dispatch, UI thread only: calls fn(control) for each control listed now, in order,
  // holding no lock during the call; a control removed by an earlier call is skipped. Other
  // threads do not remove controls while the window takes input (MControl.h), so the control
  // called stays alive. Stops when fn returns true and returns that control (else null).
  template <typename Fn>
  MControl* Dispatch(Fn&& fn) const {
    for (MControl* c : Snapshot()) {
      if (Contains(c) && fn(c)) return c;
    }
    return nullptr;
  }
  template <typename Fn>
  void ForEach(Fn&& fn) const {
    std::lock_guard guard(m_lock);
    const std::vector<MControl*> items = m_items;
    for (MControl* c : items) fn(c);
  }

 private:
  mutable std::recursive_mutex m_lock;
  std::vector<MControl*> m_items;
};

}  // namespace Tavex
