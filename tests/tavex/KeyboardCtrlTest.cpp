#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "TavexTestSupport.h"
#include "tavex/Codes.h"
#include "tavex/ControlFactory.h"
#include "tavex/KeyboardCtrl.h"
#include "tavex/KeyboardTips.h"
#include "tavex/MDialog.h"
#include "tavex/MRender.h"

using namespace TavexTest;
using Tavex::Image;
using Tavex::KeyboardCtrl;
using Tavex::KeyboardTips;

namespace {

// The control sits at (10, 20)-(410, 220) with a 300 × 150 picture centred: offset (50, 0).
// Key A (value 4) covers window (70, 30)-(110, 70), key B (value 5) (120, 30)-(160, 70) and
// key C (value 6) (70, 130)-(110, 160).
struct Board {
  RecordingParent parent;
  KeyboardCtrl ctrl{&parent, 69, CRect(10, 20, 410, 220)};
  Board() {
    ctrl.SetWidthAndHeight(300, 150);
    ctrl.AddKeyItem("A", "Key A", 4, CRect(10, 10, 50, 50), "");
    ctrl.AddKeyItem("B", "Key B", 5, CRect(60, 10, 100, 50), "");
    ctrl.AddKeyItem("C", "Key C", 6, CRect(10, 110, 50, 140), "");
  }
  void Picture() {
    std::vector<std::uint32_t> pixels(300 * 150, 0xFF202020);
    ctrl.SetKeyboardPicture(Image::FromARGB(300, 150, pixels.data()));
  }
  void Click(CPoint pt) {
    ctrl.OnMouseMove(0, pt);
    ctrl.OnLButtonDown(MK_LBUTTON, pt);
    ctrl.OnLButtonUp(0, pt);
  }
  const Notification& Last() const { return parent.notes.back(); }
};

const CPoint kOnA{80, 40};
const CPoint kOnB{130, 40};
const CPoint kEmpty{300, 200};

}  // namespace

TEST(KeyboardCtrl, LightSpeedGivesTicksPerFrameAndOddSpeedsOneTick) {
  Board b;
  const std::vector<std::pair<int, int>> cases = {{0, 12}, {1, 9}, {2, 6}, {3, 3}, {7, 1}, {-1, 1}};
  for (const auto& [speed, ticks] : cases) {
    b.ctrl.SetLightSpeed(speed);
    EXPECT_EQ(b.ctrl.GetTicksPerFrame(), ticks) << "speed " << speed;
  }
}

TEST(KeyboardCtrl, PreviewFramesAlternateAtTheLightSpeed) {
  RecordingParent parent;
  KeyboardCtrl ctrl(&parent, 1, CRect(0, 0, 1100, 400));
  std::vector<std::uint32_t> pixels(16, 0xFF000000);
  ctrl.SetKeyboardPicture(Image::FromARGB(4, 4, pixels.data()));
  for (int i = 0; i < 87; ++i) ctrl.AddKeyItem("k", "k", 100 + i, CRect(i * 10, 0, i * 10 + 9, 9), "");
  std::vector<unsigned char> data(174);
  for (int i = 0; i < 87; ++i) {
    data[i] = 10;
    data[87 + i] = 200;
  }
  ctrl.SetLightModeData(data.data(), static_cast<int>(data.size()));
  EXPECT_EQ(ctrl.GetFrameCount(), 2);
  ctrl.SetKeyboardCtrlMode(KeyboardCtrl::kModePreview);
  ctrl.SetLightSpeed(3);

  std::vector<int> frames;
  std::vector<size_t> repaints;
  for (int tick = 0; tick < 9; ++tick) {
    // The control invalidates the keys it changes itself; the whole-control redraw the
    // result asks for is never wanted.
    EXPECT_EQ(ctrl.OnTimer(), 0);
    frames.push_back(ctrl.GetCurrentFrame());
    repaints.push_back(parent.repaints.size());
  }
  EXPECT_EQ(frames, (std::vector<int>{0, 0, 1, 1, 1, 0, 0, 0, 1}));
  const size_t r = repaints[0];
  EXPECT_EQ(repaints, (std::vector<size_t>{r, r, r + 1, r + 1, r + 1, r + 2, r + 2, r + 2, r + 3}));
  // Every key changed: the area is all of them (at the default picture offset (6, 6), two
  // pixels more around each outline), not the whole control.
  EXPECT_EQ(parent.repaints.back(), CRect(4, 4, 877, 17));
  const auto shapes = ctrl.BuildShapes();
  ASSERT_EQ(shapes.size(), 87u);
  EXPECT_EQ(shapes[40].colour, 0xC8000000u);  // alpha 200: frame 1

  // Other modes never repaint at a tick; no data stops the preview.
  const auto quiet = [&] {
    const size_t before = parent.repaints.size();
    for (int tick = 0; tick < 5; ++tick) EXPECT_EQ(ctrl.OnTimer(), 0);
    EXPECT_EQ(parent.repaints.size(), before);
  };
  ctrl.SetKeyboardCtrlMode(KeyboardCtrl::kModeAssign);
  quiet();
  ctrl.SetKeyboardCtrlMode(KeyboardCtrl::kModePreview);
  ctrl.SetLightModeData(nullptr, 10);
  EXPECT_EQ(ctrl.GetFrameCount(), 0);
  quiet();
  EXPECT_EQ(ctrl.BuildShapes()[0].colour, 0xFF000000u);  // no data: opaque black
}

