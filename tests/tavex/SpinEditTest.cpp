// The typed numeric field: keyboard rules, commit on Enter or focus loss, stepping.
#include <gtest/gtest.h>

#include <string>

#include "StdControlsSupport.h"
#include "tavex/Codes.h"
#include "tavex/MDialog.h"
#include "tavex/PaintManager.h"
#include "tavex/SpinButtons.h"

namespace {

using TavexTest::CountCode;
using TavexTest::CPoint;
using TavexTest::CRect;
using TavexTest::RecordingParent;

constexpr unsigned kCtrl = 17;

// Replaces the field's text by typing `text` after Ctrl+A.
void Type(Tavex::CSpinButton& s, const std::string& text) {
  s.OnKeyDown('A', 1, kCtrl);
  s.OnKeyDown(VK_DELETE, 1, 0);
  for (const char c : text) s.OnChar(static_cast<unsigned char>(c));
}

struct Field {
  RecordingParent parent;
  Tavex::CSpinButton spin{&parent, 5, CRect(0, 0, 120, 30)};
  Field(int lo, int hi, int value) {
    spin.SetRange(lo, hi);
    spin.SetValue(value);
    spin.SetControlFocus(1);
  }
};

TEST(SpinEdit, TypedValueIsClampedAndEnterNotifiesOnce) {
  Field f(0, 500, 10);
  Type(f.spin, "480");
  EXPECT_EQ(f.spin.GetValue(), 10);  // nothing taken before Enter
  EXPECT_EQ(f.spin.OnKeyDown(VK_RETURN, 1, 0), 1);
  EXPECT_EQ(f.spin.GetValue(), 480);
  EXPECT_EQ(CountCode(f.parent, Tavex::Notify::SpinChanged), 1);
  f.spin.OnKeyDown(VK_RETURN, 1, 0);  // unchanged: silent
  EXPECT_EQ(CountCode(f.parent, Tavex::Notify::SpinChanged), 1);

  Type(f.spin, "999");
  f.spin.OnKeyDown(VK_RETURN, 1, 0);
  EXPECT_EQ(f.spin.GetValue(), 500);
  EXPECT_EQ(std::string(f.spin.GetControlTitle()), "500");
  EXPECT_EQ(CountCode(f.parent, Tavex::Notify::SpinChanged), 2);
}

TEST(SpinEdit, LosingTheFocusCommitsTheTypedValue) {
  Field f(-50, 50, 0);
  Type(f.spin, "-7");
  f.spin.SetControlFocus(0);
  EXPECT_EQ(f.spin.GetValue(), -7);
  EXPECT_EQ(CountCode(f.parent, Tavex::Notify::SpinChanged), 1);
}

TEST(SpinEdit, EscapeEmptyOrIncompleteTextShowTheLastValueAgain) {
  Field f(-50, 50, 12);
  Type(f.spin, "34");
  EXPECT_EQ(f.spin.OnKeyDown(VK_ESCAPE, 1, 0), 1);  // taken by the field, not the window
  EXPECT_EQ(std::string(f.spin.GetControlTitle()), "12");
  EXPECT_EQ(f.spin.IsFocused(), 1);
  EXPECT_EQ(f.spin.OnKeyDown(VK_ESCAPE, 1, 0), 0);  // nothing typed: left to the window
  f.spin.OnKeyDown(VK_RETURN, 1, 0);
  EXPECT_EQ(f.spin.GetValue(), 12);
  Type(f.spin, "");
  f.spin.OnKeyDown(VK_RETURN, 1, 0);
  EXPECT_EQ(std::string(f.spin.GetControlTitle()), "12");
  Type(f.spin, "-");
  f.spin.SetControlFocus(0);
  EXPECT_EQ(f.spin.GetValue(), 12);
  EXPECT_EQ(std::string(f.spin.GetControlTitle()), "12");
  EXPECT_EQ(CountCode(f.parent, Tavex::Notify::SpinChanged), 0);
}

TEST(SpinEdit, RefusesLettersMisplacedMinusAndMoreDigitsThanTheRangeNeeds) {
  Field f(0, 250, 0);
  Type(f.spin, "-1a2.34");
  EXPECT_EQ(std::string(f.spin.GetControlTitle()), "123");
  EXPECT_EQ(f.spin.OnChar('x'), 1);  // swallowed, not inserted
  EXPECT_EQ(std::string(f.spin.GetControlTitle()), "123");

  Field neg(-20, 5, 0);
  Type(neg.spin, "-2-5");
  EXPECT_EQ(std::string(neg.spin.GetControlTitle()), "-25");
}

TEST(SpinEdit, ArrowsWheelAndKeysStepFromTheTypedValue) {
  Field f(0, 100, 50);
  f.spin.SetStep(5);
  const CPoint up = f.spin.GetUpRect().CenterPoint();
  f.spin.OnLButtonDown(MK_LBUTTON, up);
  f.spin.OnLButtonUp(0, up);
  EXPECT_EQ(f.spin.GetValue(), 55);
  f.spin.OnScroll(1, 1, CPoint(5, 5));
  EXPECT_EQ(f.spin.GetValue(), 50);
  f.spin.OnKeyDown(VK_UP, 1, 0);
  EXPECT_EQ(f.spin.GetValue(), 55);
  EXPECT_EQ(CountCode(f.parent, Tavex::Notify::SpinChanged), 3);

  Type(f.spin, "98");
  f.spin.OnKeyDown(VK_UP, 1, 0);  // commits 98, then stops at the bound
  EXPECT_EQ(f.spin.GetValue(), 100);
  EXPECT_EQ(std::string(f.spin.GetControlTitle()), "100");
  f.spin.OnKeyDown(VK_UP, 1, 0);
  EXPECT_EQ(CountCode(f.parent, Tavex::Notify::SpinChanged), 5);
}

TEST(SpinEditCaret, TheWindowCaretFollowsAValueThatGrewByAStep) {
  Tavex::MDialog dialog;
  auto* spin = dialog.CreateControlAs<Tavex::CSpinButton>("CSpinButton", 9, CRect(10, 10, 130, 40),
                                                          nullptr, 1, 1);
  ASSERT_NE(spin, nullptr);
  spin->SetRange(0, 100);
  spin->SetValue(9);
  Tavex::PaintManager& pm = dialog.GetPaintManager();
  pm.SetFocusControl(spin);
  spin->OnKeyDown(VK_END, 1, 0);
  const int before = pm.GetCaret().GetRect().left;
  spin->OnKeyDown(VK_UP, 1, 0);
  ASSERT_EQ(spin->GetValue(), 10);
  EXPECT_GT(pm.GetCaret().GetRect().left, before);
  EXPECT_EQ(pm.GetCaret().GetRect(), spin->GetCaretRect());
  EXPECT_LT(spin->GetCaretRect().right, spin->GetUpRect().left);
}

}  // namespace
