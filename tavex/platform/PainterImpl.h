#pragma once
// Internals shared by the painter's shape and text halves.
#include <pango/pangocairo.h>

#include <vector>

#include "CairoHandles.h"

namespace Tavex {

struct Painter::Impl {
  Surface* target = nullptr;
  CairoPtr cr;
  std::vector<char> stack;  // 's' = Save/PushClip, 'g' = PushGroup
};

inline void SetSourceARGB(cairo_t* cr, ARGB c) {
  cairo_set_source_rgba(cr, ARGBRed(c) / 255.0, ARGBGreen(c) / 255.0, ARGBBlue(c) / 255.0,
                        ARGBAlpha(c) / 255.0);
}

// A layout of `text` as DrawText lays it out inside a box `width` x `height` (pixels; 0 = free).
GObjectPtr<PangoLayout> MakeLayout(cairo_t* cr, const std::string& text, const FontDesc& font,
                                   int width, int height, UINT format);

}  // namespace Tavex
