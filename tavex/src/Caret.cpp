#include "tavex/Caret.h"

#include <algorithm>

#include "tavex/AnimationClock.h"
#include "tavex/Native.h"

namespace Tavex {

void Caret::Create(const Image& bitmap, int width, int height) {
  m_bitmap = bitmap;
  const int w = std::max(width, 1), h = std::max(height, 1);
  m_rect = CRect(m_rect.left, m_rect.top, m_rect.left + w, m_rect.top + h);
}

void Caret::SetPos(MControl* owner, int x, int y) {
  m_owner = owner;
  m_rect = CRect(x, y, x + m_rect.Width(), y + m_rect.Height());
}

bool Caret::Show(bool visible) {
  if (visible == m_visible) return false;
  m_visible = visible;
  m_shownMs = AnimationClock::NowMs();
  return true;
}

bool Caret::IsPhaseOn() const { return BlinkPhaseOn(m_shownMs); }

bool BlinkPhaseOn(std::int64_t sinceMs) {
  const std::int64_t blink = std::max<std::int64_t>(Native::GetCaretBlinkTime(), 1);
  const std::int64_t elapsed = std::max<std::int64_t>(AnimationClock::NowMs() - sinceMs, 0);
  return (elapsed / blink) % 2 == 0;
}

void Caret::Release(MControl* owner) {
  if (owner != nullptr && owner != m_owner) return;
  m_owner = nullptr;
  m_visible = false;
}

void Caret::Draw(Painter& painter, const CRect& paint) const {
  if (!m_visible || !IsPhaseOn() || !m_rect.Intersects(paint)) return;
  if (!m_bitmap.IsNull()) {
    painter.DrawImage(m_bitmap, m_rect, RECT{0, 0, m_bitmap.Width(), m_bitmap.Height()});
    return;
  }
  painter.FillRect(m_rect, m_colour);
}

}  // namespace Tavex
