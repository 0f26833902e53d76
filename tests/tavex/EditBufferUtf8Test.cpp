// What the edit buffer keeps of text that is not valid UTF-8: malformed forms never reach the
// stored text, whole characters stay.
#include <gtest/gtest.h>

#include "tavex/EditBuffer.h"

namespace {

TEST(EditBufferUtf8, OverlongSurrogateAndOutOfRangeFormsAreDroppedWholeCharactersKept) {
  Tavex::EditBuffer b;
  b.Insert(
      "a\xC0\xAF"
      "b\xED\xA0\x80"
      "c\xF4\x90\x80\x80"
      "d\xE2\x82\xAC");
  EXPECT_EQ(b.GetText(), "abcd\xE2\x82\xAC");
}

TEST(EditBufferUtf8, ABrokenSequenceDecodesAsItsLeadByteAlone) {
  std::size_t len = 0;
  EXPECT_EQ(Tavex::DecodeUtf8("\xC0\xAF", 0, &len), 0xC0u);
  EXPECT_EQ(len, 1u);
  EXPECT_EQ(Tavex::DecodeUtf8("\xE2\x82\xAC", 0, &len), 0x20ACu);
  EXPECT_EQ(len, 3u);
  EXPECT_EQ(Tavex::EncodeUtf8(0xD800), "");
}

}  // namespace
