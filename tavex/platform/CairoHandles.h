#pragma once
// RAII owners of cairo and GLib handles, and the internals of Image and Surface.
#include <cairo.h>
#include <glib-object.h>

#include <memory>
#include <vector>

#include "tavex/Painter.h"

namespace Tavex {

struct CairoSurfaceDeleter {
  void operator()(cairo_surface_t* s) const {
    if (s != nullptr) cairo_surface_destroy(s);
  }
};
using CairoSurfacePtr = std::unique_ptr<cairo_surface_t, CairoSurfaceDeleter>;

struct CairoDeleter {
  void operator()(cairo_t* c) const {
    if (c != nullptr) cairo_destroy(c);
  }
};
using CairoPtr = std::unique_ptr<cairo_t, CairoDeleter>;

struct GObjectDeleter {
  void operator()(void* o) const {
    if (o != nullptr) g_object_unref(o);
  }
};
template <typename T>
using GObjectPtr = std::unique_ptr<T, GObjectDeleter>;

// An image is an ARGB32 cairo image surface that is never written after creation.
struct Image::Impl {
  CairoSurfacePtr surface;
};

struct Surface::Impl {
  CairoSurfacePtr surface;
};

struct Mask::Impl {
  CairoSurfacePtr surface;  // CAIRO_FORMAT_A8
  std::vector<Mask::Run> runs;
  std::size_t covered = 0;  // pixels in the runs
};

struct ImageAccess {
  static Image Make(CairoSurfacePtr surface);
};

// Premultiplied native pixel from an unpremultiplied ARGB value, and back.
inline std::uint32_t Premultiply(ARGB c) {
  const std::uint32_t a = c >> 24;
  if (a == 255) return c;
  if (a == 0) return 0;
  auto mul = [a](std::uint32_t v) { return (v * a + 127) / 255; };
  return (a << 24) | (mul((c >> 16) & 0xFF) << 16) | (mul((c >> 8) & 0xFF) << 8) | mul(c & 0xFF);
}
inline ARGB Unpremultiply(std::uint32_t p) {
  const std::uint32_t a = p >> 24;
  if (a == 255) return p;
  if (a == 0) return 0;
  auto div = [a](std::uint32_t v) { return std::min<std::uint32_t>(255, (v * 255 + a / 2) / a); };
  return (a << 24) | (div((p >> 16) & 0xFF) << 16) | (div((p >> 8) & 0xFF) << 8) | div(p & 0xFF);
}

// Pixel of an ARGB32 image surface, unpremultiplied; 0 outside.
ARGB SurfacePixel(cairo_surface_t* surface, int x, int y);

}  // namespace Tavex
