#include "tavex/Sliders.h"

#include <algorithm>
#include <string>

#include "tavex/Codes.h"
#include "tavex/MRender.h"
#include "tavex/Manager.h"

namespace Tavex {

namespace {
constexpr int kTextWidth = 44;
}

MSlider::MSlider(MObject* parent, unsigned id, CRect rect, int visible, int enabled)
    : MControlFont(parent, id, rect, nullptr, visible, enabled) {
  m_imageStates = 2;
}

const char* MSlider::GetClassNameW() const { return "MSlider"; }

void MSlider::SetProgress(int value) {
  if (value < 0) return;
  const int v = std::clamp(value, m_min.load(), std::max(m_min.load(), m_max.load()));
  if (m_value.exchange(v) == v) return;
  UpdateControl(1, 0);
}

void MSlider::SetMinProgress(int value) {
  if (m_min.exchange(value) == value) return;
  if (m_max.load() < value) m_max = value;
  const int clamped = std::clamp(m_value.load(), m_min.load(), m_max.load());
  m_value = clamped;
  UpdateControl(1, 0);
}

void MSlider::SetMaxProgress(int value) {
  if (m_max.exchange(value) == value) return;
  if (m_min.load() > value) m_min = value;
  const int clamped = std::clamp(m_value.load(), m_min.load(), m_max.load());
  m_value = clamped;
  UpdateControl(1, 0);
}

void MSlider::SetThumbImage(const char* file) {
  Assign(m_thumbImage, CString(file != nullptr ? file : ""));
}

void MSlider::SetShowText(int on) { Assign(m_showText, on ? 1 : 0); }
void MSlider::SetScale(int marks) { Assign(m_scale, std::max(0, marks)); }

CSize MSlider::ThumbSize() const {
  const Image thumb = LoadSkinImage(m_thumbImage);
  if (thumb.IsNull()) return {kDefaultThumb, kDefaultThumb};
  return {thumb.Width() / 4, thumb.Height()};
}

CRect MSlider::GetTrackRect() const {
  std::lock_guard guard(m_dataLock);
  const CSize thumb = ThumbSize();
  const int half = thumb.cx / 2;
  const int right = m_rect.right - half - (m_showText ? kTextWidth : 0);
  const int y = m_rect.top + (m_rect.Height() - kTrackHeight) / 2;
  return CRect(m_rect.left + half, y, std::max(m_rect.left + half, right), y + kTrackHeight);
}

CRect MSlider::GetThumbRect() const {
  const CRect track = GetTrackRect();
  const CSize thumb = ThumbSize();
  const int lo = m_min.load(), hi = m_max.load();
  const int span = std::max(1, hi - lo);
  const int x = track.left + static_cast<int>(static_cast<long long>(m_value.load() - lo) *
                                              track.Width() / span);
  const int y = m_rect.top + (m_rect.Height() - thumb.cy) / 2;
  return CRect(x - thumb.cx / 2, y, x - thumb.cx / 2 + thumb.cx, y + thumb.cy);
}

int MSlider::ValueAt(int x) const {
  const CRect track = GetTrackRect();
  const int lo = m_min.load(), hi = m_max.load();
  if (track.Width() <= 0) return lo;
  const int dx = std::clamp(x - track.left, 0, track.Width());
  // Rounded to the nearest value.
  const long long v = lo + (static_cast<long long>(dx) * (hi - lo) * 2 + track.Width()) /
                               (2LL * track.Width());
  return static_cast<int>(std::clamp<long long>(v, lo, hi));
}

bool MSlider::SetFromUser(int value) {
  const int was = m_value.load();
  SetProgress(value);
  return was != m_value.load();
}

void MSlider::DrawControl(Painter& painter, CRect) {
  const CRect track = GetTrackRect();
  const CRect thumb = GetThumbRect();
  const int fillRight = thumb.left + thumb.Width() / 2;
  const Image back = LoadSkinImage(m_imagePath);
  const BYTE alpha = m_enabled ? 255 : 110;
  if (!back.IsNull()) {
    painter.DrawImage(back, track, MRender::StateRect(back, m_imageStates, 0), alpha);
    if (fillRight > track.left) {
      // The filled state is cut, not squeezed, so it lines up with the empty one.
      const RECT s = MRender::StateRect(back, m_imageStates, 1);
      const CRect filled(track.left, track.top, fillRight, track.bottom);
      painter.PushClip(filled);
      painter.DrawImage(back, track, s, alpha);
      painter.PopClip();
    }
  } else {
    const float r = kTrackHeight / 2.0f;
    painter.FillRoundRect(static_cast<float>(track.left), static_cast<float>(track.top),
                          static_cast<float>(track.Width()), kTrackHeight, r, r, 0xFF2E2E34);
    if (fillRight > track.left) {
      painter.FillRoundRect(static_cast<float>(track.left), static_cast<float>(track.top),
                            static_cast<float>(fillRight - track.left), kTrackHeight, r, r,
                            m_enabled ? Manager::GetSelectColor() : 0xFF5A3A2A);
    }
  }
  for (int i = 0; m_scale > 1 && i < m_scale; ++i) {
    const int x = track.left + track.Width() * i / (m_scale - 1);
    painter.FillRect(RECT{x, track.bottom + 6, x + 1, track.bottom + 10}, 0xFF6A6A6A);
  }
  const int look = m_press.GetLook(m_enabled != 0);
  const Image thumbImage = LoadSkinImage(m_thumbImage);
  if (!thumbImage.IsNull()) {
    MRender::DrawState(painter, thumbImage, 4, look, thumb);
  } else {
    const ARGB ring = look == PressBehaviour::kDisabled ? 0xFF505050 : Manager::GetSelectColor();
    painter.FillEllipse(static_cast<float>(thumb.left), static_cast<float>(thumb.top),
                        static_cast<float>(thumb.Width()), static_cast<float>(thumb.Height()),
                        look == PressBehaviour::kNormal ? 0xFFE6E6E6 : 0xFFFFFFFF);
    painter.DrawEllipse(static_cast<float>(thumb.left) + 1, static_cast<float>(thumb.top) + 1,
                        static_cast<float>(thumb.Width()) - 2,
                        static_cast<float>(thumb.Height()) - 2, ring, 2.0f);
  }
  if (m_showText) {
    const CRect text(m_rect.right - kTextWidth, m_rect.top, m_rect.right, m_rect.bottom);
    painter.DrawText(std::to_string(m_value.load()), GetFontDesc(), text,
                     m_enabled ? m_textColor : 0xFF6E6E6E, DT_SINGLELINE | DT_RIGHT | DT_VCENTER);
  }
}

int MSlider::OnCheckMouseResponse(unsigned, CPoint pt) { return PtInRect(pt); }

int MSlider::OnControlMouseMove(unsigned, CPoint pt) {
  if (m_dragging) {
    SetFromUser(ValueAt(pt.x));
    return 1;
  }
  if (m_press.Move(m_enabled && GetThumbRect().PtInRect(pt))) UpdateControl(1, 0);
  return 1;
}

int MSlider::OnControlLButtonDown(unsigned, CPoint pt) {
  if (!m_enabled || !PtInRect(pt)) return 0;
  m_dragging = 1;
  m_press.Down(true);
  SetFromUser(ValueAt(pt.x));
  UpdateControl(1, 0);
  return 1;
}

int MSlider::OnControlLButtonUp(unsigned, CPoint pt) {
  if (!m_dragging) return 0;
  m_dragging = 0;
  m_press.Up(GetThumbRect().PtInRect(pt), nullptr);
  UpdateControl(1, 0);
  SendMessageW(Notify::Click, 0, 0);
  return 1;
}

int MSlider::OnControlScroll(int, unsigned direction, CPoint) {
  if (!m_enabled) return 0;
  const int step = direction == 0 ? m_wheelStep : -m_wheelStep;
  const int target = std::clamp(m_value.load() + step, m_min.load(), m_max.load());
  SetFromUser(target);
  SendMessageW(Notify::Click, 0, 0);
  return 1;
}

void MSlider::OnControlMouseLeave() {
  // Disabled or hidden mid-drag: the release will not reach this control, so the drag ends
  // here; otherwise a later plain move would still set the value.
  if (m_dragging && (!m_enabled || !m_visible)) m_dragging = 0;
  if (!m_dragging && m_press.Leave()) UpdateControl(1, 0);
}

}  // namespace Tavex
