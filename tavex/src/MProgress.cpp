#include "tavex/Sliders.h"

#include <algorithm>
#include <string>

#include "tavex/MRender.h"
#include "tavex/Manager.h"

namespace Tavex {

MProgress::MProgress(MObject* parent, unsigned id, CRect rect, int visible, int enabled)
    : MControlFont(parent, id, rect, nullptr, visible, enabled),
      m_barColor(Manager::GetSelectColor()) {
  m_response = 0;
  m_hAlign = 1;
}

const char* MProgress::GetClassNameW() const { return "MProgress"; }

void MProgress::SetPos(int pos) {
  const int v = std::clamp(pos, 0, m_range.load());
  if (m_pos.exchange(v) == v) return;
  UpdateControl(1, 0);
}

void MProgress::SetRange(int range) {
  const int r = std::max(1, range);
  if (m_range.exchange(r) == r) return;
  m_pos = std::min(m_pos.load(), r);
  UpdateControl(1, 0);
}

int MProgress::FilledWidth(int width) const {
  const int range = std::max(1, m_range.load());
  return static_cast<int>(static_cast<long long>(width) * std::clamp(m_pos.load(), 0, range) /
                          range);
}

void MProgress::DrawControl(Painter& painter, CRect) {
  const CRect r = m_rect;
  const float radius = std::min(4.0f, static_cast<float>(r.Height()) / 2);
  const Image back = LoadSkinImage(m_imagePath);
  const int filled = FilledWidth(r.Width());
  if (!back.IsNull()) {
    painter.DrawImage(back, r, MRender::StateRect(back, 2, 0));
    painter.PushClip(CRect(r.left, r.top, r.left + filled, r.bottom));
    painter.DrawImage(back, r, MRender::StateRect(back, 2, 1));
    painter.PopClip();
  } else {
    painter.FillRoundRect(static_cast<float>(r.left), static_cast<float>(r.top),
                          static_cast<float>(r.Width()), static_cast<float>(r.Height()), radius,
                          radius, 0xFF24242A);
    if (filled > 0) {
      painter.FillRoundRect(static_cast<float>(r.left), static_cast<float>(r.top),
                            static_cast<float>(filled), static_cast<float>(r.Height()), radius,
                            radius, m_barColor);
    }
  }
  if (m_showText) {
    const int percent = static_cast<int>(100LL * m_pos.load() / std::max(1, m_range.load()));
    painter.DrawText(std::to_string(percent) + "%", GetFontDesc(), r, m_textColor,
                     DT_SINGLELINE | DT_CENTER | DT_VCENTER);
  }
}

}  // namespace Tavex
