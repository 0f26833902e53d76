#pragma once
// PaintManager: the control registry of one dialog window and the routing of its input.
// It keeps the area list (drawn first, never hovered), the control list, the animation list
// and the control timers; tracks hover, focus, capture and the pressed button; moves the
// window when a press hits no control; runs the animation timer on the multimedia timer
// thread; shows one tooltip window; and paints the window through the Painter.
//
// Ownership: the manager owns every control in its lists and deletes them on RemoveControl,
// ClearControls or destruction. Threads: input, painting and list changes run on the UI thread
// (the thread that created the window). Repaint requests from other threads, including the
// animation ticks, turn into invalidations that the UI thread paints.
#include <atomic>
#include <memory>
#include <mutex>
#include <vector>

#include "tavex/ControlList.h"
#include "tavex/MControl.h"
#include "tavex/RKTimer.h"

namespace Tavex {

class MWindow;
class MDialog;
class Painter;
class TooltipWnd;

class TAVEX_API PaintManager : public RKTimer {
 public:
  // Native timer identifiers the manager keeps for itself (overlay and progress animation).
  static constexpr unsigned kTimerMessage = 66;
  static constexpr unsigned kTimerFade = 88;
  static constexpr unsigned kTimerProgress = 99;
  static constexpr unsigned kTimerCaret = 6553;
  static constexpr unsigned kFirstTimerCounter = 4096;
  static constexpr unsigned kTimerRange = 240;

  PaintManager();
  ~PaintManager() override;

  // Called by MDialog::OnInitDialog with the new window.
  void Init(HWND hwnd, MWindow* owner);
  // Drops per-window data at the final destroy message (controls stay).
  void DestroyData();
  HWND GetPaintWnd() const { return m_hWnd.load(); }
  MWindow* GetOwner() const { return m_owner; }
  MDialog* GetMDialog() const;
  bool IsUIThread() const;

  // Registry. kind 0: area list, 1: control list. The factory form creates by class name.
  MControl* CreateControl(MObject* parent, const char* name, unsigned id, CRect rect,
                          const char* title, int a, int b, unsigned kind);
  // Adds an already constructed control and takes ownership; calls InitControl.
  MControl* AddControl(MControl* control, unsigned kind = 1);
  bool RemoveControl(MControl* control);
  void ClearControls();
  void ClearAreaControls();
  void ClearAllControls();
  MControl* GetControl(unsigned id) const;
  ControlList& GetControls() { return m_controls; }
  ControlList& GetAreas() { return m_areas; }
  MControl* GetHoverControl() const { return m_hover; }
  MControl* GetFocusControl() const { return m_focus; }
  void SetFocusControl(MControl* control);
  // Tab order: the next (previous) visible, enabled control with a tab stop, wrapping around.
  bool MoveFocus(bool forward);
  // Called before a control is deleted: forget every pointer to it.
  void ForgetControl(MControl* control);
  void OnControlHidden(MControl* control);

  // Window message routing; returns true when handled (result in *result).
  bool OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result);
  // Tab / Shift+Tab focus moves; relays mouse messages to the tooltip. Non-zero consumes.
  int PreTranslateMessage(MSG* msg);
  int OnControlUpdate(CRect rect, int flag, MControl* control);
  // The modifier value given to key handlers: 18 Alt, else 16 Shift, each OR 17 with Ctrl.
  static unsigned KeyModifiers(bool alt, bool shift, bool ctrl);
  static unsigned CurrentKeyModifiers();
  // What a Tab key-down does: +1 next control (no modifier), -1 previous (Shift only), 0 none.
  static int TabDirection(bool shift, bool ctrl, bool alt);
  // Wheel delta to steps and direction (0 up, 1 down).
  static int WheelSteps(int delta, unsigned* direction);

  // Window dragging by presses outside every control (on by default).
  void EnableWndDrag(int on) { m_wndDrag = on ? 1 : 0; }
  int IsWndDrag() const { return m_wndDrag; }
  int SetCapture();
  int ReleaseCapture();
  int IsCaptured() const { return m_captured; }
  int IsPressed() const { return m_pressed; }

  // Animation list and timer.
  void AddMTimer(MControl* control);
  void RemoveMTimer(MControl* control);
  unsigned SetMTimer(unsigned ms);
  void KillMTimer(unsigned id);
  unsigned GetMTimerID() const { return m_animTimer; }
  void OnMTimer(unsigned id) override;
  // One animation tick (what the timer thread runs); returns how many controls asked to redraw.
  int TickAnimation();

