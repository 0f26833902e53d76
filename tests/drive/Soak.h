// The soak: the program on its lighting page for MINUTES, a preview mode chosen (a lighting
// transfer) at the start of every 10 s period and the music mode, with a tone playing, halfway
// through it; resident memory sampled every period. Prints the figures and returns the exit
// status: 0 when memory did not grow after the first minute and no transfer was lost. Main
// thread only.
#pragma once

namespace drive {

int RunSoak(int minutes);

}  // namespace drive
