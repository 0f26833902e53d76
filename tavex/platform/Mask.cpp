// Coverage masks: the alpha of a surface kept as one byte a pixel, so that stamping it takes
// the compositor's solid-through-mask path instead of its general one; and the same stamp
// written pixel by pixel where only the covered pixels may change.
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
  for (int y = 0; y < height; ++y) {
    const std::uint8_t* row = dst + static_cast<std::ptrdiff_t>(y) * dstStride;
    for (int x = 0; x < width;) {
      if (row[x] == 0) {
        ++x;
        continue;
      }
      const int left = x;
      while (x < width && row[x] != 0) ++x;
      mask.impl_->runs.push_back({y, left, x});
      mask.impl_->covered += static_cast<std::size_t>(x - left);
    }
  }
  mask.impl_->surface = std::move(a8);
  return mask;
}

const std::vector<Mask::Run>& Mask::Runs() const {
  static const std::vector<Run> none;
  return impl_ ? impl_->runs : none;
}

bool Mask::IsNull() const { return !impl_; }

int Mask::Width() const { return impl_ ? cairo_image_surface_get_width(impl_->surface.get()) : 0; }

int Mask::Height() const { return impl_ ? cairo_image_surface_get_height(impl_->surface.get()) : 0; }

BYTE Mask::Coverage(int x, int y) const {
  if (!impl_ || x < 0 || y < 0 || x >= Width() || y >= Height()) return 0;
  const std::uint8_t* data = cairo_image_surface_get_data(impl_->surface.get());
  return data[static_cast<std::ptrdiff_t>(y) * cairo_image_surface_get_stride(impl_->surface.get()) + x];
}

namespace {

// Pixels as two 0x00FF00FF lanes, rounded as the compositor rounds: x * a / 255.
constexpr std::uint32_t kLanes = 0x00FF00FFu;

std::uint32_t MulLanes(std::uint32_t lanes, std::uint32_t a) {
  const std::uint32_t t = lanes * a + 0x00800080u;
  return ((t + ((t >> 8) & kLanes)) >> 8) & kLanes;
}

std::uint32_t AddLanes(std::uint32_t x, std::uint32_t y) {  // saturating
  std::uint32_t t = x + y;
  t |= 0x01000100u - ((t >> 8) & kLanes);
  return t & kLanes;
}

std::uint32_t Mul(std::uint32_t pixel, std::uint32_t a) {
  return MulLanes(pixel & kLanes, a) | (MulLanes((pixel >> 8) & kLanes, a) << 8);
}

// Premultiplied `source` over `dest`.
std::uint32_t Over(std::uint32_t source, std::uint32_t dest) {
  const std::uint32_t d = Mul(dest, 255 - (source >> 24));
  return AddLanes(source & kLanes, d & kLanes) | (AddLanes((source >> 8) & kLanes, (d >> 8) & kLanes) << 8);
}

// The premultiplied pixel the compositor makes of a colour: channels rounded to 16 bits from
// the doubles the painter passes, then their high bytes.
std::uint32_t SolidPixel(ARGB colour) {
  const double a = ARGBAlpha(colour) / 255.0;
  const auto channel = [a](unsigned c) {
    return static_cast<std::uint32_t>(c / 255.0 * a * 65535.0 + 0.5) >> 8;
  };
  return (channel(255) << 24) | (channel(ARGBRed(colour)) << 16) | (channel(ARGBGreen(colour)) << 8) |
         channel(ARGBBlue(colour));
}

bool Holds(const Surface& s, int left, int top, int right, int bottom) {
  return !s.IsNull() && left >= 0 && top >= 0 && right <= s.Width() && bottom <= s.Height();
}

}  // namespace

bool Mask::Gather(const Surface& surface, int x, int y, std::vector<std::uint32_t>& out) const {
  out.clear();
  if (!Holds(surface, x, y, x + Width(), y + Height())) return false;
  const std::uint8_t* data = surface.Data();
  for (const Run& run : Runs()) {
    const auto* row = reinterpret_cast<const std::uint32_t*>(data + static_cast<std::ptrdiff_t>(y + run.y) * surface.Stride());
    out.insert(out.end(), row + x + run.left, row + x + run.right);
  }
  return true;
}

bool StampMaskOver(Surface& target, int x, int y, const Mask& mask, ARGB colour,
                   const std::vector<std::uint32_t>& under) {
  if (mask.IsNull()) return true;
  if (!Holds(target, x, y, x + mask.Width(), y + mask.Height()) || under.size() != mask.impl()->covered) {
    return false;
  }
  cairo_surface_t* coverage = mask.impl()->surface.get();
  const std::uint8_t* cover = cairo_image_surface_get_data(coverage);
  const int coverStride = cairo_image_surface_get_stride(coverage);
  std::uint8_t* data = target.Data();
  const int stride = target.Stride();
  const std::uint32_t source = SolidPixel(colour);
  const bool opaque = (source >> 24) == 255;
  const std::uint32_t* in = under.data();
  // The rows lie a stride apart, each in lines the server last read: asking for all of them
  // first lets their fetches overlap instead of waiting for one at a time.
  for (const Mask::Run& run : mask.Runs()) {
    __builtin_prefetch(data + static_cast<std::ptrdiff_t>(y + run.y) * stride + (x + run.left) * 4, 1);
  }
  for (const Mask::Run& run : mask.Runs()) {
    const std::uint8_t* c = cover + static_cast<std::ptrdiff_t>(run.y) * coverStride;
    auto* out = reinterpret_cast<std::uint32_t*>(data + static_cast<std::ptrdiff_t>(y + run.y) * stride) + x;
    for (int i = run.left; i < run.right; ++i, ++in) {
      const std::uint32_t m = c[i];
      out[i] = m == 255 && opaque ? source : Over(Mul(source, m), *in);
    }
  }
  return true;
}

}  // namespace Tavex
