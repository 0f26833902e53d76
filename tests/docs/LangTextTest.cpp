#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "docs/LangFile.h"
#include "docs/LangSettings.h"
#include "support/TempFolder.h"

namespace {

using namespace std::string_literals;

std::string Utf16(const std::u16string& text, bool bigEndian) {
  std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
  for (const char16_t unit : text) {
    const char high = static_cast<char>(unit >> 8), low = static_cast<char>(unit & 0xFF);
    bytes += bigEndian ? high : low;
    bytes += bigEndian ? low : high;
  }
  return bytes;
}

class LangText : public ::testing::Test {
 protected:
  LangText() { SetLanguageRootForTesting(root.Path() + "/"); }
  ~LangText() override {
    SetLanguageRootForTesting("");
    SetCurrentLanguage(0);
  }

  void UseFile(int lcid, const std::string& bytes) {
    root.Write("language/" + std::to_string(lcid) + ".lan", bytes);
    SetLanguageRootForTesting(root.Path() + "/");
    SetCurrentLanguage(lcid);
  }

  TempFolder root;
};

TEST_F(LangText, ReadsUtf8WithAndWithoutByteOrderMark) {
  UseFile(2052, "\xEF\xBB\xBF[KB.DIALOG]\r\n1=确定\r\n2=取消\r\n");
  EXPECT_EQ(GetLangText(1), "确定");
  EXPECT_EQ(GetLangText(2, "KB.DIALOG"), "取消");
  UseFile(1033, "[KB.DIALOG]\n1=OK\n");
  EXPECT_EQ(GetLangText(1), "OK");
}

TEST_F(LangText, ReadsUtf16InBothByteOrders) {
  const std::u16string text = u"[KB.DIALOG]\r\n7=Profil \u00e9t\u00e9 \U0001F600\r\n";
  UseFile(1033, Utf16(text, false));
  EXPECT_EQ(GetLangText(7), "Profil été 😀");
  UseFile(2052, Utf16(text, true));
  EXPECT_EQ(GetLangText(7), "Profil été 😀");
}

TEST_F(LangText, MissingFileSectionOrEntryGivesEmptyText) {
  SetCurrentLanguage(1033);
  EXPECT_EQ(GetLangText(1), "");
  UseFile(1033, "[OTHER]\n65=elsewhere\n[KB.DIALOG]\n1=one\n");
  EXPECT_EQ(GetLangText(65), "");
  EXPECT_EQ(GetLangText(65, "OTHER"), "elsewhere");
  EXPECT_EQ(GetLangText(1, "NO.SECTION"), "");
  EXPECT_EQ(GetLangText(1, nullptr), "");
}

TEST_F(LangText, FollowsTheCurrentLanguage) {
  root.Write("language/1033.lan", "[KB.DIALOG]\n3=Apply\n");
  root.Write("language/2052.lan", "[KB.DIALOG]\n3=应用\n");
  SetCurrentLanguage(1033);
  EXPECT_EQ(GetLangText(3), "Apply");
  SetCurrentLanguage(2052);
  EXPECT_EQ(GetLangText(3), "应用");
  SetCurrentLanguage(1033);
  EXPECT_EQ(GetLangText(3), "Apply");
}

TEST_F(LangText, CutsTextsTo259CodePoints) {
  std::string chinese;
  for (int i = 0; i < 300; ++i) chinese += "键";
  UseFile(2052, "[KB.DIALOG]\n1=" + chinese + "\n2=" + std::string(259, 'a') + "\n");
  const std::string cut = GetLangText(1);
  EXPECT_EQ(cut.size(), 259u * 3);
  EXPECT_EQ(cut, chinese.substr(0, 259 * 3));
  EXPECT_EQ(GetLangText(2), std::string(259, 'a'));
}

TEST_F(LangText, FollowsTheIniReadersRules) {
  UseFile(1033,
          "; comment\n"
          "0=before any section\n"
          "  [ kb.dialog ]  \n"
          "  10  =  padded  \n"
          "11=\"quoted \"\n"
          "12=first\n"
          "12=second\n"
          "; 13=commented out\n"
          "no equals sign\n"
          "14=a=b\n"
          "15=\n");
  EXPECT_EQ(GetLangText(0), "");
  EXPECT_EQ(GetLangText(10), "padded");
  EXPECT_EQ(GetLangText(11), "quoted ");
  EXPECT_EQ(GetLangText(12), "first");
  EXPECT_EQ(GetLangText(13), "");
  EXPECT_EQ(GetLangText(14), "a=b");
  EXPECT_EQ(GetLangText(15), "");
}

TEST_F(LangText, MalformedBytesNeverCrashAndGiveValidUtf8) {
  UseFile(1033, "[KB.DIALOG]\n1=ab\xC3\x28\xED\xA0\x80z\n2=\x00hidden\n["s);
  EXPECT_EQ(GetLangText(1), "ab\xEF\xBF\xBD(\xEF\xBF\xBDz");
  EXPECT_EQ(GetLangText(2), "");
  // An odd UTF-16 tail and a lone surrogate.
  UseFile(2052, Utf16(u"[KB.DIALOG]\n1=x\xD800y", false) + "\x41");
  EXPECT_EQ(GetLangText(1), "x\xEF\xBF\xBDy");
  // Arbitrary binary content.
  std::string binary;
  for (int i = 0; i < 4096; ++i) binary += static_cast<char>((i * 7919) & 0xFF);
  UseFile(1033, binary);
  EXPECT_EQ(GetLangText(1), "");
}

TEST_F(LangText, ConcurrentLookupsWhileTheLanguageChanges) {
  root.Write("language/1033.lan", "[KB.DIALOG]\n5=five\n");
  root.Write("language/2052.lan", "[KB.DIALOG]\n5=五\n");
  SetCurrentLanguage(1033);
  std::vector<std::thread> readers;
  std::atomic<int> wrong{0};
  for (int t = 0; t < 3; ++t)
    readers.emplace_back([&] {
      for (int i = 0; i < 2000; ++i) {
        const std::string text = GetLangText(5);
        if (text != "five" && text != "五") ++wrong;
      }
    });
  for (int i = 0; i < 200; ++i) SetCurrentLanguage(i % 2 ? 2052 : 1033);
  for (auto& reader : readers) reader.join();
  EXPECT_EQ(wrong.load(), 0);
}

TEST(LangFileParse, CountsOnlyEntriesInsideSections) {
  const LangFile file = LangFile::Parse("x=1\n[A]\ny=2\n[B]\nz=3\n=4\n");
  EXPECT_EQ(file.EntryCount(), 2u);
  EXPECT_EQ(file.Get("a", "Y"), "2");
}

}  // namespace
