#include "platform/WakeLatency.h"

#include <sched.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cstdint>

namespace platform {

namespace {

// The kernel's sched_attr (its first version, 56 bytes); the kernel header's own definition
// clashes with the C library's scheduling header.
struct SchedAttr {
  uint32_t size = sizeof(SchedAttr);
  uint32_t policy = 0;
  uint64_t flags = 0;
  int32_t nice = 0;
  uint32_t priority = 0;
  uint64_t runtime = 0;
  uint64_t deadline = 0;
  uint64_t period = 0;
  uint32_t utilMin = 0;
  uint32_t utilMax = 0;
};
static_assert(sizeof(SchedAttr) == 56);

}  // namespace

bool RequestShortWakeSlice(std::chrono::microseconds slice) {
  if (slice.count() <= 0) return false;
  SchedAttr attr;
  // The thread's own attributes first, so that only the slice changes.
  if (syscall(SYS_sched_getattr, 0, &attr, sizeof attr, 0) != 0) return false;
  // A real-time or deadline thread reads the runtime otherwise; only fair threads take a slice.
  if (attr.policy != SCHED_OTHER && attr.policy != SCHED_BATCH) return false;
  attr.size = sizeof attr;
  attr.flags = 0;
  attr.runtime = static_cast<uint64_t>(std::chrono::nanoseconds(slice).count());
  return syscall(SYS_sched_setattr, 0, &attr, 0) == 0;
}

}  // namespace platform
