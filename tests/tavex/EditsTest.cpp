// Edit boxes: the text rules, caret and selection, typing, the clipboard, notifications.
#include <gtest/gtest.h>

#include "StdControlsSupport.h"
#include "tavex/AnimationClock.h"
#include "tavex/Caret.h"
#include "tavex/Clipboard.h"
#include "tavex/Codes.h"
#include "tavex/EditBuffer.h"
#include "tavex/Edits.h"
#include "tavex/PaintManager.h"

namespace {

using Tavex::EditBuffer;
using TavexTest::CountCode;
using TavexTest::CPoint;
using TavexTest::CRect;
using TavexTest::RecordingParent;

constexpr unsigned kCtrl = 17;
constexpr unsigned kShift = 16;

TEST(EditBuffer, DigitsOnlyKeepsOnlyTheDigitsOfTypedAndPastedText) {
  EditBuffer b;
  b.SetDigitsOnly(true);
  EXPECT_FALSE(b.Insert("x"));
  EXPECT_TRUE(b.Insert("a1b2\n3"));
  EXPECT_EQ(b.GetText(), "123");
  b.SetText("4a5");
  EXPECT_EQ(b.GetText(), "45");
}

TEST(EditBuffer, LengthLimitCountsCodePointsAndCutsInsertions) {
  EditBuffer b;
  b.SetMaxLength(4);
  EXPECT_TRUE(b.Insert("中文ab"));
  EXPECT_FALSE(b.Insert("c"));
  EXPECT_EQ(b.GetText(), "中文ab");
  EXPECT_EQ(b.Length(), 4u);
  b.SetCaret(0);
  b.SetCaret(3, true);  // "中" selected: replacing it by two code points keeps one
  EXPECT_TRUE(b.Insert("xy"));
  EXPECT_EQ(b.GetText(), "x文ab");
}

TEST(EditBuffer, FullBoxKeepsTheSelectionWhenNothingFits) {
  EditBuffer b;
  b.SetMaxLength(2);
  b.Insert("ab");
  b.SelectAll();
  EXPECT_TRUE(b.Insert("z"));  // replacing frees the room
  EXPECT_EQ(b.GetText(), "z");
}

TEST(EditBuffer, TypingOverASelectionReplacesIt) {
  EditBuffer b("hello world");
  b.SetCaret(0);
  b.SetCaret(5, true);
  EXPECT_EQ(b.SelectedText(), "hello");
  EXPECT_TRUE(b.Insert("bye"));
  EXPECT_EQ(b.GetText(), "bye world");
  EXPECT_EQ(b.GetCaret(), 3u);
  EXPECT_FALSE(b.HasSelection());
}

TEST(EditBuffer, CaretMovesByCodePointsAndShiftSelects) {
  EditBuffer b("a中b");
  EXPECT_EQ(b.CaretIndex(), 3u);
  b.MoveLeft(false);
  EXPECT_EQ(b.GetCaret(), 4u);  // before "b", after the three bytes of "中"
  b.MoveLeft(true);
  EXPECT_EQ(b.SelectedText(), "中");
  b.MoveHome(true);
  EXPECT_EQ(b.SelectedText(), "a中");
  b.MoveRight(false);  // collapses to the selection's end
  EXPECT_EQ(b.GetCaret(), 4u);
  b.MoveEnd(false);
  EXPECT_EQ(b.CaretIndex(), 3u);
  b.SetCaret(2);  // inside "中": snapped back to its start
  EXPECT_EQ(b.GetCaret(), 1u);
}

TEST(EditBuffer, BackspaceAndDeleteRemoveWholeCodePoints) {
  EditBuffer b("x中");
  EXPECT_TRUE(b.Backspace());
  EXPECT_EQ(b.GetText(), "x");
  b.MoveTextHome(false);
  EXPECT_TRUE(b.Delete());
  EXPECT_TRUE(b.GetText().empty());
  EXPECT_FALSE(b.Backspace());
  EXPECT_FALSE(b.Delete());
}

TEST(EditBuffer, SingleLineDropsLineBreaksAndMalformedBytes) {
  EditBuffer b;
  b.Insert("a\nb\xC3");
  EXPECT_EQ(b.GetText(), "ab");
}

TEST(EditBuffer, MultiLineMovesUpAndDownByColumn) {
  EditBuffer b;
  b.SetMultiLine(true);
  b.Insert("abcd\nxy\n12345");
  EXPECT_EQ(b.HandleKey(VK_UP, false, false), EditBuffer::KeyResult::kMoved);
  EXPECT_EQ(b.GetCaret(), 7u);  // end of "xy" (column clamped)
  b.HandleKey(VK_UP, false, false);
  EXPECT_EQ(b.GetCaret(), 2u);
  b.HandleKey(VK_DOWN, true, false);
  EXPECT_EQ(b.SelectedText(), "cd\nxy");
  b.HandleKey(VK_RETURN, false, false);
  EXPECT_EQ(b.GetText(), "ab\n\n12345");
}

TEST(EditBuffer, CtrlKeysSelectAllAndAskForTheClipboard) {
  EditBuffer b("abc");
  EXPECT_EQ(b.HandleKey('C', false, true), EditBuffer::KeyResult::kNone);  // nothing selected
  EXPECT_EQ(b.HandleKey('A', false, true), EditBuffer::KeyResult::kMoved);
  EXPECT_EQ(b.SelectedText(), "abc");
  EXPECT_EQ(b.HandleKey('C', false, true), EditBuffer::KeyResult::kCopy);
  EXPECT_EQ(b.HandleKey('X', false, true), EditBuffer::KeyResult::kCut);
  EXPECT_EQ(b.HandleKey('V', false, true), EditBuffer::KeyResult::kPaste);
}

TEST(EditControl, TypedCharactersReachOnlyTheFocusedBoxAndNotifyTwentySix) {
  RecordingParent parent;
  Tavex::MEdit e(&parent, 21, CRect(0, 0, 200, 30), "");
  EXPECT_EQ(e.OnWindowMessage(WM_CHAR, 'a', 0), 0);
  e.SetControlFocus(1);
  EXPECT_EQ(CountCode(parent, Tavex::Notify::EditStarted), 1);
  e.OnWindowMessage(WM_CHAR, 0x4E2D, 0);  // 中
  e.OnWindowMessage(WM_CHAR, 'z', 0);
  e.OnWindowMessage(WM_CHAR, 0x01, 0);  // Ctrl+A's character: ignored
  EXPECT_EQ(e.GetTitle(), "中z");
  EXPECT_EQ(CountCode(parent, Tavex::Notify::TextChanged), 2);
  e.OnKeyDown(VK_LEFT, 1, 0);
  e.OnKeyDown(VK_HOME, 1, kShift);
  e.OnWindowMessage(WM_CHAR, 'q', 0);
  EXPECT_EQ(e.GetTitle(), "qz");
  e.SetControlFocus(0);
  EXPECT_EQ(CountCode(parent, Tavex::Notify::EditEnded), 1);
}

TEST(EditControl, DigitsOnlyAndLimitApplyToTyping) {
  RecordingParent parent;
  Tavex::MEdit e(&parent, 21, CRect(0, 0, 200, 30), "");
  e.SetDigitsOnly(1);
  e.SetMaxLength(3);
  e.SetControlFocus(1);
  for (unsigned c : {'1', 'x', '2', '3', '4'}) e.OnWindowMessage(WM_CHAR, c, 0);
  EXPECT_EQ(e.GetTitle(), "123");
  EXPECT_EQ(CountCode(parent, Tavex::Notify::TextChanged), 3);
}

TEST(EditControl, DisabledBoxTakesNoKeysCharactersOrPresses) {
  RecordingParent parent;
  Tavex::MEdit e(&parent, 21, CRect(0, 0, 200, 30), "abc", 1, 0);
  e.SetControlFocus(1);
  e.OnWindowMessage(WM_CHAR, 'x', 0);
  e.OnKeyDown(VK_BACK, 1, 0);
  e.OnLButtonDown(MK_LBUTTON, CPoint(20, 15));
  EXPECT_EQ(e.GetTitle(), "abc");
  EXPECT_EQ(CountCode(parent, Tavex::Notify::TextChanged), 0);
  EXPECT_EQ(CountCode(parent, Tavex::Notify::InnerPress), 0);
}

TEST(EditControl, PressInsideTheTextBoxPlacesTheCaretAndSendsNineThirtyOneAndTwo) {
  RecordingParent parent;
  Tavex::MEdit e(&parent, 21, CRect(0, 0, 300, 30), "abcdef");
  const int x = e.GetTextBox().left + 1;
  e.OnLButtonDown(MK_LBUTTON, CPoint(x, 15));
  int start = -1, end = -1;
  e.GetSel(&start, &end);
  EXPECT_EQ(start, 0);
  EXPECT_EQ(end, 0);
  e.OnLButtonUp(0, CPoint(x, 15));
  EXPECT_EQ(CountCode(parent, Tavex::Notify::InnerPress), 1);
  EXPECT_EQ(CountCode(parent, Tavex::Notify::TextBoxReleased), 1);
  EXPECT_EQ(CountCode(parent, Tavex::Notify::Click), 1);
  // The border is outside the text box: 1 instead of 9.
  e.OnLButtonDown(MK_LBUTTON, CPoint(2, 15));
  EXPECT_EQ(CountCode(parent, Tavex::Notify::Press), 1);
  EXPECT_EQ(CountCode(parent, Tavex::Notify::InnerPress), 1);
}

// The shipped box image holds normal, hover, focused and disabled side by side.
TEST(EditControl, BoxDrawsTheStateOfItsLookFromTheStateImage) {
  const Tavex::Image skin = TavexTest::ShippedSkin("img_edit.png");
  if (skin.IsNull()) GTEST_SKIP() << "skins not built";
  const int w = skin.Width() / 4, h = skin.Height();
  // Only the border: the text box (caret, text) stays out of the comparison.
  const CPoint at = TavexTest::DistinctStatePoint(skin, 4, CRect(0, 0, w, 3));
  ASSERT_GE(at.x, 0) << "the box's states look alike";
  RecordingParent parent;
  Tavex::PaintManager pm;
  auto* e = new Tavex::MEdit(&parent, 21, CRect(0, 0, w, h), "");
  pm.AddControl(e);
  e->SetImage("img_edit.png", 4);
  const auto expectState = [&](int state) {
    const ARGB got = TavexTest::Render(*e, w, h).Pixel(at.x, at.y);
    const ARGB want = skin.Pixel(state * w + at.x, at.y);
    EXPECT_TRUE(TavexTest::NearARGB(got, want, 3))
        << "state " << state << ": " << TavexTest::Hex(got) << " != " << TavexTest::Hex(want);
  };
  expectState(0);
  e->OnMouseMove(0, CPoint(w / 2, h / 2));
  expectState(1);
  e->SetControlFocus(1);
  expectState(2);
  e->SetControlFocus(0);
  e->SetEnabled(0);
  expectState(3);
}

TEST(EditControl, CaretXGrowsWithTheTextAndIndexAtXFindsItBack) {
  RecordingParent parent;
  Tavex::MEdit e(&parent, 21, CRect(0, 0, 300, 30), "mmmm");
  e.SetSel(2, 2);
  const int x2 = e.GetCaretX();
  e.SetSel(4, 4);
  EXPECT_GT(e.GetCaretX(), x2);
  EXPECT_EQ(e.IndexAtX(x2), 2);
  EXPECT_EQ(e.IndexAtX(-100), 0);
  EXPECT_EQ(e.IndexAtX(5000), 4);
}

// A key field: typing, deleting and pasting change nothing while it captures; the program
// sets what it shows (the captured key's name).
TEST(EditControl, KeyCaptureShowsWhatTheProgramSetsAndTakesNoTyping) {
  RecordingParent parent;
  Tavex::MEdit e(&parent, 38, CRect(0, 0, 200, 30), "");
  e.SetKeyCapture(1);
  EXPECT_EQ(e.IsKeyCapture(), 1);
  e.SetControlFocus(1);
  e.SetTitle("Ctrl");
  EXPECT_EQ(e.OnWindowMessage(WM_CHAR, 'a', 0), 1);  // taken, not inserted
  EXPECT_EQ(e.OnKeyDown(VK_BACK, 1, 0), 1);
  e.OnKeyDown(VK_DELETE, 1, 0);
  e.OnKeyDown('V', 1, kCtrl);
  e.SetComposition("ni", 2);
  EXPECT_EQ(e.GetTitle(), "Ctrl");
  EXPECT_TRUE(e.GetComposition().empty());
  EXPECT_EQ(CountCode(parent, Tavex::Notify::TextChanged), 0);
  e.SetTitle("F5");
  EXPECT_EQ(e.GetTitle(), "F5");
  e.SetKeyCapture(0);
  e.OnWindowMessage(WM_CHAR, 'x', 0);
  EXPECT_EQ(e.GetTitle(), "F5x");
  EXPECT_EQ(CountCode(parent, Tavex::Notify::TextChanged), 1);
}

// The caret blinks at the system blink time by the animation clock, and typing starts its
// "on" phase again.
TEST(EditControl, CaretBlinksByTheAnimationClockAndTypingRestartsIt) {
  Tavex::ManualClock clock;
  Tavex::ScopedAnimationClock installed(clock);
  const int blink = static_cast<int>(Tavex::Native::GetCaretBlinkTime());
  RecordingParent parent;
  Tavex::MEdit e(&parent, 21, CRect(0, 0, 200, 30), "");
  e.SetControlFocus(1);
  EXPECT_EQ(e.IsCaretShown(), 1);
  clock.AdvanceMs(blink - 1);
  EXPECT_EQ(e.IsCaretShown(), 1);
  clock.AdvanceMs(1);
  EXPECT_EQ(e.IsCaretShown(), 0);
  clock.AdvanceMs(blink);
  EXPECT_EQ(e.IsCaretShown(), 1);
  clock.AdvanceMs(blink + 10);
  EXPECT_EQ(e.IsCaretShown(), 0);
  e.OnWindowMessage(WM_CHAR, 'a', 0);
  EXPECT_EQ(e.IsCaretShown(), 1);
  clock.AdvanceMs(blink);
  EXPECT_EQ(e.IsCaretShown(), 0);
  e.SetControlFocus(0);
  EXPECT_EQ(e.IsCaretShown(), 0);
}

// The window's caret (rich edit) follows the same clock.
TEST(RichEditCaret, ThePhaseFollowsTheAnimationClockFromShowing) {
  Tavex::ManualClock clock;
  Tavex::ScopedAnimationClock installed(clock);
  const int blink = static_cast<int>(Tavex::Native::GetCaretBlinkTime());
  Tavex::Caret caret;
  caret.Show(true);
  EXPECT_TRUE(caret.IsPhaseOn());
  clock.AdvanceMs(blink);
  EXPECT_FALSE(caret.IsPhaseOn());
  clock.AdvanceMs(blink * 2 + 1);
  EXPECT_FALSE(caret.IsPhaseOn());
  caret.Show(false);
  caret.Show(true);
  EXPECT_TRUE(caret.IsPhaseOn());
}

TEST(Clipboard, TextRoundTripsThroughTheXClipboardSelection) {
  TAVEX_REQUIRE_DISPLAY();
  ASSERT_TRUE(Tavex::Native::SetClipboardText("Kopie 中文 ✓"));
  EXPECT_TRUE(Tavex::Native::OwnsClipboard());
  std::string got;
  ASSERT_TRUE(Tavex::Native::GetClipboardText(&got));
  EXPECT_EQ(got, "Kopie 中文 ✓");
}

TEST(Clipboard, CopyInOneBoxAndPasteIntoADigitsOnlyBox) {
  TAVEX_REQUIRE_DISPLAY();
  RecordingParent parent;
  Tavex::MEdit from(&parent, 1, CRect(0, 0, 200, 30), "ab12cd");
  Tavex::MEdit to(&parent, 2, CRect(0, 40, 200, 70), "9");
  to.SetDigitsOnly(1);
  from.SetControlFocus(1);
  from.OnKeyDown('A', 1, kCtrl);
  from.OnKeyDown('X', 1, kCtrl);
  EXPECT_EQ(from.GetTitle(), "");
  to.SetControlFocus(1);
  to.OnKeyDown('V', 1, kCtrl);
  EXPECT_EQ(to.GetTitle(), "912");
  std::string clip;
  ASSERT_TRUE(Tavex::Native::GetClipboardText(&clip));
  EXPECT_EQ(clip, "ab12cd");
}

TEST(RichEdit, EnterBreaksLinesAndCaretReportsLineAndColumn) {
  RecordingParent parent;
  Tavex::MRichEdit r(&parent, 30, CRect(0, 0, 300, 200), "one");
  r.SetControlFocus(1);
  r.OnKeyDown(VK_RETURN, 1, 0);
  for (unsigned c : {'t', 'w'}) r.OnWindowMessage(WM_CHAR, c, 0);
  EXPECT_EQ(r.GetTitle(), "one\ntw");
  EXPECT_EQ(r.GetLineCount(), 2);
  EXPECT_EQ(r.GetCaretLineColumn(), CPoint(2, 1));
  r.OnKeyDown(VK_UP, 1, 0);
  EXPECT_EQ(r.GetCaretLineColumn(), CPoint(2, 0));
  EXPECT_EQ(CountCode(parent, Tavex::Notify::TextChanged), 3);
}

}  // namespace
