// Off-screen ARGB32 surfaces and BMP writing.
#include <cstdio>
#include <cstring>

#include "CairoHandles.h"
#include "tavex/Native.h"

namespace Tavex {
namespace {

struct FileCloser {
  void operator()(std::FILE* f) const {
    if (f != nullptr) std::fclose(f);
  }
};

void Put16(std::vector<unsigned char>& out, unsigned v) {
  out.push_back(static_cast<unsigned char>(v & 0xFF));
  out.push_back(static_cast<unsigned char>((v >> 8) & 0xFF));
}
void Put32(std::vector<unsigned char>& out, std::uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

}  // namespace

bool WriteBMP(const std::string& path, int width, int height, const std::uint8_t* pixels,
              int stride) {
  if (pixels == nullptr || width <= 0 || height <= 0 || stride < width * 4) return false;
  const std::uint64_t imageBytes = static_cast<std::uint64_t>(width) * height * 4;
  if (imageBytes > 0x7FFFFFFF) return false;
  // BITMAPV5HEADER with explicit masks, so that readers keep the alpha channel.
  constexpr std::uint32_t kHeader = 124;
  constexpr std::uint32_t kOffset = 14 + kHeader;
  std::vector<unsigned char> out;
  out.reserve(kOffset + imageBytes);
  out.push_back('B');
  out.push_back('M');
  Put32(out, static_cast<std::uint32_t>(kOffset + imageBytes));
  Put32(out, 0);
  Put32(out, kOffset);
  Put32(out, kHeader);
  Put32(out, static_cast<std::uint32_t>(width));
  Put32(out, static_cast<std::uint32_t>(height));  // positive: bottom-up rows
  Put16(out, 1);
  Put16(out, 32);
  Put32(out, 3);  // BI_BITFIELDS
  Put32(out, static_cast<std::uint32_t>(imageBytes));
  Put32(out, 2835);  // 72 dpi
  Put32(out, 2835);
  Put32(out, 0);
  Put32(out, 0);
  Put32(out, 0x00FF0000);  // red, green, blue and alpha masks
  Put32(out, 0x0000FF00);
  Put32(out, 0x000000FF);
  Put32(out, 0xFF000000);
  Put32(out, 0x73524742);  // LCS_sRGB
  out.insert(out.end(), 36, 0);  // endpoints
  Put32(out, 0);  // gamma
  Put32(out, 0);
  Put32(out, 0);
  Put32(out, 4);  // LCS_GM_IMAGES
  Put32(out, 0);  // no profile
  Put32(out, 0);
  Put32(out, 0);
  for (int y = height - 1; y >= 0; --y) {
    const auto* row = reinterpret_cast<const std::uint32_t*>(pixels + static_cast<std::size_t>(y) * stride);
    for (int x = 0; x < width; ++x) Put32(out, Unpremultiply(row[x]));  // BGRA bytes
  }
  std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "wb"));
  if (!file) return false;
  if (std::fwrite(out.data(), 1, out.size(), file.get()) != out.size()) return false;
  return std::fclose(file.release()) == 0;
}

Surface::Surface() = default;

Surface::Surface(int width, int height) {
  if (width <= 0 || height <= 0 || width > 32767 || height > 32767) return;
  CairoSurfacePtr s(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height));
  if (cairo_surface_status(s.get()) != CAIRO_STATUS_SUCCESS) return;
  impl_ = std::make_unique<Impl>();
  impl_->surface = std::move(s);
}

Surface Surface::Borrow(std::uint8_t* pixels, int width, int height, int stride) {
  Surface borrowed;
  if (pixels == nullptr || width <= 0 || height <= 0 || width > 32767 || height > 32767 ||
      stride < width * 4 || stride % 4 != 0) {
    return borrowed;
  }
  CairoSurfacePtr s(cairo_image_surface_create_for_data(pixels, CAIRO_FORMAT_ARGB32, width, height, stride));
  if (cairo_surface_status(s.get()) != CAIRO_STATUS_SUCCESS) return borrowed;
  borrowed.impl_ = std::make_unique<Impl>();
  borrowed.impl_->surface = std::move(s);
  return borrowed;
}

