// The generated skin set: every image the program names exists with the state layout its control
// expects, the keyboard pictures match their layouts, the animation, icon and fonts load.
#include "DataFiles.h"

#include <gtest/gtest.h>

#include <regex>
#include <set>

#include "LayoutReader.h"

namespace {

namespace fs = std::filesystem;
using kwtest::ProgramFolder;

fs::path SkinFolder() { return ProgramFolder() / "skins" / "theme1"; }

TEST(SkinImages, EveryNamedImageExistsWithWholeStatesOfTheExpectedSize) {
  const auto images = kwtest::ReadSkinImages();
  ASSERT_GT(images.size(), 50u);
  for (const auto& img : images) {
    SCOPED_TRACE(img.path);
    const auto pb = kwtest::LoadPixbuf(SkinFolder() / img.path);
    ASSERT_TRUE(pb) << "cannot load";
    const int w = gdk_pixbuf_get_width(pb.get()), h = gdk_pixbuf_get_height(pb.get());
    ASSERT_GT(img.states, 0);
    EXPECT_EQ(w % img.states, 0) << w << " wide for " << img.states << " states";
    if (img.stateWidth) {
      EXPECT_EQ(w / img.states, img.stateWidth);
    }
    if (img.stateHeight) {
      EXPECT_EQ(h, img.stateHeight);
    }
  }
}

// A state strip whose states are all alike would hide hover and pressed feedback.
TEST(SkinImages, StatesOfAStateImageDifferFromEachOther) {
  for (const auto& img : kwtest::ReadSkinImages()) {
    if (img.states < 2) continue;
    SCOPED_TRACE(img.path);
    const auto pb = kwtest::LoadPixbuf(SkinFolder() / img.path);
    ASSERT_TRUE(pb);
    const int sw = gdk_pixbuf_get_width(pb.get()) / img.states, h = gdk_pixbuf_get_height(pb.get());
    const int n = gdk_pixbuf_get_n_channels(pb.get()), stride = gdk_pixbuf_get_rowstride(pb.get());
    const guchar* px = gdk_pixbuf_read_pixels(pb.get());
    for (int a = 0; a < img.states; ++a)
      for (int b = a + 1; b < img.states; ++b) {
        bool differ = false;
        for (int y = 0; y < h && !differ; ++y)
          for (int x = 0; x < sw * n && !differ; ++x)
            differ = px[y * stride + a * sw * n + x] != px[y * stride + b * sw * n + x];
        EXPECT_TRUE(differ) << "states " << a << " and " << b << " are identical";
      }
  }
}

TEST(SkinImages, EveryImageNamedInTheProgramSourcesExists) {
  static const std::regex literal(R"re("([A-Za-z0-9_./\\]+\.(png|gif|bmp))")re");
  std::set<std::string> names;
  for (const char* dir : {"app", "features", "macro", "docs", "device"}) {
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(kwtest::SourceFolder() / dir, ec);
         !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
      if (!it->is_regular_file()) continue;
      const std::string src = kwtest::ReadFile(it->path());
      for (auto m = std::sregex_iterator(src.begin(), src.end(), literal); m != std::sregex_iterator(); ++m) {
        std::string name = (*m)[1].str();
        name = std::regex_replace(name, std::regex(R"((\\\\|//|\\))"), "/");
        names.insert(name);
      }
    }
  }
  for (const std::string& name : names)
    EXPECT_TRUE(fs::exists(SkinFolder() / name)) << name << " is named by the program but not generated";
}

TEST(SkinImages, KeyboardPictureOfEachLayoutHasTheLayoutsSizeAndHoldsEveryKey) {
  const auto layouts = kwtest::LayoutFiles();
  ASSERT_FALSE(layouts.empty());
  for (const auto& file : layouts) {
    SCOPED_TRACE(file.filename().string());
    const auto layout = skingen::ReadLayoutFile(file.string());
    ASSERT_TRUE(layout);
    ASSERT_FALSE(layout->keys.empty());
    const auto pb = kwtest::LoadPixbuf(SkinFolder() / "keyboard" / layout->image);
    ASSERT_TRUE(pb) << "keyboard/" << layout->image << " missing";
    EXPECT_EQ(gdk_pixbuf_get_width(pb.get()), layout->width);
    EXPECT_EQ(gdk_pixbuf_get_height(pb.get()), layout->height);
    for (const auto& k : layout->keys) {
      EXPECT_TRUE(k.x >= 0 && k.y >= 0 && k.w > 0 && k.h > 0 && k.x + k.w <= layout->width &&
                  k.y + k.h <= layout->height)
          << "key " << k.name << " lies outside the picture";
    }
  }
}

// The cap of a key is drawn on its rectangle: the centre of every key is darker-than-text cap
// surface while the gap between two keys of a row shows the plate.
TEST(SkinImages, KeycapsSitOnTheKeyRectangles) {
  for (const auto& file : kwtest::LayoutFiles()) {
    const auto layout = skingen::ReadLayoutFile(file.string());
    ASSERT_TRUE(layout);
    const auto pb = kwtest::LoadPixbuf(SkinFolder() / "keyboard" / layout->image);
    ASSERT_TRUE(pb);
    const int n = gdk_pixbuf_get_n_channels(pb.get()), stride = gdk_pixbuf_get_rowstride(pb.get());
    const guchar* px = gdk_pixbuf_read_pixels(pb.get());
    auto grey = [&](int x, int y) { return px[y * stride + x * n + 1]; };
    for (const auto& k : layout->keys) {
      // Just inside the top-left corner of the face: cap colour, clearly lighter than the plate.
      EXPECT_GT(grey(k.x + 6, k.y + 4), grey(k.x - 2 < 0 ? 0 : k.x - 2, k.y + k.h / 2) + 8)
          << file.filename() << " key " << k.name;
    }
  }
}

TEST(SkinImages, LoadingAnimationHasSeveralFramesOfTheWaitDialogsSize) {
  GError* err = nullptr;
  kwtest::PixbufAnimation anim(gdk_pixbuf_animation_new_from_file((SkinFolder() / "loading.gif").c_str(), &err));
  if (err) g_error_free(err);
  ASSERT_TRUE(anim);
  EXPECT_FALSE(gdk_pixbuf_animation_is_static_image(anim.get()));
  EXPECT_EQ(gdk_pixbuf_animation_get_width(anim.get()), 100);
  EXPECT_EQ(gdk_pixbuf_animation_get_height(anim.get()), 100);
}

TEST(SkinImages, ProgramIconLoadsAtItsLargestSize) {
  const auto pb = kwtest::LoadPixbuf(ProgramFolder() / "Keywright.ico");
  ASSERT_TRUE(pb);
  EXPECT_EQ(gdk_pixbuf_get_width(pb.get()), 256);
  EXPECT_EQ(gdk_pixbuf_get_height(pb.get()), 256);
}

TEST(SkinImages, TheFourOpenSansFilesAreBesideTheProgram) {
  for (const char* f : {"OpenSans-Regular.ttf", "OpenSans-Light.ttf", "OpenSans-Semibold.ttf",
                        "OpenSans-ExtraBold.ttf"}) {
    const std::string bytes = kwtest::ReadFile(ProgramFolder() / "font" / f);
    ASSERT_GE(bytes.size(), 4u) << f;
    EXPECT_EQ(bytes.substr(0, 4), std::string("\x00\x01\x00\x00", 4)) << f << " is not a TrueType file";
  }
}

}  // namespace
