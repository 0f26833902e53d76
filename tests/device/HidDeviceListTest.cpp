#include <atomic>
#include <thread>

#include "VkbdFixture.h"

using namespace std::chrono_literals;
using vkbd::InterfaceSpec;
using vkbd::KeyboardSpec;
using vkbd::ReportKind;
using vkbd::VersionReply;

namespace {
KeyboardSpec WithInterfaces(std::vector<InterfaceSpec> interfaces) {
  KeyboardSpec spec = KeyboardSpec::Model(kVid, kPid);
  spec.interfaces = std::move(interfaces);
  return spec;
}
}  // namespace

TEST_F(VkbdTest, WithoutKeyboardsTheListIsEmptyAndSendsFail) {
  UseCountingList();
  RefreshList();
  EXPECT_EQ(list.Count(), 0);
  EXPECT_EQ(list.FindDevice(kVid, kPid), -1);
  EXPECT_FALSE(list.SendFeature(Payload({7}), 0));
  EXPECT_FALSE(list.WriteOutput(Payload({0xBB}), 0));
}

TEST_F(VkbdTest, OnlyTheCommandInterfaceWithUsageOneIsOpened) {
  const auto kb = Plug(WithInterfaces({{0xFF01, 2, 0, {}}, {0xFF01, 1, 1, {}}, {0xFFFF, 1, 2, {}}}));
  UseCountingList();
  RefreshList();
  ASSERT_EQ(list.Count(), 1);
  EXPECT_EQ(list.DeviceInfo(0)->path, kb->Spec().interfaces[1].path);
  EXPECT_EQ(kb->OpenCount(0), 0);
  EXPECT_EQ(kb->OpenCount(1), 1);
  EXPECT_EQ(kb->OpenCount(2), 0);
}

TEST_F(VkbdTest, AKeyboardWithOnlyUsageTwoGivesNoRecord) {
  Plug(WithInterfaces({{0xFF01, 2, 1, {}}, {0xFFFF, 1, 2, {}}}));
  UseCountingList();
  RefreshList();
  EXPECT_EQ(list.Count(), 0);
}

TEST_F(VkbdTest, RecordCarriesIdentityStringsAndRelease) {
  KeyboardSpec spec = WithInterfaces({{0xFF01, 1, 1, "/dev/vkbd/vid_24ae&pid_4076&mi_01"}});
  spec.manufacturer = "Tarnwick";
  spec.product = "Füll Keyboard";
  spec.releaseNumber = 0x0213;
  Plug(spec);
  UseCountingList();
  RefreshList();
  ASSERT_EQ(list.Count(), 1);
  const HidDeviceInfo info = *list.DeviceInfo(0);
  EXPECT_EQ(info.path, "/dev/vkbd/vid_24ae&pid_4076&mi_01");
  EXPECT_EQ(info.identity, "HID\\VID_24AE&PID_4076&MI_01\\/dev/vkbd/vid_24ae&pid_4076&mi_01");
  EXPECT_EQ(info.manufacturer, "Tarnwick");
  EXPECT_EQ(info.product, "Füll Keyboard");
  EXPECT_EQ(info.serial, "");
  EXPECT_EQ(info.releaseNumber, 0x0213);
}

TEST_F(VkbdTest, PathPatternIsMatchedWithoutRegardToCase) {
  Plug();
  list.AddFilter(kVid, kPid, "", "vid_24ae&pid_4076");
  list.SetSleeper([](std::chrono::nanoseconds) {});
  RefreshList();
  EXPECT_EQ(list.Count(), 1);
}

TEST_F(VkbdTest, InterfaceWhoseIdentityLacksThePatternIsSkipped) {
  Plug();
  list.AddFilter(kVid, kPid, "", "VID_24AE&PID_9999");
  RefreshList();
  EXPECT_EQ(list.Count(), 0);
}

TEST_F(VkbdTest, KeyboardsOfUnknownModelsAreIgnored) {
  Plug(0x1234, 0x5678);
  UseCountingList();
  RefreshList();
  EXPECT_EQ(list.Count(), 0);
}

TEST_F(VkbdTest, TwoKeyboardsOfOneTypeGiveRecordsZeroAndOne) {
  Plug();
  Plug(kLightVid, kLightPid);
  Plug();
  UseCountingList();
  RefreshList();
  ASSERT_EQ(list.Count(), 3);
  EXPECT_EQ(list.DeviceInfo(0)->index, 0);
  EXPECT_EQ(list.DeviceInfo(2)->index, 2);
  EXPECT_EQ(list.DeviceInfo(2)->vendorId, kVid);
  EXPECT_EQ(list.FindDevice(kVid, kPid), 0);
  EXPECT_EQ(list.FindDevice(kLightVid, kLightPid), 1);
  EXPECT_EQ(list.FindDevice(0x1111, 0x2222), -1);
}

