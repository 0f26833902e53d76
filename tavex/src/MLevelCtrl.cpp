#include "tavex/Sliders.h"

#include <algorithm>

#include "tavex/Codes.h"
#include "tavex/MRender.h"
#include "tavex/Manager.h"

namespace Tavex {

MLevelCtrl::MLevelCtrl(MObject* parent, unsigned id, CRect rect, int visible, int enabled)
    : MControlFont(parent, id, rect, nullptr, visible, enabled) {
  m_imageStates = 2;
}

const char* MLevelCtrl::GetClassNameW() const { return "MLevelCtrl"; }

void MLevelCtrl::SetLevelCount(int count) {
  const int n = std::max(1, count);
  if (m_count.exchange(n) == n) return;
  m_level = std::min(m_level.load(), n);
  UpdateControl(1, 0);
}

void MLevelCtrl::SetLevel(int level) {
  const int l = std::clamp(level, 0, m_count.load());
  if (m_level.exchange(l) == l) return;
  UpdateControl(1, 0);
}

CRect MLevelCtrl::GetStepRect(int index) const {
  const CRect r = GetRect();
  const int n = m_count.load();
  if (index < 0 || index >= n) return {};
  const int w = std::max(1, (r.Width() - kGap * (n - 1)) / n);
  const int left = r.left + index * (w + kGap);
  return CRect(left, r.top, left + w, r.bottom);
}

int MLevelCtrl::StepAt(CPoint pt) const {
  for (int i = 0; i < m_count.load(); ++i) {
    // Gaps belong to the step on their left, so the row has no dead spots.
    CRect step = GetStepRect(i);
    step.right += kGap;
    if (step.PtInRect(pt)) return i;
  }
  return -1;
}

void MLevelCtrl::DrawControl(Painter& painter, CRect) {
  const Image image = LoadSkinImage(m_imagePath);
  const int level = m_level.load();
  for (int i = 0; i < m_count.load(); ++i) {
    const CRect step = GetStepRect(i);
    const bool lit = i < level;
    if (!image.IsNull()) {
      MRender::DrawState(painter, image, m_imageStates, lit ? 1 : 0, step);
      continue;
    }
    ARGB fill = lit ? Manager::GetSelectColor() : 0xFF2E2E34;
    if (!m_enabled) fill = lit ? 0xFF5A3A2A : 0xFF1E1E22;
    painter.FillRoundRect(static_cast<float>(step.left), static_cast<float>(step.top),
                          static_cast<float>(step.Width()), static_cast<float>(step.Height()), 2,
                          2, fill);
    if (i == m_hoverStep && m_enabled) painter.DrawRect(step, 0xFFE6E6E6, 1);
  }
}

int MLevelCtrl::OnCheckMouseResponse(unsigned, CPoint pt) { return PtInRect(pt); }

int MLevelCtrl::OnControlMouseMove(unsigned, CPoint pt) {
  const int step = m_enabled ? StepAt(pt) : -1;
  if (step != m_hoverStep) {
    m_hoverStep = step;
    UpdateControl(1, 0);
  }
  return 1;
}

int MLevelCtrl::OnControlLButtonDown(unsigned, CPoint pt) {
  const int step = m_enabled ? StepAt(pt) : -1;
  if (step < 0) return 0;
  SetLevel(step + 1);
  SendMessageW(Notify::Click, static_cast<unsigned>(m_level.load()), 0);
  return 1;
}

void MLevelCtrl::OnControlMouseLeave() {
  if (m_hoverStep < 0) return;
  m_hoverStep = -1;
  UpdateControl(1, 0);
}

}  // namespace Tavex
