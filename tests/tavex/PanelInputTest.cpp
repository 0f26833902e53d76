// Keys and characters typed through the X server reach edit boxes that sit inside panels, and
// the lists' in-place boxes, in a real window.
#include <gtest/gtest.h>

#include "NativeTestSupport.h"
#undef TAVEX_REQUIRE_DISPLAY
#include "TavexTestSupport.h"
#include "tavex/CRecordList.h"
#include "tavex/Codes.h"
#include "tavex/DListBox.h"
#include "tavex/Edits.h"
#include "tavex/MDialog.h"
#include "tavex/MPanel.h"

using namespace TavexTest;
using Tavex::NativeTest::PumpUntil;

namespace {

constexpr int kLeft = 100, kTop = 100;

void Send(Tavex::Native::InputEvent e) { ASSERT_EQ(Tavex::Native::SendInput(&e, 1), 1u); }

// A click at a client point of the host window.
void ClickAt(CPoint client) {
  Tavex::Native::InputEvent e;
  e.kind = Tavex::Native::InputEvent::MouseMove;
  e.x = kLeft + client.x;
  e.y = kTop + client.y;
  Send(e);
  e.kind = Tavex::Native::InputEvent::ButtonDown;
  e.vk = VK_LBUTTON;
  Send(e);
  e.kind = Tavex::Native::InputEvent::ButtonUp;
  Send(e);
}

void Tap(UINT vk) {
  Tavex::Native::InputEvent e;
  e.vk = vk;
  e.kind = Tavex::Native::InputEvent::KeyDown;
  Send(e);
  e.kind = Tavex::Native::InputEvent::KeyUp;
  Send(e);
}

void TypeText(const std::string& text) {
  for (char c : text) Tap(static_cast<UINT>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c));
}

class Host : public Tavex::MDialog {
 public:
  int OnMessage(unsigned id, unsigned code, unsigned wParam, long lParam) override {
    notes.push_back({id, code, wParam, lParam});
    return 1;
  }
  std::vector<Notification> notes;
};

class PanelInputTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!Tavex::Native::DisplayAvailable()) GTEST_SKIP() << "no display";
    ASSERT_NE(host.Create(nullptr, "panels", 0x96000000, 0, CRect(kLeft, kTop, kLeft + 600, kTop + 400)),
              nullptr);
    outer = static_cast<Tavex::MPanel*>(
        host.AddControl(new Tavex::MPanel(&host, 10, CRect(0, 0, 600, 400))));
    ASSERT_NE(outer, nullptr);
    outerEdit = outer->CreateControlAs<Tavex::MEdit>("MEdit", 11, CRect(20, 20, 220, 50), "", 1, 1);
    inner = static_cast<Tavex::MPanel*>(
        outer->AddControl(new Tavex::MPanel(outer, 12, CRect(0, 80, 600, 400))));
    innerEdit =
        inner->CreateControlAs<Tavex::MEdit>("MEdit", 13, CRect(20, 90, 220, 120), "", 1, 1);
    list =
        inner->CreateControlAs<Tavex::DListBox>("DListBox", 14, CRect(20, 140, 240, 230), "", 1, 1);
    records = inner->CreateControlAs<Tavex::CRecordList>("CRecordList", 15,
                                                         CRect(150, 250, 590, 380), "", 1, 1);
    ASSERT_TRUE(outerEdit && inner && innerEdit && list && records);
    list->AddString("Alpha", 1L, 0);
    list->AddString("Beta", 2L, 0);
    list->EnableShowEdit(1);
    records->AddString("A", 2, 0x41, 20);
    records->AddString("A", 3, 0x41, 35);
    Tavex::Native::SetFocus(host.GetSafeHwnd());
    PumpUntil([] { return false; }, 100);
  }
  void TearDown() override {
    if (host.GetSafeHwnd() != nullptr) host.DestroyWindow();
    Tavex::NativeTest::Pump(20);
  }
  int Count(unsigned id, unsigned code) const {
    int n = 0;
    for (const Notification& note : host.notes) n += note.id == id && note.code == code ? 1 : 0;
    return n;
  }

  Host host;
  Tavex::MPanel* outer = nullptr;
  Tavex::MPanel* inner = nullptr;
  Tavex::MEdit* outerEdit = nullptr;
  Tavex::MEdit* innerEdit = nullptr;
  Tavex::DListBox* list = nullptr;
  Tavex::CRecordList* records = nullptr;
};

}  // namespace

