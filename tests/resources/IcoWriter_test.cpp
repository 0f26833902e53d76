// The icon file writer, read back by gdk-pixbuf.
#include "DataFiles.h"
#include "IcoWriter.h"

#include <gtest/gtest.h>

namespace {

using skingen::BuildIco;
using skingen::IcoImage;

IcoImage Quadrants(int size) {
  IcoImage img{size, std::vector<uint8_t>(static_cast<size_t>(size) * size * 4)};
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x) {
      uint8_t* p = img.rgba.data() + (y * size + x) * 4;
      const bool right = x >= size / 2, bottom = y >= size / 2;
      p[0] = right ? 200 : 10;
      p[1] = bottom ? 150 : 20;
      p[2] = 30;
      p[3] = (right && bottom) ? 0 : 255;
    }
  return img;
}

TEST(IcoWriter, LargestImageReadsBackWithItsPixelsUpTheRightWay) {
  const auto bytes = BuildIco({Quadrants(16), Quadrants(48)});
  ASSERT_FALSE(bytes.empty());
  const auto pb = kwtest::LoadPixbufFromBytes(bytes);
  ASSERT_TRUE(pb);
  ASSERT_EQ(gdk_pixbuf_get_width(pb.get()), 48);
  ASSERT_EQ(gdk_pixbuf_get_n_channels(pb.get()), 4);
  const int stride = gdk_pixbuf_get_rowstride(pb.get());
  const guchar* px = gdk_pixbuf_read_pixels(pb.get());
  auto at = [&](int x, int y) { return px + y * stride + x * 4; };
  EXPECT_EQ(at(2, 2)[0], 10);    // top left
  EXPECT_EQ(at(2, 2)[1], 20);
  EXPECT_EQ(at(40, 2)[0], 200);  // top right
  EXPECT_EQ(at(2, 40)[1], 150);  // bottom left
  EXPECT_EQ(at(40, 40)[3], 0);   // bottom right is transparent
  EXPECT_EQ(at(2, 2)[3], 255);
}

TEST(IcoWriter, A256PixelImageIsStoredWithTheZeroSizeByte) {
  const auto bytes = BuildIco({Quadrants(256)});
  ASSERT_GT(bytes.size(), 22u);
  EXPECT_EQ(bytes[6], 0);  // width byte of the directory entry
  EXPECT_EQ(bytes[7], 0);
  const auto pb = kwtest::LoadPixbufFromBytes(bytes);
  ASSERT_TRUE(pb);
  EXPECT_EQ(gdk_pixbuf_get_width(pb.get()), 256);
}

TEST(IcoWriter, RefusesImagesWhosePixelsDoNotMatchTheirSize) {
  IcoImage bad = Quadrants(16);
  bad.rgba.pop_back();
  EXPECT_TRUE(BuildIco({bad}).empty());
  EXPECT_TRUE(BuildIco({IcoImage{300, std::vector<uint8_t>(300 * 300 * 4)}}).empty());
}

}  // namespace
