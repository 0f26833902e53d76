// The lock rules of the library (MControl.h) under two deletions that race a list walk: an
// animated child of an animated panel deleted while the animation tick runs, and a control
// deleted from another thread while the UI thread paints; and input handlers, which run
// holding no list so that another thread may walk the lists meanwhile. In the deletions the
// control inside the walk waits until the other thread is about to delete it and then lingers,
// so a deletion that does not wait for the walk lands inside it and shows in the order of
// events; a deadlock ends the process through the watchdog.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <future>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "TavexTestSupport.h"
#include "tavex/Codes.h"
#include "tavex/MDialog.h"
#include "tavex/MPanel.h"
#include "tavex/Painter.h"

using namespace TavexTest;
using namespace std::chrono_literals;

namespace {

// What happened, in order, across the threads of one test.
class EventLog {
 public:
  void Add(const std::string& event) {
    std::lock_guard guard(m_lock);
    m_events.push_back(event);
  }
  std::vector<std::string> Events() const {
    std::lock_guard guard(m_lock);
    return m_events;
  }
  // Position of the last `event` (-1: none).
  int Last(const std::string& event) const {
    const std::vector<std::string> events = Events();
    const auto it = std::find(events.rbegin(), events.rend(), event);
    return it == events.rend() ? -1 : static_cast<int>(events.rend() - it) - 1;
  }

 private:
  mutable std::mutex m_lock;
  std::vector<std::string> m_events;
};

// Holds the walk: once armed, the next control called inside a walk tells the deleting thread
// that it is inside, waits until that thread is about to delete, then gives it time to do so.
struct Meeting {
  std::atomic<bool> armed{false};
  std::atomic<bool> inside{false};
  std::atomic<bool> deleting{false};

  void HoldIfArmed() {
    if (!armed.exchange(false)) return;
    inside = true;
    const auto until = std::chrono::steady_clock::now() + 2s;
    while (!deleting && std::chrono::steady_clock::now() < until) std::this_thread::yield();
    std::this_thread::sleep_for(50ms);
  }
  void WaitInside() const {
    const auto until = std::chrono::steady_clock::now() + 2s;
    while (!inside && std::chrono::steady_clock::now() < until) std::this_thread::yield();
  }
};

struct Shared {
  EventLog log;
  Meeting meeting;
};

// Records its ticks, its drawing and its deletion; takes part in the animation when asked.
class Recorder : public Tavex::MControl {
 public:
  Recorder(Tavex::MObject* parent, Shared& shared, bool animated)
      : MControl(parent, 7, CRect(0, 0, 20, 20)), m_shared(shared), m_animated(animated) {}
  ~Recorder() override { m_shared.log.Add("deleted"); }
  void InitControl(Tavex::PaintManager* manager) override {
    MControl::InitControl(manager);
    if (!m_animated) return;
    AddMTimer();
    SetRunTimer(1);
  }
  int OnControlTimer() override {
    m_shared.log.Add("tick");
    m_shared.meeting.HoldIfArmed();
    m_shared.log.Add("tick done");
    return 0;
  }
  void DrawControl(Tavex::Painter&, CRect) override {
    m_shared.log.Add("draw");
    m_shared.meeting.HoldIfArmed();
    m_shared.log.Add("draw done");
  }

 private:
  Shared& m_shared;
  const bool m_animated;
};

// A panel that animates itself (as the keyboard and the key list do), so the tick reaches its
// children both through the panel and, when they are registered, directly.
class AnimatedPanel : public Tavex::MPanel {
 public:
  explicit AnimatedPanel(Tavex::MObject* parent) : MPanel(parent, 5, CRect(0, 0, 100, 100), 1) {}
  void InitControl(Tavex::PaintManager* manager) override {
    MPanel::InitControl(manager);
    AddMTimer();
    SetRunTimer(1);
  }
};

// Ends the process when the test does not finish in time: a deadlock would otherwise hang the
// test until the runner's timeout, with no word on where.
class Watchdog {
 public:
  explicit Watchdog(const char* what) : m_thread([this, what] {
    std::unique_lock lock(m_lock);
    if (!m_done.wait_for(lock, 10s, [this] { return m_finished; })) {
      std::fprintf(stderr, "deadlock: %s did not finish\n", what);
      std::_Exit(3);
    }
  }) {}
  ~Watchdog() {
    {
      std::lock_guard guard(m_lock);
      m_finished = true;
    }
    m_done.notify_one();
    m_thread.join();
  }

 private:
  std::mutex m_lock;
  std::condition_variable m_done;
  bool m_finished = false;
  std::thread m_thread;
};

// Runs one tick on a thread of its own (as the timer thread does) while this thread deletes
// `child` from `panel` as soon as the tick is inside the child.
void DeleteDuringTick(Tavex::MDialog& dialog, AnimatedPanel* panel, Recorder* child,
                      Shared& shared) {
  Watchdog watchdog("a deletion during the animation tick");
  shared.meeting.armed = true;
  std::thread tick([&] { dialog.GetPaintManager().TickAnimation(); });
  shared.meeting.WaitInside();
  shared.meeting.deleting = true;
  EXPECT_TRUE(panel->RemoveControl(child));
  tick.join();
}

// The deleted control was never used after it went: its last tick ended before.
void ExpectDeletedAfterItsLastUse(const EventLog& log, const char* use) {
  const std::string done = std::string(use) + " done";
  ASSERT_GE(log.Last("deleted"), 0);
  EXPECT_GT(log.Last("deleted"), log.Last(done));
  EXPECT_GT(log.Last("deleted"), log.Last(use));
}

// A focused control whose key and window-message handlers look a control up from another
// thread and wait for the answer, as a handler that finishes an edit does when it finds the
// page's other controls: the lookup takes the window's list and then the panels' lists.
class LookupOnInput : public Tavex::MControl {
 public:
  LookupOnInput(Tavex::MObject* parent, Tavex::MDialog& dialog, unsigned wanted)
      : MControl(parent, 9, CRect(0, 0, 20, 20)), m_dialog(dialog), m_wanted(wanted) {}
  void DrawControl(Tavex::Painter&, CRect) override {}
  int OnControlKeyDown(unsigned, unsigned, unsigned) override { return Lookup(); }
  int OnWindowMessage(unsigned msg, unsigned, long) override {
    return msg == Tavex::WM_DEVICEEVENT ? Lookup() : 0;
  }
  // Lets the lookups that timed out finish, now that no handler holds a list.
  void Drain() { m_late.clear(); }
  int answered = 0;
  int timedOut = 0;

