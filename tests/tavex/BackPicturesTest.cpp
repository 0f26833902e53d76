// Back pictures of tips, combo popups and menus; scroll bar pictures; one image per name.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "NativeTestSupport.h"
// Both helpers define the display check the same way.
#undef TAVEX_REQUIRE_DISPLAY
#include "TavexTestSupport.h"
#include "tavex/Buttons.h"
#include "tavex/CComboBoxList.h"
#include "tavex/Codes.h"
#include "tavex/Edits.h"
#include "tavex/KeyboardTips.h"
#include "tavex/MComboBox.h"
#include "tavex/MDialog.h"
#include "tavex/MPanel.h"
#include "tavex/MRender.h"
#include "tavex/MenuWnd.h"
#include "tavex/PaintManager.h"

using namespace TavexTest;
using namespace Tavex;
namespace NT = Tavex::NativeTest;

namespace {

using ColourAt = std::function<std::uint32_t(int x, int y)>;

std::string TempName(const std::string& stem) {
  static int counter = 0;
  return (std::filesystem::temp_directory_path() /
          (stem + "-" + std::to_string(getpid()) + "-" + std::to_string(++counter) + ".png"))
      .string();
}

// A w × h picture of opaque colours, written as PNG to `path`.
void WritePng(const std::string& path, int w, int h, const ColourAt& colour) {
  Surface s(w, h);
  for (int y = 0; y < h; ++y) {
    auto* row = reinterpret_cast<std::uint32_t*>(s.Data() + static_cast<std::size_t>(y) * s.Stride());
    for (int x = 0; x < w; ++x) row[x] = colour(x, y);
  }
  ASSERT_TRUE(s.SavePNG(path));
}

// Registers the picture as resource (id, "PNG") of the library.
void RegisterPng(unsigned id, int w, int h, const ColourAt& colour) {
  const std::string path = TempName("tavex-res");
  WritePng(path, w, h, colour);
  std::ifstream in(path, std::ios::binary);
  std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                  std::istreambuf_iterator<char>());
  std::filesystem::remove(path);
  MRender::RegisterResource(id, "PNG", std::move(bytes));
}

constexpr std::uint32_t kA = 0xFFFF0000;       // left half of each 10 × 10 corner
constexpr std::uint32_t kB = 0xFFFFFF00;       // right half of each corner
constexpr std::uint32_t kEdge = 0xFF00FF00;
constexpr std::uint32_t kCentre = 0xFF0000FF;

// 30 × 30: corners of 10 pixels split in two colours, so that any scaling of a corner shows.
std::uint32_t NinePart(int x, int y) {
  const bool cornerX = x < 10 || x >= 20;
  const bool cornerY = y < 10 || y >= 20;
  if (cornerX && cornerY) return x % 10 < 5 ? kA : kB;
  return cornerX || cornerY ? kEdge : kCentre;
}

constexpr unsigned kNineRes = 7101;
constexpr unsigned kBarVRes = 7102;
constexpr unsigned kBarHRes = 7103;
// Cells of the custom bar pictures, each one solid colour.
constexpr std::uint32_t kVCells[6] = {0xFF800000, 0xFF008000, 0xFF000080,
                                      0xFF808000, 0xFF008080, 0xFF800080};
constexpr std::uint32_t kHCells[4] = {0xFF400000, 0xFF004000, 0xFF404000, 0xFF000040};

class Resources : public ::testing::Environment {
 public:
  void SetUp() override {
    RegisterPng(kNineRes, 30, 30, NinePart);
    RegisterPng(kBarVRes, 12, 72, [](int, int y) { return kVCells[y / 12]; });
    // Left arrow, right arrow / thumb, track.
    RegisterPng(kBarHRes, 22, 20, [](int x, int y) { return kHCells[(y / 10) * 2 + x / 11]; });
  }
};
const auto* const g_resources = ::testing::AddGlobalTestEnvironment(new Resources);

