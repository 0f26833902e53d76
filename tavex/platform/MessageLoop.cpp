// Queues, posting, sending, the GetMessage/PeekMessage loop, dispatch and window timers.
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <set>
#include <unordered_map>

#include "Clock.h"
#include "DisplayHooks.h"
#include "ThreadQueue.h"
#include "WindowTable.h"
#include "tavex/Native.h"
#include "platform/base/Utf8.h"

namespace Tavex::Platform {
namespace {

struct QueueRegistry {
  std::mutex mutex;
  std::unordered_map<DWORD, std::shared_ptr<ThreadQueue>> queues;
};

QueueRegistry& registry() {
  static QueueRegistry* r = new QueueRegistry;  // never destroyed: threads may outlive statics
  return *r;
}

void Retire(const std::shared_ptr<ThreadQueue>& q) {
  std::deque<std::shared_ptr<SentMessage>> pending;
  {
    std::lock_guard lock(q->mutex);
    q->alive = false;
    pending.swap(q->inbox);
    q->posted.clear();
  }
  {
    QueueRegistry& r = registry();
    std::lock_guard lock(r.mutex);
    auto it = r.queues.find(q->thread);
    if (it != r.queues.end() && it->second == q) r.queues.erase(it);
  }
  for (auto& sent : pending) {
    sent->result = 0;
    sent->done.store(true, std::memory_order_release);
    if (sent->sender) sent->sender->Wake();
  }
}

struct QueueHolder {
  std::shared_ptr<ThreadQueue> queue;
  ~QueueHolder() {
    if (queue) Retire(queue);
  }
};

std::mutex g_cursorMutex;
POINT g_cursor{0, 0};

std::mutex g_externalMutex;
std::set<UINT> g_external;

}  // namespace

ThreadQueue::ThreadQueue(DWORD t) : thread(t) { wakeFd_ = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC); }

ThreadQueue::~ThreadQueue() {
  if (wakeFd_ >= 0) close(wakeFd_);
}

void ThreadQueue::Wake() {
  const std::uint64_t one = 1;
  if (wakeFd_ >= 0) {
    [[maybe_unused]] ssize_t n = write(wakeFd_, &one, sizeof one);
  }
}

void ThreadQueue::DrainWake() {
  std::uint64_t value = 0;
  if (wakeFd_ >= 0) {
    [[maybe_unused]] ssize_t n = read(wakeFd_, &value, sizeof value);
  }
}

std::shared_ptr<ThreadQueue> CurrentQueue() {
  thread_local QueueHolder holder;
  if (!holder.queue) {
    holder.queue = std::make_shared<ThreadQueue>(CurrentThreadId());
    QueueRegistry& r = registry();
    std::lock_guard lock(r.mutex);
    r.queues[holder.queue->thread] = holder.queue;
  }
  return holder.queue;
}

std::shared_ptr<ThreadQueue> QueueOf(DWORD thread) {
  QueueRegistry& r = registry();
  std::lock_guard lock(r.mutex);
  auto it = r.queues.find(thread);
  return it == r.queues.end() ? nullptr : it->second;
}

bool Enqueue(ThreadQueue& q, PostedMessage message) {
  {
    std::lock_guard lock(q.mutex);
    if (!q.alive) return false;
    q.posted.push_back(std::move(message));
  }
  q.Wake();
  return true;
}

void SetLastCursorPos(POINT pt) {
  std::lock_guard lock(g_cursorMutex);
  g_cursor = pt;
}

POINT LastCursorPos() {
  std::lock_guard lock(g_cursorMutex);
  return g_cursor;
}

static MSG MakeMsg(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  MSG m{};
  m.hwnd = hwnd;
  m.message = msg;
  m.wParam = wParam;
  m.lParam = lParam;
  m.time = static_cast<DWORD>(NowMs());
  m.pt = LastCursorPos();
  return m;
}

bool PostInput(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, std::u32string text,
               int modifiers) {
  PostedMessage pm{MakeMsg(hwnd, msg, wParam, lParam), std::move(text), modifiers};
  return Enqueue(*CurrentQueue(), std::move(pm));
}

