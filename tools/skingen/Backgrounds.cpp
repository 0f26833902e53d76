#include "Glyphs.h"
#include "Palette.h"
#include "SkinSet.h"

#include <cmath>

namespace skingen {
namespace {

namespace p = palette;

void RadialGlow(const Canvas& c, double cx, double cy, double radius, const Rgba& color, double alpha) {
  cairo_pattern_t* g = cairo_pattern_create_radial(cx, cy, 0, cx, cy, radius);
  cairo_pattern_add_color_stop_rgba(g, 0, color.r, color.g, color.b, alpha);
  cairo_pattern_add_color_stop_rgba(g, 1, color.r, color.g, color.b, 0);
  cairo_rectangle(c.Cr(), 0, 0, c.Width(), c.Height());
  cairo_set_source(c.Cr(), g);
  cairo_fill(c.Cr());
  cairo_pattern_destroy(g);
}

Canvas MainBackground() {
  constexpr int W = 1200, H = 720;
  Canvas c(W, H);
  cairo_pattern_t* g = cairo_pattern_create_linear(0, 0, 0, H);
  cairo_pattern_add_color_stop_rgb(g, 0, 0x16 / 255.0, 0x16 / 255.0, 0x19 / 255.0);
  cairo_pattern_add_color_stop_rgb(g, 1, 0x0F / 255.0, 0x0F / 255.0, 0x11 / 255.0);
  cairo_rectangle(c.Cr(), 0, 0, W, H);
  cairo_set_source(c.Cr(), g);
  cairo_fill(c.Cr());
  cairo_pattern_destroy(g);
  RadialGlow(c, 0, 0, 560, p::kAccent, 0.10);
  RadialGlow(c, W, H, 520, p::kAccent, 0.04);
  // A fine dot grid gives the flat surface some texture without competing with the controls.
  for (int y = 62; y < H; y += 24)
    for (int x = 12; x < W; x += 24) c.FillRect(x, y, 1, 1, p::kWhite.WithAlpha(0.035));
  // Title bar band and its separator.
  c.FillRect(0, 0, W, 50, p::kWhite.WithAlpha(0.02));
  c.FillRect(0, 50, W, 1, p::kBorder);
  c.FillRect(0, 51, W, 1, p::kHighlight.WithAlpha(0.03));
  // Window frame (the window has no system border) with a light top edge.
  c.StrokeRoundRect(0, 0, W, H, 0, p::kBorder);
  c.FillRect(1, 1, W - 2, 1, p::kHighlight);
  c.FillRect(0, 0, 160, 2, p::kAccent);
  return c;
}

// Message box background: drawn as a nine-part frame with 30-pixel corners, so everything that
// is not uniform stays within 30 pixels of the edges.
Canvas PromptBackground() {
  constexpr int W = 380, H = 200;
  Canvas c(W, H);
  c.FillRoundRect(0, 0, W, H, 10, Rgba::Hex(0x17171A));
  cairo_save(c.Cr());
  c.RoundRectPath(0, 0, W, H, 10);
  cairo_clip(c.Cr());
  c.FillRect(0, 0, W, 3, p::kAccent);
  c.FillRect(0, 3, W, 1, p::kHighlight.WithAlpha(0.12));
  cairo_restore(c.Cr());
  c.StrokeRoundRect(0, 0, W, H, 10, p::kBorder);
  return c;
}

// Key tip: the same colours the tip window paints (0x505050 rim, 0x141414 inside) plus an accent.
Canvas TipBackground() {
  constexpr int W = 190, H = 100;
  Canvas c(W, H);
  c.FillRect(0, 0, W, H, Rgba::Hex(0x505050));
  c.FillRect(1, 1, W - 2, H - 2, Rgba::Hex(0x141414));
  c.FillRect(1, 1, W - 2, 2, p::kAccent);
  return c;
}

Canvas Logo() {
  constexpr int W = 200, H = 40;
  Canvas c(W, H);
  cairo_pattern_t* g = cairo_pattern_create_linear(0, 4, 0, 36);
  cairo_pattern_add_color_stop_rgb(g, 0, p::kAccentHi.r, p::kAccentHi.g, p::kAccentHi.b);
  cairo_pattern_add_color_stop_rgb(g, 1, p::kAccentLo.r, p::kAccentLo.g, p::kAccentLo.b);
  c.RoundRectPath(4, 4, 32, 32, 8);
  cairo_set_source(c.Cr(), g);
  cairo_fill(c.Cr());
  cairo_pattern_destroy(g);
  c.FillRect(10, 5, 20, 1, p::kWhite.WithAlpha(0.25));
  DrawGlyph(c, Glyph::Keycap, 8, 8, 24, p::kBase, 2.2);
  c.LeftText("KEYWRIGHT", 46, 0, H, 19, Weight::Bold, p::kText);
  return c;
}

}  // namespace

void WriteBackgrounds(SkinWriter& out) {
  out.Png("main_bkg.png", MainBackground());
  out.Png("bk_prompt.png", PromptBackground());
  out.Png("img_tip_bk.png", TipBackground());
  out.Png("logo/logo.png", Logo());
}

}  // namespace skingen
