// Profile and macro files: what an export writes, that an import reads it back equal, the name
// rules of imports, and that malformed or hostile files change nothing in the store.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "features/MacroXml.h"
#include "store/ProfileStore.h"
#include "support/TempFolder.h"

namespace {

constexpr const char* kDeclaration = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n";

class MacroXmlTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(folder.MakeFolder("db"));
    ASSERT_TRUE(store.OpenForDevice(folder.Slashed(), "Tarnwick_V3"));
    std::vector<ProfileRecord> profiles;
    store.ListProfilesWithDefaults("Profile", profiles);
  }
  void TearDown() override { store.Close(); }

  int32_t AddMacro(const std::string& name, const std::vector<std::pair<int, int>>& keys) {
    const int32_t id = store.AddMacro(name);
    std::vector<MacroEventRecord> events;
    for (const auto& [vk, delay] : keys) {
      for (const int type : {2, 3}) {
        MacroEventRecord e;
        e.macro_id = id;
        e.type = type;
        e.record_index = static_cast<int32_t>(events.size());
        e.value = vk;
        e.desc = std::string(1, static_cast<char>(vk));
        e.delay_time = delay;
        events.push_back(e);
      }
    }
    store.AddMacroEvents(events);
    return id;
  }
  void AssignMacro(int32_t profile, int32_t key, int32_t macro) {
    KeyAssignmentRecord k;
    k.profile = profile;
    k.key_code = key;
    k.layout_value = key;
    k.layout_desc = "K<" + std::to_string(key) + ">";
    k.macro_type = 3;
    k.macro_value = macro;
    k.macro_desc = "macro & more";
    store.SaveKeyAssignment(k);
  }
  // Macros and profiles, compared after a failed import.
  std::pair<int, int> Counts() {
    std::vector<MacroRecord> macros;
    std::vector<ProfileRecord> profiles;
    return {store.ListMacros(macros), store.ListProfiles(profiles)};
  }
  std::vector<MacroEventRecord> Events(int32_t macro) {
    std::vector<MacroEventRecord> events;
    store.ListMacroEvents(macro, events);
    return events;
  }

  TempFolder folder{"kw-macroxml"};
  ProfileStore store;
  MacroXml xml{store};
};

TEST_F(MacroXmlTest, ProfileWithTwoMacroKeysRoundTripsEqual) {
  const int32_t a = AddMacro("Macro <1> & \"q\"", {{'A', 40}, {'B', 31000}});
  const int32_t b = AddMacro("Second", {{'C', 10}});
  AssignMacro(1, 5, a);
  AssignMacro(1, 6, b);
  ASSERT_TRUE(xml.ExportProfile(1, "Profile 1", folder / "Game.v2.xml"));
  const std::string text = folder.Read("Game.v2.xml");
  EXPECT_EQ(text.rfind(kDeclaration, 0), 0u) << "declaration first, no byte-order mark";

  // Imported into a second database, so the names are new there.
  ProfileStore other;
  TempFolder otherFolder{"kw-macroxml2"};
  ASSERT_TRUE(otherFolder.MakeFolder("db"));
  ASSERT_TRUE(other.OpenForDevice(otherFolder.Slashed(), "Tarnwick_V3"));
  const MacroXml::ProfileImport imported =
      MacroXml(other).ImportProfile(folder / "Game.v2.xml", "Profile");
  ASSERT_GT(imported.profile, 0);
  EXPECT_EQ(other.GetActiveProfile(), imported.profile);
  std::string name;
  other.GetProfileName(imported.profile, name);
  EXPECT_EQ(name, "Game");
  ASSERT_EQ(imported.macros.size(), 2u);
  EXPECT_EQ(imported.macros[0].name, "Macro <1> & \"q\"");

  std::vector<KeyAssignmentRecord> before, after;
  store.ListKeyAssignments(1, 0, before);
  other.ListKeyAssignments(imported.profile, 0, after);
  ASSERT_EQ(after.size(), before.size());
  for (size_t i = 0; i < after.size(); ++i) {
    EXPECT_EQ(after[i].key_code, before[i].key_code);
    EXPECT_EQ(after[i].layout_desc, before[i].layout_desc);
    EXPECT_EQ(after[i].macro_desc, before[i].macro_desc);
    MacroRecord source, copy;
    ASSERT_TRUE(store.GetMacro(before[i].macro_value, source));
    ASSERT_TRUE(other.GetMacro(after[i].macro_value, copy));
    EXPECT_EQ(copy.name, source.name);
    std::vector<MacroEventRecord> e1, e2;
    store.ListMacroEvents(source.macro_id, e1);
    other.ListMacroEvents(copy.macro_id, e2);
    ASSERT_EQ(e1.size(), e2.size());
    for (size_t j = 0; j < e1.size(); ++j) {
      EXPECT_EQ(e2[j].type, e1[j].type);
      EXPECT_EQ(e2[j].value, e1[j].value);
      EXPECT_EQ(e2[j].delay_time, e1[j].delay_time);
      EXPECT_EQ(e2[j].desc, e1[j].desc);
    }
  }
  other.Close();
}

