#pragma once
// What the message loop needs from the display connection, without X11 types. Every function
// is a no-op (or -1 / "never") on threads other than the UI thread.
#include <cstdint>

namespace Tavex::Platform {

// Whether the calling thread owns the display connection.
bool IsUiThread();
// Reads and translates every event the server has sent so far.
void PumpDisplay();
// Sends buffered requests to the server.
void FlushDisplay();
// Whether events already wait in the client-side queue (read during some round trip), so
// that waiting on the connection's descriptor would not see them.
bool DisplayHasQueuedEvents();
// Connection file descriptor, -1 when none.
int DisplayFd();
// Next hover deadline (ms of NowMs), UINT64_MAX when none; RunInputTimers posts what is due.
std::uint64_t NextInputDeadline();
void RunInputTimers(std::uint64_t now);

}  // namespace Tavex::Platform
