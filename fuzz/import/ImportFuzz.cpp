// libFuzzer target of the profile and macro import. Each input is written to a file and imported
// both ways into one store in a temporary folder. Besides not crashing it checks that an import
// either created what it reports or changed nothing, and that no macro gets more events than
// the keyboard's block holds.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "features/MacroXml.h"
#include "macro/MacroBlock.h"
#include "store/ProfileStore.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

struct Fixture {
  Fixture() {
    std::string pattern = (std::filesystem::temp_directory_path() / "kw-fuzz-import-XXXXXX").string();
    const char* made = mkdtemp(pattern.data());
    Check(made != nullptr);
    folder = std::string(made) + "/";
    std::filesystem::create_directories(folder + "db");
    Check(store.OpenForDevice(folder, "Tarnwick_V3"));
    std::vector<ProfileRecord> profiles;
    store.ListProfilesWithDefaults("Profile", profiles);
    store.AddMacro("Macro 1");
  }
  ~Fixture() {
    store.Close();
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
  }
  std::string folder;
  ProfileStore store;
};

std::pair<int, int> Counts(ProfileStore& store) {
  std::vector<MacroRecord> macros;
  std::vector<ProfileRecord> profiles;
  return {store.ListMacros(macros), store.ListProfiles(profiles)};
}

void CheckEvents(ProfileStore& store, int32_t id) {
  std::vector<MacroEventRecord> events;
  Check(store.ListMacroEvents(id, events) <= kMacroMaxEvents);
  for (const MacroEventRecord& e : events)
    Check(e.delay_time >= 0 && e.delay_time <= kMacroMaxDelayMs &&
          (e.type == kMacroEventPress || e.type == kMacroEventRelease));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static Fixture fixture;
  ProfileStore& store = fixture.store;
  const std::string path = fixture.folder + "Input.v1.xml";
  {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  MacroXml xml(store);

  const auto before = Counts(store);
  const MacroXml::ProfileImport profile = xml.ImportProfile(path, "Profile");
  const auto afterProfile = Counts(store);
  if (profile.profile == 0) {
    Check(afterProfile == before);
  } else {
    Check(afterProfile.second == before.second + 1);
    Check(afterProfile.first == before.first + static_cast<int>(profile.macros.size()));
    Check(store.GetActiveProfile() == profile.profile);
    for (const MacroXml::NewMacro& m : profile.macros) CheckEvents(store, m.id);
  }

  const MacroXml::NewMacro macro = xml.ImportMacro(path, "Macro");
  const auto afterMacro = Counts(store);
  Check(afterMacro.first == afterProfile.first + (macro.id > 0 ? 1 : 0));
  if (macro.id > 0) {
    CheckEvents(store, macro.id);
    MacroRecord r;
    Check(store.GetMacro(macro.id, r) && r.name == "Input");
    Check(r.play_times >= 1 && r.play_times <= kMacroMaxPlayTimes);
  }
  return 0;
}
