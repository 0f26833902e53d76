#include "features/MacroXml.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <system_error>

#include "docs/XmlDocument.h"
#include "macro/MacroBlock.h"

namespace {

constexpr const char* kDeclaration = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n";
constexpr int32_t kNoKeyCode = 0;   // a key item without a key, which nothing can press
constexpr int32_t kMacroKey = 3;     // macro_type of a key that plays a macro
constexpr int32_t kMinPlayTimes = 1;
constexpr int32_t kFirstDelayMode = 1;
constexpr int32_t kLastDelayMode = 3;
constexpr int32_t kBaseLayer = 0;

// A macro as a file holds it, checked and clamped.
struct FileMacro {
  int32_t fileId = 0;
  MacroRecord record;
  std::vector<MacroEventRecord> events;
};

int32_t Clamp(int32_t value, int32_t low, int32_t high) { return std::clamp(value, low, high); }

// ---- writing -------------------------------------------------------------------------------

void WriteMacroInfo(XmlDocument& doc, const MacroRecord& macro, bool withId) {
  doc.AppendElement("macroinfo");
  doc.WriteAttribute("name", macro.name);
  if (withId) doc.WriteAttribute("macro_id", macro.macro_id);
  doc.WriteAttribute("times", macro.play_times);
  doc.WriteAttribute("type", macro.delay_type);
  doc.WriteAttribute("delaytime", macro.delay_time);
}

// <macroitems> with one <item> per event, at the cursor's level.
void WriteMacroItems(XmlDocument& doc, const std::vector<MacroEventRecord>& events) {
  doc.AppendElement("macroitems");
  if (events.empty()) return;
  doc.Enter();
  for (const MacroEventRecord& e : events) {
    doc.AppendElement("item");
    doc.WriteAttribute("desc", e.desc);
    doc.WriteAttribute("type", e.type);
    doc.WriteAttribute("value", e.value);
    doc.WriteAttribute("delay_time", e.delay_time);
  }
  doc.Leave();
}

void WriteKeyItem(XmlDocument& doc, const KeyAssignmentRecord& k) {
  doc.AppendElement("item");
  doc.WriteAttribute("fn_layer", k.fn_layer);
  doc.WriteAttribute("key_code", k.key_code);
  doc.WriteAttribute("layout_value", k.layout_value);
  doc.WriteAttribute("layout_desc", k.layout_desc);
  doc.WriteAttribute("macro_type", k.macro_type);
  doc.WriteAttribute("macro_value", k.macro_value);
  doc.WriteAttribute("macro_value2", k.macro_value2);
  doc.WriteAttribute("macro_value3", k.macro_value3);
  doc.WriteAttribute("macro_desc", k.macro_desc);
}

// ---- reading -------------------------------------------------------------------------------

// Loads a file that is small enough and well-formed, with the cursor inside its root `root`.
bool LoadRooted(XmlDocument& doc, const std::string& path, const char* root) {
  std::error_code error;
  const uintmax_t size = std::filesystem::file_size(path, error);
  if (error || size > MacroXml::kMaxFileBytes) return false;
  return doc.LoadFromFile(path) && doc.FindNext(root) && doc.Enter();
}

// The play settings of the macroinfo at the cursor.
MacroRecord ReadMacroInfo(const XmlDocument& doc) {
  MacroRecord r;
  r.name = doc.ReadAttribute("name");
  r.play_times = Clamp(doc.ReadAttributeInt("times"), kMinPlayTimes,
                       kMacroMaxPlayTimes);
  r.delay_type = doc.ReadAttributeInt("type");
  if (r.delay_type < kFirstDelayMode || r.delay_type > kLastDelayMode) r.delay_type = kFirstDelayMode;
  r.delay_time = Clamp(doc.ReadAttributeInt("delaytime"), 0, kMacroMaxDelayMs);
  r.link_count = 0;
  return r;
}

// The <item>s of the level the cursor is in: presses and releases only, at most kMaxEvents,
// delays within what the keyboard can wait.
std::vector<MacroEventRecord> ReadEventItems(XmlDocument& doc) {
  std::vector<MacroEventRecord> events;
  while (doc.FindNext("item") && static_cast<int>(events.size()) < kMacroMaxEvents) {
    MacroEventRecord e;
    e.type = doc.ReadAttributeInt("type");
    if (e.type != kMacroEventPress && e.type != kMacroEventRelease) continue;
    e.desc = doc.ReadAttribute("desc");
    e.value = doc.ReadAttributeInt("value");
    e.delay_time = Clamp(doc.ReadAttributeInt("delay_time"), 0, kMacroMaxDelayMs);
    e.record_index = static_cast<int32_t>(events.size());
    events.push_back(std::move(e));
  }
  return events;
}

// Finds <macroitems> among the siblings after the cursor and reads its items; the cursor
// returns to the level it was in.
std::vector<MacroEventRecord> ReadMacroItems(XmlDocument& doc) {
  if (!doc.FindNext("macroitems") || !doc.Enter()) return {};
  std::vector<MacroEventRecord> events = ReadEventItems(doc);
  doc.Leave();
  return events;
}

// Every <macroinfo> of the profile root (cursor inside it), in file order.
std::vector<FileMacro> ReadProfileMacros(XmlDocument& doc) {
  std::vector<FileMacro> macros;
  while (doc.FindNext("macroinfo") && macros.size() < MacroXml::kMaxMacros) {
    FileMacro m;
    m.fileId = doc.ReadAttributeInt("macro_id");
    m.record = ReadMacroInfo(doc);
    if (doc.Enter()) {
      m.events = ReadMacroItems(doc);
      doc.Leave();
    }
    macros.push_back(std::move(m));
  }
  return macros;
}

std::vector<KeyAssignmentRecord> ReadKeyItems(XmlDocument& doc) {
  std::vector<KeyAssignmentRecord> keys;
  if (!doc.FindNext("keyitems") || !doc.Enter()) return keys;
  while (doc.FindNext("item") && keys.size() < MacroXml::kMaxKeyItems) {
    KeyAssignmentRecord k;
    k.fn_layer = doc.ReadAttributeInt("fn_layer");
    k.key_code = doc.ReadAttributeInt("key_code");
    k.layout_value = doc.ReadAttributeInt("layout_value");
    k.layout_desc = doc.ReadAttribute("layout_desc");
    k.macro_type = doc.ReadAttributeInt("macro_type");
    k.macro_value = doc.ReadAttributeInt("macro_value");
    k.macro_value2 = doc.ReadAttributeInt("macro_value2");
    k.macro_value3 = doc.ReadAttributeInt("macro_value3");
    k.macro_desc = doc.ReadAttribute("macro_desc");
    keys.push_back(std::move(k));
  }
  doc.Leave();
  return keys;
}

// Creates the macro and its events; its new id, 0 when a write failed.
int32_t WriteMacro(ProfileStore& store, const MacroRecord& record,
                   std::vector<MacroEventRecord> events) {
  const int32_t id = store.AddMacroFull(record);
  if (id <= 0) return 0;
  for (MacroEventRecord& e : events) {
    e.macro_id = id;
    if (store.AddMacroEvent(e) <= 0) return 0;
  }
  return id;
}

std::string NameOr(const std::string& name, const std::string& fallback) {
  return name.empty() ? fallback : name;
}

}  // namespace

