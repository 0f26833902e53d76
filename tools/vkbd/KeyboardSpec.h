#pragma once
// How a virtual keyboard presents itself on the bus: ids, strings, and its HID interfaces.
#include <cstdint>
#include <string>
#include <vector>

namespace vkbd {

struct InterfaceSpec {
  uint16_t usagePage = 0;
  uint16_t usage = 0;
  int interfaceNumber = 0;
  std::string path;  // empty: the bus assigns "/dev/vkbd/hidrawN"
};

struct KeyboardSpec {
  static constexpr uint16_t kCommandUsagePage = 0xFF01;
  static constexpr uint16_t kEventUsagePage = 0xFFFF;

  uint16_t vendorId = 0x24AE;
  uint16_t productId = 0x4076;
  uint16_t releaseNumber = 0x0100;
  std::string manufacturer = "Tarnwick";
  std::string product = "Virtual Keyboard";
  uint16_t firmwareVersion = 0x0105;
  // Empty: the command interface (0xFF01/1, interface 1) and the event interface (0xFFFF/1,
  // interface 2), in this order.
  std::vector<InterfaceSpec> interfaces;

  static KeyboardSpec Model(uint16_t vendorId, uint16_t productId) {
    KeyboardSpec spec;
    spec.vendorId = vendorId;
    spec.productId = productId;
    return spec;
  }
};

}  // namespace vkbd
