#include "GifWriter.h"
#include "IcoWriter.h"
#include "Palette.h"
#include "SkinSet.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <limits>

namespace skingen {
namespace {

namespace p = palette;

constexpr int kSize = 100;    // the wait dialog shows it at (1, 1)-(101, 101)
constexpr int kFrames = 24;   // 15 degrees per frame
constexpr int kDelayCs = 4;   // 40 ms per frame: one turn in just under a second
const Rgba kBack = Rgba::Hex(0x333333);   // the wait dialog's back colour
const Rgba kTrack = Rgba::Hex(0x474747);

Rgb8 ToRgb8(const Rgba& c) {
  auto b = [](double v) { return static_cast<uint8_t>(std::lround(std::clamp(v, 0.0, 1.0) * 255)); };
  return {b(c.r), b(c.g), b(c.b)};
}

// Every colour a frame can hold is a blend of the back colour, the track and the accent.
std::vector<Rgb8> SpinnerPalette() {
  std::vector<Rgb8> pal;
  for (int i = 0; i < 128; ++i) pal.push_back(ToRgb8(kBack.Mix(p::kAccent, i / 127.0)));
  for (int i = 0; i < 64; ++i) pal.push_back(ToRgb8(kBack.Mix(kTrack, i / 63.0)));
  for (int i = 0; i < 64; ++i) pal.push_back(ToRgb8(kTrack.Mix(p::kAccent, i / 63.0)));
  return pal;
}

std::vector<uint8_t> Quantize(const Canvas& frame, const std::vector<Rgb8>& pal) {
  std::vector<uint8_t> out;
  out.reserve(static_cast<size_t>(frame.Width() * frame.Height()));
  for (int y = 0; y < frame.Height(); ++y)
    for (int x = 0; x < frame.Width(); ++x) {
      unsigned char px[4];
      frame.PixelRgba(x, y, px);
      int best = 0;
      int bestDist = std::numeric_limits<int>::max();
      for (size_t i = 0; i < pal.size(); ++i) {
        const int dr = px[0] - pal[i].r, dg = px[1] - pal[i].g, db = px[2] - pal[i].b;
        const int d = dr * dr + dg * dg + db * db;
        if (d < bestDist) {
          bestDist = d;
          best = static_cast<int>(i);
        }
      }
      out.push_back(static_cast<uint8_t>(best));
    }
  return out;
}

Canvas SpinnerFrame(int frame) {
  Canvas c(kSize, kSize);
  cairo_t* cr = c.Cr();
  c.FillRect(0, 0, kSize, kSize, kBack);
  const double cx = kSize / 2.0, cy = kSize / 2.0, r = 28;
  cairo_set_line_width(cr, 6);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_arc(cr, cx, cy, r, 0, 2 * M_PI);
  c.SetColor(kTrack);
  cairo_stroke(cr);
  // A bright head with a tail that fades into the track.
  const double head = -M_PI / 2 + frame * 2 * M_PI / kFrames;
  constexpr int kTail = 16;
  const double span = M_PI * 0.9;
  for (int i = 0; i < kTail; ++i) {
    const double a0 = head - span * (i + 1) / kTail, a1 = head - span * i / kTail;
    cairo_arc(cr, cx, cy, r, a0, a1);
    c.SetColor(kTrack.Mix(p::kAccent, 1.0 - static_cast<double>(i) / kTail));
    cairo_set_line_cap(cr, i == 0 ? CAIRO_LINE_CAP_ROUND : CAIRO_LINE_CAP_BUTT);
    cairo_stroke(cr);
  }
  return c;
}

}  // namespace

void WriteLoading(SkinWriter& out) {
  const std::vector<Rgb8> pal = SpinnerPalette();
  GifWriter gif(kSize, kSize, pal);
  for (int f = 0; f < kFrames; ++f) gif.AddFrame(Quantize(SpinnerFrame(f), pal), kDelayCs);
  out.File("loading.gif", [&gif](const std::string& path) { return gif.Save(path); });
}

bool WriteAppIcon(const std::string& path, const std::string& hicolorDir, const std::string& iconName) {
  std::vector<IcoImage> images;
  bool themeOk = true;
  for (int size : {16, 24, 32, 48, 64, 128, 256}) {
    Canvas c(size, size);
    const double s = size;
    cairo_pattern_t* g = cairo_pattern_create_linear(0, 0, 0, s);
    cairo_pattern_add_color_stop_rgb(g, 0, p::kAccentHi.r, p::kAccentHi.g, p::kAccentHi.b);
    cairo_pattern_add_color_stop_rgb(g, 1, p::kAccentLo.r, p::kAccentLo.g, p::kAccentLo.b);
    c.RoundRectPath(0, 0, s, s, s * 0.22);
    cairo_set_source(c.Cr(), g);
    cairo_fill(c.Cr());
    cairo_pattern_destroy(g);
    if (size >= 32) c.FillRect(s * 0.22, std::max(1.0, s / 64), s * 0.56, std::max(1.0, s / 64),
                               p::kWhite.WithAlpha(0.3));
    // A dark keycap face carrying the initial.
    if (size >= 48) {
      c.FillRoundRect(s * 0.17, s * 0.15, s * 0.66, s * 0.62, s * 0.1, p::kBase.WithAlpha(0.92));
      c.CenteredText("K", s * 0.17, s * 0.15, s * 0.66, s * 0.62, s * 0.46, Weight::Bold, p::kAccentHi);
    } else {
      c.CenteredText("K", 0, 0, s, s, s * 0.74, Weight::Bold, p::kBase);
    }
    if (!hicolorDir.empty()) {
      const std::string dir = hicolorDir + "/" + std::to_string(size) + "x" + std::to_string(size) + "/apps";
      std::error_code ec;
      std::filesystem::create_directories(dir, ec);
      themeOk = !ec && c.SavePng(dir + "/" + iconName + ".png") && themeOk;
    }
    IcoImage image{size, {}};
    image.rgba.resize(static_cast<size_t>(size) * size * 4);
    for (int y = 0; y < size; ++y)
      for (int x = 0; x < size; ++x) c.PixelRgba(x, y, image.rgba.data() + (y * size + x) * 4);
    images.push_back(std::move(image));
  }
  return SaveIco(path, images) && themeOk;
}

}  // namespace skingen
