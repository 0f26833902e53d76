#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "tavex/Overlay.h"
#include "tavex/Painter.h"

using namespace Tavex;

namespace {

// Runs the overlay's timers on a virtual clock and records repaint requests.
class ClockHost : public OverlayHost {
 public:
  void StartOverlayTimer(unsigned id, unsigned ms) override {
    timers[id] = Timer{ms, now + ms};
    ++starts[id];
  }
  void StopOverlayTimer(unsigned id) override { timers.erase(id); }
  void RepaintOverlay(CRect rect) override { repaints.push_back(rect); }
  CRect OverlayClientRect() const override { return client; }

  // Advances the clock one millisecond at a time, firing due timers in order.
  void Advance(Overlay& overlay, unsigned ms) {
    for (unsigned i = 0; i < ms; ++i) {
      ++now;
      for (bool fired = true; fired;) {
        fired = false;
        for (auto& [id, t] : timers) {
          if (t.due <= now) {
            t.due += t.period;
            const unsigned which = id;
            overlay.OnTimer(which);
            fired = true;
            break;  // the map may have changed
          }
        }
      }
    }
  }
  bool Running(unsigned id) const { return timers.count(id) != 0; }

  struct Timer {
    unsigned period;
    unsigned long long due;
  };
  std::map<unsigned, Timer> timers;
  std::map<unsigned, int> starts;
  std::vector<CRect> repaints;
  unsigned long long now = 0;
  CRect client{0, 0, 400, 300};
};

// Colours equal within the rounding of premultiplied storage (one step per channel).
bool Near(std::uint32_t a, std::uint32_t b) {
  for (int shift = 0; shift < 32; shift += 8) {
    const int x = static_cast<int>((a >> shift) & 0xFF), y = static_cast<int>((b >> shift) & 0xFF);
    if (x - y > 1 || y - x > 1) return false;
  }
  return true;
}

}  // namespace

TEST(Overlay, ProgressFarAheadClimbsByTwoEveryTenMilliseconds) {
  ClockHost host;
  Overlay overlay(host);
  overlay.SetProgress(50, "Downloading", CRect(0, 0, 200, 60));
  EXPECT_EQ(overlay.GetShownProgress(), 0);
  EXPECT_EQ(overlay.GetTargetProgress(), 50);
  EXPECT_EQ(overlay.GetAlpha(), 255);
  ASSERT_TRUE(host.Running(Overlay::kTimerProgress));
  EXPECT_EQ(host.timers[Overlay::kTimerProgress].period, 10u);
  host.Advance(overlay, 9);
  EXPECT_EQ(overlay.GetShownProgress(), 0);
  host.Advance(overlay, 1);
  EXPECT_EQ(overlay.GetShownProgress(), 2);
  host.Advance(overlay, 10);
  EXPECT_EQ(overlay.GetShownProgress(), 4);
  host.Advance(overlay, 230);
  EXPECT_EQ(overlay.GetShownProgress(), 50);
  EXPECT_FALSE(host.Running(Overlay::kTimerProgress));
  EXPECT_FALSE(host.Running(Overlay::kTimerFade));  // below 100 nothing fades
  host.Advance(overlay, 1000);
  EXPECT_EQ(overlay.GetShownProgress(), 50);
  EXPECT_EQ(overlay.GetAlpha(), 255);
}

TEST(Overlay, SmallStepsJumpAtOnce) {
  ClockHost host;
  Overlay overlay(host);
  overlay.SetProgress(3, "Preparing", CRect(0, 0, 200, 60));
  EXPECT_EQ(overlay.GetShownProgress(), 3);
  EXPECT_FALSE(host.Running(Overlay::kTimerProgress));
  EXPECT_EQ(host.repaints.size(), 1u);
  EXPECT_EQ(host.repaints.back(), CRect(0, 0, 200, 60));
  // The same value again changes nothing.
  overlay.SetProgress(3, "Preparing", CRect(0, 0, 200, 60));
  EXPECT_EQ(host.repaints.size(), 1u);
}

TEST(Overlay, ReachingOneHundredStartsTheFade) {
  ClockHost host;
  Overlay overlay(host);
  overlay.SetProgress(96, "", CRect(0, 0, 200, 60));
  host.Advance(overlay, 500);
  ASSERT_EQ(overlay.GetShownProgress(), 96);
  overlay.SetProgress(100, "Done", CRect(0, 0, 200, 60));
  EXPECT_EQ(overlay.GetShownProgress(), 100);  // 4 is a small step: a jump
  EXPECT_TRUE(host.Running(Overlay::kTimerFade));
  host.Advance(overlay, 1200);
  EXPECT_EQ(overlay.GetAlpha(), 0);
  EXPECT_EQ(overlay.GetShownProgress(), 0);
  EXPECT_FALSE(overlay.IsShown());

  // Climbing all the way up also ends in the fade.
  overlay.SetProgress(0, "", CRect(0, 0, 200, 60));
  overlay.SetProgress(100, "Again", CRect(0, 0, 200, 60));
  EXPECT_TRUE(host.Running(Overlay::kTimerProgress));
  host.Advance(overlay, 500);
  EXPECT_EQ(overlay.GetShownProgress(), 100);
  EXPECT_TRUE(host.Running(Overlay::kTimerFade));
}

