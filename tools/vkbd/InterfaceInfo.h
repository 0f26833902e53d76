#pragma once
// One HID interface as an enumeration reports it (UTF-8 strings).
#include <cstdint>
#include <string>

namespace vkbd {

struct InterfaceInfo {
  std::string path;
  uint16_t vendorId = 0;
  uint16_t productId = 0;
  uint16_t releaseNumber = 0;
  uint16_t usagePage = 0;
  uint16_t usage = 0;
  int interfaceNumber = 0;
  std::string manufacturer;
  std::string product;
  std::string serial;
};

}  // namespace vkbd
