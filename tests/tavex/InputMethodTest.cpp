// The window's input context follows its edit boxes: active while a box that takes composed
// text has the focus and the window is active, dropped otherwise (real X, the input method the
// environment names, else the local composer).
#include <gtest/gtest.h>

#include <thread>

#include "NativeTestSupport.h"
#include "tavex/Edits.h"
#include "tavex/MDialog.h"

namespace {

using Tavex::CRect;
using Tavex::MEdit;
namespace Native = Tavex::Native;

class EditDialog : public Tavex::MDialog {
 public:
  void InitUI(CRect) override {
    plain = CreateControlAs<MEdit>("MEdit", 1, CRect(10, 10, 200, 40), "name", 1, 1);
    digits = CreateControlAs<MEdit>("MEdit", 2, CRect(10, 50, 200, 80), "12", 1, 1);
    password = CreateControlAs<MEdit>("MEdit", 3, CRect(10, 90, 200, 120), "", 1, 1);
    rich = CreateControl("MRichEdit", 4, CRect(10, 130, 200, 190), "", 1, 1);
    if (digits != nullptr) digits->SetDigitsOnly(1);
    if (password != nullptr) password->SetPassword(1);
  }
  HWND Make(int x) { return Create(nullptr, "ime", 0x96000000, 0, CRect(x, 40, x + 260, 240)); }
  MEdit* plain = nullptr;
  MEdit* digits = nullptr;
  MEdit* password = nullptr;
  Tavex::MControl* rich = nullptr;
};

class InputContext : public ::testing::Test {
 protected:
  void SetUp() override {
    TAVEX_REQUIRE_DISPLAY();
    hwnd = dialog.Make(40);
    ASSERT_NE(hwnd, nullptr);
    ASSERT_NE(dialog.plain, nullptr);
    dialog.ShowWindow(SW_SHOW);
    Native::SetFocus(hwnd);
    Tavex::NativeTest::Pump(50);
  }
  bool Active() const { return Native::IsInputMethodActive(hwnd); }

  EditDialog dialog;
  HWND hwnd = nullptr;
};

}  // namespace

TEST_F(InputContext, IsActiveOnlyWhileABoxThatTakesCompositionHasTheFocus) {
  EXPECT_FALSE(Active()) << "no box has the focus yet";
  dialog.SetFocusControl(dialog.plain);
  EXPECT_TRUE(Active());
  dialog.SetFocusControl(dialog.digits);
  EXPECT_FALSE(Active()) << "a digits-only box takes plain keys";
  dialog.SetFocusControl(dialog.password);
  EXPECT_FALSE(Active()) << "a password box takes plain keys";
  dialog.SetFocusControl(dialog.plain);
  EXPECT_TRUE(Active());
  dialog.SetFocusControl(nullptr);
  EXPECT_FALSE(Active());
}

TEST_F(InputContext, FollowsTheActivationOfTheWindow) {
  dialog.SetFocusControl(dialog.plain);
  ASSERT_TRUE(Active());
  EditDialog other;
  ASSERT_NE(other.Make(400), nullptr);
  other.ShowWindow(SW_SHOW);
  Native::SetFocus(other.GetSafeHwnd());
  EXPECT_FALSE(Active()) << "the context keeps the focus of an inactive window";
  EXPECT_FALSE(Native::IsInputMethodActive(other.GetSafeHwnd()));
  Native::SetFocus(hwnd);
  EXPECT_TRUE(Active()) << "the box still edits when its window is active again";
}

TEST_F(InputContext, WindowOwnUseIsOffUnlessAskedAndOffStillLeavesTheBoxesTheirs) {
  EXPECT_EQ(dialog.EnableInputMethod(1), 1);
  EXPECT_TRUE(Active());
  EXPECT_EQ(dialog.EnableInputMethod(0), 1);
  EXPECT_FALSE(Active());
  dialog.SetFocusControl(dialog.plain);
  EXPECT_TRUE(Active()) << "an edit box keeps its own context, as a native one would";
  // A disabled box gives it up; enabled again while focused, it takes it back.
  dialog.plain->SetControlEnabled(0);
  EXPECT_FALSE(Active());
  dialog.plain->SetControlEnabled(1);
  EXPECT_TRUE(Active());
}

TEST_F(InputContext, MultiLineEditorTakesCompositionToo) {
  ASSERT_NE(dialog.rich, nullptr);
  dialog.SetFocusControl(dialog.rich);
  EXPECT_TRUE(Active());
  dialog.SetFocusControl(nullptr);
  EXPECT_FALSE(Active());
}

TEST_F(InputContext, GoneWindowOrOtherThreadChangesNothing) {
  dialog.SetFocusControl(dialog.plain);
  ASSERT_TRUE(Active());
  bool fromWorker = true;
  std::thread([&] {
    fromWorker = Native::SetTextInput(hwnd, false, nullptr) || Native::EnableInputMethod(hwnd, true);
  }).join();
  EXPECT_FALSE(fromWorker);
  EXPECT_TRUE(Active());
  dialog.DestroyWindow();
  EXPECT_FALSE(Native::IsInputMethodActive(hwnd));
  EXPECT_FALSE(Native::SetTextInput(hwnd, true, nullptr));
  EXPECT_FALSE(Native::EnableInputMethod(hwnd, true));
}

TEST_F(InputContext, CompositionShowsInTheFocusedBoxWithoutTouchingItsTextAndEndsWithTheFocus) {
  dialog.SetFocusControl(dialog.plain);
  dialog.plain->SetComposition("你好", 1);
  EXPECT_EQ(dialog.plain->GetComposition(), "你好");
  EXPECT_EQ(dialog.plain->GetTitle(), "name") << "a composition is not text until committed";
  dialog.SetFocusControl(dialog.digits);
  EXPECT_EQ(dialog.plain->GetComposition(), "") << "leaving the box drops its composition";
  dialog.plain->SetComposition("你", 0);
  EXPECT_EQ(dialog.plain->GetComposition(), "") << "a box without the focus shows none";
}
