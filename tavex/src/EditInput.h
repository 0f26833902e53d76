#pragma once
// Keyboard and character input shared by the edit controls: turns a key with the manager's
// modifier value, or a WM_CHAR code point, into an EditBuffer change, with the clipboard.
#include "tavex/EditBuffer.h"

namespace Tavex::EditInput {

// Control timer key of the caret blink.
inline constexpr unsigned kBlinkTimer = 0xCA;

struct Result {
  bool handled = false;  // the key belongs to the editor
  bool moved = false;    // caret or selection moved
  bool changed = false;  // text changed
};

// `modifiers` as PaintManager::KeyModifiers gives them (16 Shift, 17 Ctrl, 18 Alt, ORed).
Result ApplyKey(EditBuffer& buffer, unsigned vk, unsigned modifiers);
// A typed code point; control characters are ignored (their keys act through ApplyKey).
Result ApplyChar(EditBuffer& buffer, unsigned codePoint);

}  // namespace Tavex::EditInput
