#include "Glyphs.h"
#include "Palette.h"
#include "SkinSet.h"

#include <cmath>
#include <utility>

namespace skingen {
namespace {

namespace p = palette;

// Page tabs, 60 × 60: normal, hover, selected (orange glyph and a bar on the left edge).
Canvas TabIcon(Glyph glyph) {
  return StateStrip(3, 60, 60, [glyph](const Canvas& c, int s) {
    Rgba ink = p::kTextDim;
    if (s == 1) {
      c.FillRoundRect(6, 6, 48, 48, 8, p::kSurface);
      ink = p::kText;
    } else if (s == 2) {
      c.FillRoundRect(6, 6, 48, 48, 8, p::kSurfaceHi);
      c.FillRect(6 + 8, 6, 32, 1, p::kHighlight);
      c.FillRoundRect(0, 18, 3, 24, 1.5, p::kAccent);
      ink = p::kAccent;
    }
    DrawGlyph(c, glyph, 17, 17, 26, ink, 2.0);
  });
}

Canvas SingleIcon(int size, Glyph glyph, const Rgba& ink, double stroke = 2.0) {
  Canvas c(size, size);
  DrawGlyph(c, glyph, 0, 0, size, ink, stroke);
  return c;
}

// Profile list state icon, 30 × 30: a ring, and the ring with a dot for the selected row.
Canvas ListStateIcon() {
  return StateStrip(2, 30, 30, [](const Canvas& c, int s) {
    cairo_t* cr = c.Cr();
    cairo_arc(cr, 15, 15, 5.5, 0, 2 * M_PI);
    c.SetColor(s == 0 ? p::kTextDim : p::kAccent);
    cairo_set_line_width(cr, 1.5);
    cairo_stroke(cr);
    if (s == 1) {
      cairo_arc(cr, 15, 15, 2.8, 0, 2 * M_PI);
      c.SetColor(p::kAccent);
      cairo_fill(cr);
    }
  });
}

}  // namespace

void WriteIcons(SkinWriter& out) {
  out.Png("icon/tab_home.png", TabIcon(Glyph::Home));
  out.Png("icon/tab_customkey.png", TabIcon(Glyph::Keycap));
  out.Png("icon/tab_macro.png", TabIcon(Glyph::Macro));
  out.Png("icon/tab_light.png", TabIcon(Glyph::Bulb));
  out.Png("icon/tab_config.png", TabIcon(Glyph::Gear));

  out.Png("icon/icon_keyboard.png", SingleIcon(24, Glyph::Keyboard, p::kAccent, 1.8));
  out.Png("icon/icon_macro.png", SingleIcon(24, Glyph::Macro, p::kAccent));
  out.Png("icon/icon_lightmode.png", SingleIcon(24, Glyph::Bulb, p::kAccent));
  out.Png("icon/icon_config.png", SingleIcon(24, Glyph::Gear, p::kAccent));

  out.Png("icon/icon_circle.png", ListStateIcon());
  out.Png("icon/icon_menu.png", SingleIcon(20, Glyph::Menu, p::kText));

  // The key function list draws these at 20 × 20 on grey cells and on the orange mark.
  const std::pair<const char*, Glyph> functions[] = {
      {"icon/icon_pc.png", Glyph::Monitor},         {"icon/icon_cal.png", Glyph::Calculator},
      {"icon/icon_email.png", Glyph::Envelope},     {"icon/icon_multimedia.png", Glyph::Note},
      {"icon/icon_playpause.png", Glyph::PlayPause}, {"icon/icon_stop.png", Glyph::Stop},
      {"icon/icon_pre.png", Glyph::Previous},       {"icon/icon_next.png", Glyph::Next},
      {"icon/icon_vol_down.png", Glyph::VolumeDown}, {"icon/icon_vol_up.png", Glyph::VolumeUp},
      {"icon/icon_vol_mute.png", Glyph::Mute},      {"icon/icon_home.png", Glyph::Home},
      {"icon/icon_web_refresh.png", Glyph::Refresh}, {"icon/icon_web_stop.png", Glyph::StopCircle},
      {"icon/icon_web_backward.png", Glyph::Back},  {"icon/icon_web_foreward.png", Glyph::Forward},
      {"icon/icon_favorites.png", Glyph::Star},     {"icon/icon_web_search.png", Glyph::Search},
  };
  for (const auto& [path, glyph] : functions) out.Png(path, SingleIcon(20, glyph, p::kText, 2.0));
}

}  // namespace skingen