TEST(KeyboardCtrl, FrameDataOnAControlWithoutKeysGivesNoFrames) {
  RecordingParent parent;
  KeyboardCtrl ctrl(&parent, 1, CRect(0, 0, 100, 100));
  const unsigned char bytes[4] = {1, 2, 3, 4};
  ctrl.SetLightModeData(bytes, 4);
  EXPECT_EQ(ctrl.GetFrameCount(), 0);
  ctrl.SetKeyboardCtrlMode(KeyboardCtrl::kModePreview);
  EXPECT_EQ(ctrl.OnTimer(), 0);
}

TEST(KeyboardCtrl, LeftClicksReportTheKeyOrMinusOneOnEmptySpace) {
  Board b;
  b.Click(kEmpty);
  ASSERT_EQ(b.parent.notes.size(), 1u);
  EXPECT_EQ(b.Last().id, 69u);
  EXPECT_EQ(b.Last().code, Tavex::Notify::Click);
  EXPECT_EQ(b.Last().wParam, 0xFFFFFFFFu);
  EXPECT_EQ(b.Last().lParam, 0);

  b.Click(kOnB);
  EXPECT_EQ(b.Last().code, Tavex::Notify::Click);
  EXPECT_EQ(b.Last().wParam, 1u);
  EXPECT_EQ(b.Last().lParam, 5);
  EXPECT_EQ(b.ctrl.GetCurrentKeyValue(), 5u);

  // A release outside the control reports nothing.
  b.ctrl.OnLButtonDown(MK_LBUTTON, kOnA);
  b.ctrl.OnLButtonUp(0, CPoint(500, 500));
  EXPECT_EQ(b.parent.notes.size(), 2u);
}

TEST(KeyboardCtrl, ClicksInColourModeToggleTheKeyBetweenCyanAndDark) {
  Board b;
  b.ctrl.SetKeyboardCtrlMode(KeyboardCtrl::kModeColours);
  b.ctrl.SetLightModeColor(0, 0);
  b.Click(kOnA);
  EXPECT_EQ(b.ctrl.GetKeyColor(4), 0x00FFFF00u);
  EXPECT_EQ(b.Last().lParam, 4);
  b.Click(kOnA);
  EXPECT_EQ(b.ctrl.GetKeyColor(4), 0u);
  EXPECT_EQ(b.ctrl.GetKeyColor(5), 0u);
  // Any other colour goes dark on the first click; other modes leave colours alone.
  b.ctrl.SetKeyColor(5, 0x123456);
  b.Click(kOnB);
  EXPECT_EQ(b.ctrl.GetKeyColor(5), 0u);
  b.ctrl.SetKeyboardCtrlMode(KeyboardCtrl::kModeAssign);
  b.Click(kOnB);
  EXPECT_EQ(b.ctrl.GetKeyColor(5), 0u);
}

