#pragma once
// DListBox: a scrolling list of named entries (text, data value, image index) with hover and
// selection fills, a state icon in front of each row and, when enabled, renaming of the
// selected entry in place (a drawn edit box, MEdit, over the row's text). Notifications: 1 press on a row
// (row), 2 release on a row (row), 5 right release (hovered row or -1), 29 rename changed the
// text (0, row).
//
// Ownership: the list owns its entries. Threads: the entry setters lock the data and may be
// called from any thread; input and editing happen on the UI thread.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "tavex/MPanel.h"

namespace Tavex {

class MImageList;
class MEdit;
class InPlaceEditor;

struct ListEntry {
  CString text;
  int image = 0;
  long data = 0;
  CRect rect;
};

class TAVEX_API DListBox : public MPanel {
 public:
  static constexpr int kTextLeft = 30;

  DListBox(MObject* parent, unsigned id, CRect rect, int visible = 1);
  ~DListBox() override;

  const char* GetClassNameW() const override;

  int AddString(const char* text, long data, int image);
  int AddString(const char* text, int image = 0);
  // Before `at` (-1 appends; other values outside the rows give -1); returns count - 1.
  int InsertString(int at, const char* text, int image = 0, long data = 0);
  void DeleteItem(int row);
  int DeleteAllItems();
  int GetItemCount() const;
  CString GetItemText(int row) const;
  void ModifyItemString(int row, const char* text);
  long GetItemData(int row) const;
  void SetItemData(int row, long data);
  int FindString(const char* text) const;
  int FindItemData(long data) const;
  // Row rectangle in window coordinates (scrolling applied); empty for a bad row.
  CRect GetItemRect(int row) const;
  bool SwapItem(int a, int b);
  void SetItemHeight(int height);
  int GetItemHeight() const;
  void SetImageList(MImageList* list) { m_imageList = list; }

  int SetCurSel(int row);
  int GetCurSel() const;
  int SetCurData(long data);
  long GetCurData() const;
  int GetHoverRow() const;
  int RowAt(CPoint pt) const;

  void SetImage(const char* file, int states) override;
  void SetEditImage(const char* file, int states);
  void EnableShowEdit(int on);
  // Starts renaming the selected row (rename enabled, control enabled, a row selected).
  void ShowEdit();
  // Ends a rename: keeps a changed text (notification 29), closes the box.
  void EndEdit();
  // Ends a rename leaving the entry as it was.
  void CancelEdit();
  int GetEditRow() const;
  // Text of the open rename box (empty when none is open), and the box itself.
  std::string GetEditText() const;
  MEdit* GetEditBox() const;
  // In a layered window the box lives in a popup window over the row: that window, else null.
  HWND GetEditWindow() const;
  // Where the rename box sits (window coordinates).
  CRect GetEditRect() const;

  void DrawControl(Painter& painter, CRect paint) override;
  int OnCheckMouseResponse(unsigned keys, CPoint pt) override;
  int OnControlMouseMove(unsigned keys, CPoint pt) override;
  int OnControlLButtonDown(unsigned keys, CPoint pt) override;
  int OnControlLButtonUp(unsigned keys, CPoint pt) override;
  int OnControlRButtonUp(unsigned keys, CPoint pt) override;
  int OnControlKeyDown(unsigned key, unsigned repeat, unsigned modifiers) override;
  int OnMessage(unsigned id, unsigned code, unsigned wParam, long lParam) override;
  void OnControlMouseLeave() override;
  void SetControlFocus(int focus) override;

 protected:
  void UpdateScrollLocked();
  void AfterRowsChanged();
  void FinishEdit(bool keep);
  // Keeps the open box on its row after rows moved.
  void MoveEditBox();
  // Where the box sits in the list's virtual space (empty for a bad row).
  CRect EditBoxLocked(int row) const;

  std::vector<ListEntry> m_entries;
  int m_hover = -1;
  int m_select = -1;
  int m_editRow = -1;
  int m_rowHeight = 30;
  MImageList* m_imageList = nullptr;
  std::uint32_t m_hoverColour = 0xFF3A3A3A;
  std::uint32_t m_listTextColour = 0xFFE6E6E6;
  int m_renameOn = 0;
  CString m_editImagePath;
  int m_editStates = 1;
  Image m_stateIcon;
  Image m_editFrame;
  bool m_imagesLoaded = false;
  std::unique_ptr<InPlaceEditor> m_editor;
};

}  // namespace Tavex