TEST_F(PanelInputTest, KeysReachAnEditInAPanelAndInAPanelInsideAPanel) {
  ClickAt(CPoint(120, 35));
  TypeText("ab");
  ASSERT_TRUE(PumpUntil([&] { return outerEdit->GetTitle() == "ab"; })) << outerEdit->GetTitle();
  Tap(VK_LEFT);
  Tap(VK_BACK);
  ASSERT_TRUE(PumpUntil([&] { return outerEdit->GetTitle() == "b"; })) << outerEdit->GetTitle();

  // A press on the nested box moves the focus there: the first box no longer takes keys.
  ClickAt(CPoint(120, 105));
  TypeText("cd");
  ASSERT_TRUE(PumpUntil([&] { return innerEdit->GetTitle() == "cd"; })) << innerEdit->GetTitle();
  EXPECT_EQ(outerEdit->GetTitle(), "b");
  EXPECT_FALSE(outerEdit->IsFocused());
  EXPECT_TRUE(inner->IsFocused());
  EXPECT_GE(Count(13, Tavex::Notify::TextChanged), 2)
      << "the nested box reports its changes to the dialog";
  EXPECT_GE(Count(11, Tavex::Notify::EditEnded), 1)
      << "the first box reported the end of its editing";
}

TEST_F(PanelInputTest, TheRenameBoxTakesTypedKeysAndEndsOnAPressElsewhere) {
  ClickAt(CPoint(60, 155));
  ASSERT_TRUE(PumpUntil([&] { return list->GetCurSel() == 0; }));
  list->ShowEdit();
  ASSERT_EQ(list->GetEditRow(), 0);
  Tap(VK_BACK);
  TypeText("z");
  ASSERT_TRUE(PumpUntil([&] { return list->GetEditText() == "Alphz"; })) << list->GetEditText();
  // A press on the other box ends the rename with the typed text.
  ClickAt(CPoint(120, 105));
  ASSERT_TRUE(PumpUntil([&] { return list->GetEditRow() < 0; }));
  EXPECT_EQ(list->GetItemText(0), "Alphz");
  EXPECT_EQ(Count(14, Tavex::Notify::EditEnded), 1);
  for (const Notification& note : host.notes) {
    EXPECT_TRUE(note.id >= 10 && note.id <= 15) << "the box itself stays private: " << note.id;
  }
}

TEST_F(PanelInputTest, TheDelayBoxTakesDigitsOnlyAndEnterKeepsThem) {
  ClickAt(CPoint(150 + 350, 250 + 61));
  ASSERT_TRUE(PumpUntil([&] { return records->GetEditRow() == 1; }));
  EXPECT_EQ(records->GetEditText(), "35");
  TypeText("7x8");
  ASSERT_TRUE(PumpUntil([&] { return records->GetEditText() == "3578"; })) << records->GetEditText();
  Tap(VK_RETURN);
  ASSERT_TRUE(PumpUntil([&] { return records->GetEditRow() < 0; }));
  EXPECT_EQ(records->GetRecordItems()[1]->delay, 3578);
  EXPECT_EQ(Count(15, Tavex::Notify::EditEnded), 1);
}

