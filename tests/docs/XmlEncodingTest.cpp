#include "docs/XmlEncoding.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using Kind = XmlEncoding::Kind;

TEST(XmlEncodingTest, ByteOrderMarksDecideTheEncoding) {
  XmlEncoding::Found found;
  EXPECT_EQ(XmlEncoding::Decode("\xEF\xBB\xBF<a/>", &found), "<a/>");
  EXPECT_EQ(found.kind, Kind::Utf8);
  EXPECT_TRUE(found.bom);
  EXPECT_EQ(XmlEncoding::Decode(std::string("\xFE\xFF\0<\0a\0/\0>", 10), &found), "<a/>");
  EXPECT_EQ(found.kind, Kind::Utf16Be);
  EXPECT_EQ(XmlEncoding::Decode(std::string("\xFF\xFE<\0\x3D\xD8\x00\xDE>\0", 10), &found),
            "<\xF0\x9F\x98\x80>");  // a surrogate pair
  EXPECT_EQ(found.kind, Kind::Utf16Le);
}

TEST(XmlEncodingTest, WithoutMarkTheDeclarationThenValidUtf8ThenAnsiDecide) {
  XmlEncoding::Found found;
  EXPECT_EQ(XmlEncoding::Decode("<?xml version='1.0' encoding='ISO-8859-1'?><a n='\xE9'/>", &found),
            "<?xml version='1.0' encoding='ISO-8859-1'?><a n='\xC3\xA9'/>");
  EXPECT_EQ(found.kind, Kind::Latin1);
  EXPECT_EQ(found.declared, "ISO-8859-1");
  EXPECT_EQ(XmlEncoding::Decode("<a n='\xC3\xA9'/>", &found), "<a n='\xC3\xA9'/>");
  EXPECT_EQ(found.kind, Kind::Utf8);
  EXPECT_EQ(XmlEncoding::Decode("<a n='\x80\xE9'/>", &found), "<a n='\xE2\x82\xAC\xC3\xA9'/>");
  EXPECT_EQ(found.kind, Kind::Ansi);
  // A charset converted through the system's tables.
  EXPECT_EQ(XmlEncoding::Decode("<?xml encoding=\"GBK\"?><a n='\xC5\xE4'/>", &found),
            "<?xml encoding=\"GBK\"?><a n='\xE9\x85\x8D'/>");
  EXPECT_EQ(found.kind, Kind::Named);
}

TEST(XmlEncodingTest, MisleadingOrUnknownDeclarationsFallBackSafely) {
  XmlEncoding::Found found;
  // Declares UTF-16 but is 8-bit text.
  EXPECT_EQ(XmlEncoding::Decode("<?xml encoding='UTF-16'?><a/>", &found), "<?xml encoding='UTF-16'?><a/>");
  EXPECT_EQ(found.kind, Kind::Utf8);
  EXPECT_EQ(XmlEncoding::Decode("<?xml encoding='no-such-charset'?><a n='\xE9'/>", &found),
            "<?xml encoding='no-such-charset'?><a n='\xC3\xA9'/>");
  EXPECT_EQ(found.kind, Kind::Ansi);
  // Declared UTF-8 with broken bytes: each bad byte becomes U+FFFD.
  EXPECT_EQ(XmlEncoding::Decode("<?xml encoding='utf-8'?><a n='\xC3'/>", &found),
            "<?xml encoding='utf-8'?><a n='\xEF\xBF\xBD'/>");
}

TEST(XmlEncodingTest, HtmlContentTypeNamesTheCharset) {
  EXPECT_EQ(XmlEncoding::DeclaredName(
                "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1252\">"),
            "windows-1252");
  EXPECT_EQ(XmlEncoding::DeclaredName("<html><p>no charset</p></html>"), "");
  EXPECT_EQ(XmlEncoding::DeclaredName("  <?xml version=\"1.0\"?><a encoding='x'/>"), "");
}

TEST(XmlEncodingTest, Utf16WithoutMarkIsRecognisedInEitherByteOrder) {
  XmlEncoding::Found found;
  EXPECT_EQ(XmlEncoding::Decode(std::string("\0<\0?\0x\0m\0l\0?\0>\0<\0a\0/\0>", 22), &found),
            "<?xml?><a/>");
  EXPECT_EQ(found.kind, Kind::Utf16Be);
  EXPECT_FALSE(found.bom);
  EXPECT_EQ(XmlEncoding::Decode(std::string("<\0a\0/\0>\0", 8), &found), "<a/>");
  EXPECT_EQ(found.kind, Kind::Utf16Le);
}

TEST(XmlEncodingTest, OddBytesAndLoneSurrogatesDoNotBreakUtf16) {
  EXPECT_EQ(XmlEncoding::Decode(std::string("\xFF\xFE<\0\x00\xD8>\0!", 9)), "<\xEF\xBF\xBD>");
}

TEST(XmlEncodingTest, EncodingRoundTripsThroughEveryNamedForm) {
  for (const std::string name : {"UTF-8", "UTF-16", "UTF-16BE", "GB18030"}) {
    const std::string text =
        "<?xml version='1.0' encoding='" + name + "'?><a n='\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80'/>";
    for (const bool bom : {false, true}) {
      const std::string bytes = XmlEncoding::Encode(text, name, false, bom);
      EXPECT_EQ(XmlEncoding::Decode(bytes), text) << name << bom;
    }
  }
  EXPECT_EQ(XmlEncoding::Encode("\xC3\xA9\xE2\x82\xAC\xE4\xB8\x80", "windows-1252", false, true), "\xE9\x80?");
  EXPECT_EQ(XmlEncoding::Encode("\xE2\x82\xAC", "ISO-8859-1", false, false), "?");
  EXPECT_EQ(XmlEncoding::Encode("ab", "UTF-16", true, true), std::string("\xFE\xFF\0a\0b", 6));
  EXPECT_EQ(XmlEncoding::Encode("ab", "nonsense", false, false), "ab");
}

TEST(XmlEncodingTest, SanitizeKeepsValidTextAndRepairsTheRest) {
  EXPECT_EQ(XmlEncoding::Sanitize("plain \xE4\xB8\x80"), "plain \xE4\xB8\x80");
  EXPECT_EQ(XmlEncoding::Sanitize(std::string("a\0b\xC0\xAF\xED\xA0\x80", 8)),
            "ab\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD");
  EXPECT_TRUE(XmlEncoding::IsValidUtf8("0123456789abcdef\xF4\x8F\xBF\xBF"));
  EXPECT_FALSE(XmlEncoding::IsValidUtf8("0123456789abcdef\xF4\x90\x80\x80"));
}

}  // namespace
