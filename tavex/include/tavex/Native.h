#pragma once
// The native window layer: top-level windows, the per-thread message queue, window timers,
// input state. It behaves like the classic desktop API whose names it keeps, over X11.
//
// Threads. The first thread that creates a window becomes the UI thread: it owns the X
// connection, and only it may call the functions marked [UI]; called from another thread they
// fail (return 0/false/null) and touch nothing. Functions marked [any] are safe on every thread:
// PostMessage and PostThreadMessage queue and wake the target thread's loop; SendMessage to a
// window of another thread waits until that thread's loop (GetMessage, PeekMessage or its own
// SendMessage) has run the window procedure. Each thread has its own queue, created on first use.
//
// Ownership. Windows are owned by the layer from CreateWindowEx to DestroyWindow; the handle is
// an identifier never reused, so a stale handle is harmless. The creation parameter and user
// data are the caller's; the layer never frees them.
//
// Text is UTF-8 throughout.
#include <cstdint>
#include <string>

#include "tavex/WinTypes.h"

namespace Tavex::Native {

// ---- classes and windows ------------------------------------------------------------------
// [any] Registers a window class for hInstance (null is fine). Registering a name that already
// exists succeeds and keeps the first registration.
TAVEX_API bool RegisterClass(const WNDCLASS& wc);
// [any] Looks the class up (hInstance is ignored: class names are process-wide).
TAVEX_API bool GetClassInfo(HINSTANCE hInstance, const char* className, WNDCLASS* out);

// [UI] Creates a window of a registered class. Sends WM_NCCREATE then WM_CREATE (lParam =
// CREATESTRUCT*, lpCreateParams = param) before returning; a 0 answer to WM_NCCREATE or -1 to
// WM_CREATE destroys it and returns null. Shown at once when style has WS_VISIBLE.
// A top-level window (no WS_CHILD) is managed and undecorated, with `parent` as its owner;
// WS_POPUP with both WS_EX_TOOLWINDOW and WS_EX_TOPMOST, or any WS_EX_NOACTIVATE window, is an
// override-redirect popup placed by the library (menus, tooltips); WS_EX_TOOLWINDOW alone is a
// managed utility window, WS_EX_TOPMOST alone a managed window kept above (_NET_WM_STATE_ABOVE).
// WS_EX_LAYERED asks for a 32-bit visual with per-pixel alpha.
TAVEX_API HWND CreateWindowEx(DWORD exStyle, const char* className, const char* title,
                              DWORD style, int x, int y, int width, int height, HWND parent,
                              HMENU menu, HINSTANCE hInstance, void* param);
// [UI] Sends WM_DESTROY then WM_NCDESTROY, destroys owned windows first, releases capture and
// timers of the window. Returns false for a stale handle.
TAVEX_API bool DestroyWindow(HWND hwnd);
// [any] Whether the handle names a live window.
TAVEX_API bool IsWindow(HWND hwnd);
// [any] Identifier of the thread that created the window (0 if stale); GetCurrentThreadId
// gives the calling thread's.
TAVEX_API DWORD GetWindowThreadProcessId(HWND hwnd);
TAVEX_API DWORD GetCurrentThreadId();

// [UI] Default handling: WM_CLOSE destroys the window, WM_NCLBUTTONDOWN on HTCAPTION starts an
// interactive move, WM_SYSCOMMAND SC_MINIMIZE/SC_MAXIMIZE/SC_RESTORE/SC_CLOSE act, WM_SETCURSOR
// sets the class cursor, WM_PAINT validates, WM_SETTEXT/WM_GETTEXT use the title. Others: 0.
TAVEX_API LRESULT DefWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
TAVEX_API LRESULT CallWindowProc(WNDPROC proc, HWND hwnd, UINT msg, WPARAM wParam,
                                 LPARAM lParam);

// [UI] GWL_STYLE, GWL_EXSTYLE (visibility, disabled, topmost bits are applied), GWLP_USERDATA,
// GWLP_WNDPROC, GWLP_ID, GWLP_HWNDPARENT. Set returns the previous value; 0 for a stale handle.
// GetWindowLongPtr and GWLP_USERDATA are also safe from [any] thread.
TAVEX_API LONG_PTR GetWindowLongPtr(HWND hwnd, int index);
TAVEX_API LONG_PTR SetWindowLongPtr(HWND hwnd, int index, LONG_PTR value);
// [UI] Named per-window pointers (the caller owns what they point to).
TAVEX_API bool SetProp(HWND hwnd, const char* name, void* value);
TAVEX_API void* GetProp(HWND hwnd, const char* name);
TAVEX_API void* RemoveProp(HWND hwnd, const char* name);

// [UI] Owner (top-level) or parent (child); null for none.
TAVEX_API HWND GetParent(HWND hwnd);

// ---- visibility, position, state ----------------------------------------------------------
// [UI] SW_* commands. SW_MAXIMIZE fills the work area, as limited by the answer to
// WM_GETMINMAXINFO (ptMaxSize, ptMaxPosition as an offset in the work area); restore returns
// to the previous rect;
// SW_MINIMIZE iconifies (unmaps when no window manager runs). Returns the previous visibility.
TAVEX_API bool ShowWindow(HWND hwnd, int cmd);
TAVEX_API bool IsWindowVisible(HWND hwnd);
TAVEX_API bool IsIconic(HWND hwnd);
TAVEX_API bool IsZoomed(HWND hwnd);
// [UI] Positions are screen coordinates for top-level windows, parent client coordinates for
// children. Sends WM_WINDOWPOSCHANGING/CHANGED, WM_MOVE and WM_SIZE when they change.
TAVEX_API bool MoveWindow(HWND hwnd, int x, int y, int width, int height, bool repaint);
TAVEX_API bool SetWindowPos(HWND hwnd, HWND insertAfter, int x, int y, int cx, int cy,
                            UINT flags);
TAVEX_API bool GetWindowRect(HWND hwnd, RECT* rect);  // screen coordinates
TAVEX_API bool GetClientRect(HWND hwnd, RECT* rect);  // (0, 0, width, height)
TAVEX_API bool ClientToScreen(HWND hwnd, POINT* pt);
TAVEX_API bool ScreenToClient(HWND hwnd, POINT* pt);

// [UI] A disabled window receives no mouse or keyboard input. Sends WM_ENABLE on change.
// Returns whether the window was disabled before.
TAVEX_API bool EnableWindow(HWND hwnd, bool enable);
TAVEX_API bool IsWindowEnabled(HWND hwnd);

// [UI] Title (_NET_WM_NAME) and icon (_NET_WM_ICON; pixels are unpremultiplied 0xAARRGGBB,
// row-major, width*height values; several sizes may be set one after another).
TAVEX_API bool SetWindowText(HWND hwnd, const char* text);
TAVEX_API std::string GetWindowText(HWND hwnd);
TAVEX_API bool SetWindowIcon(HWND hwnd, int width, int height, const std::uint32_t* argb);

// [UI] Layered attributes: constant alpha (LWA_ALPHA, through the compositor's window opacity)
// and colour key (stored; per-pixel alpha windows use their own alpha instead).
TAVEX_API bool SetLayeredWindowAttributes(HWND hwnd, COLORREF key, BYTE alpha, DWORD flags);
// [UI] Whether the window has a 32-bit visual (created with WS_EX_LAYERED and one exists).
TAVEX_API bool HasAlphaVisual(HWND hwnd);

// ---- painting -----------------------------------------------------------------------------
// [any] Adds the rectangle (client coordinates; null = whole client area) to the window's
// update region; WM_PAINT follows when the queue is otherwise empty. Safe from any thread.
TAVEX_API bool InvalidateRect(HWND hwnd, const RECT* rect, bool erase);
// [any] As InvalidateRect, for a caller that repaints the rectangle itself from what the
// window's frame still holds: BeginPaint reports fOwnOnly while nothing else was invalidated.
TAVEX_API bool InvalidateOwnRect(HWND hwnd, const RECT& rect);
TAVEX_API bool ValidateRect(HWND hwnd, const RECT* rect);  // [UI] null = all
// [UI] The bounding box of the update region; false when it is empty.
TAVEX_API bool GetUpdateRect(HWND hwnd, RECT* rect, bool erase);
// [UI] Sends WM_PAINT at once when the update region is not empty.
TAVEX_API bool UpdateWindow(HWND hwnd);
// [UI] BeginPaint fills ps->rcPaint with the update box and validates it.
TAVEX_API bool BeginPaint(HWND hwnd, PAINTSTRUCT* ps);
TAVEX_API bool EndPaint(HWND hwnd, const PAINTSTRUCT* ps);
// [UI] Copies part of a premultiplied ARGB32 pixel buffer (stride in bytes) to the window:
// source rect `src` of the buffer goes to client point (dstX, dstY). Used by Surface::Present.
TAVEX_API bool PresentPixels(HWND hwnd, const std::uint8_t* pixels, int width, int height,
                             int stride, const RECT& src, int dstX, int dstY);
// [UI] As PresentPixels, through a shared-memory image of the window when the display offers
// one (a local server): the frame is not copied through the socket. Used for whole frames.
TAVEX_API bool PresentFrame(HWND hwnd, const std::uint8_t* pixels, int width, int height,
                            int stride, const RECT& src, int dstX, int dstY);
// The window's own shared-memory frame: premultiplied ARGB32 rows `stride` bytes apart.
struct FrameBuffer {
  std::uint8_t* pixels = nullptr;
  int width = 0;
  int height = 0;
  int stride = 0;
};
// [UI] Lends the window's shared-memory frame of `width` x `height` pixels for drawing, so that
// a frame goes to the server without being copied once more. The pixels belong to the window:
// they stay valid until the next call for it with another size or its destruction. False when
// the display offers no shared memory; then present from an own buffer with PresentFrame.
TAVEX_API bool AcquireFrameBuffer(HWND hwnd, int width, int height, FrameBuffer* out);
// [UI] Shows `rect` of the window's frame buffer at the same client place and returns once the
// server has read it, so that the next frame may be drawn into the buffer. With `wait` false it
// returns once the request is sent: for a caller whose next frames write only pixels they show
// again, so that a read overtaken by a write still ends on the newest pixels.
TAVEX_API bool PresentFrameBuffer(HWND hwnd, const RECT& rect, bool wait = true);
// [UI] Gives the memory of the window's shared-memory frame back to the system (false when it
// had none, or the pages could not be dropped). The frame itself stays: AcquireFrameBuffer
// lends it again, of undefined content, and its pages come back as they are drawn.
TAVEX_API bool ReleaseFrameBuffer(HWND hwnd);
// [any] Paces painting: the window's next WM_PAINT is not generated for `ms` milliseconds
// (0 = at once again); invalidations made meanwhile accumulate into that one paint, and input
// and other messages are delivered as usual.
TAVEX_API void DelayNextPaint(HWND hwnd, UINT ms);
// [UI] Per-pixel-alpha output of a whole client area from premultiplied ARGB32 pixels. On a
// window with a 32-bit visual under a compositing manager the alpha is kept as it is; without
// a compositor (or without a 32-bit visual) the window is shaped to its pixels with alpha
// above 0. Pixels equal to the window's colour key (LWA_COLORKEY) are cut out as well.
TAVEX_API bool UpdateLayeredWindow(HWND hwnd, const std::uint8_t* pixels, int width, int height,
                                   int stride);
// [UI] Whether the window currently has an input/bounding shape set by UpdateLayeredWindow.
TAVEX_API bool IsWindowShaped(HWND hwnd);
// [UI] The layered attributes set so far; flags has LWA_COLORKEY / LWA_ALPHA for those set.
TAVEX_API bool GetLayeredWindowAttributes(HWND hwnd, COLORREF* key, BYTE* alpha, DWORD* flags);
// [UI] Whether a compositing manager runs (the _NET_WM_CM_S<screen> selection has an owner).
TAVEX_API bool CompositorRunning();

// [UI] Reads the window's client area back from the server as premultiplied ARGB32 rows
// (width * 4 bytes each); false for a stale or unmapped window. Used by CaptureWindow.
TAVEX_API bool ReadWindowPixels(HWND hwnd, std::uint32_t* pixels, int width, int height);

// ---- messages -----------------------------------------------------------------------------
// [any] Waits for the next message of the calling thread's queue. Order: sent messages of
// other threads are run inside, then posted messages, then input, then WM_PAINT, then WM_TIMER.
// Returns 0 for WM_QUIT (msg->wParam = exit code), -1 on a bad argument, else 1. Filters
// (hwnd, min..max; 0, 0 = all) apply to posted messages, WM_PAINT and WM_TIMER.
TAVEX_API int GetMessage(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax);
// [any] As GetMessage without waiting; PM_REMOVE removes the message. False when none.
TAVEX_API bool PeekMessage(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax, UINT remove);
// [any] Waits until the queue has a message (or a timer is due).
TAVEX_API bool WaitMessage();
// [any] For a WM_KEYDOWN/WM_SYSKEYDOWN just fetched, queues one WM_CHAR/WM_SYSCHAR per code
// point of the typed text, ahead of later messages (wParam = Unicode code point, not UTF-16;
// CodePointToUtf8 gives the text; controls: 8 back, 9 tab, 13 enter, 27 esc, Ctrl+A..Z 1..26).
TAVEX_API bool TranslateMessage(const MSG* msg);
// [any] Calls the window procedure (or the TIMERPROC of a WM_TIMER); 0 for a stale window.
TAVEX_API LRESULT DispatchMessage(const MSG* msg);
// [any] Queues to the thread that owns hwnd (null: the calling thread) and wakes its loop.
// False when the window is stale or the thread is gone.
TAVEX_API bool PostMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
TAVEX_API bool PostThreadMessage(DWORD threadId, UINT msg, WPARAM wParam, LPARAM lParam);
// [any] Same thread: a direct call. Other thread: waits for the owner to run it (while waiting,
// messages sent to the caller's own thread are still served). 0 for a stale window.
TAVEX_API LRESULT SendMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
// [any] Ends the calling thread's GetMessage loop once its queue is empty.
TAVEX_API void PostQuitMessage(int exitCode);
// [any] Time (GetTickCount) of the last message fetched by this thread.
TAVEX_API DWORD GetMessageTime();
// [any] Milliseconds of the monotonic clock (wraps after 49 days).
TAVEX_API DWORD GetTickCount();

// [UI for a window, any for null] Native window timer: WM_TIMER every `elapseMs` (at least
// 1 ms) with wParam = id; with a TIMERPROC, DispatchMessage calls it instead. Setting an
// existing id restarts it. With a null window a fresh id is returned for the calling thread.
// Returns the id, 0 on failure.
TAVEX_API UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT elapseMs, TIMERPROC proc);
TAVEX_API bool KillTimer(HWND hwnd, UINT_PTR id);

