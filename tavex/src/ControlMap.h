#pragma once
// ControlMap: tells end-to-end tests where every control sits on the screen. When the
// environment variable TAVEX_CONTROL_MAP names a file, each window writes its controls there
// (id, class name, visibility, screen rectangle as the window shows it) whenever that changed;
// a test reads the file and clicks a control by its id instead of computing pixels.
//
// File format, one line each (screen coordinates, right and bottom exclusive):
//   window native=<id> pid=<pid> client=<l>,<t>,<r>,<b> title=<title to end of line>
//   control id=<id> class=<name> visible=<0|1> rect=<l>,<t>,<r>,<b> shown=<l>,<t>,<r>,<b>
// "rect" is the whole control moved by the scrolling of its panels; "shown" is the part its
// panels let through (empty when scrolled out of sight). Controls follow their window, parents
// before children, in list order. Several windows and processes may share one file: each
// process rewrites only its own windows' sections, under a lock file, by temp file + rename.
//
// Unset variable: Enabled() is one load of a cached flag and nothing else runs.
// Threads: Update and Forget run on the window's UI thread; the shared state is locked.
#include <string>

#include "tavex/WinTypes.h"

namespace Tavex {

class PaintManager;

namespace ControlMap {

// Whether a map file was asked for (the variable is read once per process).
bool Enabled();
// Records the controls of `pm`'s window; rewrites the file when the window's section changed.
void Update(PaintManager& pm);
// Removes a destroyed window from the file.
void Forget(HWND hwnd);
// The section of `pm`'s window as it would be written (tests of the library).
std::string Describe(PaintManager& pm);

}  // namespace ControlMap
}  // namespace Tavex
