#pragma once
// MControl: the base of every drawn control. A control is a plain object with a rectangle in
// the window's client coordinates (or in its panel's virtual area); it receives input routed
// by the PaintManager, draws itself through the Painter and reports to its parent with
// notifications (SendMessageW -> parent->OnBaseMessage).
//
// Ownership: the library owns controls. The factories put them into a list of the manager or
// of a parent control, and that list deletes them on RemoveControl/Clear or when the window's
// manager is destroyed. The program keeps plain pointers and never deletes them.
//
// Threads: input, drawing and lists belong to the UI thread and the animation timer thread.
// Setters may be called from any thread: they lock the control's data (GetDataLock) and their
// repaint requests become posted messages when they do not run on the UI thread. A control may
// be removed from another thread while its window takes no input (the program disables it
// while the worker runs): the removal waits for a paint or a tick that uses the control.
//
// Lock order of the library; a thread holding one of these takes only later ones:
//   1. child lists (ControlList): the window's area list, then its control list, then each
//      control's draw and child lists, outer before inner. A walk holds its list while it
//      calls each control, so that none is freed under it; a removal takes the list the
//      control lives in, and so waits for the walk.
//   2. the animation list (PaintManager): held only to read or change the list and to mark
//      the control the tick calls, never while calling a control. The tick calls each
//      registered control holding no list; removing that control waits for the call to end.
//      (The tick's own lock, which only serialises ticks, is taken before everything else.)
//   3. control data (GetDataLock): held around a control's own values, its drawing and its
//      tick, never while waiting for another thread.
//   4. the paint manager's locks (control timers, images, fonts, background, pending tasks):
//      last; a control drawing under its data lock may load an image, but the manager never
//      calls a control while it holds one of them.
// Notification handlers (OnMessage, OnBaseMessage, OnControlUpdate) may run inside a list walk,
// on the UI thread or the timer thread: they never block and never wait for another thread
// (no join, no waiting for a reply or a result); what has to wait is posted to the window.
#include <atomic>
#include <cstdint>
#include <mutex>

#include "tavex/ControlList.h"
#include "tavex/MObject.h"
#include "tavex/Painter.h"
#include "tavex/PressBehaviour.h"

namespace Tavex {

class PaintManager;

class TAVEX_API MControl : public MObject {
 public:
  MControl(MObject* parent, unsigned id, CRect rect, int visible = 1, int enabled = 1);
  MControl(const MControl&) = delete;
  MControl& operator=(const MControl&) = delete;
  ~MControl() override;

  const char* GetClassNameW() const override;
  // Notifications of children go to OnMessage; their repaint requests go up to the parent.
  int OnBaseMessage(unsigned id, unsigned code, unsigned wParam, long lParam) override;
  int OnControlUpdate(CRect rect, int flag, MControl* control) override;

