#include "tavex/MListBox.h"

namespace Tavex {

MListBox::MListBox(MObject* parent, unsigned id, CRect rect, int visible)
    : DListBox(parent, id, rect, visible) {}

const char* MListBox::GetClassNameW() const { return "MListBox"; }

}  // namespace Tavex
