#pragma once
// Numeric up/down fields: the value with two arrow buttons at the right. A click on an arrow,
// a wheel notch or Up/Down on the focused field steps the value inside [minimum, maximum] and
// sends 28 (0, 0) when it changed. Setters may be called from any thread; they repaint only
// on change.
#include <atomic>

#include "tavex/MPanel.h"

namespace Tavex {

class TAVEX_API MSpinButton : public MPanel {
 public:
  static constexpr int kArrowWidth = 18;

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
  int GetValue() const { return m_value.load(); }
  // Keeps minimum <= maximum and clamps the value.
  void SetRange(int minimum, int maximum);
  int GetMin() const { return m_min.load(); }
  int GetMax() const { return m_max.load(); }
  void SetStep(int step) { m_step = step > 0 ? step : 1; }
  // Text after the number ("ms").
  void SetUnit(const char* unit) { Assign(m_unit, CString(unit ? unit : "")); }

  CRect GetUpRect() const;
  CRect GetDownRect() const;

 protected:
  // Steps by `steps` (negative: down); sends 28 when the value changed.
  bool StepBy(int steps);

 private:
  std::atomic<int> m_value{0};
  std::atomic<int> m_min{0};
  std::atomic<int> m_max{100};
  int m_step = 1;
  int m_hoverPart = 0;  // 1 up, 2 down
  int m_pressPart = 0;
  CString m_unit;
};

// The same field under its own class name.
class TAVEX_API CSpinButton : public MSpinButton {
 public:
  CSpinButton(MObject* parent, unsigned id, CRect rect, int visible = 1);
  const char* GetClassNameW() const override;
};

}  // namespace Tavex