TEST_F(MacroXmlTest, ProfileImportPointsKeysAtExistingMacroOfSameNameAndCreatesSharedMacroOnce) {
  const int32_t kept = AddMacro("Shared", {{'A', 10}});
  const std::string file = std::string(kDeclaration) +
                           "<profile><profileinfo name=\"x\"/><keyitems>"
                           "<item key_code=\"5\" macro_type=\"3\" macro_value=\"77\"/>"
                           "<item key_code=\"6\" macro_type=\"3\" macro_value=\"88\"/>"
                           "<item key_code=\"7\" macro_type=\"3\" macro_value=\"88\"/>"
                           "<item key_code=\"8\" macro_type=\"3\" macro_value=\"99\"/>"
                           "</keyitems>"
                           "<macroinfo name=\"Shared\" macro_id=\"77\" times=\"2\"/>"
                           "<macroinfo name=\"Fresh\" macro_id=\"88\"><macroitems>"
                           "<item desc=\"B\" type=\"2\" value=\"66\"/></macroitems></macroinfo>"
                           "<macroinfo name=\"Fresh\" macro_id=\"88\"><macroitems>"
                           "<item desc=\"B\" type=\"2\" value=\"66\"/></macroitems></macroinfo>"
                           "</profile>";
  ASSERT_TRUE(folder.Write("noext", file));
  const MacroXml::ProfileImport imported = xml.ImportProfile(folder / "noext", "Profile");
  ASSERT_GT(imported.profile, 0);
  ASSERT_EQ(imported.macros.size(), 1u) << "Shared exists; Fresh twice in the file is one macro";
  std::string name;
  store.GetProfileName(imported.profile, name);
  EXPECT_EQ(name, "noext");
  std::vector<KeyAssignmentRecord> keys;
  store.ListKeyAssignments(imported.profile, 0, keys);
  ASSERT_EQ(keys.size(), 3u) << "the key of macro 99 (not in the file) is left out";
  EXPECT_EQ(keys[0].macro_value, kept);
  EXPECT_EQ(keys[1].macro_value, imported.macros[0].id);
  EXPECT_EQ(keys[2].macro_value, imported.macros[0].id);
  EXPECT_EQ(Events(kept).size(), 2u) << "the existing macro is left as it was";
}

TEST_F(MacroXmlTest, MacroFileRoundTripsAndTakesItsNameFromTheFile) {
  const int32_t id = AddMacro("Original", {{'A', 120}, {'Z', 0}});
  MacroRecord settings;
  store.GetMacro(id, settings);
  settings.play_times = 7;
  settings.delay_type = 3;
  settings.delay_time = 250;
  store.UpdateMacroPlayback(settings);
  ASSERT_TRUE(xml.ExportMacro(id, folder / "Combo.set.xml"));
  EXPECT_FALSE(xml.ExportMacro(9999, folder / "none.xml"));

  const MacroXml::NewMacro imported = xml.ImportMacro(folder / "Combo.set.xml", "Macro");
  ASSERT_GT(imported.id, 0);
  MacroRecord copy;
  ASSERT_TRUE(store.GetMacro(imported.id, copy));
  EXPECT_EQ(copy.name, "Combo");
  EXPECT_EQ(copy.play_times, 7);
  EXPECT_EQ(copy.delay_type, 3);
  EXPECT_EQ(copy.delay_time, 250);
  const std::vector<MacroEventRecord> events = Events(imported.id);
  ASSERT_EQ(events.size(), 4u);
  EXPECT_EQ(events[0].value, 'A');
  EXPECT_EQ(events[1].delay_time, 120);
  EXPECT_EQ(events[3].type, 3);
}

