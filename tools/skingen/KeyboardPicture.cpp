#include "KeyboardPicture.h"

#include "Palette.h"

#include <algorithm>
#include <climits>
#include <map>

namespace skingen {
namespace {

namespace p = palette;

std::string Legend(const std::string& name) {
  static const std::map<std::string, std::string> arrows = {
      {"Up", "\u2191"}, {"Down", "\u2193"}, {"Left", "\u2190"}, {"Right", "\u2192"}};
  auto it = arrows.find(name);
  return it == arrows.end() ? name : it->second;
}

void DrawKeycap(const Canvas& c, const LayoutKey& k) {
  cairo_t* cr = c.Cr();
  const double x = k.x, y = k.y, w = k.w, h = k.h;
  // Skirt: the full key rectangle, darker at the bottom edge.
  c.FillRoundRect(x, y, w, h, 6, Rgba::Hex(0x151518));
  c.FillRoundRect(x, y + h - 5, w, 5, 3, Rgba::Hex(0x0F0F11));
  // Top face, inset and slightly lighter towards the top.
  const double fx = x + 3, fy = y + 2, fw = w - 6, fh = h - 8;
  cairo_pattern_t* face = cairo_pattern_create_linear(0, fy, 0, fy + fh);
  cairo_pattern_add_color_stop_rgb(face, 0, 0x2A / 255.0, 0x2A / 255.0, 0x30 / 255.0);
  cairo_pattern_add_color_stop_rgb(face, 1, 0x20 / 255.0, 0x20 / 255.0, 0x25 / 255.0);
  c.RoundRectPath(fx, fy, fw, fh, 5);
  cairo_set_source(cr, face);
  cairo_fill(cr);
  cairo_pattern_destroy(face);
  // 1-px light on the top edge of the face.
  cairo_save(cr);
  c.RoundRectPath(fx, fy, fw, fh, 5);
  cairo_clip(cr);
  c.FillRect(fx + 3, fy, fw - 6, 1, p::kHighlight.WithAlpha(0.10));
  cairo_restore(cr);
  c.StrokeRoundRect(x, y, w, h, 6, Rgba::Hex(0x000000, 0.55));

  const std::string legend = Legend(k.name);
  const size_t glyphs = static_cast<size_t>(std::count_if(
      legend.begin(), legend.end(), [](char ch) { return (static_cast<unsigned char>(ch) & 0xC0) != 0x80; }));
  const double size = glyphs <= 1 ? 15 : glyphs <= 3 ? 12.5 : 11;
  const Rgba ink = k.name == "Esc" ? p::kAccentHi : Rgba::Hex(0xD6D6DC);
  c.CenteredText(legend, fx, fy, fw, fh, size, Weight::Semibold, ink);
}

}  // namespace

Canvas DrawKeyboardPicture(const KeyboardLayout& layout) {
  Canvas c(layout.width, layout.height);
  cairo_t* cr = c.Cr();
  const double W = layout.width, H = layout.height;

  // Case: a near-black slab with a soft vertical gradient, a 1-px rim light and an accent line.
  cairo_pattern_t* body = cairo_pattern_create_linear(0, 0, 0, H);
  cairo_pattern_add_color_stop_rgb(body, 0, 0x1A / 255.0, 0x1A / 255.0, 0x1E / 255.0);
  cairo_pattern_add_color_stop_rgb(body, 1, 0x0E / 255.0, 0x0E / 255.0, 0x10 / 255.0);
  c.RoundRectPath(0, 0, W, H, 14);
  cairo_set_source(cr, body);
  cairo_fill(cr);
  cairo_pattern_destroy(body);
  c.StrokeRoundRect(0, 0, W, H, 14, p::kBorder);
  c.FillRect(14, 1, W - 28, 1, p::kHighlight.WithAlpha(0.12));

  // Plate under the keys.
  int minX = INT_MAX, minY = INT_MAX, maxX = INT_MIN, maxY = INT_MIN;
  for (const LayoutKey& k : layout.keys) {
    minX = std::min(minX, k.x);
    minY = std::min(minY, k.y);
    maxX = std::max(maxX, k.x + k.w);
    maxY = std::max(maxY, k.y + k.h);
  }
  if (!layout.keys.empty()) {
    const double px = std::max(2, minX - 4), py = std::max(2, minY - 4);
    const double pw = std::min<double>(W - 2, maxX + 4) - px, ph = std::min<double>(H - 2, maxY + 4) - py;
    c.FillRoundRect(px, py, pw, ph, 8, Rgba::Hex(0x08080A));
    // The backlight leaking under the caps: a faint warm glow along the plate's bottom.
    cairo_pattern_t* glow = cairo_pattern_create_linear(0, py + ph - 40, 0, py + ph);
    cairo_pattern_add_color_stop_rgba(glow, 0, p::kAccent.r, p::kAccent.g, p::kAccent.b, 0.0);
    cairo_pattern_add_color_stop_rgba(glow, 1, p::kAccent.r, p::kAccent.g, p::kAccent.b, 0.10);
    c.RoundRectPath(px, py, pw, ph, 8);
    cairo_set_source(cr, glow);
    cairo_fill(cr);
    cairo_pattern_destroy(glow);
  }
  for (const LayoutKey& k : layout.keys) {
    if (k.w > 0 && k.h > 0) DrawKeycap(c, k);
  }
  return c;
}

}  // namespace skingen
