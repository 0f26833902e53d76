// Waiting for the user or the session to end the program (SIGINT, SIGTERM).
// Construct it on the main thread before any other thread starts: the threads inherit the
// blocked signals, so that only Wait() receives them.
#pragma once

namespace platform {

class TerminationSignals {
 public:
  TerminationSignals();  // blocks SIGINT and SIGTERM in the calling thread
  TerminationSignals(const TerminationSignals&) = delete;
  TerminationSignals& operator=(const TerminationSignals&) = delete;
  ~TerminationSignals();  // restores the previous signal mask

  // Waits for SIGINT or SIGTERM; returns the signal's name ("SIGINT" or "SIGTERM").
  const char* Wait();

 private:
  unsigned char oldMask_[128];  // the caller's sigset_t, kept opaque to the header
};

}  // namespace platform
