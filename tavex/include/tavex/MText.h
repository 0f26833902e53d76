#pragma once
// MText: static text (title, font, colour, alignment). It starts disabled: a static text takes
// no input, yet draws in its own colour either way. Lines break at '\n', and at the width when
// word wrapping is on. Setters may be called from any thread and repaint only on change.
#include "tavex/MControlFont.h"

namespace Tavex {

class TAVEX_API MText : public MControlFont {
 public:
  MText(MObject* parent, unsigned id, CRect rect, const char* title, int visible = 1);

  const char* GetClassNameW() const override;
  void DrawControl(Painter& painter, CRect paint) override;
  void SetWordWrap(int on) { Assign(m_wrap, on ? 1 : 0); }
  // Format flags the text is drawn with.
  UINT GetDrawFormat() const;

 private:
  int m_wrap = 0;
};

}  // namespace Tavex
