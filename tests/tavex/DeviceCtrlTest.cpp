#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include <unistd.h>

#include "StdControlsSupport.h"
#include "tavex/CDeviceCtrl.h"
#include "tavex/Codes.h"
#include "tavex/Painter.h"

using namespace TavexTest;
using Tavex::CDeviceCtrl;

namespace {
struct Fixture {
  RecordingParent parent;
  CDeviceCtrl devices{&parent, 40, CRect(10, 100, 270, 300), ""};
  Fixture() {
    devices.AddDevice("Keyboard A", 0x1A2C, 0x0101, 5, true);
    devices.AddDevice("Keyboard B", 0x1A2C, 0x0202, 210, true);
    devices.AddDevice("Hidden", 0x1A2C, 0x0303, 7, false);
  }
};
}  // namespace

TEST(CDeviceCtrl, ListedDevicesCountAsConnectedOnlyOnceTheirStateSaysSo) {
  Fixture f;
  EXPECT_EQ(f.devices.GetConnectCount(), 0);
  EXPECT_EQ(f.devices.GetCurDeviceType(), 0);
  EXPECT_TRUE(f.parent.repaints.empty());  // adding does not repaint
  f.devices.SetDeviceState(0x1A2C, 0x0202, 1);
  EXPECT_EQ(f.devices.GetConnectCount(), 1);
  EXPECT_EQ(f.devices.GetCurDeviceType(), 210);
  f.devices.SetDeviceState(0x1A2C, 0x0101, 1);
  EXPECT_EQ(f.devices.GetConnectCount(), 2);
  EXPECT_EQ(f.devices.GetCurDeviceType(), 5);
}

TEST(CDeviceCtrl, StateZeroKeepsTheCurrentEntryAndDropsTheRow) {
  Fixture f;
  f.devices.SetDeviceState(0x1A2C, 0x0101, 1);
  f.devices.SetDeviceState(0x1A2C, 0x0202, 1);
  EXPECT_EQ(f.devices.GetCurDevice(), 1);
  f.devices.SetDeviceState(0x1A2C, 0x0101, 0);
  EXPECT_EQ(f.devices.GetCurDevice(), 1);
  EXPECT_TRUE(f.devices.GetDeviceRect(0).IsRectEmpty());
  EXPECT_EQ(f.devices.GetConnectCount(), 1);
  // The last connected device going away leaves no device type.
  f.devices.SetDeviceState(0x1A2C, 0x0202, 2);
  EXPECT_EQ(f.devices.GetConnectCount(), 0);
  EXPECT_EQ(f.devices.GetCurDeviceType(), 0);
}

TEST(CDeviceCtrl, ConnectedRowsComeFirstAndAPressPicksTheDevice) {
  Fixture f;
  f.devices.SetDeviceState(0x1A2C, 0x0202, 1);
  // Entry 0 stays listed but absent (state 2): drawn after the connected one.
  EXPECT_EQ(f.devices.GetDeviceRect(1), CRect(10, 100, 270, 138));
  EXPECT_EQ(f.devices.GetDeviceRect(0), CRect(10, 143, 270, 181));
  EXPECT_TRUE(f.devices.GetDeviceRect(2).IsRectEmpty());
  f.devices.OnLButtonDown(1, CPoint(50, 150));
  ASSERT_EQ(f.parent.notes.size(), 1u);
  EXPECT_EQ(f.parent.notes[0].code, Tavex::Notify::Press);
  EXPECT_EQ(f.parent.notes[0].wParam, 0u);
  EXPECT_EQ(f.devices.GetCurDevice(), 0);
  // The gap between rows is no row.
  f.devices.OnLButtonDown(1, CPoint(50, 140));
  EXPECT_EQ(f.parent.notes.size(), 1u);
}

TEST(CDeviceCtrl, WithoutAConnectedDeviceNothingIsHit) {
  Fixture f;
  f.devices.OnLButtonDown(1, CPoint(50, 110));
  EXPECT_TRUE(f.parent.notes.empty());
  f.devices.ClearList();
  EXPECT_EQ(f.devices.GetDeviceCount(), 0);
}

TEST(CDeviceCtrl, AStateImageSetAgainIsDrawnFromTheNewFile) {
  const auto writePng = [](const char* name, ARGB colour) {
    const std::string path = (std::filesystem::temp_directory_path() /
                              (std::to_string(getpid()) + name)).string();
    Tavex::Surface s(40, 10);
    {
      Tavex::Painter p(s);
      p.Clear(colour);
    }
    EXPECT_TRUE(s.SavePNG(path));
    return path;
  };
  const std::string red = writePng("_device_red.png", 0xFFFF0000);
  const std::string blue = writePng("_device_blue.png", 0xFF0000FF);
  Fixture f;
  f.devices.SetDeviceState(0x1A2C, 0x0101, 1);
  const auto corner = [&] { return Render(f.devices, 280, 320).Pixel(12, 102); };
  f.devices.SetImage(red.c_str(), 1);
  EXPECT_EQ(corner(), 0xFFFF0000u);
  f.devices.SetImage(blue.c_str(), 1);
  EXPECT_EQ(corner(), 0xFF0000FFu);
  std::filesystem::remove(red);
  std::filesystem::remove(blue);
}
