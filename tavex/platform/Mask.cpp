// Coverage masks: the alpha of a surface kept as one byte a pixel, so that stamping it takes
// the compositor's solid-through-mask path instead of its general one.
#include <cstdint>

#include "CairoHandles.h"

namespace Tavex {

Mask::Mask() = default;
Mask::~Mask() = default;
Mask::Mask(Mask&&) noexcept = default;
Mask& Mask::operator=(Mask&&) noexcept = default;

Mask Mask::FromAlpha(const Surface& surface) {
  Mask mask;
  if (surface.IsNull()) return mask;
  const int width = surface.Width();
  const int height = surface.Height();
  CairoSurfacePtr a8(cairo_image_surface_create(CAIRO_FORMAT_A8, width, height));
  if (cairo_surface_status(a8.get()) != CAIRO_STATUS_SUCCESS) return mask;
  cairo_surface_flush(a8.get());
  const std::uint8_t* src = surface.Data();
  std::uint8_t* dst = cairo_image_surface_get_data(a8.get());
  const int dstStride = cairo_image_surface_get_stride(a8.get());
  for (int y = 0; y < height; ++y) {
    const auto* row = reinterpret_cast<const std::uint32_t*>(src + static_cast<std::ptrdiff_t>(y) * surface.Stride());
    std::uint8_t* out = dst + static_cast<std::ptrdiff_t>(y) * dstStride;
    for (int x = 0; x < width; ++x) out[x] = static_cast<std::uint8_t>(row[x] >> 24);
  }
  cairo_surface_mark_dirty(a8.get());
  mask.impl_ = std::make_unique<Impl>();
  mask.impl_->surface = std::move(a8);
  return mask;
}

bool Mask::IsNull() const { return !impl_; }

int Mask::Width() const { return impl_ ? cairo_image_surface_get_width(impl_->surface.get()) : 0; }

int Mask::Height() const { return impl_ ? cairo_image_surface_get_height(impl_->surface.get()) : 0; }

BYTE Mask::Coverage(int x, int y) const {
  if (!impl_ || x < 0 || y < 0 || x >= Width() || y >= Height()) return 0;
  const std::uint8_t* data = cairo_image_surface_get_data(impl_->surface.get());
  return data[static_cast<std::ptrdiff_t>(y) * cairo_image_surface_get_stride(impl_->surface.get()) + x];
}

}  // namespace Tavex
