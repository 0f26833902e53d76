#pragma once
// CArea: a filled rectangle. With a transparency set, the fill is blended over what lies below
// with an opacity running from (100 − start)% at the first row (column) to (100 − end)% at
// the last; otherwise it is opaque, with an optional one-pixel frame. Never hit by the mouse.
#include <cstdint>

#include "tavex/MControl.h"

namespace Tavex {

class TAVEX_API CArea : public MControl {
 public:
  CArea(MObject* parent, unsigned id, CRect rect, int visible = 1, int enabled = 1);

  const char* GetClassNameW() const override;
  void DrawControl(Painter& painter, CRect paint) override;

  // Transparencies in percent (0-100); fill is a COLORREF.
  void SetTransparent(int start, int end, COLORREF fill);
  void SetFrame(int on, std::uint32_t argb, int = 0);
  // 1 vertical (rows), 0 horizontal (columns).
  void SetDirection(int vertical);
  int GetStartTransparent() const { return m_start; }
  int GetEndTransparent() const { return m_end; }
  COLORREF GetFillColor() const { return m_fill; }

 private:
  int m_direction = 1;
  int m_start = 80;
  int m_end = 80;
  COLORREF m_fill = 0xFFFFFF;
  int m_frame = 0;
  std::uint32_t m_frameColor = 0xFE050505;
};

}  // namespace Tavex
