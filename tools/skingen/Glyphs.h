#pragma once
// Line icons drawn on a 24-unit grid and scaled to the requested size, so one drawing serves
// every state and size of an icon.
#include "Canvas.h"

namespace skingen {

enum class Glyph {
  Plus, Trash, Pencil, Reset, Import, Export, ArrowUp, ArrowDown, Cross, Clock, Folder, Minimize,
  Globe, Home, Keycap, Macro, Bulb, Gear, Menu, Monitor, Calculator, Envelope, Note, PlayPause,
  Stop, Previous, Next, VolumeDown, VolumeUp, Mute, Refresh, StopCircle, Back, Forward, Star,
  Search, Check, Chevron, Keyboard, Sliders,
};

// Draws `glyph` into the square (x, y, size, size) with strokes of `stroke` grid units.
void DrawGlyph(const Canvas& canvas, Glyph glyph, double x, double y, double size, const Rgba& color,
               double stroke = 2.0);

}  // namespace skingen
