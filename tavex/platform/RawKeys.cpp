// Watching the keys of the whole X server without taking them: XInput2 raw key presses on the
// root window, named as virtual-key codes and posted to the windows that asked for them.
#include <X11/XKBlib.h>
#include <X11/extensions/XInput2.h>

#include <algorithm>

#include "KeyMap.h"
#include "ThreadQueue.h"
#include "X11Connection.h"
#include "tavex/Native.h"

namespace Tavex::Platform {
namespace {

constexpr int kMissing = -1;
constexpr LPARAM kPressed = 1;

// The extension's opcode, queried once per connection; kMissing without XInput 2.0.
int XiOpcode(X11Connection& c) {
  if (c.xiOpcode != 0) return c.xiOpcode;
  int opcode = 0, event = 0, error = 0;
  int major = 2, minor = 0;
  if (!XQueryExtension(c.dpy, "XInputExtension", &opcode, &event, &error) ||
      XIQueryVersion(c.dpy, &major, &minor) != Success) {
    c.xiOpcode = kMissing;
  } else {
    c.xiOpcode = opcode;
  }
  return c.xiOpcode;
}

void SelectRawKeys(X11Connection& c, bool on) {
  unsigned char bits[XIMaskLen(XI_LASTEVENT)] = {};
  if (on) XISetMask(bits, XI_RawKeyPress);
  XIEventMask mask{};
  mask.deviceid = XIAllMasterDevices;
  mask.mask_len = sizeof bits;
  mask.mask = bits;
  XISelectEvents(c.dpy, c.root, &mask, 1);
  XFlush(c.dpy);
}

UINT VirtualKeyOfKeycode(Display* dpy, unsigned keycode) {
  const KeySym sym = XkbKeycodeToKeysym(dpy, static_cast<KeyCode>(keycode), 0, 0);
  const UINT sided = SidedVirtualKeyOfKeysym(static_cast<std::uint32_t>(sym));
  return sided != 0 ? sided : VirtualKeyOfKeysym(static_cast<std::uint32_t>(sym));
}

}  // namespace

bool DeliverRawKey(X11Connection& c, XEvent& ev) {
  if (ev.type != GenericEvent || c.xiOpcode <= 0 || ev.xcookie.extension != c.xiOpcode)
    return false;
  if (!XGetEventData(c.dpy, &ev.xcookie)) return true;
  if (ev.xcookie.evtype == XI_RawKeyPress) {
    const auto* raw = static_cast<const XIRawEvent*>(ev.xcookie.data);
    const UINT vk = VirtualKeyOfKeycode(c.dpy, static_cast<unsigned>(raw->detail));
    // A window destroyed without unregistering is dropped here.
    auto& targets = c.rawKeyTargets;
    targets.erase(
        std::remove_if(targets.begin(), targets.end(), [](HWND w) { return !Native::IsWindow(w); }),
        targets.end());
    if (vk != 0)
      for (HWND target : targets) PostInput(target, Native::WM_INPUT, vk, kPressed);
    if (targets.empty()) SelectRawKeys(c, false);
  }
  XFreeEventData(c.dpy, &ev.xcookie);
  return true;
}

}  // namespace Tavex::Platform

namespace Tavex::Native {
using namespace Tavex::Platform;

bool RegisterRawKeys(HWND hwnd, bool on) {
  X11Connection* c = X11Connection::Current();
  if (c == nullptr || hwnd == nullptr || XiOpcode(*c) == kMissing) return false;
  auto& targets = c->rawKeyTargets;
  const bool wasEmpty = targets.empty();
  targets.erase(std::remove(targets.begin(), targets.end(), hwnd), targets.end());
  if (on) targets.push_back(hwnd);
  if (wasEmpty != targets.empty()) SelectRawKeys(*c, !targets.empty());
  return true;
}

}  // namespace Tavex::Native
