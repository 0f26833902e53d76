// The capture thread against the test session's sound server: it records only while wanted.
#include "platform/AudioCapture.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <thread>

#include "ProcessMaps.h"

namespace {

using namespace std::chrono_literals;

class CountingReceiver : public platform::AudioCapture::IProxy {
 public:
  void Stopped() override {}
  void Data(const int16_t*, std::size_t, int, int, int) override { packets.fetch_add(1); }
  void OnFormat(const platform::AudioCapture::Format&) override {}
  std::atomic<int> packets{0};
};

template <typename Condition>
bool Eventually(Condition condition, std::chrono::milliseconds limit = 5s) {
  const auto end = std::chrono::steady_clock::now() + limit;
  while (!condition()) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(10ms);
  }
  return true;
}

TEST(AudioCapture, RecordsOnlyWhileWantedAndNeitherConnectsNorStepsOtherwise) {
  if (std::getenv("PULSE_SERVER") == nullptr) GTEST_SKIP() << "no test sound server";
  CountingReceiver receiver;
  platform::AudioCapture capture(receiver);
  capture.SetWanted(false);
  ASSERT_TRUE(capture.Start());
  std::this_thread::sleep_for(300ms);
  EXPECT_FALSE(capture.Connected());
  EXPECT_EQ(receiver.packets.load(), 0) << "an unwanted capture must not step";
  EXPECT_EQ(capture.Connections(), 0);
  EXPECT_FALSE(ProcessMaps("libpulse")) << "the audio client library was mapped before it was wanted";

  capture.SetWanted(true);
  ASSERT_TRUE(Eventually([&] { return capture.Connected() && receiver.packets.load() > 2; }));
  EXPECT_TRUE(ProcessMaps("libpulse"));

  capture.SetWanted(false);
  ASSERT_TRUE(Eventually([&] { return !capture.Connected(); }));
  std::this_thread::sleep_for(100ms);  // a step already under way may still deliver
  const int settled = receiver.packets.load();
  std::this_thread::sleep_for(300ms);
  EXPECT_EQ(receiver.packets.load(), settled);

  capture.SetWanted(true);
  ASSERT_TRUE(Eventually([&] { return capture.Connected(); }));
  EXPECT_EQ(capture.Connections(), 2);
  capture.Stop();
  EXPECT_FALSE(capture.Running());
}

}  // namespace
