#pragma once
// The kernel-format uevents a plug or unplug of a virtual keyboard would make: one per HID
// interface, for its hidraw node, with a sysfs path that carries the ids and the interface
// number the way a USB keyboard's does. The server relays them to the program's hot-plug monitor.
#include <string>
#include <vector>

#include "tools/vkbd/KeyboardSpec.h"

namespace vkbd {

// "add@<devpath>\0ACTION=add\0DEVPATH=<devpath>\0SUBSYSTEM=hidraw\0DEVNAME=<node>\0SEQNUM=<n>\0"
// for each interface of `spec` (paths assigned); `added` picks add or remove. `port` numbers the
// keyboard on the virtual bus; `sequence` is advanced once per datagram.
std::vector<std::string> HidrawUevents(const KeyboardSpec& spec, int port, bool added,
                                       unsigned& sequence);

}  // namespace vkbd
