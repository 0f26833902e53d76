#pragma once
// An ARGB32 drawing surface with a cairo context, and the few drawing helpers every skin image
// shares. Owns its cairo surface and context; single-threaded (the generator runs on one thread).
#include <cairo.h>

#include <cstdint>
#include <memory>
#include <string>

namespace skingen {

struct Rgba {
  double r = 0, g = 0, b = 0, a = 1;
  static Rgba Hex(uint32_t rgb, double alpha = 1.0) {
    return {((rgb >> 16) & 0xFF) / 255.0, ((rgb >> 8) & 0xFF) / 255.0, (rgb & 0xFF) / 255.0, alpha};
  }
  Rgba WithAlpha(double alpha) const { return {r, g, b, alpha}; }
  Rgba Mix(const Rgba& o, double t) const {
    return {r + (o.r - r) * t, g + (o.g - g) * t, b + (o.b - b) * t, a + (o.a - a) * t};
  }
};

enum class Weight { Regular, Semibold, Bold };

class Canvas {
 public:
  Canvas(int width, int height);
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;
  Canvas(Canvas&&) noexcept = default;
  Canvas& operator=(Canvas&&) noexcept = default;

  int Width() const { return width_; }
  int Height() const { return height_; }
  cairo_t* Cr() const { return cr_.get(); }
  cairo_surface_t* Surface() const { return surface_.get(); }

  void SetColor(const Rgba& c) const;
  // Path of a rectangle with rounded corners (radius clamped to half the shorter side).
  void RoundRectPath(double x, double y, double w, double h, double radius) const;
  void FillRoundRect(double x, double y, double w, double h, double radius, const Rgba& c) const;
  // A 1-px outline that lies exactly on pixel boundaries inside the given box.
  void StrokeRoundRect(double x, double y, double w, double h, double radius, const Rgba& c,
                       double width = 1.0) const;
  void FillRect(double x, double y, double w, double h, const Rgba& c) const;
  // Text centred in a box, single line; the size is in pixels.
  void CenteredText(const std::string& text, double x, double y, double w, double h, double size,
                    Weight weight, const Rgba& c) const;
  // Text starting at x, vertically centred in (y, h), single line.
  void LeftText(const std::string& text, double x, double y, double h, double size, Weight weight,
                const Rgba& c) const;
  // Copies another canvas at (x, y).
  void Paste(const Canvas& other, double x, double y) const;

  bool SavePng(const std::string& path) const;
  // Straight (un-premultiplied) RGBA of pixel (x, y).
  void PixelRgba(int x, int y, unsigned char out[4]) const;

 private:
  struct SurfaceFree { void operator()(cairo_surface_t* s) const { cairo_surface_destroy(s); } };
  struct ContextFree { void operator()(cairo_t* c) const { cairo_destroy(c); } };
  int width_;
  int height_;
  std::unique_ptr<cairo_surface_t, SurfaceFree> surface_;
  std::unique_ptr<cairo_t, ContextFree> cr_;
};

}  // namespace skingen
