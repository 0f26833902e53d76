#pragma once
// DragDrop: dragging a control inside its window. A press on a control that allows drag and
// drop arms it; moving the pointer more than a few pixels with the button held starts the
// drag: a translucent picture of the control (its drop bitmap) follows the pointer, kept
// inside the window rectangle. Releasing drops it: the source's parent gets notification
// Notify::Dropped (wParam = identifier of the control under the pointer or 0, lParam = the
// client point packed as MAKELPARAM).
//
// Threads: UI thread. The picture window is the library's own popup.
#include <memory>

#include "tavex/Codes.h"
#include "tavex/Geometry.h"
#include "tavex/Painter.h"

namespace Tavex {

class MControl;
class PaintManager;

class DragDrop {
 public:
  static constexpr int kThreshold = 4;

  explicit DragDrop(PaintManager& manager);
  ~DragDrop();
  DragDrop(const DragDrop&) = delete;
  DragDrop& operator=(const DragDrop&) = delete;

  void Arm(MControl* source, CPoint pt);
  void Disarm();
  // Mouse moves of the window; true when the drag used it.
  bool OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam);
  bool IsDragging() const { return m_dragging; }
  MControl* GetSource() const { return m_source; }
  // Ends the drag at `pt` (client coordinates) and notifies; returns the target or null.
  MControl* Drop(CPoint pt);
  void Cancel();
  void Forget(MControl* control);
  // Where the picture's top-left goes for pointer `pt` (client), kept inside the window.
  CPoint ImageOrigin(CPoint pt) const;

 private:
  void Begin(CPoint pt);
  void MoveImage(CPoint pt);

  PaintManager& m_pm;
  MControl* m_source = nullptr;
  CPoint m_pressAt;
  CPoint m_grab;  // pointer offset inside the control when pressed
  bool m_armed = false;
  bool m_dragging = false;
  Image m_image;
  std::unique_ptr<Surface> m_surface;  // what the picture window shows
  HWND m_imageWnd = nullptr;
};

}  // namespace Tavex