TEST_F(VkbdTest, RefreshStartsOverAndFollowsUnplugging) {
  const auto first = Plug();
  Plug(kLightVid, kLightPid);
  UseCountingList();
  RefreshList();
  ASSERT_EQ(list.Count(), 2);
  first->Unplug();
  RefreshList();
  ASSERT_EQ(list.Count(), 1);
  EXPECT_EQ(list.FindDevice(kLightVid, kLightPid), 0);
  EXPECT_EQ(list.FindDevice(kVid, kPid), -1);
}

TEST_F(VkbdTest, PacedSendWaitsThirtyTwoMillisecondsThenSendsTheWholePayload) {
  const auto kb = Plug();
  UseCountingList();
  RefreshList();
  HidPayload p = Payload({7, 0xFF, 0xFF, 4, 4, 2, 0, 2});
  p[63] = 0x5A;
  EXPECT_TRUE(list.SendFeaturePaced(p, 0));
  ASSERT_EQ(waits.size(), 1u);
  EXPECT_EQ(waits[0], 32ms);
  const auto sent = kb->Log(ReportKind::FeatureSet);
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(sent[0].bytes, std::vector<uint8_t>(p.begin(), p.end()));
  EXPECT_EQ(kb->State().lightMode, 4);
}

TEST_F(VkbdTest, InvalidIndexOrClosedListSendsNothingAndDoesNotWait) {
  const auto kb = Plug();
  UseCountingList();
  RefreshList();
  EXPECT_FALSE(list.SendFeaturePaced(Payload({7, 0xF0, 0xAA}), -1));
  EXPECT_FALSE(list.SendFeaturePaced(Payload({7, 0xF0, 0xAA}), 1));
  EXPECT_FALSE(list.SendFeature(Payload({7}), -1));
  EXPECT_FALSE(list.WriteOutput(Payload({0xBB}), 5));
  uint16_t version = 0;
  EXPECT_FALSE(list.ReadFirmwareVersion(-1, version));
  list.SetOpen(false);
  EXPECT_FALSE(list.SendFeaturePaced(Payload({7, 0xF0, 0xAA}), 0));
  EXPECT_FALSE(list.SendFeature(Payload({7}), 0));
  EXPECT_TRUE(waits.empty());
  EXPECT_TRUE(kb->Log().empty());
  EXPECT_EQ(version, 0);
}

TEST_F(VkbdTest, CloseAllDropsRecordsButKeepsFilters) {
  const auto kb = Plug();
  UseCountingList();
  RefreshList();
  list.CloseAll();
  EXPECT_FALSE(list.IsOpen());
  EXPECT_EQ(list.Count(), 0);
  EXPECT_EQ(kb->OpenCount(0), 0);  // device closed
  EXPECT_EQ(list.Filters().size(), 2u);
}

TEST_F(VkbdTest, WriteOutputPutsReportIdZeroInFrontAndRetriesOnceAfterAFailure) {
  const auto kb = Plug(kLightVid, kLightPid);
  UseCountingList();
  RefreshList();
  kb->FailNextWrites(1);
  EXPECT_TRUE(list.WriteOutput(Payload({0xBB, 0xAA, 0x99, 0x88, 0xAA, 4, 4, 2}), 0));
  ASSERT_EQ(waits.size(), 1u);
  EXPECT_EQ(waits[0], 32ms);
  const auto writes = kb->Log(ReportKind::Output);
  ASSERT_EQ(writes.size(), 2u);
  EXPECT_FALSE(writes[0].accepted);
  EXPECT_TRUE(writes[1].accepted);
  ASSERT_EQ(writes[1].bytes.size(), 65u);
  EXPECT_EQ(writes[1].bytes[0], 0);
  EXPECT_EQ(writes[1].bytes[1], 0xBB);
  EXPECT_EQ(kb->State().brightness, 4);
}

TEST_F(VkbdTest, WriteOutputFailsWhenTheRetryFailsToo) {
  const auto kb = Plug(kLightVid, kLightPid);
  UseCountingList();
  RefreshList();
  kb->FailNextWrites(2);
  EXPECT_FALSE(list.WriteOutput(Payload({0xBB, 0xAA, 0x99, 0x88}), 0));
  EXPECT_EQ(kb->Log(ReportKind::Output).size(), 2u);
  EXPECT_TRUE(list.WriteOutput(Payload({0xBB, 0xAA, 0x99, 0x88}), 0));
  EXPECT_EQ(kb->Log(ReportKind::Output).size(), 3u);  // no retry after success
}