LRESULT CallWindowProcOf(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto rec = FindOwnWindow(hwnd);
  if (!rec || !rec->alive.load() || rec->proc == nullptr) return 0;
  WNDPROC proc = rec->proc;
  return proc(hwnd, msg, wParam, lParam);
}

void ServeSentMessages(ThreadQueue& q) {
  for (;;) {
    std::shared_ptr<SentMessage> sent;
    {
      std::lock_guard lock(q.mutex);
      if (q.inbox.empty()) return;
      sent = q.inbox.front();
      q.inbox.pop_front();
    }
    sent->result = CallWindowProcOf(sent->hwnd, sent->msg, sent->wParam, sent->lParam);
    sent->done.store(true, std::memory_order_release);
    if (sent->sender) sent->sender->Wake();
  }
}

void KillWindowTimers(HWND hwnd) {
  auto q = CurrentQueue();
  std::erase_if(q->timers, [hwnd](const TimerEntry& t) { return t.hwnd == hwnd; });
}

namespace {

bool InFilter(const MSG& m, HWND hwnd, UINT lo, UINT hi) {
  if (hwnd != nullptr && m.hwnd != hwnd) return false;
  if (lo == 0 && hi == 0) return true;
  return m.message >= lo && m.message <= hi;
}

bool RangeHas(UINT msg, UINT lo, UINT hi) { return (lo == 0 && hi == 0) || (msg >= lo && msg <= hi); }

// One pass over the message sources in priority order; true when a message was found.
bool FetchOnce(ThreadQueue& q, MSG* out, HWND hwnd, UINT lo, UINT hi, bool remove, bool* quit) {
  ServeSentMessages(q);
  PumpDisplay();
  const std::uint64_t now = NowMs();
  RunInputTimers(now);
  {
    std::lock_guard lock(q.mutex);
    for (auto it = q.posted.begin(); it != q.posted.end(); ++it) {
      if (!InFilter(it->msg, hwnd, lo, hi)) continue;
      *out = it->msg;
      if (remove) {
        if (it->modifiers >= 0) SetMessageModifiers(it->modifiers);
        if (it->msg.message == WM_KEYDOWN || it->msg.message == WM_SYSKEYDOWN) {
          q.lastKey = it->msg;
          q.lastKeyText = it->text;
        }
        q.posted.erase(it);
      }
      *quit = false;
      return true;
    }
    if (q.quit) {
      *out = MakeMsg(nullptr, WM_QUIT, static_cast<WPARAM>(q.quitCode), 0);
      if (remove) q.quit = false;
      *quit = true;
      return true;
    }
  }
  *quit = false;
  if (RangeHas(WM_PAINT, lo, hi)) {
    for (auto& rec : WindowsOfThread(q.thread)) {
      if (hwnd != nullptr && rec->hwnd != hwnd) continue;
      if (!rec->alive.load() || !rec->visible || rec->iconic) continue;
      if (rec->paintNotBefore.load(std::memory_order_relaxed) > now) continue;
      std::lock_guard lock(rec->dirtyMutex);
      if (!rec->hasDirty) continue;
      *out = MakeMsg(rec->hwnd, WM_PAINT, 0, 0);
      return true;
    }
  }
  if (RangeHas(WM_TIMER, lo, hi)) {
    TimerEntry* best = nullptr;
    for (auto& t : q.timers) {
      if (hwnd != nullptr && t.hwnd != hwnd) continue;
      if (t.due <= now && (best == nullptr || t.due < best->due)) best = &t;
    }
    if (best != nullptr) {
      *out = MakeMsg(best->hwnd, WM_TIMER, best->id, reinterpret_cast<LPARAM>(best->proc));
      if (remove) {
        best->due += best->period;
        if (best->due <= now) best->due = now + best->period;
      }
      return true;
    }
  }
  return false;
}

void WaitForWork(ThreadQueue& q, HWND hwnd) {
  std::uint64_t deadline = NextInputDeadline();
  for (const auto& t : q.timers) {
    if (hwnd == nullptr || t.hwnd == hwnd) deadline = std::min(deadline, t.due);
  }
  // A paint held back by pacing is due when its pause ends.
  for (auto& rec : WindowsOfThread(q.thread)) {
    if (hwnd != nullptr && rec->hwnd != hwnd) continue;
    const std::uint64_t due = rec->paintNotBefore.load(std::memory_order_relaxed);
    if (due == 0 || !rec->alive.load() || !rec->visible || rec->iconic) continue;
    std::lock_guard lock(rec->dirtyMutex);
    if (rec->hasDirty) deadline = std::min(deadline, due);
  }
  int timeout = -1;
  if (deadline != UINT64_MAX) {
    const std::uint64_t now = NowMs();
    timeout = deadline <= now ? 0 : static_cast<int>(std::min<std::uint64_t>(deadline - now, INT_MAX));
  }
  FlushDisplay();
  if (DisplayHasQueuedEvents()) timeout = 0;
  pollfd fds[2];
  int n = 0;
  fds[n++] = {q.WakeFd(), POLLIN, 0};
  const int xfd = DisplayFd();
  if (xfd >= 0) fds[n++] = {xfd, POLLIN, 0};
  poll(fds, static_cast<nfds_t>(n), timeout);
  q.DrainWake();
}

}  // namespace
}  // namespace Tavex::Platform

