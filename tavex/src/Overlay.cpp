#include "tavex/Overlay.h"

#include <algorithm>

namespace Tavex {

namespace {
ARGB WithAlpha(int alpha, std::uint32_t rgb) {
  return (static_cast<std::uint32_t>(std::clamp(alpha, 0, 255)) << 24) | (rgb & 0xFFFFFF);
}
}  // namespace

Overlay::Overlay(OverlayHost& host) : m_host(host) {}

void Overlay::Repaint() { m_host.RepaintOverlay(m_layered ? CRect() : m_rect); }

void Overlay::StartFade() { m_host.StartOverlayTimer(kTimerFade, kFadeMs); }

void Overlay::SetMessage(const CString& text, CRect rect, MsgLevel level) {
  m_host.StopOverlayTimer(kTimerMessage);
  m_host.StopOverlayTimer(kTimerFade);
  m_alpha = 255;
  m_text = text;
  m_level = level;
  m_rect = rect;
  m_shown = 0;
  Repaint();
  m_host.StartOverlayTimer(kTimerMessage, kMessageMs);
}

void Overlay::SetProgress(int percent, const CString& text, CRect rect) {
  if (percent == m_target) return;
  if (percent < 5) m_host.StopOverlayTimer(kTimerFade);
  m_alpha = 255;
  m_text = text;
  m_target = percent;
  if (rect.IsRectEmpty()) {
    const CRect client = m_host.OverlayClientRect();
    rect = CRect(client.left, client.bottom - 60, client.right, client.bottom - 2);
  }
  m_rect = rect;
  if (m_target - m_shown < 6) {
    m_host.StopOverlayTimer(kTimerProgress);
    m_shown = m_target;
    Repaint();
    if (m_shown > 99) StartFade();
    return;
  }
  m_host.StartOverlayTimer(kTimerProgress, kProgressMs);
}

bool Overlay::OnTimer(unsigned id) {
  switch (id) {
    case kTimerMessage:
      m_host.StopOverlayTimer(kTimerMessage);
      StartFade();
      return true;
    case kTimerFade:
      if (m_alpha - 10 < 20) {
        m_alpha = 0;
        m_shown = 0;
        m_host.StopOverlayTimer(kTimerFade);
        m_host.RepaintOverlay(CRect());
        return true;
      }
      m_alpha -= 10;
      Repaint();
      return true;
    case kTimerProgress:
      m_shown = std::min(m_shown + 2, std::max(m_target, m_shown));
      Repaint();
      if (m_shown >= m_target) {
        m_host.StopOverlayTimer(kTimerProgress);
        if (m_shown >= 100) StartFade();
      }
      return true;
    default:
      return false;
  }
}

bool Overlay::IsShown() const { return m_alpha > 10 && !m_text.empty(); }

void Overlay::Draw(Painter& painter) const {
  if (!IsShown()) return;
  const CRect r = m_rect;
  painter.FillRect(r, WithAlpha(m_alpha, 0xE6E6E6));
  CRect inner = r;
  inner.DeflateRect(2, 2);
  painter.FillRect(inner, WithAlpha(m_alpha, 0xFEFEFE));
  FontDesc font;
  font.family = m_font;
  font.sizePx = 12;
  const ARGB ink = WithAlpha(m_alpha, 0x050505);
  if (m_shown <= 0) {
    const RECT box{r.left + 5, r.top + 5, r.left + 5 + 190, r.top + 5 + 50};
    painter.DrawText(m_text, font, box, ink, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS);
    return;
  }
  const RECT box{r.left + 5, r.top + 5, r.right - 5, r.top + 5 + 30};
  painter.DrawText(m_text, font, box, ink, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS);
  const float y = static_cast<float>(r.bottom - 15) + 0.5f;
  painter.DrawLine(static_cast<float>(r.left + 10), y, static_cast<float>(r.right - 20), y,
                   0xC8C8C8C8, 1.0f);
  const int width = std::clamp(m_shown, 0, 100) * (r.Width() - 20) / 100;
  painter.FillRect(RECT{r.left + 10, r.bottom - 16, r.left + 10 + width, r.bottom - 13},
                   0xFEFFE100);
}

}  // namespace Tavex
