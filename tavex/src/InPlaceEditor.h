#pragma once
// InPlaceEditor: the drawn edit box a list lays over one of its rows (the record list's delay,
// the list box's rename). The box is a real MEdit, so caret, selection, mouse, clipboard and
// input method all work as in any edit box. Normally it is a child of the host panel with its
// rectangle in the host's virtual space, shown only while an edit runs. When the host's window
// is layered the box lives in a small popup window (MPopupWnd) placed over the row instead;
// Enter and Escape there end the edit through the host's finish callback.
//
// The host routes the box's notifications (identifier kEditId) to itself: they never reach
// the host's parent. Code 29 from the box means it lost the keyboard focus.
//
// Ownership: the host's child list owns the child MEdit; a popup deletes itself once its
// window is gone. Threads: UI thread (the text may be read from others).
#include <functional>
#include <string>

#include "tavex/Edits.h"
#include "tavex/MPanel.h"

namespace Tavex {

class MPopupWnd;

class TAVEX_API InPlaceEditor {
 public:
  static constexpr unsigned kEditId = 0x7FFF0E01u;

  // `finish(keep)` ends the host's edit (Enter: keep, Escape: drop) when the box is a popup.
  InPlaceEditor(MPanel& host, std::function<void(bool keep)> finish);
  ~InPlaceEditor();
  InPlaceEditor(const InPlaceEditor&) = delete;
  InPlaceEditor& operator=(const InPlaceEditor&) = delete;

  // Rules for the next and the running edit (0: no limit).
  void SetRules(int maxLength, bool digitsOnly);
  // Text colour and fill of the box.
  void SetLook(ARGB text, ARGB fill);
  // Opens the box over `box` (host virtual space) holding `text`, caret after the last
  // character, with the keyboard focus.
  void Open(CRect box, const std::string& text);
  // Keeps an open box on its row after rows moved.
  void Move(CRect box);
  // Hides the box and returns its text (empty when it was not open).
  std::string Close();
  bool IsOpen() const { return m_open; }
  std::string Text() const;
  // Where the box stands (host virtual space), and the edit control in use.
  CRect Box() const { return m_box; }
  MEdit* Edit() const;
  // The popup window while the box lives in one (layered host), else null.
  HWND GetPopupWindow() const;

  // For the host's key handler: while the box is open, Enter ends the edit keeping the text and
  // Escape dropping it, through the finish callback. True when the key was taken.
  bool TakeEndKey(unsigned key);
  // For the host's notification handler: true when `id` is the box's. Its code 29 (focus lost)
  // ends the edit keeping the text; the box's other notices stop here.
  bool TakeBoxNotice(unsigned id, unsigned code);

 private:
  void Configure(MEdit& edit) const;
  bool OpenPopup(CRect box, const std::string& text);

  MPanel& m_host;
  std::function<void(bool)> m_finish;
  MEdit* m_edit = nullptr;
  MPopupWnd* m_popup = nullptr;
  MEdit* m_popupEdit = nullptr;
  CRect m_box;
  bool m_open = false;
  bool m_inPopup = false;
  int m_maxLength = 0;
  bool m_digitsOnly = false;
  ARGB m_text = 0xFFFFFFFF;
  ARGB m_fill = 0xFF080808;
};

}  // namespace Tavex