// The unscaled corners of NinePart drawn as a frame over a w × h area at (0, 0).
void ExpectUnscaledCorners(const Surface& s, int w, int h) {
  EXPECT_EQ(s.Pixel(2, 2), kA);
  EXPECT_EQ(s.Pixel(7, 2), kB);
  EXPECT_EQ(s.Pixel(w - 8, h - 3), kA);
  EXPECT_EQ(s.Pixel(w - 3, h - 3), kB);
  EXPECT_EQ(s.Pixel(w / 2, 2), kEdge);
}

}  // namespace

TEST(KeyboardTips, NinePartBackPictureKeepsItsCornersAndReplacesTheColours) {
  KeyboardTips tips;
  ASSERT_TRUE(tips.LoadBKImage(kNineRes, "PNG"));
  tips.SetBackMode(BackModeFrame, 10);
  Surface s(KeyboardTips::kWidth, KeyboardTips::kHeight);
  tips.Compose(s);
  ExpectUnscaledCorners(s, KeyboardTips::kWidth, KeyboardTips::kHeight);
  EXPECT_EQ(s.Pixel(95, 50), kCentre);
}

TEST(KeyboardTips, NaturalSizeBackPictureSitsAtTheOriginAndNothingElseIsFilled) {
  KeyboardTips tips;
  ASSERT_TRUE(tips.LoadBKImage(kNineRes, "PNG"));
  Surface s(KeyboardTips::kWidth, KeyboardTips::kHeight);
  tips.Compose(s);
  EXPECT_EQ(s.Pixel(7, 2), kB);
  EXPECT_EQ(s.Pixel(27, 27), kB);
  EXPECT_EQ(s.Pixel(60, 60), 0u);
}

TEST(KeyboardTips, WithoutAPictureDrawsItsColoursAndAFailedLoadKeepsThePicture) {
  KeyboardTips tips;
  Surface plain(KeyboardTips::kWidth, KeyboardTips::kHeight);
  tips.Compose(plain);
  EXPECT_EQ(plain.Pixel(0, 0), 0xFF505050u);
  EXPECT_EQ(plain.Pixel(5, 5), 0xFF141414u);

  ASSERT_TRUE(tips.LoadBKImage(kNineRes, "PNG"));
  EXPECT_FALSE(tips.LoadBKImage("no-such-picture.png"));
  EXPECT_FALSE(tips.LoadBKImage(7999, "PNG"));
  EXPECT_TRUE(tips.HasBackground());
}

namespace {

class Host : public MDialog {
 public:
  int OnMessage(unsigned, unsigned, unsigned, long) override { return 1; }
};

}  // namespace

TEST(MComboBox, PopupDrawsItsNinePartBackPictureAndItsOwnScrollBarPicture) {
  TAVEX_REQUIRE_DISPLAY();
  Host host;
  ASSERT_NE(host.Create(nullptr, "host", 0x96000000, 0, CRect(100, 100, 500, 400)), nullptr);
  auto* combo = host.CreateControlAs<MComboBox>("MComboBox", 9, CRect(20, 20, 180, 50), "", 1, 1);
  for (int i = 0; i < 8; ++i) combo->AddItem(("entry " + std::to_string(i)).c_str(), i);
  combo->SetBackImage(kNineRes);
  combo->SetShowModeMID(10, 10, 10, 10);
  combo->SetScrollResID(kBarVRes, 0);
  ASSERT_TRUE(combo->OpenList());
  MDialog* popup = combo->GetPopup();
  ASSERT_NE(popup, nullptr);
  EXPECT_EQ(popup->GetPaintManager().GetScrollVID(), kBarVRes);
  EXPECT_EQ(popup->GetPaintManager().GetScrollHID(), 101u);

  const int w = 160, h = 162;
  Surface s(w, h);
  popup->GetPaintManager().Compose(s, CRect(0, 0, w, h));
  ExpectUnscaledCorners(s, w, h);

  // Eight rows in a five-row list: the list's bar shows, drawn from the custom picture.
  auto* list = static_cast<CComboBoxList*>(popup->GetControl(1));
  ASSERT_NE(list, nullptr);
  MScroll* bar = list->GetVScroll();
  ASSERT_TRUE(bar->IsVisible());
  const CRect up = bar->GetLowArrowRect();
  const CRect thumb = bar->GetThumbRect();
  EXPECT_EQ(s.Pixel(up.CenterPoint().x, up.CenterPoint().y), kVCells[0]);
  EXPECT_EQ(s.Pixel(thumb.CenterPoint().x, thumb.CenterPoint().y), kVCells[3]);
  EXPECT_EQ(s.Pixel(thumb.CenterPoint().x, thumb.bottom + 3), kVCells[2]);
  combo->CloseList();
  host.DestroyWindow();
  NT::Pump(20);
}