TEST(Overlay, ALowValueStopsARunningFade) {
  ClockHost host;
  Overlay overlay(host);
  overlay.SetProgress(98, "", CRect(0, 0, 200, 60));
  host.Advance(overlay, 600);
  overlay.SetProgress(100, "", CRect(0, 0, 200, 60));
  ASSERT_TRUE(host.Running(Overlay::kTimerFade));
  host.Advance(overlay, 120);
  EXPECT_LT(overlay.GetAlpha(), 255);
  overlay.SetProgress(2, "Next file", CRect(0, 0, 200, 60));
  EXPECT_FALSE(host.Running(Overlay::kTimerFade));
  EXPECT_EQ(overlay.GetAlpha(), 255);
  EXPECT_EQ(overlay.GetShownProgress(), 2);
}

TEST(Overlay, AnEmptyRectangleMeansTheStripAboveTheBottom) {
  ClockHost host;
  host.client = CRect(0, 0, 500, 400);
  Overlay overlay(host);
  overlay.SetProgress(10, "x", CRect());
  EXPECT_EQ(overlay.GetRect(), CRect(0, 340, 500, 398));
}

TEST(Overlay, AMessageStaysThreeSecondsThenFadesInAboutOnePointTwo) {
  ClockHost host;
  Overlay overlay(host);
  overlay.SetMessage("Saved", CRect(10, 10, 210, 70), MsgLevelSuccess);
  EXPECT_EQ(overlay.GetAlpha(), 255);
  EXPECT_EQ(overlay.GetText(), "Saved");
  EXPECT_EQ(overlay.GetLevel(), MsgLevelSuccess);
  EXPECT_TRUE(overlay.IsShown());
  ASSERT_TRUE(host.Running(Overlay::kTimerMessage));
  EXPECT_EQ(host.timers[Overlay::kTimerMessage].period, 3000u);
  host.Advance(overlay, 2999);
  EXPECT_EQ(overlay.GetAlpha(), 255);
  host.Advance(overlay, 1);  // timer 66 hands over to the fade
  EXPECT_FALSE(host.Running(Overlay::kTimerMessage));
  EXPECT_TRUE(host.Running(Overlay::kTimerFade));
  EXPECT_EQ(overlay.GetAlpha(), 255);
  host.Advance(overlay, 50);
  EXPECT_EQ(overlay.GetAlpha(), 245);
  host.Advance(overlay, 1100);  // 23 fade ticks
  EXPECT_EQ(overlay.GetAlpha(), 25);
  EXPECT_TRUE(overlay.IsShown());
  host.Advance(overlay, 50);  // the next step would fall below 20
  EXPECT_EQ(overlay.GetAlpha(), 0);
  EXPECT_FALSE(overlay.IsShown());
  EXPECT_FALSE(host.Running(Overlay::kTimerFade));
  EXPECT_TRUE(host.repaints.back().IsRectEmpty());  // the whole window at the end
}

TEST(Overlay, ANewMessageRestartsTheWait) {
  ClockHost host;
  Overlay overlay(host);
  overlay.SetMessage("one", CRect(0, 0, 100, 40), MsgLevelInfo);
  host.Advance(overlay, 3100);
  ASSERT_LT(overlay.GetAlpha(), 255);
  overlay.SetMessage("two", CRect(0, 0, 100, 40), MsgLevelWarning);
  EXPECT_FALSE(host.Running(Overlay::kTimerFade));
  EXPECT_EQ(overlay.GetAlpha(), 255);
  host.Advance(overlay, 2999);
  EXPECT_EQ(overlay.GetAlpha(), 255);
}

TEST(Overlay, LayeredWindowsRepaintWhole) {
  ClockHost host;
  Overlay overlay(host);
  overlay.SetLayered(true);
  overlay.SetMessage("m", CRect(5, 5, 100, 40), MsgLevelInfo);
  ASSERT_FALSE(host.repaints.empty());
  EXPECT_TRUE(host.repaints.back().IsRectEmpty());
}

TEST(Overlay, ProgressBoxShowsTheBarInProportion) {
  ClockHost host;
  Overlay overlay(host);
  overlay.SetProgress(4, "", CRect(0, 0, 220, 60));  // jump to 4
  overlay.SetProgress(50, "", CRect(0, 0, 220, 60));
  host.Advance(overlay, 1000);
  ASSERT_EQ(overlay.GetShownProgress(), 50);
  overlay.SetProgress(52, "half", CRect(0, 0, 220, 60));  // text is only drawn with one
  Surface surface(220, 60);
  {
    Painter painter(surface);
    overlay.Draw(painter);
  }
  // Outer frame, inner box.
  EXPECT_EQ(surface.Pixel(0, 0), 0xFFE6E6E6u);
  EXPECT_EQ(surface.Pixel(2, 20), 0xFFFEFEFEu);
  // Bar: 3 pixels from bottom − 16, width 52 × 200 / 100 = 104 from x = 10.
  EXPECT_TRUE(Near(surface.Pixel(12, 45), 0xFEFFE100u));
  EXPECT_TRUE(Near(surface.Pixel(113, 46), 0xFEFFE100u));
  EXPECT_FALSE(Near(surface.Pixel(115, 45), 0xFEFFE100u));
  EXPECT_FALSE(Near(surface.Pixel(12, 48), 0xFEFFE100u));
}

TEST(Overlay, NothingIsDrawnOnceFadedOrWithoutText) {
  ClockHost host;
  Overlay overlay(host);
  overlay.SetMessage("", CRect(0, 0, 100, 40), MsgLevelInfo);
  EXPECT_FALSE(overlay.IsShown());
  Surface surface(100, 40);
  {
    Painter painter(surface);
    overlay.Draw(painter);
  }
  EXPECT_EQ(surface.Pixel(50, 20), 0u);
}
