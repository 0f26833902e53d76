#pragma once
// Value controls: MSlider (horizontal track and thumb), MProgress (progress bar) and
// MLevelCtrl (a row of level steps). Geometry (thumb and step rectangles, value at a point) is
// computed apart from drawing. Setters may be called from any thread; they repaint only when
// the value changed.
#include <atomic>

#include "tavex/MControlFont.h"
#include "tavex/PressBehaviour.h"

namespace Tavex {

// Track from the state image (empty track, filled track; stretched horizontally) and a thumb
// image (normal, hover, pressed, disabled). Notification 2 (0, 0) on release after a drag or
// a press, and on every wheel step.
class TAVEX_API MSlider : public MControlFont {
 public:
  static constexpr int kDefaultThumb = 18;
  static constexpr int kTrackHeight = 6;

  MSlider(MObject* parent, unsigned id, CRect rect, int visible = 1, int enabled = 1);
  const char* GetClassNameW() const override;
  void DrawControl(Painter& painter, CRect paint) override;
  int OnCheckMouseResponse(unsigned keys, CPoint pt) override;
  int OnControlMouseMove(unsigned keys, CPoint pt) override;
  int OnControlLButtonDown(unsigned keys, CPoint pt) override;
  int OnControlLButtonUp(unsigned keys, CPoint pt) override;
  int OnControlScroll(int bar, unsigned direction, CPoint pt) override;
  void OnControlMouseLeave() override;

  // Values below 0 are ignored; others are clamped into [minimum, maximum].
  void SetProgress(int value);
  int GetProgress() const { return m_value.load(); }
  // The bounds keep minimum <= maximum; the value is clamped into them.
  void SetMinProgress(int value);
  void SetMaxProgress(int value);
  int GetMinProgress() const { return m_min.load(); }
  int GetMaxProgress() const { return m_max.load(); }
  void SetThumbImage(const char* file);
  // Shows the value as text right of the track (the track leaves room for it).
  void SetShowText(int on);
  // Number of scale marks under the track (0: none).
  void SetScale(int marks);
  // Step of one wheel notch.
  void SetWheelStep(int step) { m_wheelStep = step > 0 ? step : 1; }

  // Geometry, in the control's coordinates.
  CRect GetTrackRect() const;
  CRect GetThumbRect() const;
  // The value under horizontal position x (clamped to the bounds).
  int ValueAt(int x) const;

 private:
  CSize ThumbSize() const;
  // Sets the value from the user; true when it changed.
  bool SetFromUser(int value);

  std::atomic<int> m_value{0};
  std::atomic<int> m_min{0};
  std::atomic<int> m_max{100};
  CString m_thumbImage;
  int m_showText = 0;
  int m_scale = 0;
  int m_wheelStep = 1;
  int m_dragging = 0;
  PressBehaviour m_press;
};

// Bar filled from the left in proportion of position / range.
class TAVEX_API MProgress : public MControlFont {
 public:
  MProgress(MObject* parent, unsigned id, CRect rect, int visible = 1, int enabled = 1);
  const char* GetClassNameW() const override;
  void DrawControl(Painter& painter, CRect paint) override;

  // Clamped into [0, range].
  void SetPos(int pos);
  int GetPos() const { return m_pos.load(); }
  // Range below 1 counts as 1; the position is clamped into it.
  void SetRange(int range);
  int GetRange() const { return m_range.load(); }
  void SetBarColor(std::uint32_t argb) { Assign(m_barColor, argb); }
  // Shows "NN%" in the middle of the bar.
  void SetShowText(int on) { Assign(m_showText, on ? 1 : 0); }
  // Width of the filled part inside `width` pixels.
  int FilledWidth(int width) const;

 private:
  std::atomic<int> m_pos{0};
  std::atomic<int> m_range{100};
  std::uint32_t m_barColor;
  int m_showText = 0;
};

// A row of `count` steps; level n lights the first n. A click on step i sets level i + 1 and
// sends 2 (new level, 0).
class TAVEX_API MLevelCtrl : public MControlFont {
 public:
  static constexpr int kGap = 3;
  MLevelCtrl(MObject* parent, unsigned id, CRect rect, int visible = 1, int enabled = 1);
  const char* GetClassNameW() const override;
  void DrawControl(Painter& painter, CRect paint) override;
  int OnCheckMouseResponse(unsigned keys, CPoint pt) override;
  int OnControlMouseMove(unsigned keys, CPoint pt) override;
  int OnControlLButtonDown(unsigned keys, CPoint pt) override;
  void OnControlMouseLeave() override;

  // Count of steps (at least 1); the level is clamped into it.
  void SetLevelCount(int count);
  int GetLevelCount() const { return m_count.load(); }
  // Clamped into [0, count].
  void SetLevel(int level);
  int GetLevel() const { return m_level.load(); }
  CRect GetStepRect(int index) const;
  // Index of the step under the point, -1 when none.
  int StepAt(CPoint pt) const;

 private:
  std::atomic<int> m_count{5};
  std::atomic<int> m_level{0};
  int m_hoverStep = -1;
};

}  // namespace Tavex