namespace {
class LayeredInPlace : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!Tavex::Native::DisplayAvailable()) GTEST_SKIP() << "no display";
    host.SetLayeredWindow(1);
    ASSERT_NE(host.Create(nullptr, "layered", 0x96000000, 0, CRect(kLeft, kTop, kLeft + 600, kTop + 400)),
              nullptr);
    auto* panel = static_cast<Tavex::MPanel*>(
        host.AddControl(new Tavex::MPanel(&host, 10, CRect(0, 0, 600, 400))));
    list =
        panel->CreateControlAs<Tavex::DListBox>("DListBox", 14, CRect(20, 140, 240, 230), "", 1, 1);
    records = panel->CreateControlAs<Tavex::CRecordList>("CRecordList", 15,
                                                         CRect(150, 250, 590, 380), "", 1, 1);
    ASSERT_TRUE(list && records);
    list->AddString("Alpha", 1L, 0);
    list->AddString("Beta", 2L, 0);
    list->EnableShowEdit(1);
    records->AddString("A", 2, 0x41, 20);
    Tavex::Native::SetFocus(host.GetSafeHwnd());
    PumpUntil([] { return false; }, 100);
  }
  void TearDown() override {
    if (host.GetSafeHwnd() != nullptr) host.DestroyWindow();
    Tavex::NativeTest::Pump(50);
  }
  int Count29(unsigned id) const {
    int n = 0;
    for (const Notification& note : host.notes)
      n += note.id == id && note.code == Tavex::Notify::EditEnded ? 1 : 0;
    return n;
  }
  Host host;
  Tavex::DListBox* list = nullptr;
  Tavex::CRecordList* records = nullptr;
};
}  // namespace

TEST_F(LayeredInPlace, TheRenameBoxIsAPopupOverTheRowThatEndsOnEnterEscapeAndFocusLoss) {
  list->SetCurSel(1);
  list->ShowEdit();
  const HWND popup = list->GetEditWindow();
  ASSERT_NE(popup, nullptr);
  RECT r{};
  ASSERT_TRUE(Tavex::Native::GetWindowRect(popup, &r));
  const CRect box = list->GetEditRect();
  EXPECT_EQ(CRect(r), CRect(kLeft + box.left, kTop + box.top, kLeft + box.right, kTop + box.bottom));
  EXPECT_EQ(box.left, 20 + Tavex::DListBox::kTextLeft);
  EXPECT_EQ(list->GetEditText(), "Beta");

  ASSERT_TRUE(PumpUntil([&] { return Tavex::Native::GetFocus() == popup; }));
  Tap(VK_BACK);
  TypeText("q");
  ASSERT_TRUE(PumpUntil([&] { return list->GetEditText() == "Betq"; })) << list->GetEditText();
  Tap(VK_RETURN);
  ASSERT_TRUE(PumpUntil([&] { return list->GetEditRow() < 0 && !Tavex::Native::IsWindow(popup); }));
  EXPECT_EQ(list->GetItemText(1), "Betq");
  EXPECT_EQ(Count29(14), 1);

  list->ShowEdit();
  ASSERT_NE(list->GetEditWindow(), nullptr);
  ASSERT_TRUE(PumpUntil([&] { return Tavex::Native::GetFocus() == list->GetEditWindow(); }));
  TypeText("x");
  ASSERT_TRUE(PumpUntil([&] { return list->GetEditText() == "Betqx"; }));
  Tap(VK_ESCAPE);
  ASSERT_TRUE(PumpUntil([&] { return list->GetEditRow() < 0; }));
  EXPECT_EQ(list->GetItemText(1), "Betq");

  // The focus going back to the list's window ends the rename and keeps the text.
  list->ShowEdit();
  const HWND third = list->GetEditWindow();
  ASSERT_TRUE(PumpUntil([&] { return Tavex::Native::GetFocus() == third; }));
  TypeText("y");
  ASSERT_TRUE(PumpUntil([&] { return list->GetEditText() == "Betqy"; }));
  Tavex::Native::SetFocus(host.GetSafeHwnd());
  ASSERT_TRUE(PumpUntil([&] { return list->GetEditRow() < 0 && !Tavex::Native::IsWindow(third); }));
  EXPECT_EQ(list->GetItemText(1), "Betqy");
  EXPECT_EQ(Count29(14), 2);
}

