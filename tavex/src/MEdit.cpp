#include "tavex/Edits.h"

#include <algorithm>

#include "EditInput.h"
#include "tavex/AnimationClock.h"
#include "tavex/Caret.h"
#include "tavex/Codes.h"
#include "tavex/MRender.h"
#include "tavex/MPanel.h"
#include "tavex/Manager.h"
#include "tavex/Native.h"
#include "tavex/PaintManager.h"

namespace Tavex {

namespace {
constexpr int kFrameCorner = 6;
const char* const kDot = "\xE2\x80\xA2";  // U+2022
}  // namespace

MEdit::MEdit(MObject* parent, unsigned id, CRect rect, const char* title, int visible, int enabled)
    : MControlFont(parent, id, rect, title, visible, enabled) {
  m_tabStop = 1;
  m_buffer.SetText(m_title);
  m_title = m_buffer.GetText();
  m_cursor = "ibeam";
}

MEdit::~MEdit() { ReportTextInput(false, nullptr); }

void MEdit::ReportTextInput(bool active, const CRect* caret) {
  // Passwords and digits take no composition, as native boxes of those kinds do not.
  const bool wants =
      active && m_enabled && !m_password && !m_keyCapture && !m_buffer.IsDigitsOnly();
  if (!wants) {
    if (m_imeWnd != nullptr) Native::SetTextInput(m_imeWnd, false, nullptr);
    m_imeWnd = nullptr;
    return;
  }
  const HWND hwnd = m_manager != nullptr ? m_manager->GetPaintWnd() : nullptr;
  if (hwnd == nullptr) return;
  if (m_imeWnd != nullptr && m_imeWnd != hwnd) Native::SetTextInput(m_imeWnd, false, nullptr);
  m_imeWnd = hwnd;
  RECT r{};
  if (caret != nullptr) r = *caret;
  Native::SetTextInput(hwnd, true, caret != nullptr ? &r : nullptr);
}

const char* MEdit::GetClassNameW() const { return "MEdit"; }

void MEdit::SetControlTitle(const char* title) {
  {
    std::lock_guard guard(m_dataLock);
    const std::string text = title != nullptr ? title : "";
    if (text == m_buffer.GetText()) return;
    m_buffer.SetText(text);
    m_title = m_buffer.GetText();
    m_scroll = 0;
  }
  UpdateControl(1, 0);
}

CString MEdit::GetControlTitle() const {
  std::lock_guard guard(m_dataLock);
  return m_buffer.GetText();
}

void MEdit::SetMaxLength(int codePoints) {
  std::lock_guard guard(m_dataLock);
  m_buffer.SetMaxLength(static_cast<std::size_t>(std::max(0, codePoints)));
}

int MEdit::GetMaxLength() const {
  std::lock_guard guard(m_dataLock);
  return static_cast<int>(m_buffer.GetMaxLength());
}

void MEdit::SetDigitsOnly(int on) {
  std::lock_guard guard(m_dataLock);
  m_buffer.SetDigitsOnly(on != 0);
}

int MEdit::IsDigitsOnly() const {
  std::lock_guard guard(m_dataLock);
  return m_buffer.IsDigitsOnly() ? 1 : 0;
}

void MEdit::SetSel(int startIndex, int endIndex) {
  {
    std::lock_guard guard(m_dataLock);
    const std::size_t len = m_buffer.Length();
    // -1 as the end selects to the end of the text.
    const std::size_t end = endIndex < 0 ? len : std::min<std::size_t>(endIndex, len);
    const std::size_t start = std::min<std::size_t>(std::max(0, startIndex), len);
    m_buffer.SetCaret(m_buffer.OffsetOfIndex(start));
    m_buffer.SetCaret(m_buffer.OffsetOfIndex(end), true);
  }
  UpdateControl(1, 0);
}

void MEdit::GetSel(int* startIndex, int* endIndex) const {
  std::lock_guard guard(m_dataLock);
  EditBuffer probe = m_buffer;
  probe.SetCaret(m_buffer.SelectionStart());
  if (startIndex != nullptr) *startIndex = static_cast<int>(probe.CaretIndex());
  probe.SetCaret(m_buffer.SelectionEnd());
  if (endIndex != nullptr) *endIndex = static_cast<int>(probe.CaretIndex());
}

void MEdit::ReplaceSel(const char* text) {
  {
    std::lock_guard guard(m_dataLock);
    if (!m_buffer.Insert(text != nullptr ? text : "") && !m_buffer.DeleteSelection()) return;
    m_title = m_buffer.GetText();
  }
  UpdateControl(1, 0);
}

std::string MEdit::DisplayText() const {
  if (!m_password) return m_buffer.GetText();
  std::string dots;
  for (std::size_t i = 0; i < m_buffer.Length(); ++i) dots += kDot;
  return dots;
}

int MEdit::TextWidth(std::size_t byteEnd) const {
  if (byteEnd == 0) return 0;
  std::string prefix;
  if (m_password) {
    EditBuffer probe = m_buffer;
    probe.SetCaret(byteEnd);
    for (std::size_t i = 0; i < probe.CaretIndex(); ++i) prefix += kDot;
  } else {
    prefix = m_buffer.GetText().substr(0, byteEnd);
  }
  return static_cast<int>(MeasureText(prefix, GetFontDesc()).cx);
}

CRect MEdit::GetTextBox() const {
  CRect box = GetRect();
  if (m_flat) {
    box.DeflateRect(2, 0);
  } else {
    box.DeflateRect(kPaddingX, kPaddingY);
  }
  return box;
}

void MEdit::SetFlatLook(int on, ARGB background) {
  {
    std::lock_guard guard(m_dataLock);
    if ((on ? 1 : 0) == m_flat && background == m_flatFill) return;
    m_flat = on ? 1 : 0;
    m_flatFill = background;
  }
  UpdateControl(1, 0);
}

int MEdit::GetCaretX() const {
  std::lock_guard guard(m_dataLock);
  return GetTextBox().left - m_scroll + TextWidth(m_buffer.GetCaret());
}

int MEdit::IndexAtX(int x) const {
  std::lock_guard guard(m_dataLock);
  const int target = x - GetTextBox().left + m_scroll;
  const std::size_t n = m_buffer.Length();
  int best = 0, bestDistance = std::abs(target);
  for (std::size_t i = 1; i <= n; ++i) {
    const int d = std::abs(TextWidth(m_buffer.OffsetOfIndex(i)) - target);
    if (d <= bestDistance) {
      best = static_cast<int>(i);
      bestDistance = d;
    } else {
      break;  // widths only grow
    }
  }
  return best;
}

void MEdit::EnsureCaretVisible() {
  std::lock_guard guard(m_dataLock);
  const int width = GetTextBox().Width();
  const int caret = TextWidth(m_buffer.GetCaret());
  const int total = TextWidth(m_buffer.GetText().size());
  if (caret - m_scroll > width - 1) m_scroll = caret - width + 1;
  if (caret < m_scroll) m_scroll = caret;
  // No empty room on the right while the text could fill it.
  m_scroll = std::clamp(m_scroll, 0, std::max(0, total - width + 1));
}

void MEdit::RestartBlink() {
  m_blinkStartMs = AnimationClock::NowMs();
  if (m_manager != nullptr && m_focused) {
    // Started again, not set again: the repaints follow the new "on" phase.
    m_manager->KillTimer(this, EditInput::kBlinkTimer);
    m_manager->SetTimer(this, EditInput::kBlinkTimer, Native::GetCaretBlinkTime());
  }
}

int MEdit::IsCaretShown() const { return m_focused && BlinkPhaseOn(m_blinkStartMs) ? 1 : 0; }

void MEdit::SetKeyCapture(int on) {
  if (m_keyCapture.exchange(on ? 1 : 0) == (on ? 1 : 0)) return;
  if (on) m_preedit.clear();
  ReportTextInput(m_focused, nullptr);
  UpdateControl(1, 0);
}

void MEdit::AfterInput(bool moved, bool changed) {
  if (!moved && !changed) return;
  if (changed) {
    std::lock_guard guard(m_dataLock);
    m_title = m_buffer.GetText();
  }
  EnsureCaretVisible();
  RestartBlink();
  UpdateControl(1, 0);
  if (changed) SendMessageW(Notify::TextChanged, 0, 0);
}

void MEdit::DrawControl(Painter& painter, CRect) {
  const CRect r = m_rect;
  int look = 0;
  if (!m_enabled) {
    look = 3;
  } else if (m_focused) {
    look = 2;
  } else if (m_press.IsHover()) {
    look = 1;
  }
  const Image image = m_flat ? Image() : LoadSkinImage(m_imagePath);
  if (m_flat) {
    painter.FillRect(r, m_flatFill);
  } else if (!image.IsNull()) {
    MRender::DrawStateFrame(painter, image, m_imageStates, look, r, kFrameCorner);
  } else {
    const ARGB border = look == 2 ? Manager::GetSelectColor() : look == 1 ? 0xFF5A5A60 : 0xFF3A3A40;
    painter.FillRoundRect(static_cast<float>(r.left), static_cast<float>(r.top),
                          static_cast<float>(r.Width()), static_cast<float>(r.Height()), 4, 4,
                          look == 3 ? 0xFF151517 : 0xFF1B1B1F);
    painter.DrawRoundRect(static_cast<float>(r.left) + 0.5f, static_cast<float>(r.top) + 0.5f,
                          static_cast<float>(r.Width()) - 1, static_cast<float>(r.Height()) - 1, 4,
                          4, border, 1.0f);
  }
  const CRect box = GetTextBox();
  const FontDesc font = GetFontDesc();
  painter.PushClip(box);
  if (m_buffer.GetText().empty() && !m_focused && !m_placeholder.empty()) {
    painter.DrawText(m_placeholder, font, box, 0xFF6E6E6E, DT_SINGLELINE | DT_LEFT | DT_VCENTER);
  }
  const int origin = box.left - m_scroll;
  if (m_focused && m_buffer.HasSelection()) {
    const int x0 = origin + TextWidth(m_buffer.SelectionStart());
    const int x1 = origin + TextWidth(m_buffer.SelectionEnd());
    const ARGB sel = (Manager::GetSelectColor() & 0x00FFFFFF) | 0x90000000;
    painter.FillRect(CRect(x0, box.top + 1, x1, box.bottom - 1), sel);
  }
  const CRect textRect(origin, box.top, std::max(box.right, origin + 100000), box.bottom);
  const int h = std::min(box.Height(), font.sizePx + 6);
  const int top = box.top + (box.Height() - h) / 2;
  int x = origin + TextWidth(m_buffer.GetCaret());
  std::string shown = DisplayText();
  if (m_focused && !m_preedit.empty()) {
    // The input method's composition sits at the caret, underlined, until it is committed.
    const std::string& t = m_buffer.GetText();
    const std::string before = t.substr(0, m_buffer.GetCaret()) + m_preedit;
    shown = before + t.substr(m_buffer.GetCaret());
    const int end = origin + static_cast<int>(MeasureText(before, font).cx);
    painter.FillRect(CRect(x, top + h - 2, end, top + h - 1), m_textColor);
    const std::string head = m_preedit.substr(0, EditBuffer(m_preedit).OffsetOfIndex(
                                                     static_cast<std::size_t>(m_preeditCaret)));
    x += static_cast<int>(MeasureText(t.substr(0, m_buffer.GetCaret()) + head, font).cx) -
         TextWidth(m_buffer.GetCaret());
  }
  painter.DrawText(shown, font, textRect, m_enabled ? m_textColor : 0xFF6E6E6E,
                   DT_SINGLELINE | DT_LEFT | DT_VCENTER | DT_NOPREFIX);
  if (m_focused && m_enabled) {
    const CRect caret(x, top, x + 1, top + h);
    if (IsCaretShown() && !m_keyCapture) painter.FillRect(caret, m_textColor);
    // The composition follows the caret drawn, in window coordinates: panels above this box
    // shift it by their scrolling.
    if (m_imeWnd != nullptr) {
      CRect onWindow = caret;
      const CPoint shift = MPanel::ScrollOffsetOfChain(m_parent);
      onWindow.OffsetRect(-shift.x, -shift.y);
      ReportTextInput(true, &onWindow);
    }
  }
  painter.PopClip();
}

int MEdit::OnCheckMouseResponse(unsigned, CPoint pt) { return PtInRect(pt); }

int MEdit::OnControlMouseMove(unsigned, CPoint pt) {
  if (m_press.Move(m_enabled && PtInRect(pt))) UpdateControl(1, 0);
  if (!m_selecting) return 1;
  bool moved = false;
  {
    std::lock_guard guard(m_dataLock);
    const std::size_t before = m_buffer.GetCaret();
    m_buffer.SetCaret(m_buffer.OffsetOfIndex(static_cast<std::size_t>(IndexAtX(pt.x))), true);
    moved = before != m_buffer.GetCaret();
  }
  AfterInput(moved, false);
  return 1;
}

int MEdit::OnControlLButtonDown(unsigned keys, CPoint pt) {
  if (!m_enabled || !PtInRect(pt)) return 0;
  m_press.Down(true);
  if (!GetTextBox().PtInRect(pt)) {
    m_pressInBox = 0;
    SendMessageW(Notify::Press, 0, 0);
    return 1;
  }
  m_pressInBox = 1;
  m_selecting = 1;
  {
    std::lock_guard guard(m_dataLock);
    const bool extend = (keys & MK_SHIFT) != 0;
    m_buffer.SetCaret(m_buffer.OffsetOfIndex(static_cast<std::size_t>(IndexAtX(pt.x))), extend);
  }
  AfterInput(true, false);
  SendMessageW(Notify::InnerPress, 0, 0);
  return 1;
}

int MEdit::OnControlLButtonUp(unsigned, CPoint pt) {
  m_selecting = 0;
  bool clicked = false;
  m_press.Up(m_enabled && PtInRect(pt), &clicked);
  if (m_pressInBox && GetTextBox().PtInRect(pt)) SendMessageW(Notify::TextBoxReleased, 0, 0);
  m_pressInBox = 0;
  if (clicked) SendMessageW(Notify::Click, 0, 0);
  return 1;
}

int MEdit::OnControlLButtonDblClk(unsigned, CPoint) {
  {
    std::lock_guard guard(m_dataLock);
    m_buffer.SelectAll();
  }
  AfterInput(true, false);
  return 1;
}

int MEdit::OnControlKeyDown(unsigned key, unsigned, unsigned modifiers) {
  if (!m_focused || !m_enabled) return 0;
  if (m_keyCapture) return 1;
  EditInput::Result r;
  {
    std::lock_guard guard(m_dataLock);
    r = EditInput::ApplyKey(m_buffer, key, modifiers);
  }
  AfterInput(r.moved || r.changed, r.changed);
  return r.handled ? 1 : 0;
}

int MEdit::OnChar(unsigned codePoint) {
  if (!m_focused || !m_enabled || !m_visible) return 0;
  if (m_keyCapture) return 1;
  EditInput::Result r;
  {
    std::lock_guard guard(m_dataLock);
    r = EditInput::ApplyChar(m_buffer, codePoint);
  }
  AfterInput(r.changed, r.changed);
  return r.handled ? 1 : 0;
}

int MEdit::OnWindowMessage(unsigned msg, unsigned wParam, long) {
  if (msg == WM_CHAR) return OnChar(wParam);
  if (msg == WM_IME_COMPOSITION && m_imeWnd != nullptr) {
    std::string text;
    int caret = 0;
    if (!Native::GetCompositionText(m_imeWnd, &text, &caret)) return 0;
    SetComposition(text.c_str(), caret);
    return 1;
  }
  return 0;
}

void MEdit::SetComposition(const char* text, int caret) {
  std::string next = text != nullptr ? text : "";
  if (!m_focused || m_keyCapture) next.clear();
  if (next == m_preedit && caret == m_preeditCaret) return;
  m_preedit = std::move(next);
  m_preeditCaret = std::clamp(caret, 0, static_cast<int>(EditBuffer(m_preedit).Length()));
  UpdateControl(1, 0);
}

int MEdit::OnControlTimerKey(unsigned key) {
  if (key != EditInput::kBlinkTimer) return MControlFont::OnControlTimerKey(key);
  return 1;  // the phase follows the clock: repaint to show it
}

void MEdit::OnControlMouseLeave() {
  if (!m_selecting && m_press.Leave()) UpdateControl(1, 0);
}

void MEdit::SetControlFocus(int focus) {
  const int was = m_focused;
  MControlFont::SetControlFocus(focus);
  if (focus == was) return;
  if (focus) {
    RestartBlink();
    ReportTextInput(true, nullptr);
    UpdateControl(1, 0);
    SendMessageW(Notify::EditStarted, 0, 0);
  } else {
    ReportTextInput(false, nullptr);
    m_preedit.clear();
    m_selecting = 0;
    if (m_manager != nullptr) m_manager->KillTimer(this, EditInput::kBlinkTimer);
    UpdateControl(1, 0);
    SendMessageW(Notify::EditEnded, 0, 0);
  }
}

void MEdit::SetControlEnabled(int enabled) {
  MControlFont::SetControlEnabled(enabled);
  if (!enabled) {
    m_press.Leave();
    m_selecting = 0;
  }
  // Setters may run on other threads; the input method is the UI thread's.
  if (m_manager != nullptr && m_manager->IsUIThread()) ReportTextInput(m_focused && enabled, nullptr);
}

}  // namespace Tavex
