// contactsheet: one PNG showing every image below a folder (PNG, GIF frames, ICO), each labelled
// with its path and size, on a checkerboard so that transparency shows. For reviewing the skins:
//   contactsheet bin/skins/theme1 sheet.png [extra files...]
#include <cairo.h>
#include <gdk-pixbuf/gdk-pixbuf.h>
#include <pango/pangocairo.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct GObjectFree {
  void operator()(void* p) const { if (p) g_object_unref(p); }
};
template <class T>
using GPtr = std::unique_ptr<T, GObjectFree>;

struct Tile {
  std::string label;
  std::vector<GPtr<GdkPixbuf>> frames;  // one for still images, several for animations
  double scale = 1.0;
  int w = 0, h = 0;                      // drawn size of the whole tile content
};

constexpr int kSheetWidth = 1800;
constexpr int kPad = 14;
constexpr int kLabelH = 30;
constexpr int kMaxFrames = 8;

void Checker(cairo_t* cr, double x, double y, double w, double h) {
  cairo_save(cr);
  cairo_rectangle(cr, x, y, w, h);
  cairo_clip(cr);
  for (int j = 0; j * 8 < h; ++j)
    for (int i = 0; i * 8 < w; ++i) {
      const double v = ((i + j) % 2) ? 0.30 : 0.36;
      cairo_set_source_rgb(cr, v, v, v);
      cairo_rectangle(cr, x + i * 8, y + j * 8, 8, 8);
      cairo_fill(cr);
    }
  cairo_restore(cr);
}

// Premultiplied ARGB32 copy of a pixbuf (RGB or RGBA, 8 bits per sample).
cairo_surface_t* ToSurface(GdkPixbuf* pb) {
  const int w = gdk_pixbuf_get_width(pb), h = gdk_pixbuf_get_height(pb);
  const int n = gdk_pixbuf_get_n_channels(pb), stride = gdk_pixbuf_get_rowstride(pb);
  const guchar* src = gdk_pixbuf_read_pixels(pb);
  cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
  unsigned char* dst = cairo_image_surface_get_data(s);
  const int dstride = cairo_image_surface_get_stride(s);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const guchar* p = src + y * stride + x * n;
      const unsigned a = n == 4 ? p[3] : 255;
      const uint32_t px = (a << 24) | ((p[0] * a / 255) << 16) | ((p[1] * a / 255) << 8) | (p[2] * a / 255);
      std::copy_n(reinterpret_cast<const unsigned char*>(&px), 4, dst + y * dstride + x * 4);
    }
  cairo_surface_mark_dirty(s);
  return s;
}

void Text(cairo_t* cr, const std::string& s, double x, double y, double size, double grey) {
  PangoLayout* layout = pango_cairo_create_layout(cr);
  PangoFontDescription* font = pango_font_description_from_string("Open Sans");
  pango_font_description_set_absolute_size(font, size * PANGO_SCALE);
  pango_layout_set_font_description(layout, font);
  pango_layout_set_text(layout, s.c_str(), -1);
  cairo_set_source_rgb(cr, grey, grey, grey);
  cairo_move_to(cr, x, y);
  pango_cairo_show_layout(cr, layout);
  pango_font_description_free(font);
  g_object_unref(layout);
}

double g_zoom = 2.0;      // scale of images at most 64 pixels high
int g_maxWidth = 900;     // wider images are scaled down to this

