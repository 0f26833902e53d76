#pragma once
// MDialog: the top-level window of the library. One native window whose surface is drawn by
// controls held in its PaintManager. The program derives its windows from it, builds controls
// in InitUI, answers notifications in OnMessage and ends with DoOK/DoCancel/... , whose value
// ShowModal returns. The dialog object belongs to the program; its controls to the library.
// UI thread only, except the control setters (see MControl).
#include "tavex/Codes.h"
#include "tavex/ControlFactory.h"
#include "tavex/MObject.h"
#include "tavex/MWindow.h"
#include "tavex/PaintManager.h"

namespace Tavex {

class TAVEX_API MDialog : public MWindow, public MObject {
 public:
  MDialog();
  ~MDialog() override;

  // MWindow side.
  LRESULT OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
  int PreTranslateMessage(MSG* msg) override;
  int OnInitDialog() override;
  void OnDestroyMessage(HWND hwnd) override;
  // The point of `control` a balloon on side `where` (an AIRBLADDER_MODE) points at: the middle
  // of the edge facing the balloon.
  virtual CPoint GetAirBladderPoint(MControl* control, unsigned where);
  virtual void OnMinimize();
  virtual void OnMaximize();
  virtual void InitUI(CRect client);
  virtual void UISize(CRect client);
  virtual int OnMessage(unsigned id, unsigned code, unsigned wParam, long lParam);
  virtual LRESULT OnUserCloseWindow(WPARAM wParam, LPARAM lParam);
  virtual int OnCreate(CREATESTRUCT* cs);
  virtual int OnSize(unsigned type, int cx, int cy);
  virtual int OnMouseMove(unsigned keys, CPoint pt);
  virtual int OnMouseLeave();
  virtual int OnMouseHover(unsigned keys, CPoint pt);
  virtual int OnMouseWheel(unsigned keys, short delta, CPoint pt);
  virtual int OnLButtonDown(unsigned keys, CPoint pt);
  virtual int OnLButtonUp(unsigned keys, CPoint pt);
  virtual int OnLButtonDblClk(unsigned keys, CPoint pt);
  virtual int OnRButtonDown(unsigned keys, CPoint pt);
  virtual int OnRButtonUp(unsigned keys, CPoint pt);
  virtual int OnRButtonDblClk(unsigned keys, CPoint pt);
  virtual int OnKeyDown(unsigned key, unsigned repeat, unsigned flags);
  virtual int OnNcHitTest(CPoint pt);
  virtual int OnGetMinMaxInfo(MINMAXINFO* info);
  virtual int OnNcCalcSize(WPARAM wParam, LPARAM lParam);
  virtual int OnNcActivate(int active);
  virtual int OnWindowPosChanging(WINDOWPOS* pos);
  virtual int OnWindowPosChanged(WINDOWPOS* pos);
  virtual int OnPaint();
  virtual int OnTimer(unsigned id);
  virtual int OnNcPaint();
  virtual int OnClose();
  virtual int OnDestroy();
  virtual void PostNcDestroy();

  // MObject side.
  const char* GetClassNameW() const override;
  int OnBaseMessage(unsigned id, unsigned code, unsigned wParam, long lParam) override;
  int OnControlUpdate(CRect rect, int flag, MControl* control) override;

  // Controls by class name (null for an unknown name); kind 1 control list, 0 area list.
  MControl* CreateControl(const char* className, unsigned id, CRect rect, const char* title,
                          int a, int b);
  MControl* CreateArea(const char* className, unsigned id, CRect rect, const char* title, int a,
                       int b);
  // Checked forms: the new control as a T; null for an unknown name or when the name made a
  // control of another class (that one is removed and deleted, so nothing stays behind).
  template <typename T>
  T* CreateControlAs(const char* className, unsigned id, CRect rect, const char* title, int a,
                     int b) {
    return KeepIfOfClass<T>(m_pm, CreateControl(className, id, rect, title, a, b));
  }
  template <typename T>
  T* CreateAreaAs(const char* className, unsigned id, CRect rect, const char* title, int a, int b) {
    return KeepIfOfClass<T>(m_pm, CreateArea(className, id, rect, title, a, b));
  }
  // Adds a control constructed by the caller (e.g. a panel-derived one); the dialog owns it.
  MControl* AddControl(MControl* control, unsigned kind = 1);
  MControl* GetControl(unsigned id) const;
  ControlList& GetControls() { return m_pm.GetControls(); }
  void SetFocusControl(MControl* control) { m_pm.SetFocusControl(control); }