TEST_F(LayeredInPlace, TheDelayBoxPopupTakesDigitsOnly) {
  records->OnMouseMove(0, CPoint(500, 270));
  records->SetCurSel(0);
  records->ShowEdit();
  const HWND popup = records->GetEditWindow();
  ASSERT_NE(popup, nullptr);
  ASSERT_TRUE(PumpUntil([&] { return Tavex::Native::GetFocus() == popup; }));
  TypeText("a12345");
  ASSERT_TRUE(PumpUntil([&] { return records->GetEditText() == "20123"; })) << records->GetEditText();
  Tap(VK_RETURN);
  ASSERT_TRUE(PumpUntil([&] { return records->GetEditRow() < 0; }));
  EXPECT_EQ(records->GetRecordItems()[0]->delay, 20123);
  EXPECT_EQ(Count29(15), 1);
}

namespace {
bool Shell(const std::string& command) { return std::system(command.c_str()) == 0; }
}  // namespace

// The popup of a layered window is a window of its own: the input method must follow the focus
// there. The local composer (Compose sequences) stands in for any method.
TEST_F(LayeredInPlace, ComposedTextReachesTheRenamePopupWhileTheDelayPopupTakesPlainDigits) {
  if (!Shell("command -v xdotool >/dev/null && command -v xmodmap >/dev/null")) {
    GTEST_SKIP() << "xdotool or xmodmap missing";
  }
  // A spare keycode becomes the Compose key for the test.
  ASSERT_TRUE(Shell("xmodmap -e 'keycode 93 = Multi_key' >/dev/null 2>&1"));
  list->SetCurSel(1);
  list->ShowEdit();
  const HWND popup = list->GetEditWindow();
  ASSERT_NE(popup, nullptr);
  ASSERT_TRUE(PumpUntil([&] { return Tavex::Native::GetFocus() == popup; }));
  EXPECT_TRUE(Tavex::Native::IsInputMethodActive(popup));
  EXPECT_FALSE(Tavex::Native::IsInputMethodActive(host.GetSafeHwnd()));
  ASSERT_TRUE(Shell("xdotool key --delay 30 Multi_key apostrophe e"));
  ASSERT_TRUE(PumpUntil([&] { return list->GetEditText() == "Betaé"; })) << list->GetEditText();
  Tap(VK_RETURN);
  ASSERT_TRUE(PumpUntil([&] { return list->GetEditRow() < 0; }));
  EXPECT_EQ(list->GetItemText(1), "Betaé");
  EXPECT_EQ(Count29(14), 1);
  // The popup goes at the next turn of the loop, and hands the keyboard back as it goes.
  EXPECT_TRUE(PumpUntil([&] { return Tavex::Native::GetFocus() == host.GetSafeHwnd(); }))
      << "the keyboard went back to the list";

  records->OnMouseMove(0, CPoint(500, 270));
  records->SetCurSel(0);
  records->ShowEdit();
  const HWND delay = records->GetEditWindow();
  ASSERT_NE(delay, nullptr);
  ASSERT_TRUE(PumpUntil([&] { return Tavex::Native::GetFocus() == delay; }));
  EXPECT_FALSE(Tavex::Native::IsInputMethodActive(delay)) << "digits take plain keys";
  TypeText("45");
  ASSERT_TRUE(PumpUntil([&] { return records->GetEditText() == "2045"; })) << records->GetEditText();
  Tap(VK_RETURN);
  ASSERT_TRUE(PumpUntil([&] { return records->GetEditRow() < 0; }));
  EXPECT_EQ(records->GetRecordItems()[0]->delay, 2045);
  Shell("xmodmap -e 'keycode 93 =' >/dev/null 2>&1");
}
