#include "docs/XmlParser.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> ProblemsOf(const std::string& text) {
  XmlIndex index;
  XmlParser::Parse(text, index);
  std::vector<std::string> names;
  for (const XmlProblem& p : index.problems) names.push_back(XmlParser::ProblemName(p.kind));
  return names;
}

using Names = std::vector<std::string>;

TEST(XmlParserTest, WellFormedMarkupNotesNothing) {
  EXPECT_EQ(ProblemsOf("<?xml version='1.0'?><!DOCTYPE r [<!ELEMENT r ANY>]><!-- c --><r a='<>'>"
                       "<![CDATA[<x></y>]]><?pi x?><e/><f></f ></r>\r\n"),
            Names{});
}

TEST(XmlParserTest, EachProblemKindIsNotedOnItsMalformedInput) {
  EXPECT_EQ(ProblemsOf("<r><a></r>"), Names{"unended_start_tag"});
  EXPECT_EQ(ProblemsOf("<r></x></r>"), Names{"lone_end_tag"});
  EXPECT_EQ(ProblemsOf("<r><a x='1'</r>"), Names{"unterminated_tag_syntax"});
  EXPECT_EQ(ProblemsOf("<r>< a/></r>"), Names{"first_tag_syntax"});
  EXPECT_EQ(ProblemsOf("<r><!ELEMENT></r>"), Names{"exclamation_tag_syntax"});
  EXPECT_EQ(ProblemsOf("<r/><!-- open"), Names{"comment_syntax"});
  EXPECT_EQ(ProblemsOf("<r><![CDATA[ open</r>"), (Names{"cdata_section_syntax", "unended_start_tag"}));
  EXPECT_EQ(ProblemsOf("<r/><!DOCTYPE r>"), Names{"doctype_syntax"});
  EXPECT_EQ(ProblemsOf("<!DOCTYPE r [ "), (Names{"doctype_syntax", "no_root_element"}));
  EXPECT_EQ(ProblemsOf("just text"), Names{"no_root_element"});
  EXPECT_EQ(ProblemsOf("<a/><b/>"), Names{"root_has_sibling"});
  EXPECT_EQ(ProblemsOf("<r><?pi </r>"), (Names{"unterminated_tag_syntax", "unended_start_tag"}));
}

TEST(XmlParserTest, AnUnendedElementEndsWhereItsParentEnds) {
  const std::string text = "<r><a><b/></r><!-- -->";
  XmlIndex index;
  XmlParser::Parse(text, index);
  ASSERT_EQ(index.elements.size(), 4u);
  const XmlElement& r = index.elements[1];
  const XmlElement& a = index.elements[2];
  const XmlElement& b = index.elements[3];
  EXPECT_EQ(text.substr(a.start, a.end - a.start), "<a><b/>");
  EXPECT_EQ(r.end, text.find("<!--"));
  EXPECT_EQ(b.parent, 2u);
  EXPECT_EQ(a.parent, 1u);
  EXPECT_TRUE(a.flags & XmlElement::kUnended);
}

TEST(XmlParserTest, QuotedGreaterThanSignsDoNotEndATag) {
  const std::string text = "<r a=\"x>y\" b='/>'><c/></r>";
  XmlIndex index;
  XmlParser::Parse(text, index);
  EXPECT_TRUE(index.problems.empty());
  ASSERT_EQ(index.elements.size(), 3u);
  EXPECT_EQ(index.elements[1].tagEnd, text.find("<c/>"));
  EXPECT_EQ(index.elements[1].firstChild, 2u);
}

TEST(XmlParserTest, DeepAndBrokenInputStaysLinearAndBounded) {
  std::string text;
  for (int i = 0; i < 100000; ++i) text += "<a>";
  for (int i = 0; i < 100000; ++i) text += "</b>";
  XmlIndex index;
  XmlParser::Parse(text, index);
  EXPECT_EQ(index.elements.size(), 100001u);
  EXPECT_EQ(index.problems.size(), XmlIndex::kMaxProblems);
  EXPECT_EQ(index.problemCount, 200000u);
}

}  // namespace
