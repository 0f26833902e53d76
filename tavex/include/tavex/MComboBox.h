#pragma once
// MComboBox: shows the selected entry of a list of choices; a click opens a popup window with
// the entries below the control (above it when it would leave the work area); picking a row
// selects that entry and sends notification 2 (index, 0).
//
// Ownership: the combo box owns its entries and its popup window object.
// Threads: the item setters lock the data and may be called from any thread; opening and
// closing the popup happen on the UI thread.
#include <cstdint>
#include <memory>
#include <vector>

#include "tavex/CComboBoxList.h"
#include "tavex/MControlFont.h"

namespace Tavex {

class ComboPopupWnd;
class MDialog;

class TAVEX_API MComboBox : public MControlFont {
 public:
  static constexpr int kVisibleRows = 5;
  static constexpr int kPopupMargin = 12;

  MComboBox(MObject* parent, unsigned id, CRect rect, const char* title, int visible = 1,
            int enabled = 1);
  ~MComboBox() override;

  const char* GetClassNameW() const override;

  // Popup placement in screen coordinates for a control at `control` (screen) holding `count`
  // entries: below, 2 pixels apart, unless the bottom passes the work area's bottom.
  static CRect PopupRect(CRect control, int count, CRect workArea);

  int AddItem(const char* text, long data = 0, const char* icon = "", std::uint32_t colour = 0);
  int InsertItem(int at, const char* text, long data = 0, const char* icon = "",
                 std::uint32_t colour = 0);
  int GetCount() const;
  int SetCurSel(int index);
  int GetCurSel() const;
  long GetCurData() const;
  long GetItemData(int index) const;
  void SetItemData(int index, long data);
  int FindData(long data) const;
  int SelectData(long data);
  CString GetItemText(int index) const;
  void SetItemText(int index, const CString& text);
  void DeleteItem(int index);
  void DelAllItems();
  // The popup's look, used from its next opening: a back picture from the skin folder or
  // from a resource (type "PNG" unless given), drawn at natural size, or as a nine-part frame
  // when SetShowModeMID gave border widths (all 0: natural size again); and the resources of
  // its scroll bar (0: the library's own).
  void SetBackImage(const char* file);
  void SetBackImage(unsigned resourceId, const CString& type = "PNG");
  void SetShowModeMID(int left, int top, int right, int bottom);
  void SetScrollResID(unsigned vertical, unsigned horizontal);
  ComboPopupLook GetPopupLook() const;
  void SetTextRect(CRect rect);
  CRect GetTextRect() const;

  // [UI] Opens the popup list (closing an open one first); false without a window.
  bool OpenList();
  void CloseList();
  int IsOpen() const { return m_open; }
  // [UI] The open popup's native window, and the popup itself (null while closed).
  HWND GetPopupWindow() const;
  MDialog* GetPopup() const;

  void DrawControl(Painter& painter, CRect paint) override;
  int OnCheckMouseResponse(unsigned keys, CPoint pt) override;
  int OnControlMouseMove(unsigned keys, CPoint pt) override;
  int OnControlLButtonDown(unsigned keys, CPoint pt) override;
  int OnControlLButtonUp(unsigned keys, CPoint pt) override;
  void OnControlMouseLeave() override;
  void SetControlRect(CRect rect) override;
  // A press elsewhere in the owner window, or the window losing activation, closes the list.
  // While it is open, Up/Down, Page Up/Down and Home/End move its highlight, typed letters
  // find a row by its start, Enter picks the highlighted entry (as a click does), and Escape,
  // F4 or Alt+Up/Down close it; these keys are consumed, others pass on.
  int OnWindowMessage(unsigned msg, unsigned wParam, long lParam) override;
  // Closed and focused: F4 or Alt+Up/Down open the list; Up/Down select the entry before or
  // after (the first when none is) and notify 2 as a pick does.
  int OnControlKeyDown(unsigned key, unsigned repeat, unsigned modifiers) override;
  // Reports of the popup: a picked row (index, 19) or the popup's end.
  int OnMessage(unsigned id, unsigned code, unsigned wParam, long lParam) override;
  // The popup window tells that it is gone.
  void OnPopupClosed();

 private:
  std::vector<ComboEntry> m_entries;
  int m_select = -1;
  std::unique_ptr<ComboPopupWnd> m_popup;
  std::atomic<int> m_open{0};
  ComboPopupLook m_look;
  CRect m_textRect;
  bool m_textRectSet = false;
  PressBehaviour m_press;
  Image m_arrowImage;
  bool m_arrowLoaded = false;
};

}  // namespace Tavex
