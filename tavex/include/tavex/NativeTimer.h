#pragma once
// Multimedia timers: periodic or one-shot callbacks with millisecond precision, run on one
// process-wide timer thread that sleeps to absolute deadlines of the monotonic clock (no drift:
// the n-th tick of a periodic timer is due at start + n * period). A tick that is late by more
// than a period is skipped rather than delivered in a burst. The thread asks for real-time
// priority (granted only where the process may have it) and minimal timer slack, as the system
// timer thread of the original design runs time-critical; keep callbacks short.
//
// Threads: every function may be called from any thread. Callbacks run on the timer thread,
// one at a time, and must not talk to the window system: post messages instead
// (Native::PostMessage / InvalidateRect). timeKillEvent returns only after a running callback
// of that timer has finished (except when called from inside that callback), so the caller may
// then free what the callback uses.
#include "tavex/WinTypes.h"

namespace Tavex::Native {

// Starts a timer: `callback(id, 0, user, 0, 0)` after `delayMs` (at least 1), repeatedly with
// TIME_PERIODIC. `resolutionMs` is accepted for compatibility. Returns the id (never 0), or 0
// for a null callback or zero delay.
TAVEX_API UINT timeSetEvent(UINT delayMs, UINT resolutionMs, LPTIMECALLBACK callback,
                            DWORD_PTR user, UINT flags);
// Stops it; TIMERR_NOCANDO for an unknown id.
TAVEX_API UINT timeKillEvent(UINT id);
// Lets a periodic timer sleep: its next `periods` ticks are not delivered, and the deadlines
// stay on the timer's grid. TIMERR_NOCANDO for an unknown or one-shot id.
TAVEX_API UINT timeSkipTicks(UINT id, UINT periods);
// Ends a skip early: the timer ticks again at its next deadline on the grid from now (nothing
// changes when no skip is pending). TIMERR_NOCANDO for an unknown or one-shot id.
TAVEX_API UINT timeResumeTicks(UINT id);
// Minimum and maximum period (1 and 1000000 ms).
TAVEX_API UINT timeGetDevCaps(TIMECAPS* caps, UINT size);
// Resolution requests; always precise here, kept for the calling protocol.
TAVEX_API UINT timeBeginPeriod(UINT periodMs);
TAVEX_API UINT timeEndPeriod(UINT periodMs);

}  // namespace Tavex::Native
