#include "platform/TerminationSignals.h"

#include <pthread.h>
#include <signal.h>

#include <cstring>

namespace platform {
namespace {

sigset_t TerminationSet() {
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, SIGINT);
  sigaddset(&set, SIGTERM);
  return set;
}

}  // namespace

static_assert(sizeof(sigset_t) <= 128, "sigset_t does not fit the saved mask");

TerminationSignals::TerminationSignals() {
  const sigset_t set = TerminationSet();
  sigset_t old;
  pthread_sigmask(SIG_BLOCK, &set, &old);
  std::memcpy(oldMask_, &old, sizeof old);
}

TerminationSignals::~TerminationSignals() {
  sigset_t old;
  std::memcpy(&old, oldMask_, sizeof old);
  pthread_sigmask(SIG_SETMASK, &old, nullptr);
}

const char* TerminationSignals::Wait() {
  const sigset_t set = TerminationSet();
  int received = 0;
  while (sigwait(&set, &received) != 0) {
  }
  return received == SIGINT ? "SIGINT" : "SIGTERM";
}

}  // namespace platform
