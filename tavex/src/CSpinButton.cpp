#include "tavex/SpinButtons.h"

namespace Tavex {

CSpinButton::CSpinButton(MObject* parent, unsigned id, CRect rect, int visible)
    : MSpinButton(parent, id, rect, visible) {}

const char* CSpinButton::GetClassNameW() const { return "CSpinButton"; }

}  // namespace Tavex
