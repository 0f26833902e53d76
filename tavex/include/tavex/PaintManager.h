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
//
// Painting (PaintManagerPaint.cpp): each paint composes the client area in one off-screen
// ARGB surface: background image (mode 0 natural size, mode 1 nine-part frame) or the
// background and border colours, the area list, the control list, the caret, the overlay; then
// the update rectangle goes to the window (layered: the whole surface with its alpha). Paints
// are paced (kPaintPauseMs after each) by holding the next WM_PAINT back instead of sleeping,
// so input keeps flowing and invalidations coalesce. TAVEX_PAINT_TRACE=1 prints the time of
// every step to stderr.
//
// Resources (PaintManagerResources.cpp): the image cache (AddImgResInfo, names below the skin
// folder), the private fonts (AddTempFont, the font folder beside the program, built-in font
// 106) and the background image are safe on any thread. SetMessage and SetProgress called off
// the UI thread run on the UI thread.
#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "tavex/Caret.h"
#include "tavex/ControlList.h"
#include "tavex/ImageCache.h"
#include "tavex/MAirBladder.h"
#include "tavex/MControl.h"
#include "tavex/Overlay.h"
#include "tavex/RKTimer.h"
#include "tavex/TempFonts.h"

namespace Tavex {

class MWindow;
class MDialog;
class Painter;
class TooltipWnd;

enum enumBackMode : int {
  BackModeNormal = 0,  // background image at its natural size at (0, 0)
  BackModeFrame = 1,   // nine-part frame over the client area, corners unscaled
};

// Milliseconds spent in each step of one paint (TAVEX_PAINT_TRACE, benchmarks).
struct PaintTrace {
  double clear = 0;
  double background = 0;
  double areas = 0;
  double controls = 0;
  double caret = 0;
  double fixAlpha = 0;
  double overlay = 0;
  double output = 0;
  double total = 0;
};

class MShadow;
class DragDrop;
namespace Native {
struct FrameBuffer;
}  // namespace Native

class TAVEX_API PaintManager : public RKTimer {
 public:
  // Pause after each paint before the next may start (about 60 paints per second at most).
  static constexpr unsigned kPaintPauseMs = 15;
  // Posted to the window to run overlay calls made on other threads.
  static constexpr UINT kMsgRunPending = WM_APP + 0x3F1;
  static constexpr unsigned kFontResource = 106;
  // Native timer identifiers the manager keeps for itself (overlay and progress animation).
  static constexpr unsigned kTimerMessage = 66;
  static constexpr unsigned kTimerFade = 88;
  static constexpr unsigned kTimerProgress = 99;
  static constexpr unsigned kTimerCaret = 6553;
  // A window that has not painted for kFrameIdleMs gives its window-sized frame's memory back
  // (the shared image's pages, or its own surface): an idle program holds no frame, and the
  // next paint, which draws every pixel it shows anyway, fills in what it needs again.
  static constexpr unsigned kTimerFrameIdle = 6554;
  static constexpr unsigned kFrameIdleMs = 1000;
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
  // When every running control promises quiet ticks, the timer sleeps through them (at most
  // kLongestSleepTicks, so that even a sleeping timer looks in now and then); the ticks a
  // sleep spanned are counted on the animation clock.
  static constexpr int kLongestSleepTicks = 6000;
  int TickAnimation();
  // Ticks the timer was told to sleep through after the last tick; 0 once a wake ended that
  // sleep (or when none was planned).
  int GetAnimationSleep() const;
  // Ends that sleep at once; for a change that makes a control move again. Any thread.
  void WakeAnimation();
  // How many times the animation timer has woken (for tests and benchmarks).
  unsigned GetAnimationWakeCount() const { return m_animWakes; }

  // Control timers: a native window timer per (control, key). Setting one that runs changes
  // nothing (it keeps its interval and its next tick); a stopped one starts again with its old
  // identifier. To restart a running timer, kill it first.
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

  // ---- images: cache shared by every control of the window (any thread) ----
  // The entry of `name` (a path below the skin folder), loaded on first use; null when the file
  // cannot be read (nothing is cached then). The pointer stays valid while the manager lives.
  ImgResInfo* AddImgResInfo(const char* name, int states);
  // The same from a built-in resource (101 and 102 are "PNG", see BuiltinResources.cpp).
  ImgResInfo* AddImgResInfo(unsigned resourceId, const CString& type, int states, int = 0);
  void ClearImgResInfo();
  ImageCache& GetImageCache() { return m_images; }