Surface::~Surface() = default;
Surface::Surface(Surface&&) noexcept = default;
Surface& Surface::operator=(Surface&&) noexcept = default;

bool Surface::IsNull() const { return !impl_; }
int Surface::Width() const { return impl_ ? cairo_image_surface_get_width(impl_->surface.get()) : 0; }
int Surface::Height() const {
  return impl_ ? cairo_image_surface_get_height(impl_->surface.get()) : 0;
}
int Surface::Stride() const {
  return impl_ ? cairo_image_surface_get_stride(impl_->surface.get()) : 0;
}

std::uint8_t* Surface::Data() {
  if (!impl_) return nullptr;
  cairo_surface_flush(impl_->surface.get());
  // The caller may write: cairo must not keep cached copies of these pixels.
  cairo_surface_mark_dirty(impl_->surface.get());
  return cairo_image_surface_get_data(impl_->surface.get());
}

const std::uint8_t* Surface::Data() const {
  if (!impl_) return nullptr;
  cairo_surface_flush(impl_->surface.get());
  return cairo_image_surface_get_data(impl_->surface.get());
}

ARGB Surface::Pixel(int x, int y) const {
  return impl_ ? SurfacePixel(impl_->surface.get(), x, y) : 0;
}

Image Surface::ToImage() const { return ToImage(RECT{0, 0, Width(), Height()}); }

Image Surface::ToImage(const RECT& rect) const {
  if (!impl_) return Image();
  const int l = std::max<int>(rect.left, 0), t = std::max<int>(rect.top, 0);
  const int r = std::min<int>(rect.right, Width()), b = std::min<int>(rect.bottom, Height());
  if (r <= l || b <= t) return Image();
  CairoSurfacePtr copy(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, r - l, b - t));
  if (cairo_surface_status(copy.get()) != CAIRO_STATUS_SUCCESS) return Image();
  CairoPtr cr(cairo_create(copy.get()));
  cairo_set_operator(cr.get(), CAIRO_OPERATOR_SOURCE);
  cairo_set_source_surface(cr.get(), impl_->surface.get(), -l, -t);
  cairo_paint(cr.get());
  cr.reset();
  cairo_surface_flush(copy.get());
  return ImageAccess::Make(std::move(copy));
}

bool Surface::Present(HWND hwnd, const RECT& src, int dstX, int dstY) const {
  if (!impl_) return false;
  return Native::PresentPixels(hwnd, Data(), Width(), Height(), Stride(), src, dstX, dstY);
}

Image CaptureWindow(HWND hwnd) {
  RECT client{};
  if (!Native::GetClientRect(hwnd, &client)) return Image();
  const int w = client.right, h = client.bottom;
  if (w <= 0 || h <= 0) return Image();
  Surface s(w, h);
  if (s.IsNull()) return Image();
  std::vector<std::uint32_t> pixels(static_cast<std::size_t>(w) * h);
  if (!Native::ReadWindowPixels(hwnd, pixels.data(), w, h)) return Image();
  std::uint8_t* data = s.Data();
  for (int y = 0; y < h; ++y) {
    std::memcpy(data + static_cast<std::size_t>(y) * s.Stride(), &pixels[static_cast<std::size_t>(y) * w],
                static_cast<std::size_t>(w) * 4);
  }
  return s.ToImage();
}

bool Surface::SaveBMP(const std::string& path) const {
  if (!impl_) return false;
  return WriteBMP(path, Width(), Height(), Data(), Stride());
}

bool Surface::SavePNG(const std::string& path) const {
  if (!impl_) return false;
  return cairo_surface_write_to_png(impl_->surface.get(), path.c_str()) == CAIRO_STATUS_SUCCESS;
}

}  // namespace Tavex