  virtual void InitControl(PaintManager* manager);
  virtual int PtInRect(CPoint pt);
  virtual void DrawControl(Painter& painter, CRect paint) = 0;
  virtual void DrawSubControls(Painter& painter, CRect paint);
  virtual int IsDraw(CPoint pt);
  virtual void SetUpdate(int update, unsigned flags);
  virtual void SetControlFocus(int focus);
  virtual void InitUI(CRect rect);
  // Translates a window point into this control's own space (panels add scroll offsets).
  virtual void OnMousePointChange(CPoint& pt);
  // Whether the control wants the mouse at `pt`; drawn controls that react return 1.
  virtual int OnCheckMouseResponse(unsigned keys, CPoint pt);
  // Raw window messages offered before the manager handles them; non-zero consumes.
  virtual int OnWindowMessage(unsigned msg, unsigned wParam, long lParam);
  // Notification from a child control.
  virtual int OnMessage(unsigned id, unsigned code, unsigned wParam, long lParam);
  virtual void SetControlRect(CRect rect);
  virtual void SetControlVisible(int visible);
  virtual void SetControlWndVisible(int visible);
  virtual void SetControlEnabled(int enabled);
  // One animation tick; non-zero means the control must be redrawn.
  virtual int OnControlTimer();
  // Animation sleep. QuietTicks: how many coming ticks the control promises to spend without
  // any visible change (kQuietForever: nothing to animate), so that the window's animation
  // timer may sleep through them; the default 0 asks for every tick. The ticks slept through
  // arrive in one PassQuietTicks call before the next OnControlTimer. Both run on the timer
  // thread; a change that makes the control move again calls WakeAnimation.
  static constexpr int kQuietForever = 0x7FFFFFFF;
  virtual int QuietTicks() const { return 0; }
  virtual void PassQuietTicks(int) {}
  // A control timer (PaintManager::SetTimer) with this key fired; default: OnTimer().
  virtual int OnControlTimerKey(unsigned key);
  virtual int OnControlMouseMove(unsigned keys, CPoint pt);
  virtual int OnControlSetCursor(unsigned keys, CPoint pt);
  virtual int OnControlLButtonDown(unsigned keys, CPoint pt);
  virtual int OnControlLButtonUp(unsigned keys, CPoint pt);
  virtual int OnControlLButtonDblClk(unsigned keys, CPoint pt);
  // bar 1 = vertical (wheel); direction 0 = up, 1 = down.
  virtual int OnControlScroll(int bar, unsigned direction, CPoint pt);
  virtual int OnControlRButtonDown(unsigned keys, CPoint pt);
  virtual int OnControlRButtonUp(unsigned keys, CPoint pt);
  virtual int OnControlRButtonDblClk(unsigned keys, CPoint pt);
  virtual int OnControlKeyDown(unsigned key, unsigned repeat, unsigned modifiers);
  virtual int OnControlKeyUp(unsigned key, unsigned repeat, unsigned modifiers);
  virtual void OnPositionChange();
  virtual void InvalidateRect(const RECT* rect, int erase);
  // Pointer left the window or moved to another control.
  virtual void OnControlMouseLeave();
  // Picture shown under the pointer while the control is dragged; a null image lets the
  // manager draw the control itself.
  virtual Image GetControlDropBitmap();
  // [UI thread, while the window composes a paint] A rectangle, in the space of GetRect, that
  // the coming Draw covers wholly with opaque pixels drawn straight onto the window, so that
  // the window leaves out its background there. A control that promises an area must cover it
  // in that Draw even if another thread changed it meanwhile. A container answers for its
  // children only when it draws them unfaded. Empty (the default): no promise.
  virtual CRect OpaqueArea();
  // [UI thread, in place of a paint] Brings the window's frame, which still holds this
  // control's last drawing of generation `generation` (PaintManager::FrameGeneration), up to
  // date by writing only the pixels that changed since, in window coordinates, and returns
  // their bounding box in `written`. Asked only when nothing else needs painting and nothing is
  // drawn over the control (PaintManager::InvalidateRetained).
  enum RetainedResult { kRetainedCannot, kRetainedPainted, kRetainedNeedsWhole };
  virtual RetainedResult PaintRetained(Surface& frame, std::uint64_t generation, CRect& written);

  // Input entry points used by the manager and by parent controls. An invisible, disabled
  // or non-responsive control ignores every event (returns 0). Points are in the space of
  // this control's rectangle; the OnControl* handlers get them the same way, children get
  // them through OnMousePointChange (scroll bars 1 and 2 untranslated).
  int OnMouseMove(unsigned keys, CPoint pt);
  int OnLButtonDown(unsigned keys, CPoint pt);
  int OnLButtonUp(unsigned keys, CPoint pt);
  int OnLButtonDblClk(unsigned keys, CPoint pt);
  int OnRButtonDown(unsigned keys, CPoint pt);
  int OnRButtonUp(unsigned keys, CPoint pt);
  int OnRButtonDblClk(unsigned keys, CPoint pt);
  int OnScroll(int bar, unsigned direction, CPoint pt);
  int OnKeyDown(unsigned key, unsigned repeat, unsigned modifiers);
  int OnKeyUp(unsigned key, unsigned repeat, unsigned modifiers);
  void OnMouseLeave();
  // Animation tick for this control and its running, visible children; returns whether
  // anything asked to be redrawn.
  int OnTimer();
  // Draws the draw list, the control, then its child controls (only when visible).
  void Draw(Painter& painter, CRect paint);

  // Geometry and state.
  void SetRect(CRect rect);
  void SetRect(int left, int top, int right, int bottom);
  CRect GetRect() const;
  void SetVisible(int visible);
  void SetVisible(int visible, int repaint);
  void SetEnabled(int enabled);
  int IsVisible() const { return m_visible; }
  int IsEnabled() const { return m_enabled; }
  // Visible itself and every control above it.
  int IsParentVisible() const;
  int IsFocused() const { return m_focused; }
  int IsPressed() const { return m_pressed; }
  int GetUpdate() const { return m_imageValid; }