  // ---- private fonts (any thread) ----
  const TempFontFamily* AddTempFont(const char* family, const char* file);
  const TempFontFamily* AddTempFont(const char* family, unsigned resourceId);
  const TempFontFamily* FindTempFont(const char* family) const;
  void ClearTempFont();
  // Makes a built-in font resource available to all text drawing.
  bool AddGDITempFont(unsigned resourceId);
  TempFonts& GetTempFonts() { return m_fonts; }
  // Registers the font files of `folder` that exist ("OpenSans-Regular.ttf" as "Open Sans",
  // "-Light" as "Open Sans Light", "-Semibold" as "Open Sans Semibold", "-ExtraBold" as "Open
  // Sans Extrabold"); returns how many. Init uses program folder + "font/".
  int RegisterFontFolder(const CString& folder);

  // ---- background (any thread) ----
  // Replaces the background image by skin folder + name; false (image unchanged) when unreadable.
  bool LoadBKImage(const CString& name);
  bool LoadBKImage(unsigned resourceId, const CString& type);
  void SetBKImage(const Image& image);
  Image GetBKImage() const;
  void SetBackMode(enumBackMode mode, int corner);
  // Mode 1 with separate left, top, right and bottom border widths.
  void SetBackModeMID(int left, int top, int right, int bottom);
  enumBackMode GetBackMode() const { return m_backMode; }
  int GetBackCorner() const { return m_backCorner; }
  // Border widths of the nine-part background (all equal to the corner after SetBackMode).
  CRect GetBackBorders() const;

  // ---- overlay (message and progress box) ----
  void SetMessage(const CString& text, CRect rect, MsgLevel level = MsgLevelInfo);
  void SetProgress(int percent, const CString& text, CRect rect = CRect());
  const Overlay& GetOverlay() const { return m_overlay; }

  // ---- caret of the rich edit control (UI thread) ----
  void CreateCaret(const Image& bitmap, int width, int height);
  void SetCaretPos(MControl* owner, int x, int y);
  void ShowCaret(int show);
  MControl* GetCurrentCaretObject() const { return m_caret.GetOwner(); }
  void DrawCaret(Painter& painter, const CRect& paint) const { m_caret.Draw(painter, paint); }
  const Caret& GetCaret() const { return m_caret; }

  // ---- shadow window behind the dialog (UI thread) ----
  MShadow* CreateShadow(int size, bool show);
  MShadow* GetShadow() const { return m_shadow.get(); }
  void SetSize(int size);
  void SetSharpness(int sharpness);
  void SetDarkness(int darkness);
  void SetPosition(int x, int y);
  void SetShadowColor(COLORREF colour);
  bool SetShadowImage(const CString& file, CRect nine);
  bool SetShadowImage(unsigned resourceId, const CString& type, CRect nine);
  void SetShadowShow(bool show);
  void DisableShadow();

  // ---- balloon message (any thread; the UI thread shows it) ----
  // Shows `text` in a balloon pointing at `point` (client coordinates of the window); the same
  // text, point, type and mode as the shown balloon change nothing; an empty text hides it.
  void SetAirBladderMsg(const CString& text, POINT point, AIRBLADDER_TYPE type,
                        AIRBLADDER_MODE mode = AIRBLADDER_MODE_TOP);
  void HideAirBladder();
  // The balloon, null before the first message. UI thread.
  MAirBladder* GetAirBladder() const { return m_airBladder.get(); }

  // ---- drag and drop inside the window (UI thread) ----
  void InitDragDrop();
  // The picture shown under the pointer while `control` is dragged.
  Image GetDropBitmap(MControl* control, const CRect& rect, DWORD flags = 0);
  // Whether a drag of a control is in progress, and its source.
  bool IsDragging() const;
  MControl* GetDragSource() const;