TEST(MComboBox, PopupWithoutBorderWidthsDrawsThePictureAtNaturalSize) {
  TAVEX_REQUIRE_DISPLAY();
  Host host;
  ASSERT_NE(host.Create(nullptr, "host", 0x96000000, 0, CRect(100, 100, 500, 400)), nullptr);
  auto* combo = host.CreateControlAs<MComboBox>("MComboBox", 9, CRect(20, 20, 180, 50), "", 1, 1);
  combo->AddItem("one", 1);
  combo->SetBackImage(kNineRes);
  ASSERT_TRUE(combo->OpenList());
  PaintManager& pm = combo->GetPopup()->GetPaintManager();
  EXPECT_EQ(pm.GetBackMode(), BackModeNormal);
  Surface s(160, 42);
  pm.Compose(s, CRect(0, 0, 160, 42));
  EXPECT_EQ(s.Pixel(7, 2), kB);
  // Beyond the picture the plain border colour is not drawn either: the picture replaces it.
  EXPECT_NE(s.Pixel(158, 40), 0xFE606060u);
  combo->CloseList();
  host.DestroyWindow();
  NT::Pump(20);
}

TEST(MenuWnd, BackPictureScrollIdsAndTranslucencySetBeforeCreateHoldInTheWindow) {
  TAVEX_REQUIRE_DISPLAY();
  HWND owner = NT::ShownWindow(200, 200, 300, 200);
  ASSERT_NE(owner, nullptr);
  auto* menu = new MenuWnd();
  menu->AddMenu("Reset", 606);
  menu->SetScrollResID(kBarVRes, kBarHRes);
  menu->SetLayeredWindow(1);
  HWND hwnd =
      menu->Create(owner, CPoint(250, 250), Tavex::WM_KEYMENU, kNineRes, 10, 200, BackModeFrame);
  ASSERT_NE(hwnd, nullptr);
  PaintManager& pm = menu->GetPaintManager();
  EXPECT_EQ(pm.GetScrollVID(), kBarVRes);
  EXPECT_EQ(pm.GetScrollHID(), kBarHRes);
  EXPECT_TRUE(pm.IsLayered());
  EXPECT_TRUE(menu->GetExStyle() & WS_EX_LAYERED);
  const int w = menu->GetMenuWidth(), h = menu->GetMenuHeight();
  ASSERT_EQ(w, 200);
  Surface s(w, h);
  pm.Compose(s, CRect(0, 0, w, h));
  ExpectUnscaledCorners(s, w, h);

  menu->SetupBackTranslucent(0x00FF00, 255);
  COLORREF key = 0;
  BYTE alpha = 0;
  DWORD flags = 0;
  ASSERT_TRUE(Native::GetLayeredWindowAttributes(hwnd, &key, &alpha, &flags));
  EXPECT_EQ(key, 0x00FF00u);
  EXPECT_TRUE(flags & LWA_COLORKEY);

  menu->CloseWindow();
  ASSERT_TRUE(NT::PumpUntil([&] { return !Native::IsWindow(hwnd); }));
  Native::DestroyWindow(owner);
  NT::Pump(20);
}

