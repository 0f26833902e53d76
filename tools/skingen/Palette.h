#pragma once
// The colours of the theme: near-black flat surfaces, one orange accent (the library's
// selection colour 0xFFCA5100), light grey text and 1-px highlights.
#include "Canvas.h"

namespace skingen::palette {

inline const Rgba kBase = Rgba::Hex(0x121214);        // window background
inline const Rgba kBaseDeep = Rgba::Hex(0x0C0C0E);    // wells: edits, keyboard case
inline const Rgba kSurface = Rgba::Hex(0x1B1B1F);     // raised panels, buttons
inline const Rgba kSurfaceHi = Rgba::Hex(0x25252A);   // hovered surfaces
inline const Rgba kBorder = Rgba::Hex(0x2E2E34);
inline const Rgba kBorderHi = Rgba::Hex(0x4A4A52);
inline const Rgba kHighlight = Rgba::Hex(0xFFFFFF, 0.07);  // 1-px top edge light
inline const Rgba kAccent = Rgba::Hex(0xCA5100);
inline const Rgba kAccentHi = Rgba::Hex(0xE2661A);
inline const Rgba kAccentLo = Rgba::Hex(0x9E3F00);
inline const Rgba kText = Rgba::Hex(0xE6E6E6);
inline const Rgba kTextDim = Rgba::Hex(0x8C8C94);
inline const Rgba kDisabled = Rgba::Hex(0x4A4A50);
inline const Rgba kDisabledSurface = Rgba::Hex(0x17171A);
inline const Rgba kWhite = Rgba::Hex(0xFFFFFF);

}  // namespace skingen::palette