 private:
  int Lookup() {
    auto found = std::async(std::launch::async, [this] { return m_dialog.GetControl(m_wanted); });
    if (found.wait_for(2s) == std::future_status::ready) {
      if (found.get() != nullptr) ++answered;
    } else {
      ++timedOut;
      m_late.push_back(std::move(found));  // blocked on a list this thread holds
    }
    return 1;
  }

  Tavex::MDialog& m_dialog;
  const unsigned m_wanted;
  std::vector<std::future<Tavex::MControl*>> m_late;
};

}  // namespace

TEST(LockRules, InputHandlersRunHoldingNoControlList) {
  Watchdog watchdog("a lookup from another thread during input");
  Tavex::MDialog dialog;
  auto* panel = static_cast<Tavex::MPanel*>(
      dialog.AddControl(new Tavex::MPanel(&dialog, 5, CRect(0, 0, 100, 100), 1)));
  auto* other = static_cast<Tavex::MPanel*>(
      dialog.AddControl(new Tavex::MPanel(&dialog, 6, CRect(0, 0, 100, 100), 1)));
  other->AddControl(new Tavex::MPanel(other, 8, CRect(0, 0, 10, 10), 1));
  auto* input = static_cast<LookupOnInput*>(
      panel->AddControl(new LookupOnInput(panel, dialog, 8)));
  input->SetControlFocus(1);
  Tavex::PaintManager& manager = dialog.GetPaintManager();
  LRESULT result = 0;
  EXPECT_TRUE(manager.OnWindowMessage(WM_KEYDOWN, VK_RETURN, 0, &result));
  EXPECT_TRUE(manager.OnWindowMessage(Tavex::WM_DEVICEEVENT, 0, 0, &result));
  input->Drain();
  EXPECT_EQ(input->timedOut, 0);
  EXPECT_EQ(input->answered, 2);
}

TEST(LockRules, AnAnimatedChildOfAnAnimatedPanelGoesWhileTheTickRuns) {
  // The tick inside the panel's walk of its children: the deletion waits for the walk.
  {
    Shared shared;
    Tavex::MDialog dialog;
    auto* panel = static_cast<AnimatedPanel*>(dialog.AddControl(new AnimatedPanel(&dialog)));
    auto* child = static_cast<Recorder*>(panel->AddControl(new Recorder(panel, shared, true)));
    DeleteDuringTick(dialog, panel, child, shared);
    ExpectDeletedAfterItsLastUse(shared.log, "tick");
    EXPECT_EQ(panel->GetControl(7), nullptr);
  }
  // The tick inside the child's own tick (registered before its panel), going on to the
  // panel's walk next: the deletion holds the panel's list while it waits for the child's
  // tick, so the tick must not need that list while it keeps the child.
  {
    Shared shared;
    Tavex::MDialog dialog;
    auto* panel = new AnimatedPanel(&dialog);
    auto* child = static_cast<Recorder*>(panel->AddControl(new Recorder(panel, shared, true)));
    dialog.AddControl(panel);
    DeleteDuringTick(dialog, panel, child, shared);
    ExpectDeletedAfterItsLastUse(shared.log, "tick");
    // Later ticks reach the panel and no longer the child.
    const std::size_t before = shared.log.Events().size();
    dialog.GetPaintManager().TickAnimation();
    EXPECT_EQ(shared.log.Events().size(), before);
  }
}

TEST(LockRules, AControlDeletedFromAnotherThreadWaitsForThePaint) {
  const auto paintWhileDeleting = [](Tavex::MDialog& dialog, Shared& shared,
                                     const std::function<bool()>& remove) {
    Watchdog watchdog("a deletion during a paint");
    shared.meeting.armed = true;
    std::thread deleter([&] {
      shared.meeting.WaitInside();
      shared.meeting.deleting = true;
      EXPECT_TRUE(remove());
    });
    Tavex::Surface surface(120, 120);
    {
      Tavex::Painter painter(surface);
      dialog.GetPaintManager().Render(painter, CRect(0, 0, 120, 120), CRect(0, 0, 120, 120));
    }
    deleter.join();
    ExpectDeletedAfterItsLastUse(shared.log, "draw");
  };
  // A child of a panel.
  {
    Shared shared;
    Tavex::MDialog dialog;
    auto* panel = static_cast<Tavex::MPanel*>(
        dialog.AddControl(new Tavex::MPanel(&dialog, 5, CRect(0, 0, 100, 100), 1)));
    auto* child = panel->AddControl(new Recorder(panel, shared, false));
    paintWhileDeleting(dialog, shared, [&] { return panel->RemoveControl(child); });
  }
  // A control of the window itself, animated as well.
  {
    Shared shared;
    Tavex::MDialog dialog;
    auto* control = dialog.AddControl(new Recorder(&dialog, shared, true));
    paintWhileDeleting(dialog, shared,
                       [&] { return dialog.GetPaintManager().RemoveControl(control); });
  }
}
