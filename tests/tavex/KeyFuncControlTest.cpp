#include <gtest/gtest.h>

#include <set>

#include "TavexTestSupport.h"
#include "tavex/KeyFuncControl.h"
#include "tavex/Manager.h"
#include "tavex/Painter.h"

using namespace TavexTest;
using Tavex::KeyFuncControl;

namespace {
struct Fixture {
  RecordingParent parent;
  KeyFuncControl keys{&parent, 66, CRect(10, 20, 920, 260)};
  Fixture() { keys.InitItemInfo(); }
  int IndexOf(int code) const {
    for (int i = 0; i < keys.GetItemCount(); ++i) {
      if (keys.GetItem(i)->code == code) return i;
    }
    return -1;
  }
};
}  // namespace

TEST(KeyFuncControl, TheTableHas121CellsThatNeverOverlap) {
  Fixture f;
  ASSERT_EQ(f.keys.GetItemCount(), KeyFuncControl::kItemCount);
  for (int i = 0; i < f.keys.GetItemCount(); ++i) {
    for (int j = i + 1; j < f.keys.GetItemCount(); ++j) {
      Tavex::CRect overlap;
      EXPECT_FALSE(overlap.IntersectRect(f.keys.GetItem(i)->rect, f.keys.GetItem(j)->rect))
          << f.keys.GetItem(i)->label << " / " << f.keys.GetItem(j)->label;
    }
  }
  // Every cell has its own code.
  std::set<int> codes;
  for (int i = 0; i < f.keys.GetItemCount(); ++i) codes.insert(f.keys.GetItem(i)->code);
  EXPECT_EQ(codes.size(), 121u);
  EXPECT_EQ(f.keys.GetItem(f.IndexOf(44))->rect, CRect(186, 208, 409, 236));
  EXPECT_EQ(f.keys.GetItem(f.IndexOf(87))->rect, CRect(867, 109, 903, 170));
  EXPECT_EQ(f.keys.GetItem(f.IndexOf(69))->label, "F12");
  EXPECT_EQ(f.keys.GetItem(f.IndexOf(69))->rect.left, 559);
  EXPECT_EQ(f.keys.GetItem(17)->rect, CRect(816, 0, 859, 28));
}

TEST(KeyFuncControl, MarkingByCodeFindsF1AndCodeZeroMarksNothing) {
  Fixture f;
  f.keys.SetItemCheckByItemData(58, 0, 0);
  ASSERT_GE(f.keys.GetMarkedItem(), 0);
  EXPECT_EQ(f.keys.GetItem(f.keys.GetMarkedItem())->label, "F1");
  f.keys.SetItemCheckByItemData(58, 1, 0);
  EXPECT_EQ(f.keys.GetMarkedItem(), -1);
  f.keys.SetItemCheckByItemData(58, 0, 0);
  f.keys.SetItemCheckByItemData(0, 0, 0);
  EXPECT_EQ(f.keys.GetMarkedItem(), -1);
}

TEST(KeyFuncControl, APressReportsTheCellOrMinusOneInAGap) {
  Fixture f;
  int first = 77, code = 0, a = 5, b = 5;
  Tavex::CString label;
  EXPECT_FALSE(f.keys.GetCurItemData(first, code, a, b, label));
  // "Esc" is at (0..36, 38..66) of the control.
  f.keys.OnLButtonDown(1, CPoint(10 + 18, 20 + 50));
  ASSERT_EQ(f.parent.notes.size(), 1u);
  EXPECT_EQ(f.parent.notes[0].wParam, static_cast<unsigned>(f.IndexOf(41)));
  ASSERT_TRUE(f.keys.GetCurItemData(first, code, a, b, label));
  EXPECT_EQ(first, 77);
  EXPECT_EQ(code, 41);
  EXPECT_EQ(a, 0);
  EXPECT_EQ(label, "Esc");
  // Between "Esc" and "F1".
  f.keys.OnLButtonDown(1, CPoint(10 + 50, 20 + 50));
  EXPECT_EQ(f.parent.notes.back().wParam, static_cast<unsigned>(-1));
}

