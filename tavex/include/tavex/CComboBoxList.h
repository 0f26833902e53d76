#pragma once
// CComboBoxList: the rows of an open drop-down list, one 30-pixel row per entry (icon, text in
// the entry's colour, hovered row highlighted, the selected entry's text in the accent colour
// with a marker bar). Releasing the left button on a row, or Enter on the highlighted row,
// reports notification 2 with (row index, 19) to its parent. Scrolls when its rows are taller
// than it. The keyboard highlight moves by rows, by pages, to either end, or to the next row
// whose text starts with what the user typed.
// Threads: UI thread (it lives in the popup window of a combo box).
#include <cstdint>
#include <string>
#include <vector>

#include "tavex/MPanel.h"

namespace Tavex {

struct ComboEntry {
  CString text;
  CString icon;  // file of the skin folder, empty for none
  std::uint32_t colour = 0;  // 0: the list's text colour
  long data = 0;
  CRect rect;
};

// How the popup window of a combo box looks (MComboBox::SetBackImage and friends).
struct ComboPopupLook {
  CString backImage;          // file of the skin folder, empty for none
  unsigned backResource = 0;  // resource used when no file is named, 0 for none
  CString backType = "PNG";
  CRect borders;              // nine-part border widths; all 0: natural size
  unsigned scrollV = 0;       // scroll bar resources, 0: the library's own
  unsigned scrollH = 0;
};

class TAVEX_API CComboBoxList : public MPanel {
 public:
  static constexpr int kRowHeight = 30;

  CComboBoxList(MObject* parent, unsigned id, CRect rect, int visible = 1);

  const char* GetClassNameW() const override;

  void SetEntries(const std::vector<ComboEntry>& entries);
  int GetRowCount() const;
  // Row under a point of the window (scrolling taken into account), -1 for none.
  int RowAt(CPoint pt) const;
  int GetHoverRow() const;
  void SetHighlightColor(std::uint32_t argb) { Assign(m_highlight, argb); }
  void SetAccentColor(std::uint32_t argb) { Assign(m_accent, argb); }
  // The entry shown as selected (-1: none); it also starts the keyboard highlight.
  void SetSelected(int row);
  int GetSelected() const;
  // Scrolls the least needed to show the row whole.
  void ScrollToRow(int row);
  // Keyboard: moves the highlight by `delta` rows (clamped; from the selected entry when
  // nothing is highlighted, else from just before the first row going down and just after
  // the last going up) and shows it; returns the highlighted row.
  int MoveHighlight(int delta);
  // Highlights `row` (clamped to the rows) and shows it; -1 for an empty list.
  int HighlightRow(int row);
  // Rows the list shows at once (at least 1): the step of Page Up and Page Down.
  int GetPageRows() const;
  // Type-to-find: a printable code point typed at `timeMs` (message time) highlights the next
  // row, after the current one and wrapping, whose text starts with it (ASCII letters in
  // either case). Typed within kTypeAheadMs of the previous one, it extends the prefix, and
  // the current row may match it again; one letter repeated cycles through that letter's
  // rows. Returns the highlighted row, -1 when nothing matched (the highlight stays).
  static constexpr std::uint32_t kTypeAheadMs = 1000;
  int TypeToFind(char32_t cp, std::uint32_t timeMs);
  // Reports the highlighted row as picked, like a click; false when no row is highlighted.
  bool PickHighlighted();

  void DrawControl(Painter& painter, CRect paint) override;
  int OnCheckMouseResponse(unsigned keys, CPoint pt) override;
  int OnControlMouseMove(unsigned keys, CPoint pt) override;
  int OnControlLButtonUp(unsigned keys, CPoint pt) override;
  void OnControlMouseLeave() override;

 private:
  void LayoutLocked();

  std::vector<ComboEntry> m_entries;
  std::vector<Image> m_icons;
  int m_hover = -1;
  int m_selected = -1;
  std::u32string m_typed;
  std::uint32_t m_typedAt = 0;
  std::uint32_t m_highlight = 0x40FFFFFF;
  std::uint32_t m_accent;
};

}  // namespace Tavex
