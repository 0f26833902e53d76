#include "tavex/LineEditState.h"

#include "tavex/WinTypes.h"

namespace Tavex {

namespace {
bool IsContinuation(unsigned char c) { return (c & 0xC0) == 0x80; }

std::string Encode(char32_t cp) {
  std::string out;
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
  return out;
}
}  // namespace

void LineEditState::Start(const std::string& text) {
  m_text = text;
  m_caret = Length();
}

std::size_t LineEditState::Length() const {
  std::size_t n = 0;
  for (unsigned char c : m_text) n += IsContinuation(c) ? 0 : 1;
  return n;
}

std::size_t LineEditState::ByteOffset(std::size_t codePoints) const {
  std::size_t i = 0;
  std::size_t seen = 0;
  while (i < m_text.size()) {
    if (!IsContinuation(static_cast<unsigned char>(m_text[i]))) {
      if (seen == codePoints) return i;
      ++seen;
    }
    ++i;
  }
  return m_text.size();
}

std::string LineEditState::TextBeforeCaret() const { return m_text.substr(0, ByteOffset(m_caret)); }

bool LineEditState::TypeChar(char32_t cp) {
  // Control characters and surrogates are never text.
  if (cp < 0x20 || cp == 0x7F || (cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF) return false;
  if (m_filter && !m_filter(cp)) return false;
  if (m_limit != 0 && Length() >= m_limit) return false;
  m_text.insert(ByteOffset(m_caret), Encode(cp));
  ++m_caret;
  return true;
}

bool LineEditState::Key(unsigned vk) {
  const std::size_t len = Length();
  switch (vk) {
    case VK_BACK: {
      if (m_caret == 0) return false;
      const std::size_t from = ByteOffset(m_caret - 1);
      m_text.erase(from, ByteOffset(m_caret) - from);
      --m_caret;
      return true;
    }
    case VK_DELETE: {
      if (m_caret >= len) return false;
      const std::size_t from = ByteOffset(m_caret);
      m_text.erase(from, ByteOffset(m_caret + 1) - from);
      return true;
    }
    case VK_LEFT:
      if (m_caret == 0) return false;
      --m_caret;
      return true;
    case VK_RIGHT:
      if (m_caret >= len) return false;
      ++m_caret;
      return true;
    case VK_HOME:
      if (m_caret == 0) return false;
      m_caret = 0;
      return true;
    case VK_END:
      if (m_caret == len) return false;
      m_caret = len;
      return true;
    default:
      return false;
  }
}

}  // namespace Tavex
