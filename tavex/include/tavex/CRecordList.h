#pragma once
// CRecordList: the events of one macro as rows of three columns (text, "Key Down"/"Key Up",
// delay in ms). The delay of the selected row can be edited in place: digits only, at most 5,
// an empty box counts as 10. The box is a drawn edit (MEdit) laid over the row; it ends on
// Enter, on a press that selects another row and on focus loss. Notifications: 1 press (row under the pointer or -1), 5 right
// release on a row, 29 an edit changed a delay (0, row).
//
// Ownership: the list owns its RecordItem rows; GetRecordItems hands out a copy of the
// pointer list, valid until the rows are deleted. Threads: setters lock the rows and may be
// called from any thread (the recorder appends while recording); input on the UI thread.
#include <cstdint>
#include <memory>
#include <vector>

#include <string>

#include "tavex/MPanel.h"

namespace Tavex {

class MImageList;
class MEdit;
class InPlaceEditor;

struct RecordItem {
  CString text;
  int kind = 0;  // 2 key down, 3 key up
  int value = 0;
  int delay = 0;
  CRect rect;
};

class TAVEX_API CRecordList : public MPanel {
 public:
  static constexpr int kDelayLeft = 300;
  static constexpr int kDelayWidth = 120;
  static constexpr int kEmptyDelay = 10;
  static constexpr std::size_t kDelayDigits = 5;

  CRecordList(MObject* parent, unsigned id, CRect rect, int visible = 1);
  ~CRecordList() override;

  const char* GetClassNameW() const override;

  int AddString(const CString& text, int kind, int value, int delay);
  bool UpdateDelayTime(int delay);
  int GetItemCount() const;
  int GetCurSel() const;
  int SetCurSel(int row);
  void SetItemHeight(int height);
  void SetImageList(MImageList* list) { m_imageList = list; }
  int DeleteItem(int row);
  void DeleteAllItems();
  bool SwapItem(int a, int b);
  void ShowEdit();
  void EndEdit();
  int GetEditRow() const;
  // Text of the open delay box (empty when none is open), and the box itself.
  std::string GetEditText() const;
  MEdit* GetEditBox() const;
  // In a layered window the box lives in a popup window over the row: that window, else null.
  HWND GetEditWindow() const;
  void EnableEdit(int on);
  std::vector<RecordItem*> GetRecordItems() const;
  int RowAt(CPoint pt) const;
  int GetHoverRow() const;
  // Delay box of the edited row (window coordinates).
  CRect GetEditRect() const;

  void DrawControl(Painter& painter, CRect paint) override;
  int OnCheckMouseResponse(unsigned keys, CPoint pt) override;
  int OnControlMouseMove(unsigned keys, CPoint pt) override;
  int OnControlLButtonDown(unsigned keys, CPoint pt) override;
  int OnControlRButtonUp(unsigned keys, CPoint pt) override;
  int OnControlKeyDown(unsigned key, unsigned repeat, unsigned modifiers) override;
  int OnMessage(unsigned id, unsigned code, unsigned wParam, long lParam) override;
  void OnControlMouseLeave() override;
  void SetControlFocus(int focus) override;

 private:
  void AfterRowsChanged(bool resetScroll);
  // Ends a running edit, keeping the typed delay or dropping it.
  void FinishEdit(bool keep);
  CRect EditBoxLocked(int row) const;

  std::vector<std::unique_ptr<RecordItem>> m_rows;
  int m_hover = -1;
  int m_select = -1;
  int m_editRow = -1;
  int m_rowHeight = 41;
  MImageList* m_imageList = nullptr;
  std::uint32_t m_hoverColour = 0xFF7A7A7A;
  std::uint32_t m_rowText = 0xFFB4B4B4;
  std::uint32_t m_selectedText = 0xFFFFFFFF;
  int m_editAllowed = 1;
  std::unique_ptr<InPlaceEditor> m_editor;
};

}  // namespace Tavex
