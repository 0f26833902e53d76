#include "tavex/Buttons.h"

namespace Tavex {

UpgradeButton::UpgradeButton(MObject* parent, unsigned id, CRect rect, const char* title,
                             int visible, int enabled)
    : MButton(parent, id, rect, title, visible, enabled) {}

const char* UpgradeButton::GetClassNameW() const { return "UpgradeButton"; }

void UpgradeButton::SetUpgradeStatus(int status) {
  if (m_status.exchange(status) == status) return;
  UpdateControl(1, 0);
}

CRect UpgradeButton::GetBadgeRect() const {
  const CRect r = GetRect();
  return CRect(r.right - kBadgeSize, r.top, r.right, r.top + kBadgeSize);
}

void UpgradeButton::DrawControl(Painter& painter, CRect paint) {
  MButton::DrawControl(painter, paint);
  if (m_status.load() == 0) return;
  const CRect b = GetBadgeRect();
  painter.FillEllipse(static_cast<float>(b.left), static_cast<float>(b.top),
                      static_cast<float>(kBadgeSize), static_cast<float>(kBadgeSize), kBadgeColor);
  FontDesc font = GetFontDesc();
  font.sizePx = 8;
  painter.DrawText("1", font, b, m_textColor, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
}

}  // namespace Tavex
