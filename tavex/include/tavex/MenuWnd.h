#pragma once
// MenuWnd: a drawn popup menu at a screen point, one MenuItem per entry. A click on an entry is
// posted to the owner window as the owner's message (wParam = check state, lParam = entry id)
// and closes the menu; losing activation or the user close message (WM_USERCLOSEWINDOW) closes
// it without a choice.
// Keys (the menu takes the focus while open): Up/Down move the highlight through the
// selectable entries and wrap, Home/End go to the first/last, a letter or digit to the next
// entry starting with it; Enter or Space picks the highlighted entry as a click would, Escape
// closes without a choice. Pointer and keys share one highlight.
//
// Ownership: create it with new. Once its window has been destroyed the menu deletes itself;
// the owner keeps no pointer after showing it. A menu whose window was never created is
// deleted by its creator. The menu owns its entries (they live in its paint manager).
// Threads: UI thread only.
#include <cstdint>
#include <vector>

#include "tavex/MDialog.h"
#include "tavex/MenuItem.h"

namespace Tavex {

class TAVEX_API MenuWnd : public MDialog {
 public:
  explicit MenuWnd(MObject* parent = nullptr);
  ~MenuWnd() override;

  // Creates the window titled "Menu Window" at `at` (screen) and shows it. The forms with a
  // background load it (a file of the skin folder, or a resource of type "PNG") and draw it
  // by `mode` with `corner`-pixel corners in place of the plain colours; `width` above 0 sets
  // the menu width. Background, back mode, layered display, translucency and scroll bar
  // resources may also be set before Create (they are the dialog's).
  HWND Create(HWND owner, CPoint at, unsigned message);
  HWND Create(HWND owner, CPoint at, unsigned message, const CString& background, int corner,
              int width, enumBackMode mode = BackModeFrame);
  HWND Create(HWND owner, CPoint at, unsigned message, unsigned resourceId, int corner, int width,
              enumBackMode mode = BackModeFrame);

  MenuItem* AddMenu(const CString& text, unsigned id, const CString& icon = "", int checked = 0,
                    int enabled = 1);
  MenuItem* AddMenu(const CString& text, unsigned id, int icon, int checked, int enabled);
  MenuItem* AddSeparator(unsigned id, const CString& title = "");
  // The entry named by its title.
  void SetItemTitle(const CString& title, const CString& newTitle);
  void SetItemVisible(const CString& title, int visible);
  void SetItemEnable(const CString& title, int enabled);
  void SetItemCheck(const CString& title, int checked);
  MenuItem* FindItem(const CString& title) const;

  void SetMenuWidth(int width);
  void SetItemHeight(int height);
  void SetMargins(int top, int bottom);
  void SetMenuFont(const CString& family, int size);
  void SetTextColor(std::uint32_t argb);
  void SetHighlightColor(std::uint32_t argb);
  // Posts the close request to the menu window.
  void CloseWindow();

  // Lays the entries out and sizes the window; returns the menu height.
  int SetMenuPoint();
  int GetMenuWidth() const { return m_width; }
  int GetMenuHeight() const { return m_height; }
  const std::vector<MenuItem*>& GetItems() const { return m_items; }
  // Index in GetItems() of the highlighted entry, -1 for none.
  int GetHighlight() const { return m_current; }
  // Handles a key as the menu window does; false for keys the menu leaves alone.
  bool HandleKey(unsigned key);

  void InitUI(CRect client) override;
  int OnMessage(unsigned id, unsigned code, unsigned wParam, long lParam) override;
  LRESULT OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
  void OnDestroyMessage(HWND hwnd) override;

 private:
  MenuItem* AddEntry(const CString& text, unsigned id, const CString& icon, int checked,
                     int enabled, bool separator);
  FontDesc MenuFont() const;
  HWND CreateWindowAt(HWND owner, CPoint at, unsigned message, int width);
  void Highlight(int index);
  // The next selectable entry from `from` in direction `step` (wrapping), -1 when none.
  int NextSelectable(int from, int step) const;
  int NextStartingWith(unsigned key) const;
  // After pointer input: an entry the pointer entered takes the highlight from the others.
  void FollowPointer();

  MObject* m_parentObject;
  HWND m_owner = nullptr;
  unsigned m_message = 0;
  int m_width = 300;
  int m_itemHeight = 35;
  int m_iconMargin = 5;
  int m_topMargin = 6;
  int m_bottomMargin = 6;
  int m_extraMargin = 6;
  CString m_fontFamily = "Open Sans Semibold";
  int m_fontSize = 18;
  std::uint32_t m_highlight = 0xFFC95100;
  std::uint32_t m_textColour = 0xFFFFFFFF;
  int m_height = 0;
  std::vector<MenuItem*> m_items;
  int m_current = -1;
  int m_depth = 0;
  bool m_windowGone = false;
  bool m_inDestructor = false;
  bool m_closing = false;
};

}  // namespace Tavex