std::string MacroXml::NameOfFile(const std::string& path) {
  const std::string file = std::filesystem::path(path).filename().string();
  return file.substr(0, file.find('.'));
}

bool MacroXml::ExportProfile(int32_t profile, const std::string& name, const std::string& path) {
  std::vector<KeyAssignmentRecord> keys;
  store_.ListKeyAssignments(profile, kBaseLayer, keys);
  XmlDocument doc;
  doc.ReplaceText(kDeclaration);
  doc.AppendElement("profile");
  doc.Enter();
  doc.AppendElement("profileinfo");
  doc.WriteAttribute("name", name);
  doc.AppendElement("keyitems");
  std::vector<int32_t> macroIds;
  if (!keys.empty()) {
    doc.Enter();
    for (const KeyAssignmentRecord& k : keys) {
      WriteKeyItem(doc, k);
      if (k.macro_type == kMacroKey) macroIds.push_back(k.macro_value);
    }
    doc.Leave();
  }
  // One macroinfo per macro key, so a macro two keys play is written twice.
  for (const int32_t id : macroIds) {
    MacroRecord macro;
    if (!store_.GetMacro(id, macro)) continue;
    std::vector<MacroEventRecord> events;
    store_.ListMacroEvents(id, events);
    WriteMacroInfo(doc, macro, true);
    doc.Enter();
    WriteMacroItems(doc, events);
    doc.Leave();
  }
  return doc.IsWellFormed() && doc.SaveToFile(path);
}

