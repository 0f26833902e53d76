#include "docs/XmlEscape.h"

#include <gtest/gtest.h>

namespace {

TEST(XmlEscapeTest, AttributesEscapeFiveCharactersAndContentThree) {
  EXPECT_EQ(XmlEscape::Attribute("a<b&\"c'>"), "a&lt;b&amp;&quot;c&apos;&gt;");
  EXPECT_EQ(XmlEscape::Content("a<b&\"c'>"), "a&lt;b&amp;\"c'&gt;");
}

TEST(XmlEscapeTest, UnescapeDecodesNamedAndNumericReferencesOnly) {
  EXPECT_EQ(XmlEscape::Unescape("&lt;&gt;&amp;&apos;&quot;"), "<>&'\"");
  EXPECT_EQ(XmlEscape::Unescape("&#20013;&#x6587;&#X1F600;"), "\xE4\xB8\xAD\xE6\x96\x87\xF0\x9F\x98\x80");
  EXPECT_EQ(XmlEscape::Unescape("&amp;lt; &nbsp; &#xD800; &#x110000; &#; &#x; a&b"),
            "&lt; &nbsp; &#xD800; &#x110000; &#; &#x; a&b");
  EXPECT_EQ(XmlEscape::Unescape("&"), "&");
  EXPECT_EQ(XmlEscape::Unescape("x&amp"), "x&amp");
}

TEST(XmlEscapeTest, EscapedTextUnescapesToItself) {
  const std::string text = "<&>\"' &amp; \xE4\xB8\x80";
  EXPECT_EQ(XmlEscape::Unescape(XmlEscape::Attribute(text)), text);
}

}  // namespace