// Messages another process may post to our windows through PostExternalMessage. Only numbers
// allowed here are accepted from outside (a foreign message could otherwise pass a pointer).
// [any]
TAVEX_API void AllowExternalMessage(UINT msg);

// ---- input --------------------------------------------------------------------------------
// [UI] Keyboard focus (WM_KILLFOCUS/WM_SETFOCUS are sent). Returns the previous focus window.
TAVEX_API HWND SetFocus(HWND hwnd);
TAVEX_API HWND GetFocus();
// [UI] Activation: raises and focuses a top-level window (_NET_ACTIVE_WINDOW with a manager).
TAVEX_API bool SetForegroundWindow(HWND hwnd);
TAVEX_API HWND GetForegroundWindow();
TAVEX_API HWND GetActiveWindow();
// [UI] Mouse capture (pointer grab): every mouse message goes to hwnd, coordinates relative to
// it, until ReleaseCapture. The previous capture window gets WM_CAPTURECHANGED.
TAVEX_API HWND SetCapture(HWND hwnd);
TAVEX_API bool ReleaseCapture();
TAVEX_API HWND GetCapture();
// [UI] One-shot WM_MOUSEHOVER (pointer still for dwHoverTime within 4 px) and WM_MOUSELEAVE
// (pointer left the window; posted at once when it is not inside).
TAVEX_API bool TrackMouseEvent(TRACKMOUSEEVENT* tme);
// [any] Shared system cursors IDC_*; never freed. [UI] SetCursor shows it on the window under
// the pointer (or the capture window); returns the previous one.
TAVEX_API HCURSOR LoadCursor(HINSTANCE hInstance, UINT idc);
TAVEX_API HCURSOR SetCursor(HCURSOR cursor);
// [UI] Pointer position in screen coordinates.
TAVEX_API bool GetCursorPos(POINT* pt);
TAVEX_API bool SetCursorPos(int x, int y);
// [any] State of a key or mouse button as seen by this process's windows: bit 15 (0x8000)
// set while it is down. The state is updated when the display's events are translated (not
// when their messages are fetched), so it may run a little ahead of the message being handled;
// except VK_SHIFT, VK_CONTROL and VK_MENU on a thread that fetched a key message: those answer
// as of that message. GetAsyncKeyState (always the live state) also sets bit 0 when it was
// pressed since the last call for that key. VK_SHIFT/VK_CONTROL/VK_MENU cover both sides.
TAVEX_API SHORT GetKeyState(int vk);
TAVEX_API SHORT GetAsyncKeyState(int vk);

