// Static text: where its ink goes (alignment, clipping, line breaks) and that it takes no input.
#include <gtest/gtest.h>

#include "StdControlsSupport.h"
#include "tavex/MText.h"

namespace {

using TavexTest::CPoint;
using TavexTest::CRect;
using TavexTest::RecordingParent;
using TavexTest::Render;

// Bounding box of every pixel with any ink; empty when nothing was drawn.
CRect InkBox(const Tavex::Surface& s) {
  CRect box(s.Width(), s.Height(), -1, -1);
  for (int y = 0; y < s.Height(); ++y) {
    for (int x = 0; x < s.Width(); ++x) {
      if ((s.Pixel(x, y) >> 24) == 0) continue;
      box.left = std::min<int>(box.left, x);
      box.top = std::min<int>(box.top, y);
      box.right = std::max<int>(box.right, x + 1);
      box.bottom = std::max<int>(box.bottom, y + 1);
    }
  }
  return box.right < 0 ? CRect() : box;
}

TEST(Text, LongSingleLineStaysInsideItsRectangle) {
  RecordingParent parent;
  Tavex::MText t(&parent, 1, CRect(40, 10, 140, 40),
                 "A single line much longer than the hundred pixels it is given");
  const CRect ink = InkBox(Render(t, 300, 60));
  ASSERT_FALSE(ink.IsRectEmpty());
  EXPECT_GE(ink.left, 40);
  EXPECT_LE(ink.right, 140);
  EXPECT_GE(ink.top, 10);
  EXPECT_LE(ink.bottom, 40);
  EXPECT_GT(ink.Width(), 60);  // shortened, not dropped
}

TEST(Text, AlignmentPlacesTheInkLeftCentredOrRight) {
  RecordingParent parent;
  Tavex::MText t(&parent, 1, CRect(0, 0, 300, 40), "Keys");
  t.SetAlignment(0, 4);
  const CRect left = InkBox(Render(t, 300, 40));
  t.SetAlignment(2, 8);
  const CRect right = InkBox(Render(t, 300, 40));
  t.SetAlignment(1, 0);
  const CRect centre = InkBox(Render(t, 300, 40));
  EXPECT_LT(left.left, 5);
  EXPECT_GT(right.right, 295);
  EXPECT_NEAR((centre.left + centre.right) / 2, 150, 4);
  EXPECT_LT(centre.top, left.top);     // top above vertically centred
  EXPECT_GT(right.bottom, left.bottom);  // bottom below it
}

TEST(Text, LineBreaksAndWordWrapMakeMoreLines) {
  RecordingParent parent;
  Tavex::MText one(&parent, 1, CRect(0, 0, 200, 80), "first");
  Tavex::MText two(&parent, 2, CRect(0, 0, 200, 80), "first\nsecond");
  const CRect single = InkBox(Render(one, 200, 80));
  const CRect dbl = InkBox(Render(two, 200, 80));
  EXPECT_GT(dbl.Height(), single.Height() * 3 / 2);

  Tavex::MText wrap(&parent, 3, CRect(0, 0, 70, 80), "words that wrap here");
  wrap.SetAlignment(0, 0);
  const CRect unwrapped = InkBox(Render(wrap, 70, 80));
  wrap.SetWordWrap(1);
  const CRect wrapped = InkBox(Render(wrap, 70, 80));
  EXPECT_GT(wrapped.Height(), unwrapped.Height() * 3 / 2);
  EXPECT_LE(wrapped.right, 70);
}

TEST(Text, StartsDisabledTakesNoMouseYetDrawsInItsOwnColour) {
  RecordingParent parent;
  Tavex::MText t(&parent, 1, CRect(0, 0, 100, 40), "H");
  EXPECT_FALSE(t.IsEnabled());
  TavexTest::Click(t, CPoint(10, 10));
  EXPECT_TRUE(parent.notes.empty());
  t.SetTextColor(0xFF00FF00);
  t.SetFontWidth(24);
  const Tavex::Surface s = Render(t, 100, 40);
  bool solid = false;
  for (int y = 0; y < 40 && !solid; ++y) {
    for (int x = 0; x < 100 && !solid; ++x) solid = s.Pixel(x, y) == 0xFF00FF00u;
  }
  EXPECT_TRUE(solid);
}

}  // namespace