  // Appearance used by the plain full repaint.
  void SetBackColor(COLORREF background, COLORREF border);
  COLORREF GetBackColor() const { return m_bkColor; }
  COLORREF GetBorderColor() const { return m_borderColor; }
  void SetLayeredWindow(int on);
  int IsLayered() const { return m_layered; }
  void SetCaptionRect(CRect rect) { m_caption = rect; }
  CRect GetCaptionRect() const { return m_caption; }
  void SetWindowMaxSize(int cx, int cy) { m_maxSize = {cx, cy}; }
  void SetWindowMixSize(int cx, int cy) { m_minSize = {cx, cy}; }
  void SetDefaultEnabledColor(COLORREF colour) { m_disabledText = colour; }
  COLORREF GetDefaultEnabledColor() const { return m_disabledText; }
  // Resources ("PNG") the scroll bars of the window draw with; Init puts the library's own 102
  // and 101 in place unless ids were set before the window was created.
  void SetScrollResID(unsigned vertical, unsigned horizontal);
  unsigned GetScrollVID() const { return m_scrollV; }
  unsigned GetScrollHID() const { return m_scrollH; }
  CRect GetClientRect() const;
  CRect GetWindowRect() const;
  CSize GetClientSize() const;
  CSize GetWindowMaxSize() const { return m_maxSize; }
  CSize GetWindowMinSize() const { return m_minSize; }
  // Clamps a window size to the configured minimum and maximum (0 = not set).
  CSize ClampWindowSize(CSize size) const;
  void Invalidate();
  void InvalidateRect(CRect rect, int erase = 0);
  // [any thread] `control` is about to ask for a repaint of what it changed with the flag
  // kUpdateRetained (MObject::OnControlUpdate): it can write the change into the window's frame
  // itself (MControl::PaintRetained). When nothing else was invalidated by the next paint,
  // that paint asks it to and presents what it wrote, instead of composing the rectangle.
  void OfferRetained(MControl* control);
  // [UI thread, while composing] The generation of the window's kept frame being composed
  // into: it changes whenever the frame may have lost pixels painted earlier (released,
  // remade, or a paint that went elsewhere). 0 when the surface composed is not that frame.
  std::uint64_t FrameGeneration() const { return m_composingGeneration; }
  // How many paints a control's own retained drawing made (tests and diagnostics).
  int GetRetainedPaintCount() const { return m_retainedPaintCount; }

  // Composes the background and every visible control intersecting `paint` (client
  // coordinates) onto `painter`. Used by the window paint and by screenshots and tests.
  void Render(Painter& painter, CRect client, CRect paint);
  // One frame as the window paint composes it (steps 3 to 8) into `surface` (client size):
  // clear, background, areas, controls, caret, the layered alpha fix, overlay. `update` limits
  // the work in normal mode; layered frames always cover the whole client area.
  void Compose(Surface& surface, CRect update, PaintTrace* trace = nullptr);
  // Gives every pixel of `rect` with alpha 0 but a colour other than black an alpha of 255
  // (drawing that wrote colour without alpha); premultiplied pixels, so only raw writes hit it.
  static void FixLayeredAlpha(Surface& surface, CRect rect);
  // Paints the whole client area into a new surface (for screenshots).
  bool RenderToPng(const CString& path);
  // How many paints the window received (tests and diagnostics).
  int GetPaintCount() const { return m_paintCount; }
  // Step times of the last paint.
  PaintTrace GetLastPaintTrace() const { return m_lastTrace; }
  // Runs `task` on the UI thread (now when called there, else posted to the window).
  void RunOnUIThread(std::function<void()> task);

 private:
  struct ControlTimer {
    HWND hwnd;
    unsigned key;
    unsigned nativeId;
    bool stopped;
    MControl* control;
  };

  // Overlay timers are the window's native timers 66, 88 and 99.
  class OverlayTimers : public OverlayHost {
   public:
    explicit OverlayTimers(PaintManager& pm) : m_pm(pm) {}
    void StartOverlayTimer(unsigned id, unsigned ms) override;
    void StopOverlayTimer(unsigned id) override;
    void RepaintOverlay(CRect rect) override;
    CRect OverlayClientRect() const override;

   private:
    PaintManager& m_pm;
  };

  void OnPaint();
  void DrawBackground(Painter& painter, CRect client);
  // [UI thread] The window background at client size, drawn again only when the size, the
  // colours, the back image or its mode change; paints copy their rectangle from it.
  const Surface& BackgroundLayer(CRect client);
  // [UI thread] The background without a picture (border and back colour) into `parts` of
  // `surface`.
  void FillBackgroundColours(Surface& surface, CRect client, const CRect* parts, int count);
  // [UI thread] The largest part of `paint` that a visible control promised to cover with
  // opaque pixels of its own (MControl::OpaqueArea): the background is left out there.
  CRect OpaqueCover(CRect paint);
  void RunPending();
  void UpdateHover(unsigned keys, CPoint pt);
  bool Wants(MControl* c, unsigned keys, CPoint pt) const;
  LRESULT OnMouseMove(unsigned keys, CPoint pt);
  bool OnButtonDown(UINT msg, unsigned keys, CPoint pt);
  // Ends a press whose release this window will not see (it was disabled meanwhile).
  void EndPress();
  bool OnButtonUp(UINT msg, unsigned keys, CPoint pt);
  void OnWheel(int delta, unsigned keys, CPoint pt);
  void OnMouseLeave();
  bool OnKey(bool down, unsigned key);
  bool OnTimerMessage(unsigned id);
  void ReleaseFrame();
  // The frame `shared` is the one the previous paint drew into; otherwise starts a new
  // generation of it.
  void KeepFrame(const std::uint8_t* pixels, int width, int height);
  // [UI thread] Lets the control that asked (InvalidateRetained) write its change into the kept
  // frame; true when done and presented. May widen `update` to the whole control when the
  // control needs one full drawing first.
  bool PaintRetained(const Native::FrameBuffer& shared, CRect& update);
  // Whether nothing drawn after `control` (its children, later siblings up its chain, later
  // top-level controls, the caret, the overlay) reaches `area` (window coordinates), and its
  // chain draws it plainly, unscrolled.
  bool NothingDrawnOver(MControl* control, CRect area);

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
  std::atomic<int> m_layered{0};
  std::atomic<unsigned> m_scrollV{102};
  std::atomic<unsigned> m_scrollH{101};
  std::atomic<bool> m_scrollSet{false};