TEST(KeyboardCtrl, RightDragChecksTouchedKeysAndEndsWithCode24) {
  Board b;
  b.ctrl.EnableFrameSelect(1);
  b.ctrl.SetKeyCheck(6, 1);
  b.ctrl.OnRButtonDown(MK_RBUTTON, CPoint(65, 25));
  b.ctrl.OnMouseMove(MK_RBUTTON, CPoint(125, 50));
  EXPECT_TRUE(b.ctrl.IsFrameDragging());
  b.ctrl.OnRButtonUp(0, CPoint(125, 50));
  ASSERT_EQ(b.parent.notes.size(), 1u);
  EXPECT_EQ(b.Last().code, Tavex::Notify::FrameSelected);
  EXPECT_EQ(b.Last().wParam, 0u);
  EXPECT_EQ(b.Last().lParam, 0);
  const auto keys = b.ctrl.GetKeyItems();
  EXPECT_EQ(keys[0]->checked, 1);
  EXPECT_EQ(keys[1]->checked, 1);
  EXPECT_EQ(keys[2]->checked, 0);
  EXPECT_FALSE(b.ctrl.IsFrameDragging());
}

TEST(KeyboardCtrl, SmallRightMovesStayARightClickOnTheKey) {
  Board b;
  b.ctrl.EnableFrameSelect(1);
  b.ctrl.SetKeyCheck(6, 1);
  b.ctrl.OnRButtonDown(MK_RBUTTON, kOnA);
  b.ctrl.OnMouseMove(MK_RBUTTON, CPoint(kOnA.x + 15, kOnA.y + 10));
  EXPECT_FALSE(b.ctrl.IsFrameDragging());
  b.ctrl.OnRButtonUp(0, CPoint(kOnA.x + 15, kOnA.y + 10));
  ASSERT_EQ(b.parent.notes.size(), 1u);
  EXPECT_EQ(b.Last().code, Tavex::Notify::RightClick);
  EXPECT_EQ(b.Last().wParam, 0u);
  EXPECT_EQ(b.Last().lParam, 4);
  EXPECT_EQ(b.ctrl.GetCheckItemCount(), 1);  // the earlier check survives

  b.ctrl.OnRButtonUp(0, kEmpty);
  EXPECT_EQ(b.Last().code, Tavex::Notify::RightClick);
  EXPECT_EQ(b.Last().wParam, 0xFFFFFFFFu);
  EXPECT_EQ(b.Last().lParam, 0);
}

TEST(KeyboardCtrl, ADragWhosePressWasNotSeenSelectsNothing) {
  Board b;
  b.ctrl.EnableFrameSelect(1);
  b.ctrl.SetKeyCheck(6, 1);
  // The button went down outside the control (no press reached it).
  b.ctrl.OnMouseMove(MK_RBUTTON, CPoint(125, 50));
  EXPECT_FALSE(b.ctrl.IsFrameDragging());
  EXPECT_EQ(b.ctrl.GetCheckItemCount(), 1);
  b.ctrl.OnRButtonUp(0, CPoint(125, 50));
  EXPECT_EQ(b.Last().code, Tavex::Notify::RightClick);
}

TEST(KeyboardCtrl, SelectionsBelowSixPixelsTouchNothing) {
  EXPECT_TRUE(KeyboardCtrl::SelectionRect(CPoint(10, 10), CPoint(15, 100)).IsRectEmpty());
  EXPECT_TRUE(KeyboardCtrl::SelectionRect(CPoint(10, 10), CPoint(100, 15)).IsRectEmpty());
  EXPECT_EQ(KeyboardCtrl::SelectionRect(CPoint(16, 16), CPoint(10, 10)), CRect(10, 10, 16, 16));
}

TEST(KeyboardCtrl, LookupsOfAnUnknownKeyValueChangeNothing) {
  Board b;
  b.ctrl.SetKeyCheck(5, 1);
  const size_t repaints = b.parent.repaints.size();
  b.ctrl.SetKeyCheck(99, 1);
  b.ctrl.SetKeyColor(99, 0x112233);
  b.ctrl.SetKeyDesc(99, "x");
  EXPECT_EQ(b.ctrl.GetCheckItemCount(), 1);
  EXPECT_EQ(b.ctrl.GetKeyColor(99), 0u);
  for (const Tavex::KEY_INFO* key : b.ctrl.GetKeyItems()) {
    EXPECT_EQ(key->colour, KeyboardCtrl::kDefaultKeyColour);
    EXPECT_NE(key->name, "x");
  }
  EXPECT_EQ(b.parent.repaints.size(), repaints);
}

