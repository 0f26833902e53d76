#include "tavex/Buttons.h"

namespace Tavex {

CImageButton::CImageButton(MObject* parent, unsigned id, CRect rect, int visible, int enabled)
    : MButton(parent, id, rect, nullptr, visible, enabled) {
  m_drawTitle = 0;
}

const char* CImageButton::GetClassNameW() const { return "CImageButton"; }

}  // namespace Tavex
