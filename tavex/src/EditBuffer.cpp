#include "tavex/EditBuffer.h"

#include <algorithm>
#include <cctype>

#include "tavex/WinTypes.h"
#include "platform/base/Utf8.h"

namespace Tavex {

namespace {

bool IsContinuation(unsigned char c) { return (c & 0xC0) == 0x80; }

std::size_t CountCodePoints(const std::string& s) {
  std::size_t n = 0;
  for (unsigned char c : s) n += IsContinuation(c) ? 0 : 1;
  return n;
}

bool IsWordChar(unsigned char c) { return c >= 0x80 || std::isalnum(c) != 0 || c == '_'; }

}  // namespace

char32_t DecodeUtf8(const std::string& s, std::size_t i, std::size_t* len) {
  char32_t cp = 0;
  *len = ::platform::DecodeUtf8(s, i, cp);
  if (*len == 0) {
    *len = 1;  // a broken sequence: its lead byte stands alone
    return static_cast<unsigned char>(s[i]);
  }
  return cp;
}

std::string EncodeUtf8(char32_t cp) { return ::platform::EncodeUtf8(cp); }

std::string EditBuffer::Filter(const std::string& text) const {
  std::string out;
  for (std::size_t i = 0; i < text.size();) {
    std::size_t len = 1;
    const char32_t cp = DecodeUtf8(text, i, &len);
    const bool lineBreak = cp == '\n';
    bool keep = cp >= 0x20 && cp != 0x7F;
    if (lineBreak) keep = m_multiLine;
    if (cp == '\t') keep = true;
    if (m_digitsOnly && !(cp >= '0' && cp <= '9')) keep = false;
    // Malformed bytes are dropped rather than stored.
    if (cp >= 0x80 && len == 1) keep = false;
    if (keep) out.append(text, i, len);
    i += len;
  }
  return out;
}

void EditBuffer::SetText(std::string text) {
  std::string filtered = Filter(text);
  if (m_maxLength > 0 && CountCodePoints(filtered) > m_maxLength) {
    std::size_t n = 0, i = 0;
    while (i < filtered.size() && n < m_maxLength) {
      i = i + 1;
      while (i < filtered.size() && IsContinuation(static_cast<unsigned char>(filtered[i]))) ++i;
      ++n;
    }
    filtered.resize(i);
  }
  m_text = std::move(filtered);
  m_caret = m_anchor = m_text.size();
}

std::size_t EditBuffer::Length() const { return CountCodePoints(m_text); }

std::string EditBuffer::SelectedText() const {
  return m_text.substr(SelectionStart(), SelectionEnd() - SelectionStart());
}

std::size_t EditBuffer::Prev(std::size_t pos) const {
  if (pos == 0) return 0;
  --pos;
  while (pos > 0 && IsContinuation(static_cast<unsigned char>(m_text[pos]))) --pos;
  return pos;
}

std::size_t EditBuffer::Next(std::size_t pos) const {
  if (pos >= m_text.size()) return m_text.size();
  ++pos;
  while (pos < m_text.size() && IsContinuation(static_cast<unsigned char>(m_text[pos]))) ++pos;
  return pos;
}

void EditBuffer::SetCaret(std::size_t pos, bool extend) {
  pos = std::min(pos, m_text.size());
  while (pos > 0 && pos < m_text.size() && IsContinuation(static_cast<unsigned char>(m_text[pos]))) {
    --pos;
  }
  m_caret = pos;
  if (!extend) m_anchor = pos;
}

void EditBuffer::SelectAll() {
  m_anchor = 0;
  m_caret = m_text.size();
}

std::size_t EditBuffer::CaretIndex() const { return CountCodePoints(m_text.substr(0, m_caret)); }

std::size_t EditBuffer::OffsetOfIndex(std::size_t codePoints) const {
  std::size_t pos = 0;
  for (std::size_t n = 0; n < codePoints && pos < m_text.size(); ++n) pos = Next(pos);
  return pos;
}

bool EditBuffer::DeleteSelection() {
  if (!HasSelection()) return false;
  const std::size_t start = SelectionStart();
  m_text.erase(start, SelectionEnd() - start);
  m_caret = m_anchor = start;
  return true;
}

bool EditBuffer::Insert(const std::string& text) {
  std::string add = Filter(text);
  const std::size_t kept = CountCodePoints(m_text) -
                           CountCodePoints(m_text.substr(SelectionStart(),
                                                         SelectionEnd() - SelectionStart()));
  if (m_maxLength > 0) {
    // A full box refuses the whole insertion rather than dropping the selection for nothing.
    if (kept >= m_maxLength) return false;
    const std::size_t room = m_maxLength - kept;
    std::size_t n = 0, i = 0;
    while (i < add.size() && n < room) {
      i = i + 1;
      while (i < add.size() && IsContinuation(static_cast<unsigned char>(add[i]))) ++i;
      ++n;
    }
    add.resize(i);
  }
  if (add.empty()) return false;
  DeleteSelection();
  m_text.insert(m_caret, add);
  m_caret += add.size();
  m_anchor = m_caret;
  return true;
}

bool EditBuffer::Backspace() {
  if (DeleteSelection()) return true;
  if (m_caret == 0) return false;
  const std::size_t prev = Prev(m_caret);
  m_text.erase(prev, m_caret - prev);
  m_caret = m_anchor = prev;
  return true;
}

bool EditBuffer::Delete() {
  if (DeleteSelection()) return true;
  if (m_caret >= m_text.size()) return false;
  m_text.erase(m_caret, Next(m_caret) - m_caret);
  return true;
}

bool EditBuffer::Move(std::size_t pos, bool shift) {
  const std::size_t caret = m_caret, anchor = m_anchor;
  SetCaret(pos, shift);
  return caret != m_caret || anchor != m_anchor;
}

bool EditBuffer::MoveLeft(bool shift, bool ctrl) {
  if (!shift && HasSelection()) return Move(SelectionStart(), false);
  std::size_t pos = Prev(m_caret);
  if (ctrl) {
    while (pos > 0 && !IsWordChar(static_cast<unsigned char>(m_text[pos]))) pos = Prev(pos);
    while (pos > 0 && IsWordChar(static_cast<unsigned char>(m_text[Prev(pos)]))) pos = Prev(pos);
  }
  return Move(pos, shift);
}

bool EditBuffer::MoveRight(bool shift, bool ctrl) {
  if (!shift && HasSelection()) return Move(SelectionEnd(), false);
  std::size_t pos = Next(m_caret);
  if (ctrl) {
    while (pos < m_text.size() && IsWordChar(static_cast<unsigned char>(m_text[pos]))) {
      pos = Next(pos);
    }
    while (pos < m_text.size() && !IsWordChar(static_cast<unsigned char>(m_text[pos]))) {
      pos = Next(pos);
    }
  }
  return Move(pos, shift);
}

std::size_t EditBuffer::LineStart(std::size_t pos) const {
  pos = std::min(pos, m_text.size());
  const std::size_t nl = pos == 0 ? std::string::npos : m_text.rfind('\n', pos - 1);
  return nl == std::string::npos ? 0 : nl + 1;
}

std::size_t EditBuffer::LineEnd(std::size_t pos) const {
  const std::size_t nl = m_text.find('\n', std::min(pos, m_text.size()));
  return nl == std::string::npos ? m_text.size() : nl;
}

bool EditBuffer::MoveHome(bool shift) { return Move(LineStart(m_caret), shift); }
bool EditBuffer::MoveEnd(bool shift) { return Move(LineEnd(m_caret), shift); }
bool EditBuffer::MoveTextHome(bool shift) { return Move(0, shift); }
bool EditBuffer::MoveTextEnd(bool shift) { return Move(m_text.size(), shift); }

bool EditBuffer::MoveUp(bool shift) {
  const std::size_t start = LineStart(m_caret);
  if (start == 0) return Move(0, shift);
  const std::size_t column = CountCodePoints(m_text.substr(start, m_caret - start));
  const std::size_t prevStart = LineStart(start - 1);
  std::size_t pos = prevStart;
  for (std::size_t n = 0; n < column && pos < start - 1; ++n) pos = Next(pos);
  return Move(pos, shift);
}

bool EditBuffer::MoveDown(bool shift) {
  const std::size_t end = LineEnd(m_caret);
  if (end >= m_text.size()) return Move(m_text.size(), shift);
  const std::size_t start = LineStart(m_caret);
  const std::size_t column = CountCodePoints(m_text.substr(start, m_caret - start));
  const std::size_t nextEnd = LineEnd(end + 1);
  std::size_t pos = end + 1;
  for (std::size_t n = 0; n < column && pos < nextEnd; ++n) pos = Next(pos);
  return Move(pos, shift);
}

EditBuffer::KeyResult EditBuffer::HandleKey(unsigned vk, bool shift, bool ctrl) {
  const auto moved = [](bool m) { return m ? KeyResult::kMoved : KeyResult::kNone; };
  const auto changed = [](bool c) { return c ? KeyResult::kChanged : KeyResult::kNone; };
  if (ctrl) {
    switch (vk) {
      case 'A': SelectAll(); return KeyResult::kMoved;
      case 'C': return HasSelection() ? KeyResult::kCopy : KeyResult::kNone;
      case 'X': return HasSelection() ? KeyResult::kCut : KeyResult::kNone;
      case 'V': return KeyResult::kPaste;
      case VK_HOME: return moved(MoveTextHome(shift));
      case VK_END: return moved(MoveTextEnd(shift));
      default: break;
    }
  }
  if (shift && !ctrl) {
    if (vk == VK_DELETE) return HasSelection() ? KeyResult::kCut : KeyResult::kNone;
    if (vk == VK_INSERT) return KeyResult::kPaste;
  }
  if (ctrl && vk == VK_INSERT) return HasSelection() ? KeyResult::kCopy : KeyResult::kNone;
  switch (vk) {
    case VK_LEFT: return moved(MoveLeft(shift, ctrl));
    case VK_RIGHT: return moved(MoveRight(shift, ctrl));
    case VK_HOME: return moved(MoveHome(shift));
    case VK_END: return moved(MoveEnd(shift));
    case VK_UP: return m_multiLine ? moved(MoveUp(shift)) : KeyResult::kNone;
    case VK_DOWN: return m_multiLine ? moved(MoveDown(shift)) : KeyResult::kNone;
    case VK_BACK: return changed(Backspace());
    case VK_DELETE: return changed(Delete());
    case VK_RETURN: return m_multiLine ? changed(Insert("\n")) : KeyResult::kNone;
    default: return KeyResult::kNone;
  }
}

}  // namespace Tavex