TEST(KeyboardCtrl, ClearItemLeavesNoStaleHoveredOrSelectedKey) {
  Board b;
  b.ctrl.OnMouseMove(0, kOnB);
  b.ctrl.OnLButtonDown(MK_LBUTTON, kOnB);
  EXPECT_EQ(b.ctrl.GetHoverItem(), 1);
  EXPECT_EQ(b.ctrl.GetSelectItem(), 1);
  b.ctrl.ClearItem();
  EXPECT_EQ(b.ctrl.GetHoverItem(), -1);
  EXPECT_EQ(b.ctrl.GetSelectItem(), -1);
  b.ctrl.OnLButtonUp(0, kOnB);
  EXPECT_EQ(b.Last().wParam, 0xFFFFFFFFu);

  // The first new key must not inherit the old selection.
  b.ctrl.AddKeyItem("N", "New", 9, CRect(0, 0, 10, 10), "");
  b.ctrl.AddKeyItem("M", "New", 10, CRect(60, 10, 100, 50), "");
  b.ctrl.SetAllSelectColor(0x0000FF);
  EXPECT_EQ(b.ctrl.GetKeyColor(10), KeyboardCtrl::kDefaultKeyColour);
  EXPECT_EQ(b.ctrl.GetKeyItems()[1]->index, 1);
}

TEST(KeyboardCtrl, ModesDecideEachKeysShape) {
  Board b;
  EXPECT_EQ(b.ctrl.GetPictureOffset(), CPoint(50, 0));
  auto shapes = b.ctrl.BuildShapes();  // mode 100
  ASSERT_EQ(shapes.size(), 3u);
  EXPECT_EQ(shapes[0].rect, CRect(61, 11, 99, 49));
  EXPECT_EQ(shapes[0].colour, 0xFF007ACCu);

  b.ctrl.SetKeyboardCtrlMode(KeyboardCtrl::kModeColours);
  EXPECT_TRUE(b.ctrl.BuildShapes().empty());  // no picture: background only
  b.Picture();
  b.ctrl.SetKeyColor(5, RGB(0x11, 0x22, 0x33));
  shapes = b.ctrl.BuildShapes();
  ASSERT_EQ(shapes.size(), 3u);
  EXPECT_EQ(shapes[1].rect, CRect(110, 10, 150, 50));
  EXPECT_EQ(shapes[1].colour, 0xFF112233u);

  b.ctrl.SetKeyboardCtrlMode(KeyboardCtrl::kModeAssign);
  EXPECT_TRUE(b.ctrl.BuildShapes().empty());
  b.ctrl.SetKeyCheck(6, 1);
  b.ctrl.SetSelectItem(0);
  shapes = b.ctrl.BuildShapes();
  ASSERT_EQ(shapes.size(), 2u);
  EXPECT_EQ(shapes[0].index, 0);
  EXPECT_EQ(shapes[1].index, 2);
  EXPECT_EQ(shapes[1].colour, 0xFFCA5100u);

  b.ctrl.SetKeyboardCtrlMode(KeyboardCtrl::kModeMusic);
  b.ctrl.SetMusicBrightness(128);
  shapes = b.ctrl.BuildShapes();
  EXPECT_EQ(shapes[0].colour, ARGBFromCOLORREF(0x00FFFF00, 128));

  b.ctrl.SetKeyboardCtrlMode(99);
  EXPECT_TRUE(b.ctrl.BuildShapes().empty());
}

