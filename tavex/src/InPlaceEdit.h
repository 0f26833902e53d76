#pragma once
// One step of a row's in-place editor (the record list's delay box, the list box's rename box):
// the step runs under the control's data lock, since other threads may read the text, and the
// control repaints only when the step changed the text or the caret.
#include <mutex>

#include "tavex/LineEditState.h"
#include "tavex/MControl.h"

namespace Tavex {

template <class Step>
void EditInPlace(MControl& control, LineEditState& edit, Step step) {
  bool changed = false;
  {
    std::lock_guard guard(control.GetDataLock());
    changed = step(edit);
  }
  if (changed) control.UpdateControl(1, 0);
}

}  // namespace Tavex
