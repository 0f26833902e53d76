#pragma once
// Music-reactive lighting on the program side: turns each captured packet of 16-bit samples into
// one level and sends it, scaled by the gain, as a music level command while the stream is
// active. The keyboard shapes the effect; the program sends only the level and the effect number.
//
// Threads: the setters from the UI thread, OnPacket from the audio capture thread; every setting
// is atomic, so OnPacket always sees whole values. The sender is borrowed and must outlive it.
// The level goes out on the capture thread itself: the device list locks each report on its own,
// so a worker transfer delays a level by one report at most, never by the whole transfer.
#include <atomic>
#include <cstddef>
#include <cstdint>

class KeyboardCommands;

class MusicLevelStream {
 public:
  // The sample taken from a packet: this many units before its end.
  static constexpr std::size_t kUnitsFromEnd = 10;
  static constexpr int kLevelShift = 8;
  static constexpr int kMostLevel = 255;
  static constexpr int32_t kDefaultEffect = 1;
  static constexpr float kDefaultGain = 1.0F;

  // 0 for no packet or one of fewer than kUnitsFromEnd units; otherwise the magnitude of the
  // unit at count - kUnitsFromEnd, high byte only (0 to 128).
  static int LevelOfPacket(const int16_t* units, std::size_t count);
  // level × gain truncated, at most kMostLevel (negative gains give 0).
  static int Scaled(int level, float gain);

  explicit MusicLevelStream(KeyboardCommands& commands);

  // Levels are sent only while active (the lighting page shows a music mode).
  void SetActive(bool active) { active_.store(active); }
  bool Active() const { return active_.load(); }
  void SetEffect(int32_t effect) { effect_.store(effect); }
  int32_t Effect() const { return effect_.load(); }
  void SetGain(float gain) { gain_.store(gain); }
  float Gain() const { return gain_.load(); }
  // Where levels go; -1 drops them.
  void SetDeviceIndex(int index) { deviceIndex_.store(index); }

  // One packet: while active, sends its scaled level. The value sent, or -1 when nothing was
  // sent (inactive, or the keyboard did not take it).
  int OnPacket(const int16_t* units, std::size_t count);

 private:
  KeyboardCommands& commands_;
  std::atomic<bool> active_{false};
  std::atomic<int32_t> effect_{kDefaultEffect};
  std::atomic<float> gain_{kDefaultGain};
  std::atomic<int> deviceIndex_{-1};
};