namespace Tavex::Native {
using namespace Tavex::Platform;

DWORD GetCurrentThreadId() { return CurrentThreadId(); }

DWORD GetTickCount() { return static_cast<DWORD>(NowMs()); }

DWORD GetWindowThreadProcessId(HWND hwnd) {
  auto rec = FindWindow(hwnd);
  return rec ? rec->thread : 0;
}

bool IsWindow(HWND hwnd) {
  auto rec = FindWindow(hwnd);
  return rec && rec->alive.load();
}

bool RegisterClass(const WNDCLASS& wc) {
  if (wc.lpszClassName == nullptr) return false;
  ClassRecord cls;
  cls.name = wc.lpszClassName;
  cls.style = wc.style;
  cls.proc = wc.lpfnWndProc;
  cls.instance = wc.hInstance;
  cls.cursor = wc.hCursor;
  cls.icon = wc.hIcon;
  return AddClass(cls);
}

bool GetClassInfo(HINSTANCE, const char* className, WNDCLASS* out) {
  if (className == nullptr) return false;
  ClassRecord cls;
  if (!FindClass(className, &cls)) return false;
  if (out != nullptr) {
    *out = WNDCLASS{};
    out->style = cls.style;
    out->lpfnWndProc = cls.proc;
    out->hInstance = cls.instance;
    out->hCursor = cls.cursor;
    out->hIcon = cls.icon;
    out->lpszClassName = className;
  }
  return true;
}

LRESULT CallWindowProc(WNDPROC proc, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (proc == nullptr) return 0;
  return proc(hwnd, msg, wParam, lParam);
}

int GetMessage(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax) {
  if (msg == nullptr) return -1;
  if (hwnd != nullptr && !FindOwnWindow(hwnd)) return -1;
  auto q = CurrentQueue();
  for (;;) {
    bool quit = false;
    if (FetchOnce(*q, msg, hwnd, filterMin, filterMax, true, &quit)) {
      q->lastMessageTime = msg->time;
      return quit ? 0 : 1;
    }
    WaitForWork(*q, hwnd);
  }
}

bool PeekMessage(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax, UINT remove) {
  if (msg == nullptr) return false;
  auto q = CurrentQueue();
  bool quit = false;
  const bool found =
      FetchOnce(*q, msg, hwnd, filterMin, filterMax, (remove & PM_REMOVE) != 0, &quit);
  if (found) q->lastMessageTime = msg->time;
  FlushDisplay();
  return found;
}

bool WaitMessage() {
  auto q = CurrentQueue();
  MSG m{};
  bool quit = false;
  if (FetchOnce(*q, &m, nullptr, 0, 0, false, &quit)) return true;
  WaitForWork(*q, nullptr);
  return true;
}

DWORD GetMessageTime() { return CurrentQueue()->lastMessageTime; }

bool TranslateMessage(const MSG* msg) {
  if (msg == nullptr) return false;
  if (msg->message != WM_KEYDOWN && msg->message != WM_SYSKEYDOWN) return false;
  auto q = CurrentQueue();
  const MSG& k = q->lastKey;
  if (k.hwnd != msg->hwnd || k.message != msg->message || k.wParam != msg->wParam ||
      k.lParam != msg->lParam || k.time != msg->time || q->lastKeyText.empty()) {
    return false;
  }
  const UINT charMsg = msg->message == WM_SYSKEYDOWN ? WM_SYSCHAR : WM_CHAR;
  {
    // The characters come next, before any later key message.
    std::lock_guard lock(q->mutex);
    for (auto it = q->lastKeyText.rbegin(); it != q->lastKeyText.rend(); ++it) {
      PostedMessage pm{MakeMsg(msg->hwnd, charMsg, *it, msg->lParam), {}};
      pm.msg.time = msg->time;
      q->posted.push_front(std::move(pm));
    }
  }
  q->lastKeyText.clear();
  return true;
}

LRESULT DispatchMessage(const MSG* msg) {
  if (msg == nullptr) return 0;
  if (msg->message == WM_TIMER && msg->lParam != 0) {
    auto proc = reinterpret_cast<TIMERPROC>(msg->lParam);
    proc(msg->hwnd, WM_TIMER, msg->wParam, GetTickCount());
    return 0;
  }
  if (msg->hwnd == nullptr) return 0;
  auto rec = FindOwnWindow(msg->hwnd);
  if (!rec || !rec->alive.load()) return 0;
  std::uint64_t generation = 0;
  if (msg->message == WM_PAINT) {
    std::lock_guard lock(rec->dirtyMutex);
    generation = rec->dirtyGeneration;
  }
  const LRESULT result = CallWindowProcOf(msg->hwnd, msg->message, msg->wParam, msg->lParam);
  if (msg->message == WM_PAINT) {
    // A procedure that painted without validating must not get the same WM_PAINT forever;
    // what was invalidated while it ran stays.
    std::lock_guard lock(rec->dirtyMutex);
    if (rec->dirtyGeneration == generation) rec->hasDirty = false;
  }
  return result;
}

bool PostMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (hwnd == nullptr) return Enqueue(*CurrentQueue(), {MakeMsg(nullptr, msg, wParam, lParam), {}});
  auto rec = FindWindow(hwnd);
  if (!rec || !rec->alive.load()) return false;
  auto q = QueueOf(rec->thread);
  if (!q) return false;
  return Enqueue(*q, {MakeMsg(hwnd, msg, wParam, lParam), {}});
}