TEST(KeyboardCtrl, RedrawsReuseTheCachedImageUntilAValueChanges) {
  Board b;
  Tavex::Surface target(420, 240);
  {
    Tavex::Painter p(target);
    b.ctrl.Draw(p, CRect(0, 0, 420, 240));
    b.ctrl.Draw(p, CRect(0, 0, 420, 240));
  }
  EXPECT_EQ(b.ctrl.GetRedrawCount(), 1);
  // Key A in mode 100: blue, shrunk by one pixel (its label sits in the middle).
  EXPECT_EQ(target.Pixel(72, 32), 0xFF007ACCu);
  EXPECT_EQ(target.Pixel(70, 30) >> 24, 0u);
  b.ctrl.SetKeyboardCtrlMode(99);
  {
    Tavex::Painter p(target);
    p.Clear(0);
    b.ctrl.Draw(p, CRect(0, 0, 420, 240));
  }
  EXPECT_EQ(b.ctrl.GetRedrawCount(), 2);
  EXPECT_EQ(target.Pixel(72, 32), 0u);
}

namespace {

// Counts pixels of the control's area whose channels differ by more than `tolerance`.
int DifferingPixels(const Tavex::Surface& a, const Tavex::Surface& b, int tolerance) {
  int differing = 0;
  for (int y = 20; y < 220; ++y) {
    for (int x = 10; x < 410; ++x) {
      const ARGB pa = a.Pixel(x, y);
      const ARGB pb = b.Pixel(x, y);
      for (int shift = 0; shift < 32; shift += 8) {
        const int d = static_cast<int>((pa >> shift) & 0xFF) - static_cast<int>((pb >> shift) & 0xFF);
        if (d > tolerance || d < -tolerance) {
          ++differing;
          break;
        }
      }
    }
  }
  return differing;
}

Tavex::Surface Render(KeyboardCtrl& ctrl) {
  Tavex::Surface s(420, 240);
  Tavex::Painter p(s);
  ctrl.Draw(p, CRect(0, 0, 420, 240));
  p.Flush();
  return s;
}

}  // namespace

TEST(KeyboardCtrl, StampedOutlinesLookLikeTracedOnesInEveryColourAndOpacity) {
  Board b;
  b.Picture();
  const COLORREF orange = RGB(0xCA, 0x51, 0x00);
  b.ctrl.SetPreviewColor(orange);
  b.ctrl.ResetAllItemsColor(orange);
  b.ctrl.SetKeyColor(5, RGB(0x00, 0xFF, 0xFF));
  // What the outlines should look like, traced one by one on the picture.
  const auto reference = [&](BYTE alpha) {
    Tavex::Surface s(420, 240);
    Tavex::Painter p(s);
    p.FillRect(CRect(60, 20, 360, 170), 0xFF202020);
    for (const Tavex::KEY_INFO* k : b.ctrl.GetKeyItems()) {
      const CRect r = b.ctrl.GetWindowKeyRect(k->rect);
      Tavex::MRender::DrawRoundRectange(p, static_cast<float>(r.left), static_cast<float>(r.top),
                                        static_cast<float>(r.Width()), static_cast<float>(r.Height()),
                                        12.0f, ARGBFromCOLORREF(k->colour, alpha), 2.0f, false, 0);
    }
    p.Flush();
    return s;
  };
  b.ctrl.SetKeyboardCtrlMode(KeyboardCtrl::kModeColours);
  const Tavex::Surface colours = Render(b.ctrl);
  EXPECT_EQ(DifferingPixels(colours, reference(255), 2), 0);
  EXPECT_EQ(colours.Pixel(b.ctrl.GetWindowKeyRect(CRect(60, 10, 100, 50)).CenterPoint().x, 30),
            0xFF00FFFFu);

  b.ctrl.SetKeyboardCtrlMode(KeyboardCtrl::kModeMusic);
  b.ctrl.SetMusicBrightness(120);  // every key turns cyan
  EXPECT_EQ(DifferingPixels(Render(b.ctrl), reference(120), 2), 0);

  b.ctrl.ResetAllItemsColor(orange);
  b.ctrl.SetKeyboardCtrlMode(KeyboardCtrl::kModePreview);  // no frames: opaque outlines
  EXPECT_EQ(DifferingPixels(Render(b.ctrl), reference(255), 2), 0);
}

