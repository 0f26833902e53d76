#pragma once
// Polymorphic root of every Tavex window and control. It routes control notifications
// (OnBaseMessage) and repaint requests (OnControlUpdate) from a control to its owner.
#include "tavex/Geometry.h"

namespace Tavex {

class MControl;

class TAVEX_API MObject {
 public:
  virtual ~MObject();
  // 1 when GetClassNameW() equals `name` exactly (case-sensitive, whole string), else 0.
  virtual int IsClass(const char* name) const;
  virtual const char* GetClassNameW() const;
  virtual const char* GetObjectClass() const;
  virtual const char* BaseObjectClassName() const;
  // Sink of control notifications; `id` is the control identifier, `code` what happened.
  virtual int OnBaseMessage(unsigned id, unsigned code, unsigned wParam, long lParam);
  // Request to repaint `rect` on behalf of `control` (flag set: the control's image is stale;
  // kUpdateRetained: the control that offered to (PaintManager::OfferRetained) writes the
  // change into the window's frame itself, and no image is stale).
  virtual int OnControlUpdate(CRect rect, int flag, MControl* control);
  static constexpr int kUpdateRetained = 2;
  static constexpr bool ImageStale(int flag) { return flag != 0 && flag != kUpdateRetained; }
};

}  // namespace Tavex