  void SetTooltip(const char* text);
  void SetTooltip(const CString& text, CRect rect);
  void ClearTooltip();
  CString GetTooltip() const;
  void SetCursorEx(const char* cursorName);
  const CString& GetCursorName() const { return m_cursor; }

  // Repaint requests go to the parent (`flag` set: redraw the cached image).
  void UpdateControl(int flag = 1, int force = 0);
  void UpdateControl(CRect rect, int flag, int force);
  void UpdateAControl(int flag, int force);
  void AddMTimer();
  void SetRunTimer(int run);
  // Ends the window's animation sleep at once (any thread).
  void WakeAnimation();
  int IsRunTimer() const { return m_timerRunning; }

  // The control's cached image: marks it valid and gives a surface of width × height,
  // recreated (transparent) when the size changed. Controls call it at the start of a redraw.
  Surface& UpdateMemDC(int width, int height);
  // The same for the animation image.
  Surface& UpdateAnimateDC(int width, int height);

  // Children. GetControl searches depth-first.
  MControl* GetControl(unsigned id);
  bool RemoveControl(MControl* control);
  void RemoveAllControl();
  ControlList& GetChildControls() { return m_childList; }
  ControlList& GetDrawControls() { return m_drawList; }
  MControl* GetHoverChild() const { return m_hoverChild; }

  unsigned GetControlID() const { return m_id; }
  PaintManager* GetManager() const { return m_manager; }
  void SetManager(PaintManager* manager) { m_manager = manager; }
  MObject* GetParantObject() const { return m_parent; }
  void SetParent(MObject* parent) { m_parent = parent; }
  void SetTabStop(int on) { m_tabStop = on; }
  int IsTabStop() const { return m_tabStop; }
  void SetDragDrop(int on) { m_dragDrop = on; }
  int IsDragDrop() const { return m_dragDrop; }
  void SetRresponse(int on) { m_response = on; }
  int GetRresponse() const { return m_response; }
  void SetDblClk(int on) { m_dblClk = on; }
  // Sends a notification to the parent: parent->OnBaseMessage(id, code, wParam, lParam).
  int SendMessageW(unsigned code, unsigned wParam, long lParam);

  // Called by the owning list before the control is deleted: the manager forgets it (hover,
  // focus, timers, animation) while the object is still whole.
  void PrepareDelete();

  // Lock held by setters and while drawing, so that other threads can change values.
  std::recursive_mutex& GetDataLock() const { return m_dataLock; }

 protected:
  // Shared press/hover handling for clickable controls: sends 1 on press, 2 on a click,
  // repaints when the look changes.
  int PressMove(PressBehaviour& press, CPoint pt);
  int PressDown(PressBehaviour& press, CPoint pt);
  int PressUp(PressBehaviour& press, CPoint pt);
  void PressLeave(PressBehaviour& press);

  MObject* m_parent;
  PaintManager* m_manager = nullptr;
  unsigned m_id;
  CRect m_rect;
  // Flags read by other threads (setters, animation ticks) without the data lock.
  std::atomic<int> m_visible;
  std::atomic<int> m_enabled;
  int m_dragDrop = 0;
  int m_response = 1;
  int m_tabStop = 0;
  int m_dblClk = 0;
  std::atomic<int> m_pressed{0};
  int m_keyDown = 0;
  std::atomic<int> m_focused{0};
  std::atomic<int> m_imageValid{0};
  int m_animate = 0;
  std::atomic<int> m_timerRunning{0};
  int m_ticked = 0;
  int m_useImageEcm = 0;
  ControlList m_drawList;
  ControlList m_childList;
  MControl* m_hoverChild = nullptr;
  CString m_tooltip;
  CString m_cursor;
  Surface m_memImage;
  Surface m_animImage;
  int m_mouseOutside = 1;
  mutable std::recursive_mutex m_dataLock;

 private:
  enum class Input { Move, LDown, LUp, LDbl, RDown, RUp, RDbl };
  int RouteMouse(Input kind, unsigned keys, CPoint pt);
  int ResponsiveNow() const;
};

}  // namespace Tavex