// A synthesised input event (SendInput).
struct InputEvent {
  enum Kind { KeyDown, KeyUp, MouseMove, ButtonDown, ButtonUp, Wheel };
  Kind kind = KeyDown;
  UINT vk = 0;          // keys: VK_*; buttons: VK_LBUTTON, VK_RBUTTON or VK_MBUTTON
  int x = 0;            // MouseMove: absolute screen position
  int y = 0;
  int wheelDelta = 0;   // Wheel: multiples of WHEEL_DELTA, positive = up / right
  bool horizontal = false;
};
// [any] Injects the events through the X server as if the user made them (XTest), so they
// reach whichever window has the pointer or the focus, in this process or another. Returns
// how many were sent. Uses its own connection.
TAVEX_API UINT SendInput(const InputEvent* events, UINT count);
// [any] Virtual-key code of an X keysym (0 when none), and a keysym producing a virtual key.
TAVEX_API UINT VirtualKeyFromKeysym(std::uint32_t keysym);
TAVEX_API std::uint32_t KeysymFromVirtualKey(UINT vk);

// ---- input method --------------------------------------------------------------------------
// Typed text for the library's drawn editors passes the desktop's input method (composed
// characters, Chinese and other scripts; XMODIFIERS chooses it). Committed text arrives as
// WM_CHAR code points. A window's input context has the input focus only while an editor drawn
// in it is active and the window has the focus, so other controls always get plain keys; a
// method server that starts later is picked up, and one that dies leaves plain typing working.
// [UI] An editor drawn in `hwnd` took the keyboard focus (active) or lost it. It calls again
// when its caret moves: `caret` (client coordinates, may be null) places the composition.
// The library's edit controls do this themselves. False for a stale window or another thread.
TAVEX_API bool SetTextInput(HWND hwnd, bool active, const RECT* caret);
// [UI] The window's own use of the input method, apart from its editors; off for a new window.
// Off leaves the window no input context of its own (keys reach it plain, never composed);
// its editors still get one while they have the focus, as edit boxes of their own would.
TAVEX_API bool EnableInputMethod(HWND hwnd, bool enable);
// [UI] Whether the window's input context has the input focus now (keys pass the method).
TAVEX_API bool IsInputMethodActive(HWND hwnd);
// [UI] The composition the input method shows inside the window's editor (methods that let
// the client draw it): UTF-8 text, empty when none, and its caret in code points. Each change
// posts WM_IME_COMPOSITION to the window. Methods that draw it themselves leave it empty.
TAVEX_API bool GetCompositionText(HWND hwnd, std::string* text, int* caret);

