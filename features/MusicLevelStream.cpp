#include "features/MusicLevelStream.h"

#include <algorithm>

#include "features/KeyboardCommands.h"

int MusicLevelStream::LevelOfPacket(const int16_t* units, std::size_t count) {
  if (units == nullptr || count < kUnitsFromEnd) return 0;
  // The magnitude as a 16-bit unsigned number, so that -32768 gives 0x8000 and level 128.
  const int sample = units[count - kUnitsFromEnd];
  const auto magnitude = static_cast<uint16_t>(sample < 0 ? -sample : sample);
  return magnitude >> kLevelShift;
}

int MusicLevelStream::Scaled(int level, float gain) {
  const float product = static_cast<float>(level) * gain;
  if (!(product > 0.0F)) return 0;  // also a NaN gain
  if (product >= static_cast<float>(kMostLevel)) return kMostLevel;
  return static_cast<int>(product);
}

MusicLevelStream::MusicLevelStream(KeyboardCommands& commands) : commands_(commands) {}

int MusicLevelStream::OnPacket(const int16_t* units, std::size_t count) {
  if (!active_.load()) return -1;
  const int value = Scaled(LevelOfPacket(units, count), gain_.load());
  const int index = deviceIndex_.load();
  if (index < 0) return -1;
  return commands_.SendMusicLevel(index, effect_.load(), value) ? value : -1;
}
