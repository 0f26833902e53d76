#pragma once
// LineEditState: the text and caret of a drawn single-line editor (the in-place rename and
// delay boxes of the lists). Pure state: the owning control turns keys and characters into
// these calls and draws the result. Text is UTF-8; the caret and the limit count code points.
#include <cstddef>
#include <functional>
#include <string>

#include "tavex/Version.h"

namespace Tavex {

class TAVEX_API LineEditState {
 public:
  // Which code points may be typed (null: all printable ones).
  using Filter = std::function<bool(char32_t)>;

  void Start(const std::string& text);
  void SetLimit(std::size_t maxCodePoints) { m_limit = maxCodePoints; }
  void SetFilter(Filter filter) { m_filter = std::move(filter); }

  // Each returns whether the text or caret changed. A refused character changes nothing.
  bool TypeChar(char32_t cp);
  // Virtual-key editing: Back, Delete, Left, Right, Home, End.
  bool Key(unsigned vk);

  const std::string& Text() const { return m_text; }
  std::size_t Caret() const { return m_caret; }  // code points before the caret
  std::size_t Length() const;                     // code points
  // The text before the caret (for placing it when drawing).
  std::string TextBeforeCaret() const;

 private:
  std::size_t ByteOffset(std::size_t codePoints) const;

  std::string m_text;
  std::size_t m_caret = 0;
  std::size_t m_limit = 0;  // 0: no limit
  Filter m_filter;
};

}  // namespace Tavex
