#include "tools/vkbd/KeyboardState.h"

#include <algorithm>
#include <cstdio>

namespace vkbd {

namespace {
std::string Hex(const uint8_t* data, size_t n) {
  std::string out;
  char b[4];
  for (size_t i = 0; i < n; ++i) {
    std::snprintf(b, sizeof b, "%02x", data[i]);
    if (i) out += ' ';
    out += b;
  }
  return out;
}
}  // namespace

std::array<uint8_t, KeyboardState::kMacroBlockSize> KeyboardState::MacroBlock(int block) const {
  std::array<uint8_t, kMacroBlockSize> out{};
  if (block < 0 || block >= kMacroBlocks) return out;
  std::copy_n(macroArea.begin() + block * kMacroBlockSize, kMacroBlockSize, out.begin());
  return out;
}

std::string KeyboardState::LitKeysText(uint8_t slot) const {
  std::string out;
  const auto it = litKeys.find(slot);
  if (it == litKeys.end()) return out;
  char b[8];
  for (const auto& [code, lit] : it->second) {
    if (!lit) continue;
    std::snprintf(b, sizeof b, "%s%02x", out.empty() ? "" : " ", code);
    out += b;
  }
  return out;
}

std::string KeyboardState::Describe() const {
  std::string out;
  char line[160];
  std::snprintf(line, sizeof line, "keytable transfers=%d\n", keyTableTransfers);
  out += line;
  for (int i = 0; i < kKeyEntries; ++i) {
    if (keyTable[i] == KeyEntry{}) continue;
    std::snprintf(line, sizeof line, "key %d code=%02x value=%02x\n", i, keyTable[i].code, keyTable[i].value);
    out += line;
  }
  std::snprintf(line, sizeof line, "macro transfers=%d reports=%d\n", macroTransfers, macroReportsInLastTransfer);
  out += line;
  for (int b = 0; b < kMacroBlocks; ++b) {
    const auto block = MacroBlock(b);
    if (std::all_of(block.begin(), block.end(), [](uint8_t v) { return v == 0; })) continue;
    out += "macroblock " + std::to_string(b) + " " + Hex(block.data(), block.size()) + "\n";
  }
  std::snprintf(line, sizeof line, "lighting mode=%u brightness=%u speed=%u slot=%u commands=%d\n",
                lightMode, brightness, speed, lightSlot, lightingCommands);
  out += line;
  std::snprintf(line, sizeof line, "custom editing=%d slot=%u sessions=%d\n", customEditing ? 1 : 0,
                customSlot, customSessions);
  out += line;
  for (const auto& [slot, keys] : litKeys) {
    out += "lit " + std::to_string(slot) + " " + LitKeysText(slot) + "\n";
  }
  std::snprintf(line, sizeof line, "music effect=%u level=%u reports=%d\n", musicEffect, musicLevel, musicReports);
  out += line;
  std::snprintf(line, sizeof line, "resets feature=%d output=%d\n", featureResets, outputResets);
  out += line;
  std::snprintf(line, sizeof line, "unknown=%d malformed=%d\n", unknownReports, malformedReports);
  out += line;
  return out;
}

}  // namespace vkbd