bool PostThreadMessage(DWORD threadId, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto q = QueueOf(threadId);
  if (!q) return false;
  return Enqueue(*q, {MakeMsg(nullptr, msg, wParam, lParam), {}});
}

LRESULT SendMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto rec = FindWindow(hwnd);
  if (!rec || !rec->alive.load()) return 0;
  if (rec->thread == CurrentThreadId()) return CallWindowProcOf(hwnd, msg, wParam, lParam);
  auto target = QueueOf(rec->thread);
  if (!target) return 0;
  auto self = CurrentQueue();
  auto sent = std::make_shared<SentMessage>();
  sent->hwnd = hwnd;
  sent->msg = msg;
  sent->wParam = wParam;
  sent->lParam = lParam;
  sent->sender = self;
  {
    std::lock_guard lock(target->mutex);
    if (!target->alive) return 0;
    target->inbox.push_back(sent);
  }
  target->Wake();
  while (!sent->done.load(std::memory_order_acquire)) {
    // Serve what others send us meanwhile, so that two threads sending to each other go on.
    ServeSentMessages(*self);
    if (sent->done.load(std::memory_order_acquire)) break;
    pollfd fd{self->WakeFd(), POLLIN, 0};
    poll(&fd, 1, 100);
    // Draining may eat a wake for a posted message; the loop looks at the queue before it
    // waits again, so nothing is lost.
    self->DrainWake();
  }
  return sent->result;
}

