#include "tavex/RKTimer.h"

#include <algorithm>
#include <set>

#include "tavex/NativeTimer.h"

namespace Tavex {

int RKTimer::m_bIsTmierOK = 0;
unsigned RKTimer::m_uAccuracy = 1;

namespace {
std::mutex& LiveLock() {
  static std::mutex lock;
  return lock;
}
std::set<RKTimer*>& Live() {
  static std::set<RKTimer*> live;
  return live;
}
std::once_flag g_resolutionOnce;
}  // namespace

RKTimer::RKTimer() {
  std::lock_guard guard(LiveLock());
  Live().insert(this);
}

RKTimer::~RKTimer() {
  KillTimer();
  std::lock_guard guard(LiveLock());
  Live().erase(this);
}

void RKTimer::OnMTimer(unsigned, CString) {}

unsigned RKTimer::SetTimer(unsigned elapseMs, const CString& name, int appFlag) {
  std::call_once(g_resolutionOnce, [] {
    TIMECAPS caps{};
    if (Native::timeGetDevCaps(&caps, sizeof(caps)) == TIMERR_NOERROR) {
      m_uAccuracy = std::min(std::max(caps.wPeriodMin, 1u), std::max(caps.wPeriodMax, 1u));
    }
    Native::timeBeginPeriod(m_uAccuracy);
    m_bIsTmierOK = 1;
  });
  // Hold the entry lock across the start so a first tick finds its entry.
  std::lock_guard guard(m_lock);
  const UINT id = Native::timeSetEvent(elapseMs, m_uAccuracy, &RKTimer::TimerCallProc,
                                       reinterpret_cast<DWORD_PTR>(this), TIME_PERIODIC);
  if (id == 0) return 0;
  m_entries.push_back({id, name, appFlag});
  return id;
}

int RKTimer::KillTimer(unsigned id) {
  bool found = false;
  {
    std::lock_guard guard(m_lock);
    const auto it = std::find_if(m_entries.begin(), m_entries.end(),
                                 [id](const Entry& e) { return e.id == id; });
    if (it != m_entries.end()) {
      m_entries.erase(it);
      found = true;
    }
  }
  // Outside the lock: timeKillEvent waits for a running tick, which may read the entries.
  if (found) Native::timeKillEvent(id);
  std::lock_guard guard(m_lock);
  return static_cast<int>(m_entries.size());
}

int RKTimer::KillTimer(const CString& name) {
  unsigned id = 0;
  {
    std::lock_guard guard(m_lock);
    const auto it = std::find_if(m_entries.begin(), m_entries.end(),
                                 [&](const Entry& e) { return e.name == name; });
    if (it == m_entries.end()) return static_cast<int>(m_entries.size());
    id = it->id;
  }
  return KillTimer(id);
}

void RKTimer::KillTimer() {
  std::vector<Entry> entries;
  {
    std::lock_guard guard(m_lock);
    entries.swap(m_entries);
  }
  for (const Entry& e : entries) Native::timeKillEvent(e.id);
}

bool RKTimer::GetTimerIsRun(unsigned id) const {
  std::lock_guard guard(m_lock);
  return std::any_of(m_entries.begin(), m_entries.end(), [id](const Entry& e) { return e.id == id; });
}

bool RKTimer::GetTimerIsRun(const CString& name) const {
  std::lock_guard guard(m_lock);
  return std::any_of(m_entries.begin(), m_entries.end(),
                     [&](const Entry& e) { return e.name == name; });
}

CString RKTimer::GetTimerName(unsigned id) const {
  std::lock_guard guard(m_lock);
  for (const Entry& e : m_entries) {
    if (e.id == id) return e.name;
  }
  return {};
}

int RKTimer::IsAppTimer(unsigned id) const {
  std::lock_guard guard(m_lock);
  for (const Entry& e : m_entries) {
    if (e.id == id) return e.appFlag;
  }
  return 0;
}

RKTimer* RKTimer::GetFSTimer(unsigned id) {
  std::lock_guard guard(LiveLock());
  for (RKTimer* t : Live()) {
    if (t->GetTimerIsRun(id)) return t;
  }
  return nullptr;
}

void RKTimer::TimerCallProc(UINT id, UINT, DWORD_PTR user, DWORD_PTR, DWORD_PTR) {
  auto* self = reinterpret_cast<RKTimer*>(user);
  {
    // A tick racing with the owner's destruction finds it gone from the live list.
    std::lock_guard guard(LiveLock());
    if (self == nullptr || Live().count(self) == 0) return;
  }
  if (!self->GetTimerIsRun(id)) return;
  self->OnMTimer(id);
  if (self->IsAppTimer(id)) self->OnMTimer(id, self->GetTimerName(id));
}

}  // namespace Tavex