namespace {

// A panel of 100 × 100 in a window-less manager, scrolled one way.
struct ScrolledPanel {
  explicit ScrolledPanel(bool vertical) {
    panel = static_cast<MPanel*>(pm.AddControl(new MPanel(&parent, 5, CRect(0, 0, 100, 100))));
    if (vertical) {
      panel->SetVirtualHeight(400);
    } else {
      panel->SetVirtualWidth(400);
    }
    bar = vertical ? static_cast<MScroll*>(panel->GetVScroll())
                   : static_cast<MScroll*>(panel->GetHScroll());
  }
  Surface Render() {
    Surface s(100, 100);
    Painter p(s);
    pm.Render(p, CRect(0, 0, 100, 100), CRect(0, 0, 100, 100));
    return s;
  }
  std::uint32_t At(const Surface& s, CPoint pt) const { return s.Pixel(pt.x, pt.y); }
  CPoint ThumbCentre() const { return bar->GetThumbRect().CenterPoint(); }
  CPoint TrackPoint() const {
    const CRect t = bar->GetThumbRect();
    return bar->IsVertical() ? CPoint(t.CenterPoint().x, t.bottom + 20)
                             : CPoint(t.right + 20, t.CenterPoint().y);
  }

  RecordingParent parent;
  PaintManager pm;
  MPanel* panel = nullptr;
  MScroll* bar = nullptr;
};

}  // namespace

TEST(MScroll, VerticalBarDrawsTheBuiltInPictureInEveryState) {
  ScrolledPanel sp(true);
  ASSERT_TRUE(sp.bar->IsVisible());
  Surface normal = sp.Render();
  EXPECT_EQ(sp.At(normal, sp.TrackPoint()), 0xFF1A1A1Au);
  EXPECT_EQ(sp.At(normal, sp.ThumbCentre()), 0xFF5A5A5Au);

  sp.bar->OnControlMouseMove(0, sp.ThumbCentre());
  EXPECT_EQ(sp.At(sp.Render(), sp.ThumbCentre()), 0xFF7A7A7Au);
  sp.bar->OnControlLButtonDown(MK_LBUTTON, sp.ThumbCentre());
  EXPECT_EQ(sp.At(sp.Render(), sp.ThumbCentre()), 0xFFCA5100u);
  sp.bar->OnControlLButtonUp(0, sp.ThumbCentre());

  sp.bar->SetEnabled(0);
  Surface disabled = sp.Render();
  // Faded over the window's background: darker than the enabled thumb, but still drawn.
  const std::uint32_t thumb = sp.At(disabled, sp.ThumbCentre());
  EXPECT_LT(thumb & 0xFF, 0x5Au);
  EXPECT_GT(thumb & 0xFF, 0x05u);
}

TEST(MScroll, HorizontalBarDrawsTheBuiltInPictureAndTintsItsSingleThumb) {
  ScrolledPanel sp(false);
  ASSERT_TRUE(sp.bar->IsVisible());
  Surface normal = sp.Render();
  EXPECT_EQ(sp.At(normal, sp.TrackPoint()), 0xFF1A1A1Au);
  EXPECT_EQ(sp.At(normal, sp.ThumbCentre()), 0xFF5A5A5Au);
  sp.bar->OnControlMouseMove(0, sp.ThumbCentre());
  const std::uint32_t hover = sp.At(sp.Render(), sp.ThumbCentre());
  EXPECT_GT(hover & 0xFF, 0x5Au);
  sp.bar->OnControlLButtonDown(MK_LBUTTON, sp.ThumbCentre());
  const std::uint32_t pressed = sp.At(sp.Render(), sp.ThumbCentre());
  // Most of the way to the accent colour 0xCA5100.
  EXPECT_GT((pressed >> 16) & 0xFF, 0xB0u);
  EXPECT_LT(pressed & 0xFF, 0x20u);
}

