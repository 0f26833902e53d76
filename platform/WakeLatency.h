#pragma once
// Lets a thread that sleeps between short timed steps run soon after its wake-up on a busy
// machine. Under the fair scheduler a waking thread otherwise waits until the running thread's
// slice ends, which a paced stream sees as jitter of several milliseconds.
//
// Threads: affects and may be called from the calling thread only.
#include <chrono>

namespace platform {

// Asks for a scheduler slice of `slice` for the calling thread (Linux 6.12 and later honour it
// without privileges; older kernels accept and ignore it). Policy and nice value are kept. False
// when the kernel refused; the thread then runs as before.
bool RequestShortWakeSlice(std::chrono::microseconds slice);

}  // namespace platform
