#include "tools/vkbd/VirtualKeyboard.h"

#include <gtest/gtest.h>

#include <thread>

#include "tools/vkbd/VirtualBus.h"

using namespace std::chrono_literals;
using vkbd::KeyboardSpec;
using vkbd::ReportKind;
using vkbd::VirtualBus;
using vkbd::VirtualKeyboard;

TEST(VirtualKeyboard, KeyboardsOnOneBusKeepTheirOwnState) {
  VirtualBus bus;
  const auto a = bus.Plug(KeyboardSpec::Model(0x24AE, 0x4076));
  const auto b = bus.Plug(KeyboardSpec::Model(0x24AE, 0x4076));
  const auto c = bus.Plug(KeyboardSpec::Model(0x1A2C, 0x7FFF));
  ASSERT_EQ(bus.Enumerate().size(), 6u);
  EXPECT_NE(a->Spec().interfaces[0].path, b->Spec().interfaces[0].path);
  const auto port = bus.OpenPath(b->Spec().interfaces[0].path);
  ASSERT_TRUE(port);
  const uint8_t lighting[8] = {7, 0xFF, 0xFF, 9, 1, 1, 0, 0};
  EXPECT_EQ(port->SendFeature(lighting, sizeof lighting), 8);
  EXPECT_EQ(b->State().lightMode, 9);
  EXPECT_EQ(a->State().lightMode, 0);
  EXPECT_TRUE(a->Log().empty());
  EXPECT_TRUE(c->Log().empty());
}

TEST(VirtualKeyboard, LogsEveryReportWithRisingMonotonicTimes) {
  VirtualBus bus;
  const auto kb = bus.Plug(KeyboardSpec::Model(0x24AE, 0x4076));
  const auto cmd = kb->Open(VirtualKeyboard::kCommandInterface);
  const auto ev = kb->Open(VirtualKeyboard::kEventInterface);
  const uint8_t r[3] = {7, 0xF0, 0xAA};
  cmd->SendFeature(r, 3);
  uint8_t get[64] = {7, 2};
  cmd->GetFeature(get, sizeof get);
  const uint8_t out[4] = {0, 0xBB, 0xAA, 0x99};
  cmd->Write(out, 4);
  kb->EmitEvent(0x10);
  const auto log = kb->Log();
  ASSERT_EQ(log.size(), 4u);
  EXPECT_EQ(log[0].kind, ReportKind::FeatureSet);
  EXPECT_EQ(log[1].kind, ReportKind::FeatureGet);
  EXPECT_EQ(log[2].kind, ReportKind::Output);
  EXPECT_EQ(log[3].kind, ReportKind::Input);
  for (size_t i = 1; i < log.size(); ++i) EXPECT_GE(log[i].monotonicNs, log[i - 1].monotonicNs);
  EXPECT_GT(log[0].monotonicNs, 0);
  uint8_t in[4] = {};
  EXPECT_EQ(ev->Read(in, sizeof in, 0), 4);
  EXPECT_EQ(in[2], 0x10);
  EXPECT_EQ(ev->Read(in, sizeof in, 0), 0);  // nothing more: time-out
}

TEST(VirtualKeyboard, UnplugFailsOpenHandlesWakesReadersAndHidesTheKeyboard) {
  VirtualBus bus;
  const auto kb = bus.Plug(KeyboardSpec::Model(0x24AE, 0x4076));
  const auto port = kb->Open(VirtualKeyboard::kEventInterface);
  std::thread unplug([&] {
    kb->WaitForOpen(VirtualKeyboard::kEventInterface, 1s);
    kb->Unplug();
  });
  uint8_t in[4];
  EXPECT_EQ(port->Read(in, sizeof in, -1), -1);  // woken by the unplug, not a time-out
  unplug.join();
  EXPECT_TRUE(bus.Enumerate().empty());
  EXPECT_FALSE(kb->Open(VirtualKeyboard::kCommandInterface));
  const uint8_t r[3] = {7, 0xF0, 0xAA};
  EXPECT_EQ(port->SendFeature(r, 3), -1);
  kb->Plug();
  EXPECT_EQ(bus.Enumerate().size(), 2u);
  EXPECT_EQ(port->SendFeature(r, 3), -1);  // an old handle stays dead
  EXPECT_TRUE(kb->Open(VirtualKeyboard::kCommandInterface));
}
