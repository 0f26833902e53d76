#pragma once
// MTabCtrl: a strip of tabs (horizontal unless set vertical), each with an optional state image
// (normal, hover, selected side by side), a text and a page that is shown while the tab is
// selected. Selecting a tab sends notification 2 (index); pressing a tab's small button sends 9.
//
// Ownership: the control owns its TabItemInfo records (GetItemInfo hands out a pointer that
// lives until the tab is deleted); pages belong to whoever created them (a list of the manager
// or a panel), the strip only shows and hides them.
// Threads: setters lock the data and may be called from any thread (see MControl).
#include <memory>
#include <string>
#include <vector>

#include "tavex/MControlFont.h"

namespace Tavex {

enum TAB_TYPE { TAB_HORIZONTAL = 0, TAB_VERTICAL = 1 };

struct TabItemInfo {
  int visible = 1;
  Image image;
  int stateWidth = 0;
  int imageHeight = 0;
  int states = 3;
  CRect rect;
  CString text;
  unsigned id = 0;
  CRect buttonRect;
  int buttonState = 0;  // 2 while pressed
  int reserved = 0;
  MControl* page = nullptr;
  CString tooltip;
};

class TAVEX_API MTabCtrl : public MControlFont {
 public:
  MTabCtrl(MObject* parent, unsigned id, CRect rect, const char* title, int visible = 1,
           int enabled = 1);

  const char* GetClassNameW() const override;

  // Appends a tab; `image` is a file of the skin folder (empty: none), `states` -1 means 3,
  // `width` 0 takes one image state's width. Returns the new index.
  int InsertItem(unsigned id, const char* text, const char* image, MControl* page, int states = -1,
                 int width = 0);
  int GetItemCount() const;
  unsigned GetItemID(int index) const;
  TabItemInfo* GetItemInfo(int index);
  void SetItemText(int index, const CString& text);
  void DeleteItem(int index);
  int GetItemVisible(int index) const;
  void SetItemVisible(int index, int visible);
  // Returns the previous selection (the current one when nothing changed).
  int SetSelectItem(int index);
  int GetSelectItem() const;
  int GetHoverItem() const;
  void SetItemWidth(int width, int minWidth, int relayout);
  void SetItemHeight(int height, int minHeight, int relayout);
  int GetItemWidth() const;
  int GetItemHeight() const;
  void SetTabCtrlWidth(int width);
  void SetTabCtrlHeight(int height);
  void SetLeftRightPading(int left, int right);
  void SetTopBottomPading(int top, int bottom);
  void SetTabType(TAB_TYPE type);
  void EnableAnimateChangeTab(int on);
  void EnableSeparator(int on, int width, int height);
  void EnableTabButton(int on, int width, int height);
  void SetTabTooltip(int index, const CString& text);
  void ClearTabTooltip();
  // Creates a panel page inside this control's parent list; null without a manager.
  MControl* CreatePanel(const char* name, unsigned id, CRect rect);
  void RefreshItems();
  int PtInTabButton(CPoint pt, TabItemInfo& item) const;
  // Index of the visible tab containing `pt`, -1 for none.
  int HitTest(CPoint pt) const;

  void DrawControl(Painter& painter, CRect paint) override;
  int OnCheckMouseResponse(unsigned keys, CPoint pt) override;
  int OnControlMouseMove(unsigned keys, CPoint pt) override;
  int OnControlLButtonDown(unsigned keys, CPoint pt) override;
  int OnControlLButtonUp(unsigned keys, CPoint pt) override;
  void OnControlMouseLeave() override;
  int OnControlTimerKey(unsigned key) override;
  void SetControlRect(CRect rect) override;

 private:
  // Geometry only (caller holds the data lock).
  void LayoutLocked();
  int StripSizeLocked() const;
  void ShowPages();

  std::vector<std::unique_ptr<TabItemInfo>> m_items;
  std::vector<CRect> m_separators;
  int m_separatorOn = 0, m_separatorWidth = 0, m_separatorHeight = 0;
  int m_buttonOn = 0, m_buttonWidth = 0, m_buttonHeight = 0, m_buttonRight = 3, m_buttonTop = 6;
  int m_itemWidth = 0, m_itemWidthWanted = 0, m_itemWidthMin = 0;
  int m_stripHeight = 0;
  int m_itemHeight = 0, m_itemHeightWanted = 0, m_itemHeightMin = 0;
  int m_stripWidth = 0;
  int m_hover = -1;
  int m_select = -1;
  int m_oldSelect = -1;
  int m_left = 0, m_right = 0, m_top = 0, m_bottom = 0;
  TAB_TYPE m_type = TAB_HORIZONTAL;
  int m_animate = 0;
  int m_animStep = 0;
  std::uint32_t m_colors[3] = {0xE1C8C8C8, 0xFF191919, 0xFFCCCCCC};
  int m_pressedTab = 0;
};

}  // namespace Tavex
