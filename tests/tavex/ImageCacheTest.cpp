#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "tavex/ImageCache.h"
#include "tavex/MControlFont.h"
#include "tavex/MRender.h"
#include "tavex/PaintManager.h"
#include "tavex/Painter.h"
#include "tavex/TempFonts.h"
#include "support/TempFolder.h"

using namespace Tavex;

namespace {

// A temporary skin folder that the test fills with pictures.
class SkinFolder {
 public:
  SkinFolder() { folder_.MakeFolder("icon"); }
  std::string Path() const { return folder_.Slashed(); }
  // A w × h picture of one colour.
  void Write(const std::string& name, int w, int h, std::uint32_t argb) const {
    Surface s(w, h);
    {
      Painter p(s);
      p.Clear(argb);
    }
    ASSERT_TRUE(s.SavePNG(Path() + name));
  }

 private:
  TempFolder folder_{"tavex-skin"};
};

// A control drawing its state image when it has one and a plain box otherwise.
class ImageProbe : public MControlFont {
 public:
  ImageProbe(MObject* parent, CRect rect) : MControlFont(parent, 7, rect, "probe") {}
  void DrawControl(Painter& painter, CRect) override {
    ++draws;
    ImgResInfo* info = GetStateImage();
    if (info == nullptr) {
      painter.FillRect(GetRect(), 0xFF202020);
      return;
    }
    painter.DrawImage(info->image, GetRect(), info->StateRect(1));
  }
  int draws = 0;
};

}  // namespace

TEST(ImageCache, TheSameNameIsLoadedOnceAndShared) {
  SkinFolder skin;
  skin.Write("btn.png", 40, 10, 0xFFCA5100);
  ImageCache cache;
  cache.SetFolder(skin.Path());
  ImgResInfo* first = cache.Add("btn.png", 4);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->width, 10);
  EXPECT_EQ(first->height, 10);
  EXPECT_EQ(first->states, 4);
  EXPECT_EQ(first->name, "btn.png");
  // The file changes on disk: the cached entry is what every later caller gets.
  skin.Write("btn.png", 80, 20, 0xFF00FF00);
  ImgResInfo* second = cache.Add("btn.png", 4);
  EXPECT_EQ(second, first);
  EXPECT_EQ(second->width, 10);
  EXPECT_EQ(cache.LoadCount(), 1);
  EXPECT_EQ(cache.Size(), 1u);
  EXPECT_EQ(cache.Find("btn.png"), first);
}

TEST(ImageCache, AMissingFileGivesNullAndIsNotCached) {
  SkinFolder skin;
  ImageCache cache;
  cache.SetFolder(skin.Path());
  EXPECT_EQ(cache.Add("icon//icon_menu.png", 1), nullptr);
  EXPECT_EQ(cache.Size(), 0u);
  EXPECT_EQ(cache.Find("icon//icon_menu.png"), nullptr);
  // Once the file exists the next request loads it (nothing negative was remembered).
  skin.Write("icon/icon_menu.png", 12, 12, 0xFFFFFFFF);
  ImgResInfo* info = cache.Add("icon//icon_menu.png", 1);
  ASSERT_NE(info, nullptr);
  EXPECT_EQ(info->width, 12);
  EXPECT_EQ(cache.LoadCount(), 2);
}

