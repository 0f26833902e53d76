#include "platform/IconImage.h"

#include <gdk-pixbuf/gdk-pixbuf.h>

#include <algorithm>
#include <memory>

#include "platform/FileSystem.h"

namespace platform {
namespace {

// Icons are small; a larger file is not one.
constexpr size_t kMaxIconFileBytes = 4u << 20;
constexpr int kMaxIconSide = 1024;

struct GObjectUnref {
  void operator()(void* object) const {
    if (object != nullptr) g_object_unref(object);
  }
};
using PixbufPtr = std::unique_ptr<GdkPixbuf, GObjectUnref>;

IconImage FromPixbuf(GdkPixbuf* pixbuf) {
  IconImage image;
  image.width = gdk_pixbuf_get_width(pixbuf);
  image.height = gdk_pixbuf_get_height(pixbuf);
  const int channels = gdk_pixbuf_get_n_channels(pixbuf);
  const bool alpha = gdk_pixbuf_get_has_alpha(pixbuf);
  const int stride = gdk_pixbuf_get_rowstride(pixbuf);
  const guchar* pixels = gdk_pixbuf_read_pixels(pixbuf);
  image.argb.reserve(static_cast<size_t>(image.width) * image.height);
  for (int y = 0; y < image.height; ++y) {
    const guchar* p = pixels + static_cast<size_t>(y) * stride;
    for (int x = 0; x < image.width; ++x, p += channels) {
      const std::uint32_t a = alpha ? p[3] : 0xFF;
      image.argb.push_back(a << 24 | std::uint32_t{p[0]} << 16 | std::uint32_t{p[1]} << 8 | p[2]);
    }
  }
  return image;
}

}  // namespace

std::optional<IconImage> IconImage::Load(const std::string& path) {
  const FileContents file = ReadWholeFile(path, kMaxIconFileBytes);
  if (file.status != ReadStatus::Ok || file.bytes.empty()) return std::nullopt;
  std::unique_ptr<GdkPixbufLoader, GObjectUnref> loader(gdk_pixbuf_loader_new());
  const bool written = gdk_pixbuf_loader_write(
      loader.get(), reinterpret_cast<const guchar*>(file.bytes.data()), file.bytes.size(), nullptr);
  const bool closed = gdk_pixbuf_loader_close(loader.get(), nullptr);
  GdkPixbuf* pixbuf = gdk_pixbuf_loader_get_pixbuf(loader.get());  // owned by the loader
  if (!written || !closed || pixbuf == nullptr) return std::nullopt;
  const int w = gdk_pixbuf_get_width(pixbuf), h = gdk_pixbuf_get_height(pixbuf);
  if (w <= 0 || h <= 0 || w > kMaxIconSide || h > kMaxIconSide ||
      gdk_pixbuf_get_colorspace(pixbuf) != GDK_COLORSPACE_RGB ||
      gdk_pixbuf_get_bits_per_sample(pixbuf) != 8 || gdk_pixbuf_get_n_channels(pixbuf) < 3)
    return std::nullopt;
  return FromPixbuf(pixbuf);
}

IconImage IconImage::Fitted(int size) const {
  if (size <= 0 || argb.empty() || (width <= size && height <= size)) return *this;
  const double scale = static_cast<double>(size) / std::max(width, height);
  const int w = std::max(1, static_cast<int>(width * scale + 0.5));
  const int h = std::max(1, static_cast<int>(height * scale + 0.5));
  // gdk-pixbuf wants R, G, B, A bytes.
  std::vector<guchar> bytes;
  bytes.reserve(argb.size() * 4);
  for (const std::uint32_t p : argb) {
    bytes.push_back(static_cast<guchar>(p >> 16));
    bytes.push_back(static_cast<guchar>(p >> 8));
    bytes.push_back(static_cast<guchar>(p));
    bytes.push_back(static_cast<guchar>(p >> 24));
  }
  const PixbufPtr source(gdk_pixbuf_new_from_data(bytes.data(), GDK_COLORSPACE_RGB, TRUE, 8, width,
                                                  height, width * 4, nullptr, nullptr));
  const PixbufPtr scaled(
      source ? gdk_pixbuf_scale_simple(source.get(), w, h, GDK_INTERP_BILINEAR) : nullptr);
  if (!scaled) return *this;
  return FromPixbuf(scaled.get());
}

}  // namespace platform
