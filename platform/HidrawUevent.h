#pragma once
// Turns a hidraw node's add or remove event into the hot-plug notice the main window matches:
// the kind and the interface's identity text "HID\VID_24AE&PID_4076&MI_01\/dev/hidraw3", the same
// text the HID enumeration builds. The ids and the interface number come from the sysfs path
// alone (".../1-2:1.1/0003:24AE:4076.0009/hidraw/hidraw3"), because on removal the node and its
// sysfs attributes are already gone.
//
// Pure functions; any thread.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace platform {

enum class HotPlugKind { Arrival, Removal };

struct HotPlugNotice {
  HotPlugKind kind = HotPlugKind::Arrival;
  std::string identity;
};

// "HID\VID_%04X&PID_%04X&MI_%02X\<path>"; a negative interface number prints as MI_FF.
std::string HidIdentityText(uint16_t vendorId, uint16_t productId, int interfaceNumber,
                            const std::string& path);

// The notice of one event; nothing for other actions ("change", "bind"), other subsystems and
// paths without a HID device component. `devNode` is the node path ("/dev/hidraw3"); when empty
// it is made from the last path component.
std::optional<HotPlugNotice> HidrawNotice(const std::string& action, const std::string& subsystem,
                                          const std::string& devPath, const std::string& devNode);

// The same from a kernel uevent datagram ("add@/devices/...\0ACTION=add\0SUBSYSTEM=hidraw\0
// DEVNAME=hidraw3\0..."). Bounded by `length`; a truncated or garbled datagram gives nothing.
std::optional<HotPlugNotice> ParseKernelUevent(const char* data, size_t length);

}  // namespace platform