TEST(MScroll, BarsFollowTheWindowsScrollResourcesAndFallBackToShapesWithoutThem) {
  ScrolledPanel v(true);
  v.pm.SetScrollResID(kBarVRes, kBarHRes);
  Surface s = v.Render();
  EXPECT_EQ(v.At(s, v.TrackPoint()), kVCells[2]);
  EXPECT_EQ(v.At(s, v.ThumbCentre()), kVCells[3]);
  const CRect down = v.bar->GetHighArrowRect();
  EXPECT_EQ(s.Pixel(down.CenterPoint().x, down.CenterPoint().y), kVCells[1]);

  ScrolledPanel h(false);
  h.pm.SetScrollResID(kBarVRes, kBarHRes);
  Surface t = h.Render();
  EXPECT_EQ(h.At(t, h.TrackPoint()), kHCells[3]);
  EXPECT_EQ(h.At(t, h.ThumbCentre()), kHCells[2]);
  const CRect left = h.bar->GetLowArrowRect();
  EXPECT_EQ(t.Pixel(left.CenterPoint().x, left.CenterPoint().y), kHCells[0]);

  // An id without a picture: the bar still draws (plain shapes), not the old picture.
  v.pm.SetScrollResID(7998, 7997);
  Surface plain = v.Render();
  EXPECT_NE(v.At(plain, v.TrackPoint()), kVCells[2]);
  EXPECT_NE(v.At(plain, v.TrackPoint()), 0u);
}

TEST(PaintManagerImages, ControlsNamingOnePictureShareOneCachedLoad) {
  const std::string folder = std::filesystem::path(TempName("tavex-skin")).replace_extension("").string() + "/";
  std::filesystem::create_directories(folder);
  WritePng(folder + "btn_same.png", 160, 30, [](int x, int) { return x < 40 ? 0xFF336699u : 0xFF000000u; });
  {
    RecordingParent parent;
    PaintManager pm;
    pm.GetImageCache().SetFolder(folder);
    auto* a = static_cast<MButton*>(pm.AddControl(new MButton(&parent, 1, CRect(0, 0, 40, 30), "")));
    auto* b = static_cast<MButton*>(pm.AddControl(new MButton(&parent, 2, CRect(50, 0, 90, 30), "")));
    auto* e = static_cast<MEdit*>(pm.AddControl(new MEdit(&parent, 3, CRect(0, 40, 40, 70), "")));
    a->SetImage("btn_same.png", 4);
    b->SetImage("btn_same.png", 4);
    e->SetImage("btn_same.png", 4);
    Surface s(100, 80);
    {
      Painter p(s);
      pm.Render(p, CRect(0, 0, 100, 80), CRect(0, 0, 100, 80));
    }
    EXPECT_EQ(s.Pixel(20, 15), 0xFF336699u);
    EXPECT_EQ(s.Pixel(70, 15), 0xFF336699u);
    EXPECT_EQ(pm.GetImageCache().LoadCount(), 1);
    EXPECT_EQ(pm.GetImageCache().Size(), 1u);
    // The shared entry knows the controls' four states.
    EXPECT_EQ(pm.AddImgResInfo("btn_same.png", 4)->width, 40);
    // Cleared entries are loaded again on the next paint, once.
    pm.ClearImgResInfo();
    {
      Painter p(s);
      pm.Render(p, CRect(0, 0, 100, 80), CRect(0, 0, 100, 80));
    }
    EXPECT_EQ(pm.GetImageCache().LoadCount(), 2);
  }
  std::filesystem::remove_all(folder);
}

TEST(PaintManagerBack, NewBorderWidthsRedrawTheBackground) {
  PaintManager pm;
  ASSERT_TRUE(pm.LoadBKImage(kNineRes, "PNG"));
  pm.SetBackMode(BackModeFrame, 10);
  Surface s(100, 60);
  pm.Compose(s, CRect(0, 0, 100, 60));
  ExpectUnscaledCorners(s, 100, 60);
  EXPECT_EQ(s.Pixel(12, 2), kEdge);
  // Left and right borders of 5: the top edge now starts with the corners' right halves.
  pm.SetBackModeMID(5, 10, 5, 10);
  EXPECT_EQ(pm.GetBackBorders(), CRect(5, 10, 5, 10));
  Surface t(100, 60);
  pm.Compose(t, CRect(0, 0, 100, 60));
  EXPECT_EQ(t.Pixel(2, 2), kA);
  EXPECT_EQ(t.Pixel(12, 2), kB);
  EXPECT_EQ(t.Pixel(97, 57), kB);
}
