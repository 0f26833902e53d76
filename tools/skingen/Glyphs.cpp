#include "Glyphs.h"

#include <cmath>

namespace skingen {
namespace {

void Line(cairo_t* cr, double x1, double y1, double x2, double y2) {
  cairo_move_to(cr, x1, y1);
  cairo_line_to(cr, x2, y2);
}

void Round(cairo_t* cr, double x, double y, double w, double h, double r) {
  cairo_new_sub_path(cr);
  cairo_arc(cr, x + w - r, y + r, r, -M_PI / 2, 0);
  cairo_arc(cr, x + w - r, y + h - r, r, 0, M_PI / 2);
  cairo_arc(cr, x + r, y + h - r, r, M_PI / 2, M_PI);
  cairo_arc(cr, x + r, y + r, r, M_PI, 3 * M_PI / 2);
  cairo_close_path(cr);
}

void Speaker(cairo_t* cr) {
  cairo_move_to(cr, 3, 9);
  cairo_line_to(cr, 7, 9);
  cairo_line_to(cr, 12, 4.5);
  cairo_line_to(cr, 12, 19.5);
  cairo_line_to(cr, 7, 15);
  cairo_line_to(cr, 3, 15);
  cairo_close_path(cr);
}

void Arrow(cairo_t* cr, double cx, double cy, double dx, double dy) {
  // Shaft from the centre back, head at (cx + dx, cy + dy).
  Line(cr, cx - dx, cy - dy, cx + dx, cy + dy);
  const double len = std::hypot(dx, dy);
  const double ux = dx / len, uy = dy / len;
  const double hx = cx + dx, hy = cy + dy;
  Line(cr, hx, hy, hx - 5 * ux + 5 * uy, hy - 5 * uy - 5 * ux);
  Line(cr, hx, hy, hx - 5 * ux - 5 * uy, hy - 5 * uy + 5 * ux);
}

void Triangle(cairo_t* cr, double x1, double y1, double x2, double y2, double x3, double y3) {
  cairo_move_to(cr, x1, y1);
  cairo_line_to(cr, x2, y2);
  cairo_line_to(cr, x3, y3);
  cairo_close_path(cr);
}

}  // namespace

void DrawGlyph(const Canvas& canvas, Glyph glyph, double x, double y, double size, const Rgba& color,
               double stroke) {
  cairo_t* cr = canvas.Cr();
  cairo_save(cr);
  cairo_translate(cr, x, y);
  cairo_scale(cr, size / 24.0, size / 24.0);
  cairo_set_line_width(cr, stroke);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  canvas.SetColor(color);
  bool fill = false;  // set by glyphs that are solid shapes
  switch (glyph) {
    case Glyph::Plus:
      Line(cr, 12, 5, 12, 19);
      Line(cr, 5, 12, 19, 12);
      break;
    case Glyph::Trash:
      Line(cr, 4, 6.5, 20, 6.5);
      Line(cr, 9.5, 6.5, 9.5, 4);
      Line(cr, 9.5, 4, 14.5, 4);
      Line(cr, 14.5, 4, 14.5, 6.5);
      cairo_move_to(cr, 6, 6.5);
      cairo_line_to(cr, 7, 20);
      cairo_line_to(cr, 17, 20);
      cairo_line_to(cr, 18, 6.5);
      Line(cr, 10, 10, 10, 16.5);
      Line(cr, 14, 10, 14, 16.5);
      break;
    case Glyph::Pencil:
      cairo_move_to(cr, 4, 20);
      cairo_line_to(cr, 5, 15.5);
      cairo_line_to(cr, 15.5, 5);
      cairo_line_to(cr, 19, 8.5);
      cairo_line_to(cr, 8.5, 19);
      cairo_close_path(cr);
      Line(cr, 13, 7.5, 16.5, 11);
      break;
    case Glyph::Reset:
      cairo_arc(cr, 12, 12, 7.5, -M_PI * 0.85, M_PI * 0.75);
      cairo_new_sub_path(cr);
      Line(cr, 4.2, 4.5, 4.6, 9.2);
      Line(cr, 4.6, 9.2, 9.2, 8.4);
      break;
    case Glyph::Import:
      Line(cr, 12, 3.5, 12, 14);
      Line(cr, 7.5, 9.5, 12, 14);
      Line(cr, 16.5, 9.5, 12, 14);
      cairo_move_to(cr, 4, 14);
      cairo_line_to(cr, 4, 20);
      cairo_line_to(cr, 20, 20);
      cairo_line_to(cr, 20, 14);
      break;
    case Glyph::Export:
      Line(cr, 12, 14, 12, 3.5);
      Line(cr, 7.5, 8, 12, 3.5);
      Line(cr, 16.5, 8, 12, 3.5);
      cairo_move_to(cr, 4, 14);
      cairo_line_to(cr, 4, 20);
      cairo_line_to(cr, 20, 20);
      cairo_line_to(cr, 20, 14);
      break;
    case Glyph::ArrowUp:
      Line(cr, 12, 19, 12, 5);
      Line(cr, 6, 11, 12, 5);
      Line(cr, 18, 11, 12, 5);
      break;
    case Glyph::ArrowDown:
      Line(cr, 12, 5, 12, 19);
      Line(cr, 6, 13, 12, 19);
      Line(cr, 18, 13, 12, 19);
      break;
    case Glyph::Cross:
      Line(cr, 6, 6, 18, 18);
      Line(cr, 18, 6, 6, 18);
      break;
    case Glyph::Clock:
      cairo_arc(cr, 12, 12, 8, 0, 2 * M_PI);
      cairo_new_sub_path(cr);
      Line(cr, 12, 7.5, 12, 12);
      Line(cr, 12, 12, 15.5, 14);
      break;
    case Glyph::Folder:
      cairo_move_to(cr, 3.5, 7);
      cairo_line_to(cr, 3.5, 18.5);
      cairo_line_to(cr, 20.5, 18.5);
      cairo_line_to(cr, 20.5, 8.5);
      cairo_line_to(cr, 11.5, 8.5);
      cairo_line_to(cr, 9.5, 5.5);
      cairo_line_to(cr, 3.5, 5.5);
      cairo_close_path(cr);
      Line(cr, 3.5, 11, 20.5, 11);
      break;
    case Glyph::Minimize:
      Line(cr, 6, 12.5, 18, 12.5);
      break;
    case Glyph::Globe:
      cairo_arc(cr, 12, 12, 8.5, 0, 2 * M_PI);
      cairo_new_sub_path(cr);
      cairo_save(cr);
      cairo_translate(cr, 12, 12);
      cairo_scale(cr, 0.45, 1.0);
      cairo_arc(cr, 0, 0, 8.5, 0, 2 * M_PI);
      cairo_restore(cr);
      Line(cr, 3.5, 12, 20.5, 12);
      Line(cr, 5, 7.5, 19, 7.5);
      Line(cr, 5, 16.5, 19, 16.5);
      break;
    case Glyph::Home:
      cairo_move_to(cr, 3.5, 11.5);
      cairo_line_to(cr, 12, 4);
      cairo_line_to(cr, 20.5, 11.5);
      cairo_move_to(cr, 6, 9.5);
      cairo_line_to(cr, 6, 20);
      cairo_line_to(cr, 18, 20);
      cairo_line_to(cr, 18, 9.5);
      cairo_move_to(cr, 10, 20);
      cairo_line_to(cr, 10, 14.5);
      cairo_line_to(cr, 14, 14.5);
      cairo_line_to(cr, 14, 20);
      break;
    case Glyph::Keycap:
      Round(cr, 4, 4, 16, 16, 3);
      Round(cr, 7, 6.5, 10, 9, 1.5);
      break;
    case Glyph::Macro:
      // A list of events with a record dot.
      Line(cr, 4, 6, 13, 6);
      Line(cr, 4, 11, 11, 11);
      Line(cr, 4, 16, 9, 16);
      cairo_stroke(cr);
      cairo_arc(cr, 16.5, 15.5, 4, 0, 2 * M_PI);
      cairo_fill(cr);
      break;
    case Glyph::Bulb:
      cairo_arc(cr, 12, 10, 6, M_PI * 0.78, M_PI * 2.22);
      cairo_line_to(cr, 14.5, 17);
      cairo_line_to(cr, 9.5, 17);
      cairo_close_path(cr);
      Line(cr, 10, 20.5, 14, 20.5);
      Line(cr, 12, 1.5, 12, 2.5);
      Line(cr, 3, 10, 4, 10);
      Line(cr, 20, 10, 21, 10);
      break;
    case Glyph::Gear: {
      const int teeth = 8;
      for (int i = 0; i < teeth; ++i) {
        const double a = i * 2 * M_PI / teeth;
        Line(cr, 12 + 7.2 * std::cos(a), 12 + 7.2 * std::sin(a), 12 + 9.5 * std::cos(a),
             12 + 9.5 * std::sin(a));
      }
      cairo_stroke(cr);
      cairo_arc(cr, 12, 12, 6.5, 0, 2 * M_PI);
      cairo_new_sub_path(cr);
      cairo_arc(cr, 12, 12, 2.6, 0, 2 * M_PI);
      break;
    }
    case Glyph::Menu:
      Line(cr, 5, 7, 19, 7);
      Line(cr, 5, 12, 19, 12);
      Line(cr, 5, 17, 19, 17);
      break;
    case Glyph::Monitor:
      Round(cr, 3, 4, 18, 12.5, 1.5);
      Line(cr, 12, 16.5, 12, 20);
      Line(cr, 8, 20, 16, 20);
      break;
    case Glyph::Calculator:
      Round(cr, 5, 2.5, 14, 19, 2);
      Line(cr, 8, 6.5, 16, 6.5);
      cairo_stroke(cr);
      for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) {
          cairo_arc(cr, 8.5 + c * 3.5, 11 + r * 3.5, 1.1, 0, 2 * M_PI);
          cairo_fill(cr);
        }
      break;
    case Glyph::Envelope:
      Round(cr, 3, 5.5, 18, 13, 1.5);
      cairo_move_to(cr, 3.5, 6.5);
      cairo_line_to(cr, 12, 13);
      cairo_line_to(cr, 20.5, 6.5);
      break;
    case Glyph::Note:
      Line(cr, 9, 17, 9, 4.5);
      cairo_move_to(cr, 9, 4.5);
      cairo_line_to(cr, 19, 3);
      cairo_line_to(cr, 19, 15.5);
      cairo_stroke(cr);
      cairo_arc(cr, 6.5, 17.5, 2.8, 0, 2 * M_PI);
      cairo_fill(cr);
      cairo_arc(cr, 16.5, 16, 2.8, 0, 2 * M_PI);
      cairo_fill(cr);
      break;
    case Glyph::PlayPause:
      Triangle(cr, 3.5, 5, 3.5, 19, 13, 12);
      cairo_fill(cr);
      cairo_rectangle(cr, 14.5, 5, 2.6, 14);
      cairo_rectangle(cr, 18.8, 5, 2.6, 14);
      fill = true;
      break;
    case Glyph::Stop:
      Round(cr, 6, 6, 12, 12, 1.5);
      fill = true;
      break;
    case Glyph::Previous:
      cairo_rectangle(cr, 4.5, 5.5, 2.5, 13);
      Triangle(cr, 19.5, 5.5, 19.5, 18.5, 8.5, 12);
      fill = true;
      break;
    case Glyph::Next:
      cairo_rectangle(cr, 17, 5.5, 2.5, 13);
      Triangle(cr, 4.5, 5.5, 4.5, 18.5, 15.5, 12);
      fill = true;
      break;
    case Glyph::VolumeDown:
      Speaker(cr);
      cairo_fill(cr);
      Line(cr, 15, 12, 21, 12);
      break;
    case Glyph::VolumeUp:
      Speaker(cr);
      cairo_fill(cr);
      Line(cr, 15, 12, 21, 12);
      Line(cr, 18, 9, 18, 15);
      break;
    case Glyph::Mute:
      Speaker(cr);
      cairo_fill(cr);
      Line(cr, 15.5, 9.5, 20.5, 14.5);
      Line(cr, 20.5, 9.5, 15.5, 14.5);
      break;
    case Glyph::Refresh:
      cairo_arc(cr, 12, 12, 7.5, -M_PI * 0.25, M_PI * 1.45);
      cairo_new_sub_path(cr);
      Line(cr, 19.8, 4.2, 19.4, 9.0);
      Line(cr, 19.4, 9.0, 14.8, 8.2);
      break;
    case Glyph::StopCircle:
      cairo_arc(cr, 12, 12, 8.5, 0, 2 * M_PI);
      cairo_new_sub_path(cr);
      Line(cr, 9, 9, 15, 15);
      Line(cr, 15, 9, 9, 15);
      break;
    case Glyph::Back:
      Arrow(cr, 12, 12, -7, 0);
      break;
    case Glyph::Forward:
      Arrow(cr, 12, 12, 7, 0);
      break;
    case Glyph::Star: {
      for (int i = 0; i < 10; ++i) {
        const double a = -M_PI / 2 + i * M_PI / 5;
        const double r = (i % 2 == 0) ? 9.0 : 4.0;
        const double px = 12 + r * std::cos(a), py = 12.8 + r * std::sin(a);
        if (i == 0) cairo_move_to(cr, px, py); else cairo_line_to(cr, px, py);
      }
      cairo_close_path(cr);
      break;
    }
    case Glyph::Search:
      cairo_arc(cr, 10.5, 10.5, 6, 0, 2 * M_PI);
      cairo_new_sub_path(cr);
      Line(cr, 15, 15, 20, 20);
      break;
    case Glyph::Check:
      cairo_move_to(cr, 5, 12.5);
      cairo_line_to(cr, 10, 17.5);
      cairo_line_to(cr, 19, 7);
      break;
    case Glyph::Chevron:
      cairo_move_to(cr, 7, 10);
      cairo_line_to(cr, 12, 15);
      cairo_line_to(cr, 17, 10);
      break;
    case Glyph::Keyboard:
      Round(cr, 2, 6, 20, 12, 2);
      cairo_stroke(cr);
      for (int c = 0; c < 5; ++c) {
        cairo_rectangle(cr, 4.6 + c * 3.2, 8.8, 1.8, 1.8);
        cairo_rectangle(cr, 4.6 + c * 3.2, 11.8, 1.8, 1.8);
      }
      cairo_fill(cr);
      Line(cr, 8, 15.6, 16, 15.6);
      break;
    case Glyph::Sliders:
      Line(cr, 4, 7, 20, 7);
      Line(cr, 4, 12, 20, 12);
      Line(cr, 4, 17, 20, 17);
      cairo_stroke(cr);
      cairo_arc(cr, 9, 7, 2.4, 0, 2 * M_PI);
      cairo_fill(cr);
      cairo_arc(cr, 15.5, 12, 2.4, 0, 2 * M_PI);
      cairo_fill(cr);
      cairo_arc(cr, 7.5, 17, 2.4, 0, 2 * M_PI);
      fill = true;
      break;
  }
  if (fill) cairo_fill(cr); else cairo_stroke(cr);
  cairo_restore(cr);
}

}  // namespace skingen