  // Control timers: a native window timer per (control, key).
  unsigned SetTimer(MControl* control, unsigned key, unsigned ms);
  void KillTimer(MControl* control, unsigned key);
  void KillTimer(MControl* control);
  void ClearTimers();
  // Native identifier of a running control timer, 0 when none.
  unsigned GetTimerNativeId(MControl* control, unsigned key) const;
  // Next native identifier for a control timer (kept apart from 66, 88, 99, the window's own
  // timers and the identifiers in use); exposed for tests.
  unsigned NextTimerId();

  // Tooltips.
  void ShowTooltip(MControl* control);
  void HideTooltip(MControl* control);
  void SetTooltip(const CString& text, CRect rect);
  void ClearTooltip();
  CString GetTooltipText() const;
  bool IsTooltipShown() const;
  void SetCursorName(const CString& name);

  // Appearance used by the plain full repaint.
  void SetBackColor(COLORREF background, COLORREF border);
  COLORREF GetBackColor() const { return m_bkColor; }
  COLORREF GetBorderColor() const { return m_borderColor; }
  void SetLayeredWindow(int on) { m_layered = on ? 1 : 0; }
  int IsLayered() const { return m_layered; }
  void SetCaptionRect(CRect rect) { m_caption = rect; }
  CRect GetCaptionRect() const { return m_caption; }
  void SetWindowMaxSize(int cx, int cy) { m_maxSize = {cx, cy}; }
  void SetWindowMixSize(int cx, int cy) { m_minSize = {cx, cy}; }
  void SetDefaultEnabledColor(COLORREF colour) { m_disabledText = colour; }
  COLORREF GetDefaultEnabledColor() const { return m_disabledText; }
  void SetScrollResID(unsigned vertical, unsigned horizontal) {
    m_scrollV = vertical;
    m_scrollH = horizontal;
  }
  unsigned GetScrollVID() const { return m_scrollV; }
  unsigned GetScrollHID() const { return m_scrollH; }
  CRect GetClientRect() const;
  CSize GetClientSize() const;
  void Invalidate();
  void InvalidateRect(CRect rect, int erase = 0);

  // Composes the background and every visible control intersecting `paint` (client
  // coordinates) onto `painter`. Used by the window paint and by screenshots and tests.
  void Render(Painter& painter, CRect client, CRect paint);
  // Paints the whole client area into a new surface (for screenshots).
  bool RenderToPng(const CString& path);
  // How many paints the window received (tests and diagnostics).
  int GetPaintCount() const { return m_paintCount; }

 private:
  struct ControlTimer {
    HWND hwnd;
    unsigned key;
    unsigned nativeId;
    bool stopped;
    MControl* control;
  };

  void OnPaint();
  void UpdateHover(unsigned keys, CPoint pt);
  bool Wants(MControl* c, unsigned keys, CPoint pt) const;
  LRESULT OnMouseMove(unsigned keys, CPoint pt);
  bool OnButtonDown(UINT msg, unsigned keys, CPoint pt);
  bool OnButtonUp(UINT msg, unsigned keys, CPoint pt);
  void OnWheel(int delta, unsigned keys, CPoint pt);
  void OnMouseLeave();
  bool OnKey(bool down, unsigned key);
  bool OnTimerMessage(unsigned id);

  std::atomic<HWND> m_hWnd{nullptr};
  MWindow* m_owner = nullptr;
  std::atomic<DWORD> m_uiThread{0};
  int m_initialised = 0;
  COLORREF m_bkColor = 0x050505;
  COLORREF m_borderColor = 0x575757;
  COLORREF m_disabledText = 0x808080;
  CSize m_maxSize;
  CSize m_minSize;
  CRect m_caption;
  int m_layered = 0;
  unsigned m_scrollV = 102;
  unsigned m_scrollH = 101;

  ControlList m_areas;
  ControlList m_controls;
  mutable std::recursive_mutex m_animLock;
  std::vector<MControl*> m_anim;
  mutable std::recursive_mutex m_timerLock;
  std::vector<ControlTimer> m_timers;
  unsigned m_timerCounter = kFirstTimerCounter;
  std::atomic<unsigned> m_animTimer{0};

  MControl* m_hover = nullptr;
  MControl* m_focus = nullptr;
  int m_captured = 0;
  int m_pressed = 0;
  int m_wndDrag = 1;
  int m_tracking = 0;
  int m_paintCount = 0;

  std::unique_ptr<TooltipWnd> m_tooltip;
  long long m_tooltipId = -1;
};

}  // namespace Tavex
