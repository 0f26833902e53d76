#include "tavex/Edits.h"

#include <algorithm>

#include "EditInput.h"
#include "tavex/Codes.h"
#include "tavex/MRender.h"
#include "tavex/Manager.h"
#include "tavex/Native.h"
#include "tavex/PaintManager.h"

namespace Tavex {

MRichEdit::MRichEdit(MObject* parent, unsigned id, CRect rect, const char* title, int visible)
    : MPanel(parent, id, rect, visible) {
  m_tabStop = 1;
  m_buffer.SetMultiLine(true);
  m_buffer.SetText(title != nullptr ? title : "");
  m_title = m_buffer.GetText();
  m_cursor = "ibeam";
}

MRichEdit::~MRichEdit() { ReportTextInput(false); }

void MRichEdit::ReportTextInput(bool active) {
  if (!active || m_readOnly || m_plainKeys) {
    if (m_imeWnd != nullptr) Native::SetTextInput(m_imeWnd, false, nullptr);
    m_imeWnd = nullptr;
    return;
  }
  m_imeWnd = m_manager != nullptr ? m_manager->GetPaintWnd() : nullptr;
  if (m_imeWnd == nullptr) return;
  // The composition goes where the caret is drawn.
  const RECT caret = GetCaretRect();
  Native::SetTextInput(m_imeWnd, true, &caret);
}
const char* MRichEdit::GetClassNameW() const { return "MRichEdit"; }

void MRichEdit::SetSingleLine() {
  std::lock_guard guard(m_dataLock);
  m_buffer.SetMultiLine(false);
  m_buffer.SetText(m_buffer.GetText());
  m_title = m_buffer.GetText();
}

void MRichEdit::SetControlTitle(const char* title) {
  {
    std::lock_guard guard(m_dataLock);
    const std::string text = title != nullptr ? title : "";
    if (text == m_buffer.GetText()) return;
    m_buffer.SetText(text);
    m_title = m_buffer.GetText();
  }
  EnsureCaretVisible();
  UpdateControl(1, 0);
}

CString MRichEdit::GetControlTitle() const {
  std::lock_guard guard(m_dataLock);
  return m_buffer.GetText();
}

void MRichEdit::SetMaxLength(int codePoints) {
  std::lock_guard guard(m_dataLock);
  m_buffer.SetMaxLength(static_cast<std::size_t>(std::max(0, codePoints)));
}

int MRichEdit::LineHeight() const {
  return std::max(1, static_cast<int>(MeasureText("Ag", GetFontDesc()).cy));
}

CRect MRichEdit::TextBox() const {
  CRect box = GetRect();
  box.DeflateRect(kPadding, kPadding);
  return box;
}

int MRichEdit::GetLineCount() const {
  std::lock_guard guard(m_dataLock);
  const std::string& t = m_buffer.GetText();
  return 1 + static_cast<int>(std::count(t.begin(), t.end(), '\n'));
}

CPoint MRichEdit::GetCaretLineColumn() const {
  std::lock_guard guard(m_dataLock);
  const std::string& t = m_buffer.GetText();
  const std::size_t caret = m_buffer.GetCaret();
  const int line = static_cast<int>(std::count(t.begin(), t.begin() + caret, '\n'));
  EditBuffer probe(t.substr(m_buffer.LineStart(caret), caret - m_buffer.LineStart(caret)));
  return CPoint(static_cast<int>(probe.Length()), line);
}

std::size_t MRichEdit::OffsetAt(CPoint pt) const {
  std::lock_guard guard(m_dataLock);
  const CRect box = TextBox();
  const int lineH = LineHeight();
  const int line = std::max(0, (pt.y - box.top + m_scrollY) / lineH);
  const std::string& t = m_buffer.GetText();
  std::size_t start = 0;
  for (int i = 0; i < line; ++i) {
    const std::size_t nl = t.find('\n', start);
    if (nl == std::string::npos) break;
    start = nl + 1;
  }
  const std::size_t end = m_buffer.LineEnd(start);
  const FontDesc font = GetFontDesc();
  EditBuffer probe(t.substr(start, end - start));
  std::size_t best = 0;
  int bestDistance = std::abs(pt.x - box.left);
  for (std::size_t i = 1; i <= probe.Length(); ++i) {
    const std::size_t off = probe.OffsetOfIndex(i);
    const int w = static_cast<int>(MeasureText(probe.GetText().substr(0, off), font).cx);
    const int d = std::abs(pt.x - box.left - w);
    if (d > bestDistance) break;
    best = off;
    bestDistance = d;
  }
  return start + best;
}

void MRichEdit::EnsureCaretVisible() {
  std::lock_guard guard(m_dataLock);
  const int lineH = LineHeight();
  const int top = GetCaretLineColumn().y * lineH;
  const int height = TextBox().Height();
  if (top < m_scrollY) m_scrollY = top;
  if (top + lineH > m_scrollY + height) m_scrollY = top + lineH - height;
  m_scrollY = std::max(0, m_scrollY);
}

void MRichEdit::AfterInput(bool moved, bool changed) {
  if (!moved && !changed) return;
  if (changed) {
    std::lock_guard guard(m_dataLock);
    m_title = m_buffer.GetText();
  }
  EnsureCaretVisible();
  UpdateControl(1, 0);
  PlaceCaret();
  if (changed) SendMessageW(Notify::TextChanged, 0, 0);
}

CRect MRichEdit::CaretRectLocal() const {
  std::lock_guard guard(m_dataLock);
  const CRect box = TextBox();
  const int lineH = LineHeight();
  const std::string& t = m_buffer.GetText();
  const std::size_t caret = m_buffer.GetCaret();
  const std::size_t start = m_buffer.LineStart(caret);
  const int x =
      box.left + (caret > start ? static_cast<int>(
                                      MeasureText(t.substr(start, caret - start), GetFontDesc()).cx)
                                : 0);
  const int y = box.top + GetCaretLineColumn().y * lineH - m_scrollY;
  return CRect(x, y + 1, x + 1, y + lineH - 1);
}

CRect MRichEdit::GetCaretRect() const {
  CRect caret = CaretRectLocal();
  // Panels above this control shift it by their scrolling.
  const CPoint shift = MPanel::ScrollOffsetOfChain(m_parent);
  caret.OffsetRect(-shift.x, -shift.y);
  return caret;
}

void MRichEdit::PlaceCaret() {
  if (m_manager == nullptr) return;
  ReportTextInput(m_focused && m_enabled && IsParentVisible());
  const bool owner = m_manager->GetCurrentCaretObject() == this;
  if (!m_focused || !m_enabled || !IsParentVisible()) {
    if (owner) m_manager->ShowCaret(0);
    return;
  }
  const CRect local = CaretRectLocal();
  const CRect box = TextBox();
  // A caret scrolled out of the text box is not shown.
  const bool inside = local.top >= box.top && local.bottom <= box.bottom + 1;
  const CRect caret = GetCaretRect();
  const CRect now = m_manager->GetCaret().GetRect();
  if (!owner || now.Width() != caret.Width() || now.Height() != caret.Height()) {
    m_manager->CreateCaret(Image(), caret.Width(), caret.Height());
  }
  m_manager->SetCaretPos(this, caret.left, caret.top);
  m_manager->ShowCaret(inside ? 1 : 0);
}

void MRichEdit::DrawControl(Painter& painter, CRect) {
  const CRect r = m_rect;
  const Image image = LoadSkinImage(m_imagePath);
  const int look = !m_enabled ? 3 : m_focused ? 2 : m_press.IsHover() ? 1 : 0;
  if (!image.IsNull()) {
    MRender::DrawStateFrame(painter, image, m_imageStates, look, r, 6);
  } else {
    painter.FillRect(r, 0xFF1B1B1F);
    painter.DrawRect(r, look == 2 ? Manager::GetSelectColor() : 0xFF3A3A40, 1);
  }
  const CRect box = TextBox();
  const FontDesc font = GetFontDesc();
  const int lineH = LineHeight();
  const std::string& t = m_buffer.GetText();
  const ARGB colour = m_enabled ? m_textColor : 0xFF6E6E6E;
  const ARGB sel = (Manager::GetSelectColor() & 0x00FFFFFF) | 0x90000000;
  const std::size_t selStart = m_buffer.SelectionStart(), selEnd = m_buffer.SelectionEnd();
  const auto width = [&](std::size_t from, std::size_t to) {
    return to <= from ? 0 : static_cast<int>(MeasureText(t.substr(from, to - from), font).cx);
  };
  painter.PushClip(box);
  std::size_t start = 0;
  for (int line = 0;; ++line) {
    const std::size_t end = m_buffer.LineEnd(start);
    const int y = box.top + line * lineH - m_scrollY;
    if (y >= box.bottom) break;
    if (y + lineH > box.top) {
      if (m_buffer.HasSelection() && selStart <= end && selEnd >= start) {
        const std::size_t a = std::max(selStart, start), b = std::min(selEnd, end);
        const int x0 = box.left + width(start, a);
        // A selected line break shows as a little room after the line.
        const int x1 = box.left + width(start, b) + (selEnd > end ? 6 : 0);
        painter.FillRect(CRect(x0, y, x1, y + lineH), sel);
      }
      painter.DrawText(t.substr(start, end - start), font,
                       CRect(box.left, y, box.right + 100000, y + lineH), colour,
                       DT_SINGLELINE | DT_LEFT | DT_TOP | DT_NOPREFIX);
    }
    if (end >= t.size()) break;
    start = end + 1;
  }
  painter.PopClip();
}

int MRichEdit::OnCheckMouseResponse(unsigned, CPoint pt) { return PtInRect(pt); }

int MRichEdit::OnControlMouseMove(unsigned, CPoint pt) {
  if (m_press.Move(m_enabled && PtInRect(pt))) UpdateControl(1, 0);
  if (!m_selecting) return 1;
  bool moved = false;
  {
    std::lock_guard guard(m_dataLock);
    const std::size_t before = m_buffer.GetCaret();
    m_buffer.SetCaret(OffsetAt(pt), true);
    moved = before != m_buffer.GetCaret();
  }
  AfterInput(moved, false);
  return 1;
}

int MRichEdit::OnControlLButtonDown(unsigned keys, CPoint pt) {
  if (!m_enabled || !PtInRect(pt)) return 0;
  m_press.Down(true);
  m_selecting = 1;
  {
    std::lock_guard guard(m_dataLock);
    m_buffer.SetCaret(OffsetAt(pt), (keys & MK_SHIFT) != 0);
  }
  AfterInput(true, false);
  SendMessageW(Notify::Press, 0, 0);
  return 1;
}

int MRichEdit::OnControlLButtonUp(unsigned, CPoint pt) {
  m_selecting = 0;
  bool clicked = false;
  m_press.Up(m_enabled && PtInRect(pt), &clicked);
  if (clicked) SendMessageW(Notify::Click, 0, 0);
  return 1;
}

int MRichEdit::OnControlKeyDown(unsigned key, unsigned, unsigned modifiers) {
  if (!m_focused || !m_enabled) return 0;
  EditInput::Result r;
  {
    std::lock_guard guard(m_dataLock);
    EditBuffer before = m_buffer;
    r = EditInput::ApplyKey(m_buffer, key, modifiers);
    if (r.changed && (m_readOnly || !AcceptText(m_buffer.GetText()))) {
      m_buffer = before;
      r.changed = false;
    }
  }
  AfterInput(r.moved || r.changed, r.changed);
  return r.handled ? 1 : 0;
}

int MRichEdit::OnChar(unsigned codePoint) {
  if (!m_focused || !m_enabled || !m_visible || m_readOnly) return 0;
  EditInput::Result r;
  {
    std::lock_guard guard(m_dataLock);
    EditBuffer before = m_buffer;
    r = EditInput::ApplyChar(m_buffer, codePoint);
    if (r.changed && !AcceptText(m_buffer.GetText())) {
      m_buffer = before;
      r.changed = false;
    }
  }
  AfterInput(r.changed, r.changed);
  return r.handled ? 1 : 0;
}

int MRichEdit::OnWindowMessage(unsigned msg, unsigned wParam, long lParam) {
  if (msg == WM_CHAR) return OnChar(wParam);
  return MPanel::OnWindowMessage(msg, wParam, lParam);
}

int MRichEdit::OnControlScroll(int, unsigned direction, CPoint) {
  {
    std::lock_guard guard(m_dataLock);
    const int lineH = LineHeight();
    const int content = GetLineCount() * lineH;
    const int room = std::max(0, content - TextBox().Height());
    m_scrollY = std::clamp(m_scrollY + (direction == 0 ? -3 : 3) * lineH, 0, room);
  }
  UpdateControl(1, 0);
  PlaceCaret();
  return 1;
}

void MRichEdit::SetControlFocus(int focus) {
  const int was = m_focused;
  MPanel::SetControlFocus(focus);
  if (focus == was) return;
  if (!focus) m_selecting = 0;
  // The window's caret follows the focus: shown at the text position, hidden on leaving.
  PlaceCaret();
  UpdateControl(1, 0);
}

}  // namespace Tavex
