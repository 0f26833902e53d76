// The keyboard chosen in the device list, as the device switch left it: its type, where it sits
// in the HID device list and the device settings of its layout file. A value type: the window
// hands out copies, so no reader sees a half-written switch.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "docs/LayoutFile.h"

struct CurrentKeyboard {
  int32_t type = 0;       // 0: none chosen
  int deviceIndex = -1;   // in the HID device list; -1 while the keyboard is absent
  int32_t vendorId = 0;
  int32_t productId = 0;
  std::string layoutPath; // the layout file of the type
  LayoutFile layout;      // its device settings (LoadDeviceInfo), lighting and firmware address

  // Where the pages start after each switch: the first lighting profile, the base layer, no key.
  int lightingProfile = 1;
  int fnLayer = 0;
  int selectedKey = 0;
  // What the keyboard answered to the version request after the switch; nothing until then and
  // when it did not answer.
  std::optional<uint16_t> firmwareVersion;

  bool Chosen() const { return type != 0; }
  // Device types from 200 on have lighting only (no key or macro page) and the output family.
  static constexpr int32_t kLightingOnlyType = 200;
  bool LightingOnly() const { return type >= kLightingOnlyType; }
};
