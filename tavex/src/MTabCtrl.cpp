#include "tavex/MTabCtrl.h"

#include <algorithm>

#include "tavex/Codes.h"
#include "tavex/MPanel.h"
#include "tavex/MRender.h"
#include "tavex/Manager.h"
#include "tavex/PaintManager.h"

namespace Tavex {

namespace {
constexpr unsigned kAnimTimer = 100;
constexpr int kAnimSteps = 8;
}  // namespace

MTabCtrl::MTabCtrl(MObject* parent, unsigned id, CRect rect, const char* title, int visible,
                   int enabled)
    : MControlFont(parent, id, rect, title, visible, enabled) {
  m_hAlign = 1;
}

const char* MTabCtrl::GetClassNameW() const { return "MTabCtrl"; }

int MTabCtrl::InsertItem(unsigned id, const char* text, const char* image, MControl* page,
                         int states, int width) {
  auto item = std::make_unique<TabItemInfo>();
  item->id = id;
  item->text = text != nullptr ? text : "";
  item->page = page;
  item->states = states <= 0 ? 3 : states;
  if (image != nullptr && *image != '\0') {
    item->image = LoadSkinImage(image);
    item->stateWidth = item->image.Width() / item->states;
    item->imageHeight = item->image.Height();
  }
  int index = 0;
  {
    std::lock_guard guard(m_dataLock);
    const int w = width > 0 ? width : item->stateWidth;
    // The first tab sets the shared width when none was asked for.
    if (m_items.empty() && m_itemWidth == 0) m_itemWidth = w;
    if (m_items.empty() && m_stripHeight == 0) m_stripHeight = item->imageHeight;
    m_items.push_back(std::move(item));
    index = static_cast<int>(m_items.size()) - 1;
    LayoutLocked();
  }
  ShowPages();
  UpdateControl(1, 0);
  return index;
}

int MTabCtrl::GetItemCount() const {
  std::lock_guard guard(m_dataLock);
  return static_cast<int>(m_items.size());
}

unsigned MTabCtrl::GetItemID(int index) const {
  std::lock_guard guard(m_dataLock);
  if (index < 0 || index >= static_cast<int>(m_items.size())) return 0;
  return m_items[index]->id;
}

TabItemInfo* MTabCtrl::GetItemInfo(int index) {
  std::lock_guard guard(m_dataLock);
  if (index < 0 || index >= static_cast<int>(m_items.size())) return nullptr;
  return m_items[index].get();
}

void MTabCtrl::SetItemText(int index, const CString& text) {
  {
    std::lock_guard guard(m_dataLock);
    if (index < 0 || index >= static_cast<int>(m_items.size())) return;
    if (m_items[index]->text == text) return;
    m_items[index]->text = text;
  }
  UpdateControl(1, 0);
}

void MTabCtrl::DeleteItem(int index) {
  {
    std::lock_guard guard(m_dataLock);
    if (index < 0 || index >= static_cast<int>(m_items.size())) return;
    m_items.erase(m_items.begin() + index);
    if (m_select > index) --m_select;
    m_hover = -1;
    LayoutLocked();
  }
  ShowPages();
  UpdateControl(1, 0);
}

int MTabCtrl::GetItemVisible(int index) const {
  std::lock_guard guard(m_dataLock);
  if (index < 0 || index >= static_cast<int>(m_items.size())) return 0;
  return m_items[index]->visible;
}

void MTabCtrl::SetItemVisible(int index, int visible) {
  {
    std::lock_guard guard(m_dataLock);
    if (index < 0 || index >= static_cast<int>(m_items.size())) return;
    m_items[index]->visible = visible ? 1 : 0;
    LayoutLocked();
  }
  ShowPages();
  UpdateControl(1, 0);
}

int MTabCtrl::SetSelectItem(int index) {
  int old = 0;
  {
    std::lock_guard guard(m_dataLock);
    if (index < 0 || index >= static_cast<int>(m_items.size()) || index == m_select) {
      return m_select;
    }
    old = m_select;
    m_oldSelect = m_select;
    m_select = index;
    m_hover = -1;
  }
  SendMessageW(Notify::Click, static_cast<unsigned>(index), 0);
  ShowPages();
  if (m_animate && m_manager != nullptr) {
    m_animStep = 0;
    m_manager->SetTimer(this, kAnimTimer, 30);
  }
  UpdateControl(1, 0);
  return old;
}

int MTabCtrl::GetSelectItem() const {
  std::lock_guard guard(m_dataLock);
  return m_select;
}

int MTabCtrl::GetHoverItem() const {
  std::lock_guard guard(m_dataLock);
  return m_hover;
}

void MTabCtrl::SetItemWidth(int width, int minWidth, int relayout) {
  {
    std::lock_guard guard(m_dataLock);
    if (m_items.empty()) return;
    m_itemWidthWanted = width;
    m_itemWidthMin = minWidth;
    int w = width;
    if (minWidth > 0) {
      const int space = (m_rect.Width() - m_left - m_right) / static_cast<int>(m_items.size());
      w = std::max(std::min(space, width), minWidth);
    }
    if (w == m_itemWidth) return;
    m_itemWidth = w;
    if (!relayout) return;
    LayoutLocked();
  }
  ShowPages();
  UpdateControl(1, 0);
}

void MTabCtrl::SetItemHeight(int height, int minHeight, int relayout) {
  {
    std::lock_guard guard(m_dataLock);
    if (m_items.empty()) return;
    m_itemHeightWanted = height;
    m_itemHeightMin = minHeight;
    int h = height;
    if (minHeight > 0) {
      const int space = (m_rect.Height() - m_top - m_bottom) / static_cast<int>(m_items.size());
      h = std::max(std::min(space, height), minHeight);
    }
    if (h == m_itemHeight) return;
    m_itemHeight = h;
    if (!relayout) return;
    LayoutLocked();
  }
  ShowPages();
  UpdateControl(1, 0);
}

int MTabCtrl::GetItemWidth() const {
  std::lock_guard guard(m_dataLock);
  return m_itemWidth;
}

int MTabCtrl::GetItemHeight() const {
  std::lock_guard guard(m_dataLock);
  return m_itemHeight;
}

void MTabCtrl::SetTabCtrlWidth(int width) {
  std::lock_guard guard(m_dataLock);
  if (width == 0 && !m_items.empty()) width = m_items[0]->stateWidth;
  if (width == m_stripWidth) return;
  m_stripWidth = width;
  LayoutLocked();
  UpdateControl(1, 0);
}

void MTabCtrl::SetTabCtrlHeight(int height) {
  std::lock_guard guard(m_dataLock);
  if (height == 0 && !m_items.empty()) height = m_items[0]->imageHeight;
  if (height == m_stripHeight) return;
  m_stripHeight = height;
  LayoutLocked();
  UpdateControl(1, 0);
}

void MTabCtrl::SetLeftRightPading(int left, int right) {
  std::lock_guard guard(m_dataLock);
  if (left == m_left && right == m_right) return;
  m_left = left;
  m_right = right;
  LayoutLocked();
  UpdateControl(1, 0);
}

void MTabCtrl::SetTopBottomPading(int top, int bottom) {
  std::lock_guard guard(m_dataLock);
  if (top == m_top && bottom == m_bottom) return;
  m_top = top;
  m_bottom = bottom;
  LayoutLocked();
  UpdateControl(1, 0);
}

void MTabCtrl::SetTabType(TAB_TYPE type) {
  std::lock_guard guard(m_dataLock);
  if (type == m_type) return;
  m_type = type;
  LayoutLocked();
  UpdateControl(1, 0);
}

void MTabCtrl::EnableAnimateChangeTab(int on) { m_animate = on ? 1 : 0; }

void MTabCtrl::EnableSeparator(int on, int width, int height) {
  std::lock_guard guard(m_dataLock);
  m_separatorOn = on ? 1 : 0;
  m_separatorWidth = width;
  m_separatorHeight = height;
  LayoutLocked();
  UpdateControl(1, 0);
}

void MTabCtrl::EnableTabButton(int on, int width, int height) {
  std::lock_guard guard(m_dataLock);
  m_buttonOn = on ? 1 : 0;
  m_buttonWidth = width;
  m_buttonHeight = height;
  LayoutLocked();
  UpdateControl(1, 0);
}

void MTabCtrl::SetTabTooltip(int index, const CString& text) {
  std::lock_guard guard(m_dataLock);
  if (index < 0 || index >= static_cast<int>(m_items.size())) return;
  m_items[index]->tooltip = text;
}

void MTabCtrl::ClearTabTooltip() {
  std::lock_guard guard(m_dataLock);
  for (auto& item : m_items) item->tooltip.clear();
  ClearTooltip();
}

MControl* MTabCtrl::CreatePanel(const char* name, unsigned id, CRect rect) {
  if (m_manager == nullptr) return nullptr;
  return m_manager->CreateControl(m_parent, name != nullptr ? name : "MTabLayout", id, rect, "", 1,
                                  1, 1);
}

void MTabCtrl::RefreshItems() {
  {
    std::lock_guard guard(m_dataLock);
    LayoutLocked();
  }
  ShowPages();
  UpdateControl(1, 0);
}

void MTabCtrl::LayoutLocked() {
  m_separators.clear();
  const int count = static_cast<int>(m_items.size());
  int lastVisible = -1;
  for (int i = 0; i < count; ++i) {
    if (m_items[i]->visible) lastVisible = i;
  }
  const bool vertical = m_type == TAB_VERTICAL;
  int x = m_rect.left + m_left;
  int y = m_rect.top + m_top;
  for (int i = 0; i < count; ++i) {
    TabItemInfo& item = *m_items[i];
    if (!item.visible) {
      item.rect = CRect();
      item.buttonRect = CRect();
      continue;
    }
    const bool last = i == lastVisible;
    if (vertical) {
      item.rect = CRect(x, y, x + m_stripWidth, y + m_itemHeight);
      y += m_itemHeight;
      if (m_separatorOn && !last) {
        m_separators.push_back(CRect(x, y, x + m_stripWidth, y + m_separatorHeight));
        y += m_separatorHeight;
      }
    } else {
      item.rect = CRect(x, y, x + m_itemWidth, y + m_stripHeight);
      x += m_itemWidth;
      if (m_separatorOn && !last) {
        const int top = y + (m_stripHeight - m_separatorHeight) / 2;
        m_separators.push_back(CRect(x, top, x + m_separatorWidth, top + m_separatorHeight));
        x += m_separatorWidth;
      }
    }
    if (m_buttonOn) {
      const int right = item.rect.right - m_buttonRight;
      const int top = item.rect.top + m_buttonTop;
      item.buttonRect = CRect(right - m_buttonWidth, top, right, top + m_buttonHeight);
    }
  }
  // A selection that vanished (deleted or hidden tab) moves to the last visible tab.
  if (m_select >= count || (m_select >= 0 && !m_items[m_select]->visible)) {
    m_select = lastVisible;
  }
  if (m_hover >= count) m_hover = -1;
}

void MTabCtrl::ShowPages() {
  std::vector<std::pair<MControl*, int>> pages;
  {
    std::lock_guard guard(m_dataLock);
    for (int i = 0; i < static_cast<int>(m_items.size()); ++i) {
      if (m_items[i]->page != nullptr) pages.emplace_back(m_items[i]->page, i == m_select);
    }
  }
  // Hide first so that two pages never show together.
  for (auto& [page, show] : pages) {
    if (!show) page->SetVisible(0);
  }
  for (auto& [page, show] : pages) {
    if (show) page->SetVisible(1);
  }
}

int MTabCtrl::PtInTabButton(CPoint pt, TabItemInfo& item) const {
  return m_buttonOn && item.buttonRect.PtInRect(pt) ? 1 : 0;
}

int MTabCtrl::HitTest(CPoint pt) const {
  std::lock_guard guard(m_dataLock);
  for (int i = 0; i < static_cast<int>(m_items.size()); ++i) {
    if (m_items[i]->visible && m_items[i]->rect.PtInRect(pt)) return i;
  }
  return -1;
}

void MTabCtrl::SetControlRect(CRect rect) {
  std::lock_guard guard(m_dataLock);
  MControlFont::SetControlRect(rect);
  if (m_itemWidthMin > 0 && !m_items.empty()) {
    const int space = (m_rect.Width() - m_left - m_right) / static_cast<int>(m_items.size());
    m_itemWidth = std::max(std::min(space, m_itemWidthWanted), m_itemWidthMin);
  }
  LayoutLocked();
}

int MTabCtrl::OnCheckMouseResponse(unsigned, CPoint pt) { return PtInRect(pt); }

int MTabCtrl::OnControlMouseMove(unsigned, CPoint pt) {
  const int hit = HitTest(pt);
  CString tip;
  {
    std::lock_guard guard(m_dataLock);
    if (hit == m_hover) return 1;
    m_hover = hit;
    if (hit >= 0) tip = m_items[hit]->tooltip;
  }
  if (!tip.empty()) SetTooltip(tip.c_str());
  UpdateControl(1, 0);
  return 1;
}

int MTabCtrl::OnControlLButtonDown(unsigned, CPoint pt) {
  int buttonOf = -1;
  {
    std::lock_guard guard(m_dataLock);
    m_pressedTab = 1;
    m_hover = -1;
    for (int i = 0; i < static_cast<int>(m_items.size()); ++i) {
      if (m_items[i]->visible && m_items[i]->rect.PtInRect(pt)) m_hover = i;
      if (m_items[i]->visible && PtInTabButton(pt, *m_items[i])) {
        m_items[i]->buttonState = 2;
        buttonOf = i;
      }
    }
  }
  if (buttonOf >= 0) {
    SendMessageW(Notify::InnerPress, static_cast<unsigned>(buttonOf), 0);
    UpdateControl(1, 0);
  }
  return 1;
}

int MTabCtrl::OnControlLButtonUp(unsigned, CPoint pt) {
  int target = -1;
  {
    std::lock_guard guard(m_dataLock);
    const bool wasPressed = m_pressedTab != 0;
    m_pressedTab = 0;
    for (auto& item : m_items) item->buttonState = 0;
    if (wasPressed && pt.x > 0 && pt.y > 0 && m_hover >= 0 &&
        m_items[m_hover]->rect.PtInRect(pt)) {
      target = m_hover;
    }
  }
  if (target >= 0) SetSelectItem(target);
  UpdateControl(1, 0);
  return 1;
}

void MTabCtrl::OnControlMouseLeave() {
  {
    std::lock_guard guard(m_dataLock);
    if (m_hover < 0) return;
    m_hover = -1;
  }
  UpdateControl(1, 0);
}

int MTabCtrl::OnControlTimerKey(unsigned key) {
  if (key != kAnimTimer) return 0;
  if (++m_animStep >= kAnimSteps && m_manager != nullptr) m_manager->KillTimer(this, kAnimTimer);
  UpdateControl(1, 0);
  return 1;
}

void MTabCtrl::DrawControl(Painter& painter, CRect) {
  std::lock_guard guard(m_dataLock);
  const FontDesc font = GetFontDesc();
  for (int i = 0; i < static_cast<int>(m_items.size()); ++i) {
    const TabItemInfo& item = *m_items[i];
    if (!item.visible || item.rect.IsRectEmpty()) continue;
    const bool selected = i == m_select;
    const bool hover = i == m_hover;
    if (!item.image.IsNull() && item.stateWidth > 0) {
      // States: normal, hover, selected.
      const int state = std::min(selected ? 2 : hover ? 1 : 0, item.states - 1);
      const int x = item.rect.left + (item.rect.Width() - item.stateWidth) / 2;
      const int y = item.rect.top + (item.rect.Height() - item.imageHeight) / 2;
      const RECT src{state * item.stateWidth, 0, (state + 1) * item.stateWidth, item.imageHeight};
      const RECT dst{x, y, x + item.stateWidth, y + item.imageHeight};
      BYTE alpha = 255;
      if (selected && m_animate && m_animStep < kAnimSteps) {
        alpha = static_cast<BYTE>(80 + 175 * m_animStep / kAnimSteps);
      }
      painter.DrawImage(item.image, dst, src, alpha);
    } else {
      if (selected) {
        painter.FillRect(item.rect, m_colors[0]);
      } else if (hover) {
        painter.FillRect(item.rect, (m_colors[0] & 0x00FFFFFF) | 0x50000000);
      }
    }
    if (!item.text.empty()) {
      const std::uint32_t colour = selected && item.image.IsNull() ? m_colors[1] : m_colors[2];
      painter.DrawText(item.text, font, item.rect, colour, GetTextFormat());
    }
  }
  for (const CRect& sep : m_separators) painter.FillRect(sep, m_colors[2]);
}

}  // namespace Tavex
