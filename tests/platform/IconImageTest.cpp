#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include <algorithm>
#include <fstream>
#include <iterator>

#include "support/ScopedEnv.h"
#include "support/TempFolder.h"
#include "platform/IconImage.h"

namespace {

using platform::IconImage;

TEST(IconImage, TheShippedIconLoadsAndScalesToFitKeepingItsShape) {
  const auto icon = IconImage::Load("Keywright.ico");
  ASSERT_TRUE(icon);
  ASSERT_GT(icon->width, 0);
  ASSERT_EQ(icon->argb.size(), static_cast<size_t>(icon->width) * icon->height);
  EXPECT_TRUE(std::any_of(icon->argb.begin(), icon->argb.end(),
                          [](std::uint32_t p) { return (p >> 24) != 0; }))
      << "not all transparent";

  const IconImage small = icon->Fitted(22);
  EXPECT_EQ(std::max(small.width, small.height), std::min(22, std::max(icon->width, icon->height)));
  EXPECT_EQ(small.argb.size(), static_cast<size_t>(small.width) * small.height);
  const IconImage same = icon->Fitted(4096);
  EXPECT_EQ(same.width, icon->width);
  EXPECT_EQ(same.argb, icon->argb);
}

TEST(IconImage, MissingOrBrokenFilesGiveNoImage) {
  TempFolder folder;
  EXPECT_FALSE(IconImage::Load(folder / "missing.ico"));
  EXPECT_FALSE(IconImage::Load(folder.Path()));
  folder.Write("garbage.ico", std::string("\0\0\1\0\1\0\xff\xff\xff\xff junk", 18));
  EXPECT_FALSE(IconImage::Load(folder / "garbage.ico"));
  folder.Write("empty.png", "");
  EXPECT_FALSE(IconImage::Load(folder / "empty.png"));
  // A shipped icon cut short.
  std::ifstream in("Keywright.ico", std::ios::binary);
  const std::string whole{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  ASSERT_GT(whole.size(), 64u);
  folder.Write("cut.ico", whole.substr(0, whole.size() / 2));
  const auto cut = IconImage::Load(folder / "cut.ico");  // refused or whole; never torn
  if (cut) {
    EXPECT_EQ(cut->argb.size(), static_cast<size_t>(cut->width) * cut->height);
  }
}

}  // namespace
