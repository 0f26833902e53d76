#pragma once
// RKTimer: periodic high-resolution timers on the platform's multimedia timer thread. Each
// object keeps its entries {id, name, application flag}; a process-wide list of live objects
// maps an identifier back to its owner (GetFSTimer).
//
// Threads: SetTimer/KillTimer may be called from any thread. OnMTimer runs on the timer thread:
// it must not talk to the window system (post or invalidate instead). A derived class must
// call KillTimer() in its own destructor, before its part of the object is gone.
#include <mutex>
#include <vector>

#include "tavex/Geometry.h"

namespace Tavex {

class TAVEX_API RKTimer {
 public:
  static int m_bIsTmierOK;
  static unsigned m_uAccuracy;

  RKTimer();
  RKTimer(const RKTimer&) = delete;
  RKTimer& operator=(const RKTimer&) = delete;
  virtual ~RKTimer();

  // Application timers (appFlag set) also get this call with their name.
  virtual void OnMTimer(unsigned id, CString name);
  virtual void OnMTimer(unsigned id) = 0;

  // Starts a periodic timer; returns its identifier, 0 on failure.
  unsigned SetTimer(unsigned elapseMs, const CString& name, int appFlag);
  // Stop and forget; return the number of entries left.
  int KillTimer(unsigned id);
  int KillTimer(const CString& name);
  void KillTimer();

  bool GetTimerIsRun(unsigned id) const;
  bool GetTimerIsRun(const CString& name) const;
  CString GetTimerName(unsigned id) const;
  int IsAppTimer(unsigned id) const;
  static RKTimer* GetFSTimer(unsigned id);
  static void TimerCallProc(UINT id, UINT msg, DWORD_PTR user, DWORD_PTR dw1, DWORD_PTR dw2);

 private:
  struct Entry {
    unsigned id;
    CString name;
    int appFlag;
  };
  mutable std::mutex m_lock;
  std::vector<Entry> m_entries;
};

}  // namespace Tavex
