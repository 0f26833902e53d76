#pragma once
// MPopupWnd: a general popup window with its own control tree, used like MDialog. It has its own
// PaintManager: controls come from CreateControl/CreateArea/AddControl (in InitUI of a derived
// popup, or after Create), GetControl finds them; background colour, image and mode, layered
// output and the animation timer work as in MDialog. Notifications of its controls go to the
// owner object given to the constructor, unchanged (id, code, wParam, lParam), as if the
// controls were the owner's own; a derived popup may override OnMessage instead.
//
// Typical use (an editor floating over a control of a layered window):
//   auto* popup = new MPopupWnd(this);        // this: the owner's MObject side, or null
//   popup->SetAutoDelete(true);               // deleted once its window is gone
//   popup->SetBackColor(0x1E1E1E, 0xCA5100);
//   popup->SetCloseHandler([this](int result) { m_popup = nullptr; ... });
//   popup->CreateOver(GetSafeHwnd(), control->GetRect());   // owner client coordinates
//   auto* edit = popup->CreateControlAs<MEdit>("MEdit", 7, popup->GetDialogClientRect(), "", 1, 1);
//   popup->SetFocusControl(edit);
//   ... popup->DoOK() / DoCancel() / Close() ends it; so do a click elsewhere (close on
//   deactivation, result 2) and Escape (result 2) unless switched off.
//
// The window is a borderless popup placed by the library above the others, kept inside the
// work area, shown with the keyboard focus (kActivate) or without taking it (kNoActivate).
// When it goes, its focused control loses the focus first, so an edit box reports the end of
// its editing (29) to the owner. SetLayeredWindow(1) before Create gives it per-pixel alpha.
//
// Ownership: the program owns the object (a member, or new + SetAutoDelete(true)); the popup
// owns its controls. The owner object must outlive the popup or be detached with
// SetOwnerObject(nullptr). Threads: UI thread, except the control setters (see MControl) and
// DoOK/DoCancel/Close, which post.
#include <functional>

#include "tavex/MDialog.h"

namespace Tavex {

class TAVEX_API MPopupWnd : public MDialog {
 public:
  // Create flags.
  static constexpr unsigned kActivate = 0;      // shown focused (editors, pickers)
  static constexpr unsigned kNoActivate = 1;    // shown without taking the focus (previews)
  static constexpr unsigned kKeepPosition = 2;  // no shift into the work area
  // Result passed to the close handler when deactivation or Escape closed the popup.
  static constexpr int kResultDismissed = 2;

  explicit MPopupWnd(MObject* owner = nullptr);
  ~MPopupWnd() override;

  // Creates and shows the popup at `screen` (screen coordinates), owned by `ownerWindow`.
  // Returns null when the window cannot be made; an existing window is returned unchanged.
  HWND Create(HWND ownerWindow, CRect screen, unsigned flags = kActivate);
  // The same with `client` in the owner window's client coordinates.
  HWND CreateOver(HWND ownerWindow, CRect client, unsigned flags = kActivate);
  // Posts the close request with `result` (as DoOK/DoCancel do with 1/2). Once only.
  void Close(int result = 1);

  void SetOwnerObject(MObject* owner) { m_ownerObject = owner; }
  MObject* GetOwnerObject() const { return m_ownerObject; }
  // Runs each time the window is gone, with the close result (0 when destroyed directly).
  void SetCloseHandler(std::function<void(int)> handler) { m_onClose = std::move(handler); }
  void SetCloseOnDeactivate(bool on) { m_closeOnDeactivate = on; }
  void SetCloseOnEscape(bool on) { m_closeOnEscape = on; }
  // With auto-delete on, the popup deletes itself after its window was destroyed; the program
  // keeps no pointer past the close handler then.
  void SetAutoDelete(bool on) { m_autoDelete = on; }
  int GetResult() const { return m_result; }

  // Where a popup of `wanted` (screen) lands: shifted into `work`, right/bottom first.
  static CRect FitIntoWorkArea(CRect wanted, CRect work);

  const char* GetClassNameW() const override;
  const char* GetWindowClassName() const override;
  int OnMessage(unsigned id, unsigned code, unsigned wParam, long lParam) override;
  LRESULT OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
  void OnDestroyMessage(HWND hwnd) override;

 private:
  MObject* m_ownerObject;
  std::function<void(int)> m_onClose;
  bool m_closeOnDeactivate = true;
  bool m_closeOnEscape = true;
  bool m_autoDelete = false;
  bool m_closing = false;
  int m_result = 0;
  int m_depth = 0;
  bool m_windowGone = false;
  bool m_inDestructor = false;
};

}  // namespace Tavex
