#include "Canvas.h"

#include <pango/pangocairo.h>

#include <algorithm>
#include <cmath>

namespace skingen {

Canvas::Canvas(int width, int height)
    : width_(width),
      height_(height),
      surface_(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height)),
      cr_(cairo_create(surface_.get())) {
  cairo_set_antialias(cr_.get(), CAIRO_ANTIALIAS_BEST);
}

void Canvas::SetColor(const Rgba& c) const { cairo_set_source_rgba(Cr(), c.r, c.g, c.b, c.a); }

void Canvas::RoundRectPath(double x, double y, double w, double h, double radius) const {
  const double r = std::max(0.0, std::min(radius, std::min(w, h) / 2.0));
  cairo_t* cr = Cr();
  cairo_new_sub_path(cr);
  cairo_arc(cr, x + w - r, y + r, r, -M_PI / 2, 0);
  cairo_arc(cr, x + w - r, y + h - r, r, 0, M_PI / 2);
  cairo_arc(cr, x + r, y + h - r, r, M_PI / 2, M_PI);
  cairo_arc(cr, x + r, y + r, r, M_PI, 3 * M_PI / 2);
  cairo_close_path(cr);
}

void Canvas::FillRoundRect(double x, double y, double w, double h, double radius, const Rgba& c) const {
  RoundRectPath(x, y, w, h, radius);
  SetColor(c);
  cairo_fill(Cr());
}

void Canvas::StrokeRoundRect(double x, double y, double w, double h, double radius, const Rgba& c,
                             double width) const {
  const double half = width / 2.0;
  RoundRectPath(x + half, y + half, w - width, h - width, std::max(0.0, radius - half));
  SetColor(c);
  cairo_set_line_width(Cr(), width);
  cairo_stroke(Cr());
}

void Canvas::FillRect(double x, double y, double w, double h, const Rgba& c) const {
  cairo_rectangle(Cr(), x, y, w, h);
  SetColor(c);
  cairo_fill(Cr());
}

namespace {

// A one-line layout of `text` in the theme font; the caller unrefs it.
PangoLayout* TextLayout(cairo_t* cr, const std::string& text, double size, Weight weight) {
  PangoLayout* layout = pango_cairo_create_layout(cr);
  PangoFontDescription* font = pango_font_description_new();
  pango_font_description_set_family(font, "Open Sans,WenQuanYi Micro Hei");
  pango_font_description_set_weight(font, weight == Weight::Bold       ? PANGO_WEIGHT_BOLD
                                          : weight == Weight::Semibold ? PANGO_WEIGHT_SEMIBOLD
                                                                       : PANGO_WEIGHT_NORMAL);
  pango_font_description_set_absolute_size(font, size * PANGO_SCALE);
  pango_layout_set_font_description(layout, font);
  pango_font_description_free(font);
  pango_layout_set_text(layout, text.c_str(), -1);
  return layout;
}

}  // namespace

void Canvas::CenteredText(const std::string& text, double x, double y, double w, double h,
                          double size, Weight weight, const Rgba& c) const {
  PangoLayout* layout = TextLayout(Cr(), text, size, weight);
  PangoRectangle ink;
  PangoRectangle logical;
  pango_layout_get_pixel_extents(layout, &ink, &logical);
  // Centre on the ink box horizontally (legends look centred) and on the logical box vertically
  // (so that labels of one row share a baseline).
  const double tx = x + (w - ink.width) / 2.0 - ink.x;
  const double ty = y + (h - logical.height) / 2.0 - logical.y;
  cairo_move_to(Cr(), std::round(tx), std::round(ty));
  SetColor(c);
  pango_cairo_show_layout(Cr(), layout);
  g_object_unref(layout);
}

void Canvas::LeftText(const std::string& text, double x, double y, double h, double size,
                      Weight weight, const Rgba& c) const {
  PangoLayout* layout = TextLayout(Cr(), text, size, weight);
  PangoRectangle ink;
  PangoRectangle logical;
  pango_layout_get_pixel_extents(layout, &ink, &logical);
  cairo_move_to(Cr(), std::round(x - ink.x), std::round(y + (h - logical.height) / 2.0 - logical.y));
  SetColor(c);
  pango_cairo_show_layout(Cr(), layout);
  g_object_unref(layout);
}

void Canvas::Paste(const Canvas& other, double x, double y) const {
  cairo_set_source_surface(Cr(), other.Surface(), x, y);
  cairo_paint(Cr());
}

bool Canvas::SavePng(const std::string& path) const {
  cairo_surface_flush(Surface());
  return cairo_surface_write_to_png(Surface(), path.c_str()) == CAIRO_STATUS_SUCCESS;
}

void Canvas::PixelRgba(int x, int y, unsigned char out[4]) const {
  cairo_surface_flush(Surface());
  const unsigned char* data = cairo_image_surface_get_data(Surface());
  const int stride = cairo_image_surface_get_stride(Surface());
  uint32_t px;
  std::copy_n(data + y * stride + x * 4, 4, reinterpret_cast<unsigned char*>(&px));
  const unsigned a = px >> 24;
  auto unpremul = [a](unsigned v) { return a == 0 ? 0u : std::min(255u, (v * 255 + a / 2) / a); };
  out[0] = static_cast<unsigned char>(unpremul((px >> 16) & 0xFF));
  out[1] = static_cast<unsigned char>(unpremul((px >> 8) & 0xFF));
  out[2] = static_cast<unsigned char>(unpremul(px & 0xFF));
  out[3] = static_cast<unsigned char>(a);
}

}  // namespace skingen
