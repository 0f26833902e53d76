#include "tavex/PaintManager.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "ControlMap.h"
#include "DragDrop.h"
#include "TooltipWnd.h"
#include "tavex/AnimationClock.h"
#include "tavex/ControlFactory.h"
#include "tavex/MShadow.h"
#include "tavex/Manager.h"
#include "tavex/MDialog.h"
#include "tavex/Native.h"
#include "tavex/NativeTimer.h"
#include "tavex/Painter.h"

namespace Tavex {

PaintManager::PaintManager() = default;

PaintManager::~PaintManager() {
  // Stop the animation ticks before anything they touch goes away.
  RKTimer::KillTimer();
  ClearTimers();
  m_hover = nullptr;
  m_focus = nullptr;
  m_controls.Clear();
  m_areas.Clear();
  m_tooltip.reset();
  m_drag.reset();
  m_shadow.reset();
  m_airBladder.reset();
}

void PaintManager::Init(HWND hwnd, MWindow* owner) {
  m_hWnd = hwnd;
  m_owner = owner;
  m_uiThread = Native::GetCurrentThreadId();
  if (!m_scrollSet) {
    m_scrollV = 102;
    m_scrollH = 101;
  }
  InitDragDrop();
  RegisterFontFolder(Manager::GetProgramFolder() + "font/");
  m_initialised = 1;
  // GDI text of native edit boxes: here all text goes through one renderer, which gets the
  // library's own font; a missing resource leaves the default font.
  AddGDITempFont(kFontResource);
  if (m_layered) SetLayeredWindow(1);
}

void PaintManager::DestroyData() {
  if (ControlMap::Enabled()) ControlMap::Forget(m_hWnd);
  // The animation ticks reach the controls and the dialog from the timer thread: they end with
  // the window, before whoever owns the dialog starts taking it apart (a modal box on the
  // stack goes right after its window).
  if (const unsigned anim = m_animTimer) KillMTimer(anim);
  ClearTimers();
  if (m_drag) m_drag->Cancel();
  if (m_shadow) m_shadow->DestroyWindow();
  if (m_airBladder) m_airBladder->DestroyWindow();
  m_caret.Show(false);
  if (m_tooltip) m_tooltip->DestroyWindow();
  m_tooltipId = -1;
  m_tooltipMutedId = -1;
  m_captured = 0;
  m_pressed = 0;
  m_tracking = 0;
  m_hover = nullptr;
  m_hWnd = nullptr;
  m_initialised = 0;
}

MDialog* PaintManager::GetMDialog() const { return dynamic_cast<MDialog*>(m_owner); }

bool PaintManager::IsUIThread() const {
  return m_uiThread == 0 || m_uiThread == Native::GetCurrentThreadId();
}

MControl* PaintManager::CreateControl(MObject* parent, const char* name, unsigned id, CRect rect,
                                      const char* title, int a, int b, unsigned kind) {
  MControl* control = ControlFactory::Create(ControlFactory::Table::Dialog, name, parent, id,
                                             rect, title, a, b);
  return AddControl(control, kind);
}

MControl* PaintManager::AddControl(MControl* control, unsigned kind) {
  if (control == nullptr) return nullptr;
  control->SetManager(this);
  control->InitControl(this);
  (kind == 0 ? m_areas : m_controls).Add(control);
  return control;
}

bool PaintManager::RemoveControl(MControl* control) {
  if (control == nullptr) return false;
  if (control == m_focus) SetFocusControl(nullptr);
  return m_controls.Remove(control) || m_areas.Remove(control);
}

void PaintManager::ClearControls() {
  SetFocusControl(nullptr);
  m_controls.Clear();
}

void PaintManager::ClearAreaControls() { m_areas.Clear(); }

void PaintManager::ClearAllControls() {
  ClearAreaControls();
  ClearControls();
}

MControl* PaintManager::GetControl(unsigned id) const {
  MControl* found = nullptr;
  const auto search = [&](MControl* c) {
    found = c->GetControlID() == id ? c : c->GetControl(id);
    return found != nullptr;
  };
  if (m_controls.FindIf(search) != nullptr) return found;
  if (m_areas.FindIf(search) != nullptr) return found;
  return nullptr;
}

void PaintManager::SetFocusControl(MControl* control) {
  if (control == m_focus) return;
  MControl* old = m_focus;
  m_focus = control;
  if (old != nullptr) old->SetControlFocus(0);
  if (control != nullptr) control->SetControlFocus(1);
}

bool PaintManager::MoveFocus(bool forward) {
  std::vector<MControl*> order;
  m_controls.ForEach([&](MControl* c) {
    if (c->IsTabStop() && c->IsEnabled() && c->IsParentVisible()) order.push_back(c);
  });
  if (order.empty()) return false;
  const auto it = std::find(order.begin(), order.end(), m_focus);
  MControl* next = nullptr;
  if (it == order.end()) {
    next = forward ? order.front() : order.back();
  } else {
    const std::size_t i = static_cast<std::size_t>(it - order.begin());
    const std::size_t n = order.size();
    next = order[forward ? (i + 1) % n : (i + n - 1) % n];
  }
  if (next == m_focus) return false;
  SetFocusControl(next);
  return true;
}

void PaintManager::ForgetControl(MControl* control) {
  MControl* asked = control;
  m_retainedControl.compare_exchange_strong(asked, nullptr);
  m_caret.Release(control);
  if (m_drag) m_drag->Forget(control);
  if (control == m_hover) m_hover = nullptr;
  if (control == m_focus) m_focus = nullptr;
  RemoveMTimer(control);
  KillTimer(control);
}

void PaintManager::OnControlHidden(MControl* control) {
  if (control == m_hover) m_hover = nullptr;
  if (control == m_focus) SetFocusControl(nullptr);
}

unsigned PaintManager::KeyModifiers(bool alt, bool shift, bool ctrl) {
  unsigned mods = alt ? 18u : (shift ? 16u : 0u);
  if (ctrl) mods |= 17u;
  return mods;
}

unsigned PaintManager::CurrentKeyModifiers() {
  const auto down = [](int vk) { return (Native::GetKeyState(vk) & 0x8000) != 0; };
  return KeyModifiers(down(VK_MENU), down(VK_SHIFT), down(VK_CONTROL));
}

int PaintManager::TabDirection(bool shift, bool ctrl, bool alt) {
  if (ctrl || alt) return 0;
  return shift ? -1 : 1;
}

int PaintManager::WheelSteps(int delta, unsigned* direction) {
  const int q = delta / WHEEL_DELTA;
  if (direction != nullptr) *direction = q <= 0 ? 1u : 0u;
  return std::abs(q);
}

int PaintManager::SetCapture() {
  if (m_hWnd == nullptr || !Native::IsWindow(m_hWnd)) return 0;
  Native::SetCapture(m_hWnd);
  m_captured = 1;
  return 1;
}

int PaintManager::ReleaseCapture() {
  if (!m_captured) return 0;
  m_captured = 0;
  if (Native::GetCapture() == m_hWnd) Native::ReleaseCapture();
  return 1;
}

bool PaintManager::Wants(MControl* c, unsigned keys, CPoint pt) const {
  return c != nullptr && c->IsVisible() && c->GetRresponse() && c->PtInRect(pt) &&
         c->OnCheckMouseResponse(keys, pt);
}

void PaintManager::UpdateHover(unsigned keys, CPoint pt) {
  MControl* hover = nullptr;
  m_controls.ForEach([&](MControl* c) {
    c->OnMouseMove(keys, pt);
    if (c->IsVisible() && c->GetRresponse() && c->PtInRect(pt)) hover = c;
  });
  m_hover = hover;
}

LRESULT PaintManager::OnMouseMove(unsigned keys, CPoint pt) {
  if (!m_tracking && m_hWnd != nullptr) {
    TRACKMOUSEEVENT tme{sizeof(TRACKMOUSEEVENT), TME_LEAVE | TME_HOVER, m_hWnd, 400};
    Native::TrackMouseEvent(&tme);
    m_tracking = 1;
  }
  // While the button is held the pressed control keeps the pointer (thumb and slider drags
  // continue outside the control).
  if (m_pressed && m_hover != nullptr) {
    m_hover->OnMouseMove(keys, pt);
    return 0;
  }
  if (Wants(m_hover, keys, pt)) {
    m_hover->OnMouseMove(keys, pt);
    return 0;
  }
  HideTooltip(nullptr);
  if (m_pressed) return 0;
  UpdateHover(keys, pt);
  return 0;
}

bool PaintManager::OnButtonDown(UINT msg, unsigned keys, CPoint pt) {
  if (m_hover == nullptr || !m_hover->PtInRect(pt)) UpdateHover(keys, pt);
  // A press answers the tooltip's question; it must not cover what the click opens.
  if (m_hover != nullptr) m_tooltipMutedId = static_cast<long long>(m_hover->GetControlID());
  HideTooltip(nullptr);
  const bool left = msg == WM_LBUTTONDOWN || msg == WM_LBUTTONDBLCLK;
  if (left && m_focus != nullptr && m_focus != m_hover) SetFocusControl(nullptr);
  if (Wants(m_hover, keys, pt)) {
    if (!m_hover->IsEnabled()) return true;
    MControl* target = m_hover;
    if (left) {
      m_pressed = 1;
      SetFocusControl(target);
      if (msg == WM_LBUTTONDOWN && m_drag && target->IsDragDrop()) m_drag->Arm(target, pt);
    }
    switch (msg) {
      case WM_LBUTTONDOWN: target->OnLButtonDown(keys, pt); break;
      case WM_LBUTTONDBLCLK: target->OnLButtonDblClk(keys, pt); break;
      case WM_RBUTTONDOWN: target->OnRButtonDown(keys, pt); break;
      case WM_RBUTTONDBLCLK: target->OnRButtonDblClk(keys, pt); break;
      default: break;
    }
    // A press that disabled its window (a wait box, a message box) has ended: its release goes
    // by unseen, and capturing now would hold the pointer, and every later click anywhere.
    if (left && m_pressed && !m_captured) SetCapture();
    return true;
  }
  if (msg == WM_LBUTTONDOWN && m_wndDrag) {
    ReleaseCapture();
    POINT screen{pt.x, pt.y};
    Native::ClientToScreen(m_hWnd, &screen);
    Native::SendMessage(m_hWnd, WM_NCLBUTTONDOWN, static_cast<WPARAM>(HTCAPTION),
                        MAKELPARAM(screen.x, screen.y));
    return true;
  }
  return false;
}

void PaintManager::EndPress() {
  ReleaseCapture();
  m_pressed = 0;
  if (m_drag) m_drag->Disarm();
}

bool PaintManager::OnButtonUp(UINT msg, unsigned keys, CPoint pt) {
  if (msg == WM_LBUTTONUP && m_drag && m_drag->IsDragging()) {
    // The press became a drag: the release drops, the source sees no click.
    ReleaseCapture();
    m_pressed = 0;
    m_drag->Drop(pt);
    if (m_hover != nullptr && !m_hover->PtInRect(pt)) m_hover = nullptr;
    return true;
  }
  if (m_drag) m_drag->Disarm();
  if (msg == WM_LBUTTONUP) {
    ReleaseCapture();
    m_pressed = 0;
  }
  MControl* target = m_hover;
  if (target != nullptr && target->IsVisible() && target->GetRresponse()) {
    if (msg == WM_LBUTTONUP) {
      target->OnLButtonUp(keys, pt);
    } else {
      target->OnRButtonUp(keys, pt);
    }
    if (m_hover == target && !target->PtInRect(pt)) m_hover = nullptr;
  }
  return true;
}

void PaintManager::OnWheel(int delta, unsigned keys, CPoint pt) {
  (void)keys;
  unsigned direction = 0;
  const int steps = WheelSteps(delta, &direction);
  for (int i = 0; i < steps; ++i) {
    MControl* hover = m_hover;
    if (hover != nullptr && hover->OnScroll(1, direction, pt)) continue;
    m_controls.Dispatch(
        [&](MControl* c) { return c != hover && c->OnScroll(1, direction, pt) != 0; });
  }
}

void PaintManager::OnMouseLeave() {
  HideTooltip(nullptr);
  m_tooltipMutedId = -1;
  m_tracking = 0;
  if (m_pressed || m_hover == nullptr) return;
  MControl* hover = m_hover;
  m_hover = nullptr;
  hover->OnMouseMove(0, CPoint(-1, -1));
  hover->OnMouseLeave();
}

bool PaintManager::OnKey(bool down, unsigned key) {
  const unsigned mods = CurrentKeyModifiers();
  const auto send = [&](MControl* c) {
    return down ? c->OnKeyDown(key, 1, mods) : c->OnKeyUp(key, 1, mods);
  };
  MControl* hover = m_hover;
  if (hover != nullptr && send(hover)) return true;
  return m_controls.Dispatch([&](MControl* c) { return c != hover && send(c) != 0; }) != nullptr;
}

int PaintManager::PreTranslateMessage(MSG* msg) {
  if (msg == nullptr || msg->hwnd != m_hWnd || m_hWnd == nullptr) return 0;
  if (msg->message == WM_KEYDOWN && msg->wParam == VK_TAB) {
    const auto down = [](int vk) { return (Native::GetKeyState(vk) & 0x8000) != 0; };
    const int direction = TabDirection(down(VK_SHIFT), down(VK_CONTROL), down(VK_MENU));
    if (direction == 0) return 0;
    return MoveFocus(direction > 0) ? 1 : 0;
  }
  return 0;
}

bool PaintManager::OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  *result = 0;
  // The balloon is a window of its own: it must not stay on the screen without its dialog.
  if (m_airBladder && ((msg == WM_SIZE && wParam == SIZE_MINIMIZED) ||
                       (msg == WM_SHOWWINDOW && wParam == 0))) {
    m_airBladder->Hide();
  }
  const unsigned w32 = static_cast<unsigned>(wParam);
  const long l32 = static_cast<long>(lParam);
  if (m_controls.Dispatch([&](MControl* c) { return c->OnWindowMessage(msg, w32, l32) != 0; })) {
    return true;
  }
  const CPoint pt(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
  const unsigned keys = static_cast<unsigned>(wParam & 0xFFFF);
  if (m_drag && m_drag->OnWindowMessage(msg, wParam, lParam)) return true;
  switch (msg) {
    case WM_PAINT:
      OnPaint();
      return true;
    case kMsgRunPending:
      RunPending();
      return true;
    case WM_WINDOWPOSCHANGING: {
      auto* pos = reinterpret_cast<WINDOWPOS*>(lParam);
      if (pos != nullptr && !(pos->flags & SWP_NOSIZE)) {
        const CSize size = ClampWindowSize(CSize(pos->cx, pos->cy));
        pos->cx = size.cx;
        pos->cy = size.cy;
      }
      return false;
    }
    case WM_WINDOWPOSCHANGED:
      // A move changes every control's screen position without a repaint.
      if (ControlMap::Enabled()) ControlMap::Update(*this);
      [[fallthrough]];
    case WM_SHOWWINDOW:
      if (m_shadow) m_shadow->Follow(m_hWnd);
      return false;
    case WM_GETMINMAXINFO: {
      auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
      if (info != nullptr) {
        if (m_maxSize.cx > 0) info->ptMaxSize.x = m_maxSize.cx;
        if (m_maxSize.cy > 0) info->ptMaxSize.y = m_maxSize.cy;
        if (m_minSize.cx > 0) info->ptMinTrackSize.x = m_minSize.cx;
        if (m_minSize.cy > 0) info->ptMinTrackSize.y = m_minSize.cy;
      }
      return true;
    }
    case WM_CREATE:
    case WM_DESTROY:
    case WM_SIZE:
    case WM_CHAR:
    case WM_MOUSEHOVER:
      *result = 1;
      return true;
    case WM_MOUSEMOVE:
      OnMouseMove(keys, pt);
      return true;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
      return OnButtonDown(msg, keys, pt);
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
      return OnButtonUp(msg, keys, pt);
    case WM_MOUSEWHEEL: {
      POINT client{pt.x, pt.y};
      if (m_hWnd != nullptr) Native::ScreenToClient(m_hWnd, &client);
      OnWheel(GET_WHEEL_DELTA_WPARAM(wParam), GET_KEYSTATE_WPARAM(wParam),
              CPoint(client.x, client.y));
      return true;
    }
    case WM_MOUSELEAVE:
      OnMouseLeave();
      return true;
    case WM_CAPTURECHANGED:
      if (reinterpret_cast<HWND>(lParam) != m_hWnd) m_captured = 0;
      return false;
    case WM_ENABLE:
      if (wParam == 0) EndPress();
      return false;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      return OnKey(true, w32);
    case WM_KEYUP:
    case WM_SYSKEYUP:
      return OnKey(false, w32);
    case WM_TIMER:
      return OnTimerMessage(w32);
    default:
      return false;
  }
}

int PaintManager::OnControlUpdate(CRect rect, int flag, MControl* control) {
  if (m_hWnd == nullptr) return 0;
  const bool retained = flag == MObject::kUpdateRetained && !m_layered;
  if (!IsUIThread()) {
    // Another thread (worker, animation tick): the UI thread paints.
    const RECT r = rect;
    if (retained) {
      Native::InvalidateOwnRect(m_hWnd, r);
    } else {
      Native::InvalidateRect(m_hWnd, m_layered ? nullptr : &r, false);
    }
    return 1;
  }
  if (MObject::ImageStale(flag) && control != nullptr) control->SetUpdate(0, 0);
  CRect region = rect;
  bool after = control == nullptr;
  const auto mark = [&](MControl* c) {
    if (c == control) {
      after = true;
      return;
    }
    if (after && c->IsVisible() && c->GetRect().Intersects(rect)) {
      c->SetUpdate(0, 0);
      region.UnionRect(region, c->GetRect());
    }
  };
  // The window's lists are tried, not waited for: the caller may hold the list of a control
  // inside them (a key handled in a panel repaints the panel's edit), and lists are taken
  // outer first. When another thread holds one, the whole window is repainted instead.
  const auto tryMark = [&](ControlList& list) {
    const std::unique_lock lock(list.Lock(), std::try_to_lock);
    if (!lock.owns_lock()) return false;
    list.ForEach(mark);
    return true;
  };
  if (!tryMark(m_areas) || !tryMark(m_controls)) {
    Native::InvalidateRect(m_hWnd, nullptr, false);
    return 1;
  }
  if (m_layered) {
    Native::InvalidateRect(m_hWnd, nullptr, false);
  } else if (retained && region == rect) {
    // Nothing drawn after the control needs drawing again: it may write the change itself.
    Native::InvalidateOwnRect(m_hWnd, RECT(rect));
  } else {
    const RECT r = region;
    Native::InvalidateRect(m_hWnd, &r, false);
  }
  return 1;
}

void PaintManager::AddMTimer(MControl* control) {
  if (control == nullptr) return;
  {
    std::lock_guard guard(m_animListLock);
    if (std::find(m_anim.begin(), m_anim.end(), control) == m_anim.end()) m_anim.push_back(control);
  }
  WakeAnimation();
}

void PaintManager::RemoveMTimer(MControl* control) {
  std::unique_lock list(m_animListLock);
  const auto it = std::find(m_anim.begin(), m_anim.end(), control);
  if (it == m_anim.end()) return;
  m_anim.erase(it);
  ++m_animRemovals;
  // The tick may be calling it right now (from the tick's copy of the list). It holds no list
  // while it does, so it finishes without this thread; a control that goes from inside its own
  // tick is not waited for.
  if (m_tickThread != std::this_thread::get_id()) {
    m_tickDone.wait(list, [&] { return m_ticking != control; });
  }
}

bool PaintManager::BeginTick(MControl* control, unsigned removals) {
  std::lock_guard list(m_animListLock);
  // Removed since the tick copied the list: it may be gone already.
  if (m_animRemovals != removals &&
      std::find(m_anim.begin(), m_anim.end(), control) == m_anim.end()) {
    return false;
  }
  m_ticking = control;
  m_tickThread = std::this_thread::get_id();
  return true;
}

void PaintManager::EndTick() {
  {
    std::lock_guard list(m_animListLock);
    m_ticking = nullptr;
    m_tickThread = std::thread::id();
  }
  m_tickDone.notify_all();
}

unsigned PaintManager::SetMTimer(unsigned ms) {
  const unsigned old = m_animTimer.exchange(0);
  if (old != 0) RKTimer::KillTimer(old);
  {
    std::lock_guard guard(m_animLock);
    m_quietPlanned = 0;
    m_lastTickNs = 0;
  }
  m_animPeriodMs = std::max(ms, 1u);
  const unsigned id = RKTimer::SetTimer(ms, "", 0);
  m_animTimer = id;
  return id;
}

void PaintManager::KillMTimer(unsigned id) {
  unsigned expected = id;
  m_animTimer.compare_exchange_strong(expected, 0);
  RKTimer::KillTimer(id);
}

void PaintManager::OnMTimer(unsigned id) {
  if (id != 0 && id == m_animTimer) {
    ++m_animWakes;
    TickAnimation();
  }
}

void PaintManager::WakeAnimation() {
  ++m_wakeGeneration;
  const unsigned id = m_animTimer;
  if (id != 0) Native::timeResumeTicks(id);
}

int PaintManager::TickAnimation() {
  int redraws = 0;
  // Read before the controls: a wake that comes while they are asked is not lost below.
  const unsigned generation = m_wakeGeneration;
  std::lock_guard guard(m_animLock);
  const std::int64_t now = AnimationClock::NowNs();
  // The ticks slept through, by the clock: fewer than planned when a wake ended the sleep.
  int passed = 0;
  if (m_quietPlanned > 0 && m_lastTickNs != 0) {
    const std::int64_t period = static_cast<std::int64_t>(m_animPeriodMs.load()) * 1000000;
    const std::int64_t ticks = (now - m_lastTickNs + period / 2) / period - 1;
    passed = static_cast<int>(std::clamp<std::int64_t>(ticks, 0, m_quietPlanned));
  }
  m_quietPlanned = 0;
  m_lastTickNs = now;
  int quiet = MControl::kQuietForever;
  unsigned removals = 0;
  {
    // Copied into a kept vector: no allocation per tick.
    std::lock_guard list(m_animListLock);
    m_tickControls.assign(m_anim.begin(), m_anim.end());
    removals = m_animRemovals;
  }
  // No list lock is held while a control ticks (it takes its own child lists inside); the
  // control is marked instead, and its deletion waits for the mark to go.
  for (MControl* c : m_tickControls) {
    if (!BeginTick(c, removals)) continue;
    if (c->IsRunTimer() && c->IsVisible() && c->IsParentVisible()) {
      if (passed > 0) c->PassQuietTicks(passed);
      if (c->OnTimer()) {
        ++redraws;
        c->UpdateControl(1, 0);
      }
      quiet = std::min(quiet, c->QuietTicks());
    }
    EndTick();
  }
  quiet = std::min(quiet, kLongestSleepTicks);
  if (quiet <= 0) return redraws;
  // Planned also without a timer, for whoever drives the ticks (tests, benchmarks).
  m_quietPlanned = quiet;
  m_planGeneration = generation;
  const unsigned id = m_animTimer;
  if (id == 0) return redraws;
  if (Native::timeSkipTicks(id, static_cast<UINT>(quiet)) != TIMERR_NOERROR) {
    m_quietPlanned = 0;
  } else if (m_wakeGeneration != generation) {
    Native::timeResumeTicks(id);
  }
  return redraws;
}

int PaintManager::GetAnimationSleep() const {
  std::lock_guard guard(m_animLock);
  return m_wakeGeneration != m_planGeneration ? 0 : m_quietPlanned;
}

unsigned PaintManager::NextTimerId() {
  std::lock_guard guard(m_timerLock);
  for (unsigned tries = 0; tries < kTimerRange; ++tries) {
    m_timerCounter = (m_timerCounter + 1) % kTimerRange;
    const unsigned id = m_timerCounter;
    if (id == 0 || id == kTimerMessage || id == kTimerFade || id == kTimerProgress) continue;
    if (m_owner != nullptr && m_owner->HasUserTimer(id)) continue;
    const bool used = std::any_of(m_timers.begin(), m_timers.end(),
                                  [id](const ControlTimer& t) { return t.nativeId == id; });
    if (!used) return id;
  }
  return 0;
}

unsigned PaintManager::SetTimer(MControl* control, unsigned key, unsigned ms) {
  if (control == nullptr || m_hWnd == nullptr || !Native::IsWindow(m_hWnd)) return 0;
  std::lock_guard guard(m_timerLock);
  for (ControlTimer& t : m_timers) {
    if (t.hwnd == m_hWnd && t.key == key && t.control == control) {
      // A running timer keeps its pace: re-armed more often than its period, it still fires.
      if (!t.stopped) return t.nativeId;
      if (Native::SetTimer(m_hWnd, t.nativeId, ms, nullptr) == 0) return 0;
      t.stopped = false;
      return t.nativeId;
    }
  }
  const unsigned id = NextTimerId();
  if (id == 0 || Native::SetTimer(m_hWnd, id, ms, nullptr) == 0) return 0;
  m_timers.push_back({m_hWnd, key, id, false, control});
  return id;
}

void PaintManager::KillTimer(MControl* control, unsigned key) {
  std::lock_guard guard(m_timerLock);
  for (ControlTimer& t : m_timers) {
    if (t.control == control && t.key == key && !t.stopped) {
      if (Native::IsWindow(t.hwnd)) Native::KillTimer(t.hwnd, t.nativeId);
      t.stopped = true;
    }
  }
}

void PaintManager::KillTimer(MControl* control) {
  std::lock_guard guard(m_timerLock);
  for (const ControlTimer& t : m_timers) {
    if (t.control == control && !t.stopped && Native::IsWindow(t.hwnd)) {
      Native::KillTimer(t.hwnd, t.nativeId);
    }
  }
  m_timers.erase(std::remove_if(m_timers.begin(), m_timers.end(),
                                [control](const ControlTimer& t) { return t.control == control; }),
                 m_timers.end());
}

void PaintManager::ClearTimers() {
  std::lock_guard guard(m_timerLock);
  for (const ControlTimer& t : m_timers) {
    if (!t.stopped && Native::IsWindow(t.hwnd)) Native::KillTimer(t.hwnd, t.nativeId);
  }
  m_timers.clear();
}

unsigned PaintManager::GetTimerNativeId(MControl* control, unsigned key) const {
  std::lock_guard guard(m_timerLock);
  for (const ControlTimer& t : m_timers) {
    if (t.control == control && t.key == key && !t.stopped) return t.nativeId;
  }
  return 0;
}

bool PaintManager::OnTimerMessage(unsigned id) {
  if (id == kTimerFrameIdle) {
    ReleaseFrame();
    return true;
  }
  if (id == kTimerCaret) {
    // The phase follows the clock; the tick only shows it.
    InvalidateRect(m_caret.GetRect(), 0);
    return true;
  }
  if (m_overlay.OnTimer(id)) return true;
  MControl* control = nullptr;
  unsigned key = 0;
  {
    std::lock_guard guard(m_timerLock);
    for (const ControlTimer& t : m_timers) {
      if (t.nativeId == id && !t.stopped) {
        control = t.control;
        key = t.key;
        break;
      }
    }
  }
  if (control == nullptr) return false;
  if (control->OnControlTimerKey(key)) control->UpdateControl(1, 0);
  return true;
}

void PaintManager::ShowTooltip(MControl* control) {
  if (control == nullptr || !IsUIThread() || m_hWnd == nullptr) return;
  const long long id = control->GetControlID();
  if (id == m_tooltipId) return;
  if (id == m_tooltipMutedId) return;
  m_tooltipMutedId = -1;
  m_tooltipId = id;
  const CString text = control->GetTooltip();
  if (!m_tooltip) m_tooltip = std::make_unique<TooltipWnd>();
  POINT at{};
  Native::GetCursorPos(&at);
  m_tooltip->ShowText(text, CPoint(at.x + 2, at.y + 20));
}

void PaintManager::HideTooltip(MControl* control) {
  if (control != nullptr && static_cast<long long>(control->GetControlID()) != m_tooltipId) return;
  m_tooltipId = -1;
  if (m_tooltip && IsUIThread()) m_tooltip->Hide();
}

void PaintManager::SetTooltip(const CString& text, CRect rect) {
  if (!IsUIThread() || m_hWnd == nullptr) return;
  if (!m_tooltip) m_tooltip = std::make_unique<TooltipWnd>();
  POINT at{rect.left, rect.bottom};
  Native::ClientToScreen(m_hWnd, &at);
  m_tooltipId = -1;
  m_tooltip->ShowText(text, CPoint(at.x, at.y));
}

void PaintManager::ClearTooltip() { HideTooltip(nullptr); }

CString PaintManager::GetTooltipText() const { return m_tooltip ? m_tooltip->GetText() : CString(); }

bool PaintManager::IsTooltipShown() const { return m_tooltip && m_tooltip->IsShown(); }

void PaintManager::SetCursorName(const CString& name) {
  if (!IsUIThread()) return;
  UINT idc = IDC_ARROW;
  if (name == "hand" || name == "IDC_HAND") idc = IDC_HAND;
  if (name == "ibeam" || name == "IDC_IBEAM") idc = IDC_IBEAM;
  if (name == "wait" || name == "IDC_WAIT") idc = IDC_WAIT;
  if (name == "sizeall" || name == "IDC_SIZEALL") idc = IDC_SIZEALL;
  Native::SetCursor(Native::LoadCursor(nullptr, idc));
}

CRect PaintManager::GetClientRect() const {
  RECT r{};
  if (m_hWnd != nullptr) Native::GetClientRect(m_hWnd, &r);
  return r;
}

CSize PaintManager::GetClientSize() const { return GetClientRect().Size(); }

void PaintManager::Invalidate() {
  if (m_hWnd != nullptr) Native::InvalidateRect(m_hWnd, nullptr, false);
}

void PaintManager::InvalidateRect(CRect rect, int erase) {
  if (m_hWnd == nullptr) return;
  const RECT r = rect;
  Native::InvalidateRect(m_hWnd, m_layered ? nullptr : &r, erase != 0);
}

}  // namespace Tavex