void PostQuitMessage(int exitCode) {
  auto q = CurrentQueue();
  {
    std::lock_guard lock(q->mutex);
    q->quit = true;
    q->quitCode = exitCode;
  }
  q->Wake();
}

UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT elapseMs, TIMERPROC proc) {
  auto q = CurrentQueue();
  if (hwnd != nullptr && !FindOwnWindow(hwnd)) return 0;
  if (hwnd == nullptr) {
    auto existing = std::find_if(q->timers.begin(), q->timers.end(), [id](const TimerEntry& t) {
      return t.hwnd == nullptr && t.id == id;
    });
    if (id == 0 || existing == q->timers.end()) id = q->nextThreadTimerId++;
  }
  const UINT period = std::max<UINT>(elapseMs, 1);
  for (auto& t : q->timers) {
    if (t.hwnd == hwnd && t.id == id) {
      t.period = period;
      t.proc = proc;
      t.due = NowMs() + period;
      return id;
    }
  }
  q->timers.push_back(TimerEntry{hwnd, id, period, proc, NowMs() + period});
  q->Wake();
  return id;
}

bool KillTimer(HWND hwnd, UINT_PTR id) {
  auto q = CurrentQueue();
  const auto before = q->timers.size();
  std::erase_if(q->timers, [&](const TimerEntry& t) { return t.hwnd == hwnd && t.id == id; });
  // A WM_TIMER already fetched but not dispatched is harmless; none is queued.
  return q->timers.size() != before;
}

void AllowExternalMessage(UINT msg) {
  std::lock_guard lock(g_externalMutex);
  g_external.insert(msg);
}

namespace {
bool AddDirty(HWND hwnd, const RECT* rect, bool own) {
  auto rec = FindWindow(hwnd);
  if (!rec || !rec->alive.load()) return false;
  RECT r{};
  {
    // The client size is read on the owner thread only; from elsewhere an unbounded request
    // is clipped when painted.
    if (rect != nullptr) {
      r = *rect;
    } else {
      r = RECT{0, 0, 1 << 15, 1 << 15};
    }
  }
  if (r.right <= r.left || r.bottom <= r.top) return true;
  bool wake = false;
  {
    std::lock_guard lock(rec->dirtyMutex);
    if (!rec->hasDirty) {
      rec->dirty = r;
      rec->hasDirty = true;
      rec->dirtyOwnOnly = own;
      wake = true;
    } else {
      rec->dirtyOwnOnly = rec->dirtyOwnOnly && own;
      rec->dirty.left = std::min(rec->dirty.left, r.left);
      rec->dirty.top = std::min(rec->dirty.top, r.top);
      rec->dirty.right = std::max(rec->dirty.right, r.right);
      rec->dirty.bottom = std::max(rec->dirty.bottom, r.bottom);
    }
    ++rec->dirtyGeneration;
  }
  if (wake && rec->thread != CurrentThreadId()) {
    if (auto q = QueueOf(rec->thread)) q->Wake();
  }
  return true;
}
}  // namespace

bool InvalidateRect(HWND hwnd, const RECT* rect, bool) { return AddDirty(hwnd, rect, false); }

bool InvalidateOwnRect(HWND hwnd, const RECT& rect) { return AddDirty(hwnd, &rect, true); }

void DelayNextPaint(HWND hwnd, UINT ms) {
  auto rec = FindWindow(hwnd);
  if (!rec) return;
  rec->paintNotBefore.store(ms == 0 ? 0 : NowMs() + ms, std::memory_order_relaxed);
}

std::string CodePointToUtf8(std::uint32_t cp) { return ::platform::EncodeUtf8(cp); }

}  // namespace Tavex::Native

namespace Tavex::Platform {
bool ExternalMessageAllowed(UINT msg) {
  std::lock_guard lock(g_externalMutex);
  return g_external.count(msg) != 0;
}
}  // namespace Tavex::Platform
