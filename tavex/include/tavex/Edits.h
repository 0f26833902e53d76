#pragma once
// Text editors drawn by the library. MEdit is a single-line box (state image: normal, hover,
// focused, disabled; nine-part) whose title is its text; MEditEx is the same box under another
// class name; MRichEdit edits several lines. All keep their text in an EditBuffer: caret,
// selection, arrows, Home/End, Shift-selection, Ctrl+A/C/X/V through the CLIPBOARD selection,
// Backspace/Delete, typed characters (WM_CHAR, any Unicode), optional digits-only mode and
// length limit (code points).
//
// MEdit notifications: 30 when editing starts (focus gained), 9 on a press inside the text box,
// 1 on a press outside it (its border), 31 on a release inside the text box, 2 after a press
// and release inside, 26 after the user changed the text (title updated first), 29 when
// editing ends (focus lost). MRichEdit: 1 on press, 2 on a click, 26 after a change.
//
// Typed text passes the window's input method (Chinese and composed characters) while an
// editor has the focus; the composition is placed at the caret. Password and digits-only
// boxes take plain keys only.
//
// Threads: SetTitle and the rule setters may be called from any thread (data lock, posted
// repaint); input and drawing run on the UI thread.
#include <atomic>
#include <cstdint>

#include "tavex/EditBuffer.h"
#include "tavex/MControlFont.h"
#include "tavex/MPanel.h"
#include "tavex/PressBehaviour.h"

namespace Tavex {

class TAVEX_API MEdit : public MControlFont {
 public:
  static constexpr int kPaddingX = 8;
  static constexpr int kPaddingY = 3;

  MEdit(MObject* parent, unsigned id, CRect rect, const char* title, int visible = 1,
        int enabled = 1);
  ~MEdit() override;

  const char* GetClassNameW() const override;
  void DrawControl(Painter& painter, CRect paint) override;
  int OnCheckMouseResponse(unsigned keys, CPoint pt) override;
  int OnControlMouseMove(unsigned keys, CPoint pt) override;
  int OnControlLButtonDown(unsigned keys, CPoint pt) override;
  int OnControlLButtonUp(unsigned keys, CPoint pt) override;
  int OnControlLButtonDblClk(unsigned keys, CPoint pt) override;
  int OnControlKeyDown(unsigned key, unsigned repeat, unsigned modifiers) override;
  int OnControlTimerKey(unsigned key) override;
  int OnWindowMessage(unsigned msg, unsigned wParam, long lParam) override;
  void OnControlMouseLeave() override;
  void SetControlFocus(int focus) override;
  void SetControlEnabled(int enabled) override;
  void SetControlTitle(const char* title) override;
  CString GetControlTitle() const override;

  // Rules; the present text is kept as it is.
  void SetMaxLength(int codePoints);
  int GetMaxLength() const;
  void SetDigitsOnly(int on);
  int IsDigitsOnly() const;
  // Shows every character as a dot.
  void SetPassword(int on) { Assign(m_password, on ? 1 : 0); }
  // Grey text shown while the box is empty and not focused.
  void SetPlaceholder(const char* text) { Assign(m_placeholder, CString(text ? text : "")); }
  // Flat look of an editor laid over other content (a list row): no frame, a plain fill in
  // `background` and a 2-pixel inset; 0 restores the framed box.
  void SetFlatLook(int on, ARGB background = 0xFF080808);

  // Editing from the program (same rules as typing; no notification).
  void SetSel(int startIndex, int endIndex);
  void GetSel(int* startIndex, int* endIndex) const;
  void ReplaceSel(const char* text);
  // A typed code point, as WM_CHAR delivers it (UI thread).
  int OnChar(unsigned codePoint);

  // Geometry: the inner text box, and the caret's x in window coordinates.
  CRect GetTextBox() const;
  int GetCaretX() const;
  // Code point index of the boundary nearest to window x.
  int IndexAtX(int x) const;
  // Whether the caret is in the "on" phase of its blink (animation clock since the last
  // focus, typing or caret move); 0 while the box has no focus.
  int IsCaretShown() const;
  // Key-capture mode of a key field: while it is on, typed characters, editing keys, pastes
  // and the input method change nothing, the focused box takes every key and shows no caret;
  // it shows the text the program sets (SetTitle: the name of the captured key). UI thread.
  void SetKeyCapture(int on);
  int IsKeyCapture() const { return m_keyCapture; }
  // The input method's composition, shown underlined at the caret while the box has the focus
  // (it is not part of the text until committed); caret in code points of it. UI thread.
  void SetComposition(const char* text, int caret);
  const std::string& GetComposition() const { return m_preedit; }

