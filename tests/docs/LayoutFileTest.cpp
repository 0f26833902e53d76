#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <string>

#include "docs/LayoutFile.h"
#include "docs/LayoutViews.h"
#include "support/TempFolder.h"
#include "tavex/KeyboardCtrl.h"

using Tavex::CRect;
using Tavex::KeyboardCtrl;

namespace {

std::string Doc(const std::string& body, const std::string& root = "device.info") {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<" + root + ">" + body + "</" + root + ">";
}

const char* const kKeyboard =
    "<Keyboard xpos=\"130\" ypos=\"110\" width=\"1000\" height=\"350\" image=\"k87.png\">"
    "<KeyItems>"
    "<key code=\"1e\" name=\"1\" desc=\"One\" key_index=\"3\" light_index=\"4\" rect=\"10#20#30#40\"/>"
    "<key code=\"2a\" name=\"Bk\" desc=\"Backspace\" key_index=\"0\" light_index=\"9\" rect=\"50#20#30#40\"/>"
    "<skip/>"
    "<key code=\"1e\" name=\"1b\" desc=\"One again\" key_index=\"7\" light_index=\"8\" rect=\"x#1\"/>"
    "</KeyItems></Keyboard>";

struct Views {
  KeyboardCtrl first{nullptr, 1, CRect()};
  KeyboardCtrl second{nullptr, 2, CRect()};
  KeyboardCtrl third{nullptr, 3, CRect()};
  std::array<KeyboardCtrl*, 3> all{&first, &second, &third};
  void Apply(const LayoutFile& f) { ApplyLayout<KeyboardCtrl, CRect>(f, all); }
};

std::string ProgramFolder() {
  return std::filesystem::canonical("/proc/self/exe").parent_path().string() + "/";
}

}  // namespace

TEST(LayoutFile, KeysGetTheirRectangleCodeAndLookupEntries) {
  TempFolder dir;
  dir.Write("layouts/m.xml", Doc(std::string("<function value=\"5\"/>") + kKeyboard));
  LayoutFile f;
  ASSERT_TRUE(f.LoadLayout(LayoutFile::PathFor(dir.Path() + "/", "m")));
  ASSERT_EQ(f.Keys().size(), 3u);
  const LayoutKey& k = f.Keys()[0];
  EXPECT_EQ(k.code, 30u);
  EXPECT_EQ(k.left, 10);
  EXPECT_EQ(k.top, 20);
  EXPECT_EQ(k.right, 40);
  EXPECT_EQ(k.bottom, 60);
  // key_index 0 keeps the key out of both tables; the later 1e overwrites the earlier one.
  EXPECT_EQ(f.KeyIndexMap().size(), 1u);
  EXPECT_EQ(f.KeyIndexMap().at(30), 7);
  EXPECT_EQ(f.LightIndexMap().at(30), 8);
  EXPECT_EQ(f.KeyIndexMap().count(0x2a), 0u);
  // A broken rect reads as zeros where it has no number.
  EXPECT_EQ(f.Keys()[2].left, 0);
  EXPECT_EQ(f.Keys()[2].top, 1);
  EXPECT_EQ(f.Keys()[2].right, 0);

  Views v;
  f.LoadDeviceInfo(LayoutFile::PathFor(dir.Path() + "/", "m"), 1);
  EXPECT_EQ(f.ViewBits(), 5);
  v.Apply(f);
  ASSERT_EQ(v.first.GetKeyCount(), 3);  // key_index 0 is still a key of the view
  EXPECT_EQ(v.second.GetKeyCount(), 3);
  EXPECT_EQ(v.third.GetKeyCount(), 0);  // bit 0x40 not set
  EXPECT_EQ(v.first.GetRect(), CRect(130, 110, 1130, 460));
  EXPECT_EQ(v.first.GetPictureSize().cx, 1000);
  EXPECT_EQ(v.first.GetKeyItems()[0]->rect, CRect(10, 20, 40, 60));
  EXPECT_EQ(v.first.GetKeyItems()[1]->keyValue, 0x2au);
  EXPECT_EQ(v.first.GetKeyItems()[1]->description, "Backspace");
}

TEST(LayoutFile, AWrongRootOrAMissingFileLeavesTheViewsEmpty) {
  TempFolder dir;
  dir.Write("wrong.xml", Doc(kKeyboard, "device"));
  dir.Write("broken.xml", Doc(kKeyboard).substr(0, 120));
  Views v;
  LayoutFile f;
  v.first.AddKeyItem("old", "old", 1, CRect(0, 0, 5, 5), "");
  for (const char* name : {"wrong.xml", "broken.xml", "absent.xml"}) {
    EXPECT_FALSE(f.LoadLayout(dir / name)) << name;
    EXPECT_TRUE(f.Keys().empty()) << name;
    EXPECT_TRUE(f.KeyIndexMap().empty()) << name;
    v.Apply(f);
    EXPECT_EQ(v.first.GetKeyCount(), 0) << name;
  }
  EXPECT_FALSE(f.LoadDeviceInfo(dir / "wrong.xml", 1));
  EXPECT_EQ(f.ViewBits(), LayoutFile::kDefaultViewBits);
}

