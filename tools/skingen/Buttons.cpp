#include "Glyphs.h"
#include "Palette.h"
#include "SkinSet.h"

#include <cmath>

namespace skingen {
namespace {

namespace p = palette;

// Push-button states, side by side, in this order.
enum State { kNormal = 0, kHover = 1, kPressed = 2, kDisabled = 3, kStates = 4 };

// Text button: a flat orange pill; stretches as a nine-part frame (corners of 6 pixels).
Canvas ApplyButton() {
  return StateStrip(kStates, 120, 34, [](const Canvas& c, int s) {
    const double w = 120, h = 34, r = 6;
    if (s == kDisabled) {
      c.FillRoundRect(0, 0, w, h, r, p::kDisabledSurface);
      c.StrokeRoundRect(0, 0, w, h, r, p::kBorder);
      return;
    }
    const Rgba fill = s == kHover ? p::kAccentHi : s == kPressed ? p::kAccentLo : p::kAccent;
    c.FillRoundRect(0, 0, w, h, r, fill);
    cairo_save(c.Cr());
    c.RoundRectPath(0, 0, w, h, r);
    cairo_clip(c.Cr());
    if (s != kPressed) c.FillRect(0, 0, w, 1, p::kWhite.WithAlpha(0.22));
    c.FillRect(0, h - 1, w, 1, Rgba::Hex(0x000000, 0.25));
    cairo_restore(c.Cr());
  });
}

// Square icon button of the tool rows (profiles, records, file choice).
Canvas IconButton(int size, Glyph glyph) {
  return StateStrip(kStates, size, size, [size, glyph](const Canvas& c, int s) {
    const double r = 5, g = size * 0.6, off = (size - g) / 2;
    Rgba fill = p::kSurface, border = p::kBorder, ink = p::kText;
    if (s == kHover) {
      fill = p::kSurfaceHi;
      border = p::kAccent;
      ink = p::kWhite;
    } else if (s == kPressed) {
      fill = p::kAccent;
      border = p::kAccentLo;
      ink = p::kWhite;
    } else if (s == kDisabled) {
      fill = p::kDisabledSurface;
      ink = p::kDisabled;
    }
    c.FillRoundRect(0, 0, size, size, r, fill);
    if (s == kNormal || s == kHover) c.FillRect(r, 0, size - 2 * r, 1, p::kHighlight);
    c.StrokeRoundRect(0, 0, size, size, r, border);
    DrawGlyph(c, glyph, off, off + (s == kPressed ? 1 : 0), g, ink, 2.0);
  });
}

// Title-bar buttons: bare glyphs that get a surface on hover; the close button turns orange.
Canvas WindowButton(int w, int h, double glyphSize, Glyph glyph, bool danger) {
  return StateStrip(kStates, w, h, [=](const Canvas& c, int s) {
    Rgba ink = p::kTextDim;
    if (s == kHover) {
      c.FillRoundRect(2, 2, w - 4, h - 4, 5, danger ? p::kAccent : p::kSurfaceHi);
      ink = p::kWhite;
    } else if (s == kPressed) {
      c.FillRoundRect(2, 2, w - 4, h - 4, 5, danger ? p::kAccentLo : p::kSurface);
      ink = p::kWhite;
    } else if (s == kDisabled) {
      ink = p::kDisabled;
    }
    DrawGlyph(c, glyph, (w - glyphSize) / 2, (h - glyphSize) / 2, glyphSize, ink, 2.0);
  });
}

// Check box and radio button: unchecked, unchecked hover, checked, checked hover.
Canvas CheckBox() {
  return StateStrip(4, 20, 20, [](const Canvas& c, int s) {
    const bool checked = s >= 2, hover = s % 2 == 1;
    if (checked) {
      c.FillRoundRect(2, 2, 16, 16, 3, hover ? p::kAccentHi : p::kAccent);
      DrawGlyph(c, Glyph::Check, 3, 3, 14, p::kWhite, 3.0);
    } else {
      c.FillRoundRect(2, 2, 16, 16, 3, p::kBaseDeep);
      c.StrokeRoundRect(2, 2, 16, 16, 3, hover ? p::kAccent : p::kBorderHi);
    }
  });
}

Canvas RadioBox() {
  return StateStrip(4, 20, 20, [](const Canvas& c, int s) {
    const bool checked = s >= 2, hover = s % 2 == 1;
    cairo_t* cr = c.Cr();
    cairo_arc(cr, 10, 10, 7.5, 0, 2 * M_PI);
    c.SetColor(p::kBaseDeep);
    cairo_fill_preserve(cr);
    c.SetColor(checked ? (hover ? p::kAccentHi : p::kAccent) : hover ? p::kAccent : p::kBorderHi);
    cairo_set_line_width(cr, checked ? 1.6 : 1.0);
    cairo_stroke(cr);
    if (checked) {
      cairo_arc(cr, 10, 10, 3.8, 0, 2 * M_PI);
      c.SetColor(hover ? p::kAccentHi : p::kAccent);
      cairo_fill(cr);
    }
  });
}

}  // namespace

void WriteButtons(SkinWriter& out) {
  out.Png("btn_apply.png", ApplyButton());
  out.Png("imgbtn_add.png", IconButton(30, Glyph::Plus));
  out.Png("imgbtn_del.png", IconButton(30, Glyph::Trash));
  out.Png("imgbtn_edit.png", IconButton(30, Glyph::Pencil));
  out.Png("imgbtn_reset.png", IconButton(30, Glyph::Reset));
  out.Png("imgbtn_import.png", IconButton(30, Glyph::Import));
  out.Png("imgbtn_export.png", IconButton(30, Glyph::Export));
  out.Png("btn_record_up.png", IconButton(28, Glyph::ArrowUp));
  out.Png("btn_record_down.png", IconButton(28, Glyph::ArrowDown));
  out.Png("btn_record_del.png", IconButton(28, Glyph::Trash));
  out.Png("btn_record_time.png", IconButton(28, Glyph::Clock));
  out.Png("btn_openfile.png", IconButton(30, Glyph::Folder));
  out.Png("main_sysbtn_close.png", WindowButton(40, 32, 16, Glyph::Cross, true));
  out.Png("main_sysbtn_min.png", WindowButton(40, 32, 16, Glyph::Minimize, false));
  out.Png("main_sysbtn_website.png", WindowButton(40, 32, 18, Glyph::Globe, false));
  out.Png("sysbtn_close.png", WindowButton(28, 28, 14, Glyph::Cross, true));
  out.Png("btn_checkbox.png", CheckBox());
  out.Png("btn_radiobox.png", RadioBox());
}

}  // namespace skingen
