#include "device/CommandBuilders.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <initializer_list>

namespace {

CommandPayload Bytes(std::initializer_list<uint8_t> bytes) {
  CommandPayload payload{};
  std::copy(bytes.begin(), bytes.end(), payload.begin());
  return payload;
}

uint8_t Low(int32_t value) { return static_cast<uint8_t>(value & 0xFF); }

constexpr int32_t kKindDefault = 0;
constexpr int32_t kKindMacro = 3;
constexpr int32_t kKindShortcut = 7;
constexpr int32_t kOptionCustomSlots = 0x100;

}  // namespace

CommandPayload KeyTableBeginCommand() { return Bytes({0x07, 0x76, 0x54, 0x32, 0x10}); }
CommandPayload KeyTableEndCommand() { return Bytes({0x07, 0xFE, 0xDC, 0xBA, 0x00}); }
CommandPayload MacroAreaBeginCommand() { return Bytes({0x07, 0x01, 0x23, 0x45, 0x67}); }
CommandPayload MacroAreaEndCommand() { return Bytes({0x07, 0xAB, 0xCD, 0xEF, 0x00}); }

CommandPayload DataReport(uint8_t marker, const uint8_t* data48) {
  CommandPayload payload{};
  for (int packet = 0; packet < 8; ++packet) {
    payload[8 * packet] = 0x07;
    payload[8 * packet + 1] = marker;
    for (int i = 0; i < 6; ++i) {
      payload[8 * packet + 2 + i] = data48[6 * packet + i];
    }
  }
  return payload;
}

KeyTableData BuildKeyTableData(const std::vector<KeyAssignmentRecord>& assignments) {
  KeyTableData data{};
  int entry = 0;
  for (const KeyAssignmentRecord& a : assignments) {
    if (a.macro_type == kKindDefault || a.macro_type == kKindMacro ||
        a.macro_type == kKindShortcut) {
      continue;
    }
    if (entry >= kKeyTableEntries) {
      break;  // the keyboard's table has 12 places
    }
    data[entry] = Low(a.key_code);
    data[kKeyTableEntries + entry] = Low(a.macro_value);
    ++entry;
  }
  return data;
}

MacroArea BuildMacroArea(const std::vector<MacroAreaBlock>& blocks) {
  MacroArea area{};
  const size_t count = std::min<size_t>(blocks.size(), kMacroAreaBlocks);
  for (size_t block = 0; block < count; ++block) {
    std::copy(blocks[block].begin(), blocks[block].end(),
              area.begin() + block * kMacroAreaBlockSize);
  }
  return area;
}

CommandPayload MacroAreaReport(const MacroArea& area, int report) {
  report = std::clamp(report, 0, kMacroAreaReports - 1);
  return DataReport(kMacroAreaMarker, area.data() + kDataBytesPerReport * report);
}

CommandPayload LightingModeCommand(const LightRecord& light, int32_t customSlot) {
  const uint8_t slot = (light.config_func & kOptionCustomSlots) != 0 ? Low(customSlot) : 0;
  return Bytes({0x07, 0xFF, 0xFF, Low(light.mode - 1), Low(light.brightness), Low(light.speed),
                0x00, slot});
}

CommandPayload LightingModeOutputCommand(const LightRecord& light) {
  return Bytes({0xBB, 0xAA, 0x99, 0x88, 0xAA, Low(light.mode - 1), Low(light.brightness),
                Low(light.speed)});
}

CommandPayload CustomLightBeginCommand(int32_t slot) {
  return Bytes({0x07, 0x12, 0x34, 0x56, 0x78, 0x00, 0x00, Low(slot)});
}

CommandPayload CustomLightKeyCommand(int32_t keyCode, bool lit) {
  return Bytes({0x07, 0x12, 0x34, 0x56, 0x78, Low(keyCode), static_cast<uint8_t>(lit ? 1 : 0)});
}

CommandPayload CustomLightEndCommand(int32_t slot) {
  return Bytes({0x07, 0x12, 0x34, 0x56, 0x78, 0xFE, 0x00, Low(slot)});
}

CommandPayload MusicLevelCommand(int32_t effect, int32_t level) {
  return Bytes({0x07, 0x23, 0x45, 0x67, 0x89, Low(effect), Low(level)});
}

CommandPayload FactoryResetCommand() { return Bytes({0x07, 0xF0, 0xAA}); }

CommandPayload FactoryResetOutputFirstCommand() {
  return Bytes({0xBB, 0xAA, 0x99, 0x88, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA});
}

CommandPayload FactoryResetOutputSecondCommand() { return Bytes({0xBB, 0xAA, 0x99, 0x88}); }

std::string FirmwareVersionText(uint16_t version) {
  char text[8];
  std::snprintf(text, sizeof text, "%x", static_cast<unsigned>(version));
  return text;
}

int64_t VersionNumber(const std::string& text) {
  size_t i = 0;
  while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  int64_t value = 0;
  for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i) {
    if (value < 100000000000LL) value = value * 10 + (text[i] - '0');
  }
  return negative ? -value : value;
}

bool FirmwareIsOlder(uint16_t deviceVersion, const std::string& fetchedText) {
  if (fetchedText.empty() || fetchedText.size() > 10) {
    return false;
  }
  const int64_t device = VersionNumber(FirmwareVersionText(deviceVersion));
  return device > 0 && device < VersionNumber(fetchedText);
}