  ControlList m_areas;
  ControlList m_controls;
  // Marks `control` as the one the tick calls now, unless it left the animation list since
  // the tick copied the list (`removals` then); EndTick clears the mark.
  bool BeginTick(MControl* control, unsigned removals);
  void EndTick();

  // Held through a whole animation tick: one tick at a time, and the tick's own state. Taken
  // only by the tick and SetMTimer, with no other lock held.
  mutable std::recursive_mutex m_animLock;
  // Guards the animation list and the tick's mark; never held while calling a control.
  mutable std::mutex m_animListLock;
  std::condition_variable m_tickDone;  // the mark was cleared
  std::vector<MControl*> m_anim;
  unsigned m_animRemovals = 0;       // controls removed from m_anim so far
  MControl* m_ticking = nullptr;     // the control the tick calls now
  std::thread::id m_tickThread;      // the thread of that tick
  std::vector<MControl*> m_tickControls;  // the tick's copy of m_anim (under m_animLock)
  mutable std::recursive_mutex m_timerLock;
  std::vector<ControlTimer> m_timers;
  unsigned m_timerCounter = kFirstTimerCounter;
  std::atomic<unsigned> m_animTimer{0};
  std::atomic<unsigned> m_animPeriodMs{10};
  std::atomic<unsigned> m_animWakes{0};
  std::atomic<unsigned> m_wakeGeneration{0};  // counts WakeAnimation calls
  int m_quietPlanned = 0;         // ticks the timer was told to sleep through (under m_animLock)
  unsigned m_planGeneration = 0;  // m_wakeGeneration when that sleep was planned (same)
  std::int64_t m_lastTickNs = 0;  // animation clock of the last tick (under m_animLock)

  MControl* m_hover = nullptr;
  MControl* m_focus = nullptr;
  int m_captured = 0;
  int m_pressed = 0;
  int m_wndDrag = 1;
  int m_tracking = 0;
  int m_paintCount = 0;

  std::unique_ptr<TooltipWnd> m_tooltip;
  long long m_tooltipId = -1;
  // The control whose tooltip a press hid: it stays hidden until the pointer reaches another
  // control or leaves the window, so a click's follow-up moves do not bring it back.
  long long m_tooltipMutedId = -1;

  ImageCache m_images;
  TempFonts m_fonts;
  mutable std::mutex m_bkLock;
  Image m_bkImage;
  std::atomic<enumBackMode> m_backMode{BackModeNormal};
  std::atomic<int> m_backCorner{4};
  CRect m_backBorders{4, 4, 4, 4};  // under m_bkLock
  OverlayTimers m_overlayTimers{*this};
  Overlay m_overlay{m_overlayTimers};
  Caret m_caret;
  std::unique_ptr<MShadow> m_shadow;
  std::unique_ptr<MAirBladder> m_airBladder;
  std::unique_ptr<DragDrop> m_drag;
  Surface m_frame;  // own frame when the shared one is not available (layered, remote display)
  Surface m_backLayer;
  Image m_backLayerImage;  // keeps the image the layer was drawn from alive (and its address)
  std::size_t m_backLayerSignature = 0;
  // [UI thread] The two background pixels as drawn for these colours, worked out once per
  // colour change instead of with two throwaway surfaces every paint.
  struct BackPixels {
    COLORREF border = 0;
    COLORREF inside = 0;
    std::uint32_t borderPixel = 0;
    std::uint32_t insidePixel = 0;
    bool valid = false;
  } m_backPixels;
  PaintTrace m_lastTrace;
  std::atomic<MControl*> m_retainedControl{nullptr};
  std::atomic<bool> m_retainedConflict{false};  // two controls asked since the last paint
  // The kept frame (UI thread): the shared pixels the last paint drew into, and its generation.
  const std::uint8_t* m_keptPixels = nullptr;
  int m_keptWidth = 0;
  int m_keptHeight = 0;
  std::uint64_t m_frameGeneration = 1;
  std::uint64_t m_composingGeneration = 0;
  int m_retainedPaintCount = 0;
  std::mutex m_pendingLock;
  std::vector<std::function<void()>> m_pending;
};

}  // namespace Tavex
