#pragma once
// Translation between X keysyms and virtual-key codes, and the text a keysym types. Pure
// functions (no display needed); keysyms are plain numbers here.
#include <cstdint>

#include "tavex/WinTypes.h"

namespace Tavex::Platform {

// Virtual-key code of a keysym (letters and digits of either case give 'A'-'Z'/'0'-'9',
// left/right modifiers give VK_SHIFT, VK_CONTROL, VK_MENU); 0 when unknown.
UINT VirtualKeyOfKeysym(std::uint32_t keysym);
// The left/right-specific code of a modifier keysym (VK_LSHIFT ...), else 0.
UINT SidedVirtualKeyOfKeysym(std::uint32_t keysym);
// A keysym that produces the virtual key (unshifted); 0 when none.
std::uint32_t KeysymOfVirtualKey(UINT vk);
// Whether the key sets the "extended" bit of key messages (arrows, navigation block, right
// Ctrl/Alt, keypad Enter and divide, Num Lock, Windows keys).
bool IsExtendedKeysym(std::uint32_t keysym);
// The Unicode code point a keysym types (after modifiers were applied), 0 for none.
// Control keys give their control characters: BackSpace 8, Tab 9, Return 13, Escape 27.
char32_t CodePointOfKeysym(std::uint32_t keysym);

// Auto-repeat shows up as a key release immediately followed by a press of the same key with
// the same server time; such a release is dropped and the press counts as a repeat.
struct RawKey {
  bool press = false;
  unsigned keycode = 0;
  unsigned long time = 0;
};
inline bool IsAutoRepeatRelease(const RawKey& release, const RawKey& next) {
  return !release.press && next.press && release.keycode == next.keycode &&
         release.time == next.time;
}

}  // namespace Tavex::Platform
