#pragma once
// InPlaceEditor: the drawn edit box a list lays over one of its rows (the record list's delay,
// the list box's rename). The box is a real MEdit, a child of the host panel with its rectangle
// in the host's virtual space, so caret, selection, mouse, clipboard and input method all work
// as in any edit box; it is shown only while an edit runs.
//
// The host routes the box's notifications (identifier kEditId) to itself: they never reach
// the host's parent. Code 29 from the box means it lost the keyboard focus.
//
// Ownership: the host's child list owns the MEdit; the editor keeps a plain pointer.
// Threads: UI thread (the text may be read under the host's data lock from other threads).
#include <string>

#include "tavex/Edits.h"
#include "tavex/MPanel.h"

namespace Tavex {

class TAVEX_API InPlaceEditor {
 public:
  static constexpr unsigned kEditId = 0x7FFF0E01u;

  explicit InPlaceEditor(MPanel& host);
  InPlaceEditor(const InPlaceEditor&) = delete;
  InPlaceEditor& operator=(const InPlaceEditor&) = delete;

  // Rules for the next and the running edit (0: no limit).
  void SetRules(int maxLength, bool digitsOnly);
  // Text colour and fill of the box.
  void SetLook(ARGB text, ARGB fill);
  // Opens the box over `box` (host virtual space) holding `text`, caret after the last
  // character, with the keyboard focus.
  void Open(CRect box, const std::string& text);
  // Hides the box and returns its text (empty when it was not open).
  std::string Close();
  bool IsOpen() const { return m_open; }
  std::string Text() const;
  MEdit* Edit() const { return m_edit; }

 private:
  MPanel& m_host;
  MEdit* m_edit = nullptr;
  bool m_open = false;
};

}  // namespace Tavex
