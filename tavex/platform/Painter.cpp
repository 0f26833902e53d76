// The painter: shapes, images and state over cairo.
#include <algorithm>
#include <cmath>

#include "PainterImpl.h"

namespace Tavex {
namespace {

bool Empty(const RECT& r) { return r.right <= r.left || r.bottom <= r.top; }

void RoundRectPath(cairo_t* cr, double x, double y, double w, double h, double rx, double ry) {
  rx = std::clamp(rx, 0.0, w / 2);
  ry = std::clamp(ry, 0.0, h / 2);
  cairo_new_path(cr);
  if (rx <= 0 || ry <= 0) {
    cairo_rectangle(cr, x, y, w, h);
    return;
  }
  auto corner = [cr, rx, ry](double cx, double cy, double from, double to) {
    cairo_save(cr);
    cairo_translate(cr, cx, cy);
    cairo_scale(cr, rx, ry);
    cairo_arc(cr, 0, 0, 1, from, to);
    cairo_restore(cr);
  };
  corner(x + w - rx, y + ry, -M_PI / 2, 0);
  corner(x + w - rx, y + h - ry, 0, M_PI / 2);
  corner(x + rx, y + h - ry, M_PI / 2, M_PI);
  corner(x + rx, y + ry, M_PI, 3 * M_PI / 2);
  cairo_close_path(cr);
}

void DrawSource(cairo_t* cr, cairo_surface_t* source, int sw, int sh, const RECT& dst,
                const RECT& src, BYTE alpha, bool smooth) {
  RECT s{std::max<LONG>(src.left, 0), std::max<LONG>(src.top, 0), std::min<LONG>(src.right, sw),
         std::min<LONG>(src.bottom, sh)};
  if (Empty(s) || Empty(dst) || Empty(src) || alpha == 0) return;
  // Only the source rectangle is sampled, so scaling never bleeds in neighbouring pixels
  // (sprite sheets keep their states side by side).
  CairoSurfacePtr part(cairo_surface_create_for_rectangle(source, s.left, s.top,
                                                          s.right - s.left, s.bottom - s.top));
  const double scaleX = static_cast<double>(dst.right - dst.left) / (src.right - src.left);
  const double scaleY = static_cast<double>(dst.bottom - dst.top) / (src.bottom - src.top);
  cairo_save(cr);
  cairo_rectangle(cr, dst.left + (s.left - src.left) * scaleX, dst.top + (s.top - src.top) * scaleY,
                  (s.right - s.left) * scaleX, (s.bottom - s.top) * scaleY);
  cairo_clip(cr);
  cairo_translate(cr, dst.left + (s.left - src.left) * scaleX, dst.top + (s.top - src.top) * scaleY);
  cairo_scale(cr, scaleX, scaleY);
  cairo_set_source_surface(cr, part.get(), 0, 0);
  cairo_pattern_t* pattern = cairo_get_source(cr);
  cairo_pattern_set_extend(pattern, CAIRO_EXTEND_PAD);
  cairo_pattern_set_filter(pattern, smooth ? CAIRO_FILTER_GOOD : CAIRO_FILTER_NEAREST);
  if (alpha == 255) {
    cairo_paint(cr);
  } else {
    cairo_paint_with_alpha(cr, alpha / 255.0);
  }
  cairo_restore(cr);
}

}  // namespace

Painter::Painter(Surface& target) : impl_(std::make_unique<Impl>()) {
  impl_->target = &target;
  if (target.impl() != nullptr) {
    impl_->cr.reset(cairo_create(target.impl()->surface.get()));
    if (cairo_status(impl_->cr.get()) != CAIRO_STATUS_SUCCESS) impl_->cr.reset();
  }
}

Painter::~Painter() {
  if (impl_ && impl_->cr) {
    while (!impl_->stack.empty()) {
      if (impl_->stack.back() == 'g') {
        cairo_pattern_destroy(cairo_pop_group(impl_->cr.get()));
      } else {
        cairo_restore(impl_->cr.get());
      }
      impl_->stack.pop_back();
    }
    Flush();
  }
}

Painter::Painter(Painter&&) noexcept = default;
Painter& Painter::operator=(Painter&&) noexcept = default;

bool Painter::IsValid() const { return impl_ && impl_->cr; }

void Painter::Flush() {
  if (IsValid()) cairo_surface_flush(cairo_get_target(impl_->cr.get()));
}

void Painter::Save() {
  if (!IsValid()) return;
  cairo_save(impl_->cr.get());
  impl_->stack.push_back('s');
}

void Painter::Restore() {
  if (!IsValid() || impl_->stack.empty() || impl_->stack.back() != 's') return;
  cairo_restore(impl_->cr.get());
  impl_->stack.pop_back();
}

void Painter::PushClip(const RECT& rect) {
  if (!IsValid()) return;
  Save();
  cairo_t* cr = impl_->cr.get();
  cairo_new_path(cr);
  cairo_rectangle(cr, rect.left, rect.top, std::max<LONG>(rect.right - rect.left, 0),
                  std::max<LONG>(rect.bottom - rect.top, 0));
  cairo_clip(cr);
}

void Painter::PushClipRoundRect(const RECT& rect, float radiusX, float radiusY) {
  if (!IsValid()) return;
  Save();
  cairo_t* cr = impl_->cr.get();
  RoundRectPath(cr, rect.left, rect.top, std::max<LONG>(rect.right - rect.left, 0),
                std::max<LONG>(rect.bottom - rect.top, 0), radiusX, radiusY);
  cairo_clip(cr);
}

void Painter::PopClip() { Restore(); }

void Painter::Translate(int dx, int dy) {
  if (IsValid()) cairo_translate(impl_->cr.get(), dx, dy);
}

void Painter::SetAntialias(bool on) {
  if (IsValid()) {
    cairo_set_antialias(impl_->cr.get(), on ? CAIRO_ANTIALIAS_DEFAULT : CAIRO_ANTIALIAS_NONE);
  }
}

void Painter::Clear(ARGB colour) {
  if (!IsValid()) return;
  cairo_t* cr = impl_->cr.get();
  cairo_save(cr);
  cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
  SetSourceARGB(cr, colour);
  cairo_paint(cr);
  cairo_restore(cr);
}

void Painter::ClearRect(const RECT& rect, ARGB colour) {
  if (!IsValid() || Empty(rect)) return;
  cairo_t* cr = impl_->cr.get();
  cairo_save(cr);
  cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
  SetSourceARGB(cr, colour);
  cairo_new_path(cr);
  cairo_rectangle(cr, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
  cairo_fill(cr);
  cairo_restore(cr);
}

void Painter::FillRect(const RECT& rect, ARGB colour) {
  if (!IsValid() || Empty(rect) || ARGBAlpha(colour) == 0) return;
  cairo_t* cr = impl_->cr.get();
  SetSourceARGB(cr, colour);
  cairo_new_path(cr);
  cairo_rectangle(cr, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
  cairo_fill(cr);
}

void Painter::DrawRect(const RECT& rect, ARGB colour, int width) {
  if (!IsValid() || Empty(rect) || width <= 0) return;
  const LONG w = std::min<LONG>(width, std::min(rect.right - rect.left, rect.bottom - rect.top));
  cairo_t* cr = impl_->cr.get();
  SetSourceARGB(cr, colour);
  cairo_new_path(cr);
  const double l = rect.left, t = rect.top, rw = rect.right - rect.left, rh = rect.bottom - rect.top;
  cairo_rectangle(cr, l, t, rw, w);
  cairo_rectangle(cr, l, rect.bottom - w, rw, w);
  cairo_rectangle(cr, l, t + w, w, rh - 2 * w);
  cairo_rectangle(cr, rect.right - w, t + w, w, rh - 2 * w);
  cairo_fill(cr);
}

void Painter::DrawLine(float x1, float y1, float x2, float y2, ARGB colour, float width) {
  if (!IsValid() || width <= 0) return;
  cairo_t* cr = impl_->cr.get();
  // Axis-aligned lines of odd width sit on pixel centres so that they stay crisp.
  const bool odd = static_cast<int>(std::lround(width)) % 2 == 1;
  double ox = 0, oy = 0;
  if (odd && x1 == x2) ox = 0.5;
  if (odd && y1 == y2) oy = 0.5;
  SetSourceARGB(cr, colour);
  cairo_set_line_width(cr, width);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
  cairo_new_path(cr);
  cairo_move_to(cr, x1 + ox, y1 + oy);
  cairo_line_to(cr, x2 + ox, y2 + oy);
  cairo_stroke(cr);
}

void Painter::FillRoundRect(float x, float y, float w, float h, float rx, float ry, ARGB colour) {
  if (!IsValid() || w <= 0 || h <= 0) return;
  cairo_t* cr = impl_->cr.get();
  RoundRectPath(cr, x, y, w, h, rx, ry);
  SetSourceARGB(cr, colour);
  cairo_fill(cr);
}

void Painter::DrawRoundRect(float x, float y, float w, float h, float rx, float ry, ARGB colour,
                            float penWidth) {
  if (!IsValid() || w <= 0 || h <= 0 || penWidth <= 0) return;
  cairo_t* cr = impl_->cr.get();
  // The pen is centred on the outline, as with the classic rounded rectangle.
  RoundRectPath(cr, x, y, w, h, rx, ry);
  SetSourceARGB(cr, colour);
  cairo_set_line_width(cr, penWidth);
  cairo_stroke(cr);
}

void Painter::FillEllipse(float x, float y, float w, float h, ARGB colour) {
  FillRoundRect(x, y, w, h, w / 2, h / 2, colour);
}

void Painter::DrawEllipse(float x, float y, float w, float h, ARGB colour, float penWidth) {
  DrawRoundRect(x, y, w, h, w / 2, h / 2, colour, penWidth);
}

void Painter::FillPolygon(const POINT* points, int count, ARGB colour) {
  if (!IsValid() || points == nullptr || count < 3) return;
  cairo_t* cr = impl_->cr.get();
  cairo_new_path(cr);
  cairo_move_to(cr, points[0].x, points[0].y);
  for (int i = 1; i < count; ++i) cairo_line_to(cr, points[i].x, points[i].y);
  cairo_close_path(cr);
  SetSourceARGB(cr, colour);
  cairo_fill(cr);
}

void Painter::FillGradient(const RECT& rect, ARGB from, ARGB to, bool vertical) {
  if (!IsValid() || Empty(rect)) return;
  cairo_t* cr = impl_->cr.get();
  cairo_pattern_t* p = vertical ? cairo_pattern_create_linear(0, rect.top, 0, rect.bottom)
                                : cairo_pattern_create_linear(rect.left, 0, rect.right, 0);
  auto stop = [p](double at, ARGB c) {
    cairo_pattern_add_color_stop_rgba(p, at, ARGBRed(c) / 255.0, ARGBGreen(c) / 255.0,
                                      ARGBBlue(c) / 255.0, ARGBAlpha(c) / 255.0);
  };
  stop(0, from);
  stop(1, to);
  cairo_new_path(cr);
  cairo_rectangle(cr, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
  cairo_set_source(cr, p);
  cairo_fill(cr);
  cairo_pattern_destroy(p);
}

void Painter::DrawImage(const Image& image, int x, int y, BYTE alpha) {
  DrawImage(image, RECT{x, y, x + image.Width(), y + image.Height()},
            RECT{0, 0, image.Width(), image.Height()}, alpha, false);
}

void Painter::DrawImage(const Image& image, const RECT& dst, const RECT& src, BYTE alpha,
                        bool smooth) {
  if (!IsValid() || image.IsNull()) return;
  DrawSource(impl_->cr.get(), image.impl()->surface.get(), image.Width(), image.Height(), dst,
             src, alpha, smooth);
}

void Painter::DrawSurface(const Surface& surface, const RECT& dst, const RECT& src, BYTE alpha) {
  if (!IsValid() || surface.IsNull() || surface.impl() == impl_->target->impl()) return;
  cairo_surface_flush(surface.impl()->surface.get());
  DrawSource(impl_->cr.get(), surface.impl()->surface.get(), surface.Width(), surface.Height(),
             dst, src, alpha, true);
}

void Painter::CopySurface(const Surface& surface, const RECT& dst, int srcX, int srcY) {
  if (!IsValid() || surface.IsNull() || surface.impl() == impl_->target->impl() || Empty(dst)) return;
  cairo_surface_flush(surface.impl()->surface.get());
  cairo_t* cr = impl_->cr.get();
  cairo_save(cr);
  cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
  cairo_set_source_surface(cr, surface.impl()->surface.get(), dst.left - srcX, dst.top - srcY);
  cairo_rectangle(cr, dst.left, dst.top, dst.right - dst.left, dst.bottom - dst.top);
  cairo_fill(cr);
  cairo_restore(cr);
}

void Painter::FillMask(const Mask& mask, int x, int y, ARGB colour) {
  if (!IsValid() || mask.IsNull() || ARGBAlpha(colour) == 0) return;
  cairo_t* cr = impl_->cr.get();
  SetSourceARGB(cr, colour);
  cairo_mask_surface(cr, mask.impl()->surface.get(), x, y);
}

void Painter::PushGroup() {
  if (!IsValid()) return;
  cairo_push_group(impl_->cr.get());
  impl_->stack.push_back('g');
}

void Painter::PopGroup(BYTE alpha) {
  if (!IsValid() || impl_->stack.empty() || impl_->stack.back() != 'g') return;
  cairo_t* cr = impl_->cr.get();
  cairo_pop_group_to_source(cr);
  cairo_paint_with_alpha(cr, alpha / 255.0);
  impl_->stack.pop_back();
}

}  // namespace Tavex