TEST(KeyFuncControl, OnlyIconCellsShowTheirDescriptionAsTooltip) {
  Fixture f;
  f.keys.SetItemDesc(242, "Calculator");
  f.keys.SetItemDesc(41, "Escape");
  f.keys.OnMouseMove(0, CPoint(10 + 48 + 20, 20 + 14));
  EXPECT_EQ(f.keys.GetHoverItem(), 1);
  EXPECT_EQ(f.keys.GetTooltip(), "Calculator");
  f.keys.OnMouseMove(0, CPoint(10 + 18, 20 + 50));
  EXPECT_EQ(f.keys.GetTooltip(), "");
}

TEST(KeyFuncControl, EveryLabelFitsItsCellWithBothEndsShown) {
  Fixture f;
  Tavex::Surface target(940, 280);
  {
    Tavex::Painter p(target);
    f.keys.Draw(p, CRect(0, 0, 940, 280));
  }
  Tavex::FontDesc font = f.keys.GetFontDesc();
  font.bold = font.italic = false;
  int labels = 0;
  for (int i = 0; i < f.keys.GetItemCount(); ++i) {
    const Tavex::KeyFuncItem& item = *f.keys.GetItem(i);
    if (!item.icon.IsNull() || item.label.empty()) continue;
    ++labels;
    const KeyFuncControl::LabelFit fit = f.keys.GetLabelFit(i);
    Tavex::FontDesc fitted = font;
    fitted.sizePx = fit.sizePx;
    EXPECT_GE(fitted.sizePx, KeyFuncControl::kReadablePx) << item.label;
    EXPECT_LE(fitted.sizePx, font.sizePx) << item.label;
    const bool twoLines = fit.text.find('\n') != std::string::npos;
    const SIZE size = Tavex::MeasureText(fit.text, fitted, 0, twoLines ? 0 : DT_SINGLELINE);
    EXPECT_LE(size.cx, item.rect.Width() - 2 * KeyFuncControl::kLabelMargin)
        << item.label << " at " << fitted.sizePx << " px";
    EXPECT_LE(size.cy, item.rect.Height()) << item.label;
    // No glyph reaches the cell's inner edges: nothing was cut off at either end.
    CRect r = item.rect;
    r.OffsetRect(10, 20);
    for (int y = r.top + 1; y < r.bottom - 1; ++y) {
      EXPECT_EQ(target.Pixel(r.left + 1, y), 0xFF515151u) << item.label << " left edge";
      EXPECT_EQ(target.Pixel(r.right - 2, y), 0xFF515151u) << item.label << " right edge";
    }
  }
  EXPECT_EQ(labels, 103);
  // Short labels keep the control's size; the keypad's "NumLock" goes on two lines.
  EXPECT_EQ(f.keys.GetLabelFit(f.IndexOf(41)).sizePx, font.sizePx);
  EXPECT_EQ(f.keys.GetLabelFit(f.IndexOf(41)).text, "Esc");
  EXPECT_EQ(f.keys.GetLabelFit(f.IndexOf(83)).text, "Num\nLock");
}

TEST(KeyFuncControl, TheMarkedCellIsFilledWithTheLibrarySelectionColour) {
  Fixture f;
  f.keys.SetItemCheckByItemData(58, 0, 0);
  Tavex::Surface target(940, 280);
  {
    Tavex::Painter p(target);
    f.keys.Draw(p, CRect(0, 0, 940, 280));
  }
  const auto fillOf = [&](int code) {
    const CRect r = f.keys.GetItem(f.IndexOf(code))->rect;
    return target.Pixel(r.left + 10 + 2, r.top + 20 + 2);
  };
  EXPECT_EQ(fillOf(58), Tavex::Manager::GetSelectColor());
  EXPECT_EQ(fillOf(59), 0xFF515151u);
}