TEST(KeyboardCtrl, PlainLabelsAreLaidOutAgainOnlyWhenTextOrGeometryChanges) {
  Board b;
  const Tavex::Surface first = Render(b.ctrl);
  EXPECT_EQ(b.ctrl.GetPlainLayerBuilds(), 1);
  // Hover, selection and checks do not touch the plain keys: redrawn from the layer.
  b.ctrl.SetSelectItem(1);
  b.ctrl.SetKeyCheck(4, 1);
  b.ctrl.UpdateControl(1, 1);
  EXPECT_EQ(DifferingPixels(Render(b.ctrl), first, 0), 0);
  EXPECT_EQ(b.ctrl.GetPlainLayerBuilds(), 1);
  EXPECT_EQ(b.ctrl.GetRedrawCount(), 2);

  // A new label, through the setter or straight through the record, is drawn.
  b.ctrl.SetKeyDesc(4, "WWWW");
  const Tavex::Surface renamed = Render(b.ctrl);
  EXPECT_EQ(b.ctrl.GetPlainLayerBuilds(), 2);
  EXPECT_GT(DifferingPixels(renamed, first, 0), 0);
  b.ctrl.GetKeyItems()[0]->name = "A";
  b.ctrl.UpdateControl(1, 1);
  EXPECT_EQ(DifferingPixels(Render(b.ctrl), first, 0), 0);

  // So is a bigger font, and a key added later.
  b.ctrl.SetFont("Open Sans", 16);
  b.ctrl.UpdateControl(1, 1);
  EXPECT_GT(DifferingPixels(Render(b.ctrl), first, 0), 0);
  const int builds = b.ctrl.GetPlainLayerBuilds();
  b.ctrl.AddKeyItem("D", "Key D", 7, CRect(200, 10, 240, 50), "");
  b.ctrl.UpdateControl(1, 1);
  const Tavex::Surface added = Render(b.ctrl);
  EXPECT_EQ(b.ctrl.GetPlainLayerBuilds(), builds + 1);
  EXPECT_EQ(added.Pixel(262, 32), 0xFF007ACCu);
}

TEST(KeyboardCtrl, PictureIsCentredHorizontallyWhenTheRectangleChanges) {
  Board b;
  b.ctrl.SetRect(CRect(0, 0, 500, 300));
  EXPECT_EQ(b.ctrl.GetPictureOffset(), CPoint(100, 0));
  RecordingParent parent;
  KeyboardCtrl fresh(&parent, 2, CRect());
  fresh.SetWidthAndHeight(300, 150);
  EXPECT_EQ(fresh.GetPictureOffset(), CPoint(6, 6));  // no rectangle yet: defaults stay
}

TEST(KeyboardCtrl, FactoryBuildsItByClassName) {
  Tavex::MDialog dialog;
  Tavex::MControl* c = dialog.CreateControl("KeyboardCtrl", 69, CRect(0, 0, 100, 50), nullptr, 1, 1);
  ASSERT_NE(c, nullptr);
  EXPECT_TRUE(c->IsClass("KeyboardCtrl"));
  EXPECT_TRUE(c->IsRunTimer());
  EXPECT_EQ(dialog.GetPaintManager().TickAnimation(), 0);
  EXPECT_TRUE(Tavex::ControlFactory::IsAvailable(Tavex::ControlFactory::Table::Panel, "KeyboardCtrl"));
}

TEST(KeyboardTipsWindow, IdenticalMessagesNeitherMoveNorRepaint) {
  TAVEX_REQUIRE_DISPLAY();
  KeyboardTips tips;
  ASSERT_NE(tips.Create(nullptr, "KeyboardTip Window", WS_POPUP, WS_EX_TOOLWINDOW, CRect()), nullptr);
  const POINT at{400, 300};
  EXPECT_TRUE(tips.SetAirBladderMsg("Escape", "Keyboard", "Escape", at));
  EXPECT_EQ(tips.GetMoveCount(), 1);
  EXPECT_EQ(tips.GetWindowRect(), CRect(305, 200, 495, 300));
  EXPECT_TRUE(tips.SetAirBladderMsg("Escape", "Keyboard", "Escape", at));
  EXPECT_EQ(tips.GetMoveCount(), 1);
  EXPECT_FALSE(tips.SetAirBladderMsg(nullptr, "a", "b", at));
  EXPECT_FALSE(tips.SetAirBladderMsg("a", nullptr, "b", at));
  EXPECT_EQ(tips.GetLine1(), "Escape");
  tips.CloseWindow();
}

