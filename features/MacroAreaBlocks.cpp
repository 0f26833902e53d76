#include "features/MacroAreaBlocks.h"

#include "macro/MacroBlock.h"
#include "store/ProfileStore.h"

namespace {

constexpr int32_t kKindMacro = 3;
constexpr int32_t kKindShortcut = 7;
constexpr int32_t kShortcutCount = 15;
constexpr int32_t kShortcutStepMs = 10;
constexpr int kBlockKeyIndex = 2;
constexpr int kBlockPlayTimes = 3;
constexpr int kBlockFirstPair = 4;

uint8_t Low(int32_t value) { return static_cast<uint8_t>(value & 0xFF); }

// Shortcut sequences: modifier, then keys; pressed in order and released in reverse.
struct Shortcut {
  uint8_t keys[3];
  int count;
};

constexpr uint8_t kLeftCtrl = 0xE0;
constexpr uint8_t kLeftAlt = 0xE2;
constexpr uint8_t kLeftWin = 0xE3;

constexpr Shortcut kShortcuts[kShortcutCount] = {
    {{kLeftCtrl, 0x04}, 2},       // 1  Ctrl+A
    {{kLeftCtrl, 0x06}, 2},       // 2  Ctrl+C
    {{kLeftCtrl, 0x1B}, 2},       // 3  Ctrl+X
    {{kLeftCtrl, 0x19}, 2},       // 4  Ctrl+V
    {{kLeftCtrl, 0x1D}, 2},       // 5  Ctrl+Z
    {{kLeftCtrl, 0x16}, 2},       // 6  Ctrl+S
    {{kLeftWin, 0x08}, 2},        // 7  Win+E
    {{kLeftWin, 0x0F}, 2},        // 8  Win+L
    {{kLeftWin, 0x07}, 2},        // 9  Win+D
    {{kLeftAlt, 0x2B}, 2},        // 10 Alt+Tab
    {{kLeftWin, 0x10}, 2},        // 11 Win+M
    {{kLeftCtrl, 0x1A}, 2},       // 12 Ctrl+W
    {{kLeftAlt, 0x2C, 0x1B}, 3},  // 13 Alt, Space, X (window menu: close)
    {{kLeftAlt, 0x2C, 0x11}, 3},  // 14 Alt, Space, N (window menu: minimise)
    {{kLeftAlt, 0x3D}, 2},        // 15 Alt+F4
};

static_assert(kMacroBlockSize == kMacroAreaBlockSize, "a macro block fills one area block");

}  // namespace

MacroAreaBlock ShortcutBlock(uint8_t keyCode, int32_t number) {
  MacroAreaBlock block{};
  block[kBlockKeyIndex] = keyCode;
  block[kBlockPlayTimes] = 1;
  if (number < 1 || number > kShortcutCount) {
    return block;
  }
  const Shortcut& s = kShortcuts[number - 1];
  int at = kBlockFirstPair;
  for (int i = 0; i < s.count; ++i) {
    block[at++] = s.keys[i];
    block[at++] = EncodeDelayByte(false, kShortcutStepMs);
  }
  for (int i = s.count - 1; i >= 0; --i) {
    block[at++] = s.keys[i];
    block[at++] = EncodeDelayByte(true, kShortcutStepMs);
  }
  return block;
}

std::vector<MacroAreaBlock> MacroAreaBlocks(const std::vector<KeyAssignmentRecord>& assignments,
                                            ProfileStore& store) {
  std::vector<MacroAreaBlock> blocks;
  for (const KeyAssignmentRecord& a : assignments) {
    if (a.macro_type == kKindMacro) {
      blocks.push_back(EncodeMacroBlock(Low(a.key_code), a.macro_value, store));
    }
  }
  for (const KeyAssignmentRecord& a : assignments) {
    if (a.macro_type == kKindShortcut) {
      blocks.push_back(ShortcutBlock(Low(a.key_code), a.macro_value));
    }
  }
  return blocks;
}
