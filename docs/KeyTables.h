#pragma once
// Fixed tables between Windows virtual-key codes (what the store, layouts and recorder hold),
// HID keyboard usages (what the keyboard speaks) and the short labels shown to the user.
// Pure functions; any thread.
#include <cstdint>
#include <string>

// Usage of page 0x07 (plus a few device codes) for a virtual-key code; 0 for no key.
uint32_t VirtualKeyToHid(uint32_t vk);

// Short label of a usage ("A", "Esc", "L_Ctrl"); empty for a usage without one.
std::string HidToLabel(uint32_t usage);

// Which set of fixed names replaces the layout's key names.
enum class KeyNameVariant {
  CustomKey,    // the custom key dialog
  MacroRecord,  // recorded macro events
};

// The code a recorded key is stored as: the generic Shift, Ctrl and Alt become the left ones.
uint32_t RecordedVirtualKey(uint32_t vk);

// Display name of a key: the keyboard layout's name with the variant's fixed overrides.
// The recording variant names RecordedVirtualKey(vk).
std::string VirtualKeyToDisplayName(uint32_t vk, KeyNameVariant variant);
