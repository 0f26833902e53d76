#include "macro/MacroBlock.h"

#include <algorithm>

#include "docs/KeyTables.h"
#include "store/ProfileStore.h"

uint8_t EncodeDelayByte(bool release, int32_t delayMs) {
  const int32_t d = std::clamp(delayMs, 0, kMacroMaxDelayMs);
  int32_t count = 1;
  int32_t unit = 0;
  if (d <= 10) {
    count = 1;
  } else if (d <= 310) {
    count = d / 10;
  } else if (d <= 1550) {
    count = d / 50;
    unit = 1;
  } else if (d <= 3100) {
    count = d / 100;
    unit = 1;  // the keyboard takes code 1 for both the 50 and the 100 ms steps
  } else {
    count = d / 1000;
    unit = 3;
  }
  uint8_t byte = static_cast<uint8_t>((release ? 0x80 : 0) | (unit << 5) | (count & 0x1F));
  if (byte == 0) {
    byte = 1;
  }
  return byte;
}

MacroBlock EncodeMacroBlock(uint8_t keyIndex, int32_t playTimes,
                            const std::vector<MacroEventRecord>& records) {
  MacroBlock block{};
  block[2] = keyIndex;
  block[3] = static_cast<uint8_t>(std::clamp(playTimes, 1, 255));
  int pair = 0;
  for (const MacroEventRecord& record : records) {
    if (record.type != kMacroEventPress && record.type != kMacroEventRelease) {
      continue;
    }
    if (pair >= kMacroMaxEvents) {
      break;
    }
    block[4 + 2 * pair] = static_cast<uint8_t>(VirtualKeyToHid(static_cast<uint32_t>(record.value)));
    block[5 + 2 * pair] = EncodeDelayByte(record.type == kMacroEventRelease, record.delay_time);
    ++pair;
  }
  return block;
}

MacroBlock EncodeMacroBlock(uint8_t keyIndex, int32_t macroId, ProfileStore& store) {
  int32_t playTimes = 1;
  store.GetMacroPlayTimes(macroId, playTimes);
  std::vector<MacroEventRecord> records;
  store.ListMacroEvents(macroId, records);
  return EncodeMacroBlock(keyIndex, playTimes, records);
}

MacroBlock EncodeMacroBlock(uint8_t keyIndex, int32_t macroId) {
  return EncodeMacroBlock(keyIndex, macroId, ProfileStore::Instance());
}
