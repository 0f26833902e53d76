#pragma once
// MPanel: a control that holds its own children, with an optional virtual area larger than its
// rectangle and its own scroll bars (CScrollVertical id 1, CScrollHorizontal id 2). Children's
// rectangles are in the panel's virtual space; the panel shifts points, repaints and drawing by
// its scroll offsets. Notifications of children go unchanged to the panel's parent, so they
// reach the dialog as if the children were its own.
#include "tavex/ControlFactory.h"
#include "tavex/MControlFont.h"
#include "tavex/MScroll.h"

namespace Tavex {

class TAVEX_API MPanel : public MControlFont {
 public:
  static constexpr int kScrollBarSize = 12;

  MPanel(MObject* parent, unsigned id, CRect rect, int visible = 1);

  const char* GetClassNameW() const override;

  // Creates a child by class name with the panel factory (kind 0: draw list, 1: child
  // controls); null for an unknown name. The panel owns the child.
  virtual MControl* CreateArea(const char* name, unsigned id, CRect rect, const char* title,
                               int a, int b);
  virtual MControl* CreateControl(unsigned kind, MObject* parent, const char* name, unsigned id,
                                  CRect rect, const char* title, int a, int b);
  virtual MControl* CreateControl(const char* name, unsigned id, CRect rect, const char* title,
                                  int a, int b);
  // Checked forms: the new child as a T; null for an unknown name or when the name made a
  // control of another class (that one is removed and deleted, so nothing stays behind).
  template <typename T>
  T* CreateControlAs(const char* name, unsigned id, CRect rect, const char* title, int a, int b) {
    return KeepIfOfClass<T>(*this, CreateControl(name, id, rect, title, a, b));
  }
  template <typename T>
  T* CreateAreaAs(const char* name, unsigned id, CRect rect, const char* title, int a, int b) {
    return KeepIfOfClass<T>(*this, CreateArea(name, id, rect, title, a, b));
  }
  int OnControlKeyUp(unsigned key, unsigned repeat, unsigned modifiers) override;

  // Adds an already constructed child (kind 0 draw list, 1 child controls); takes ownership.
  MControl* AddControl(MControl* control, unsigned kind = 1);

  void SetVirtualHeight(int height);
  void SetVirtualWidth(int width);
  int GetVirtualHeight() const { return m_virtualHeight; }
  int GetVirtualWidth() const { return m_virtualWidth; }
  void SetEnableScroll(int on);
  void SetScrollSteps(int step);
  // (horizontal, vertical) scroll offset; zero when the panel does not scroll that way.
  CPoint GetScrollOffset() const;
  // The scrolling of `from` and of every panel above it, added up: how far a point inside them
  // sits from where the window shows it. Zero when `from` is not a panel.
  static CPoint ScrollOffsetOfChain(const MObject* from);
  CScrollVertical* GetVScroll() const { return m_vScroll; }
  CScrollHorizontal* GetHScroll() const { return m_hScroll; }

  void InitControl(PaintManager* manager) override;
  void DrawControl(Painter& painter, CRect paint) override;
  void DrawSubControls(Painter& painter, CRect paint) override;
  // The largest opaque area among the children: they are drawn unfaded, moved by the scroll
  // offset and clipped to the panel.
  CRect OpaqueArea() override;
  void OnMousePointChange(CPoint& pt) override;
  int OnCheckMouseResponse(unsigned keys, CPoint pt) override;
  int OnMessage(unsigned id, unsigned code, unsigned wParam, long lParam) override;
  // Raw window messages reach the panel's children too (in-place editors read characters).
  int OnWindowMessage(unsigned msg, unsigned wParam, long lParam) override;
  int OnBaseMessage(unsigned id, unsigned code, unsigned wParam, long lParam) override;
  int OnControlUpdate(CRect rect, int flag, MControl* control) override;
  int OnControlScroll(int bar, unsigned direction, CPoint pt) override;
  void SetControlRect(CRect rect) override;

 protected:
  void LayoutScrollBars();

  CScrollVertical* m_vScroll;
  CScrollHorizontal* m_hScroll;
  int m_virtualHeight = 0;
  int m_virtualWidth = 0;
  int m_initialised = 0;
  int m_scrollSteps = 40;
  int m_enableScroll = 1;
};

}  // namespace Tavex