TEST(KeyboardTipsWindow, HoveringAKeyShowsItsDescriptionAboveIt) {
  TAVEX_REQUIRE_DISPLAY();
  Tavex::MDialog dialog;
  ASSERT_NE(dialog.Create(nullptr, "kbd", 0x96000000, 0, CRect(40, 40, 640, 440)), nullptr);
  auto* ctrl = dialog.CreateControlAs<KeyboardCtrl>("KeyboardCtrl", 69, CRect(10, 20, 410, 220),
                                                    nullptr, 1, 1);
  ASSERT_NE(ctrl, nullptr);
  ctrl->SetWidthAndHeight(300, 150);
  ctrl->AddKeyItem("A", "Key A", 4, CRect(10, 10, 50, 50), "");
  ctrl->EnableKBTips(true);
  ctrl->OnMouseMove(0, kOnA);  // becomes hovered
  EXPECT_EQ(ctrl->GetTipWindow(), nullptr);
  ctrl->OnMouseMove(0, kOnA);  // shows the tip
  KeyboardTips* tips = ctrl->GetTipWindow();
  ASSERT_NE(tips, nullptr);
  EXPECT_TRUE(tips->IsShown());
  EXPECT_EQ(tips->GetLine2(), "Keyboard");
  EXPECT_EQ(tips->GetLine3(), "Key A");
  POINT anchor{90, 30};
  Tavex::Native::ClientToScreen(dialog.GetSafeHwnd(), &anchor);
  EXPECT_EQ(tips->GetAnchor().x, anchor.x);
  EXPECT_EQ(tips->GetAnchor().y, anchor.y);
  ctrl->OnMouseMove(0, kOnA);
  EXPECT_EQ(tips->GetMoveCount(), 1);

  ctrl->SetTipKey(4, "Assigned", "Macro 1");
  ctrl->OnMouseMove(0, kOnA);
  EXPECT_EQ(tips->GetLine2(), "Assigned");
  EXPECT_EQ(tips->GetLine3(), "Macro 1");
  ctrl->OnMouseMove(0, kEmpty);
  EXPECT_FALSE(tips->IsShown());
  dialog.DestroyWindow();
}

TEST(KeyboardCtrl, PreviewFramesRedrawnInPlaceMatchAFreshDraw) {
  // Two boards with the same frames; the first one animates frame after frame, the second
  // draws the last frame from scratch: no outline of an earlier frame may show through.
  Board animated;
  Board fresh;
  std::vector<unsigned char> frames = {255, 0, 128, 0, 255, 60, 30, 200, 0};
  for (Board* b : {&animated, &fresh}) {
    b->Picture();
    b->ctrl.SetPreviewColor(RGB(0xCA, 0x51, 0x00));
    b->ctrl.SetLightModeData(frames.data(), static_cast<int>(frames.size()));
    b->ctrl.SetLightSpeed(7);
    b->ctrl.SetKeyboardCtrlMode(KeyboardCtrl::kModePreview);
  }
  Tavex::Surface shown = Render(animated.ctrl);
  for (int tick = 0; tick < 2; ++tick) {
    animated.ctrl.OnTimer();
    shown = Render(animated.ctrl);
  }
  // A key that moved meanwhile leaves no outline behind at its old place.
  animated.ctrl.GetKeyItems()[2]->rect = CRect(200, 100, 240, 140);
  fresh.ctrl.GetKeyItems()[2]->rect = CRect(200, 100, 240, 140);
  animated.ctrl.UpdateControl(1, 1);
  shown = Render(animated.ctrl);
  for (int tick = 0; tick < 2; ++tick) fresh.ctrl.OnTimer();
  ASSERT_EQ(animated.ctrl.GetCurrentFrame(), fresh.ctrl.GetCurrentFrame());
  EXPECT_EQ(DifferingPixels(shown, Render(fresh.ctrl), 0), 0);
}

