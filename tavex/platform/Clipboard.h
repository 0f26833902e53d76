#pragma once
// Hook of the event translator: answers selection requests for the clipboard window.
#include <X11/Xlib.h>

namespace Tavex::Platform {

class X11Connection;
// True when the event belonged to the clipboard window (and was handled).
bool HandleClipboardEvent(X11Connection& c, XEvent& ev);

}  // namespace Tavex::Platform
