// Multimedia timers: one thread sleeping to absolute CLOCK_MONOTONIC deadlines.
#include <pthread.h>
#include <sched.h>
#include <sys/prctl.h>
#include <time.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <thread>

#include "WindowTable.h"
#include "tavex/NativeTimer.h"

namespace Tavex::Platform {
namespace {

using Nanos = std::int64_t;

Nanos NowNs() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<Nanos>(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

struct Entry {
  LPTIMECALLBACK callback = nullptr;
  DWORD_PTR user = 0;
  Nanos period = 0;  // 0: one-shot
  Nanos due = 0;
};

class TimerThread {
 public:
  static TimerThread& Get() {
    static TimerThread* t = new TimerThread;  // runs for the process life
    return *t;
  }

  UINT Add(UINT delayMs, LPTIMECALLBACK cb, DWORD_PTR user, bool periodic) {
    std::lock_guard lock(mutex_);
    if (!started_) {
      std::thread(&TimerThread::Run, this).detach();
      started_ = true;
    }
    UINT id = ++nextId_;
    if (id == 0) id = ++nextId_;
    const Nanos period = static_cast<Nanos>(delayMs) * 1000000;
    entries_[id] = Entry{cb, user, periodic ? period : 0, NowNs() + period};
    cv_.notify_all();
    return id;
  }

  bool Skip(UINT id, UINT periods) {
    std::lock_guard lock(mutex_);
    const auto it = entries_.find(id);
    if (it == entries_.end() || it->second.period == 0) return false;
    it->second.due += static_cast<Nanos>(periods) * it->second.period;
    return true;
  }

  bool Resume(UINT id) {
    std::lock_guard lock(mutex_);
    const auto it = entries_.find(id);
    if (it == entries_.end() || it->second.period == 0) return false;
    Entry& e = it->second;
    const Nanos ahead = e.due - NowNs();
    if (ahead > e.period) {
      // Back by whole periods, to the first deadline of the grid after now.
      e.due -= (ahead - 1) / e.period * e.period;
      cv_.notify_all();
    }
    return true;
  }

  bool Remove(UINT id) {
    std::unique_lock lock(mutex_);
    if (entries_.erase(id) == 0) return false;
    cv_.notify_all();
    // Wait for a running callback of this timer, unless we are that callback.
    if (std::this_thread::get_id() != threadId_) {
      done_.wait(lock, [&] { return running_ != id; });
    }
    return true;
  }

 private:
  void Run() {
    // Like the system's multimedia timer thread: as punctual as the process may ask for.
    // Real-time priority needs a privilege that is usually absent; then the normal one stays.
    prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
    sched_param param{};
    param.sched_priority = 1;
    pthread_setschedparam(pthread_self(), SCHED_FIFO, &param);
    std::unique_lock lock(mutex_);
    threadId_ = std::this_thread::get_id();
    for (;;) {
      if (entries_.empty()) {
        cv_.wait(lock);
        continue;
      }
      auto next = std::min_element(entries_.begin(), entries_.end(), [](const auto& a, const auto& b) {
        return a.second.due < b.second.due;
      });
      const Nanos due = next->second.due;
      const Nanos now = NowNs();
      if (due > now) {
        // One wake per tick: the wait is on CLOCK_MONOTONIC with the timer slack at 1 ns, as
        // precise as a plain absolute sleep, and a table change still wakes it at once.
        cv_.wait_until(lock, std::chrono::steady_clock::time_point(std::chrono::nanoseconds(due)));
        continue;
      }
      const UINT id = next->first;
      Entry e = next->second;
      if (e.period == 0) {
        entries_.erase(next);
      } else {
        next->second.due += e.period;
        // Late by more than a period (suspend, overload): skip the missed ticks rather than
        // deliver a burst, and stay on the original grid of deadlines.
        if (next->second.due <= now) {
          next->second.due += ((now - next->second.due) / e.period + 1) * e.period;
        }
      }
      running_ = id;
      lock.unlock();
      e.callback(id, 0, e.user, 0, 0);
      lock.lock();
      running_ = 0;
      done_.notify_all();
    }
  }

  std::mutex mutex_;
  std::condition_variable cv_;
  std::condition_variable done_;
  std::map<UINT, Entry> entries_;
  UINT nextId_ = 0;
  UINT running_ = 0;
  bool started_ = false;
  std::thread::id threadId_;
};

}  // namespace
}  // namespace Tavex::Platform

namespace Tavex::Native {

UINT timeSetEvent(UINT delayMs, UINT, LPTIMECALLBACK callback, DWORD_PTR user, UINT flags) {
  if (callback == nullptr || delayMs == 0) return 0;
  return Platform::TimerThread::Get().Add(delayMs, callback, user, (flags & TIME_PERIODIC) != 0);
}

UINT timeKillEvent(UINT id) {
  return Platform::TimerThread::Get().Remove(id) ? TIMERR_NOERROR : TIMERR_NOCANDO;
}

UINT timeSkipTicks(UINT id, UINT periods) {
  return Platform::TimerThread::Get().Skip(id, periods) ? TIMERR_NOERROR : TIMERR_NOCANDO;
}

UINT timeResumeTicks(UINT id) {
  return Platform::TimerThread::Get().Resume(id) ? TIMERR_NOERROR : TIMERR_NOCANDO;
}

UINT timeGetDevCaps(TIMECAPS* caps, UINT size) {
  if (caps == nullptr || size < sizeof(TIMECAPS)) return TIMERR_NOCANDO;
  caps->wPeriodMin = 1;
  caps->wPeriodMax = 1000000;
  return TIMERR_NOERROR;
}

UINT timeBeginPeriod(UINT periodMs) { return periodMs == 0 ? TIMERR_NOCANDO : TIMERR_NOERROR; }
UINT timeEndPeriod(UINT periodMs) { return periodMs == 0 ? TIMERR_NOCANDO : TIMERR_NOERROR; }

}  // namespace Tavex::Native