bool MacroXml::ExportMacro(int32_t macroId, const std::string& path) {
  MacroRecord macro;
  if (!store_.GetMacro(macroId, macro)) return false;
  std::vector<MacroEventRecord> events;
  store_.ListMacroEvents(macroId, events);
  XmlDocument doc;
  doc.ReplaceText(kDeclaration);
  doc.AppendElement("macro");
  doc.Enter();
  WriteMacroInfo(doc, macro, false);
  WriteMacroItems(doc, events);  // a sibling of macroinfo in this format
  return doc.IsWellFormed() && doc.SaveToFile(path);
}

MacroXml::ProfileImport MacroXml::ImportProfile(const std::string& path,
                                                const std::string& fallbackName) {
  XmlDocument doc;
  if (!LoadRooted(doc, path, "profile")) return {};
  const std::vector<FileMacro> macros = ReadProfileMacros(doc);
  doc.Leave();
  doc.Enter();  // back to the start of the root's children
  std::vector<KeyAssignmentRecord> keys = ReadKeyItems(doc);

  std::vector<MacroRecord> existing;
  store_.ListMacros(existing);
  std::map<std::string, int32_t> existingByName;
  for (const MacroRecord& m : existing) existingByName.emplace(m.name, m.macro_id);

  ProfileImport result;
  const bool written = store_.WriteAll([&] {
    // File macro id -> id in this store.
    std::map<int32_t, int32_t> ids;
    for (const FileMacro& m : macros) {
      // A profile writes a macro once per key that plays it: the copies are one macro.
      if (ids.count(m.fileId) != 0) continue;
      const auto same = existingByName.find(m.record.name);
      if (same != existingByName.end()) {
        ids[m.fileId] = same->second;
        continue;
      }
      const int32_t id = WriteMacro(store_, m.record, m.events);
      if (id == 0) return false;
      ids[m.fileId] = id;
      result.macros.push_back({id, m.record.name});
    }
    ProfileRecord profile;
    profile.name = NameOr(NameOfFile(path), fallbackName);
    result.profile = store_.AddProfile(profile);
    if (result.profile <= 0) return false;
    for (KeyAssignmentRecord& k : keys) {
      k.profile = result.profile;
      if (k.key_code == kNoKeyCode || (k.macro_value == 0 && k.macro_value2 == 0)) continue;
      if (k.macro_type == kMacroKey) {
        // A macro key whose macro is not in the file would play whatever macro has that id here.
        const auto mapped = ids.find(k.macro_value);
        if (mapped == ids.end()) continue;
        k.macro_value = mapped->second;
      }
      if (store_.SaveKeyAssignment(k) <= 0) return false;
    }
    return store_.SetActiveProfile(result.profile);
  });
  if (!written) return {};
  return result;
}

MacroXml::NewMacro MacroXml::ImportMacro(const std::string& path, const std::string& fallbackName) {
  XmlDocument doc;
  if (!LoadRooted(doc, path, "macro") || !doc.FindNext("macroinfo")) return {};
  MacroRecord record = ReadMacroInfo(doc);
  record.name = NameOr(NameOfFile(path), fallbackName);
  // macroitems is macroinfo's sibling; one inside macroinfo is not looked at.
  std::vector<MacroEventRecord> events = ReadMacroItems(doc);
  NewMacro result;
  const bool written = store_.WriteAll([&] {
    result.id = WriteMacro(store_, record, events);
    return result.id > 0;
  });
  if (!written) return {};
  result.name = record.name;
  return result;
}
