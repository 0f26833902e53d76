#include "tavex/Edits.h"

namespace Tavex {

MEditEx::MEditEx(MObject* parent, unsigned id, CRect rect, const char* title, int visible,
                 int enabled)
    : MEdit(parent, id, rect, title, visible, enabled) {}

const char* MEditEx::GetClassNameW() const { return "MEditEx"; }

}  // namespace Tavex
