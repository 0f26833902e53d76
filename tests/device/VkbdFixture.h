#pragma once
// Tests run against virtual keyboards plugged into the in-process bus; each test starts with an
// empty bus and leaves one behind.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <vector>

#include "device/HidDeviceList.h"
#include "tools/vkbd/VirtualBus.h"

constexpr uint16_t kVid = 0x24AE;
constexpr uint16_t kPid = 0x4076;
constexpr uint16_t kLightVid = 0x1A2C;
constexpr uint16_t kLightPid = 0x7FFF;

class VkbdTest : public ::testing::Test {
 protected:
  void SetUp() override { vkbd::LocalBus().Clear(); }
  void TearDown() override { vkbd::LocalBus().Clear(); }

  static std::shared_ptr<vkbd::VirtualKeyboard> Plug(uint16_t vid = kVid, uint16_t pid = kPid) {
    return vkbd::LocalBus().Plug(vkbd::KeyboardSpec::Model(vid, pid));
  }
  static std::shared_ptr<vkbd::VirtualKeyboard> Plug(vkbd::KeyboardSpec spec) {
    return vkbd::LocalBus().Plug(std::move(spec));
  }

  // A list that accepts both shipped keyboard models and records its waits instead of sleeping.
  void UseCountingList() {
    list.AddFilter(kVid, kPid, "", DeviceFilter::PathPattern(kVid, kPid));
    list.AddFilter(kLightVid, kLightPid, "", DeviceFilter::PathPattern(kLightVid, kLightPid));
    list.SetSleeper([this](std::chrono::nanoseconds d) { waits.push_back(d); });
  }
  void RefreshList() {
    list.CloseAll();
    list.Refresh();
    list.SetOpen(true);
  }

  HidDeviceList list;
  std::vector<std::chrono::nanoseconds> waits;
};

inline HidPayload Payload(std::initializer_list<uint8_t> head) {
  HidPayload p{};
  size_t i = 0;
  for (const uint8_t b : head) p[i++] = b;
  return p;
}
