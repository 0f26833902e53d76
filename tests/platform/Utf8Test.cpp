#include "platform/base/Utf8.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using platform::DecodeUtf8;

// Decodes a whole text; every byte where no sequence starts gives -1.
std::vector<long> Decode(const std::string& text) {
  std::vector<long> out;
  for (size_t i = 0; i < text.size();) {
    char32_t cp = 0;
    const size_t length = DecodeUtf8(text, i, cp);
    out.push_back(length == 0 ? -1 : static_cast<long>(cp));
    i += length == 0 ? 1 : length;
  }
  return out;
}

TEST(Utf8, EncodesAndDecodesEveryLengthAtItsBoundaries) {
  for (const char32_t cp :
       {0x0u, 0x7Fu, 0x80u, 0x7FFu, 0x800u, 0xD7FFu, 0xE000u, 0xFFFFu, 0x10000u, 0x10FFFFu}) {
    const std::string bytes = platform::EncodeUtf8(cp);
    ASSERT_FALSE(bytes.empty()) << static_cast<uint32_t>(cp);
    char32_t back = 0xDEAD;
    EXPECT_EQ(DecodeUtf8(bytes, 0, back), bytes.size()) << static_cast<uint32_t>(cp);
    EXPECT_EQ(back, cp);
  }
  EXPECT_EQ(platform::EncodeUtf8(0x20AC), "\xE2\x82\xAC");
  EXPECT_EQ(platform::EncodeUtf8(0x1F600), "\xF0\x9F\x98\x80");
}

TEST(Utf8, RejectsOverlongSurrogateOutOfRangeStrayAndCutSequences) {
  EXPECT_EQ(Decode("\xC0\xAF"), (std::vector<long>{-1, -1}));          // overlong '/'
  EXPECT_EQ(Decode("\xE0\x80\xAF"), (std::vector<long>{-1, -1, -1}));  // overlong, 3 bytes
  EXPECT_EQ(Decode("\xF0\x8F\xBF\xBF"), (std::vector<long>{-1, -1, -1, -1}));
  EXPECT_EQ(Decode("\xED\xA0\x80"), (std::vector<long>{-1, -1, -1}));          // U+D800
  EXPECT_EQ(Decode("\xF4\x90\x80\x80"), (std::vector<long>{-1, -1, -1, -1}));  // past U+10FFFF
  EXPECT_EQ(Decode("\xF8\x88\x80\x80\x80"), (std::vector<long>(5, -1)));       // 5-byte form
  EXPECT_EQ(Decode("a\x80"
                   "b"),
            (std::vector<long>{'a', -1, 'b'}));                      // stray continuation
  EXPECT_EQ(Decode("\xE2\x82"), (std::vector<long>{-1, -1}));        // cut at the end
  EXPECT_EQ(Decode("\xE2(\xAC"), (std::vector<long>{-1, '(', -1}));  // broken in the middle
  char32_t untouched = 7;
  EXPECT_EQ(DecodeUtf8("", 0, untouched), 0u);
  EXPECT_EQ(DecodeUtf8("a", 5, untouched), 0u);  // past the end
  EXPECT_EQ(untouched, 7u);
}

TEST(Utf8, InvalidCodePointsAreReplacedOrLeftOut) {
  std::string out;
  platform::AppendUtf8(out, 0xD800);
  platform::AppendUtf8(out, 0x110000);
  EXPECT_EQ(out, "\xEF\xBF\xBD\xEF\xBF\xBD");
  EXPECT_EQ(platform::EncodeUtf8(0xDFFF), "");
  EXPECT_EQ(platform::EncodeUtf8(0xFFFFFFFF), "");
}

TEST(Utf8, BrokenSequencesSpanTheirContinuationBytesOnly) {
  EXPECT_EQ(platform::BrokenSequenceLength("\xE2\x82", 0), 2u);
  EXPECT_EQ(platform::BrokenSequenceLength("\xE2\x82"
                                           "a",
                                           0),
            2u);
  EXPECT_EQ(platform::BrokenSequenceLength("\xF0\x80\x80\x80\x80", 0), 4u);
  EXPECT_EQ(platform::BrokenSequenceLength("\x80\x80", 0), 1u);
  EXPECT_EQ(platform::BrokenSequenceLength("\xFF\x80", 0), 1u);
}

TEST(Utf8, ValidatesWholeTextsAcrossTheAsciiFastPath) {
  EXPECT_TRUE(platform::IsValidUtf8(""));
  EXPECT_TRUE(platform::IsValidUtf8("plain ascii text, longer than eight bytes"));
  EXPECT_TRUE(
      platform::IsValidUtf8("12345678\xE2\x82\xAC"
                            "12345678"));
  EXPECT_FALSE(
      platform::IsValidUtf8("12345678\xE2\x82"
                            "12345678"));
  EXPECT_FALSE(platform::IsValidUtf8("1234567\xC0\xAF"));
  EXPECT_FALSE(platform::IsValidUtf8(std::string("abcdefgh", 8) + "\xED\xA0\x80"));
}

}  // namespace
