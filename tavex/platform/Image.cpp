// Images: loading through gdk-pixbuf into premultiplied ARGB32 surfaces.
#include <gdk-pixbuf/gdk-pixbuf.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>

#include "CairoHandles.h"

namespace Tavex {
namespace {

CairoSurfacePtr FromPixbuf(GdkPixbuf* pixbuf) {
  if (pixbuf == nullptr) return nullptr;
  const int w = gdk_pixbuf_get_width(pixbuf);
  const int h = gdk_pixbuf_get_height(pixbuf);
  const int channels = gdk_pixbuf_get_n_channels(pixbuf);
  const bool alpha = gdk_pixbuf_get_has_alpha(pixbuf);
  if (w <= 0 || h <= 0 || gdk_pixbuf_get_bits_per_sample(pixbuf) != 8 || channels < 3) {
    return nullptr;
  }
  CairoSurfacePtr surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h));
  if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS) return nullptr;
  cairo_surface_flush(surface.get());
  unsigned char* dst = cairo_image_surface_get_data(surface.get());
  const int dstStride = cairo_image_surface_get_stride(surface.get());
  const guchar* src = gdk_pixbuf_read_pixels(pixbuf);
  const int srcStride = gdk_pixbuf_get_rowstride(pixbuf);
  for (int y = 0; y < h; ++y) {
    const guchar* s = src + static_cast<std::size_t>(y) * srcStride;
    auto* d = reinterpret_cast<std::uint32_t*>(dst + static_cast<std::size_t>(y) * dstStride);
    for (int x = 0; x < w; ++x, s += channels) {
      const std::uint32_t a = alpha ? s[3] : 255;
      d[x] = Premultiply((a << 24) | (static_cast<std::uint32_t>(s[0]) << 16) |
                         (static_cast<std::uint32_t>(s[1]) << 8) | s[2]);
    }
  }
  cairo_surface_mark_dirty(surface.get());
  return surface;
}

// Frame delays of a GIF in hundredths of a second, one per image; empty when the data is not
// a well-formed GIF. Bounds-checked: a damaged file gives what could be read.
std::vector<int> GifDelays(const std::vector<unsigned char>& d) {
  std::vector<int> delays;
  if (d.size() < 13 || std::memcmp(d.data(), "GIF", 3) != 0) return delays;
  std::size_t p = 13;
  if (d[10] & 0x80) p += 3u * (1u << ((d[10] & 7) + 1));
  int pending = 0;
  auto skipBlocks = [&d](std::size_t q) {
    while (q < d.size() && d[q] != 0) q += d[q] + 1u;
    return q + 1;
  };
  while (p < d.size()) {
    const unsigned char tag = d[p];
    if (tag == 0x3B) break;
    if (tag == 0x21) {
      if (p + 1 >= d.size()) break;
      if (d[p + 1] == 0xF9 && p + 7 < d.size()) pending = d[p + 4] | (d[p + 5] << 8);
      p = skipBlocks(p + 2);
    } else if (tag == 0x2C) {
      if (p + 10 > d.size()) break;
      const unsigned char flags = d[p + 9];
      p += 10;
      if (flags & 0x80) p += 3u * (1u << ((flags & 7) + 1));
      p = skipBlocks(p + 1);  // LZW minimum code size, then the data sub-blocks
      if (p > d.size() + 1) break;
      delays.push_back(pending);
      pending = 0;
    } else {
      break;
    }
    if (delays.size() > 10000) break;
  }
  return delays;
}

}  // namespace

Image ImageAccess::Make(CairoSurfacePtr surface) {
  if (!surface) return Image();
  auto impl = std::make_shared<Image::Impl>();
  impl->surface = std::move(surface);
  return Image(std::shared_ptr<const Image::Impl>(std::move(impl)));
}

ARGB SurfacePixel(cairo_surface_t* surface, int x, int y) {
  if (surface == nullptr) return 0;
  if (x < 0 || y < 0 || x >= cairo_image_surface_get_width(surface) ||
      y >= cairo_image_surface_get_height(surface)) {
    return 0;
  }
  cairo_surface_flush(surface);
  const unsigned char* data = cairo_image_surface_get_data(surface);
  const int stride = cairo_image_surface_get_stride(surface);
  const auto* row = reinterpret_cast<const std::uint32_t*>(data + static_cast<std::size_t>(y) * stride);
  return Unpremultiply(row[x]);
}

Image::Image() = default;
Image::~Image() = default;
Image::Image(const Image&) = default;
Image& Image::operator=(const Image&) = default;
Image::Image(Image&&) noexcept = default;
Image& Image::operator=(Image&&) noexcept = default;
Image::Image(std::shared_ptr<const Impl> impl) : impl_(std::move(impl)) {}

Image Image::LoadFile(const std::string& path) {
  GError* error = nullptr;
  GObjectPtr<GdkPixbuf> pixbuf(gdk_pixbuf_new_from_file(path.c_str(), &error));
  if (error != nullptr) g_error_free(error);
  return ImageAccess::Make(FromPixbuf(pixbuf.get()));
}