TEST(ImageCache, NotAPictureGivesNull) {
  SkinFolder skin;
  {
    std::FILE* f = std::fopen((skin.Path() + "broken.png").c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fputs("\x89PNG\r\n\x1a\n not really", f);
    std::fclose(f);
  }
  ImageCache cache;
  cache.SetFolder(skin.Path());
  EXPECT_EQ(cache.Add("broken.png", 1), nullptr);
  EXPECT_EQ(cache.Add("", 1), nullptr);
  EXPECT_EQ(cache.Size(), 0u);
}

TEST(ImageCache, StatesBelowOneCountAsOneAndStateRectsClamp) {
  SkinFolder skin;
  skin.Write("strip.png", 30, 6, 0xFF112233);
  ImageCache cache;
  cache.SetFolder(skin.Path());
  ImgResInfo* info = cache.Add("strip.png", 0);
  ASSERT_NE(info, nullptr);
  EXPECT_EQ(info->states, 1);
  EXPECT_EQ(info->width, 30);
  ImageCache three;
  three.SetFolder(skin.Path());
  ImgResInfo* t = three.Add("strip.png", 3);
  ASSERT_NE(t, nullptr);
  const RECT second = t->StateRect(1);
  EXPECT_EQ(second.left, 10);
  EXPECT_EQ(second.right, 20);
  const RECT beyond = t->StateRect(9);
  EXPECT_EQ(beyond.left, 20);
  EXPECT_EQ(beyond.right, 30);
}

TEST(ImageCache, ClearForgetsEntriesButKeepsHandedOutPointersUsable) {
  SkinFolder skin;
  skin.Write("a.png", 8, 8, 0xFF0000FF);
  ImageCache cache;
  cache.SetFolder(skin.Path());
  ImgResInfo* before = cache.Add("a.png", 1);
  ASSERT_NE(before, nullptr);
  cache.Clear();
  EXPECT_EQ(cache.Size(), 0u);
  EXPECT_EQ(cache.Find("a.png"), nullptr);
  // A control still holding the old entry can draw with it.
  EXPECT_EQ(before->image.Pixel(3, 3), 0xFF0000FFu);
  ImgResInfo* after = cache.Add("a.png", 1);
  ASSERT_NE(after, nullptr);
  EXPECT_EQ(cache.LoadCount(), 2);
}

TEST(ImageCache, ConcurrentRequestsShareOneEntry) {
  SkinFolder skin;
  skin.Write("shared.png", 16, 16, 0xFF808080);
  ImageCache cache;
  cache.SetFolder(skin.Path());
  std::vector<ImgResInfo*> seen(8, nullptr);
  std::vector<std::thread> threads;
  for (int i = 0; i < 8; ++i) {
    threads.emplace_back([&, i] { seen[i] = cache.Add("shared.png", 2); });
  }
  for (auto& t : threads) t.join();
  for (ImgResInfo* p : seen) EXPECT_EQ(p, seen[0]);
  EXPECT_EQ(cache.LoadCount(), 1);
}

TEST(ImageCache, BuiltInScrollBarPicturesComeFromTheLibrary) {
  ImageCache cache;
  ImgResInfo* h = cache.Add(101, "PNG", 1);
  ImgResInfo* v = cache.Add(102, "PNG", 1);
  ASSERT_NE(h, nullptr);
  ASSERT_NE(v, nullptr);
  EXPECT_EQ(h->image.Width(), 22);
  EXPECT_EQ(h->image.Height(), 20);
  EXPECT_EQ(v->image.Width(), 12);
  EXPECT_EQ(v->image.Height(), 72);
  EXPECT_EQ(cache.Add(101, "PNG", 1), h);
  EXPECT_EQ(cache.Add(103, "PNG", 1), nullptr);
  EXPECT_EQ(cache.Add(101, "ttf", 1), nullptr);
}

TEST(PaintManagerImages, AddImgResInfoUsesTheManagersCache) {
  SkinFolder skin;
  skin.Write("img_edit.png", 40, 30, 0xFF333333);
  PaintManager pm;
  pm.GetImageCache().SetFolder(skin.Path());
  ImgResInfo* a = pm.AddImgResInfo("img_edit.png", 4);
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(pm.AddImgResInfo("img_edit.png", 4), a);
  EXPECT_EQ(a->width, 10);
  EXPECT_EQ(pm.AddImgResInfo("missing.png", 4), nullptr);
  EXPECT_EQ(pm.AddImgResInfo(nullptr, 1), nullptr);
  EXPECT_NE(pm.AddImgResInfo(102u, "PNG", 6), nullptr);
  pm.ClearImgResInfo();
  EXPECT_EQ(pm.GetImageCache().Size(), 0u);
}

TEST(PaintManagerImages, AControlDrawsWithoutItsMissingImage) {
  SkinFolder skin;
  skin.Write("img_ok.png", 8, 4, 0xFF00AA00);  // two 4 × 4 states
  PaintManager pm;
  pm.GetImageCache().SetFolder(skin.Path());
  ImageProbe* missing = static_cast<ImageProbe*>(pm.AddControl(new ImageProbe(nullptr, CRect(0, 0, 10, 10))));
  ImageProbe* present = static_cast<ImageProbe*>(pm.AddControl(new ImageProbe(nullptr, CRect(10, 0, 20, 10))));
  missing->SetImage("img_missing.png", 2);
  present->SetImage("img_ok.png", 2);
  Surface surface(20, 10);
  {
    Painter painter(surface);
    pm.Render(painter, CRect(0, 0, 20, 10), CRect(0, 0, 20, 10));
  }
  EXPECT_EQ(missing->draws, 1);
  EXPECT_EQ(surface.Pixel(5, 5), 0xFF202020u);
  EXPECT_EQ(surface.Pixel(15, 5), 0xFF00AA00u);
  EXPECT_EQ(missing->GetImageSize().cx, 0);
  EXPECT_EQ(present->GetImageSize().cx, 4);
  EXPECT_EQ(pm.GetImageCache().Size(), 1u);
}

TEST(TempFonts, TheLibraryFontResourceIsRegisteredOnce) {
  std::vector<std::uint8_t> bytes;
  ASSERT_TRUE(MRender::FindResource(106, "ttf", &bytes));
  EXPECT_GT(bytes.size(), 10000u);
  TempFonts fonts;
  const TempFontFamily* family = fonts.Add("Open Sans Semibold", 106u);
  ASSERT_NE(family, nullptr);
  EXPECT_EQ(family->source, "#106/ttf");
  bool semibold = false;
  for (const auto& name : family->provided) semibold = semibold || name == "Open Sans Semibold";
  EXPECT_TRUE(semibold);
  EXPECT_EQ(fonts.Add("Open Sans Semibold", 106u), family);
  EXPECT_EQ(fonts.Find("Open Sans Semibold"), family);
  EXPECT_EQ(fonts.Find("Nope"), nullptr);
  EXPECT_TRUE(fonts.AddGDI(106));
  EXPECT_TRUE(fonts.HasGDI(106));
  EXPECT_FALSE(fonts.AddGDI(107));
  fonts.Clear();
  EXPECT_EQ(fonts.Find("Open Sans Semibold"), nullptr);
  EXPECT_EQ(fonts.Size(), 0u);
}

TEST(TempFonts, MissingOrBrokenFontFilesAreSkipped) {
  SkinFolder dir;
  {
    std::FILE* f = std::fopen((dir.Path() + "OpenSans-Light.ttf").c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fputs("not a font", f);
    std::fclose(f);
  }
  PaintManager pm;
  EXPECT_EQ(pm.AddTempFont("Open Sans Light", (dir.Path() + "OpenSans-Light.ttf").c_str()), nullptr);
  EXPECT_EQ(pm.AddTempFont("Nothing", (dir.Path() + "absent.ttf").c_str()), nullptr);
  EXPECT_EQ(pm.FindTempFont("Open Sans Light"), nullptr);
  // Only files that exist and are fonts count; the broken one is skipped.
  EXPECT_EQ(pm.RegisterFontFolder(dir.Path()), 0);
  // A real TrueType file: the library's own font resource written out.
  std::vector<std::uint8_t> bytes;
  ASSERT_TRUE(MRender::FindResource(106, "ttf", &bytes));
  std::FILE* f = std::fopen((dir.Path() + "OpenSans-Regular.ttf").c_str(), "wb");
  ASSERT_NE(f, nullptr);
  std::fwrite(bytes.data(), 1, bytes.size(), f);
  std::fclose(f);
  EXPECT_EQ(pm.RegisterFontFolder(dir.Path()), 1);
  EXPECT_NE(pm.FindTempFont("Open Sans"), nullptr);
}
