#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "tavex/MImageList.h"

using Tavex::Image;
using Tavex::MImageList;

TEST(MImageList, AddsLoadableImagesOnlyAndAnswersNullOutsideItsRange) {
  MImageList list;
  const std::vector<std::uint32_t> red(4, 0xFFFF0000);
  EXPECT_EQ(list.Add(Image()), -1);
  EXPECT_EQ(list.Add(Image::FromARGB(2, 2, red.data())), 0);
  EXPECT_EQ(list.AddFile("no/such/file.png"), -1);
  EXPECT_EQ(list.AddFile(""), -1);
  EXPECT_EQ(list.GetCount(), 1);
  EXPECT_EQ(list.Get(0).Width(), 2);
  EXPECT_TRUE(list.Get(1).IsNull());
  EXPECT_TRUE(list.Get(-1).IsNull());
  list.Clear();
  EXPECT_EQ(list.GetCount(), 0);
}