TEST_F(MacroXmlTest, MacroItemsInsideMacroInfoImportTheMacroWithoutEvents) {
  ASSERT_TRUE(folder.Write("Nested.xml",
                           "<macro><macroinfo name=\"n\" times=\"3\"><macroitems>"
                           "<item type=\"2\" value=\"65\"/></macroitems></macroinfo></macro>"));
  const MacroXml::NewMacro imported = xml.ImportMacro(folder / "Nested.xml", "Macro");
  ASSERT_GT(imported.id, 0);
  EXPECT_TRUE(Events(imported.id).empty());
}

TEST_F(MacroXmlTest, OutOfRangeValuesAreClampedOrSkipped) {
  std::string items;
  for (int i = 0; i < 500; ++i)
    items += "<item desc=\"k\" type=\"" + std::to_string(i % 5) + "\" value=\"65\" delay_time=\"" +
             std::to_string(i % 2 == 0 ? -5 : 99999) + "\"/>";
  ASSERT_TRUE(folder.Write("Big.xml", "<macro><macroinfo times=\"1000000000\" type=\"9\" "
                                      "delaytime=\"-1\"/><macroitems>" + items +
                                      "</macroitems></macro>"));
  const MacroXml::NewMacro imported = xml.ImportMacro(folder / "Big.xml", "Macro");
  ASSERT_GT(imported.id, 0);
  MacroRecord r;
  store.GetMacro(imported.id, r);
  EXPECT_EQ(r.play_times, 99);
  EXPECT_EQ(r.delay_type, 1);
  EXPECT_EQ(r.delay_time, 0);
  const std::vector<MacroEventRecord> events = Events(imported.id);
  ASSERT_EQ(events.size(), 30u);
  for (const MacroEventRecord& e : events) {
    EXPECT_TRUE(e.type == 2 || e.type == 3);
    EXPECT_GE(e.delay_time, 0);
    EXPECT_LE(e.delay_time, 31000);
  }
}

TEST_F(MacroXmlTest, MalformedWronglyRootedAndMissingFilesImportNothing) {
  const std::pair<int, int> before = Counts();
  const char* const bad[] = {
      "<profile><macroinfo name=\"a\" macro_id=\"1\"><macroitems><item type=\"2\"",  // cut
      "<macro><macroinfo name=\"a\"/></macro>",                                     // other root
      "<profile><keyitems><item key_code=\"5\" macro_value=\"1\"/></keyitems></profile><x/>",
      "",
  };
  for (const char* text : bad) {
    ASSERT_TRUE(folder.Write("bad.xml", text));
    EXPECT_EQ(xml.ImportProfile(folder / "bad.xml", "P").profile, 0) << text;
  }
  ASSERT_TRUE(folder.Write("bad.xml", "<profile><macroinfo name=\"m\"/></profile>"));
  EXPECT_EQ(xml.ImportMacro(folder / "bad.xml", "M").id, 0) << "a profile is no macro file";
  EXPECT_EQ(xml.ImportMacro(folder / "missing.xml", "M").id, 0);
  ASSERT_TRUE(folder.Write("huge.xml", "<macro>" + std::string(MacroXml::kMaxFileBytes, ' ') +
                                           "<macroinfo/></macro>"));
  EXPECT_EQ(xml.ImportMacro(folder / "huge.xml", "M").id, 0);
  EXPECT_EQ(Counts(), before);
}

TEST_F(MacroXmlTest, FailedExportKeepsTheOldFile) {
  ASSERT_TRUE(folder.Write("keep.xml", "old"));
  EXPECT_FALSE(xml.ExportMacro(12345, folder / "keep.xml"));
  EXPECT_EQ(folder.Read("keep.xml"), "old");
  EXPECT_FALSE(xml.ExportProfile(1, "P", folder / "no-such-folder/p.xml"));
}

TEST(MacroXmlNames, NameOfFileCutsBeforeTheFirstDot) {
  EXPECT_EQ(MacroXml::NameOfFile("/a/b.c/Game.v2.xml"), "Game");
  EXPECT_EQ(MacroXml::NameOfFile("plain"), "plain");
  EXPECT_EQ(MacroXml::NameOfFile("/x/.xml"), "");
}

}  // namespace
