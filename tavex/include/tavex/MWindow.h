#pragma once
// MWindow: one native window and its object. The object exists before and after the window:
// Create attaches, the final destroy message detaches (handle back to null), and the same
// object may be created again. The library never deletes a window object; the program owns it.
// Every wrapper returns 0/null when there is no live window. UI thread only.
#include <set>

#include "tavex/Geometry.h"
#include "tavex/Native.h"

namespace Tavex {

class Surface;

class TAVEX_API MWindow {
 public:
  // Result of ShowModal when the window does not exist.
  static constexpr int kNoWindow = -1;  // 0xFFFFFFFF

  MWindow();
  MWindow(const MWindow&) = delete;
  MWindow& operator=(const MWindow&) = delete;
  virtual ~MWindow();

  virtual const char* GetWindowClassName() const;
  // Name of an existing class to superclass; null for a plain window.
  virtual const char* GetSuperClassName() const;
  virtual int ShowWindow(int cmd);
  virtual LRESULT OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam);
  // Called by the modal loop for each message; non-zero consumes it.
  virtual int PreTranslateMessage(MSG* msg);
  // Called once right after the native window was created.
  virtual int OnInitDialog();
  // Called after the native window was destroyed (the handle is already null).
  virtual void OnDestroyMessage(HWND hwnd);

  int RegisterWindowClass();
  int RegisterSuperClass();

  HWND Create(HWND parent, const char* title, DWORD style, DWORD exStyle, CRect rect, HMENU menu);
  HWND Create(HWND parent, const char* title, DWORD style, DWORD exStyle, CRect rect);
  HWND Create(HWND parent, CRect rect);
  HWND Create(HWND parent);

  // Shows the window, disables its owner and runs the messages until the window is gone.
  // Returns the wParam of the close request (WM_CLOSE) addressed to it, 0 when it was destroyed
  // without one, kNoWindow without a window. A quit message ends the loop and is posted again.
  int ShowModal(int cmdShow = SW_SHOWNORMAL);

  int DestroyWindow();
  int EnableWindow(int enable);
  int IsWindowEnabled() const;
  int IsWindowVisible() const;
  int IsIconic() const;
  HWND SetFocus();
  HWND SetCapture();
  int ReleaseCapture();
  int GetClientRect(RECT* rect) const;
  int GetWindowRect(RECT* rect) const;
  CRect GetClientRect() const;
  CRect GetWindowRect() const;
  int ClientToScreen(POINT* pt) const;
  int ClientToScreen(RECT* rect) const;
  int ScreenToClient(POINT* pt) const;
  int ScreenToClient(RECT* rect) const;
  int MoveWindow(int x, int y, int width, int height, int repaint = 1);
  int MoveWindow(const RECT& rect, int repaint = 1);
  int SetWindowPos(HWND insertAfter, int x, int y, int cx, int cy, UINT flags);
  int InvalidateRect(CRect rect, int erase = 0);
  int Invalidate(int erase = 0);
  int SetWindowTextW(const char* text);
  int GetWindowTextW(CString& text) const;
  int GetWindowTextLengthW() const;
  DWORD GetStyle() const;
  DWORD GetExStyle() const;
  int ModifyStyle(DWORD remove, DWORD add, UINT swpFlags = 0);
  int ModifyExStyle(DWORD remove, DWORD add, UINT swpFlags = 0);
  LRESULT SendMessageW(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);
  int PostMessageW(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);
  // The window's own use of the input method apart from its edit controls (off for a new
  // window); see Native::EnableInputMethod. The program's main window turns it off explicitly.
  int EnableInputMethod(int enable);
  HWND GetSafeHwnd() const { return m_hWnd; }
  HWND GetParentHwnd() const { return m_hParent; }
  bool IsValid() const;

  // Native window timers (WM_TIMER reaches OnWindowMessage). The identifiers in use are
  // remembered so that library timers on the same window keep clear of them.
  UINT_PTR SetTimer(UINT_PTR id, UINT elapseMs, TIMERPROC proc = nullptr);
  int KillTimer(UINT_PTR id);
  bool HasUserTimer(UINT_PTR id) const { return m_userTimers.count(id) != 0; }

  // Window icon at the large and small icon sizes, from an image file, or from the resource
  // `resourceId` (MRender's registered "ICON" resources, else "<id>.ico" or "<id>.png" in the
  // program folder).
  int SetIcon(unsigned resourceId);
  int SetIconFile(const CString& path);
  void CenterWindow(MWindow* other = nullptr);
  void BringToTop();

  static LRESULT WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  static LRESULT ControlProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

  // Where CenterWindow puts a window of size `size`: centred over `over`, then clamped into
  // `bounds` (right/bottom first, then left/top).
  static CPoint CenteredPosition(CSize size, CRect over, CRect bounds);

 protected:
  // Answers WM_PAINT of a layered window that keeps its whole picture in `frame` (ARGB, window
  // size): validates and hands the picture to the window. UI thread only.
  void PaintLayeredFrame(const Surface& frame);

  HWND m_hParent = nullptr;
  HWND m_hWnd = nullptr;
  WNDPROC m_prevProc;

 private:
  static LRESULT Route(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, bool property);
  std::set<UINT_PTR> m_userTimers;
};

}  // namespace Tavex