namespace {

// A board whose preview shows `frames` (a byte per key a frame), one frame a tick.
void StartPreview(Board& b, const std::vector<unsigned char>& frames) {
  b.Picture();
  b.ctrl.SetPreviewColor(RGB(0xCA, 0x51, 0x00));
  b.ctrl.SetLightModeData(frames.data(), static_cast<int>(frames.size()));
  b.ctrl.SetLightSpeed(7);
  b.ctrl.SetKeyboardCtrlMode(KeyboardCtrl::kModePreview);
}

}  // namespace

TEST(KeyboardCtrl, APreviewFrameInvalidatesOnlyTheOutlinesItChanges) {
  Board b;
  // Frame 1 repeats frame 0, frame 2 changes key B, frame 3 keys A (to unlit) and C.
  StartPreview(b, {100, 100, 100, 100, 100, 100, 100, 50, 100, 0, 50, 7});
  const size_t before = b.parent.repaints.size();
  b.ctrl.OnTimer();
  EXPECT_EQ(b.ctrl.GetCurrentFrame(), 1);
  EXPECT_EQ(b.parent.repaints.size(), before) << "an unchanged frame repainted";
  b.ctrl.OnTimer();
  ASSERT_EQ(b.parent.repaints.size(), before + 1);
  // Key B's window rectangle (120, 30)-(160, 70) with the two pixels its outline reaches out.
  EXPECT_EQ(b.parent.repaints.back(), CRect(118, 28, 162, 72));
  b.ctrl.OnTimer();
  ASSERT_EQ(b.parent.repaints.size(), before + 2);
  EXPECT_EQ(b.parent.repaints.back(), CRect(68, 28, 112, 162));  // A and C together
  b.ctrl.OnTimer();  // back to frame 0: all three differ
  EXPECT_EQ(b.parent.repaints.back(), CRect(68, 28, 162, 162));

  // One frame never moves: no repaint, and the animation timer may sleep for good.
  const unsigned char still[3] = {10, 20, 30};
  b.ctrl.SetLightModeData(still, 3);
  const size_t afterData = b.parent.repaints.size();
  for (int tick = 0; tick < 5; ++tick) b.ctrl.OnTimer();
  EXPECT_EQ(b.parent.repaints.size(), afterData);
  EXPECT_EQ(b.ctrl.QuietTicks(), Tavex::MControl::kQuietForever);
}

TEST(KeyboardCtrl, RepaintingOnlyWhatEachFrameInvalidatesShowsTheFrameAFreshDrawShows) {
  // Key D sits one pixel right of key B, so their outlines overlap: repainting B must redraw
  // the part of D that B's area covers.
  Board animated;
  Board fresh;
  const std::vector<unsigned char> frames = {255, 0,  128, 40,  60, 60, 200, 40,  60, 0,   77, 40,
                                             0,   90, 90,  255, 5,  90, 90,  250, 255, 255, 255, 0};
  for (Board* b : {&animated, &fresh}) {
    b->ctrl.AddKeyItem("D", "Key D", 7, CRect(101, 10, 141, 50), "");
    StartPreview(*b, frames);
  }
  ASSERT_EQ(animated.ctrl.GetFrameCount(), 6);
  // The window: painted whole once, then only inside each invalidated area.
  Tavex::Surface shown = Render(animated.ctrl);
  for (int frame = 1; frame <= 7; ++frame) {
    const size_t before = animated.parent.repaints.size();
    animated.ctrl.OnTimer();
    fresh.ctrl.OnTimer();
    {
      Tavex::Painter p(shown);
      for (size_t i = before; i < animated.parent.repaints.size(); ++i) {
        const CRect area = animated.parent.repaints[i];
        p.PushClip(area);
        p.ClearRect(area, 0);
        animated.ctrl.Draw(p, area);
        p.PopClip();
      }
      p.Flush();
    }
    ASSERT_EQ(animated.ctrl.GetCurrentFrame(), fresh.ctrl.GetCurrentFrame());
    fresh.ctrl.UpdateControl(1, 1);
    EXPECT_EQ(DifferingPixels(shown, Render(fresh.ctrl), 0), 0) << "frame " << frame;
  }
}