// ---- system -------------------------------------------------------------------------------
// [UI] Screen size, icon sizes (32/16), double-click box (4 x 4).
TAVEX_API int GetSystemMetrics(int index);
TAVEX_API UINT GetDoubleClickTime();  // 500 ms
TAVEX_API UINT GetCaretBlinkTime();   // 530 ms
// [UI] Work area (_NET_WORKAREA, else the screen) of the monitor holding the window (null:
// the primary); screen coordinates.
TAVEX_API bool GetWorkArea(HWND hwnd, RECT* rect);
// [any] Whether a display could be opened (DISPLAY set and reachable); opens nothing lasting.
TAVEX_API bool DisplayAvailable();

// ---- other processes ----------------------------------------------------------------------
// The native window id (X11 window) behind a handle, 0 for none. [UI]
TAVEX_API std::uint64_t GetNativeId(HWND hwnd);
// [UI] Marks a top-level window with a named property so another process can find it.
TAVEX_API bool SetExternalMark(HWND hwnd, const char* name, const std::string& value);
// [any] Finds a window of any process on the display that carries the named mark; 0 for none.
// Uses its own short-lived connection.
TAVEX_API std::uint64_t FindExternalWindow(const char* name);
// [any] Maps, raises and activates that window (its own connection).
TAVEX_API bool ActivateExternalWindow(std::uint64_t nativeId);
// [any] Posts (msg, wParam, lParam) to that window as a ClientMessage; the receiving process
// turns it into a posted window message when it allowed the number (AllowExternalMessage).
// wParam and lParam travel as 32-bit values.
TAVEX_API bool PostExternalMessage(std::uint64_t nativeId, UINT msg, WPARAM wParam,
                                   LPARAM lParam);

// ---- raw keys -------------------------------------------------------------------------------
// [UI] While registered, every key press of the X server (XInput2 raw events, whichever window
// has the focus) is posted to `hwnd` as WM_INPUT with wParam = virtual-key code (left/right
// modifiers told apart) and lParam = 1. The keys are only watched: they still reach the window
// they were meant for. False when the server lacks XInput 2.
inline constexpr UINT WM_INPUT = 0x00FF;
TAVEX_API bool RegisterRawKeys(HWND hwnd, bool on);

// UTF-8 of one code point (WM_CHAR); empty for an invalid one.
TAVEX_API std::string CodePointToUtf8(std::uint32_t codePoint);

}  // namespace Tavex::Native