 private:
  std::string DisplayText() const;
  int TextWidth(std::size_t byteEnd) const;
  void EnsureCaretVisible();
  void AfterInput(bool moved, bool changed);
  void RestartBlink();
  // Tells the window's input method that this box edits (caret in window coordinates) or
  // stopped editing.
  void ReportTextInput(bool active, const CRect* caret);

  EditBuffer m_buffer;
  HWND m_imeWnd = nullptr;  // window told that this box edits, while it does
  std::string m_preedit;
  int m_preeditCaret = 0;
  PressBehaviour m_press;
  int m_scroll = 0;
  std::atomic<std::int64_t> m_blinkStartMs{0};
  std::atomic<int> m_keyCapture{0};
  int m_selecting = 0;
  int m_pressInBox = 0;
  int m_password = 0;
  int m_flat = 0;
  ARGB m_flatFill = 0xFF080808;
  CString m_placeholder;
};

class TAVEX_API MEditEx : public MEdit {
 public:
  MEditEx(MObject* parent, unsigned id, CRect rect, const char* title, int visible = 1,
          int enabled = 1);
  const char* GetClassNameW() const override;
};

// MRichEdit shows its caret through the window's caret (PaintManager::CreateCaret/SetCaretPos/
// ShowCaret): placed at the text position while the editor has the focus, hidden otherwise.
class TAVEX_API MRichEdit : public MPanel {
 public:
  static constexpr int kPadding = 6;

  MRichEdit(MObject* parent, unsigned id, CRect rect, const char* title, int visible = 1);
  ~MRichEdit() override;

  const char* GetClassNameW() const override;
  void DrawControl(Painter& painter, CRect paint) override;
  int OnCheckMouseResponse(unsigned keys, CPoint pt) override;
  int OnControlMouseMove(unsigned keys, CPoint pt) override;
  int OnControlLButtonDown(unsigned keys, CPoint pt) override;
  int OnControlLButtonUp(unsigned keys, CPoint pt) override;
  int OnControlKeyDown(unsigned key, unsigned repeat, unsigned modifiers) override;
  int OnControlScroll(int bar, unsigned direction, CPoint pt) override;
  int OnWindowMessage(unsigned msg, unsigned wParam, long lParam) override;
  void SetControlFocus(int focus) override;
  void SetControlTitle(const char* title) override;
  CString GetControlTitle() const override;

  void SetMaxLength(int codePoints);
  void SetReadOnly(int on) { Assign(m_readOnly, on ? 1 : 0); }
  int OnChar(unsigned codePoint);
  // Caret position as (code point column, line).
  CPoint GetCaretLineColumn() const;
  int GetLineCount() const;
  // Byte offset of the boundary nearest to a window point.
  std::size_t OffsetAt(CPoint pt) const;
  // Where the caret stands, in window client coordinates.
  CRect GetCaretRect() const;

 protected:
  // For editors built on this one: one line only (Enter is left to the caller), no input
  // method, and a check every edit must pass (a refused edit is undone without notice).
  void SetSingleLine();
  void SetPlainKeys(int on) { m_plainKeys = on ? 1 : 0; }
  virtual bool AcceptText(const std::string&) const { return true; }
  // Where the text is laid out, in window coordinates.
  virtual CRect TextBox() const;
  // Puts the window's caret at the text position (UI thread), e.g. after the text was set.
  void PlaceCaret();

 private:
  CRect CaretRectLocal() const;
  int LineHeight() const;
  void EnsureCaretVisible();
  void AfterInput(bool moved, bool changed);
  void ReportTextInput(bool active);

  EditBuffer m_buffer;
  HWND m_imeWnd = nullptr;  // window told that this editor edits, while it does
  PressBehaviour m_press;
  int m_scrollY = 0;
  int m_selecting = 0;
  int m_readOnly = 0;
  int m_plainKeys = 0;
};

}  // namespace Tavex