TEST_F(VkbdTest, SendFeatureReportsTheTransferResult) {
  const auto kb = Plug();
  UseCountingList();
  RefreshList();
  EXPECT_TRUE(list.SendFeature(Payload({7, 0x23, 0x45, 0x67, 0x89, 1, 200}), 0));
  kb->FailNextFeatures(1);
  EXPECT_FALSE(list.SendFeature(Payload({7, 0x23, 0x45, 0x67, 0x89, 1, 201}), 0));
  EXPECT_TRUE(waits.empty());
  EXPECT_EQ(kb->State().musicLevel, 200);
}

TEST_F(VkbdTest, FirmwareVersionIsReadBigEndianAfterOneWait) {
  const auto kb = Plug();
  kb->SetFirmwareVersion(0x0105);
  UseCountingList();
  RefreshList();
  uint16_t version = 0;
  EXPECT_TRUE(list.ReadFirmwareVersion(0, version));
  EXPECT_EQ(version, 0x0105);
  EXPECT_EQ(waits.size(), 1u);
  const auto gets = kb->Log(ReportKind::FeatureGet);
  ASSERT_EQ(gets.size(), 1u);
}

TEST_F(VkbdTest, FirmwareVersionIsAskedOnceMoreAfterAWrongReportId) {
  const auto kb = Plug();
  kb->SetFirmwareVersion(0x0203);
  kb->SetVersionReply(VersionReply::WrongIdOnce);
  UseCountingList();
  RefreshList();
  uint16_t version = 0;
  EXPECT_TRUE(list.ReadFirmwareVersion(0, version));
  EXPECT_EQ(version, 0x0203);
  EXPECT_EQ(kb->Log(ReportKind::FeatureGet).size(), 2u);
  EXPECT_EQ(waits.size(), 2u);
}

TEST_F(VkbdTest, FirmwareVersionStaysUnchangedWithoutAProperAnswer) {
  const auto kb = Plug();
  UseCountingList();
  RefreshList();
  uint16_t version = 0;
  kb->SetVersionReply(VersionReply::Never);
  EXPECT_FALSE(list.ReadFirmwareVersion(0, version));
  EXPECT_EQ(version, 0);
  EXPECT_EQ(kb->Log(ReportKind::FeatureGet).size(), 1u);
  kb->SetVersionReply(VersionReply::WrongIdAlways);
  EXPECT_FALSE(list.ReadFirmwareVersion(0, version));
  EXPECT_EQ(version, 0);
  EXPECT_EQ(kb->Log(ReportKind::FeatureGet).size(), 3u);
}

TEST_F(VkbdTest, UnpluggingDuringAPacedTransferNeitherCrashesNorHangs) {
  const auto kb = Plug();
  list.AddFilter(kVid, kPid, "", DeviceFilter::PathPattern(kVid, kPid));
  RefreshList();  // real 32 ms pacing
  size_t delivered = 0;
  std::thread transfer([this, &delivered] {
    for (int i = 0; i < 21; ++i) delivered += list.SendFeaturePaced(Payload({7, 0x88}), 0) ? 1 : 0;
  });
  ASSERT_TRUE(kb->WaitForReports(ReportKind::FeatureSet, 2, 5s));
  kb->Unplug();
  transfer.join();
  const size_t sent = kb->Log(ReportKind::FeatureSet).size();
  EXPECT_GE(sent, 2u);
  EXPECT_LT(sent, 21u);
  EXPECT_EQ(delivered, sent);  // every report after the unplug was reported as not sent
  RefreshList();
  EXPECT_EQ(list.Count(), 0);
}

TEST_F(VkbdTest, RefreshWhileAnotherThreadSendsIsSafe) {
  const auto kb = Plug();
  UseCountingList();
  RefreshList();
  std::atomic<bool> stop{false};
  std::atomic<int> delivered{0};
  std::thread music([&] {
    uint8_t level = 0;
    while (!stop) {
      if (list.SendFeature(Payload({7, 0x23, 0x45, 0x67, 0x89, 1, level++}), 0)) ++delivered;
    }
  });
  while (delivered == 0) std::this_thread::yield();
  for (int i = 0; i < 200; ++i) RefreshList();
  stop = true;
  music.join();
  EXPECT_EQ(list.Count(), 1);
  EXPECT_GT(delivered.load(), 0);
  EXPECT_EQ(kb->OpenCount(0), 1);  // every replaced record closed its device
  EXPECT_EQ(kb->State().musicReports, delivered.load());
}
