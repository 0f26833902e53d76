#pragma once
// Scroll bars: two arrow boxes, a track and a thumb. The position runs from 0 to the range
// (content size − view size). Arrows step, the track pages, the thumb drags; every change
// sends notification 8 (new position, 0). A panel's own bars have identifiers 1 and 2.
// Drawn from the window's bar pictures (PaintManager::GetScrollVID / GetScrollHID, the built-in
// resources 102 and 101 unless changed); plain shapes when the picture is missing.
#include "tavex/MControlFont.h"

namespace Tavex {

class TAVEX_API MScroll : public MControlFont {
 public:
  MScroll(MObject* parent, unsigned id, CRect rect, bool vertical, int visible = 1);

  const char* GetClassNameW() const override;

  // content: total size of the scrolled area; view: the visible part. Clamps the position.
  void SetScrollInfo(int content, int view);
  int GetScrollRange() const;
  // Clamped to [0, range]; notify sends 8 when the position changed. Returns the new position.
  int SetScrollPos(int pos, bool notify = false);
  int GetScrollPos() const;
  void SetStep(int step) { m_step = step > 0 ? step : 1; }
  int GetStep() const { return m_step; }
  bool IsVertical() const { return m_vertical; }

  // Layout parts in the bar's own coordinates (window space of the bar's rectangle).
  CRect GetLowArrowRect() const;
  CRect GetHighArrowRect() const;
  CRect GetThumbRect() const;

  void DrawControl(Painter& painter, CRect paint) override;
  int OnCheckMouseResponse(unsigned keys, CPoint pt) override;
  int OnControlMouseMove(unsigned keys, CPoint pt) override;
  int OnControlLButtonDown(unsigned keys, CPoint pt) override;
  int OnControlLButtonUp(unsigned keys, CPoint pt) override;
  int OnControlScroll(int bar, unsigned direction, CPoint pt) override;
  void OnControlMouseLeave() override;

 private:
  enum class Part { None, LowArrow, HighArrow, Thumb, TrackLow, TrackHigh };
  Part HitPart(CPoint pt) const;
  int ArrowSize() const;
  int Along(CPoint pt) const { return m_vertical ? pt.y : pt.x; }
  Image BarPicture() const;
  bool DrawFromPicture(Painter& painter);

  bool m_vertical;
  int m_content = 0;
  int m_view = 0;
  int m_pos = 0;
  int m_step = 40;
  Part m_pressedPart = Part::None;
  Part m_hoverPart = Part::None;
  PressBehaviour m_press;
  int m_dragOffset = 0;
  // Hover and pressed thumbs made from a horizontal picture, and the picture they came from.
  Image m_tintSource;
  Image m_tinted[2];
};

class TAVEX_API CScrollVertical : public MScroll {
 public:
  CScrollVertical(MObject* parent, unsigned id, CRect rect, int visible = 1);
  const char* GetClassNameW() const override;
};

class TAVEX_API CScrollHorizontal : public MScroll {
 public:
  CScrollHorizontal(MObject* parent, unsigned id, CRect rect, int visible = 1);
  const char* GetClassNameW() const override;
};

}  // namespace Tavex