TEST(LayoutFile, ASecondLayoutReplacesTheKeysOfTheFirst) {
  TempFolder dir;
  dir.Write("a.xml", Doc(kKeyboard));
  dir.Write("b.xml", Doc("<Keyboard width=\"10\" height=\"10\" image=\"b.png\"><KeyItems>"
                         "<key code=\"4\" name=\"A\" key_index=\"1\" light_index=\"1\" rect=\"0#0#5#5\"/>"
                         "</KeyItems></Keyboard>"));
  Views v;
  LayoutFile f;
  ASSERT_TRUE(f.LoadLayout(dir / "a.xml"));
  v.Apply(f);
  ASSERT_TRUE(f.LoadLayout(dir / "b.xml"));
  v.Apply(f);
  ASSERT_EQ(v.first.GetKeyCount(), 1);
  EXPECT_EQ(v.first.GetKeyItems()[0]->keyValue, 4u);
  EXPECT_EQ(f.KeyIndexMap().size(), 1u);
  EXPECT_EQ(f.KeyIndexMap().count(30), 0u);
  // The default bits select the third view, whose keys end up white.
  EXPECT_EQ(v.third.GetKeyColor(4), 0x00FFFFFFu);
}

TEST(LayoutFile, DeviceInfoReadsTheModeTableAndSliderLimits) {
  TempFolder dir;
  dir.Write("d.xml",
            Doc("<function value=\"69\"/><firmware url=\"https://fw.invalid/k\"/>"
                "<light rgb_keyboard=\"1\" show_sleeptime=\"0\" default_mode=\"4\" "
                "default_brightness=\"3\" default_speed=\"2\" brightness_max=\"4\" speed_max=\"x\">"
                "<info name=\"Static\" mode=\"1\" attribute=\"1\"/><other/>"
                "<info name=\"Custom\" mode=\"8\" attribute=\"257\"/></light>"));
  LayoutFile f;
  ASSERT_TRUE(f.LoadDeviceInfo(dir / "d.xml", 7));
  EXPECT_EQ(f.ViewBits(), 69);
  EXPECT_EQ(f.FirmwareUrl(), "https://fw.invalid/k");
  EXPECT_EQ(f.Light().brightnessMax, 4);
  EXPECT_EQ(f.Light().speedMax, 0);
  ASSERT_EQ(f.Modes().size(), 2u);
  const LayoutLightMode& m = f.Modes()[1];
  EXPECT_EQ(m.name, "Custom");
  EXPECT_EQ(m.mode, 8);
  EXPECT_EQ(m.config_func, 257);
  EXPECT_EQ(m.profile, 7);
  EXPECT_EQ(m.brightness, 3);
  EXPECT_EQ(m.speed, 2);
  EXPECT_EQ(m.colorful, 1);
  EXPECT_EQ(m.color_value, 0x0051C9);
}

TEST(LayoutFile, LightBeforeFunctionYieldsNoModesAndKeepsTheLimits) {
  TempFolder dir;
  dir.Write("good.xml", Doc("<light brightness_max=\"4\" speed_max=\"3\"><info name=\"a\"/></light>"));
  dir.Write("late.xml", Doc("<light brightness_max=\"9\" speed_max=\"9\"><info name=\"b\"/></light>"
                            "<function value=\"1\"/>"));
  LayoutFile fresh;
  EXPECT_FALSE(fresh.LoadDeviceInfo(dir / "late.xml", 1));
  EXPECT_TRUE(fresh.Modes().empty());
  EXPECT_FALSE(fresh.HasLight());
  EXPECT_EQ(fresh.ViewBits(), 1);

  LayoutFile f;
  ASSERT_TRUE(f.LoadDeviceInfo(dir / "good.xml", 1));
  EXPECT_FALSE(f.LoadDeviceInfo(dir / "late.xml", 1));
  EXPECT_EQ(f.Light().brightnessMax, 4);
  EXPECT_EQ(f.Light().speedMax, 3);
  ASSERT_EQ(f.Modes().size(), 1u);
  EXPECT_EQ(f.Modes()[0].name, "a");
}

TEST(LayoutFile, RectanglesSaturateInsteadOfWrapping) {
  int32_t l, t, r, b;
  LayoutFile::ParseRect("2147483600#-5#100#7", &l, &t, &r, &b);
  EXPECT_EQ(l, 2147483600);
  EXPECT_EQ(r, INT32_MAX);
  EXPECT_EQ(t, -5);
  EXPECT_EQ(b, 2);
  LayoutFile::ParseRect("", &l, &t, &r, &b);
  EXPECT_EQ(l | t | r | b, 0);
}

TEST(LayoutFile, TheShippedLayoutHas87KeysInLightingOrder) {
  LayoutFile f;
  const std::string path = LayoutFile::PathFor(ProgramFolder(), "tarnwick_k87");
  ASSERT_TRUE(f.LoadDeviceInfo(path, 1)) << path;
  ASSERT_TRUE(f.LoadLayout(path));
  EXPECT_EQ(f.Keys().size(), 87u);
  EXPECT_EQ(f.KeyIndexMap().size(), 87u);
  EXPECT_EQ(f.LightIndexMap().at(0x29), 1);  // Esc lights first
  EXPECT_EQ(f.Modes().size(), 9u);
  for (size_t i = 0; i < f.Keys().size(); ++i) {
    EXPECT_EQ(f.Keys()[i].lightIndex, static_cast<int32_t>(i + 1));
    EXPECT_LE(f.Keys()[i].right, f.Width());
    EXPECT_LE(f.Keys()[i].bottom, f.Height());
  }
}
