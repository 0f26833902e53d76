#include "device/DeviceFilter.h"

#include <cstdio>

std::string DeviceFilter::PathPattern(int32_t vendorId, int32_t productId) {
  char text[32];
  std::snprintf(text, sizeof text, "VID_%04X&PID_%04X", static_cast<unsigned>(vendorId) & 0xFFFFu,
                static_cast<unsigned>(productId) & 0xFFFFu);
  return text;
}
