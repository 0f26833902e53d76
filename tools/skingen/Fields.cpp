#include "Glyphs.h"
#include "Palette.h"
#include "SkinSet.h"

#include <cmath>

namespace skingen {
namespace {

namespace p = palette;

// Edit frame: normal, hover, focused (editing), disabled. Nine-part with 6-pixel corners.
Canvas EditFrame() {
  return StateStrip(4, 40, 30, [](const Canvas& c, int s) {
    const Rgba fill = s == 3 ? p::kDisabledSurface : p::kBaseDeep;
    const Rgba border = s == 1 ? p::kBorderHi : s == 2 ? p::kAccent : p::kBorder;
    c.FillRoundRect(0, 0, 40, 30, 4, fill);
    c.StrokeRoundRect(0, 0, 40, 30, 4, border);
    if (s != 3) c.FillRect(4, 1, 32, 1, Rgba::Hex(0x000000, 0.35));  // inner shadow of a well
  });
}

// Combo box: normal, hover, open, disabled. The drop arrow lives in the right 26 pixels.
Canvas ComboFrame() {
  constexpr int W = 80, H = 30;
  return StateStrip(4, W, H, [](const Canvas& c, int s) {
    const Rgba fill = s == 3 ? p::kDisabledSurface : p::kSurface;
    const Rgba border = s == 1 ? p::kBorderHi : s == 2 ? p::kAccent : p::kBorder;
    const Rgba ink = s == 3 ? p::kDisabled : s == 2 ? p::kAccent : s == 1 ? p::kText : p::kTextDim;
    c.FillRoundRect(0, 0, W, H, 4, fill);
    if (s != 3) c.FillRect(4, 0, W - 8, 1, p::kHighlight);
    c.StrokeRoundRect(0, 0, W, H, 4, border);
    c.FillRect(W - 26, 6, 1, H - 12, p::kBorder);
    DrawGlyph(c, Glyph::Chevron, W - 26 + 4, (H - 18) / 2.0, 18, ink, 2.2);
  });
}

// Slider track: the empty track and the filled part, side by side.
Canvas SliderTrack() {
  return StateStrip(2, 120, 6, [](const Canvas& c, int s) {
    c.FillRoundRect(0, 0, 120, 6, 3, s == 0 ? p::kBorder : p::kAccent);
    if (s == 1) c.FillRect(3, 0, 114, 1, p::kWhite.WithAlpha(0.2));
  });
}

// Slider thumb: normal, hover, pressed, disabled.
Canvas SliderThumb() {
  return StateStrip(4, 18, 18, [](const Canvas& c, int s) {
    cairo_t* cr = c.Cr();
    if (s == 1 || s == 2) {
      cairo_arc(cr, 9, 9, 9, 0, 2 * M_PI);
      c.SetColor(p::kAccent.WithAlpha(0.28));
      cairo_fill(cr);
    }
    cairo_arc(cr, 9, 9, 6.5, 0, 2 * M_PI);
    c.SetColor(s == 3 ? p::kDisabled : s == 2 ? p::kAccentLo : s == 1 ? p::kAccentHi : p::kAccent);
    cairo_fill(cr);
    cairo_arc(cr, 9, 9, 2.5, 0, 2 * M_PI);
    c.SetColor(s == 3 ? p::kDisabledSurface : p::kWhite);
    cairo_fill(cr);
  });
}

// Device rows: 0 connected, 1 connected and hovered, 2 connected and current, 3 not connected.
// Stretched over a 38-pixel row of the list's width.
Canvas DeviceRows() {
  constexpr int W = 260, H = 38;
  return StateStrip(4, W, H, [](const Canvas& c, int s) {
    Rgba fill = p::kSurface, border = p::kBorder, bar = p::kAccent;
    if (s == 1) {
      fill = p::kSurfaceHi;
      border = p::kAccent.WithAlpha(0.6);
    } else if (s == 2) {
      fill = p::kSurface.Mix(p::kAccent, 0.18);
      border = p::kAccent;
    } else if (s == 3) {
      fill = p::kDisabledSurface;
      bar = p::kDisabled;
    }
    c.FillRoundRect(0, 0, W, H, 5, fill);
    cairo_save(c.Cr());
    c.RoundRectPath(0, 0, W, H, 5);
    cairo_clip(c.Cr());
    c.FillRect(0, 0, 3, H, bar);
    if (s != 3) c.FillRect(0, 0, W, 1, p::kHighlight);
    cairo_restore(c.Cr());
    c.StrokeRoundRect(0, 0, W, H, 5, border);
  });
}

}  // namespace

void WriteFields(SkinWriter& out) {
  out.Png("img_edit.png", EditFrame());
  out.Png("img_combobox.png", ComboFrame());
  out.Png("img_slider_back.png", SliderTrack());
  out.Png("img_thumb.png", SliderThumb());
  out.Png("img_device_state.png", DeviceRows());
}

}  // namespace skingen
