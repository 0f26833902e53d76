#include "tools/vkbd/Uevents.h"

#include <cstdio>

namespace vkbd {

namespace {
constexpr const char* kDevFolder = "/dev/";
}  // namespace

std::vector<std::string> HidrawUevents(const KeyboardSpec& spec, int port, bool added,
                                       unsigned& sequence) {
  const std::string action = added ? "add" : "remove";
  const std::string devFolder = kDevFolder;
  std::vector<std::string> out;
  for (const InterfaceSpec& i : spec.interfaces) {
    const size_t slash = i.path.rfind('/');
    const std::string node = slash == std::string::npos ? i.path : i.path.substr(slash + 1);
    const std::string name =
        i.path.rfind(devFolder, 0) == 0 ? i.path.substr(devFolder.size()) : i.path;
    char hid[64];
    std::snprintf(hid, sizeof hid, "1-%d/1-%d:1.%d/0003:%04X:%04X.%04X", port + 1, port + 1,
                  i.interfaceNumber, spec.vendorId, spec.productId, ++sequence & 0xFFFFu);
    const std::string devPath = "/devices/virtual/vkbd/usb1/" + std::string(hid) + "/hidraw/" + node;
    std::string event = action + "@" + devPath;
    event.push_back('\0');
    for (const std::string& field : {"ACTION=" + action, "DEVPATH=" + devPath,
                                     std::string("SUBSYSTEM=hidraw"), "DEVNAME=" + name,
                                     "SEQNUM=" + std::to_string(sequence)}) {
      event += field;
      event.push_back('\0');
    }
    out.push_back(std::move(event));
  }
  return out;
}

}  // namespace vkbd
