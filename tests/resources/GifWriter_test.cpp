// The GIF encoder of the skin generator, read back by gdk-pixbuf (the loader the UI library uses).
#include "DataFiles.h"
#include "GifWriter.h"

#include <gtest/gtest.h>

#include <random>

namespace {

using skingen::GifWriter;
using skingen::Rgb8;

std::vector<Rgb8> GreyRamp() {
  std::vector<Rgb8> pal;
  for (int i = 0; i < 256; ++i) pal.push_back({static_cast<uint8_t>(i), static_cast<uint8_t>(255 - i), 7});
  return pal;
}

// Decodes frame 0 and compares every pixel with the palette colour of its index.
void ExpectDecodesTo(const std::vector<uint8_t>& file, int w, int h, const std::vector<uint8_t>& indices,
                     const std::vector<Rgb8>& pal) {
  const auto pb = kwtest::LoadPixbufFromBytes(file);
  ASSERT_TRUE(pb) << "gdk-pixbuf cannot read the GIF";
  ASSERT_EQ(gdk_pixbuf_get_width(pb.get()), w);
  ASSERT_EQ(gdk_pixbuf_get_height(pb.get()), h);
  const int n = gdk_pixbuf_get_n_channels(pb.get()), stride = gdk_pixbuf_get_rowstride(pb.get());
  const guchar* px = gdk_pixbuf_read_pixels(pb.get());
  int mismatches = 0;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const Rgb8 want = pal[indices[static_cast<size_t>(y * w + x)]];
      const guchar* p = px + y * stride + x * n;
      mismatches += p[0] != want.r || p[1] != want.g || p[2] != want.b;
    }
  EXPECT_EQ(mismatches, 0);
}

TEST(GifWriter, NoisyFrameLongEnoughToFillTheCodeTableSeveralTimesDecodesExactly) {
  constexpr int w = 200, h = 150;  // 30000 pixels of noise: the 4096-code table refills often
  std::mt19937 rng(42);
  std::vector<uint8_t> indices(w * h);
  for (auto& v : indices) v = static_cast<uint8_t>(rng() % 256);
  const auto pal = GreyRamp();
  GifWriter gif(w, h, pal);
  ASSERT_TRUE(gif.AddFrame(indices, 5));
  ExpectDecodesTo(gif.Bytes(), w, h, indices, pal);
}

TEST(GifWriter, RepetitiveFrameCompressesAndDecodesExactly) {
  constexpr int w = 100, h = 100;
  std::vector<uint8_t> indices(w * h);
  for (int i = 0; i < w * h; ++i) indices[i] = static_cast<uint8_t>((i / 37) % 3);
  const auto pal = GreyRamp();
  GifWriter gif(w, h, pal);
  ASSERT_TRUE(gif.AddFrame(indices, 5));
  EXPECT_LT(GifWriter::Compress(indices).size(), indices.size() / 4);
  ExpectDecodesTo(gif.Bytes(), w, h, indices, pal);
}

TEST(GifWriter, SinglePixelAndUniformFramesDecode) {
  const auto pal = GreyRamp();
  GifWriter one(1, 1, pal);
  ASSERT_TRUE(one.AddFrame({200}, 1));
  ExpectDecodesTo(one.Bytes(), 1, 1, {200}, pal);
  GifWriter flat(64, 64, pal);
  const std::vector<uint8_t> zeros(64 * 64, 0);
  ASSERT_TRUE(flat.AddFrame(zeros, 1));
  ExpectDecodesTo(flat.Bytes(), 64, 64, zeros, pal);
}

TEST(GifWriter, SeveralFramesMakeAnAnimationWithTheirDelay) {
  const auto pal = GreyRamp();
  GifWriter gif(8, 8, pal);
  for (int f = 0; f < 3; ++f) ASSERT_TRUE(gif.AddFrame(std::vector<uint8_t>(64, static_cast<uint8_t>(f * 50)), 7));
  const auto anim = kwtest::LoadAnimationFromBytes(gif.Bytes());
  ASSERT_TRUE(anim);
  EXPECT_FALSE(gdk_pixbuf_animation_is_static_image(anim.get()));
  G_GNUC_BEGIN_IGNORE_DEPRECATIONS
  GTimeVal t = {0, 0};
  kwtest::PixbufFree free;
  GdkPixbufAnimationIter* it = gdk_pixbuf_animation_get_iter(anim.get(), &t);
  EXPECT_EQ(gdk_pixbuf_animation_iter_get_delay_time(it), 70);
  free(it);
  G_GNUC_END_IGNORE_DEPRECATIONS
}

TEST(GifWriter, RefusesFramesOfTheWrongSizeOrWithIndicesOutsideThePalette) {
  GifWriter gif(4, 4, {{0, 0, 0}, {255, 255, 255}});
  EXPECT_FALSE(gif.AddFrame(std::vector<uint8_t>(15, 0), 1));
  EXPECT_FALSE(gif.AddFrame(std::vector<uint8_t>(16, 2), 1));
  EXPECT_TRUE(gif.AddFrame(std::vector<uint8_t>(16, 1), 1));
}

}  // namespace
