#pragma once
// Numeric up/down fields: the value with two arrow buttons at the right. A click on an arrow,
// a wheel notch or Up/Down on the focused field steps the value inside [minimum, maximum] and
// sends 28 (0, 0) when it changed. MSpinButton only shows the value; CSpinButton is a
// single-line editor whose number may also be typed: digits, a leading minus when the minimum
// is negative, at most the digits the range needs, no input method. The typed value is clamped
// and committed on Enter or focus loss (28 once when it changed); an empty or unreadable text
// shows the last value again. Escape drops the typing and shows the committed value, keeping the
// focus; with nothing typed it is left to the window. Setters may be called from any thread; they repaint only on
// change.
#include "tavex/Edits.h"
#include "tavex/MPanel.h"
#include "tavex/SpinCore.h"

namespace Tavex {

class TAVEX_API MSpinButton : public MPanel {
 public:
  static constexpr int kArrowWidth = SpinCore::kArrowWidth;

  MSpinButton(MObject* parent, unsigned id, CRect rect, int visible = 1);
  const char* GetClassNameW() const override;
  void DrawControl(Painter& painter, CRect paint) override;
  int OnCheckMouseResponse(unsigned keys, CPoint pt) override;
  int OnControlMouseMove(unsigned keys, CPoint pt) override;
  int OnControlLButtonDown(unsigned keys, CPoint pt) override;
  int OnControlLButtonUp(unsigned keys, CPoint pt) override;
  int OnControlScroll(int bar, unsigned direction, CPoint pt) override;
  int OnControlKeyDown(unsigned key, unsigned repeat, unsigned modifiers) override;
  void OnControlMouseLeave() override;

  // Clamped into the range.
  void SetValue(int value);
  int GetValue() const { return m_spin.Value(); }
  // Keeps minimum <= maximum and clamps the value.
  void SetRange(int minimum, int maximum);
  int GetMin() const { return m_spin.Min(); }
  int GetMax() const { return m_spin.Max(); }
  void SetStep(int step) { m_spin.SetStep(step); }
  // Text after the number ("ms").
  void SetUnit(const char* unit) { Assign(m_unit, CString(unit ? unit : "")); }

  CRect GetUpRect() const;
  CRect GetDownRect() const;

 protected:
  // Steps by `steps` (negative: down); sends 28 when the value changed.
  bool StepBy(int steps);

 private:
  SpinCore m_spin;
  CString m_unit;
};

class TAVEX_API CSpinButton : public MRichEdit {
 public:
  static constexpr int kArrowWidth = SpinCore::kArrowWidth;

  CSpinButton(MObject* parent, unsigned id, CRect rect, int visible = 1);
  const char* GetClassNameW() const override;
  void DrawControl(Painter& painter, CRect paint) override;
  int OnControlMouseMove(unsigned keys, CPoint pt) override;
  int OnControlLButtonDown(unsigned keys, CPoint pt) override;
  int OnControlLButtonUp(unsigned keys, CPoint pt) override;
  int OnControlScroll(int bar, unsigned direction, CPoint pt) override;
  int OnControlKeyDown(unsigned key, unsigned repeat, unsigned modifiers) override;
  void OnControlMouseLeave() override;
  void SetControlFocus(int focus) override;

  // Clamped into the range; replaces any uncommitted typing.
  void SetValue(int value);
  int GetValue() const { return m_spin.Value(); }
  void SetRange(int minimum, int maximum);
  int GetMin() const { return m_spin.Min(); }
  int GetMax() const { return m_spin.Max(); }
  void SetStep(int step) { m_spin.SetStep(step); }
  void SetUnit(const char* unit);

  CRect GetUpRect() const;
  CRect GetDownRect() const;

  // Takes the typed text as the value (clamped), or shows the last value again when it is not
  // a number; sends 28 when the value changed. Returns whether it did.
  bool Commit();
  // Drops uncommitted typing (no 28). Returns false when the text already shows the value.
  bool Revert();

 protected:
  bool AcceptText(const std::string& text) const override;
  CRect TextBox() const override;
  bool StepBy(int steps);

 private:
  void ShowValue();
  int UnitWidth() const;

  SpinCore m_spin;
  CString m_unit;
};

}  // namespace Tavex