bool LoadTile(const fs::path& file, const std::string& label, Tile& tile) {
  GError* err = nullptr;
  GPtr<GdkPixbufAnimation> anim(gdk_pixbuf_animation_new_from_file(file.c_str(), &err));
  if (!anim) {
    if (err) g_error_free(err);
    return false;
  }
  const int iw = gdk_pixbuf_animation_get_width(anim.get());
  const int ih = gdk_pixbuf_animation_get_height(anim.get());
  if (gdk_pixbuf_animation_is_static_image(anim.get())) {
    GdkPixbuf* still = gdk_pixbuf_animation_get_static_image(anim.get());
    tile.frames.emplace_back(GDK_PIXBUF(g_object_ref(still)));
  } else {
    // gdk-pixbuf's animation iterator still takes the old GTimeVal.
    G_GNUC_BEGIN_IGNORE_DEPRECATIONS
    GTimeVal t = {0, 0};
    GPtr<GdkPixbufAnimationIter> it(gdk_pixbuf_animation_get_iter(anim.get(), &t));
    for (int f = 0; f < kMaxFrames; ++f) {
      GdkPixbuf* frame = gdk_pixbuf_animation_iter_get_pixbuf(it.get());
      tile.frames.emplace_back(gdk_pixbuf_copy(frame));
      const int delay = gdk_pixbuf_animation_iter_get_delay_time(it.get());
      if (delay <= 0) break;
      g_time_val_add(&t, delay * 1000L * 3);  // every third frame
      gdk_pixbuf_animation_iter_advance(it.get(), &t);
    }
    G_GNUC_END_IGNORE_DEPRECATIONS
  }
  if (ih <= 64 && iw * g_zoom <= g_maxWidth)
    tile.scale = g_zoom;
  else if (iw > g_maxWidth)
    tile.scale = static_cast<double>(g_maxWidth) / iw;
  tile.w = static_cast<int>(iw * tile.scale) * static_cast<int>(tile.frames.size()) +
           kPad * static_cast<int>(tile.frames.size() - 1);
  tile.h = static_cast<int>(ih * tile.scale);
  char size[64];
  std::snprintf(size, sizeof size, "  %d×%d%s", iw, ih, tile.scale > 1 ? " (zoomed)" : tile.scale < 1 ? " (scaled)" : "");
  tile.label = label + size + (tile.frames.size() > 1 ? "  frames 0,3,6…" : "");
  tile.w = std::max(tile.w, 150);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  // Options first: --zoom N scales small images, --max-width N limits large ones.
  while (argc > 3 && (std::string(argv[1]) == "--zoom" || std::string(argv[1]) == "--max-width")) {
    if (std::string(argv[1]) == "--zoom") g_zoom = std::max(1.0, std::atof(argv[2]));
    else g_maxWidth = std::max(100, std::atoi(argv[2]));
    argv += 2;
    argc -= 2;
  }
  if (argc < 3) {
    std::fprintf(stderr, "usage: contactsheet [--zoom N] [--max-width N] IMAGE_DIR OUT.png [EXTRA_FILE...]\n");
    return 2;
  }
  const fs::path root = argv[1];
  std::vector<std::pair<fs::path, std::string>> files;
  std::error_code ec;
  for (auto it = fs::recursive_directory_iterator(root, ec); !ec && it != fs::recursive_directory_iterator();
       it.increment(ec))
    if (it->is_regular_file()) files.emplace_back(it->path(), it->path().lexically_relative(root).string());
  std::sort(files.begin(), files.end(), [](const auto& a, const auto& b) { return a.second < b.second; });
  for (int i = 3; i < argc; ++i) files.emplace_back(argv[i], fs::path(argv[i]).filename().string());

  std::vector<Tile> tiles;
  for (const auto& [path, label] : files) {
    Tile tile;
    if (LoadTile(path, label, tile))
      tiles.push_back(std::move(tile));
    else
      std::fprintf(stderr, "contactsheet: cannot load %s\n", label.c_str());
  }
  // Flow layout: rows of tiles, wrapping at the sheet width.
  struct Placed { const Tile* tile; int x, y; };
  std::vector<Placed> placed;
  int x = kPad, y = kPad + 40, rowH = 0;
  for (const Tile& t : tiles) {
    const int cellW = std::max(t.w, 220);
    if (x + cellW + kPad > kSheetWidth && x > kPad) {
      x = kPad;
      y += rowH + kLabelH + kPad;
      rowH = 0;
    }
    placed.push_back({&t, x, y});
    x += cellW + kPad;
    rowH = std::max(rowH, t.h);
  }
  const int height = y + rowH + kLabelH + kPad;
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, kSheetWidth, height);
  cairo_t* cr = cairo_create(surface);
  cairo_set_source_rgb(cr, 0.16, 0.16, 0.17);
  cairo_paint(cr);
  char title[160];
  std::snprintf(title, sizeof title, "%s: %zu images", root.filename().c_str(), tiles.size());
  Text(cr, title, kPad, 10, 18, 0.95);
  for (const Placed& p : placed) {
    const Tile& t = *p.tile;
    int fx = p.x;
    for (const auto& frame : t.frames) {
      const int w = static_cast<int>(gdk_pixbuf_get_width(frame.get()) * t.scale);
      Checker(cr, fx, p.y, w, t.h);
      cairo_save(cr);
      cairo_translate(cr, fx, p.y);
      cairo_scale(cr, t.scale, t.scale);
      cairo_surface_t* image = ToSurface(frame.get());
      cairo_set_source_surface(cr, image, 0, 0);
      cairo_pattern_set_filter(cairo_get_source(cr), t.scale > 1 ? CAIRO_FILTER_NEAREST : CAIRO_FILTER_GOOD);
      cairo_paint(cr);
      cairo_surface_destroy(image);
      cairo_restore(cr);
      fx += w + kPad;
    }
    Text(cr, t.label, p.x, p.y + t.h + 4, 12, 0.85);
  }
  cairo_destroy(cr);
  const bool ok = cairo_surface_write_to_png(surface, argv[2]) == CAIRO_STATUS_SUCCESS;
  cairo_surface_destroy(surface);
  std::printf("contactsheet: %zu images -> %s\n", tiles.size(), argv[2]);
  return ok ? 0 : 1;
}