  // Post the user close message (WM_USERCLOSEWINDOW) with 1, 2, 2, 6, 7.
  void DoOK();
  void DoCancel();
  void DoClose();
  void DoYes();
  void DoNo();
  // A dialog with a cancel result ends with DoCancel on Escape that no control takes, on its
  // window's close button (a close request without a result) and on a click of control
  // `closeButton` (0: none; that click is not passed to OnMessage). Off by default.
  void SetCancelResult(int on, unsigned closeButton = 0);
  int HasCancelResult() const { return m_cancelResult; }

  void SetBackColor(COLORREF background, COLORREF border) { m_pm.SetBackColor(background, border); }
  void SetLayeredWindow(int on) { m_pm.SetLayeredWindow(on); }
  void EnableWndDrag(int on) { m_pm.EnableWndDrag(on); }
  unsigned SetMTimer(unsigned ms) { return m_pm.SetMTimer(ms); }
  void KillMTimer(unsigned id) { m_pm.KillMTimer(id); }
  void SetTooltip(const CString& text, CRect rect) { m_pm.SetTooltip(text, rect); }
  void ClearTooltip() { m_pm.ClearTooltip(); }
  void SetScrollResID(unsigned vertical, unsigned horizontal) {
    m_pm.SetScrollResID(vertical, horizontal);
  }
  bool LoadBKImage(const CString& name) { return m_pm.LoadBKImage(name); }
  bool LoadBKImage(unsigned resourceId, const CString& type) {
    return m_pm.LoadBKImage(resourceId, type);
  }
  void SetBackMode(enumBackMode mode, int corner) { m_pm.SetBackMode(mode, corner); }
  void SetMessage(const CString& text, CRect rect, MsgLevel level = MsgLevelInfo) {
    m_pm.SetMessage(text, rect, level);
  }
  void SetProgress(int percent, const CString& text, CRect rect = CRect()) {
    m_pm.SetProgress(percent, text, rect);
  }
  // Balloon message at `point` (client coordinates); see PaintManager::SetAirBladderMsg.
  void SetAirBladderMsg(const char* text, POINT point, AIRBLADDER_TYPE type,
                        AIRBLADDER_MODE mode = AIRBLADDER_MODE_TOP) {
    m_pm.SetAirBladderMsg(text != nullptr ? text : "", point, type, mode);
  }
  void HideAirBladder() { m_pm.HideAirBladder(); }
  MShadow* CreateShadow(int size, bool show) { return m_pm.CreateShadow(size, show); }
  void SetSize(int size) { m_pm.SetSize(size); }
  void SetSharpness(int sharpness) { m_pm.SetSharpness(sharpness); }
  void SetDarkness(int darkness) { m_pm.SetDarkness(darkness); }
  void SetPosition(int x, int y) { m_pm.SetPosition(x, y); }
  void SetShadowColor(COLORREF colour) { m_pm.SetShadowColor(colour); }
  bool SetShadowImage(const CString& file, CRect nine) { return m_pm.SetShadowImage(file, nine); }
  void SetShadowShow(bool show) { m_pm.SetShadowShow(show); }
  // Window-level transparency applied on size: alpha below 255, or a colour key.
  void SetWindowAlpha(BYTE alpha) { m_alpha = alpha; }
  void SetColorKey(COLORREF key) { m_colorKey = key; }
  // Both at once, applied now when the window exists: pixels of colour `key` become
  // see-through (0xFFFFFF: none), and the whole window takes opacity `alpha`.
  void SetupBackTranslucent(COLORREF key, BYTE alpha = 255);
  PaintManager& GetPaintManager() { return m_pm; }
  CRect GetDialogClientRect() const { return m_client; }

 protected:
  void ApplyTranslucency();

  PaintManager m_pm;
  CRect m_client;
  COLORREF m_colorKey = 0xFFFFFF;
  BYTE m_alpha = 255;
  int m_cancelResult = 0;
  unsigned m_closeButton = 0;
};

}  // namespace Tavex
