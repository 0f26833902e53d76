// The per-thread message queue: posting across threads, sending, quitting, timers, painting.
#include <atomic>
#include <map>
#include <thread>

#include "NativeTestSupport.h"

namespace Tavex::NativeTest {
namespace {

class MessageQueueTest : public ::testing::Test {
 protected:
  void SetUp() override { Log().clear(); }
};

TEST_F(MessageQueueTest, QuitArrivesAfterThePostedMessagesWithItsExitCode) {
  std::thread worker([] {
    Native::PostMessage(nullptr, WM_USER + 1, 1, 0);
    Native::PostMessage(nullptr, WM_USER + 2, 2, 0);
    Native::PostQuitMessage(7);
    MSG m{};
    EXPECT_EQ(Native::GetMessage(&m, nullptr, 0, 0), 1);
    EXPECT_EQ(m.message, WM_USER + 1);
    EXPECT_EQ(Native::GetMessage(&m, nullptr, 0, 0), 1);
    EXPECT_EQ(m.message, WM_USER + 2);
    EXPECT_EQ(Native::GetMessage(&m, nullptr, 0, 0), 0);
    EXPECT_EQ(m.message, WM_QUIT);
    EXPECT_EQ(m.wParam, 7u);
    EXPECT_FALSE(Native::PeekMessage(&m, nullptr, 0, 0, PM_REMOVE)) << "quit is taken once";
  });
  worker.join();
}

TEST_F(MessageQueueTest, AThreadBlockedInGetMessageWakesForAPostFromAnotherThread) {
  std::atomic<DWORD> workerId{0};
  std::atomic<int> received{0};
  std::thread worker([&] {
    MSG m{};
    Native::PeekMessage(&m, nullptr, 0, 0, PM_NOREMOVE);  // creates the queue
    workerId = Native::GetCurrentThreadId();
    while (Native::GetMessage(&m, nullptr, 0, 0) > 0) {
      if (m.message == WM_USER + 5) {
        received = static_cast<int>(m.lParam);
        Native::PostQuitMessage(0);
      }
    }
  });
  while (workerId.load() == 0) std::this_thread::yield();
  std::this_thread::sleep_for(std::chrono::milliseconds(20));  // let it block in poll
  EXPECT_TRUE(Native::PostThreadMessage(workerId, WM_USER + 5, 0, 42));
  worker.join();
  EXPECT_EQ(received.load(), 42);
  EXPECT_FALSE(Native::PostThreadMessage(workerId, WM_USER + 5, 0, 1)) << "the thread has ended";
}

TEST_F(MessageQueueTest, FiltersTakeOnlyTheMatchingMessages) {
  Native::PostMessage(nullptr, WM_USER + 1, 0, 0);
  Native::PostMessage(nullptr, WM_USER + 9, 0, 0);
  MSG m{};
  ASSERT_TRUE(Native::PeekMessage(&m, nullptr, WM_USER + 5, WM_USER + 10, PM_REMOVE));
  EXPECT_EQ(m.message, WM_USER + 9);
  ASSERT_TRUE(Native::PeekMessage(&m, nullptr, 0, 0, PM_NOREMOVE));
  EXPECT_EQ(m.message, WM_USER + 1);
  ASSERT_TRUE(Native::PeekMessage(&m, nullptr, 0, 0, PM_REMOVE));
  EXPECT_FALSE(Native::PeekMessage(&m, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(MessageQueueTest, PostsFromSeveralThreadsAllArriveInPerThreadOrder) {
  TAVEX_REQUIRE_DISPLAY();
  HWND hwnd = Native::CreateWindowEx(0, RecordingClass(), "q", WS_POPUP, 0, 0, 50, 50, nullptr,
                                     nullptr, nullptr, nullptr);
  ASSERT_NE(hwnd, nullptr);
  constexpr int kThreads = 4;
  constexpr int kEach = 2000;
  std::vector<std::thread> posters;
  for (int t = 0; t < kThreads; ++t) {
    posters.emplace_back([hwnd, t] {
      for (int i = 0; i < kEach; ++i) {
        while (!Native::PostMessage(hwnd, WM_USER + 7, static_cast<WPARAM>(t), i)) {
        }
      }
    });
  }
  const bool all = PumpUntil([] { return Count(WM_USER + 7) == kThreads * kEach; }, 20000);
  for (auto& p : posters) p.join();
  ASSERT_TRUE(all) << Count(WM_USER + 7);
  std::map<WPARAM, LPARAM> next;
  for (const Seen& s : Only({WM_USER + 7})) {
    EXPECT_EQ(s.lParam, next[s.wParam]) << "thread " << s.wParam;
    next[s.wParam] = s.lParam + 1;
  }
  Native::DestroyWindow(hwnd);
}

std::atomic<DWORD> g_procThread{0};
LRESULT DoublingProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_USER + 3) {
    g_procThread = Native::GetCurrentThreadId();
    return static_cast<LRESULT>(wParam * 2);
  }
  return Native::DefWindowProc(hwnd, msg, wParam, lParam);
}

TEST_F(MessageQueueTest, SendMessageFromAnotherThreadRunsOnTheOwnerAndReturnsTheResult) {
  TAVEX_REQUIRE_DISPLAY();
  WNDCLASS wc{};
  wc.lpfnWndProc = DoublingProc;
  wc.lpszClassName = "MessageQueueDoubling";
  ASSERT_TRUE(Native::RegisterClass(wc));
  HWND hwnd = Native::CreateWindowEx(0, "MessageQueueDoubling", "s", WS_POPUP, 0, 0, 10, 10,
                                     nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(hwnd, nullptr);
  EXPECT_EQ(Native::SendMessage(hwnd, WM_USER + 3, 4, 0), 8) << "same thread: a direct call";

  std::atomic<LRESULT> result{-1};
  std::atomic<bool> finished{false};
  std::thread sender([&] {
    result = Native::SendMessage(hwnd, WM_USER + 3, 21, 0);
    finished = true;
  });
  EXPECT_TRUE(PumpUntil([&] { return finished.load(); }, 5000));
  sender.join();
  EXPECT_EQ(result.load(), 42);
  EXPECT_EQ(g_procThread.load(), Native::GetCurrentThreadId());

  Native::DestroyWindow(hwnd);
  EXPECT_EQ(Native::SendMessage(hwnd, WM_USER + 3, 1, 0), 0);
  EXPECT_FALSE(Native::PostMessage(hwnd, WM_USER + 3, 1, 0));
}

TEST_F(MessageQueueTest, WindowTimersTickUntilKilledAndTimerProcsAreCalled) {
  TAVEX_REQUIRE_DISPLAY();
  HWND hwnd = Native::CreateWindowEx(0, RecordingClass(), "t", WS_POPUP, 0, 0, 10, 10, nullptr,
                                     nullptr, nullptr, nullptr);
  ASSERT_NE(hwnd, nullptr);
  EXPECT_EQ(Native::SetTimer(hwnd, 66, 10, nullptr), 66u);
  ASSERT_TRUE(PumpUntil([] { return Count(WM_TIMER) >= 3; }));
  for (const Seen& s : Only({WM_TIMER})) EXPECT_EQ(s.wParam, 66u);
  EXPECT_TRUE(Native::KillTimer(hwnd, 66));
  EXPECT_FALSE(Native::KillTimer(hwnd, 66));
  const int ticks = Count(WM_TIMER);
  Pump(60);
  EXPECT_EQ(Count(WM_TIMER), ticks) << "no tick after KillTimer";

  static std::atomic<int> procCalls{0};
  procCalls = 0;
  const UINT_PTR id = Native::SetTimer(nullptr, 0, 5, [](HWND, UINT msg, UINT_PTR, DWORD) {
    if (msg == WM_TIMER) ++procCalls;
  });
  ASSERT_NE(id, 0u);
  EXPECT_TRUE(PumpUntil([] { return procCalls.load() >= 2; }));
  EXPECT_TRUE(Native::KillTimer(nullptr, id));
  Native::DestroyWindow(hwnd);
}

TEST_F(MessageQueueTest, InvalidationFromAnotherThreadGivesOnePaintWithTheUnionRect) {
  TAVEX_REQUIRE_DISPLAY();
  HWND hwnd = ShownWindow(10, 10, 200, 100);
  ASSERT_NE(hwnd, nullptr);
  Pump(50);
  Log().clear();
  ASSERT_FALSE(Native::GetUpdateRect(hwnd, nullptr, false));
  std::thread other([hwnd] {
    const RECT a{10, 10, 20, 20};
    const RECT b{50, 30, 60, 90};
    Native::InvalidateRect(hwnd, &a, false);
    Native::InvalidateRect(hwnd, &b, false);
  });
  other.join();
  RECT update{};
  ASSERT_TRUE(Native::GetUpdateRect(hwnd, &update, false));
  EXPECT_EQ(update.left, 10);
  EXPECT_EQ(update.top, 10);
  EXPECT_EQ(update.right, 60);
  EXPECT_EQ(update.bottom, 90);
  ASSERT_TRUE(PumpUntil([hwnd] { return Count(WM_PAINT, hwnd) > 0; }));
  Pump(30);
  EXPECT_EQ(Count(WM_PAINT, hwnd), 1);
  EXPECT_FALSE(Native::GetUpdateRect(hwnd, nullptr, false));
  Native::DestroyWindow(hwnd);
}

TEST_F(MessageQueueTest, APaintIsOwnOnlyWhileEveryInvalidationSinceTheLastCameFromItsOwner) {
  TAVEX_REQUIRE_DISPLAY();
  HWND hwnd = ShownWindow(10, 10, 200, 100);
  ASSERT_NE(hwnd, nullptr);
  Pump(50);
  const RECT a{10, 10, 20, 20};
  const RECT b{50, 30, 60, 90};
  const auto begin = [hwnd] {
    PAINTSTRUCT ps{};
    EXPECT_TRUE(Native::BeginPaint(hwnd, &ps));
    Native::EndPaint(hwnd, &ps);
    return ps;
  };
  std::thread([&] {
    Native::InvalidateOwnRect(hwnd, a);
    Native::InvalidateOwnRect(hwnd, b);
  }).join();
  PAINTSTRUCT ps = begin();
  EXPECT_TRUE(ps.fOwnOnly);
  EXPECT_EQ(ps.rcPaint.left, 10);
  EXPECT_EQ(ps.rcPaint.bottom, 90);
  // One other invalidation, before or after, and the whole rectangle must be composed.
  Native::InvalidateOwnRect(hwnd, a);
  Native::InvalidateRect(hwnd, &b, false);
  EXPECT_FALSE(begin().fOwnOnly);
  Native::InvalidateRect(hwnd, &b, false);
  Native::InvalidateOwnRect(hwnd, a);
  EXPECT_FALSE(begin().fOwnOnly);
  // The paint after starts afresh; with nothing invalidated there is nothing to own.
  Native::InvalidateOwnRect(hwnd, a);
  EXPECT_TRUE(begin().fOwnOnly);
  EXPECT_FALSE(begin().fOwnOnly);
  Native::DestroyWindow(hwnd);
}

}  // namespace
}  // namespace Tavex::NativeTest

namespace Tavex::NativeTest {
namespace {

TEST_F(MessageQueueTest, PostsToANewWindowFromAnotherThreadWaitForTheFirstLoop) {
  TAVEX_REQUIRE_DISPLAY();
  // A fresh thread that has never fetched a message creates the window (the UI thread is the
  // one that opened the display; in this process that is the test's main thread).
  HWND hwnd = Native::CreateWindowEx(0, RecordingClass(), "fresh", WS_POPUP, 0, 0, 10, 10,
                                     nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(hwnd, nullptr);
  bool posted = false;
  std::thread([&] { posted = Native::PostMessage(hwnd, WM_USER + 11, 0, 5); }).join();
  EXPECT_TRUE(posted);
  EXPECT_TRUE(PumpUntil([] { return Count(WM_USER + 11) == 1; }));
  Native::DestroyWindow(hwnd);
}

}  // namespace
}  // namespace Tavex::NativeTest
