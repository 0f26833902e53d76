// The lighting page's data rules: default rows from a layout, which modes a device type lists,
// and the preview bytes of light frames.
#include <gtest/gtest.h>

#include <vector>

#include "features/LightingModes.h"
#include "store/ProfileStore.h"
#include "support/TempFolder.h"

namespace {

constexpr int32_t kProfile = 1;

class LightingModesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(folder.MakeFolder("db"));
    ASSERT_TRUE(store.OpenForDevice(folder.Slashed(), "Tarnwick_V3"));
  }
  void TearDown() override { store.Close(); }

  // A layout file whose device info holds `light` (the whole element, or nothing).
  LayoutFile Layout(const std::string& light) {
    const std::string text = "<?xml version=\"1.0\"?>\n<device.info><function value=\"69\"/>" +
                             light + "</device.info>\n";
    EXPECT_TRUE(folder.Write("layout.xml", text));
    LayoutFile layout;
    layout.LoadDeviceInfo(folder / "layout.xml", kProfile);
    return layout;
  }

  const TempFolder folder{"kwlight"};
  ProfileStore store;
};

const char* kThreeModes =
    "<light default_mode=\"2\" default_brightness=\"4\" default_speed=\"3\" brightness_max=\"4\" "
    "speed_max=\"3\"><info name=\"800\" mode=\"1\" attribute=\"1\"/>"
    "<info name=\"801\" mode=\"2\" attribute=\"3\"/><info name=\"807\" mode=\"3\" "
    "attribute=\"259\"/></light>";

TEST_F(LightingModesTest, AProfileWithoutRowsGetsOnePerModeWithTheLayoutDefaults) {
  const LayoutFile layout = Layout(kThreeModes);
  ASSERT_TRUE(lighting::EnsureDefaultRows(store, kProfile, layout));
  std::vector<LightRecord> rows;
  ASSERT_EQ(store.ListLightSettings(kProfile, rows), 3);
  for (std::size_t i = 0; i < rows.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(rows[i].mode, static_cast<int32_t>(i + 1));
    EXPECT_EQ(rows[i].brightness, 4);
    EXPECT_EQ(rows[i].speed, 3);
    EXPECT_EQ(rows[i].color_value, 0xFFFFFF);
    EXPECT_EQ(rows[i].colorful, 1);
    EXPECT_EQ(rows[i].status, rows[i].mode == 2 ? 1 : 0);
  }
  EXPECT_EQ(rows[2].config_func, 0x103);
  EXPECT_EQ(rows[0].name, "800");

  // Rows that exist are kept as the user left them.
  rows[0].brightness = 1;
  ASSERT_TRUE(store.UpdateLightSetting(kProfile, 1, rows[0]));
  ASSERT_TRUE(lighting::EnsureDefaultRows(store, kProfile, layout));
  LightRecord kept;
  ASSERT_TRUE(store.GetLightSetting(kProfile, 1, kept));
  EXPECT_EQ(kept.brightness, 1);
  EXPECT_EQ(store.CountLightSettings(kProfile), 3);
}

TEST_F(LightingModesTest, ADefaultModeOutsideTheTableMakesTheFirstModeActive) {
  std::string light = kThreeModes;
  light.replace(light.find("default_mode=\"2\""), 16, "default_mode=\"9\"");
  ASSERT_TRUE(lighting::EnsureDefaultRows(store, kProfile, Layout(light)));
  EXPECT_EQ(store.GetActiveLightMode(kProfile), 1);
}

TEST_F(LightingModesTest, AMissingOrEmptyLightElementWritesNothing) {
  EXPECT_FALSE(lighting::EnsureDefaultRows(store, kProfile, Layout("")));
  EXPECT_FALSE(lighting::EnsureDefaultRows(
      store, kProfile, Layout("<light default_mode=\"1\" default_brightness=\"4\"></light>")));
  EXPECT_EQ(store.CountLightSettings(kProfile), 0);
  EXPECT_TRUE(lighting::ListedModes(store, kProfile, 101).empty());
}

TEST_F(LightingModesTest, LightingOnlyModelsListOnlyModesWithOptionsUpToThree) {
  ASSERT_TRUE(lighting::EnsureDefaultRows(store, kProfile, Layout(kThreeModes)));
  const auto modesOf = [&](int32_t type) {
    std::vector<int32_t> modes;
    for (const LightRecord& r : lighting::ListedModes(store, kProfile, type)) modes.push_back(r.mode);
    return modes;
  };
  EXPECT_EQ(modesOf(101), (std::vector<int32_t>{1, 2, 3}));
  EXPECT_EQ(modesOf(199), (std::vector<int32_t>{1, 2, 3}));
  EXPECT_EQ(modesOf(200), (std::vector<int32_t>{1, 2}));
}

TEST_F(LightingModesTest, PreviewBytesAreTheLowBytesOfEveryFrameRowInOrder) {
  // Two keys, three frames.
  std::vector<FrameRecord> frames;
  for (int32_t rgb : {0x123401, 0x02, 0xFFFF03, 0x04, 0x0105, 0xAB06}) {
    FrameRecord f;
    f.rgb_value = rgb;
    frames.push_back(f);
  }
  EXPECT_EQ(lighting::PreviewBytes(frames),
            (std::vector<unsigned char>{1, 2, 3, 4, 5, 6}));
  EXPECT_TRUE(lighting::PreviewBytes({}).empty());
}

}  // namespace
