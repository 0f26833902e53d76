#include "tavex/Pictures.h"

#include <algorithm>
#include <cmath>

#include "tavex/AnimationClock.h"
#include "tavex/MRender.h"

namespace Tavex {

namespace {
// The strip covers its distance at this many pixels per millisecond (at least one a tick).
constexpr double kPixelsPerMs = 2.0;
}  // namespace

CSliderPicture::CSliderPicture(MObject* parent, unsigned id, CRect rect, int visible, int enabled)
    : MPicture(parent, id, rect, visible, enabled) {}

const char* CSliderPicture::GetClassNameW() const { return "CSliderPicture"; }

void CSliderPicture::InitControl(PaintManager* manager) {
  MPicture::InitControl(manager);
  AddMTimer();
}

void CSliderPicture::SetControlRect(CRect rect) {
  std::lock_guard guard(m_dataLock);
  const int oldWidth = m_rect.Width();
  MPicture::SetControlRect(rect);
  if (oldWidth > 0 && rect.Width() != oldWidth) {
    m_offset = m_offset * rect.Width() / oldWidth;
  }
}

bool CSliderPicture::AddPicture(const char* file) {
  const Image image = LoadSkinImage(file != nullptr ? file : "");
  if (image.IsNull()) return false;
  AddPicture(image);
  return true;
}

void CSliderPicture::AddPicture(const Image& image) {
  {
    std::lock_guard guard(m_dataLock);
    m_pictures.push_back(image);
  }
  UpdateControl(1, 0);
}

int CSliderPicture::GetCount() const {
  std::lock_guard guard(m_dataLock);
  return static_cast<int>(m_pictures.size());
}

int CSliderPicture::GetCurrent() const {
  std::lock_guard guard(m_dataLock);
  return m_current;
}

int CSliderPicture::GetOffset() const {
  std::lock_guard guard(m_dataLock);
  return static_cast<int>(std::lround(m_offset));
}

void CSliderPicture::SetCurrent(int index, int animate) {
  {
    std::lock_guard guard(m_dataLock);
    const int last = std::max(0, static_cast<int>(m_pictures.size()) - 1);
    const int i = std::clamp(index, 0, last);
    const double target = static_cast<double>(i) * m_rect.Width();
    if (i == m_current && m_offset == target) return;
    m_current = i;
    if (!animate) m_offset = target;
    m_lastTick = AnimationClock::NowMs();
  }
  if (animate) SetRunTimer(1);
  UpdateControl(1, 0);
}

bool CSliderPicture::Advance(int ms) {
  std::lock_guard guard(m_dataLock);
  const double target = static_cast<double>(m_current) * m_rect.Width();
  if (m_offset == target) return false;
  const double step = std::max(1.0, kPixelsPerMs * std::max(0, ms));
  if (std::fabs(target - m_offset) <= step) {
    m_offset = target;
  } else {
    m_offset += target > m_offset ? step : -step;
  }
  return true;
}

int CSliderPicture::OnControlTimer() {
  const long long now = AnimationClock::NowMs();
  int ms = 0;
  {
    std::lock_guard guard(m_dataLock);
    ms = static_cast<int>(now - m_lastTick);
    m_lastTick = now;
  }
  const bool moved = Advance(ms);
  if (!moved) SetRunTimer(0);
  return moved ? 1 : 0;
}

void CSliderPicture::DrawControl(Painter& painter, CRect) {
  const CRect r = m_rect;
  const int w = r.Width();
  if (w <= 0) return;
  painter.PushClip(r);
  const int offset = static_cast<int>(std::lround(m_offset));
  for (std::size_t i = 0; i < m_pictures.size(); ++i) {
    const int left = r.left + static_cast<int>(i) * w - offset;
    if (left >= r.right || left + w <= r.left) continue;
    DrawPicture(painter, m_pictures[i], CRect(left, r.top, left + w, r.bottom));
  }
  painter.PopClip();
}

}  // namespace Tavex