Image Image::LoadMemory(const void* data, std::size_t size) {
  if (data == nullptr || size == 0) return Image();
  GObjectPtr<GdkPixbufLoader> loader(gdk_pixbuf_loader_new());
  GError* error = nullptr;
  bool ok = gdk_pixbuf_loader_write(loader.get(), static_cast<const guchar*>(data), size, &error);
  if (error != nullptr) {
    g_error_free(error);
    error = nullptr;
  }
  ok = gdk_pixbuf_loader_close(loader.get(), &error) && ok;
  if (error != nullptr) g_error_free(error);
  if (!ok) return Image();
  return ImageAccess::Make(FromPixbuf(gdk_pixbuf_loader_get_pixbuf(loader.get())));
}

Image Image::FromARGB(int width, int height, const std::uint32_t* argb) {
  if (argb == nullptr || width <= 0 || height <= 0 || width > 32767 || height > 32767) {
    return Image();
  }
  CairoSurfacePtr surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height));
  if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS) return Image();
  cairo_surface_flush(surface.get());
  unsigned char* dst = cairo_image_surface_get_data(surface.get());
  const int stride = cairo_image_surface_get_stride(surface.get());
  for (int y = 0; y < height; ++y) {
    auto* d = reinterpret_cast<std::uint32_t*>(dst + static_cast<std::size_t>(y) * stride);
    for (int x = 0; x < width; ++x) d[x] = Premultiply(argb[static_cast<std::size_t>(y) * width + x]);
  }
  cairo_surface_mark_dirty(surface.get());
  return ImageAccess::Make(std::move(surface));
}

bool Image::IsNull() const { return !impl_; }
int Image::Width() const { return impl_ ? cairo_image_surface_get_width(impl_->surface.get()) : 0; }
int Image::Height() const {
  return impl_ ? cairo_image_surface_get_height(impl_->surface.get()) : 0;
}

ARGB Image::Pixel(int x, int y) const {
  return impl_ ? SurfacePixel(impl_->surface.get(), x, y) : 0;
}

const std::uint8_t* Image::Data() const {
  if (!impl_ || cairo_image_surface_get_format(impl_->surface.get()) != CAIRO_FORMAT_ARGB32) return nullptr;
  cairo_surface_flush(impl_->surface.get());
  return cairo_image_surface_get_data(impl_->surface.get());
}

int Image::Stride() const {
  return Data() != nullptr ? cairo_image_surface_get_stride(impl_->surface.get()) : 0;
}

bool Image::HasTransparency() const {
  if (!impl_) return false;
  cairo_surface_t* surface = impl_->surface.get();
  if (cairo_image_surface_get_format(surface) != CAIRO_FORMAT_ARGB32) return false;
  cairo_surface_flush(surface);
  const unsigned char* data = cairo_image_surface_get_data(surface);
  const int stride = cairo_image_surface_get_stride(surface);
  const int w = Width(), h = Height();
  for (int y = 0; y < h; ++y) {
    const auto* row = reinterpret_cast<const std::uint32_t*>(data + static_cast<std::size_t>(y) * stride);
    for (int x = 0; x < w; ++x) {
      if ((row[x] >> 24) != 0xFF) return true;
    }
  }
  return false;
}

std::vector<std::uint32_t> Image::ToARGB() const {
  std::vector<std::uint32_t> out;
  if (!impl_) return out;
  const int w = Width(), h = Height();
  out.reserve(static_cast<std::size_t>(w) * h);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) out.push_back(Pixel(x, y));
  }
  return out;
}

std::vector<AnimationFrame> LoadAnimationFrames(const std::string& path) {
  std::vector<AnimationFrame> frames;
  GError* error = nullptr;
  GObjectPtr<GdkPixbufAnimation> anim(gdk_pixbuf_animation_new_from_file(path.c_str(), &error));
  if (error != nullptr) g_error_free(error);
  if (!anim) return frames;
  if (gdk_pixbuf_animation_is_static_image(anim.get())) {
    Image still = ImageAccess::Make(FromPixbuf(gdk_pixbuf_animation_get_static_image(anim.get())));
    if (!still.IsNull()) frames.push_back(AnimationFrame{still, 0});
    return frames;
  }
  std::ifstream in(path, std::ios::binary);
  const std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(in)),
                                         std::istreambuf_iterator<char>());
  std::vector<int> delays = GifDelays(bytes);
  if (delays.empty()) delays.push_back(10);
  G_GNUC_BEGIN_IGNORE_DEPRECATIONS
  GTimeVal t{0, 0};
  GObjectPtr<GdkPixbufAnimationIter> iter(gdk_pixbuf_animation_get_iter(anim.get(), &t));
  for (std::size_t i = 0; i < delays.size() && iter; ++i) {
    Image frame = ImageAccess::Make(FromPixbuf(gdk_pixbuf_animation_iter_get_pixbuf(iter.get())));
    if (frame.IsNull()) break;
    const int delayMs = delays[i] * 10 < 20 ? 100 : delays[i] * 10;
    frames.push_back(AnimationFrame{frame, delayMs});
    const int step = gdk_pixbuf_animation_iter_get_delay_time(iter.get());
    if (step < 0) break;
    g_time_val_add(&t, static_cast<glong>(step) * 1000);
    gdk_pixbuf_animation_iter_advance(iter.get(), &t);
  }
  G_GNUC_END_IGNORE_DEPRECATIONS
  return frames;
}

}  // namespace Tavex
