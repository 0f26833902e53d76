#pragma once
// KeyFuncControl: the palette of key functions: a row of 18 media and application icons above
// a 104-key reference keyboard of labelled cells. Each item carries a function code (HID usage
// for keys). A press sends notification 1 with the item under the pointer (-1 for none); the
// program then reads the pressed item with GetCurItemData.
// Ownership: the control owns its items and their icons. Threads: setters lock the items and
// may be called from any thread; input on the UI thread.
#include <vector>

#include "tavex/MPanel.h"

namespace Tavex {

struct KeyFuncItem {
  CString label;
  int code = 0;
  int a = 0;
  int b = 0;
  CString iconPath;
  Image icon;
  CRect rect;  // relative to the control's top-left corner
};

class TAVEX_API KeyFuncControl : public MPanel {
 public:
  static constexpr int kItemCount = 121;
  static constexpr int kIconSize = 20;

  KeyFuncControl(MObject* parent, unsigned id, CRect rect, int visible = 1);

  const char* GetClassNameW() const override;

  void InitItemInfo();
  void ClearItems();
  void SetItemDesc(int code, const CString& text);
  void SetItemCheckByItemData(int code, int a, int b);
  // False when no item was pressed; `first` is left alone.
  bool GetCurItemData(int& first, int& code, int& a, int& b, CString& label) const;
  int GetItemCount() const;
  const KeyFuncItem* GetItem(int index) const;
  int GetMarkedItem() const;
  int GetHoverItem() const;
  // Item under a window point (scrolling applied), -1 for none.
  int ItemAt(CPoint pt) const;
  // How a label is drawn in its cell: the control's font size when it fits; else smaller, down
  // to kReadablePx; else on two lines where a word starts inside it ("Num" over "Lock"); else
  // smaller still, down to kMinLabelPx, and cut with an ellipsis as the last resort.
  struct LabelFit {
    CString text;  // the label, or its two lines joined by '\n'
    int sizePx = 0;
  };
  // [UI thread] The fit of item `index`'s label at its last draw; empty before a draw.
  LabelFit GetLabelFit(int index) const;
  static constexpr int kLabelMargin = 2;
  static constexpr int kReadablePx = 10;
  static constexpr int kMinLabelPx = 8;

  void InitControl(PaintManager* manager) override;
  void DrawControl(Painter& painter, CRect paint) override;
  int OnCheckMouseResponse(unsigned keys, CPoint pt) override;
  int OnControlMouseMove(unsigned keys, CPoint pt) override;
  int OnControlLButtonDown(unsigned keys, CPoint pt) override;
  int OnControlScroll(int bar, unsigned direction, CPoint pt) override;
  void OnControlMouseLeave() override;

 private:
  std::vector<KeyFuncItem> m_items;
  // The fit of every label (under the data lock); empty when stale.
  void FitLabels(const FontDesc& font);
  std::vector<LabelFit> m_labelFits;
  FontDesc m_labelFont;

  int m_hover = -1;
  int m_pressed = -1;
  int m_marked = -1;
};

}  // namespace Tavex
