#pragma once
// The channel on which the virtual keyboard's server relays kernel-format uevents for its
// simulated plugs and unplugs: a Unix sequenced-packet socket beside its command socket
// ("<socket>.uevents"). Present only in builds with the virtual keyboard (KW_HOTPLUG_RELAY);
// elsewhere Connect always gives an invalid descriptor and nothing else is compiled.
//
// Any thread.
#include <string>

#include "platform/UniqueFd.h"

namespace platform {

// The relay of the server the program's HID calls reach (KW_VKBD_SOCKET, else the default
// socket in the runtime folder, else in /tmp), or empty in builds without the virtual keyboard.
std::string HotPlugRelayPath();
// A connection to the relay; invalid when nothing listens there.
UniqueFd ConnectHotPlugRelay();

}  // namespace platform
