#pragma once
// One accepted keyboard model of the device table: the HID device list opens only interfaces
// whose vendor and product id match a filter and whose identity text holds its path pattern.
#include <cstdint>
#include <string>

struct DeviceFilter {
  int32_t vendorId = 0;
  int32_t productId = 0;
  std::string name;         // always empty in the shipped program
  std::string pathPattern;  // "VID_%04X&PID_%04X"

  // "VID_24AE&PID_4076" for 0x24ae / 0x4076 (upper-case hex, four digits each).
  static std::string PathPattern(int32_t vendorId, int32_t productId);
  bool Matches(uint16_t vendor, uint16_t product) const {
    return vendorId == vendor && productId == product;
  }
};
