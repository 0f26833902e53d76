#include "docs/XmlDocument.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include <unistd.h>

namespace {

class XmlDocumentTest : public ::testing::Test {
protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() /
           ("kw-xmldoc-" + std::to_string(::getpid()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }

  std::string Path(const std::string& name) const { return (dir_ / name).string(); }
  void Write(const std::string& name, const std::string& bytes) const {
    std::ofstream(Path(name), std::ios::binary) << bytes;
  }
  std::string Read(const std::string& name) const {
    std::ifstream in(Path(name), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

  std::filesystem::path dir_;
};

std::string Utf16Le(const std::string& ascii) {
  std::string out;
  for (const char c : ascii) {
    out += c;
    out += '\0';
  }
  return out;
}

TEST_F(XmlDocumentTest, FileWithUtf16MarkAndFileDeclaringUtf16LoadAlike) {
  const std::string body = "<?xml version=\"1.0\" encoding=\"UTF-16\"?><a x=\"1\"><b y=\"2\"/></a>";
  Write("marked.xml", "\xFF\xFE" + Utf16Le(body));
  Write("declared.xml", Utf16Le(body));
  XmlDocument marked, declared;
  ASSERT_TRUE(marked.LoadFromFile(Path("marked.xml")));
  ASSERT_TRUE(declared.LoadFromFile(Path("declared.xml")));
  EXPECT_EQ(marked.Text(), body);
  EXPECT_EQ(declared.Text(), body);
  EXPECT_TRUE(marked.LoadedEncoding().bom);
  EXPECT_FALSE(declared.LoadedEncoding().bom);
  for (XmlDocument* doc : {&marked, &declared}) {
    ASSERT_TRUE(doc->FindNext("a"));
    EXPECT_EQ(doc->ReadAttribute("x"), "1");
    ASSERT_TRUE(doc->Enter());
    ASSERT_TRUE(doc->FindNext("b"));
    EXPECT_EQ(doc->ReadAttribute("y"), "2");
  }
}

TEST_F(XmlDocumentTest, TwoTopLevelElementsFailTheLoadButStayNavigable) {
  Write("two.xml", "<a/><b/>");
  XmlDocument doc;
  EXPECT_FALSE(doc.LoadFromFile(Path("two.xml")));
  EXPECT_FALSE(doc.IsWellFormed());
  EXPECT_TRUE(doc.FindNext("b"));
}

TEST_F(XmlDocumentTest, MissingFileFailsAndLeavesAnEmptyDocument) {
  XmlDocument doc;
  ASSERT_TRUE(doc.ReplaceText("<a/>"));
  EXPECT_FALSE(doc.LoadFromFile(Path("absent.xml")));
  EXPECT_TRUE(doc.Text().empty());
  EXPECT_FALSE(doc.FindNext("a"));
}

TEST_F(XmlDocumentTest, AttributeWithMarkupRoundTripsAndIsSavedEscaped) {
  XmlDocument doc;
  doc.ReplaceText("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n");
  ASSERT_TRUE(doc.AppendElement("macro"));
  ASSERT_TRUE(doc.WriteAttribute("name", "a<b&\"c\""));
  EXPECT_EQ(doc.ReadAttribute("name"), "a<b&\"c\"");
  ASSERT_TRUE(doc.SaveToFile(Path("out.xml")));
  const std::string saved = Read("out.xml");
  EXPECT_NE(saved.find("name=\"a&lt;b&amp;&quot;c&quot;\""), std::string::npos) << saved;
  XmlDocument again;
  ASSERT_TRUE(again.LoadFromFile(Path("out.xml")));
  ASSERT_TRUE(again.FindNext("macro"));
  EXPECT_EQ(again.ReadAttribute("name"), "a<b&\"c\"");
}

TEST_F(XmlDocumentTest, FindNextSkipsOtherNamesAndStopsAtTheEndOfTheLevel) {
  XmlDocument doc;
  ASSERT_TRUE(doc.ReplaceText("<r><key n='1'/><other><key n='x'/></other><key n='2'/></r>"));
  ASSERT_TRUE(doc.FindNext("r"));
  ASSERT_TRUE(doc.Enter());
  std::string seen;
  while (doc.FindNext("key")) seen += doc.ReadAttribute("n");
  EXPECT_EQ(seen, "12");
  // A failed search leaves the cursor where it was.
  EXPECT_EQ(doc.ReadAttribute("n"), "2");
  EXPECT_FALSE(doc.FindNext("other"));
}

TEST_F(XmlDocumentTest, EnterSearchesFromTheFirstChildAndLeaveReturnsToTheParent) {
  XmlDocument doc;
  ASSERT_TRUE(doc.ReplaceText("<r><a id='1'><a id='inner'/></a><b/><a id='2'/></r>"));
  ASSERT_TRUE(doc.FindNext("r"));
  ASSERT_TRUE(doc.Enter());
  ASSERT_TRUE(doc.FindNext("b"));
  ASSERT_TRUE(doc.FindNext("a"));
  EXPECT_EQ(doc.ReadAttribute("id"), "2");
  ASSERT_TRUE(doc.Leave());
  EXPECT_EQ(doc.CurrentName(), "r");
  ASSERT_TRUE(doc.Enter());
  ASSERT_TRUE(doc.FindNext("a"));
  EXPECT_EQ(doc.ReadAttribute("id"), "1");
  ASSERT_TRUE(doc.Enter());
  ASSERT_TRUE(doc.FindNext("a"));
  EXPECT_EQ(doc.ReadAttribute("id"), "inner");
  EXPECT_FALSE(doc.Enter() && doc.FindNext("a"));
  ASSERT_TRUE(doc.Leave());
  ASSERT_TRUE(doc.Leave());
  ASSERT_TRUE(doc.Leave());
  EXPECT_FALSE(doc.Leave());
}

TEST_F(XmlDocumentTest, ElementsAreFoundBeforeTheLayoutForwardSearchPassesThem) {
  // light before function: the search for function passes light, which is then not found.
  XmlDocument doc;
  ASSERT_TRUE(doc.ReplaceText("<device.info><light/><function value='7'/><firmware/></device.info>"));
  ASSERT_TRUE(doc.FindNext("device.info"));
  ASSERT_TRUE(doc.Enter());
  ASSERT_TRUE(doc.FindNext("function"));
  EXPECT_EQ(doc.ReadAttributeInt("value"), 7);
  ASSERT_TRUE(doc.FindNext("firmware"));
  EXPECT_FALSE(doc.FindNext("light"));
}

TEST_F(XmlDocumentTest, AttributesReadWithEitherQuoteAndDecodedReferences) {
  XmlDocument doc;
  ASSERT_TRUE(doc.ReplaceText("<a one='x&#65;&#x42;' two = \"&lt;&apos;&gt;\" three='&bogus; & &#0;'/>"));
  ASSERT_TRUE(doc.FindNext("a"));
  EXPECT_EQ(doc.ReadAttribute("one"), "xAB");
  EXPECT_EQ(doc.ReadAttribute("two"), "<'>");
  EXPECT_EQ(doc.ReadAttribute("three"), "&bogus; & &#0;");
  EXPECT_EQ(doc.ReadAttribute("four"), "");
  EXPECT_FALSE(doc.HasAttribute("four"));
  EXPECT_FALSE(doc.HasAttribute("on"));
}

TEST_F(XmlDocumentTest, AnUnquotedValueMustTouchItsEqualsSign) {
  XmlDocument doc;
  ASSERT_TRUE(doc.ReplaceText("<a x= y='1' z=2/>"));
  ASSERT_TRUE(doc.FindNext("a"));
  EXPECT_EQ(doc.ReadAttribute("x"), "");
  EXPECT_EQ(doc.ReadAttribute("y"), "1");
  EXPECT_EQ(doc.ReadAttribute("z"), "2");
  ASSERT_TRUE(doc.WriteAttribute("w", "3"));
  EXPECT_EQ(doc.ReadAttribute("w"), "3");
  ASSERT_TRUE(doc.WriteAttribute("x", "4"));
  EXPECT_EQ(doc.ReadAttribute("x"), "4");
  EXPECT_EQ(doc.ReadAttribute("y"), "1");
}

TEST_F(XmlDocumentTest, QuotesOutsideValuesPairUpAsTheParserSawThem) {
  XmlDocument doc;
  ASSERT_TRUE(doc.ReplaceText("<a x=ab\"c d=\" 'e=\"1\"' y=\"2\">t</a>"));
  ASSERT_TRUE(doc.FindNext("a"));
  EXPECT_EQ(doc.ReadAttribute("x"), "ab");
  EXPECT_EQ(doc.ReadAttribute("d"), "");
  EXPECT_EQ(doc.ReadAttribute("e"), "");
  EXPECT_EQ(doc.ReadAttribute("y"), "2");
  ASSERT_TRUE(doc.WriteAttribute("z", "\"'"));
  EXPECT_EQ(doc.ReadAttribute("z"), "\"'");
  EXPECT_EQ(doc.ReadAttribute("y"), "2");
  XmlDocument again;
  EXPECT_TRUE(again.ReplaceText(doc.Text())) << doc.Text();
}

TEST_F(XmlDocumentTest, NumbersAreReadLeniently) {
  XmlDocument doc;
  ASSERT_TRUE(doc.ReplaceText("<k code='1e' bad='zz' key_index=' 12abc' neg='-5' big='99999999999' hex='24AEx'/>"));
  ASSERT_TRUE(doc.FindNext("k"));
  EXPECT_EQ(doc.ReadAttributeHex("code"), 30u);
  EXPECT_EQ(doc.ReadAttributeHex("bad"), 0u);
  EXPECT_EQ(doc.ReadAttributeHex("hex"), 0x24AEu);
  EXPECT_EQ(doc.ReadAttributeInt("key_index"), 12);
  EXPECT_EQ(doc.ReadAttributeInt("neg"), -5);
  EXPECT_EQ(doc.ReadAttributeInt("big"), INT32_MAX);
  EXPECT_EQ(doc.ReadAttributeInt("bad"), 0);
  EXPECT_EQ(doc.ReadAttributeInt("missing"), 0);
}

TEST_F(XmlDocumentTest, ExportBuildsNestedElementsThatParseBack) {
  XmlDocument doc;
  EXPECT_FALSE(doc.ReplaceText("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"));  // no root yet
  ASSERT_TRUE(doc.AppendElement("profile"));
  ASSERT_TRUE(doc.Enter());
  ASSERT_TRUE(doc.AppendElement("profileinfo"));
  doc.WriteAttribute("name", "Game");
  ASSERT_TRUE(doc.AppendElement("keyitems"));
  ASSERT_TRUE(doc.Enter());
  for (int i = 1; i <= 3; ++i) {
    ASSERT_TRUE(doc.AppendElement("item"));
    doc.WriteAttribute("key_code", i);
    doc.WriteAttribute("macro_desc", "m" + std::to_string(i));
  }
  ASSERT_TRUE(doc.Leave());
  ASSERT_TRUE(doc.AppendElement("macroinfo"));
  doc.WriteAttribute("times", 2);
  doc.WriteAttribute("times", -7);  // replaces
  EXPECT_TRUE(doc.IsWellFormed());

  XmlDocument parsed;
  ASSERT_TRUE(parsed.ReplaceText(doc.Text())) << doc.Text();
  EXPECT_EQ(parsed.ElementCount(), 7u);
  ASSERT_TRUE(parsed.FindNext("profile"));
  ASSERT_TRUE(parsed.Enter());
  ASSERT_TRUE(parsed.FindNext("profileinfo"));
  EXPECT_EQ(parsed.ReadAttribute("name"), "Game");
  ASSERT_TRUE(parsed.FindNext("keyitems"));
  ASSERT_TRUE(parsed.Enter());
  int count = 0;
  while (parsed.FindNext("item")) {
    ++count;
    EXPECT_EQ(parsed.ReadAttributeInt("key_code"), count);
    EXPECT_EQ(parsed.ReadAttribute("macro_desc"), "m" + std::to_string(count));
  }
  EXPECT_EQ(count, 3);
  ASSERT_TRUE(parsed.Leave());
  ASSERT_TRUE(parsed.FindNext("macroinfo"));
  EXPECT_EQ(parsed.ReadAttribute("times"), "-7");
  EXPECT_EQ(doc.Text().rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<profile>", 0), 0u);
}

TEST_F(XmlDocumentTest, AppendingBetweenSiblingsKeepsTheOrderAndTheIndex) {
  XmlDocument doc;
  ASSERT_TRUE(doc.ReplaceText("<r><a/><c>text</c></r>"));
  ASSERT_TRUE(doc.FindNext("r"));
  ASSERT_TRUE(doc.Enter());
  ASSERT_TRUE(doc.FindNext("a"));
  ASSERT_TRUE(doc.AppendElement("b"));
  ASSERT_TRUE(doc.WriteAttribute("v", "1"));
  ASSERT_TRUE(doc.FindNext("c"));
  ASSERT_TRUE(doc.Enter());
  ASSERT_TRUE(doc.AppendElement("d"));  // into an element that has only text
  ASSERT_TRUE(doc.Leave());
  ASSERT_TRUE(doc.WriteAttribute("w", "2"));
  XmlDocument parsed;
  ASSERT_TRUE(parsed.ReplaceText(doc.Text())) << doc.Text();
  ASSERT_TRUE(parsed.FindNext("r"));
  ASSERT_TRUE(parsed.Enter());
  ASSERT_TRUE(parsed.FindNext("a"));
  ASSERT_TRUE(parsed.FindNext("b"));
  EXPECT_EQ(parsed.ReadAttribute("v"), "1");
  ASSERT_TRUE(parsed.FindNext("c"));
  EXPECT_EQ(parsed.ReadAttribute("w"), "2");
  ASSERT_TRUE(parsed.Enter());
  EXPECT_TRUE(parsed.FindNext("d"));
  EXPECT_NE(doc.Text().find("text"), std::string::npos);
}

TEST_F(XmlDocumentTest, AppendingASecondTopLevelElementMakesTheDocumentIllFormed) {
  XmlDocument doc;
  ASSERT_TRUE(doc.ReplaceText("<r/>"));
  ASSERT_TRUE(doc.FindNext("r"));
  ASSERT_TRUE(doc.AppendElement("s"));
  EXPECT_FALSE(doc.IsWellFormed());
  EXPECT_EQ(doc.Text(), "<r/>\r\n<s/>");
}

TEST_F(XmlDocumentTest, InvalidNamesAndMissingCurrentElementAreRefused) {
  XmlDocument doc;
  ASSERT_TRUE(doc.ReplaceText("<r/>"));
  EXPECT_FALSE(doc.WriteAttribute("x", "1"));  // nothing current yet
  ASSERT_TRUE(doc.FindNext("r"));
  EXPECT_FALSE(doc.WriteAttribute("a b", "1"));
  EXPECT_FALSE(doc.WriteAttribute("", "1"));
  EXPECT_FALSE(doc.AppendElement("1x"));
  EXPECT_FALSE(doc.AppendElement("x>"));
  EXPECT_EQ(doc.Text(), "<r/>");
}

TEST_F(XmlDocumentTest, SavingKeepsTheDeclaredEncodingAndTheLoadedMark) {
  const std::string body = "<?xml version=\"1.0\" encoding=\"UTF-16\"?><a n=\"\xC3\xA9\"/>";
  std::string utf16 = "\xFF\xFE";
  utf16 += Utf16Le("<?xml version=\"1.0\" encoding=\"UTF-16\"?><a n=\"");
  utf16 += std::string("\xE9\0", 2) + Utf16Le("\"/>");
  Write("in.xml", utf16);
  XmlDocument doc;
  ASSERT_TRUE(doc.LoadFromFile(Path("in.xml")));
  EXPECT_EQ(doc.Text(), body);
  ASSERT_TRUE(doc.SaveToFile(Path("out.xml")));
  EXPECT_EQ(Read("out.xml"), utf16);

  // Without a mark on loading, none is written.
  Write("plain.xml", "<?xml version=\"1.0\" encoding=\"UTF-8\"?><a/>");
  ASSERT_TRUE(doc.LoadFromFile(Path("plain.xml")));
  ASSERT_TRUE(doc.SaveToFile(Path("plain-out.xml")));
  EXPECT_EQ(Read("plain-out.xml"), "<?xml version=\"1.0\" encoding=\"UTF-8\"?><a/>");

  Write("marked8.xml", "\xEF\xBB\xBF<a/>");
  ASSERT_TRUE(doc.LoadFromFile(Path("marked8.xml")));
  ASSERT_TRUE(doc.SaveToFile(Path("marked8-out.xml")));
  EXPECT_EQ(Read("marked8-out.xml"), "\xEF\xBB\xBF<a/>");

  // A document built in memory never gets a mark.
  doc.ReplaceText("<?xml version=\"1.0\" encoding=\"windows-1252\"?><a n=\"\xE2\x82\xAC\"/>");
  ASSERT_TRUE(doc.SaveToFile(Path("ansi.xml")));
  EXPECT_EQ(Read("ansi.xml"), "<?xml version=\"1.0\" encoding=\"windows-1252\"?><a n=\"\x80\"/>");
}

TEST_F(XmlDocumentTest, SaveFailsForAnUnwritableTargetAndKeepsTheOldFile) {
  XmlDocument doc;
  doc.ReplaceText("<a/>");
  EXPECT_FALSE(doc.SaveToFile(Path("no/such/folder/out.xml")));
  Write("keep.xml", "<old/>");
  std::filesystem::create_directory(Path("keep.xml.partial"));  // blocks the side file
  std::filesystem::permissions(Path("keep.xml"), std::filesystem::perms::owner_read);
  if (::geteuid() != 0) {
    EXPECT_FALSE(doc.SaveToFile(Path("keep.xml")));
    EXPECT_EQ(Read("keep.xml"), "<old/>");
  }
  std::filesystem::permissions(Path("keep.xml"), std::filesystem::perms::owner_all);
}

TEST_F(XmlDocumentTest, NulCharactersAreRemovedOnLoading) {
  Write("nul.xml", std::string("<a\0 x='1\0'/>", 12));
  XmlDocument doc;
  ASSERT_TRUE(doc.LoadFromFile(Path("nul.xml")));
  EXPECT_EQ(doc.Text(), "<a x='1'/>");
  ASSERT_TRUE(doc.FindNext("a"));
  EXPECT_EQ(doc.ReadAttribute("x"), "1");
}

}  // namespace
