// The data files shipped beside the program (device table, layouts, light frames) load with
// the program's XML facility and hold what the program relies on.
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <memory>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "docs/KeyTables.h"
#include "docs/XmlDocument.h"

namespace {

std::string ProgramFolder() {
  return std::filesystem::read_symlink("/proc/self/exe").parent_path().string() + "/";
}

struct DeviceEntry {
  std::string name, layout;
  int type;
  uint32_t vid, pid;
};

std::vector<DeviceEntry> ReadDeviceTable(XmlDocument& doc) {
  std::vector<DeviceEntry> entries;
  EXPECT_TRUE(doc.LoadFromFile(ProgramFolder() + "config.xml"));
  EXPECT_TRUE(doc.FindNext("config") && doc.Enter() && doc.FindNext("device.info") && doc.Enter());
  while (doc.FindNext("keyboard")) {
    entries.push_back({doc.ReadAttribute("name"), doc.ReadAttribute("layout_file"),
                       doc.ReadAttributeInt("type"), doc.ReadAttributeHex("vid"),
                       doc.ReadAttributeHex("pid")});
  }
  doc.Leave();
  return entries;
}

struct Key {
  uint32_t code;
  int keyIndex, lightIndex;
  int left, top, right, bottom;
  std::string name, desc, rowCol;
};

struct Mode {
  int name, mode, attribute;
};

struct Layout {
  bool loaded = false;
  int functionBits = 0;
  std::string firmware;
  std::map<std::string, int> light;
  std::vector<Mode> modes;
  int width = 0, height = 0;
  std::string image;
  std::vector<Key> keys;
};

// Reads a layout file the way the main window does: forward searches in file order.
Layout ReadLayout(const std::string& name) {
  Layout layout;
  XmlDocument doc;
  layout.loaded = doc.LoadFromFile(ProgramFolder() + "layouts/" + name + ".xml");
  if (!layout.loaded || !doc.FindNext("device.info") || !doc.Enter()) return layout;
  if (doc.FindNext("function")) layout.functionBits = doc.ReadAttributeInt("value");
  if (doc.FindNext("firmware")) layout.firmware = doc.ReadAttribute("url");
  if (doc.FindNext("light")) {
    for (const char* a : {"rgb_keyboard", "show_sleeptime", "default_mode", "default_brightness",
                          "default_speed", "brightness_max", "speed_max"}) {
      EXPECT_TRUE(doc.HasAttribute(a)) << name << " light lacks " << a;
      layout.light[a] = doc.ReadAttributeInt(a);
    }
    doc.Enter();
    while (doc.FindNext("info")) {
      layout.modes.push_back({doc.ReadAttributeInt("name"), doc.ReadAttributeInt("mode"),
                              doc.ReadAttributeInt("attribute")});
    }
    doc.Leave();
  }
  doc.Leave();
  doc.Enter();
  if (!doc.FindNext("Keyboard")) return layout;
  layout.width = doc.ReadAttributeInt("width");
  layout.height = doc.ReadAttributeInt("height");
  layout.image = doc.ReadAttribute("image");
  if (doc.Enter() && doc.FindNext("KeyItems") && doc.Enter()) {
    while (doc.FindNext("key")) {
      Key key{doc.ReadAttributeHex("code"), doc.ReadAttributeInt("key_index"),
              doc.ReadAttributeInt("light_index"), 0, 0, 0, 0, doc.ReadAttribute("name"),
              doc.ReadAttribute("desc"), doc.ReadAttribute("row_col")};
      int x = 0, y = 0, w = 0, h = 0;
      EXPECT_EQ(std::sscanf(doc.ReadAttribute("rect").c_str(), "%d#%d#%d#%d", &x, &y, &w, &h), 4);
      key.left = x;
      key.top = y;
      key.right = x + w;
      key.bottom = y + h;
      layout.keys.push_back(key);
    }
  }
  return layout;
}

bool IsOurHttpsAddress(const std::string& url) {
  return url.rfind("https://", 0) == 0 && url.find(".invalid/") != std::string::npos;
}

TEST(ShippedDataTest, DeviceTableNamesTheSupportedKeyboards) {
  XmlDocument doc;
  const std::vector<DeviceEntry> entries = ReadDeviceTable(doc);
  ASSERT_EQ(entries.size(), 3u);
  std::set<int> types;
  bool main = false, variant = false, lightingOnly = false;
  for (const DeviceEntry& e : entries) {
    EXPECT_FALSE(e.name.empty());
    EXPECT_TRUE(types.insert(e.type).second) << "two entries share type " << e.type;
    EXPECT_TRUE(std::filesystem::exists(ProgramFolder() + "layouts/" + e.layout + ".xml")) << e.layout;
    main |= e.vid == 0x24AE && e.pid == 0x4076 && e.type > 0 && e.type < 200;
    variant |= e.vid == 0x1A2C && e.pid == 0x7FFF && e.type > 0 && e.type < 200;
    lightingOnly |= e.type >= 200;
  }
  EXPECT_TRUE(main);
  EXPECT_TRUE(variant);
  EXPECT_TRUE(lightingOnly);
  // The 24ae/4076 board comes first: arrival matching picks the first entry that fits.
  EXPECT_EQ(entries[0].vid, 0x24AEu);
  EXPECT_EQ(entries[0].pid, 0x4076u);

  ASSERT_TRUE(doc.FindNext("software"));
  EXPECT_FALSE(doc.ReadAttribute("caption").empty());
  EXPECT_FALSE(doc.ReadAttribute("version").empty());
  ASSERT_TRUE(doc.Enter());
  for (const char* element : {"website", "store", "upgrade"}) {
    ASSERT_TRUE(doc.FindNext(element)) << element;
    EXPECT_TRUE(IsOurHttpsAddress(doc.ReadAttribute("url"))) << doc.ReadAttribute("url");
  }
  ASSERT_TRUE(doc.FindNext("copyright"));
  EXPECT_FALSE(doc.ReadAttribute("info").empty());
}

TEST(ShippedDataTest, EveryLayoutHoldsAFullKeyboardInsideItsPicture) {
  XmlDocument doc;
  for (const DeviceEntry& entry : ReadDeviceTable(doc)) {
    SCOPED_TRACE(entry.layout);
    const Layout layout = ReadLayout(entry.layout);
    ASSERT_TRUE(layout.loaded);
    EXPECT_NE(layout.functionBits & 0x45, 0);
    EXPECT_TRUE(IsOurHttpsAddress(layout.firmware)) << layout.firmware;
    EXPECT_FALSE(layout.image.empty());
    ASSERT_GT(layout.width, 0);
    ASSERT_GT(layout.height, 0);
    ASSERT_EQ(layout.keys.size(), 87u);
    std::set<uint32_t> codes;
    std::set<int> keyIndexes, lightIndexes;
    for (const Key& key : layout.keys) {
      SCOPED_TRACE(key.name);
      EXPECT_TRUE(codes.insert(key.code).second) << "duplicate code";
      EXPECT_TRUE(keyIndexes.insert(key.keyIndex).second);
      EXPECT_TRUE(lightIndexes.insert(key.lightIndex).second);
      EXPECT_GT(key.keyIndex, 0);
      EXPECT_GT(key.lightIndex, 0);
      EXPECT_FALSE(HidToLabel(key.code).empty()) << "code " << key.code << " has no label";
      EXPECT_FALSE(key.name.empty());
      EXPECT_FALSE(key.desc.empty());
      EXPECT_TRUE(key.rowCol.size() == 3 || key.rowCol.size() == 4) << key.rowCol;
      EXPECT_GE(key.left, 0);
      EXPECT_GE(key.top, 0);
      EXPECT_LE(key.right, layout.width);
      EXPECT_LE(key.bottom, layout.height);
      EXPECT_GE(key.right - key.left, 20);
      EXPECT_GE(key.bottom - key.top, 20);
    }
    for (size_t i = 0; i < layout.keys.size(); ++i) {
      for (size_t j = i + 1; j < layout.keys.size(); ++j) {
        const Key& a = layout.keys[i];
        const Key& b = layout.keys[j];
        const bool overlap = a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
        EXPECT_FALSE(overlap) << a.name << " overlaps " << b.name;
      }
    }
  }
}

TEST(ShippedDataTest, LightingModesFitTheirModel) {
  XmlDocument doc;
  for (const DeviceEntry& entry : ReadDeviceTable(doc)) {
    SCOPED_TRACE(entry.layout);
    const Layout layout = ReadLayout(entry.layout);
    ASSERT_FALSE(layout.modes.empty());
    std::set<int> numbers, names;
    int custom = 0, music = 0;
    for (const Mode& m : layout.modes) {
      EXPECT_GT(m.mode, 0);
      EXPECT_LE(m.mode, 256);  // sent as mode - 1 in one byte
      EXPECT_TRUE(numbers.insert(m.mode).second);
      EXPECT_TRUE(names.insert(m.name).second);
      custom += (m.attribute & 0x100) != 0;
      music += (m.attribute & 0x200) != 0;
      if (entry.type >= 200) {
        EXPECT_LE(m.attribute, 3) << "mode " << m.mode;
      }
    }
    EXPECT_TRUE(numbers.count(layout.light.at("default_mode")));
    EXPECT_LE(layout.light.at("default_brightness"), layout.light.at("brightness_max"));
    EXPECT_LE(layout.light.at("default_speed"), layout.light.at("speed_max"));
    EXPECT_LE(layout.light.at("speed_max"), 3);  // the preview knows speeds 0-3
    if (entry.type < 200) {
      EXPECT_EQ(custom, 1);
      EXPECT_EQ(music, 1);
    }
  }
}

struct DbCloser {
  void operator()(sqlite3* db) const { sqlite3_close(db); }
};

TEST(ShippedDataTest, LightFramesAnimateEveryPreviewModeInKeyOrder) {
  XmlDocument doc;
  const std::vector<DeviceEntry> entries = ReadDeviceTable(doc);
  sqlite3* raw = nullptr;
  ASSERT_EQ(sqlite3_open_v2((ProgramFolder() + "db/lightlayer_v1.data").c_str(), &raw,
                            SQLITE_OPEN_READONLY, nullptr),
            SQLITE_OK);
  const std::unique_ptr<sqlite3, DbCloser> db(raw);
  // Rows per mode, in storage order, as the light-frame store lists them.
  std::map<int, std::vector<std::array<int, 3>>> rows;
  sqlite3_stmt* statement = nullptr;
  ASSERT_EQ(sqlite3_prepare_v2(db.get(), "SELECT light_id, frameIndex, key_value, rgb_value FROM "
                               "t_light_frames ORDER BY frames_id", -1, &statement, nullptr),
            SQLITE_OK);
  while (sqlite3_step(statement) == SQLITE_ROW) {
    rows[sqlite3_column_int(statement, 0)].push_back(
        {sqlite3_column_int(statement, 1), sqlite3_column_int(statement, 2),
         sqlite3_column_int(statement, 3)});
  }
  sqlite3_finalize(statement);

  for (const DeviceEntry& entry : entries) {
    SCOPED_TRACE(entry.layout);
    const Layout layout = ReadLayout(entry.layout);
    std::map<int, int> attributes;
    for (const Mode& m : layout.modes) attributes[m.mode] = m.attribute;
    for (const auto& [mode, list] : rows) {
      ASSERT_TRUE(attributes.count(mode)) << "frames of unknown mode " << mode;
      EXPECT_EQ(attributes[mode] & 0x300, 0) << "frames of a custom or music mode " << mode;
    }
    for (const Mode& m : layout.modes) {
      if (m.attribute & 0x300) continue;
      SCOPED_TRACE(m.mode);
      ASSERT_TRUE(rows.count(m.mode)) << "mode without preview";
      const auto& list = rows.at(m.mode);
      const size_t keys = layout.keys.size();
      ASSERT_EQ(list.size() % keys, 0u);
      std::set<std::vector<int>> distinctFrames;
      for (size_t f = 0; f < list.size() / keys; ++f) {
        std::vector<int> levels;
        for (size_t k = 0; k < keys; ++k) {
          const auto& row = list[f * keys + k];
          EXPECT_EQ(row[0], static_cast<int>(f));
          EXPECT_EQ(static_cast<uint32_t>(row[1]), layout.keys[k].code);
          levels.push_back(row[2] & 0xFF);
        }
        distinctFrames.insert(levels);
      }
      if (list.size() > keys) {
        EXPECT_GE(distinctFrames.size(), 8u) << "preview hardly moves";
      }
    }
  }
}

}  // namespace
