#pragma once
// EditBuffer: the text, caret and selection of an edit control, with the editing operations
// and their rules (digits only, length limit in code points, single or multiple lines), apart
// from drawing and input routing. Positions are byte offsets into the UTF-8 text, always on
// code point boundaries. A value type; not thread-safe (the owning control locks it).
#include <cstddef>
#include <string>

#include "tavex/Version.h"

namespace Tavex {

class TAVEX_API EditBuffer {
 public:
  // What a key did, so that the control can notify, repaint or use the clipboard.
  enum class KeyResult { kNone, kMoved, kChanged, kCopy, kCut, kPaste };

  EditBuffer() = default;
  explicit EditBuffer(std::string text) { SetText(std::move(text)); }

  // Replaces the whole text (filtered by the rules, cut to the limit); the caret goes to the
  // end, the selection is dropped.
  void SetText(std::string text);
  const std::string& GetText() const { return m_text; }
  // Length in code points.
  std::size_t Length() const;

  // Rules. A limit of 0 means none. Setting them does not touch the present text.
  void SetMaxLength(std::size_t codePoints) { m_maxLength = codePoints; }
  std::size_t GetMaxLength() const { return m_maxLength; }
  void SetDigitsOnly(bool on) { m_digitsOnly = on; }
  bool IsDigitsOnly() const { return m_digitsOnly; }
  void SetMultiLine(bool on) { m_multiLine = on; }
  bool IsMultiLine() const { return m_multiLine; }

  // Caret and selection (anchor .. caret, either order).
  std::size_t GetCaret() const { return m_caret; }
  std::size_t GetAnchor() const { return m_anchor; }
  bool HasSelection() const { return m_caret != m_anchor; }
  std::size_t SelectionStart() const { return m_caret < m_anchor ? m_caret : m_anchor; }
  std::size_t SelectionEnd() const { return m_caret < m_anchor ? m_anchor : m_caret; }
  std::string SelectedText() const;
  // Moves the caret to byte offset `pos` (snapped back to a code point boundary, clamped);
  // `extend` keeps the anchor (selection), else the anchor follows.
  void SetCaret(std::size_t pos, bool extend = false);
  void SelectAll();
  // Caret position in code points, and back.
  std::size_t CaretIndex() const;
  std::size_t OffsetOfIndex(std::size_t codePoints) const;

  // Editing. Insert replaces the selection by `text` after the rules: characters the rules
  // refuse are dropped (line breaks in single-line mode, non-digits in digits-only mode,
  // control characters), and the text is cut to what the limit leaves. Returns whether the
  // text changed.
  bool Insert(const std::string& text);
  bool Backspace();
  bool Delete();
  // Removes the selection; false when there is none.
  bool DeleteSelection();

  // Caret movement (shift extends the selection; ctrl moves by word).
  bool MoveLeft(bool shift, bool ctrl = false);
  bool MoveRight(bool shift, bool ctrl = false);
  bool MoveHome(bool shift);  // start of the line (of the text with ctrl)
  bool MoveEnd(bool shift);
  bool MoveUp(bool shift);    // multi-line: same code point column on the previous line
  bool MoveDown(bool shift);
  bool MoveTextHome(bool shift);
  bool MoveTextEnd(bool shift);

  // The editing keys: arrows, Home/End, Backspace, Delete, Enter (multi-line), Ctrl+A, and
  // Ctrl+C/X/V which only report what to do (the control owns the clipboard).
  KeyResult HandleKey(unsigned vk, bool shift, bool ctrl);

  // Start and end offsets of the line holding `pos`.
  std::size_t LineStart(std::size_t pos) const;
  std::size_t LineEnd(std::size_t pos) const;

 private:
  std::string Filter(const std::string& text) const;
  std::size_t Prev(std::size_t pos) const;
  std::size_t Next(std::size_t pos) const;
  bool Move(std::size_t pos, bool shift);

  std::string m_text;
  std::size_t m_caret = 0;
  std::size_t m_anchor = 0;
  std::size_t m_maxLength = 0;
  bool m_digitsOnly = false;
  bool m_multiLine = false;
};

// UTF-8 of one code point (nothing for surrogates and values past U+10FFFF).
TAVEX_API std::string EncodeUtf8(char32_t cp);
// The code point at s[i] (i < s.size()) and its length in bytes; a broken sequence yields its
// lead byte alone, as one code point of that value.
TAVEX_API char32_t DecodeUtf8(const std::string& s, std::size_t i, std::size_t* len);

}  // namespace Tavex
