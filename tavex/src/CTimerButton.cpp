#include "tavex/Buttons.h"

#include "tavex/Codes.h"
#include "tavex/PaintManager.h"

namespace Tavex {

CTimerButton::CTimerButton(MObject* parent, unsigned id, CRect rect, const char* title,
                           int visible, int enabled)
    : MButton(parent, id, rect, title, visible, enabled) {}

const char* CTimerButton::GetClassNameW() const { return "CTimerButton"; }

int CTimerButton::OnControlLButtonDown(unsigned keys, CPoint pt) {
  const int r = MButton::OnControlLButtonDown(keys, pt);
  if (r != 0 && m_manager != nullptr) {
    m_repeating = 0;
    m_manager->SetTimer(this, kTimerKey, m_interval * 2);
  }
  return r;
}

int CTimerButton::OnControlLButtonUp(unsigned keys, CPoint pt) {
  if (m_manager != nullptr) m_manager->KillTimer(this, kTimerKey);
  m_repeating = 0;
  return MButton::OnControlLButtonUp(keys, pt);
}

int CTimerButton::OnControlTimerKey(unsigned key) {
  if (key != kTimerKey) return MButton::OnControlTimerKey(key);
  if (!m_press.IsPressed() || !m_enabled) {
    if (m_manager != nullptr) m_manager->KillTimer(this, kTimerKey);
    return 0;
  }
  if (!m_repeating && m_manager != nullptr) {
    // From the first delay to the repeat rate: a running timer set again keeps its interval.
    m_repeating = 1;
    m_manager->KillTimer(this, kTimerKey);
    m_manager->SetTimer(this, kTimerKey, m_interval);
  }
  // Held but dragged outside: wait without sending until the pointer is back.
  if (m_press.IsHover()) SendMessageW(Notify::Click, 0, 0);
  return 0;
}

}  // namespace Tavex
