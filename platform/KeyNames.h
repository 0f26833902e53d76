#pragma once
// The name of a key as the keyboard layout calls it, for a Windows virtual-key code.
// Character keys take the unshifted symbol of the same physical key in the X server's current
// layout (read once per process; "A", ";", "Ü" ...); without a display, and for every other key,
// stable English names are used ("Enter", "Page Up", "Num 5" ...). Empty for an unknown code.
// Thread-safe; talks to the X server at most once, over a connection of its own.
#include <cstdint>
#include <string>

std::string KeyNameFromLayout(uint32_t virtualKey);
