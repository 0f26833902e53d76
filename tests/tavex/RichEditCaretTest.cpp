// The rich edit shows its caret through the window's caret, at the text position.
#include <gtest/gtest.h>

#include "TavexTestSupport.h"
#include "tavex/Edits.h"
#include "tavex/MDialog.h"
#include "tavex/MPanel.h"
#include "tavex/PaintManager.h"
#include "tavex/WinTypes.h"

using namespace TavexTest;

TEST(RichEditCaret, TheWindowCaretFollowsTypingAndLinesAndLeavesWithTheFocus) {
  Tavex::MDialog dialog;
  auto* edit =
      dialog.CreateControlAs<Tavex::MRichEdit>("MRichEdit", 7, CRect(10, 20, 310, 220), "", 1, 1);
  ASSERT_NE(edit, nullptr);
  Tavex::PaintManager& pm = dialog.GetPaintManager();
  EXPECT_FALSE(pm.GetCaret().IsVisible());

  pm.SetFocusControl(edit);
  ASSERT_TRUE(pm.GetCaret().IsVisible());
  EXPECT_EQ(pm.GetCurrentCaretObject(), edit);
  const CRect first = pm.GetCaret().GetRect();
  EXPECT_EQ(first.left, 10 + Tavex::MRichEdit::kPadding);
  EXPECT_GT(first.Height(), 4);

  for (unsigned c : {'a', 'b'}) edit->OnWindowMessage(WM_CHAR, c, 0);
  const CRect typed = pm.GetCaret().GetRect();
  EXPECT_GT(typed.left, first.left);
  EXPECT_EQ(typed.top, first.top);

  edit->OnKeyDown(VK_RETURN, 1, 0);
  const CRect second = pm.GetCaret().GetRect();
  EXPECT_EQ(second.left, first.left);
  EXPECT_GT(second.top, first.top);
  EXPECT_EQ(second, edit->GetCaretRect());

  pm.SetFocusControl(nullptr);
  EXPECT_FALSE(pm.GetCaret().IsVisible());
}

TEST(RichEditCaret, InsideAScrolledPanelTheCaretIsPlacedWhereTheTextIsShown) {
  Tavex::MDialog dialog;
  auto* panel = static_cast<Tavex::MPanel*>(
      dialog.AddControl(new Tavex::MPanel(&dialog, 5, CRect(0, 0, 400, 200))));
  panel->SetVirtualHeight(600);
  auto* edit =
      panel->CreateControlAs<Tavex::MRichEdit>("MRichEdit", 7, CRect(10, 300, 310, 400), "", 1, 1);
  ASSERT_NE(edit, nullptr);
  panel->GetVScroll()->SetScrollPos(250);
  ASSERT_EQ(panel->GetScrollOffset().y, 250);
  dialog.GetPaintManager().SetFocusControl(panel);
  edit->SetControlFocus(1);
  const CRect caret = dialog.GetPaintManager().GetCaret().GetRect();
  EXPECT_EQ(caret.left, 10 + Tavex::MRichEdit::kPadding);
  EXPECT_GE(caret.top, 300 - 250 + Tavex::MRichEdit::kPadding);
  EXPECT_LT(caret.top, 300 - 250 + Tavex::MRichEdit::kPadding + 4);
  // Leaving the panel takes the focus from the editor, and the caret with it.
  dialog.GetPaintManager().SetFocusControl(nullptr);
  EXPECT_FALSE(dialog.GetPaintManager().GetCaret().IsVisible());
}
