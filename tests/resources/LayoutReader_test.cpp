// The skin generator's reading of layout files (picture name, size, key labels and rectangles).
#include "LayoutReader.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include <unistd.h>

namespace {

using skingen::ParseLayout;

const char* kLayout = R"(<?xml version="1.0" encoding="UTF-8"?>
<!-- <Keyboard image="comment.png"> is a comment -->
<device.info>
  <light default_mode="1"><info name="800" mode="1" attribute="1"/></light>
  <Keyboard xpos="1" ypos="2" width="300" height="120" image="pad.png">
    <KeyItems>
      <key code="34" name="&apos;" rect="10#20#30#40"/>
      <key code="35" name='A &amp; B' rect="50#20#30#40"/>
    </KeyItems>
  </Keyboard>
</device.info>)";

TEST(LayoutReader, ReadsPictureAndKeysWithEntitiesDecoded) {
  const auto layout = ParseLayout(kLayout);
  ASSERT_TRUE(layout);
  EXPECT_EQ(layout->image, "pad.png");
  EXPECT_EQ(layout->width, 300);
  EXPECT_EQ(layout->height, 120);
  ASSERT_EQ(layout->keys.size(), 2u);
  EXPECT_EQ(layout->keys[0].name, "'");
  EXPECT_EQ(layout->keys[0].x, 10);
  EXPECT_EQ(layout->keys[0].y, 20);
  EXPECT_EQ(layout->keys[0].w, 30);
  EXPECT_EQ(layout->keys[0].h, 40);
  EXPECT_EQ(layout->keys[1].name, "A & B");
}

TEST(LayoutReader, ReadsUtf16FilesWithAByteOrderMark) {
  const std::string utf8 = std::string(kLayout).replace(30, 5, "UTF-16");
  std::string utf16 = "\xFF\xFE";
  for (char c : utf8) {
    utf16 += c;
    utf16 += '\0';
  }
  const auto path = std::filesystem::temp_directory_path() / ("kw_layout_" + std::to_string(::getpid()) + ".xml");
  std::ofstream(path, std::ios::binary) << utf16;
  const auto layout = skingen::ReadLayoutFile(path.string());
  std::filesystem::remove(path);
  ASSERT_TRUE(layout);
  EXPECT_EQ(layout->image, "pad.png");
  EXPECT_EQ(layout->keys.size(), 2u);
}

TEST(LayoutReader, RejectsFilesWithoutAUsablePicture) {
  EXPECT_FALSE(ParseLayout(""));
  EXPECT_FALSE(ParseLayout("<other><Keyboard width=\"10\" height=\"10\" image=\"a.png\"/></other>"));
  EXPECT_FALSE(ParseLayout("<device.info><KeyItems/></device.info>"));
  EXPECT_FALSE(ParseLayout("<device.info><Keyboard width=\"10\" height=\"10\" image=\"a.png\">"));
  EXPECT_FALSE(skingen::ReadLayoutFile("/nonexistent/layout.xml"));
  EXPECT_FALSE(ParseLayout("<device.info><Keyboard width=\"0\" height=\"10\" image=\"a.png\"/></device.info>"));
  // A picture name must not leave the keyboard folder.
  EXPECT_FALSE(ParseLayout("<device.info><Keyboard width=\"9\" height=\"9\" image=\"../x.png\"/></device.info>"));
  EXPECT_FALSE(ParseLayout("<device.info><Keyboard width=\"9\" height=\"9\" image=\"a\\b.png\"/></device.info>"));
}

TEST(LayoutReader, SurvivesTruncatedAndGarbageInput) {
  const std::string text = kLayout;
  for (size_t cut = 0; cut < text.size(); cut += 7) (void)ParseLayout(text.substr(0, cut));
  (void)ParseLayout(std::string("<device.info><Keyboard image=\"x.png\" width=\"5\" height=\"5\"><key rect=\"1#2", 70));
  (void)ParseLayout("<<<>>>&&&;;;<device.info <key name=\"&#99999999;\" rect=\"#####\"/>");
  SUCCEED();
}

}  // namespace
