// KeyboardCtrl: pointer input, frame selection, the key tip and the preview animation tick.
// Points arrive in window coordinates (the space of the control's rectangle).
#include <algorithm>
#include <cstdlib>

#include "tavex/Codes.h"
#include "tavex/KeyboardCtrl.h"
#include "tavex/KeyboardTips.h"
#include "tavex/PaintManager.h"

namespace Tavex {

namespace {
constexpr unsigned kNoKey = 0xFFFFFFFFu;
}  // namespace

int KeyboardCtrl::OnCheckMouseResponse(unsigned, CPoint pt) { return GetRect().PtInRect(pt); }

int KeyboardCtrl::HitTest(CPoint windowPt) const {
  for (const auto& k : m_keys) {
    if (GetWindowKeyRect(k->rect).PtInRect(windowPt)) return k->index;
  }
  return -1;
}

bool KeyboardCtrl::Animates() const {
  // One frame (the static mode) never changes: nothing to tick for.
  return m_mode == kModePreview && m_frameCount > 1;
}

int KeyboardCtrl::OnControlTimer() {
  m_ticked = 1;
  if (!m_visible || !Animates()) return 0;
  if (++m_tick < m_ticksPerFrame) return 0;
  m_tick = 0;
  const int shown = m_currentFrame;
  m_currentFrame = (m_currentFrame + 1) % m_frameCount;
  // A non-zero result would make the manager repaint the whole control; only the outlines
  // that differ from the frame before are invalidated instead, and a frame equal to the one
  // before costs no paint at all.
  const CRect changed = ChangedArea(shown, m_currentFrame);
  if (changed.IsRectEmpty()) return 0;
  if (m_manager != nullptr) m_manager->OfferRetained(this);
  UpdateControl(changed, kUpdateRetained, 0);
  return 0;
}

int KeyboardCtrl::QuietTicks() const {
  std::lock_guard guard(m_dataLock);
  if (!m_visible || !Animates()) return kQuietForever;
  // The ticks before the one that shows the next frame change nothing.
  return std::max(0, m_ticksPerFrame - 1 - m_tick);
}

void KeyboardCtrl::PassQuietTicks(int ticks) {
  std::lock_guard guard(m_dataLock);
  if (!Animates()) return;
  m_tick = std::clamp(m_tick + ticks, 0, std::max(0, m_ticksPerFrame - 1));
}

int KeyboardCtrl::OnControlMouseMove(unsigned keys, CPoint pt) {
  if (!m_enabled) return 0;
  bool repaint = false;
  const KEY_INFO* tipKey = nullptr;
  CRect tipRect;
  {
    std::lock_guard guard(m_dataLock);
    const bool inside = m_rect.PtInRect(pt);
    if (m_frameSelect && (keys & (MK_LBUTTON | MK_RBUTTON)) != 0) {
      if (inside && m_dragArmed && (std::abs(pt.x - m_currentPt.x) > kDragStep ||
                     std::abs(pt.y - m_currentPt.y) > kDragStep)) {
        m_currentPt = pt;
        m_dragging = 1;
        CalFrameSelect();
        repaint = true;
      }
    } else {
      const int before = m_hover;
      const KEY_INFO* hovered = KeyAt(m_hover);
      if (inside && hovered != nullptr && GetWindowKeyRect(hovered->rect).PtInRect(pt)) {
        tipKey = hovered;
        tipRect = GetWindowKeyRect(hovered->rect);
      } else {
        m_hover = inside ? HitTest(pt) : -1;
      }
      // Only mode 101 draws the hovered key.
      repaint = m_hover != before && m_mode == kModeAssign;
      if (tipKey != nullptr) SetTips(tipKey, tipRect, true);
    }
  }
  if (tipKey == nullptr) SetTips(nullptr, {}, false);
  if (repaint) RepaintIfVisible();
  return 1;
}

void KeyboardCtrl::OnControlMouseLeave() {
  bool repaint = false;
  {
    std::lock_guard guard(m_dataLock);
    repaint = m_hover != -1 && m_mode == kModeAssign;
    m_hover = -1;
  }
  SetTips(nullptr, {}, false);
  if (repaint) RepaintIfVisible();
}

int KeyboardCtrl::OnControlLButtonDown(unsigned, CPoint pt) {
  if (!m_enabled) return 0;
  bool repaint = false;
  {
    std::lock_guard guard(m_dataLock);
    const int before = m_select;
    if (m_dragging) {
      m_dragging = 0;
      repaint = true;
    }
    if (m_rect.PtInRect(pt)) {
      m_pressPt = pt;
      m_currentPt = pt;
      m_dragArmed = 1;
      // The key under the press, even when no move announced it first.
      m_hover = HitTest(pt);
      m_select = m_hover;
    } else {
      ClearFrameSelect();
    }
    repaint = repaint || m_select != before;
  }
  if (repaint) RepaintIfVisible();
  return 1;
}

int KeyboardCtrl::OnControlLButtonUp(unsigned, CPoint pt) {
  unsigned wParam = kNoKey;
  long lParam = 0;
  bool repaint = false;
  {
    std::lock_guard guard(m_dataLock);
    repaint = m_dragging != 0;
    ClearFrameSelect();
    if (!m_rect.PtInRect(pt)) {
      if (repaint) RepaintIfVisible();
      return 1;
    }
    if (KEY_INFO* key = KeyAt(m_select)) {
      if (m_mode == kModeColours) {
        key->colour = key->colour == 0 ? kToggleColour : 0;
        repaint = true;
      }
      m_currentKeyValue = key->keyValue;
      wParam = static_cast<unsigned>(m_select);
      lParam = static_cast<long>(key->keyValue);
    }
  }
  if (repaint) RepaintIfVisible();
  SendMessageW(Notify::Click, wParam, lParam);
  return 1;
}

int KeyboardCtrl::OnControlRButtonDown(unsigned, CPoint pt) {
  std::lock_guard guard(m_dataLock);
  if (!m_frameSelect) return 1;
  if (m_rect.PtInRect(pt)) {
    // The drag is measured from the press, so a click that jitters stays a click.
    m_pressPt = pt;
    m_currentPt = pt;
    m_dragArmed = 1;
  } else {
    ClearFrameSelect();
  }
  return 1;
}

int KeyboardCtrl::OnControlRButtonUp(unsigned, CPoint pt) {
  if (!m_enabled) return 0;
  unsigned code = 0;
  unsigned wParam = 0;
  long lParam = 0;
  bool repaint = false;
  {
    std::lock_guard guard(m_dataLock);
    if (m_dragging) {
      ClearFrameSelect();
      code = Notify::FrameSelected;
      repaint = true;
    } else if (m_rect.PtInRect(pt)) {
      const int before = m_select;
      m_hover = HitTest(pt);
      m_select = m_hover;
      const KEY_INFO* key = KeyAt(m_select);
      const DWORD value =
          key != nullptr && GetWindowKeyRect(key->rect).PtInRect(pt) ? key->keyValue : 0;
      m_currentKeyValue = value;
      code = Notify::RightClick;
      wParam = static_cast<unsigned>(m_select);
      lParam = static_cast<long>(value);
      repaint = m_select != before;
    }
    m_dragArmed = 0;
  }
  if (repaint) RepaintIfVisible();
  if (code != 0) SendMessageW(code, wParam, lParam);
  return 1;
}

void KeyboardCtrl::SetTips(const KEY_INFO* key, CRect keyRect, bool show) {
  if (!show) {
    if (m_tips && m_tips->IsShown()) m_tips->ShowWindow(SW_HIDE);
    return;
  }
  CString description, title, text;
  {
    std::lock_guard guard(m_dataLock);
    if (!m_tipsEnabled || key == nullptr || m_manager == nullptr) return;
    description = key->description;
    title = key->tipTitle;
    text = key->tipText;
  }
  const HWND owner = m_manager->GetPaintWnd();
  if (owner == nullptr) return;
  if (!m_tips) {
    m_tips = std::make_unique<KeyboardTips>();
    m_tips->Create(owner, "KeyboardTip Window", WS_POPUP,
                   WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE, CRect());
    m_tips->LoadBKImage("img_tip_bk.png");
  }
  POINT anchor{(keyRect.left + keyRect.right) / 2, keyRect.top};
  Native::ClientToScreen(owner, &anchor);
  if (!title.empty() || !text.empty()) {
    m_tips->SetAirBladderMsg(description.c_str(), title.c_str(), text.c_str(), anchor);
  } else {
    m_tips->SetAirBladderMsg(description.c_str(), "Keyboard", description.c_str(), anchor);
  }
  m_tips->ShowWindow(SW_SHOWNOACTIVATE);
}

}  // namespace Tavex
