#pragma once
// Small probes shared by the framework tests: a control that records what reaches it and a
// parent that records repaint requests and notifications.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tavex/MControl.h"
#include "tavex/Native.h"

namespace TavexTest {

using Tavex::CPoint;
using Tavex::CRect;

#define TAVEX_REQUIRE_DISPLAY()                                            \
  do {                                                                     \
    if (!Tavex::Native::DisplayAvailable()) GTEST_SKIP() << "no display";  \
  } while (0)

struct Notification {
  unsigned id;
  unsigned code;
  unsigned wParam;
  long lParam;
};

// A parent that records what its controls send up.
class RecordingParent : public Tavex::MObject {
 public:
  int OnBaseMessage(unsigned id, unsigned code, unsigned wParam, long lParam) override {
    notes.push_back({id, code, wParam, lParam});
    return 1;
  }
  int OnControlUpdate(CRect rect, int, Tavex::MControl*) override {
    repaints.push_back(rect);
    return 1;
  }
  std::vector<Notification> notes;
  std::vector<CRect> repaints;
};

// A control that wants the mouse everywhere inside it and records every reaction.
class Probe : public Tavex::MControl {
 public:
  Probe(Tavex::MObject* parent, unsigned id, CRect rect) : MControl(parent, id, rect) {}
  void DrawControl(Tavex::Painter&, CRect) override { ++draws; }
  int OnCheckMouseResponse(unsigned, CPoint pt) override { return PtInRect(pt); }
  int OnControlLButtonDown(unsigned, CPoint pt) override {
    downs.push_back(pt);
    return 1;
  }
  int OnControlLButtonUp(unsigned, CPoint pt) override {
    ups.push_back(pt);
    return 1;
  }
  int OnControlMouseMove(unsigned, CPoint pt) override {
    moves.push_back(pt);
    return 1;
  }
  int OnControlScroll(int bar, unsigned direction, CPoint) override {
    scrolls.push_back({bar, direction});
    return takeScroll;
  }
  int OnControlKeyDown(unsigned key, unsigned, unsigned modifiers) override {
    keys.push_back({key, modifiers});
    return takeKeys;
  }
  int OnControlTimer() override {
    ++ticks;
    return 1;
  }
  int OnControlTimerKey(unsigned key) override {
    timerKeys.push_back(key);
    return 0;
  }
  std::vector<CPoint> downs, ups, moves;
  std::vector<std::pair<int, unsigned>> scrolls;
  std::vector<std::pair<unsigned, unsigned>> keys;
  std::vector<unsigned> timerKeys;
  int draws = 0;
  int ticks = 0;
  int takeScroll = 1;
  int takeKeys = 1;
};

}  // namespace TavexTest
