#pragma once
// What a virtual keyboard has learnt from the commands it received: the keyboard's side of the
// command protocol, as plain values that tests compare and the vkbd process prints.
#include <array>
#include <cstdint>
#include <map>
#include <string>

namespace vkbd {

struct KeyEntry {
  uint8_t code = 0;
  uint8_t value = 0;
  bool operator==(const KeyEntry&) const = default;
};

struct KeyboardState {
  static constexpr int kKeyEntries = 12;
  static constexpr int kMacroBlocks = 12;
  static constexpr int kMacroBlockSize = 64;
  static constexpr int kMacroReports = 16;

  // Key table of the last complete transfer (begin, data, end).
  std::array<KeyEntry, kKeyEntries> keyTable{};
  int keyTableTransfers = 0;
  // Macro area (12 blocks of 64 bytes) of the last complete transfer and how many data reports
  // that transfer carried (16 when complete).
  std::array<uint8_t, kMacroBlocks * kMacroBlockSize> macroArea{};
  int macroTransfers = 0;
  int macroReportsInLastTransfer = 0;

  // Lighting mode as the keyboard numbers it (mode number - 1), brightness, speed, custom slot.
  uint8_t lightMode = 0;
  uint8_t brightness = 0;
  uint8_t speed = 0;
  uint8_t lightSlot = 0;
  int lightingCommands = 0;  // both families

  // Custom-light editing: the open session's slot, and the lit state of every key per slot.
  bool customEditing = false;
  uint8_t customSlot = 0;
  int customSessions = 0;  // completed (begin ... end)
  std::map<uint8_t, std::map<uint8_t, bool>> litKeys;  // slot -> key code -> lit

  uint8_t musicEffect = 0;
  uint8_t musicLevel = 0;
  int musicReports = 0;

  int featureResets = 0;  // 07 F0 AA
  int outputResets = 0;   // output family: step 1 followed by step 2

  int unknownReports = 0;    // reports that are no command
  int malformedReports = 0;  // data reports whose sub-packet headers are wrong, stray data

  std::array<uint8_t, kMacroBlockSize> MacroBlock(int block) const;
  // Lit key codes of one slot, ascending.
  std::string LitKeysText(uint8_t slot) const;
  // Multi-line, stable text of the whole state ("name value ..." lines).
  std::string Describe() const;
};

}  // namespace vkbd
