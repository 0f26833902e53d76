#pragma once
// The part both numeric up/down fields share: value, range and step, the two arrow buttons at
// the right (hover, press, drawing) and stepping. The owning control repaints and notifies.
// Value and range may be read and set from any thread; the arrow state is UI-thread only.
#include <atomic>

#include "tavex/Geometry.h"
#include "tavex/Painter.h"

namespace Tavex {

class TAVEX_API SpinCore {
 public:
  static constexpr int kArrowWidth = 18;
  enum Part { kNone = 0, kUp = 1, kDown = 2 };

  // Each returns whether the value or range changed.
  bool SetValue(int value);  // clamped into the range
  bool SetRange(int minimum, int maximum);  // ordered; the value follows
  bool StepBy(int steps);  // stops at the bounds, never wraps
  void SetStep(int step) { m_step = step > 0 ? step : 1; }
  int Value() const { return m_value.load(); }
  int Min() const { return m_min.load(); }
  int Max() const { return m_max.load(); }
  // Decimal digits the widest bound needs (no sign).
  int DigitsNeeded() const;

  static CRect UpRect(CRect field);
  static CRect DownRect(CRect field);
  static Part PartAt(CRect field, CPoint pt);

  // Pointer tracking; each returns whether the arrows need a repaint.
  bool Hover(Part part);
  bool Press(Part part);
  bool Release();
  bool Leave();
  Part Pressed() const { return m_pressPart; }

  // The separator and both arrows inside `field`.
  void DrawArrows(Painter& painter, CRect field, bool enabled) const;

 private:
  std::atomic<int> m_value{0};
  std::atomic<int> m_min{0};
  std::atomic<int> m_max{100};
  int m_step = 1;
  Part m_hoverPart = kNone;
  Part m_pressPart = kNone;
};

}  // namespace Tavex
